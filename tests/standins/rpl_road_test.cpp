// The RPL road as the administrator walks it, at a simulated server where
// every outside program is played by its stand-in: the Remoteboot service's
// rplcmd and manager logic, the command interpreter, net, and the real image
// tools unpacking the release's template floppy.
#include <filesystem>

#include "base/paths.h"
#include "platform/encoding.h"
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
    MakeDirs("C:\\Korrin\\unditool");
    fs::copy(RELEASE_RPLFILES, host.NativePath("C:\\Korrin\\rplfiles"), fs::copy_options::recursive);
    Put("C:\\Korrin\\unditool\\bootimg.w98", ReadNative(TEMPLATE_BOOTIMG));
    Put("C:\\DRIVERS\\NIC\\MYNIC.DOS", "the administrator's own NDIS driver\r\n");
    host.SetCurrentDirectory("C:\\Korrin");
    Start();
  }
  void ChooseCard(const std::string& nic) {
    std::vector<std::string> items = form->ComboBox1.Items();
    for (size_t i = 0; i < items.size(); ++i)
      if (items[i] == nic) form->ComboBox1.SetItemIndex(static_cast<int>(i));
  }
  // The administrator makes a Windows profile in the manager.
  void MakeProfile(const std::string& name, const std::string& configuration) {
    standins::rpl::Manager manager(host, [this](const std::string& dir) {
      std::error_code ec;
      return fs::remove_all(host.NativePath(dir), ec) > 0;
    });
    std::string message;
    ASSERT_TRUE(manager.Load(&message)) << message;
    ASSERT_TRUE(manager.MakeProfile(name, configuration, "", &message)) << message;
  }
  std::string Client(const std::string& profile, const std::string& file) {
    return "C:\\WINNT\\rpl\\rplfiles\\profiles\\" + profile + "\\suboot\\winboot\\" + file;
  }
};

TEST_P(RplRoad, FromDetectionToTheStartedService) {
  const Card& card = Cards()[GetParam()];
  {
    app::TForm1& form = *this->form;
    // Detect: not registered, so configure.
    ChooseCard(card.type);
    form.BitBtn10Click();
    ASSERT_TRUE(form.BitBtn9.Enabled());
    // Register through the dialog of the card.
    ui.OnModal<rpl::TForm3>([&](rpl::TForm3& d) {
      d.MAC.SetText(card.prefix);
      return platform::kMrOk;
    });
    ui.OnModal<rpl::TGetNetDrv>([&](rpl::TGetNetDrv& d) {
      d.NDISTALK.SetText("C:\\DRIVERS\\NIC\\MYNIC.DOS");
      d.MACTALK.SetText(card.prefix);
      return platform::kMrOk;
    });
    form.BitBtn9Click();
    ASSERT_TRUE(form.BitBtn11.Enabled());
    std::vector<std::string> db = DbLines();
    for (const std::string& record : CardRecords(card))
      EXPECT_NE(std::find(db.begin(), db.end(), record), db.end()) << record;
    EXPECT_EQ(Get("C:\\WINNT\\rpltemp.bat"), "<absent>");
    // Make the Windows profile, update the list and choose it.
    const std::string profile = "W" + card.prefix;
    MakeProfile(profile, "WIN" + card.prefix);
    form.BitBtn12Click();
    std::vector<std::string> profiles = form.ComboBox2.Items();
    auto at = std::find(profiles.begin(), profiles.end(), profile);
    ASSERT_NE(at, profiles.end());
    EXPECT_EQ(std::find(profiles.begin(), profiles.end(), "NE2KDOS"), profiles.end());  // a DOS profile
    form.ComboBox2.SetItemIndex(static_cast<int>(at - profiles.begin()));
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
    if (rtl8139) {
      EXPECT_NE(Get(Client(profile, "rtsnd.dos")), "<absent>");
    } else {
      EXPECT_EQ(setvars[2], "SET NETCARD=" + d + ".DOS");
      EXPECT_EQ(Get(Client(profile, "rtsnd.dos")), "<absent>");
      EXPECT_NE(Get(Client(profile, d + ".dos")), "<absent>");
      EXPECT_EQ(Get(Client(profile, "protocol.ini")).find("RTSND"), std::string::npos);
    }
    for (const std::string& f : rpl::ClientFiles())
      if (!(f == "RTSND.DOS" && !rtl8139)) EXPECT_NE(Get(Client(profile, f)), "<absent>") << f;
    EXPECT_EQ(Get(Client(profile, "startnet.bat")),
              std::string(kAutoRegister));
    EXPECT_EQ(host.Attributes("C:\\WINNT\\rpl\\rplfiles\\profiles\\" + profile + "\\suboot\\io.sys"),
              platform::kAttrArchive);
    // The service runs.
    EXPECT_EQ(Records("services.txt"), std::vector<std::string>{"RemoteBoot"});
  }
}

INSTANTIATE_TEST_SUITE_P(EachCard, RplRoad, ::testing::Values(0, 1, 2));

}  // namespace
