// A simulated server with the demo server's Remoteboot tree in WINDIR\rpl,
// and the things the configuration tool does around rplcmd: the response
// script of a card, the card's boot-block files and driver, the DOS 6.22
// files (the tree laid out as the fuzz targets lay it out).
#pragma once

#include <string>
#include <vector>

#include "platform/textfile.h"
#include "rpl/bootblock.h"
#include "rpl/tree.h"
#include "standins/rpl/rpldb.h"
#include "tests/standins/fuzz/fuzz_machine.h"
#include "tests/standins/standin_session.h"

// A card type as the tool registers it: driver name in the script, driver
// name of the boot-block files, vendor prefix, and the three comments.
struct Card {
  const char* type;
  std::string script_driver, driver, prefix, dos_comment, win_comment, vendor_comment;
};

inline const std::vector<Card>& Cards() {
  static const std::vector<Card> cards = {
      {"RTL 8139", "rtsnd", "rtsnd", "00E04C", "DOS 6.22 FOR RTL8139", "Windows 98SE FOR RTL8139",
       "RTL8139 Netcard(100/10M)"},
      {"RTL 8029", "PCIND", "pcind", "5254AB", "DOS 6.22 FOR RTL8029", "Windows 98SE FOR RTL8029",
       "Rtl8029 Netcard(10M)"},
      {"Other NetCARD", "MYNIC", "MYNIC", "001122", "DOS 6.22 FOR MYNIC(001122)",
       "Windows 98SE FOR MYNIC(001122)", "MYNIC NetCard"},
  };
  return cards;
}

// The 41 lines of rpltemp.bat for a card, as the tool writes them (their
// bytes are pinned in tests/rpl/bootblock_test.cpp).
inline std::vector<std::string> RplScript(const Card& c) {
  return rpl::RplScriptLines(c.script_driver, c.prefix, c.dos_comment, c.win_comment, c.vendor_comment);
}

// The database lines rplcmd adds for a card's script.
inline std::vector<std::string> CardRecords(const Card& c) {
  const std::string& d = c.script_driver;
  const std::string& v = c.prefix;
  return {"VENDOR\t" + v + "\t" + c.vendor_comment,
          "BOOT\t" + v + "DOS\t" + v + "\tBBLOCK\\NETBEUI\\" + d + "\\DOSBB.CNF\tSTART" + v + "DOS\t0",
          "BOOT\t" + v + "WIN\t" + v + "\tBBLOCK\\NETBEUI\\" + d + "\\W95BB.CNF\tSTART" + d + "WIN\t0",
          "CONFIG\tDOS" + v + "\t" + v + "DOS\tdos\tdos622\tfits\\dos622.fit\tfits\\dos622p.fit\t" +
              c.dos_comment + "\t\t",
          "CONFIG\tWIN" + v + "\t" + v + "WIN\tdos\twin95\tfits\\win95.fit\tfits\\win95p.fit\t" +
              c.win_comment + "\t\t"};
}

class RplSession : public StandinSession {
 protected:
  static constexpr const char* kDb = "C:\\WINNT\\rpl\\rpldb.txt";
  static constexpr const char* kRun = "C:\\WINNT\\system32\\command.com /c rplcmd <C:\\WINNT\\rpltemp.bat";

  RplSession() { standinfuzz::LayOutRemotebootTree(host); }

  // What the tool does before it runs rplcmd for a card: the DOS 6.22 files,
  // the driver in the boot blocks' NDIS directory, and the card's boot-block
  // files made from the NE2000 templates as the tool makes them and put in
  // place; then the script.
  void PrepareCard(const Card& c) {
    for (const std::string& f : rpl::Dos622Files())
      Put("C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\" + f, "DOS 6.22 " + f + "\r\n");
    Put("C:\\WINNT\\rpl\\bblock\\ndis\\" + c.driver + ".dos", "driver\r\n");
    const std::string dir = "C:\\WINNT\\rpl\\bblock\\netbeui\\" + c.driver + "\\";
    MakeDirs(dir);
    std::string failed;
    ASSERT_TRUE(rpl::MakeBootBlockFiles(host, ui, c.driver, &failed)) << failed;
    for (const std::string& name : rpl::BootBlockFileNames())
      ASSERT_TRUE(host.ReplaceFile(dir + name + ".new", dir + name)) << name;
    WriteScript(RplScript(c));
  }

  void WriteScript(const std::vector<std::string>& lines) {
    ASSERT_TRUE(platform::WriteTextLines(host, "C:\\WINNT\\rpltemp.bat", lines));
  }

  // The database's lines (UTF-8), or {"<absent>"}.
  std::vector<std::string> DbLines() { return Lines(kDb); }
};
