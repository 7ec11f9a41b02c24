// The main window's buttons with every outside program played by its
// stand-in: what the administrator gets at the end of each road.
#include "base/paths.h"
#include "pxe/wait_dialog.h"
#include "imagetools/tools.h"
#include "tests/standins/standin_session.h"

namespace {

namespace fs = std::filesystem;

class BootImageFlow : public StandinSession {
 protected:
  void SetUp() override {
    host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", "C:\\Program Files");
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    MakeDirs("C:\\Program Files");
    Put("C:\\Korrin\\unditool\\bootimg.w98", ReadNative(TEMPLATE_BOOTIMG));
    for (const char* tool : {"C:\\Korrin\\unditool\\undisk.exe", "C:\\Korrin\\unditool\\rplimage.exe"}) Put(tool, "program");
    host.SetCurrentDirectory("C:\\Korrin");
    ui.OnModal<pxe::TForm2>([](pxe::TForm2& dialog) {
      while (!dialog.Closed()) dialog.Timer2Timer();
      return platform::kMrCancel;
    });
    Start();
  }

  static constexpr const char* kDosUndi =
      "C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\images\\x86pc\\undi\\dosundi\\dosundi.1";
};

TEST_F(BootImageFlow, TheInstalledImageCarriesThisServerShareAndStartScript) {
  const std::string template_bytes = Get("C:\\Korrin\\unditool\\bootimg.w98");
  for (bool auto_register : {false, true}) {
    form->CheckBox2.SetChecked(auto_register);
    form->Edit1.SetText(auto_register ? "E:\\DISKLESS" : "D:\\PVDROOT");
    form->BitBtn7Click();
    ASSERT_EQ(Get(kDosUndi).size(), 1474560u);
    // Unpacked into a directory of the test's own.
    const fs::path tree = fs::path(root) / "unpacked";
    std::string err;
    ASSERT_EQ(imagetools::Undisk({host.NativePath(kDosUndi), tree.string()}, err), 0) << err;
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
    // So does its boot code.
    EXPECT_EQ(Get(kDosUndi).substr(0x3E, 0x1FE - 0x3E), template_bytes.substr(0x3E, 0x1FE - 0x3E));
    EXPECT_EQ(Get(kDosUndi).substr(0x1FE, 2), "\x55\xAA");
  }
}

}  // namespace
