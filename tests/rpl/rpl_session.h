// A session at a simulated server with the Remoteboot service installed: its
// Windows directory C:\WINNT (also SystemRoot), the service's Windows 95 boot
// files, NE2000 templates, binfiles folders and FIT files, and the program in
// C:\Korrin with its rplfiles.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "base/paths.h"
#include "platform/textfile.h"
#include "tests/sim_session.h"

#include <gtest/gtest.h>

class RplMachine : public SimMachine {
 public:
  static constexpr const char* kRoot = "C:\\WINNT";

  RplMachine() {
    host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", kRoot);
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    host.SetWindowsDirectory(kRoot);
    Put(std::string(kRoot) + "\\RPL\\RPLFILES\\BINFILES\\WIN95\\io.sys", "win95 io.sys");
    for (auto dir : {"rplfiles\\binfiles\\dos622", "rplfiles\\binfiles\\dos", "bblock\\ndis", "rplfiles\\profiles"})
      MakeDirs(Rpl(dir));
    for (const char* fit : {"dos622.fit", "dos622p.fit", "win95.fit", "win95p.fit"})
      Put(std::string(kRoot) + "\\rpl\\fits\\" + fit, std::string("FIT ") + fit);
    Put(Template("dosbb.cnf"), kDosTemplate);
    Put(Template("w95bb.cnf"), kW95Template);
    Put(Template("protocol.ini"), kProtocolTemplate);
    for (const char* f : {"io.sys", "msdos.sys", "command.com", "himem.sys"})
      Put(std::string("C:\\Korrin\\rplfiles\\dos622\\") + f, std::string("dos622 ") + f);
    Put("C:\\Korrin\\rplfiles\\rtsnd.dos", "shipped rtsnd");
    Put("C:\\Korrin\\rplfiles\\pcind.dos", "shipped pcind");
    Put("C:\\Korrin\\rplfiles\\win98\\subst.exe", "subst");
    host.SetCurrentDirectory("C:\\Korrin");
    host.SetProgramDirectory("C:\\Korrin");
    Start();
  }
  // The card list's and the profile list's text ("" chooses nothing).
  void Choose(const std::string& nic) { ChooseIn(form->ComboBox1, nic); }
  void ChooseProfile(const std::string& profile) { ChooseIn(form->ComboBox2, profile); }
  static void ChooseIn(platform::ComboBox& list, const std::string& item) {
    list.SetItems({item});
    list.SetItemIndex(item.empty() ? -1 : 0);
  }
  // The records rplcmd lists for a card registered with `prefix` whose
  // boot-block directory is `block`, as it prints them.
  static std::string Records(const std::string& prefix, const std::string& block) {
    const std::string& v = prefix;
    return "V\t" + v + "\tits vendor\n"
           "B\t" + v + "DOS\t" + v + "\tBBLOCK\\NETBEUI\\" + block + "\\DOSBB.CNF\tSTART" + v + "DOS\t0\n"
           "B\t" + v + "WIN\t" + v + "\tBBLOCK\\NETBEUI\\" + block + "\\W95BB.CNF\tSTART" + block + "WIN\t0\n"
           "C\tDOS" + v + "\t" + v + "DOS\tdos\tdos622\tfits\\dos622.fit\tfits\\dos622p.fit\tDOS\t\t\n"
           "C\tWIN" + v + "\t" + v + "WIN\tdos\twin95\tfits\\win95.fit\tfits\\win95p.fit\tWindows\t\t\n";
  }
  // rplcmd in system32, listing `listing` with the exit status `exit` to
  // whatever it is asked.
  void ServeRecords(const std::string& listing, int exit = 0) {
    Put(std::string(kRoot) + "\\system32\\rplcmd.exe", "rplcmd");
    host.RegisterStandin("rplcmd", [listing, exit](platform::SimHost&, const std::vector<std::string>&,
                                                   const std::string&, std::string* output) {
      *output = listing + (exit == 0 ? "The command completed successfully.\n" : "");
      return exit;
    });
  }
  // A card's files as registration leaves them: its driver in bblock\ndis,
  // and its three boot-block files in bblock\netbeui\BLOCK, each holding
  // `boot_block`.
  void PutCardFiles(const std::string& block, const std::string& driver, const std::string& boot_block) {
    Put(Rpl("bblock\\ndis\\" + block + ".dos"), driver);
    for (const char* file : {"dosbb.cnf", "w95bb.cnf", "protocol.ini"})
      Put(Rpl("bblock\\netbeui\\" + block + "\\" + file), boot_block);
  }
  // Takes a file or a folder, with all it holds, off the machine.
  void Remove(const std::string& path) { std::filesystem::remove_all(host.NativePath(path)); }

  static std::string Template(const std::string& file) {
    return std::string(kRoot) + "\\rpl\\bblock\\netbeui\\ne2000\\" + file;
  }
  static std::string Rpl(const std::string& rest) { return std::string(kRoot) + "\\rpl\\" + rest; }
  static std::string Profile(const std::string& name) { return Rpl("rplfiles\\profiles\\" + name); }

  static constexpr const char* kDosTemplate =
      "RPL BBLOCK\\RPLBOOT.SYS\r\n"
      "LDR BBLOCK\\RPLSTART.COM ~\r\n"
      "DAT BBLOCK\\NETBEUI\\NE2000\\PROTOCOL.INI\r\n"
      "DRV BBLOCK\\NDIS\\NE2000.DOS ~ ~ ~\r\n";
  static constexpr const char* kW95Template =
      "DRV BBLOCK\\NDIS\\NE2000.DOS ~ ~ ~\r\n";
  static constexpr const char* kProtocolTemplate =
      "[ms2000]\r\n"
      "    DriverName=MS2000$\r\n"
      "[NETBEUI]\r\n"
      "    BINDINGS=ms2000\r\n";
};

// rplcmd asked what the database holds: its records, listed through pipes.
const platform::SimEvent kAskRecords = {"ask", "C:\\WINNT\\system32\\rplcmd.exe",
                                        "V\r\nL\r\nB\r\nL\r\nC\r\nL\r\nq\r\n", 0};

// The same as a test fixture.
class RplSession : public ::testing::Test, public RplMachine {};
