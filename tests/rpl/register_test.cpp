#include "rpl/register.h"

#include "tests/rpl/registration_machine.h"

namespace {

using namespace registration;

class Registration : public ::testing::Test, public RegistrationMachine {};

// The RTL 8139's script, byte for byte.
const char kScript8139[] =
    "V\r\nA\r\n00E04C\r\nRTL8139 Netcard(100/10M)\r\n"
    "B\r\nA\r\n00E04CDOS\r\n00E04C\r\nBBLOCK\\NETBEUI\\rtsnd\\DOSBB.CNF\r\nSTART00E04CDOS\r\n0\r\n"
    "C\r\nA\r\nDOS00E04C\r\n00E04CDOS\r\ndos\r\ndos622\r\nfits\\dos622.fit\r\nfits\\dos622p.fit\r\n"
    "DOS 6.22 FOR RTL8139\r\n\r\n\r\n"
    "B\r\nA\r\n00E04CWIN\r\n00E04C\r\nBBLOCK\\NETBEUI\\rtsnd\\W95BB.CNF\r\nSTARTrtsndWIN\r\n0\r\n"
    "C\r\nA\r\nWIN00E04C\r\n00E04CWIN\r\ndos\r\nwin95\r\nfits\\win95.fit\r\nfits\\win95p.fit\r\n"
    "Windows 98SE FOR RTL8139\r\n\r\n\r\n"
    "q\r\n";

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
      {"Other NetCARD", "0000B4", "MYNIC.dos", "newer mynic", "MYNIC", "MYNIC", "MYNIC NetCard", "MYNIC(0000B4)",
       "自选网卡完成，配置远程启动之前请首先进行<检查配置>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nic);
    RegistrationMachine m;
    // A custom card's driver left read-only by an earlier copy is replaced.
    m.Put(m.Rpl("bblock\\ndis\\MYNIC.dos"), "an older driver");
    m.host.SetFileAttributes(m.Rpl("bblock\\ndis\\MYNIC.dos"), platform::kAttrReadOnly);
    // The plan: the DOS 6.22 files, the driver, the boot-block folder and
    // its three files, rplcmd with the script, the manager.
    EXPECT_EQ(m.Plan(c.nic, c.mac).plan.changes.size(), 11u);
    m.Register(c.nic, c.mac);
    const bool custom = std::string(c.nic) == "Other NetCARD";
    // The database is asked first what it holds of the card.
    EXPECT_EQ(m.journal(), (std::vector<SimEvent>{{"modal", custom ? "TGetNetDrv" : "TForm3", "", platform::kMrOk},
                                                  kAskRecords, kRplcmd,
                                                  {"message", c.done, "进程提示", 64},
                                                  {"run", kManager, "", platform::kShowNormal}}));
    for (const char* f : kDos622)
      EXPECT_EQ(m.Get(Rpl(std::string("rplfiles\\binfiles\\dos622\\") + f)), std::string("dos622 ") + f);
    EXPECT_EQ(m.Get(Rpl(std::string("bblock\\ndis\\") + c.driver_file)), c.driver_bytes);
    // Copies of the read-only release are ordinary files, to be replaced or taken back later.
    EXPECT_EQ(m.host.Attributes(Rpl(std::string("bblock\\ndis\\") + c.driver_file)), platform::kAttrArchive);
    EXPECT_EQ(m.host.Attributes(Rpl("rplfiles\\binfiles\\dos622\\himem.sys")), platform::kAttrArchive);
    std::string block = Rpl(std::string("bblock\\netbeui\\") + c.block);
    EXPECT_EQ(m.Get(block + "\\w95bb.cnf"), std::string("DRV BBLOCK\\NDIS\\") + c.block + ".DOS ~ ~ ~\r\n");
    // rplcmd read the script, which was there while the message was up, and
    // gone after with rplcmd's output.
    EXPECT_EQ(m.script_at_message, m.script_at_rplcmd);
    if (c.mac == std::string("00E04C")) EXPECT_EQ(m.script_at_rplcmd, kScript8139);
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

// A card registered before, some of its files gone since, registered again
// on a working server. Every file of the boot blocks that was there stays
// byte for byte (a protocol.ini edited by hand among them), but a custom
// card's driver, which rplcmd's new records make the chosen one; those gone
// are made from the templates. For its own prefix rplcmd refuses, and the
// card counts as registered because rplcmd lists its records.
TEST(RegistrationAgain, TheFilesThatWereThereStayAndThoseGoneAreMadeFromTheTemplates) {
  auto dos = [](const std::string& b) {
    return "RPL BBLOCK\\RPLBOOT.SYS\r\nLDR BBLOCK\\RPLSTART.COM ~\r\nDAT BBLOCK\\NETBEUI\\" + b +
           "\\PROTOCOL.INI\r\nDRV BBLOCK\\NDIS\\" + b + ".DOS ~ ~ ~\r\n";
  };
  auto protocol = [](const std::string& b) {
    return "[" + b + "]\r\n    DriverName=MS2000$\r\n[NETBEUI]\r\n    BINDINGS=" + b + "\r\n";
  };
  const std::string kAgain = "\r\n请直接按“安装”为这块网卡安装远程启动文件。";
  struct Case {
    const char* nic;
    const char* mac;
    const char* block;
    std::vector<const char*> gone;                           // below bblock
    std::vector<std::pair<const char*, std::string>> made;  // below bblock, and their bytes
    std::string message;
  } cases[] = {
      {"Other NetCARD", "001122", "MYNIC", {"netbeui/MYNIC/protocol.ini"},
       {{"netbeui/MYNIC/protocol.ini", protocol("MYNIC")}},
       "这块网卡已经注册过：它缺少的 protocol.ini 已经补上，远程启动数据库中有它的全部记录。其他文件和远程启动数据库都没有改动。"
       "\r\n所选的驱动程序 C:\\DRIVERS\\MYNIC.DOS 与 C:\\WINNT\\rpl\\bblock\\ndis\\MYNIC.dos 不同，服务器上的驱动程序保持原样。" +
           kAgain},
      // Records without files: all four made again.
      {"RTL 8139", "00E04C", "rtsnd",
       {"ndis/rtsnd.dos", "netbeui/rtsnd/dosbb.cnf", "netbeui/rtsnd/w95bb.cnf", "netbeui/rtsnd/protocol.ini"},
       {{"ndis/rtsnd.dos", "shipped rtsnd"}, {"netbeui/rtsnd/dosbb.cnf", dos("rtsnd")},
        {"netbeui/rtsnd/w95bb.cnf", "DRV BBLOCK\\NDIS\\rtsnd.DOS ~ ~ ~\r\n"}, {"netbeui/rtsnd/protocol.ini", protocol("rtsnd")}},
       "这块网卡已经注册过：它缺少的 rtsnd.dos、dosbb.cnf、w95bb.cnf、protocol.ini 已经补上，远程启动数据库中有它的全部记录。"
       "其他文件和远程启动数据库都没有改动。" + kAgain},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.nic) + " " + c.mac);
    RegistrationMachine m;
    m.Working();
    auto before = m.Tree(m.Rpl("bblock"));
    // The rows name files as the tree does, with "/", which the host takes as Windows does.
    for (const char* g : c.gone) m.Remove(m.Rpl("bblock\\") + g);
    m.rplcmd_exit = 2;
    m.rplcmd_lists = m.Records(c.mac, c.block);
    m.Register(c.nic, c.mac);
    EXPECT_EQ(m.journal(), (std::vector<SimEvent>{{"modal", std::string(c.nic) == "RTL 8139" ? "TForm3" : "TGetNetDrv", "",
                                                   platform::kMrOk}, kAskRecords, {"message", c.message, "进程提示", 64}}));
    auto after = m.Tree(m.Rpl("bblock"));
    for (const auto& [path, bytes] : c.made) {
      EXPECT_EQ(m.Get(m.Rpl("bblock\\") + path), bytes) << path;
      before.erase(path);
      after.erase(path);
    }
    EXPECT_EQ(after, before);
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.bat"), "<absent>");
    EXPECT_EQ(m.Get("C:\\WINNT\\rpltemp.out"), "<absent>");
    EXPECT_FALSE(m.form->BitBtn9.Enabled());
    EXPECT_TRUE(m.form->BitBtn11.Enabled());
  }
}

// One row per refusal and path; the limits of a prefix and of a driver's name
// are tabled below in RegistrationNames and the Realtek rows. The plan made
// with the row's answers gives the refusal, and the press shows it and
// changes nothing; a dialog closed by its close box ends silently. A tree
// without a part registration needs is refused before the dialog.
TEST_F(Registration, EachRefusalIsThePlansAndChangesNothing) {
  auto kClash = [](const std::string& file, const std::string& card, const std::string& driver) {
    return "网卡驱动程序 " + file + " 与 " + card + " 网卡的驱动程序 C:\\WINNT\\rpl\\bblock\\ndis\\" + driver +
           ".dos 同名，不能作为自选网卡注册：" + card + " 网卡请在“网卡类型”中选 " + card +
           "；别的网卡请把驱动程序改名后再选择。程序异常返回!";
  };
  auto kIncomplete = [](const std::string& part) {
    return "远程启动服务的目录 C:\\WINNT\\rpl 不完整，注册要用的下列目录和文件不在：\r\nC:\\WINNT\\rpl\\" + part +
           "\r\n注册没有进行，请补全远程启动服务的目录后再注册。";
  };
  struct Case {
    const char* nic;
    const char* mac;  // nullptr: the dialog is closed
    const char* path;
    std::string message;
    const char* gone = nullptr;  // a part of the Remoteboot tree taken away first
  } cases[] = {
      {"", "", "", "请选择网卡类型！"},
      {"RTL 8139", nullptr, "", ""},
      {"Other NetCARD", nullptr, "", ""},
      {"RTL 8139", "", "", "您没有输入或选择网卡前六位地址，程序异常返回！"},
      {"RTL 8029", "00E04", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", "00E04G", "", "网卡地址不对，程序异常返回!"},
      {"RTL 8139", " 00E04", "", "网卡地址不对，程序异常返回!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\GONE.DOS", "网卡NDIS驱动程序没有找到，程序异常中止!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\NINECHARS.DOS",
       "网卡驱动程序 NINECHARS.DOS 的文件名不是“名字.DOS”的形式（名字为 1 到 8 个字符的 DOS 文件名，不能含空格或点，也不能是设备名），程序异常返回!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\NE2000.DOS",
       "远程启动服务用它自带的启动块支持 NE2000 网卡，C:\\WINNT\\rpl\\bblock\\netbeui\\NE2000 "
       "是所有网卡启动块的模板，不能再注册。程序异常返回!"},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\RTSND.DOS", kClash("RTSND.DOS", "RTL 8139", "rtsnd")},
      {"Other NetCARD", "001122", "C:\\DRIVERS\\pcind.Dos", kClash("pcind.Dos", "RTL 8029", "pcind")},
      {"RTL 8029", "5254AB", "", kIncomplete("bblock\\ndis\\"), "bblock\\ndis"},
      {"Other NetCARD", "001122", "", kIncomplete("fits\\win95p.fit"), "fits\\win95p.fit"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.nic) + " [" + (c.mac ? c.mac : "closed") + "] " + c.path);
    RegistrationMachine m;
    for (const char* f : {"C:\\DRIVERS\\NINECHARS.DOS", "C:\\DRIVERS\\NE2000.DOS", "C:\\DRIVERS\\RTSND.DOS",
                          "C:\\DRIVERS\\pcind.Dos"})
      m.Put(f, "driver");
    // The Realtek card the custom one must not take the place of.
    m.Put(m.Rpl("bblock\\ndis\\rtsnd.dos"), "installed rtsnd");
    if (c.gone) m.Remove(m.Rpl(c.gone));
    const auto before = m.Tree(m.kRoot);
    if (c.mac || c.gone) {
      EXPECT_EQ(m.Plan(c.nic, c.mac ? c.mac : "", c.path).plan.message, c.message);
    }
    m.Choose(c.nic);
    if (c.mac) {
      m.AnswerPrefix(c.mac);
      m.AnswerDriver(c.path, c.mac);
    }
    m.form->BitBtn9Click();
    std::vector<SimEvent> journal;
    const char* dialog = std::string(c.nic) == "Other NetCARD" ? "TGetNetDrv" : "TForm3";
    if (*c.nic && !c.gone) journal.push_back({"modal", dialog, "", c.mac ? platform::kMrOk : platform::kMrCancel});
    if (!c.message.empty()) journal.push_back({"message", c.message, kCaption, 48});
    EXPECT_EQ(m.journal(), journal);
    EXPECT_EQ(m.Tree(m.kRoot), before);
    EXPECT_TRUE(m.form->BitBtn9.Enabled());
    EXPECT_FALSE(m.form->BitBtn11.Enabled());
    // The chosen driver's path is kept at once, its name only once accepted.
    EXPECT_EQ(m.form->settings.NdisDriverPath, c.path);
    EXPECT_EQ(m.form->settings.NdisDriverName, "");
  }
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
      {"C:\\A\\MYNIC.DO", "MYNIC", false},            {"C:\\A\\MYNIC", "MYNIC", false},
      {"C:\\A\\.DOS", "", false},                     {"C:\\A\\MY*NIC.DOS", "MY*NIC", false},
      {"C:\\A\\CON.DOS", "CON", false},               {"C:\\A\\nul.dos", "nul", false},
      {"C:\\A\\CONX.DOS", "CONX", true},              {"C:\\A\\PRN.DOS", "PRN", false},
      {"C:\\A\\com9.dos", "com9", false},              {"C:\\A\\LPT9.DOS", "LPT9", false},
      {"C:\\A\\COM0.DOS", "COM0", true},              {"C:\\A\\COM10.DOS", "COM10", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(rpl::DriverBaseName(c.path), c.base) << c.path;
    const std::string path = c.path;
    EXPECT_EQ(rpl::IsDriverFileName(path.substr(path.find_last_of('\\') + 1)), c.driver) << c.path;
  }
}

// The chooser's lists move the current directory while it is up; however
// it closes (OK with the driver, OK refused for no driver, its close box),
// the current directory is the program's folder again, and it opens again
// where it was left.
TEST_F(Registration, TheChooserMovesTheCurrentDirectoryWhileUpAndGivesItBack) {
  Put("D:\\NET\\E100B.DOS", "driver");
  Put("D:\\NET\\README.TXT", "text");
  MakeDirs("D:\\NET\\OLD");
  Choose("Other NetCARD");
  std::vector<std::string> opened_at;
  // Drive D:, then its NET directory, then the driver, then OLD: no file
  // chosen any more.
  auto walk = [&](rpl::TGetNetDrv& chooser, platform::ModalResult ends, bool to_old) {
    opened_at.push_back(host.CurrentDirectory());
    if (host.CurrentDirectory() == "C:\\Korrin") {
      chooser.DriveComboBox1.Choose(1);
      EXPECT_EQ(host.CurrentDirectory(), "D:\\");
      chooser.DirectoryListBox1.Choose(1);  // "D:\", then "NET"
      EXPECT_EQ(chooser.NDISTALK.Text(), "");
    }
    EXPECT_EQ(host.CurrentDirectory(), "D:\\NET");
    EXPECT_EQ(chooser.FileListBox1.Items(), std::vector<std::string>{"E100B.DOS"});
    chooser.FileListBox1.Choose(0);
    EXPECT_EQ(chooser.NDISTALK.Text(), "D:\\NET\\E100B.DOS");
    if (to_old) {
      chooser.DirectoryListBox1.Choose(2);  // "OLD"
      EXPECT_EQ(chooser.NDISTALK.Text(), "");
      EXPECT_EQ(host.CurrentDirectory(), "D:\\NET\\OLD");
      chooser.DirectoryListBox1.Choose(1);  // back up to "NET"
    }
    chooser.MACTALK.SetText("0000B4");
    return ends;
  };
  const struct {
    platform::ModalResult ends;
    bool to_old;
    const char* says;  // the message after the dialog, or ""
  } closings[] = {
      {platform::kMrCancel, true, ""},
      {platform::kMrOk, false, "自选网卡完成，配置远程启动之前请首先进行<检查配置>"},
      {platform::kMrOk, true, ""},
  };
  for (const auto& c : closings) {
    journal().clear();
    ui.OnModal<rpl::TGetNetDrv>([&](rpl::TGetNetDrv& chooser) { return walk(chooser, c.ends, c.to_old); });
    form->BitBtn9Click();
    EXPECT_EQ(host.CurrentDirectory(), "C:\\Korrin") << c.says;
    if (*c.says) {
      EXPECT_EQ(journal().at(journal().size() - 2).text, c.says);
    }
  }
  EXPECT_EQ(opened_at, (std::vector<std::string>{"C:\\Korrin", "D:\\NET", "D:\\NET"}));
}

// A registration that fails after the dialog, on a working server, shows
// why and leaves every file of the Windows directory as it was (the card's
// empty boot-block folder aside): rplcmd refusing the script, its output
// shown with the warning; a folder that cannot be listed, which hides its
// files from a look-up (a file that is there would pass for absent), so the
// registration copies nothing there and deletes nothing.
TEST(RegistrationFaults, AFailureAfterTheDialogIsShownAndTakenBack) {
  class Blind : public platform::SimHost {
   public:
    Blind(const std::string& root, const std::string& folder) : SimHost(root), folder_(folder) {}
    bool FileExists(const std::string& path) override {
      return platform::SameName(path.substr(0, path.find_last_of('\\')), folder_) ? false : SimHost::FileExists(path);
    }
    bool ListDirectory(const std::string& dir, std::vector<platform::DirEntry>* entries) override {
      return !platform::SameName(dir, folder_) && SimHost::ListDirectory(dir, entries);
    }
   private:
    std::string folder_;
  };
  const struct {
    const char* nic;
    const char* blind;  // the folder that cannot be listed, or ""
    std::string message;
    const char* folder = "";  // the card's boot-block folder left behind, or ""
  } cases[] = {
      {"RTL 8029", "", "rplcmd 拒绝了注册脚本（返回值 2）。\r\n远程启动数据库没有改动，注册没有完成。"
       "\r\nrplcmd 的输出：\r\nrplcmd: the boot block exists already.\r\nNothing was changed.", "RPL/bblock/netbeui/pcind"},
      {"RTL 8139", "rplfiles\\binfiles\\dos622",
       "无法列出 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622，不能确定其中有没有 DOS 6.22 系统文件 io.sys，注册没有进行。"},
      {"RTL 8139", "bblock\\ndis", "无法列出 C:\\WINNT\\rpl\\bblock\\ndis，不能确定其中有没有 rtsnd.dos。\r\n远程启动数据库没有改动，注册没有完成。"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.nic) + " " + c.blind);
    RegistrationMachine m;
    m.Working();
    auto before = m.Tree(m.kRoot);
    m.rplcmd_exit = 2;
    m.rplcmd_says = "rplcmd: the boot block exists already.\nNothing was changed.\n";
    Blind blind(m.root, m.Rpl(c.blind));
    platform::SimHost& host = *c.blind ? blind : m.host;
    platform::SimUi ui(host);
    ui.OnModal<rpl::TForm3>([](rpl::TForm3& d) {
      d.MAC.SetText("00E04C");
      return platform::kMrOk;
    });
    rpl::CustomDriver custom;
    // The main window unlocks the installation only when this succeeds.
    EXPECT_FALSE(rpl::RegisterCard(host, ui, {c.nic, m.kRoot, "C:\\Korrin"}, m.form->Form3, m.form->GetNetDrv,
                                   &custom));
    EXPECT_EQ(host.journal().back(), (SimEvent{"message", c.message, kCaption, 48}));
    if (*c.folder) before[c.folder] = "<folder>";
    EXPECT_EQ(m.Tree(m.kRoot), before);
  }
}

}  // namespace
