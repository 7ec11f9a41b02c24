#include "rpl/register.h"

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kScriptCommand[] = "C:\\WINNT\\system32\\command.com /c rplcmd <C:\\WINNT\\rpltemp.bat";
const char kManager[] = "C:\\WINNT\\system32\\rplmgr.exe";
const char kCaption[] = "morva提示";

class RegistrationMachine : public RplMachine {
 public:
  RegistrationMachine() {
    form->BitBtn9.SetEnabled(true);
    // What the machine holds while the completion message is up.
    ui.WhileShown([this](const SimEvent& e) {
      if (e.kind == "message" && e.caption == "进程提示") script_at_message = Get("C:\\WINNT\\rpltemp.bat");
    });
  }
  // Form3 answered with a prefix and OK.
  void Prefix(const std::string& mac) {
    ui.OnModal<rpl::TForm3>([mac](rpl::TForm3& d) {
      d.MAC.SetText(mac);
      return platform::kMrOk;
    });
  }
  // The chooser answered with a driver path and a prefix, then OK.
  void Driver(const std::string& path, const std::string& mac) {
    ui.OnModal<rpl::TGetNetDrv>([path, mac](rpl::TGetNetDrv& d) {
      d.NDISTALK.SetText(path);
      d.MACTALK.SetText(mac);
      return platform::kMrOk;
    });
  }
  bool Dos622Copied() {
    for (const char* f : {"io.sys", "msdos.sys", "command.com", "himem.sys"})
      if (Get(Rpl(std::string("rplfiles\\binfiles\\dos622\\") + f)) != std::string("dos622 ") + f) return false;
    return true;
  }
  // Nothing beyond the DOS 6.22 copies was made.
  void ExpectOnlyDos622Copies(const std::string& why) {
    EXPECT_TRUE(Dos622Copied()) << why;
    EXPECT_EQ(Get("C:\\WINNT\\rpltemp.bat"), "<absent>") << why;
    EXPECT_TRUE(host.Runs().empty()) << why;
    std::vector<platform::DirEntry> entries;
    host.ListDirectory(Rpl("bblock\\ndis"), &entries);
    EXPECT_EQ(entries.size(), 2u) << why;  // "." and ".." only
    EXPECT_TRUE(form->BitBtn9.Enabled()) << why;
    EXPECT_FALSE(form->BitBtn11.Enabled()) << why;
  }
  std::string script_at_message;
};

class Registration : public ::testing::Test, public RegistrationMachine {};

TEST_F(Registration, EachCardRunsTheWholeRegistrationInItsOrder) {
  struct Case {
    const char* nic;
    const char* mac;
    const char* driver_file;      // below bblock\ndis
    const char* driver_bytes;
    const char* block;            // the boot-block directory's name
    const char* script_driver;
    const char* vendor_comment;
    const char* done;
  } cases[] = {
      {"RTL 8139", "00E04C", "rtsnd.dos", "shipped rtsnd", "rtsnd", "rtsnd", "RTL8139 Netcard(100/10M)",
       "Rtl8139注册完成，配置远程启动之前请首先进行<检查配置>"},
      {"RTL 8029", "5254ab", "pcind.dos", "shipped pcind", "pcind", "PCIND", "Rtl8029 Netcard(10M)",
       "Rtl8029注册完成，配置远程启动之前请首先进行<检查配置>"},
      {"Other NetCARD", "001122", "MYNIC.dos", "my driver", "MYNIC", "MYNIC", "MYNIC NetCard",
       "自选网卡完成，配置远程启动之前请首先进行<检查配置>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nic);
    RegistrationMachine m;
    m.Put("C:\\DRIVERS\\NIC\\MYNIC.DOS", "my driver");
    m.Choose(c.nic);
    m.Prefix(c.mac);
    m.Driver("C:\\DRIVERS\\NIC\\MYNIC.DOS", c.mac);
    m.form->BitBtn9Click();
    const char* dialog = std::string(c.nic) == "Other NetCARD" ? "TGetNetDrv" : "TForm3";
    EXPECT_EQ(m.journal(), (std::vector<SimEvent>{{"modal", dialog, "", platform::kMrOk},
                                                  {"run", kScriptCommand, "", platform::kHide},
                                                  {"pause", "", "", 1500},
                                                  {"message", c.done, "进程提示", 64},
                                                  {"run", kManager, "", platform::kShowNormal}}));
    EXPECT_TRUE(m.Dos622Copied());
    EXPECT_EQ(m.Get(Rpl(std::string("bblock\\ndis\\") + c.driver_file)), c.driver_bytes);
    std::string block = Rpl(std::string("bblock\\netbeui\\") + c.block);
    EXPECT_EQ(m.Get(block + "\\w95bb.cnf"), std::string("DRV BBLOCK\\NDIS\\") + c.block + ".DOS ~ ~ ~\r\n");
    EXPECT_EQ(m.Lines(block + "\\protocol.ini")[0], std::string("[") + c.block + "]");
    // The script was there while the message was up, and gone after.
    std::vector<std::string> script = platform::SplitLines(m.script_at_message);
    ASSERT_EQ(script.size(), 41u);
    EXPECT_EQ(script[2], c.mac);
    EXPECT_EQ(script[3], c.vendor_comment);
    EXPECT_EQ(script[8], std::string("BBLOCK\\NETBEUI\\") + c.script_driver + "\\DOSBB.CNF");
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.bat"), "<absent>");
    EXPECT_FALSE(m.form->BitBtn9.Enabled());
    EXPECT_TRUE(m.form->BitBtn11.Enabled());
  }
}

TEST_F(Registration, ACustomCardSetsThePathAtOnceAndTheNameOnceTheChecksPass) {
  Put("C:\\DRIVERS\\NIC\\MYNIC.DOS", "my driver");
  Choose("Other NetCARD");
  Driver("C:\\DRIVERS\\NIC\\MYNIC.DOS", "12345");  // refused: five characters
  form->BitBtn9Click();
  EXPECT_EQ(form->settings.NdisDriverPath, "C:\\DRIVERS\\NIC\\MYNIC.DOS");
  EXPECT_EQ(form->settings.NdisDriverName, "");
  Driver("C:\\DRIVERS\\NIC\\MYNIC.DOS", "0000B4");
  form->BitBtn9Click();
  EXPECT_EQ(form->settings.NdisDriverName, "MYNIC");
  EXPECT_EQ(platform::SplitLines(script_at_message)[19], "DOS 6.22 FOR MYNIC(0000B4)");
  EXPECT_EQ(platform::SplitLines(script_at_message)[37], "Windows 98SE FOR MYNIC(0000B4)");
  // A later Realtek registration leaves both alone.
  form->BitBtn9.SetEnabled(true);
  Choose("RTL 8139");
  Prefix("00E04C");
  form->BitBtn9Click();
  EXPECT_EQ(form->settings.NdisDriverPath, "C:\\DRIVERS\\NIC\\MYNIC.DOS");
  EXPECT_EQ(form->settings.NdisDriverName, "MYNIC");
}

TEST_F(Registration, RefusalsStopAfterTheDos622CopiesWithOneMessage) {
  struct Case {
    const char* nic;
    const char* mac;
    const char* path;
    const char* message;
  } cases[] = {
      {"RTL 8139", "", "", "您没有输入或选择网卡前六位地址，程序异常返回！"},
      {"RTL 8029", "00E04", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", "00E04CC", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", "00E04G", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", " 00E04", "", "网卡地址不对，程序异常返回!"},
      {"Other NetCARD", "001122", "", "网卡NDIS驱动程序没有找到，程序异常中止!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\GONE.DOS", "网卡NDIS驱动程序没有找到，程序异常中止!"},
      {"Other NetCARD", "00112", "C:\\DRIVERS\\NIC\\MYNIC.DOS", "网卡地址不对，程序异常返回!"},
      {"Other NetCARD", "0011223", "C:\\DRIVERS\\NIC\\MYNIC.DOS", "网卡地址不对，程序异常返回!"},
      {"Other NetCARD", "00112Z", "C:\\DRIVERS\\NIC\\MYNIC.DOS", "网卡地址不对，程序异常返回!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\NINECHARS.DOS", nullptr},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\MY NIC.DOS", nullptr},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\MY.NIC.DOS", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.nic) + " [" + c.mac + "] " + c.path);
    RegistrationMachine m;
    for (const char* f : {"C:\\DRIVERS\\NIC\\MYNIC.DOS", "C:\\DRIVERS\\NINECHARS.DOS", "C:\\DRIVERS\\MY NIC.DOS",
                          "C:\\DRIVERS\\MY.NIC.DOS"})
      m.Put(f, "driver");
    m.Choose(c.nic);
    m.Prefix(c.mac);
    m.Driver(c.path, c.mac);
    m.form->BitBtn9Click();
    ASSERT_EQ(m.journal().size(), 2u);
    EXPECT_EQ(m.journal()[1].kind, "message");
    if (c.message) EXPECT_EQ(m.journal()[1].text, c.message);
    EXPECT_EQ(m.journal()[1].caption, kCaption);
    EXPECT_EQ(m.journal()[1].flags, 48u);
    m.ExpectOnlyDos622Copies(m.journal()[1].text);
    EXPECT_EQ(m.form->settings.NdisDriverName, "");
  }
}

TEST_F(Registration, NoCardChosenCopiesNothingAndCancellingEndsSilently) {
  Choose("");
  form->BitBtn9Click();
  EXPECT_EQ(journal(), (std::vector<SimEvent>{{"message", "请选择网卡类型！", kCaption, 48}}));
  EXPECT_FALSE(Dos622Copied());
  for (const char* nic : {"RTL 8139", "Other NetCARD"}) {
    journal().clear();
    Choose(nic);
    form->BitBtn9Click();  // no script: the dialog is closed by its close box
    ASSERT_EQ(journal().size(), 1u) << nic;
    EXPECT_EQ(journal()[0].flags, static_cast<unsigned>(platform::kMrCancel));
    ExpectOnlyDos622Copies(nic);
  }
}

TEST_F(Registration, ExistingFilesAreKeptExceptACustomDriver) {
  Put(Rpl("rplfiles\\binfiles\\dos622\\io.sys"), "installed io.sys");
  Put(Rpl("bblock\\ndis\\RTSND.DOS"), "installed rtsnd");
  Put(Rpl("bblock\\ndis\\MYNIC.DOS"), "older mynic");
  Put("C:\\DRIVERS\\MYNIC.DOS", "newer mynic");
  Choose("RTL 8139");
  Prefix("00E04C");
  form->BitBtn9Click();
  EXPECT_EQ(Get(Rpl("rplfiles\\binfiles\\dos622\\io.sys")), "installed io.sys");
  EXPECT_EQ(Get(Rpl("bblock\\ndis\\RTSND.DOS")), "installed rtsnd");
  Choose("Other NetCARD");
  Driver("C:\\DRIVERS\\MYNIC.DOS", "001122");
  form->BitBtn9Click();
  EXPECT_EQ(Get(Rpl("bblock\\ndis\\MYNIC.DOS")), "newer mynic");
}

TEST(RegistrationNames, DriverBaseNameAndDosNames) {
  struct Case {
    const char* path;
    const char* base;
    bool dos;
  } cases[] = {
      {"C:\\DRIVERS\\NIC\\MYNIC.DOS", "MYNIC", true}, {"C:\\E100B.DOS", "E100B", true},
      {"C:\\A\\ABCDEFGH.DOS", "ABCDEFGH", true},     {"C:\\A\\ABCDEFGHI.DOS", "ABCDEFGHI", false},
      {"C:\\A\\MY NIC.DOS", "MY NIC", false},        {"C:\\A\\MY.NIC.DOS", "MY.DOS", false},
      {"C:\\A\\.DOS", "", false},                    {"NODIR", "NODIR", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rpl::DriverBaseName(c.path), c.base) << c.path;
    EXPECT_EQ(rpl::IsDosBaseName(c.base), c.dos) << c.path;
  }
}

TEST_F(Registration, TheChooserMovesTheCurrentDirectoryAndFillsNdistalk) {
  Put("D:\\NET\\E100B.DOS", "driver");
  Put("D:\\NET\\README.TXT", "text");
  MakeDirs("D:\\NET\\OLD");
  rpl::TGetNetDrv& chooser = form->GetNetDrv;
  chooser.FormShow();
  EXPECT_EQ(chooser.DirectoryListBox1.Items()[0], "C:\\");
  // Drive D:, then its NET directory, then the driver.
  std::vector<std::string> drives = chooser.DriveComboBox1.Items();
  ASSERT_EQ(drives.size(), 2u);
  chooser.DriveComboBox1.Choose(1);
  EXPECT_EQ(host.CurrentDirectory(), "D:\\");
  chooser.DirectoryListBox1.Choose(1);  // "D:\", then "NET"
  EXPECT_EQ(host.CurrentDirectory(), "D:\\NET");
  EXPECT_EQ(chooser.FileListBox1.Items(), std::vector<std::string>{"E100B.DOS"});
  EXPECT_EQ(chooser.NDISTALK.Text(), "");
  chooser.FileListBox1.Choose(0);
  EXPECT_EQ(chooser.NDISTALK.Text(), "D:\\NET\\E100B.DOS");
  chooser.DirectoryListBox1.Choose(2);  // "OLD": no file chosen any more
  EXPECT_EQ(chooser.NDISTALK.Text(), "");
  EXPECT_FALSE(chooser.NDISTALK.Enabled());
  EXPECT_EQ(chooser.FilterComboBox1.Text(), "NdisDrive(*.DOS)");
  // The current directory stays where the chooser left it; the boot image
  // still finds its tools in the program's own directory.
  EXPECT_EQ(host.CurrentDirectory(), "D:\\NET\\OLD");
  EXPECT_EQ(form->settings.StartDir, "C:\\Korrin");
}

}  // namespace
