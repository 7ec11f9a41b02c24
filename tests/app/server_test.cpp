// Start-up, the controls' first states, leaving, and the help and statement
// windows of the main window.
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "app/help_window.h"
#include "app/server_check_window.h"
#include "app/statement_window.h"
#include "pxe/wait_dialog.h"
#include "tests/app/server_check_session.h"
#include "tests/pxe/startnet_bytes.h"
#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

using Startup = SimSession;

// How the lines of c:\temps.bak split is the text file's own rule; a Chinese
// name read back is in users_test.cpp.
TEST_F(Startup, RestoresTheSharedDirectoryAndReadsSystemRoot) {
  enum Saved { kNone, kFile, kFolder, kUnreadable };
  struct Case {
    const char* name;
    Saved saved;
    const char* temps_bak;
    const char* registry;  // nullptr: no value
    const char* edit1;
    const char* system_root;
  } cases[] = {
      {"first start", kNone, "", "C:\\WINNT", "D:\\PVDROOT", "C:\\WINNT"},
      {"saved directory", kFile, "E:\\DISKLESS\r\n", "C:\\WINNT", "E:\\DISKLESS", "C:\\WINNT"},
      {"several lines, the first counts", kFile, "E:\\A\r\nF:\\B\r\n", "C:\\WINNT", "E:\\A", "C:\\WINNT"},
      {"empty file", kFile, "", "C:\\WINNT", "", "C:\\WINNT"},
      {"missing registry value", kNone, "", nullptr, "D:\\PVDROOT", ""},
      {"a folder named like the file counts as none", kFolder, "", "C:\\WINNT", "D:\\PVDROOT", "C:\\WINNT"},
      // Reported; the window still opens, the registry left unread.
      {"unreadable file", kUnreadable, "E:\\DISKLESS\r\n", "C:\\WINNT", "D:\\PVDROOT", ""},
  };
  const std::vector<SimEvent> kReported = {
      {"error", "无法读取文件 c:\\temps.bak：输入/输出错误。", "Server", platform::kMbIconStop}};
  for (const Case& c : cases) {
    SimMachine m;
    m.MakeDirs("C:\\Korrin");
    m.host.SetCurrentDirectory("C:\\Korrin");
    if (c.saved == kFolder) m.MakeDirs("c:\\temps.bak");
    if (c.saved == kFile || c.saved == kUnreadable) m.Put("c:\\temps.bak", c.temps_bak);
    if (c.saved == kUnreadable) m.host.MakeUnreadable("c:\\temps.bak");
    if (c.registry) m.host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", c.registry);
    m.Start();
    EXPECT_EQ(m.form->Edit1.Text(), c.edit1) << c.name;
    EXPECT_EQ(m.form->settings.SystemRoot, c.system_root) << c.name;
    EXPECT_EQ(m.form->settings.StartDir, "C:\\Korrin") << c.name;
    // No message of any kind, nor the window closed, but for the file that
    // could not be read.
    EXPECT_EQ(m.journal(), c.saved == kUnreadable ? kReported : std::vector<SimEvent>{}) << c.name;
  }
}

// A control's state in one line: its text, or its items and the chosen one,
// or its position; then "off" when disabled and "hidden" when not visible.
std::string StateOf(const platform::Control& control) {
  std::string state;
  auto join = [](const std::vector<std::string>& items) {
    std::string all;
    for (const std::string& item : items) all += (all.empty() ? "" : "|") + item;
    return all;
  };
  if (auto* combo = dynamic_cast<const platform::EditComboBox*>(&control))
    state = combo->Text() + " of " + join(combo->Items());
  else if (auto* text = dynamic_cast<const platform::TextControl*>(&control))
    state = text->Text();
  else if (auto* list = dynamic_cast<const platform::ListBox*>(&control))
    state = join(list->Items()) + " chosen " + std::to_string(list->ItemIndex());
  else if (auto* box = dynamic_cast<const platform::CheckBox*>(&control))
    state = box->Checked() ? "checked" : "clear";
  else if (auto* bar = dynamic_cast<const platform::ProgressBar*>(&control))
    state = "at " + std::to_string(bar->Position());
  if (!control.Enabled()) state += " off";
  if (!control.Visible()) state += " hidden";
  return state;
}

// The value objects start as the window shows them, as its description gives
// them, in the main window and in the dialogs alike.
TEST_F(Startup, ControlsStartAsTheWindowShowsThem) {
  Start();
  pxe::TForm2 wait;
  const struct {
    const platform::Control& control;
    const char* state;
  } rows[] = {
      {form->Edit1, "D:\\PVDROOT"}, {form->Edit2, "USER"}, {form->Edit4, "PXEUSERS"}, {form->Edit3, "30"},
      {form->BitBtn1, "生成用户及目录"}, {form->BitBtn12, "更  新"}, {form->ProgressBar1, "at 0 hidden"},
      {form->ComboBox1, "RTL 8139|RTL 8029|Other NetCARD chosen -1"}, {form->ComboBox2, " chosen -1"},
      {form->CheckBox1, "clear"}, {form->CheckBox2, "clear"}, {form->BitBtn10, "检测"},
      {form->BitBtn9, "配置Rpl off"}, {form->BitBtn11, "安装 off"}, {form->ProgressBar2, "at 0"},
      {form->BitBtn7, "生成镜像文件"},
      {form->Form3.MAC, "00E04C of 00E04C|5254AB|0000B4|52544C"},
      {form->GetNetDrv.FilterComboBox1, "NdisDrive(*.DOS) chosen 0"}, {form->GetNetDrv.NDISTALK, " off"},
      {form->GetNetDrv.MACTALK, ""}, {form->GetNetDrv.FileListBox1, " chosen -1"},
      {wait.Label1, "正在建立引导镜像文件，请等待五秒..."}, {wait.Label2, "5"}, {wait.ProgressBar1, "at 0"},
  };
  for (const auto& row : rows) EXPECT_EQ(StateOf(row.control), row.state) << row.control.name();
}

TEST(Layout, TabStopsAndIdentifiersAreUniqueInEachWindow) {
  for (const look::WindowLayout* w : {&app::TForm1::Layout(), &rpl::TForm3::Layout(), &rpl::TGetNetDrv::Layout(),
                                      &pxe::TForm2::Layout(), &app::TForm4::Layout(), &app::TForm5::Layout(),
                                      &app::TCheckForm::Layout()}) {
    std::set<std::pair<std::string, int>> stops;
    std::set<int> ids;
    for (const look::ControlLayout& c : *w->controls) {
      EXPECT_TRUE(c.tab_order < 0 || stops.insert({c.parent, c.tab_order}).second) << w->name << " " << c.name;
      EXPECT_TRUE(ids.insert(c.id).second) << w->name << " " << c.name;
    }
    for (const look::MenuLayout& m : w->menu ? *w->menu : std::vector<look::MenuLayout>{})
      EXPECT_TRUE(ids.insert(m.id).second) << w->name << " " << m.name;
  }
}

// The auto-registration box shows what the chosen profile's start script
// holds, and only a change of the box itself writes, to the profile chosen
// then (the update only lists the profiles anew); a change that cannot be written puts the box back. WINB's script is
// read-only, so any write to it would fail and say so.
TEST(AutoRegistration, TheBoxFollowsTheChosenProfileAndWritesOnlyItsOwnChanges) {
  SimMachine m;
  m.host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", "C:\\WINNT");
  auto script = [](const std::string& profile) {
    return "C:\\WINNT\\rpl\\rplfiles\\profiles\\" + profile + "\\suboot\\winboot\\startnet.bat";
  };
  const std::string kOwn = "an image's own script\r\n";
  m.Put(script("WINA"), kStandard);
  m.Put(script("WINB"), kAutoRegister);
  m.host.SetFileAttributes(script("WINB"), platform::kAttrReadOnly);
  m.MakeDirs("C:\\WINNT\\rpl\\rplfiles\\profiles\\WINC\\suboot");  // no Windows 98 files
  m.Put(script("WIND"), kOwn);
  // One letter from the auto-registering script: its own, all the same.
  std::string near = kAutoRegister;
  near[near.size() / 2] ^= 0x20;
  m.Put(script("WINE"), near);
  m.Start();
  m.form->BitBtn12Click();
  platform::CheckBox& box = m.form->CheckBox1;
  auto choose = [&](const std::string& profile) { check_test::Server::Choose(m.form->ComboBox2, profile, true); };
  const SimEvent kUnwritable = {"message", "无法写入 " + script("WINB") + "，工作站自动注册没有改变。", "morva提示(ERROR)", 48};
  struct Step {
    const char* what;
    std::function<void()> act;
    bool checked;
    const char* wina;  // WINA's script afterwards
    std::vector<SimEvent> said;
  } steps[] = {
      {"choose WINA", [&] { choose("WINA"); }, false, kStandard, {}},
      {"set the box", [&] { box.SetChecked(true); }, true, kAutoRegister, {}},
      {"update: the list anew, WINA still chosen", [&] { m.form->BitBtn12Click(); }, true, kAutoRegister, {}},
      {"choose WINB", [&] { choose("WINB"); }, true, kAutoRegister, {}},
      {"choose WINC", [&] { choose("WINC"); }, false, kAutoRegister, {}},
      {"choose WIND", [&] { choose("WIND"); }, false, kAutoRegister, {}},
      {"choose WINE", [&] { choose("WINE"); }, false, kAutoRegister, {}},
      {"choose WINB again", [&] { choose("WINB"); }, true, kAutoRegister, {}},
      {"update with WINB chosen", [&] { m.form->BitBtn12Click(); }, true, kAutoRegister, {}},
      {"clear it, which fails", [&] { box.SetChecked(false); }, true, kAutoRegister, {kUnwritable}},
      {"choose WINA", [&] { choose("WINA"); }, true, kAutoRegister, {}},
      {"clear it", [&] { box.SetChecked(false); }, false, kStandard, {}},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    m.journal().clear();
    step.act();
    EXPECT_EQ(box.Checked(), step.checked);
    EXPECT_EQ(m.journal(), step.said);
    EXPECT_EQ(m.Get(script("WINA")), step.wina);
    EXPECT_EQ(m.Get(script("WINB")) + m.Get(script("WINC")) + m.Get(script("WIND")) + m.Get(script("WINE")),
              std::string(kAutoRegister) + "<absent>" + kOwn + near);
  }
  // Set for the near one, the box writes the whole script.
  choose("WINE");
  box.SetChecked(true);
  EXPECT_EQ(m.Get(script("WINE")), kAutoRegister);
}

TEST(HelpText, HoldsBothMethodsWithTheirStepsInOrder) {
  const std::string text = app::TForm5::Text();
  // The two methods, the end line and the values the steps need, in order.
  const char* in_order[] = {"一、无盘WIN98 (SE)服务器 PXE 设置方法：", "192.168.0.1", "192.168.0.2", "192.168.0.200",
                            "255.255.255.0", "classID", "060classID", "PXEclient", "X86PC(UNDI)", "DOSUNDI",
                            "网卡自动注册", "netnames.db", "二、无盘WIN98 (SE)服务器 RPL 设置方法：", "DLC",
                            "--------------------THE END--------------------------"};
  size_t at = 0;
  for (const char* m : in_order) ASSERT_NE(at = text.find(m, at), std::string::npos) << m;
  // Eleven PXE steps and ten RPL steps, numbered in order.
  const size_t rpl = text.find("二、");
  using Part = std::pair<std::string, int>;  // the text of a method, and its number of steps
  for (const auto& [steps, count] : {Part{text.substr(0, rpl), 11}, Part{text.substr(rpl), 10}}) {
    size_t next = 0;
    for (int i = 1; i <= count; ++i)
      ASSERT_NE(next = steps.find("\r\n" + std::to_string(i) + ". ", next), std::string::npos) << i;
    EXPECT_EQ(steps.find("\r\n" + std::to_string(count + 1) + ". "), std::string::npos);
  }
}

// Every button and menu item of every window has a value object, and its
// click, as the window passes it on, changes something: a message, a window,
// a started program, a control's state. The buttons of identifiers 1 and 2
// are the dialogs' own OK and Cancel, which end the dialog; the menu item
// "关于此程序..." has no action. The main window's leaving and help items do
// their one thing; the exit button alone takes the account script away.
TEST(Events, EveryButtonAndMenuItemHasAValueObjectWhoseClickChangesSomething) {
  const SimEvent kClose = {"close", "", "", 0}, kHelp = {"modal", "TForm5", "", platform::kMrCancel},
                 kStatement = {"modal", "TForm4", "", platform::kMrCancel};
  const std::map<std::string, std::pair<SimEvent, bool>> kMainOnly = {  // the event, and the script kept
      {"BitBtn4", {kClose, false}}, {"E1", {kClose, true}},         {"N2", {kHelp, true}},
      {"SpeedButton2", {kHelp, true}}, {"M1", {kStatement, true}}, {"SpeedButton3", {kStatement, true}}};
  using Controls = std::vector<platform::Control*>;
  struct Window {
    const look::WindowLayout& layout;
    std::function<Controls(RplMachine&, std::unique_ptr<app::TCheckForm>&)> controls;
  } windows[] = {
      {app::TForm1::Layout(), [](RplMachine& m, auto&) { return m.form->Controls(); }},
      {rpl::TForm3::Layout(), [](RplMachine& m, auto&) { return m.form->Form3.Controls(); }},
      {rpl::TGetNetDrv::Layout(), [](RplMachine& m, auto&) { return m.form->GetNetDrv.Controls(); }},
      {app::TCheckForm::Layout(),
       [](RplMachine& m, auto& check) {
         check = std::make_unique<app::TCheckForm>(m.ui, "report", "summary");
         return check->Controls();
       }},
  };
  std::set<std::string> without;  // clickable rows without a value object
  for (const Window& w : windows) {
    std::vector<std::string> clickable;
    for (const look::ControlLayout& c : *w.layout.controls)
      if (c.kind == look::Kind::kGlyphButton || c.kind == look::Kind::kSpeedButton || c.kind == look::Kind::kButton)
        clickable.push_back(c.id == 1 || c.id == 2 ? "" : c.name);
    for (const look::MenuLayout& item : w.layout.menu ? *w.layout.menu : std::vector<look::MenuLayout>{})
      if (*item.parent && std::string(item.caption) != "-") clickable.push_back(item.name);
    for (const std::string& name : clickable) {
      if (name.empty()) continue;
      RplMachine m;
      m.MakeDirs(std::string(RplMachine::kRoot) + "\\rpl\\rplfiles\\profiles\\W98");  // for the update
      std::unique_ptr<app::TCheckForm> check;
      Controls controls = w.controls(m, check);
      platform::Button* button = nullptr;
      for (platform::Control* control : controls)
        if (control->name() == name) button = dynamic_cast<platform::Button*>(control);
      if (!button) {
        without.insert(name);
        continue;
      }
      auto states = [&] {
        std::string all;
        for (platform::Control* control : controls) all += StateOf(*control) + ";";
        return all;
      };
      m.Put("c:\\usertemp.bat", "net group PXEUSERS /add\r\n");
      m.Put("C:\\Korrin\\pxe-pdk\\pxe20-pdk.exe", "program");
      m.journal().clear();
      const std::string before = states();
      button->Click();
      EXPECT_TRUE(!m.journal().empty() || states() != before) << w.layout.name << " " << name << " changes nothing";
      const auto only = kMainOnly.find(name);
      if (&w.layout != &app::TForm1::Layout() || only == kMainOnly.end()) continue;
      EXPECT_EQ(m.journal(), std::vector<SimEvent>{only->second.first}) << name;
      EXPECT_EQ(m.host.FileExists("c:\\usertemp.bat"), only->second.second) << name;
    }
  }
  EXPECT_EQ(without, std::set<std::string>{"N5"});
}

}  // namespace
