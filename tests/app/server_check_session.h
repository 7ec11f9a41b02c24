// Simulated servers for the server check: the demo server, walked down its
// roads by the main window's own handlers with every outside program played
// by its stand-in.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "accounts/users.h"
#include "app/server.h"
#include "base/paths.h"
#include "pxe/wait_dialog.h"
#include "standins/rpl/rplmgr.h"
#include "standins/sim_standins.h"
#include "tests/sim_session.h"

namespace check_test {

// A card type as the administrator registers it, and the profile made for it.
struct Card {
  const char* type;
  const char* prefix;
};

// The three cards with the prefixes of their workstations.
inline const Card kRtl8139 = {"RTL 8139", "00E04C"}, kRtl8029 = {"RTL 8029", "5254AB"}, kMyNic = {"Other NetCARD", "001122"};

// The account fields typed into the main window.
inline void TypeAccounts(app::TForm1& form, const accounts::AccountFields& fields) {
  form.Edit1.SetText(fields.shared_directory);
  form.Edit2.SetText(fields.prefix);
  form.Edit3.SetText(fields.count);
  form.Edit4.SetText(fields.group);
}

// Where two texts first differ: the byte, and from the start of its line
// on, a little of each; "" when they are the same.
inline std::string FirstDifference(const std::string& a, const std::string& b) {
  if (a == b) return "";
  const size_t at = std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin();
  const size_t line = at == 0 ? 0 : a.find_last_of('\n', at - 1) + 1;  // npos + 1 is 0: the first line
  return "byte " + std::to_string(at) + ": " + a.substr(line, 160) + " | " + b.substr(line, 160);
}

inline std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class Server : public SimMachine {
 public:
  // The registry of every server; nothing else.
  Server() {
    standins::RegisterSimStandins(host);
    host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", "C:\\WINNT");
    host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", "C:\\Program Files");
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    host.SetWindowsDirectory("C:\\WINNT");
    MakeDirs("C:\\Korrin");
    MakeDirs("E:\\reports");
    host.SetCurrentDirectory("C:\\Korrin");
    host.SetProgramDirectory("C:\\Korrin");
  }
  // The demo server (demo/make_demo.sh): the release in C:\Korrin, the
  // Remoteboot service's tree and programs, the PDK's installer, drive D:.
  void Demo() {
    namespace fs = std::filesystem;
    fs::copy(RELEASE_RPLFILES, host.NativePath("C:\\Korrin\\rplfiles"), fs::copy_options::recursive);
    Put("C:\\Korrin\\unditool\\bootimg.w98", ReadNative(TEMPLATE_BOOTIMG));
    for (const char* program : {"C:\\Korrin\\unditool\\undisk.exe", "C:\\Korrin\\unditool\\rplimage.exe",
                                "C:\\Korrin\\pxe-pdk\\pxe20-pdk.exe", "C:\\WINNT\\system32\\rplcmd.exe",
                                "C:\\WINNT\\system32\\rplmgr.exe", "C:\\WINNT\\system32\\command.com"})
      Put(program, "program");
    standinfuzz::LayOutRemotebootTree(host);
    MakeDirs("C:\\Program Files");
    MakeDirs("D:\\");
    Put("C:\\DRIVERS\\NIC\\MYNIC.DOS", "the administrator's own NDIS driver\r\n");
  }
  // The demo server with the workstations' Windows uploaded; the PDK's
  // installer puts its programs in place when it runs, and the wait dialog
  // counts down to its end.
  void DemoWithWindows() {
    Demo();
    MakeDirs("D:\\PVDROOT\\windows");
    host.RegisterStandin("pxe20-pdk", [this](platform::SimHost&, const std::vector<std::string>&, const std::string&,
                                             std::string*) {
      PdkInstalled();
      return 0;
    });
    WaitOut();
  }
  // Users and directories, the workstations' Windows uploaded, the names file.
  void AccountsRoad() {
    Form().BitBtn1Click();
    MakeDirs("D:\\PVDROOT\\windows");
    form->BitBtn8Click();
  }
  // The wait dialog shown to the end of its countdown.
  void WaitOut() {
    ui.OnModal<pxe::TForm2>([](pxe::TForm2& dialog) {
      while (!dialog.Closed()) dialog.Timer2Timer();
      return platform::kMrCancel;
    });
  }
  // The PDK installed (its installer puts its two programs in place), the
  // boot image made and installed; the program left by its exit button,
  // which takes the account script away.
  void PxeRoad() {
    Form().BitBtn3Click();
    PdkInstalled();
    WaitOut();
    form->BitBtn7Click();
    form->BitBtn4Click();
    form.reset();
  }
  // What the PDK's installer leaves once the administrator has run it.
  void PdkInstalled() {
    for (const char* program : {"pxeconfig.exe", "pxereg60.exe"})
      Put(std::string("C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\") + program, "PDK program");
  }
  // Detect, register, a Windows profile in the manager, install it,
  // auto-registration on.
  void RplRoad(const Card& card) {
    app::TForm1& f = Form();
    Register(card);
    const std::string profile = std::string("W") + card.prefix;
    standins::rpl::Manager manager(host, [](const std::string&) { return false; });
    std::string message;
    ASSERT_TRUE(manager.Load(&message)) << message;
    ASSERT_TRUE(manager.MakeProfile(profile, std::string("WIN") + card.prefix, "", &message)) << message;
    f.BitBtn12Click();
    Choose(f.ComboBox2, profile);
    f.BitBtn11Click();
    const std::string installed = journal().back().text;
    f.CheckBox1.SetChecked(true);
    ASSERT_EQ(installed, "无盘WIN98远程启动文件安装完成！");
  }

  // The card detected and registered, its dialogs answered with its prefix
  // (and, for the other card, the administrator's own driver).
  void Register(const Card& card) {
    Choose(Form().ComboBox1, card.type);
    form->BitBtn10Click();
    AnswerPrefix(card.prefix);
    AnswerDriver("C:\\DRIVERS\\NIC\\MYNIC.DOS", card.prefix);
    form->BitBtn9Click();
  }

  app::TForm1& Form() {
    if (!form) Start();
    return *form;
  }
  // An item chosen as the program chooses it, or with `by_user` as the
  // administrator does, which runs the list's change handler.
  static void Choose(platform::ListBox& list, const std::string& item, bool by_user = false) {
    std::vector<std::string> items = list.Items();
    auto at = std::find(items.begin(), items.end(), item);
    ASSERT_NE(at, items.end()) << item;
    list.SetItemIndex(static_cast<int>(at - items.begin()));
    if (by_user) list.Changed();
  }
  // Every file and folder the check could reach; the program's journal
  // is its own, and left out.
  std::string Everything() {
    std::string all = Get("c:\\temps.bak");
    for (const char* drive : {"C:", "D:"})
      for (const auto& entry : Tree(drive))
        if (entry.first.rfind("Korrin/journal", 0) != 0) all += entry.first + "=" + entry.second + "\n";
    return all + ReadNative(root + "/attributes.txt");
  }
};

// The demo server with the workstations' Windows uploaded (DemoWithWindows).
struct DemoServer : Server {
  DemoServer() { DemoWithWindows(); }
};

}  // namespace check_test
