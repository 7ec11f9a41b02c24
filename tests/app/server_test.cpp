// Start-up, leaving, and the help and statement windows of the main window.
#include "app/statement_window.h"
#include "app/help_window.h"
#include "app/server_check_window.h"
#include <set>

#include "tests/sim_session.h"

namespace {

using platform::SimEvent;

const char kNtKey[] = "\\Software\\Microsoft\\Windows NT\\CurrentVersion";

using Startup = SimSession;

TEST_F(Startup, RestoresTheSharedDirectoryAndReadsSystemRoot) {
  struct Case {
    const char* name;
    const char* temps_bak;  // nullptr: no file
    const char* registry;   // nullptr: no value
    const char* edit1;
    const char* system_root;
  } cases[] = {
      {"first start", nullptr, "C:\\WINNT", "D:\\PVDROOT", "C:\\WINNT"},
      {"saved directory", "E:\\DISKLESS\r\n", "C:\\WINNT", "E:\\DISKLESS", "C:\\WINNT"},
      {"several lines, the first counts", "E:\\A\r\nF:\\B\r\n", "C:\\WINNT", "E:\\A", "C:\\WINNT"},
      {"empty first line", "\r\nF:\\B\r\n", "C:\\WINNT", "", "C:\\WINNT"},
      {"empty file", "", "C:\\WINNT", "", "C:\\WINNT"},
      {"no line end", "G:\\NOEND", "C:\\WINNT", "G:\\NOEND", "C:\\WINNT"},
      {"Chinese directory", "D:\\\xCE\xDE\xC5\xCC\r\n", "C:\\WINNT", "D:\\无盘", "C:\\WINNT"},
      {"missing registry value", nullptr, nullptr, "D:\\PVDROOT", ""},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.MakeDirs("C:\\Korrin");
    m.host.SetCurrentDirectory("C:\\Korrin");
    if (c.temps_bak) m.Put("c:\\temps.bak", c.temps_bak);
    if (c.registry) m.host.SetRegistry(kNtKey, "SystemRoot", c.registry);
    m.Start();
    EXPECT_EQ(m.form->Edit1.Text(), c.edit1) << c.name;
    EXPECT_EQ(m.form->settings.SystemRoot, c.system_root) << c.name;
    EXPECT_EQ(m.form->settings.StartDir, "C:\\Korrin") << c.name;
    EXPECT_TRUE(m.journal().empty()) << c.name;  // no message of any kind
  }
}

TEST_F(Startup, AnUnreadableFileIsReportedAndSystemRootLeftEmpty) {
  host.SetRegistry(kNtKey, "SystemRoot", "C:\\WINNT");
  Put("c:\\temps.bak", "E:\\DISKLESS\r\n");
  host.MakeUnreadable("c:\\temps.bak");
  MakeDirs("C:\\Korrin");
  host.SetCurrentDirectory("C:\\Korrin");
  Start();
  EXPECT_EQ(form->settings.StartDir, "C:\\Korrin");  // captured before the file is read
  ASSERT_EQ(journal().size(), 1u);
  EXPECT_EQ(journal().at(0).kind, "error");
  EXPECT_EQ(journal().at(0).flags, platform::kMbIconStop);
  EXPECT_NE(journal().at(0).text.find("c:\\temps.bak"), std::string::npos);
  EXPECT_EQ(form->Edit1.Text(), "D:\\PVDROOT");
  EXPECT_EQ(form->settings.SystemRoot, "");
  EXPECT_FALSE(ui.main_window_closed());  // the window still opens
}

TEST_F(Startup, ADirectoryNamedLikeTheFileCountsAsNoFile) {
  MakeDirs("c:\\temps.bak");
  Start();
  EXPECT_EQ(form->Edit1.Text(), "D:\\PVDROOT");
  EXPECT_TRUE(journal().empty());
}

TEST_F(Startup, ControlsStartAsTheWindowShowsThem) {
  Start();
  EXPECT_FALSE(form->BitBtn9.Enabled());
  EXPECT_FALSE(form->BitBtn11.Enabled());
  EXPECT_TRUE(form->BitBtn10.Enabled());
  EXPECT_FALSE(form->ProgressBar1.Visible());
  EXPECT_TRUE(form->ProgressBar2.Visible());
  EXPECT_EQ(form->ComboBox1.Text(), "");
  EXPECT_EQ(form->ComboBox1.Items(), (std::vector<std::string>{"RTL 8139", "RTL 8029", "Other NetCARD"}));
  EXPECT_FALSE(form->CheckBox1.Checked());
  EXPECT_FALSE(form->CheckBox2.Checked());
  EXPECT_EQ(form->Edit2.Text(), "USER");
  EXPECT_EQ(form->Edit3.Text(), "30");
  EXPECT_EQ(form->Edit4.Text(), "PXEUSERS");
}

TEST(Layout, TabStopsAndIdentifiersAreUniqueInEachWindow) {
  for (const look::WindowLayout* w : {&app::TForm1::Layout(), &rpl::TForm3::Layout(), &rpl::TGetNetDrv::Layout(),
                                      &app::TCheckForm::Layout()}) {
    std::set<std::pair<std::string, int>> stops;
    std::set<int> ids;
    for (const look::ControlLayout& c : *w->controls) {
      if (c.tab_order >= 0) EXPECT_TRUE(stops.insert({c.parent, c.tab_order}).second) << w->name << " " << c.name;
      EXPECT_TRUE(ids.insert(c.id).second) << w->name << " " << c.name;
    }
    if (w->menu)
      for (const look::MenuLayout& m : *w->menu) EXPECT_TRUE(ids.insert(m.id).second) << w->name << " " << m.name;
  }
}

using Leaving = SimSession;

TEST_F(Leaving, OnlyTheExitButtonDeletesTheAccountScript) {
  struct Case {
    const char* control;
    bool script_kept;
  } cases[] = {{"BitBtn4", false}, {"E1", true}};
  for (const Case& c : cases) {
    Put("c:\\usertemp.bat", "net group PXEUSERS /add\r\n");
    Start();
    journal().clear();
    ASSERT_TRUE(form->Click(c.control));
    EXPECT_EQ(journal(), (std::vector<SimEvent>{{"close", "", "", 0}})) << c.control;
    EXPECT_EQ(host.FileExists("c:\\usertemp.bat"), c.script_kept) << c.control;
  }
}

TEST_F(Leaving, ExitButtonWithoutAScriptClosesQuietly) {
  Start();
  form->BitBtn4Click();
  EXPECT_EQ(journal(), (std::vector<SimEvent>{{"close", "", "", 0}}));
}

using HelpWindows = SimSession;

TEST_F(HelpWindows, MenuAndToolbarOpenTheirWindowsModally) {
  Start();
  for (const char* control : {"N2", "SpeedButton2", "M1", "SpeedButton3"}) ASSERT_TRUE(form->Click(control));
  const unsigned kClosed = platform::kMrCancel;
  std::vector<SimEvent> expected = {{"modal", "TForm5", "", kClosed}, {"modal", "TForm5", "", kClosed},
                                    {"modal", "TForm4", "", kClosed}, {"modal", "TForm4", "", kClosed}};
  EXPECT_EQ(journal(), expected);
}

TEST(HelpText, HoldsBothMethodsWithTheirStepsAndValues) {
  std::string text = app::TForm5::Text();
  const char* must[] = {"一、无盘WIN98 (SE)服务器 PXE 设置方法：", "二、无盘WIN98 (SE)服务器 RPL 设置方法：",
                        "--------------------THE END--------------------------", "192.168.0.1",
                        "192.168.0.2", "192.168.0.200", "255.255.255.0", "classID", "060classID",
                        "PXEclient", "X86PC(UNDI)", "DOSUNDI", "网卡自动注册", "netnames.db", "DLC"};
  for (const char* m : must) EXPECT_NE(text.find(m), std::string::npos) << m;
  EXPECT_LT(text.find("一、"), text.find("二、"));
  EXPECT_LT(text.find("二、"), text.find("THE END"));
  // Eleven PXE steps and ten RPL steps, numbered in order.
  std::string pxe = text.substr(0, text.find("二、")), rpl = text.substr(text.find("二、"));
  size_t at = 0;
  for (int i = 1; i <= 11; ++i) ASSERT_NE(at = pxe.find("\r\n" + std::to_string(i) + ". ", at), std::string::npos) << i;
  EXPECT_EQ(pxe.find("\r\n12. "), std::string::npos);
  at = 0;
  for (int i = 1; i <= 10; ++i) ASSERT_NE(at = rpl.find("\r\n" + std::to_string(i) + ". ", at), std::string::npos) << i;
  EXPECT_EQ(rpl.find("\r\n11. "), std::string::npos);
}

}  // namespace
