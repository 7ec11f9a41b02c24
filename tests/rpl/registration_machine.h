// A session at a simulated server for registering cards: rplcmd played by a
// small stand-in that records the script it read, prints what a test sets
// and ends with the status a test sets; and a working server to fail on.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "base/plan.h"
#include "platform/text.h"
#include "rpl/register.h"
#include "tests/rpl/rpl_session.h"

namespace registration {

using platform::SimEvent;

// rplcmd is started itself, the script its input and rpltemp.out its output.
const SimEvent kRplcmd = {"wait", "C:\\WINNT\\system32\\rplcmd.exe",
                          "<C:\\WINNT\\rpltemp.bat >C:\\WINNT\\rpltemp.out", platform::kHide};
const char kManager[] = "C:\\WINNT\\system32\\rplmgr.exe";
const char kCaption[] = "morva提示";
const char* const kDos622[] = {"io.sys", "msdos.sys", "command.com", "himem.sys"};

class RegistrationMachine : public RplMachine {
 public:
  RegistrationMachine() {
    form->BitBtn9.SetEnabled(true);
    // What the machine holds while the completion message is up.
    ui.WhileShown([this](const SimEvent& e) {
      if (e.kind == "message" && e.caption == "进程提示") script_at_message = Get("C:\\WINNT\\rpltemp.bat");
    });
    // rplcmd: what it read, what it prints and how it ends; asked for a
    // list, the records a test sets.
    host.RegisterStandin("rplcmd", [this](platform::SimHost&, const std::vector<std::string>&,
                                          const std::string& input, std::string* output) {
      if (input.rfind("V\r\nL\r\n", 0) == 0) {
        *output = rplcmd_lists;
        return 0;
      }
      script_at_rplcmd = input;
      *output = rplcmd_says;
      return rplcmd_exit;
    });
    Put("C:\\DRIVERS\\MYNIC.DOS", "newer mynic");
    // The release and the driver as copied from a CD: read-only.
    for (const std::string f : {"rtsnd.dos", "pcind.dos", "dos622\\io.sys", "dos622\\msdos.sys", "dos622\\command.com",
                                "dos622\\himem.sys"})
      host.SetFileAttributes("C:\\Korrin\\rplfiles\\" + f, platform::kAttrReadOnly);
    host.SetFileAttributes("C:\\DRIVERS\\MYNIC.DOS", platform::kAttrReadOnly);
  }
  // A server that works: its DOS 6.22 files, the RTL8139 and the custom card
  // MYNIC registered, each boot block with a protocol.ini of the
  // administrator's own.
  void Working() {
    for (const char* f : kDos622) Put(Rpl(std::string("rplfiles\\binfiles\\dos622\\") + f), "installed");
    for (std::string block : {"rtsnd", "MYNIC"}) {
      PutCardFiles(block, block == "rtsnd" ? "installed rtsnd" : "older mynic",
                   "DRV BBLOCK\\NDIS\\" + block + ".DOS ~ ~ ~\r\n");
      Put(Rpl("bblock\\netbeui\\" + block + "\\protocol.ini"), "[" + block + "]\r\n    IRQ=10 ; by hand\r\n");
    }
  }
  // Registers a card: a Realtek card with `mac` as its prefix, a custom one
  // with MYNIC.DOS and `mac`.
  void Register(const std::string& nic, const std::string& mac) {
    Choose(nic);
    AnswerPrefix(mac);
    AnswerDriver("C:\\DRIVERS\\MYNIC.DOS", mac);
    form->BitBtn9Click();
  }
  // The registration's plan for `nic` with the answers `mac` and `driver`.
  rpl::Registration Plan(const std::string& nic, const std::string& mac,
                         const std::string& driver = "C:\\DRIVERS\\MYNIC.DOS") {
    const rpl::RegistrationAnswers answers{true, mac, nic == "Other NetCARD" ? driver : ""};
    rpl::Registration r = rpl::PlanRegistration(host, {nic, kRoot, "C:\\Korrin"}, &answers);
    journal().clear();
    return r;
  }
  std::string script_at_message, script_at_rplcmd;
  std::string rplcmd_says, rplcmd_lists = "The command completed successfully.\n";
  int rplcmd_exit = 0;
};

}  // namespace registration
