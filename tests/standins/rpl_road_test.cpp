// The RPL road as the administrator walks it, at a simulated server where
// every outside program is played by its stand-in: the Remoteboot service's
// rplcmd and manager logic, the command interpreter, net, and the real image
// tools unpacking the release's template floppy.
#include <filesystem>
#include <functional>

#include "base/paths.h"
#include "platform/encoding.h"
#include "platform/file_lists.h"
#include "pxe/startnet.h"
#include "tests/pxe/startnet_bytes.h"
#include "rpl/install.h"
#include "standins/rpl/rplmgr.h"
#include "tests/standins/rpl_session.h"

namespace {

namespace fs = std::filesystem;

class RplRoad : public RplSession, public ::testing::WithParamInterface<size_t> {
 protected:
  void SetUp() override {
    host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", "C:\\WINNT");
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    Put("C:\\Korrin\\unditool\\bootimg.w98", ReadNative(TEMPLATE_BOOTIMG));
    fs::copy(RELEASE_RPLFILES, host.NativePath("C:\\Korrin\\rplfiles"), fs::copy_options::recursive);
    Put("C:\\DRIVERS\\NIC\\MYNIC.DOS", "the administrator's own NDIS driver\r\n");
    host.SetCurrentDirectory("C:\\Korrin");
    host.SetProgramDirectory("C:\\Korrin");
    Start();
  }
  // Chooses an item of a list by its text.
  static void Choose(platform::ComboBox& list, const std::string& item) {
    const std::vector<std::string> items = list.Items();
    auto at = std::find(items.begin(), items.end(), item);
    ASSERT_NE(at, items.end()) << item;
    list.SetItemIndex(static_cast<int>(at - items.begin()));
  }
  std::string Client(const std::string& profile, const std::string& file) {
    return "C:\\WINNT\\rpl\\rplfiles\\profiles\\" + profile + "\\suboot\\winboot\\" + file;
  }
};

TEST_P(RplRoad, FromDetectionToTheStartedService) {
  const Card& card = Cards()[GetParam()];
  app::TForm1& form = *this->form;
  // Detect: not registered, so configure.
  Choose(form.ComboBox1, card.type);
  form.BitBtn10Click();
  ASSERT_TRUE(form.BitBtn9.Enabled());
  // Register through the dialog of the card.
  AnswerPrefix(card.prefix);
  AnswerDriver("C:\\DRIVERS\\NIC\\MYNIC.DOS", card.prefix);
  form.BitBtn9Click();
  ASSERT_TRUE(form.BitBtn11.Enabled());
  std::vector<std::string> db = DbLines();
  for (const std::string& record : CardRecords(card))
    EXPECT_NE(std::find(db.begin(), db.end(), record), db.end()) << record;
  EXPECT_EQ(Get("C:\\WINNT\\rpltemp.bat"), "<absent>");
  // The administrator makes the Windows profile in the manager; the list,
  // updated, offers it and no DOS profile.
  const std::string profile = "W" + card.prefix;
  standins::rpl::Manager manager(host, RemoveEmptyDirectory());
  std::string message;
  ASSERT_TRUE(manager.Load(&message)) << message;
  ASSERT_TRUE(manager.MakeProfile(profile, "WIN" + card.prefix, "", &message)) << message;
  form.BitBtn12Click();
  const std::vector<std::string> profiles = form.ComboBox2.Items();
  EXPECT_EQ(std::find(profiles.begin(), profiles.end(), "NE2KDOS"), profiles.end());
  Choose(form.ComboBox2, profile);
  // Install, then switch auto-registration on, then start the service.
  journal().clear();
  form.BitBtn11Click();
  EXPECT_EQ(journal().back().text, "无盘WIN98远程启动文件安装完成！");
  form.CheckBox1.SetChecked(true);
  form.BitBtn6Click();
  // The profile as the road leaves it.
  std::vector<std::string> setvars;
  ASSERT_TRUE(platform::ReadTextLines(host, Client(profile, "setvars.bat"), &setvars));
  ASSERT_EQ(setvars.size(), 5u);
  EXPECT_EQ(setvars[3], "SET SERVER=KORRINSRV");
  EXPECT_EQ(setvars[4], "SET SHARE=PVDROOT");
  const bool rtl8139 = card.driver == "rtsnd";
  const std::string d = card.type == std::string("RTL 8029") ? "PCIND" : card.driver;
  if (!rtl8139) {
    EXPECT_EQ(setvars[2], "SET NETCARD=" + d + ".DOS");
    EXPECT_EQ(Get(Client(profile, "rtsnd.dos")), "<absent>");
    EXPECT_NE(Get(Client(profile, d + ".dos")), "<absent>");
    EXPECT_EQ(Get(Client(profile, "protocol.ini")).find("RTSND"), std::string::npos);
  }
  for (const std::string& f : rpl::ClientFiles()) {
    if (!(f == "RTSND.DOS" && !rtl8139)) {
      EXPECT_NE(Get(Client(profile, f)), "<absent>") << f;
    }
  }
  EXPECT_EQ(Get(Client(profile, "startnet.bat")), std::string(kAutoRegister));
  EXPECT_EQ(host.Attributes("C:\\WINNT\\rpl\\rplfiles\\profiles\\" + profile + "\\suboot\\io.sys"),
            platform::kAttrArchive);
  // The service runs.
  EXPECT_EQ(Records("services.txt"), std::vector<std::string>{"RemoteBoot"});
}

// Registrations again, with rplcmd's own listing, one after another on one
// server: a card lacking a file, registered for a new prefix, keeps the
// files it had; a card never registered, given a prefix another card's
// records hold, is refused and takes back what it brought; a card lacking a
// file, for its own prefix, is registered already and completed; and over a
// damaged database nothing counts as registered.
TEST_F(RplRoad, RegisteringAgainTakesRplcmdsListOfTheCardsOwnRecords) {
  const std::string kBlock = "C:\\WINNT\\rpl\\bblock\\netbeui\\", kTuned = "[rtsnd]\r\n    IRQ=10 ; by hand\r\n";
  struct Step {
    const char* what;
    const char* nic;
    const char* mac;
    std::function<void()> before;
    std::string message;  // a mask
    bool registered;
    std::function<void()> check;
    bool db_changed = false;
  } steps[] = {
      {"the RTL8139 card", "RTL 8139", "00E04C", [] {}, "Rtl8139注册完成*", true, [] {}, true},
      {"a lost w95bb.cnf, a new prefix", "RTL 8139", "00E04D", [&] {
         Put(kBlock + "rtsnd\\protocol.ini", kTuned);
         host.DeleteFile(kBlock + "rtsnd\\w95bb.cnf");
       }, "Rtl8139注册完成*", true, [&] {
         EXPECT_EQ(Get(kBlock + "rtsnd\\protocol.ini"), kTuned);
         EXPECT_NE(Get(kBlock + "rtsnd\\w95bb.cnf"), "<absent>");
       }, true},
      {"a card never registered, its protocol.ini there, the RTL8139's prefix", "Other NetCARD", "00E04C",
       [&] { Put(kBlock + "MYNIC\\protocol.ini", "[MYNIC]\r\n"); },
       "远程启动数据库中的启动块 00E04CDOS 的启动块文件是 BBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF，不是这块网卡的 "
       "BBLOCK\\NETBEUI\\MYNIC\\DOSBB.CNF：厂商前缀 00E04C 已经属于另一块网卡。请填这块网卡的工作站网卡地址的前六位。"
       "\r\n远程启动数据库没有改动，注册没有完成。",
       false, [&] {
         EXPECT_EQ(Get(kBlock + "MYNIC\\protocol.ini"), "[MYNIC]\r\n");
         EXPECT_EQ(Get(kBlock + "MYNIC\\dosbb.cnf"), "<absent>");
         EXPECT_EQ(Get("C:\\WINNT\\rpl\\bblock\\ndis\\MYNIC.dos"), "<absent>");
       }},
      {"a lost dosbb.cnf, its own prefix", "RTL 8139", "00E04C", [&] { host.DeleteFile(kBlock + "rtsnd\\dosbb.cnf"); },
       "这块网卡已经注册过：它缺少的 dosbb.cnf 已经补上*", true, [&] {
         EXPECT_EQ(Get(kBlock + "rtsnd\\protocol.ini"), kTuned);
         EXPECT_NE(Get(kBlock + "rtsnd\\dosbb.cnf"), "<absent>");
       }},
      {"a lost dosbb.cnf, a damaged database", "RTL 8139", "00E04C", [&] {
         host.DeleteFile(kBlock + "rtsnd\\dosbb.cnf");
         Put(kDb, Get(kDb) + "VENDOR\t00E04E\r\n");
       }, "无法列出远程启动数据库中的记录：rplcmd 无法列出远程启动数据库中的记录（返回值 3）：*damaged*", false,
       [&] { EXPECT_EQ(Get(kBlock + "rtsnd\\dosbb.cnf"), "<absent>"); }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    step.before();
    const std::string db = Get(kDb);
    form->BitBtn9.SetEnabled(true);
    form->BitBtn11.SetEnabled(false);
    Choose(form->ComboBox1, step.nic);
    AnswerPrefix(step.mac);
    AnswerDriver("C:\\DRIVERS\\NIC\\MYNIC.DOS", step.mac);
    journal().clear();
    form->BitBtn9Click();
    std::string message;
    for (const platform::SimEvent& e : journal())
      if (e.kind == "message") message = e.text;
    EXPECT_TRUE(platform::MatchesMask(message, step.message)) << message;
    EXPECT_EQ(form->BitBtn11.Enabled(), step.registered);
    EXPECT_EQ(Get(kDb) != db, step.db_changed);
    EXPECT_EQ(Get("C:\\WINNT\\rpltemp.bat"), "<absent>");
    step.check();
  }
}

INSTANTIATE_TEST_SUITE_P(EachCard, RplRoad, ::testing::Values(0, 1, 2));

}  // namespace
