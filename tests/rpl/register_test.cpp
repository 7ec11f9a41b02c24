#include "rpl/register.h"

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kScriptCommand[] =
    "C:\\WINNT\\system32\\command.com /c rplcmd <C:\\WINNT\\rpltemp.bat >C:\\WINNT\\rpltemp.out";
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
    // rplcmd, fed the script by the command interpreter: what it read, what
    // it prints and how it ends.
    host.RegisterStandin("command.com", [this](platform::SimHost&, const std::vector<std::string>&,
                                               const std::string&, std::string*) {
      script_at_rplcmd = Get("C:\\WINNT\\rpltemp.bat");
      Put("C:\\WINNT\\rpltemp.out", rplcmd_says);
      return rplcmd_exit;
    });
  }
  bool Dos622Copied() {
    for (const char* f : {"io.sys", "msdos.sys", "command.com", "himem.sys"})
      if (Get(Rpl(std::string("rplfiles\\binfiles\\dos622\\") + f)) != std::string("dos622 ") + f) return false;
    return true;
  }
  std::string script_at_message, script_at_rplcmd;
  std::string rplcmd_says;
  int rplcmd_exit = 0;
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
    const char* card;             // what the boot blocks' comments name
    const char* done;
  } cases[] = {
      {"RTL 8139", "00E04C", "rtsnd.dos", "shipped rtsnd", "rtsnd", "rtsnd", "RTL8139 Netcard(100/10M)", "RTL8139",
       "Rtl8139注册完成，配置远程启动之前请首先进行<检查配置>"},
      {"RTL 8029", "5254ab", "pcind.dos", "shipped pcind", "pcind", "PCIND", "Rtl8029 Netcard(10M)", "RTL8029",
       "Rtl8029注册完成，配置远程启动之前请首先进行<检查配置>"},
      {"Other NetCARD", "0000B4", "MYNIC.dos", "my driver", "MYNIC", "MYNIC", "MYNIC NetCard", "MYNIC(0000B4)",
       "自选网卡完成，配置远程启动之前请首先进行<检查配置>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nic);
    RegistrationMachine m;
    m.Put("C:\\DRIVERS\\NIC\\MYNIC.DOS", "my driver");
    m.Choose(c.nic);
    m.AnswerPrefix(c.mac);
    m.AnswerDriver("C:\\DRIVERS\\NIC\\MYNIC.DOS", c.mac);
    m.form->BitBtn9Click();
    // A custom card's driver is remembered for the installation.
    const bool custom = std::string(c.nic) == "Other NetCARD";
    EXPECT_EQ(m.form->settings.NdisDriverPath, custom ? "C:\\DRIVERS\\NIC\\MYNIC.DOS" : "");
    EXPECT_EQ(m.form->settings.NdisDriverName, custom ? "MYNIC" : "");
    EXPECT_EQ(m.journal(), (std::vector<SimEvent>{{"modal", custom ? "TGetNetDrv" : "TForm3", "", platform::kMrOk},
                                                  {"wait", kScriptCommand, "", platform::kHide},
                                                  {"message", c.done, "进程提示", 64},
                                                  {"run", kManager, "", platform::kShowNormal}}));
    EXPECT_TRUE(m.Dos622Copied());
    EXPECT_EQ(m.Get(Rpl(std::string("bblock\\ndis\\") + c.driver_file)), c.driver_bytes);
    std::string block = Rpl(std::string("bblock\\netbeui\\") + c.block);
    EXPECT_EQ(m.Get(block + "\\w95bb.cnf"), std::string("DRV BBLOCK\\NDIS\\") + c.block + ".DOS ~ ~ ~\r\n");
    // rplcmd read the script, which was there while the message was up, and
    // gone after with rplcmd's output.
    EXPECT_EQ(m.script_at_message, m.script_at_rplcmd);
    std::vector<std::string> script = platform::SplitLines(m.script_at_rplcmd);
    ASSERT_EQ(script.size(), 41u);
    EXPECT_EQ(script[2], c.mac);
    EXPECT_EQ(script[3], c.vendor_comment);
    EXPECT_EQ(script[8], std::string("BBLOCK\\NETBEUI\\") + c.script_driver + "\\DOSBB.CNF");
    EXPECT_EQ(script[19], std::string("DOS 6.22 FOR ") + c.card);
    EXPECT_EQ(script[37], std::string("Windows 98SE FOR ") + c.card);
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.bat"), "<absent>");
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.out"), "<absent>");
    EXPECT_FALSE(m.form->BitBtn9.Enabled());
    EXPECT_TRUE(m.form->BitBtn11.Enabled());
  }
}

// One row per refusal and path; the limits of a prefix and of a driver's name
// are tabled below in RegistrationNames and the Realtek rows. No card chosen
// copies nothing; a dialog closed by its close box ends silently.
TEST_F(Registration, RefusalsStopAfterTheDos622CopiesWithOneMessage) {
  auto kBadName = [](const std::string& file) {
    return "网卡驱动程序 " + file +
           " 的文件名不是“名字.DOS”的形式（名字为 1 到 8 个字符的 DOS 文件名，不能含空格或点，也不能是设备名），程序异常返回!";
  };
  struct Case {
    const char* nic;
    const char* mac;  // nullptr: the dialog is closed
    const char* path;
    std::string message;
  } cases[] = {
      {"", "", "", "请选择网卡类型！"},
      {"RTL 8139", nullptr, "", ""},
      {"Other NetCARD", nullptr, "", ""},
      {"RTL 8139", "", "", "您没有输入或选择网卡前六位地址，程序异常返回！"},
      {"RTL 8029", "00E04", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", "00E04CC", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", "00E04G", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", " 00E04", "", "网卡地址不对，程序异常返回!"},
      {"Other NetCARD", "001122", "", "网卡NDIS驱动程序没有找到，程序异常中止!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\GONE.DOS", "网卡NDIS驱动程序没有找到，程序异常中止!"},
      {"Other NetCARD", "00112", "C:\\DRIVERS\\NIC\\MYNIC.DOS", "网卡地址不对，程序异常返回!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\NINECHARS.DOS", kBadName("NINECHARS.DOS")},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\ne2000.dos",
       "远程启动服务用它自带的启动块支持 ne2000 网卡，C:\\WINNT\\rpl\\bblock\\netbeui\\ne2000 "
       "是所有网卡启动块的模板，不能再注册。程序异常返回!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.nic) + " [" + (c.mac ? c.mac : "closed") + "] " + c.path);
    RegistrationMachine m;
    for (const char* f : {"C:\\DRIVERS\\NIC\\MYNIC.DOS", "C:\\DRIVERS\\NINECHARS.DOS", "C:\\DRIVERS\\ne2000.dos"})
      m.Put(f, "driver");
    const auto templates = m.Tree(m.Rpl("bblock"));
    m.Choose(c.nic);
    if (c.mac) {
      m.AnswerPrefix(c.mac);
      m.AnswerDriver(c.path, c.mac);
    }
    m.form->BitBtn9Click();
    std::vector<SimEvent> journal;
    const char* dialog = std::string(c.nic) == "Other NetCARD" ? "TGetNetDrv" : "TForm3";
    if (*c.nic) journal.push_back({"modal", dialog, "", c.mac ? platform::kMrOk : platform::kMrCancel});
    if (!c.message.empty()) journal.push_back({"message", c.message, kCaption, 48});
    EXPECT_EQ(m.journal(), journal);
    // Nothing beyond the DOS 6.22 copies was made, and those once a card was chosen.
    EXPECT_EQ(m.Dos622Copied(), *c.nic != '\0');
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.bat"), "<absent>");
    EXPECT_TRUE(m.host.Runs().empty());
    EXPECT_EQ(m.Tree(m.Rpl("bblock")), templates);
    EXPECT_TRUE(m.form->BitBtn9.Enabled());
    EXPECT_FALSE(m.form->BitBtn11.Enabled());
    // The chosen driver's path is kept at once, its name only once accepted.
    EXPECT_EQ(m.form->settings.NdisDriverPath, c.path);
    EXPECT_EQ(m.form->settings.NdisDriverName, "");
  }
}

TEST(RegistrationFaults, EveryFailedStepWarnsOnceAndNothingReportsCompletion) {
  const std::string kUnchanged = "\r\n远程启动数据库没有改动，注册没有完成。";
  const std::string kTemplate = "C:\\WINNT\\rpl\\bblock\\netbeui\\ne2000\\dosbb.cnf";
  const SimEvent kNotice = {"notice", "远程启动可能没有正确安装!", "Server", 0};
  const SimEvent kAsked = {"modal", "TForm3", "", platform::kMrOk};
  const SimEvent kRplcmd = {"wait", kScriptCommand, "", platform::kHide};
  auto warning = [](const std::string& text) { return SimEvent{"message", text, kCaption, 48}; };
  struct Case {
    const char* why;
    void (*spoil)(RegistrationMachine&);
    std::vector<SimEvent> journal;
    const char* script;  // rpltemp.bat afterwards
  } cases[] = {
      {"rplcmd refuses the script", [](RegistrationMachine& m) {
         m.rplcmd_exit = 1;
         m.rplcmd_says = "Vendor 00E04C exists already.\r\n";
       }, {kAsked, kRplcmd, warning("rplcmd 拒绝了注册脚本（返回值 1）。" + kUnchanged +
                                    "\r\nrplcmd 的输出：\r\nVendor 00E04C exists already.")}, "<absent>"},
      {"rplcmd never ends", [](RegistrationMachine& m) { m.host.MakeEndless("command.com"); },
       {kAsked, kRplcmd, {"pause", "", "", rpl::kRplcmdLimit}, {"end", kScriptCommand, "", 0},
        warning("rplcmd 在 60 秒内没有结束，已被终止，注册没有完成。\r\n请在远程启动管理器中检查远程启动数据库。")},
       "<absent>"},
      {"an earlier script is read-only", [](RegistrationMachine& m) {
         m.Put("C:\\WINNT\\rpltemp.bat", "the last card's script\r\n");
         m.host.SetFileAttributes("C:\\WINNT\\rpltemp.bat", platform::kAttrReadOnly);
       }, {kAsked, warning("无法写入远程启动数据库脚本 C:\\WINNT\\rpltemp.bat（文件只读、被占用或磁盘已满）。" +
                           kUnchanged)}, "the last card's script\r\n"},
      {"the disk fills while the script is written", [](RegistrationMachine& m) { m.host.LimitDiskSpace(100); },
       {kAsked, warning("无法写入远程启动数据库脚本 C:\\WINNT\\rpltemp.bat（文件只读、被占用或磁盘已满）。" +
                        kUnchanged)}, "<absent>"},
      {"the shipped driver is missing", [](RegistrationMachine& m) { m.Remove("C:\\Korrin\\rplfiles\\rtsnd.dos"); },
       {kAsked, warning("无法把网卡驱动程序 C:\\Korrin\\rplfiles\\rtsnd.dos 复制到 "
                        "C:\\WINNT\\rpl\\bblock\\ndis\\rtsnd.dos。" + kUnchanged)}, "<absent>"},
      {"a file stands where the boot block goes", [](RegistrationMachine& m) {
         m.Put(m.Rpl("bblock\\netbeui\\rtsnd"), "a file");
       }, {kAsked, warning("无法建立启动块目录 C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd。" + kUnchanged)}, "<absent>"},
      {"a template is missing", [](RegistrationMachine& m) { m.Remove(m.Template("dosbb.cnf")); },
       {kAsked, kNotice, warning("启动块文件没有生成：" + kTemplate + " 缺少、无法读取或无法写入。" + kUnchanged)},
       "<absent>"},
      {"a DOS 6.22 file missing", [](RegistrationMachine& m) { m.Remove("C:\\Korrin\\rplfiles\\dos622\\himem.sys"); },
       {warning("无法把 DOS 6.22 系统文件 C:\\Korrin\\rplfiles\\dos622\\himem.sys 复制到 "
                "C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\himem.sys，注册没有进行。")}, "<absent>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    RegistrationMachine m;
    m.Choose("RTL 8139");
    m.AnswerPrefix("00E04C");
    c.spoil(m);
    m.form->BitBtn9Click();
    EXPECT_EQ(m.journal(), c.journal);
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.bat"), c.script);
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.bat.new"), "<absent>");
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.out"), "<absent>");
    EXPECT_TRUE(m.form->BitBtn9.Enabled());
    EXPECT_FALSE(m.form->BitBtn11.Enabled());
    // Detection must not find the card registered: its driver and boot block
    // went with the registration.
    for (const char* f : {"bblock\\ndis\\rtsnd.dos", "bblock\\netbeui\\rtsnd\\dosbb.cnf", "bblock\\netbeui\\rtsnd\\w95bb.cnf"})
      EXPECT_EQ(m.Get(m.Rpl(f)), "<absent>") << f;
  }
}

TEST_F(Registration, ExistingFilesAreKeptExceptACustomDriver) {
  Put(Rpl("rplfiles\\binfiles\\dos622\\io.sys"), "installed io.sys");
  Put(Rpl("bblock\\ndis\\RTSND.DOS"), "installed rtsnd");
  Put(Rpl("bblock\\ndis\\MYNIC.DOS"), "older mynic");
  Put("C:\\DRIVERS\\MYNIC.DOS", "newer mynic");
  Choose("Other NetCARD");
  AnswerDriver("C:\\DRIVERS\\MYNIC.DOS", "001122");
  form->BitBtn9Click();
  EXPECT_EQ(Get(Rpl("bblock\\ndis\\MYNIC.DOS")), "newer mynic");
  // A later Realtek registration leaves the custom card's path and name alone.
  Choose("RTL 8139");
  AnswerPrefix("00E04C");
  form->BitBtn9Click();
  EXPECT_EQ(Get(Rpl("rplfiles\\binfiles\\dos622\\io.sys")), "installed io.sys");
  EXPECT_EQ(Get(Rpl("bblock\\ndis\\RTSND.DOS")), "installed rtsnd");
  EXPECT_EQ(form->settings.NdisDriverPath, "C:\\DRIVERS\\MYNIC.DOS");
  EXPECT_EQ(form->settings.NdisDriverName, "MYNIC");
}

TEST(RegistrationNames, OnlyNameDotDosWithADosNameThatIsNoDeviceIsADriver) {
  struct Case {
    const char* path;
    const char* base;  // the driver's name by the base-name rule
    bool driver;       // the file is accepted as a driver
  } cases[] = {
      {"C:\\DRIVERS\\NIC\\MYNIC.DOS", "MYNIC", true}, {"C:\\e100b.dos", "e100b", true},
      {"C:\\A\\A.Dos", "A", true},                    {"C:\\A\\ABCDEFGH.DOS", "ABCDEFGH", true},
      {"C:\\A\\ABCDEFGHI.DOS", "ABCDEFGHI", false},  {"C:\\A\\MY NIC.DOS", "MY NIC", false},
      {"C:\\A\\MY.NIC.DOS", "MY.DOS", false},         {"C:\\A\\A..DOS", "AS", false},
      {"C:\\A\\MYNICX.DOSX", "MYNICXX", false},       {"C:\\A\\MYNIC.SYS", "MYNIC", false},
      {"C:\\A\\MYNIC.DO", "MYNIC", false},            {"C:\\A\\MYNIC", "MYNIC", false},
      {"C:\\A\\.DOS", "", false},                     {"C:\\A\\MY*NIC.DOS", "MY*NIC", false},
      {"C:\\A\\CON.DOS", "CON", false},               {"C:\\A\\nul.dos", "nul", false},
      {"C:\\A\\COM4.DOS", "COM4", false},             {"C:\\A\\COM5.DOS", "COM5", true},
      {"C:\\A\\LPT3.DOS", "LPT3", false},             {"C:\\A\\LPT4.DOS", "LPT4", true},
      {"C:\\A\\CONX.DOS", "CONX", true},              {"C:\\A\\PRN.DOS", "PRN", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rpl::DriverBaseName(c.path), c.base) << c.path;
    const std::string path = c.path;
    EXPECT_EQ(rpl::IsDriverFileName(path.substr(path.find_last_of('\\') + 1)), c.driver) << c.path;
  }
}

TEST_F(Registration, TheChooserMovesTheCurrentDirectoryAndFillsNdistalk) {
  Put("D:\\NET\\E100B.DOS", "driver");
  Put("D:\\NET\\README.TXT", "text");
  MakeDirs("D:\\NET\\OLD");
  rpl::TGetNetDrv& chooser = form->GetNetDrv;
  chooser.FormShow();
  EXPECT_EQ(chooser.DirectoryListBox1.Items().at(0), "C:\\");
  // Drive D:, then its NET directory, then the driver.
  ASSERT_EQ(chooser.DriveComboBox1.Items().size(), 2u);
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
  // The current directory stays where the chooser left it; the boot image
  // still finds its tools in the program's own directory.
  EXPECT_EQ(host.CurrentDirectory(), "D:\\NET\\OLD");
  Put("C:\\Korrin\\unditool\\bootimg.w98", "template");
  host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", "C:\\Program Files");
  journal().clear();
  form->BitBtn7Click();
  EXPECT_EQ(journal().at(0), (SimEvent{"run",
                                    "C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 "
                                    "c:\\temp\\bootimg",
                                    "", platform::kHide}));
}

}  // namespace
