// The main window's buttons with every outside program played by its
// stand-in: what the administrator gets at the end of each road.
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/paths.h"
#include "pxe/wait_dialog.h"
#include "imagetools/tools.h"
#include "tests/standins/standin_session.h"

namespace {

namespace fs = std::filesystem;

std::string ReadNative(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

using Flows = StandinSession;

TEST_F(Flows, GeneratingUsersCreatesTheAccountsGroupAndShares) {
  MakeDirs("D:\\");
  Start();
  form->BitBtn1Click();
  std::vector<std::string> users = Records("users.txt"), shares = Records("shares.txt"),
                           groups = Records("groups.txt");
  EXPECT_EQ(users.size(), 31u);
  EXPECT_EQ(users[0].substr(0, 8), "kotavei\t");
  EXPECT_EQ(shares.size(), 31u);
  EXPECT_EQ(shares[0], "PVDROOT\tD:\\PVDROOT");
  EXPECT_EQ(shares[30], "USER30\tD:\\PVDROOT\\USER30");
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(Count(groups[0], "\t"), 31u);  // PXEUSERS and its 31 members
  EXPECT_EQ(groups[0].substr(0, 17), "PXEUSERS\tkotavei\t");

  // A second press: the same script, every command refused, nothing changed.
  form->BitBtn1Click();
  EXPECT_EQ(Records("users.txt"), users);
  EXPECT_EQ(Records("shares.txt"), shares);
  EXPECT_EQ(Records("groups.txt"), groups);
}

class BootImageFlow : public StandinSession {
 protected:
  void SetUp() override {
    host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", "C:\\Program Files");
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    MakeDirs("C:\\Program Files");
    Put("C:\\Korrin\\unditool\\bootimg.w98", ReadNative(TEMPLATE_BOOTIMG));
    host.SetCurrentDirectory("C:\\Korrin");
    ui.OnModal<pxe::TForm2>([](pxe::TForm2& dialog) {
      while (!dialog.Closed()) dialog.Timer2Timer();
      return platform::kMrCancel;
    });
    Start();
  }

  // Unpacks the installed image into a directory of the test's own.
  fs::path UnpackInstalled() {
    fs::path out = fs::path(root) / "unpacked";
    std::string err;
    EXPECT_EQ(imagetools::Undisk({host.NativePath(kDosUndi), out.string()}, err), 0) << err;
    return out;
  }

  static constexpr const char* kDosUndi =
      "C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\images\\x86pc\\undi\\dosundi\\dosundi.1";
};

TEST_F(BootImageFlow, TheInstalledImageCarriesThisServerShareAndStartScript) {
  for (bool auto_register : {false, true}) {
    form->CheckBox2.SetChecked(auto_register);
    form->Edit1.SetText(auto_register ? "E:\\DISKLESS" : "D:\\PVDROOT");
    form->BitBtn7Click();
    ASSERT_EQ(Get(kDosUndi).size(), 1474560u);
    fs::path tree = UnpackInstalled();
    std::string setvars = ReadNative(tree / "WINBOOT" / "SETVARS.BAT");
    std::string expected_tail = std::string("SET SERVER=KORRINSRV\r\nSET SHARE=") +
                                (auto_register ? "DISKLESS" : "PVDROOT") + "\r\n";
    ASSERT_GE(setvars.size(), expected_tail.size());
    EXPECT_EQ(setvars.substr(setvars.size() - expected_tail.size()), expected_tail);
    EXPECT_EQ(platform::SplitLines(setvars).size(), 5u);
    std::vector<std::string> startnet = platform::SplitLines(ReadNative(tree / "WINBOOT" / "STARTNET.BAT"));
    EXPECT_EQ(startnet.size(), auto_register ? 28u : 23u);
    // The template's other files come through unchanged.
    EXPECT_NE(ReadNative(tree / "SYSTEM.DAT").find("RTSND"), std::string::npos);
    EXPECT_TRUE(fs::exists(tree / "WINBOOT" / "PROTOCOL.INI"));
    fs::remove_all(tree);
  }
}

TEST_F(BootImageFlow, TheImageKeepsTheTemplatesBootCode) {
  form->BitBtn7Click();
  std::string installed = Get(kDosUndi), original = Get("C:\\Korrin\\unditool\\bootimg.w98");
  EXPECT_EQ(installed.substr(0x3E, 0x1FE - 0x3E), original.substr(0x3E, 0x1FE - 0x3E));
  EXPECT_EQ(installed.substr(0x1FE, 2), "\x55\xAA");
}

}  // namespace
