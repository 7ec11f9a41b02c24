#include "rpl/install.h"

#include <map>

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kUnpack[] = "C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 c:\\temp\\bootimg";
const SimEvent kDone = {"message", "无盘WIN98远程启动文件安装完成！", "Morva提示", 64};
const SimEvent kWrongProfile = {"message", "请检查您的RPL远程配置名是否正确！", "morva提示", 48};
const SimEvent kDosQuestion = {"message", "系统检测到 WIN98 很可能是一个DOS的远程配置名!是否任要继续?", "morva提示", 292};
const std::string kUntouched = "\r\n远程启动文件和配置 WIN98 都没有改动。";
const std::string kNotDone = "无盘WIN98远程启动文件没有安装完成：";
// A Realtek card's records, asked of rplcmd before the installation.
const SimEvent kAsk = {"ask", "C:\\WINNT\\system32\\rplcmd.exe", "V\r\nL\r\nB\r\nL\r\nC\r\nL\r\nq\r\n", 0};
const unsigned kReadOnly = platform::kAttrReadOnly, kArchive = platform::kAttrArchive;
const unsigned kServiceAttributes = platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem;
SimEvent Warning(const std::string& text) { return {"message", text, "morva提示", 48}; }

// A server with a Windows profile WIN98, the two Realtek cards and a custom
// card registered (their drivers and boot-block files), and an unpacker that lays out the boot image's files,
// each saying where it came from.
class InstallMachine : public RplMachine {
 public:
  InstallMachine() {
    Put("C:\\Korrin\\unditool\\bootimg.w98", "image");
    Put(Rpl("rplfiles\\binfiles\\win95\\command.com"), "win95 command.com");
    Put(Rpl("bblock\\ndis\\rtsnd.dos"), "driver RTSND");
    Put(Rpl("bblock\\ndis\\pcind.dos"), "driver PCIND");
    Put(Rpl("bblock\\ndis\\MYNIC.dos"), "driver MYNIC");
    for (const char* block : {"rtsnd", "pcind", "MYNIC"})
      for (const char* file : {"dosbb.cnf", "w95bb.cnf", "protocol.ini"})
        Put(Rpl("bblock\\netbeui\\") + block + "\\" + file, "boot block");
    ServeRecords(Records("00E04C", "rtsnd") + Records("5254AB", "pcind") + Records("001122", "MYNIC"));
    form->settings.NdisDriverName = "MYNIC";
    MakeDirs(Profile() + "\\wksta.pro");
    host.RegisterStandin("undisk", [this](platform::SimHost&, const std::vector<std::string>& args,
                                          const std::string&, std::string*) {
      unpacked_args = args;
      host.LimitDiskSpace(disk_space);
      if (unpacked && image_again) return unpacker_exit;  // the image's files as the last run left them
      unpacked = true;
      const std::string image = "c:\\temp\\bootimg\\";
      Put(image + "io.sys", "image io.sys");
      Put(image + "command.com", "image command.com");
      Put(image + "system.dat", "registry ...RTSND... RTSND");
      for (const std::string& f : rpl::ClientFiles()) Put(image + "winboot\\" + f, "image " + f);
      Put(image + "winboot\\SETVARS.BAT", setvars);
      Put(image + "winboot\\PROTOCOL.INI",
          "[RTSND]\r\nDriverName=RTSND$ RTSND\r\nrtsnd lower\r\n[NETBEUI]\r\nBINDINGS=RTSND\r\n");
      if (read_only_image) {
        host.SetFileAttributes(image + "io.sys", kServiceAttributes);
        for (const std::string& f : rpl::ClientFiles()) host.SetFileAttributes(image + "winboot\\" + f, kReadOnly);
      }
      if (!image_without.empty()) Remove(image + image_without);
      return unpacker_exit;
    });
    ChooseProfile("WIN98");
  }
  std::string Profile() { return Rpl("rplfiles\\profiles\\WIN98"); }
  std::string Boot(const std::string& f) { return Profile() + "\\suboot\\" + f; }
  std::string Client(const std::string& f) { return Profile() + "\\suboot\\winboot\\" + f; }
  std::string Win95(const std::string& f) { return Rpl("rplfiles\\binfiles\\win95\\" + f); }
  // A profile that works: installed for a card (the RTL8029), its
  // protocol.ini then edited by hand; the service's files an earlier image's,
  // read-only as the service brought its own.
  void MakeWorking(const char* nic = "RTL 8029") {
    Choose(nic);
    form->BitBtn11Click();
    ASSERT_EQ(journal().back(), kDone);
    Put(Client("protocol.ini"), Get(Client("protocol.ini")) + "; tuned by hand\r\n");
    for (const std::string f : {"io.sys", "command.com"}) {
      Put(Win95(f), "earlier " + f);
      host.SetFileAttributes(Win95(f), kServiceAttributes);
    }
    journal().clear();
  }
  // Installs, the disk holding `space` bytes once the image is unpacked.
  void Reinstall(std::size_t space = SIZE_MAX) {
    host.LimitDiskSpace(SIZE_MAX);
    disk_space = space;
    form->BitBtn11Click();
  }
  // The profile has every file an installation gives it, and its system.dat,
  // protocol.ini and setvars.bat name one driver, which its winboot holds.
  void ExpectCompleteAndConsistent() {
    for (const char* f : {"subst.exe", "io.sys", "system.dat", "autoexec.bat", "config.sys", "win.bat", "msdos.sys"})
      EXPECT_NE(Get(Boot(f)), "<absent>") << f;
    for (const std::string& f : rpl::ClientFiles())
      if (f != "RTSND.DOS") {
        EXPECT_NE(Get(Client(f)), "<absent>") << f;
      }
    const std::vector<std::string> named = NamedDrivers();
    EXPECT_EQ(named, std::vector<std::string>(3, named[0]));
  }
  // The drivers system.dat, protocol.ini and setvars.bat name; each must be
  // in winboot.
  std::vector<std::string> NamedDrivers() {
    auto between = [](const std::string& s, const std::string& from, const std::string& to) {
      const size_t b = s.find(from) + from.size();
      return s.find(from) == std::string::npos ? "?" : s.substr(b, s.find(to, b) - b);
    };
    std::vector<std::string> named = {between(Get(Boot("system.dat")), "registry ...", "..."),
                                      between(Get(Client("protocol.ini")), "[", "]"),
                                      between(Get(Client("setvars.bat")), "SET NETCARD=", ".DOS")};
    for (const std::string& driver : named) EXPECT_NE(Get(Client(driver + ".dos")), "<absent>") << driver;
    return named;
  }
  // No file prepared beside its target stays behind.
  void ExpectNothingStaged() {
    for (const auto& [name, bytes] : Tree(Rpl("")))
      EXPECT_EQ(name.find(rpl::kStagedSuffix), std::string::npos) << name;
  }

  std::string setvars = "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=RTSND.DOS\r\nSET SERVER=OLD\r\n";
  int unpacker_exit = 0;
  bool unpacked = false, image_again = false;
  bool read_only_image = false;            // the unpacked files read-only, io.sys as on the floppy
  std::string image_without;               // a file the unpacker leaves out
  std::size_t disk_space = SIZE_MAX;       // what the disk holds after unpacking
  std::vector<std::string> unpacked_args;
};

class Install : public ::testing::Test, public InstallMachine {};

// Every card's profile gets the image's files and the start files, the card's
// registered driver in place of RTSND, and this server and its share in
// setvars.bat; the service gets the image's io.sys and command.com.
TEST(Installation, EachCardGetsTheImageTheStartFilesAndItsDriverInPlaceOfRtsnd) {
  struct Case {
    const char* why;
    const char* nic;
    void (*arrange)(InstallMachine&);
    bool dos;                  // a DOS profile, the question answered Yes
    const char* driver;        // the name the profile's files carry
    const char* driver_bytes;  // the profile's driver afterwards
    const char* setvars;       // the profile's setvars.bat afterwards
    const char* unpack = kUnpack;
  } cases[] = {
      // The tools in a directory with a blank are quoted.
      {"RTL 8139: the image's own driver", "RTL 8139", [](InstallMachine& m) {
         m.Put("C:\\My Tools\\unditool\\bootimg.w98", "image");
         m.Put("C:\\My Tools\\rplfiles\\win98\\subst.exe", "subst");
         m.form->settings.StartDir = "C:\\My Tools";
       }, false, "RTSND", "image RTSND.DOS",
       "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=RTSND.DOS\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n",
       "\"C:\\My Tools\\unditool\\undisk.exe\" \"C:\\My Tools\\unditool\\bootimg.w98\" c:\\temp\\bootimg"},
      // Everything is done again, the driver too: the registered one replaces
      // what the profile held. The box set for the profile ends clear, the
      // start script the image's.
      {"RTL 8029 over an earlier installation", "RTL 8029", [](InstallMachine& m) {
         m.Put(m.Client("startnet.bat"), "earlier installation");
         m.form->CheckBox1.SetChecked(true);
         m.Put(m.Client("PCIND.dos"), "an older driver");
         m.Put(m.Boot("win.bat"), "changed");
       }, false, "PCIND", "driver PCIND",
       "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=PCIND.DOS\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n"},
      // A setvars.bat of one line gets empty ones; a drive's root an empty share.
      {"a custom card, a DOS profile, a short setvars.bat and a root share", "Other NetCARD",
       [](InstallMachine& m) {
         m.setvars = "@echo off";
         m.form->Edit1.SetText("D:\\");
       }, true, "MYNIC", "driver MYNIC",
       "@echo off\r\n\r\nSET NETCARD=MYNIC.DOS\r\nSET SERVER=KORRINSRV\r\nSET SHARE=\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    InstallMachine m;
    m.Choose(c.nic);
    c.arrange(m);
    std::vector<SimEvent> journal = {{"wait", c.unpack, "", platform::kHide}, {"pause", "", "", 1000}, kDone};
    if (c.dos) {
      m.Put(m.Profile() + "\\wksta.pro\\dosshell.ini", "");
      m.ui.Answer(platform::kIdYes);
      journal.insert(journal.begin(), kDosQuestion);
    }
    if (std::string(c.nic) != "Other NetCARD") journal.insert(journal.begin(), kAsk);
    m.journal().clear();
    m.form->BitBtn11Click();
    EXPECT_EQ(m.journal(), journal);
    EXPECT_FALSE(m.form->CheckBox1.Checked());
    for (const std::string& f : {m.Win95("io.sys"), m.Win95("command.com"), m.Boot("io.sys")}) {
      EXPECT_EQ(m.Get(f), "image " + f.substr(f.rfind('\\') + 1)) << f;
      EXPECT_EQ(m.host.Attributes(f), kArchive) << f;
    }
    EXPECT_EQ(m.Get(m.Boot("subst.exe")), "subst");
    EXPECT_EQ(m.Get(m.Boot("autoexec.bat")),
              "if not exist D:\\winboot\\nul mkdir D:\\winboot\r\n"
              "if not exist D:\\winboot\\winboot\\nul mkdir D:\\winboot\\winboot\r\n"
              "copy c:\\ D:\\winboot\r\ncopy c:\\winboot\\*.* D:\\winboot\\winboot\r\nd:\r\ncd \\winboot\r\n");
    EXPECT_EQ(m.Get(m.Boot("config.sys")), "device=himem.sys\r\ndevice=c:\\ramdrive.sys 2048 /e\r\n");
    EXPECT_EQ(m.Get(m.Boot("win.bat")),
              "set comspec=d:\\winboot\\command.com\r\nnwrpltrm\r\nfixmem\r\nsetmdir /m /r:d:\\winboot\r\n"
              "subst a: d:\\winboot\r\nset comspec=A:\\command.com\r\na:\r\ncd \\winboot\r\n"
              "call setvars.bat\r\ncall startnet.bat\r\n");
    EXPECT_EQ(m.Get(m.Boot("msdos.sys")),
              "[Paths]\r\nWinDir=C:\\WIN98\r\nWinBootDir=C:\\\r\nHostWinBootDrv=C\r\n[Options]\r\n"
              "BootMulti=1\r\nBootGUI=1\r\nNetwork=1\r\nlogo=1\r\nLOADTOP=0\r\n");
    for (const std::string& f : rpl::ClientFiles()) {
      if (f != "SETVARS.BAT" && f != "PROTOCOL.INI" && f != "RTSND.DOS") {
        EXPECT_EQ(m.Get(m.Client(f)), "image " + f) << f;
      }
    }
    const std::string d = c.driver;
    EXPECT_EQ(m.Get(m.Client(d + ".dos")), c.driver_bytes);
    EXPECT_EQ(m.Get(m.Client("rtsnd.dos")), d == "RTSND" ? c.driver_bytes : "<absent>");
    EXPECT_EQ(m.Get(m.Client("protocol.ini")),
              "[" + d + "]\r\nDriverName=" + d + "$ RTSND\r\nrtsnd lower\r\n[NETBEUI]\r\nBINDINGS=" + d + "\r\n");
    EXPECT_EQ(m.Get(m.Boot("system.dat")), "registry ..." + d + "... RTSND");
    EXPECT_EQ(m.Get(m.Client("setvars.bat")), c.setvars);
    EXPECT_EQ(m.unpacked_args,
              (std::vector<std::string>{m.form->settings.StartDir + "\\unditool\\bootimg.w98", "c:\\temp\\bootimg"}));
    m.ExpectNothingStaged();
  }
}

TEST_F(Install, EachStopLeavesTheTreeAndTheProfileUntouched) {
  const SimEvent kWait = {"wait", kUnpack, "", 0};
  struct Case {
    const char* name;
    const char* nic;
    void (*arrange)(InstallMachine&);
    std::vector<SimEvent> journal;  // beyond the messages, what ran
    bool closed;
  } cases[] = {
      {"no profile chosen", "RTL 8139", [](InstallMachine& m) { m.ChooseProfile(""); }, {kWrongProfile}, false},
      {"profile gone", "RTL 8139", [](InstallMachine& m) { m.Remove(m.Profile()); }, {kWrongProfile}, false},
      {"case differs", "RTL 8139", [](InstallMachine& m) { m.ChooseProfile("win98"); }, {kWrongProfile}, false},
      {"a file, not a profile", "RTL 8139", [](InstallMachine& m) {
         m.Put(m.Rpl("rplfiles\\profiles\\NOTES.TXT"), "notes");
         m.ChooseProfile("NOTES.TXT");
       }, {Warning("NOTES.TXT 不是一个远程配置目录，无法安装。\r\n远程启动文件和配置 NOTES.TXT 都没有改动。")}, false},
      {"DOS profile, No", "RTL 8139", [](InstallMachine& m) { m.Put(m.Profile() + "\\wksta.pro\\dosshell.ini", ""); },
       {kDosQuestion}, false},
      {"custom card never registered", "Other NetCARD", [](InstallMachine& m) { m.form->settings.NdisDriverName = ""; },
       {Warning("本次运行中还没有注册自选网卡，无法确定网卡驱动程序。请先用<配置Rpl>注册您的网卡，再进行安装！")}, false},
      {"RTL 8029 never registered", "RTL 8029", [](InstallMachine& m) { m.Remove(m.Rpl("bblock\\ndis\\pcind.dos")); },
       {Warning("远程启动目录中没有网卡驱动程序 C:\\WINNT\\rpl\\bblock\\ndis\\PCIND.dos，请先用<配置Rpl>注册网卡，再进行安装。" +
                kUntouched)}, false},
      // The install button stays unlocked when detection then sends another
      // card type to registration.
      {"RTL 8139 not registered", "RTL 8139", [](InstallMachine& m) { m.Remove(m.Rpl("bblock\\netbeui\\rtsnd")); },
       {kAsk, Warning("网卡 RTL 8139 还没有在远程启动服务中注册（C:\\WINNT\\rpl\\bblock\\netbeui\\RTSND 中的文件或"
                      "远程启动数据库中的记录不全），请先按“检测”，再按“配置Rpl”注册它，然后安装。" + kUntouched)}, false},
      {"RTL 8029 without its records", "RTL 8029", [](InstallMachine& m) { m.ServeRecords(m.Records("00E04C", "rtsnd")); },
       {kAsk, Warning("网卡 RTL 8029 还没有在远程启动服务中注册（C:\\WINNT\\rpl\\bblock\\netbeui\\PCIND 中的文件或"
                      "远程启动数据库中的记录不全），请先按“检测”，再按“配置Rpl”注册它，然后安装。" + kUntouched)}, false},
      {"a driver named like a client file", "Other NetCARD", [](InstallMachine& m) {
         m.form->settings.NdisDriverName = "protman";
         m.Put(m.Rpl("bblock\\ndis\\protman.dos"), "driver");
       }, {Warning("网卡驱动程序 protman.dos 与工作站网络文件 PROTMAN.DOS 同名，无法安装到同一个 winboot 中。" + kUntouched)},
       false},
      {"image missing", "RTL 8139", [](InstallMachine& m) { m.Remove("C:\\Korrin\\unditool\\bootimg.w98"); },
       {{"notice", "找不到原始镜像文件,程序异常中止！", "Server", 0}, {"close", "", "", 0}}, true},
      {"unpacker fails", "RTL 8139", [](InstallMachine& m) { m.unpacker_exit = 1; },
       {kWait, Warning("解包程序报告错误（返回值 1），引导镜像没有解开。" + kUntouched)}, false},
      {"a six-letter driver and a system.dat that is no registry file", "Other NetCARD", [](InstallMachine& m) {
         m.form->settings.NdisDriverName = "MYNICX";
         m.Put(m.Rpl("bblock\\ndis\\MYNICX.dos"), "driver");
       }, {kWait, Warning("引导镜像的 system.dat 中无法换入网卡驱动程序名 MYNICX：文件不是注册表文件，"
                          "只能逐字节换入5个字符的驱动程序名，MYNICX 有 6 个字符。" + kUntouched)}, false},
      {"image without io.sys", "RTL 8139", [](InstallMachine& m) { m.image_without = "io.sys"; },
       {kWait, Warning("解开的引导镜像中没有 c:\\temp\\bootimg\\io.sys。" + kUntouched)}, false},
      {"image without system.dat", "RTL 8139", [](InstallMachine& m) { m.image_without = "system.dat"; },
       {kWait, Warning("解开的引导镜像中没有 c:\\temp\\bootimg\\system.dat。" + kUntouched)}, false},
      {"image without LOGIN.EXE", "RTL 8139", [](InstallMachine& m) { m.image_without = "winboot\\LOGIN.EXE"; },
       {kWait, Warning("解开的引导镜像中没有 c:\\temp\\bootimg\\winboot\\LOGIN.EXE。" + kUntouched)}, false},
      {"the image's setvars.bat locked", "RTL 8139",
       [](InstallMachine& m) { m.host.MakeUnreadable("c:\\temp\\bootimg\\winboot\\SETVARS.BAT"); },
       {kWait, Warning("无法读取 c:\\temp\\bootimg\\winboot\\SETVARS.BAT。" + kUntouched)}, false},
      {"a folder named like a client file", "RTL 8139", [](InstallMachine& m) { m.MakeDirs(m.Client("NET.EXE")); },
       {Warning("C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\NET.EXE 是一个目录，安装无法用文件替换它。" +
                       kUntouched)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallMachine m;
    m.Choose(c.nic);
    m.Put(m.Client("startnet.bat"), "earlier installation");
    m.form->CheckBox1.SetChecked(true);  // set for the profile: rewrites the script once
    m.Put(m.Client("startnet.bat"), "earlier installation");
    m.journal().clear();
    c.arrange(m);
    const auto before = m.Tree(Rpl(""));
    // The plan (the DOS question answered No) gives every refusal known
    // before the image is unpacked, and changes nothing; the rest the apply
    // finds in the unpacked image.
    const bool no = false;
    const rpl::Installation planned = rpl::PlanInstall(
        m.host,
        {m.form->ComboBox2.Text(), c.nic, m.form->Edit1.Text(), m.kRoot, "C:\\Korrin", m.form->settings.NdisDriverName},
        &no);
    EXPECT_EQ(m.Tree(Rpl("")), before);
    const bool unpacks = std::find(c.journal.begin(), c.journal.end(), kWait) != c.journal.end();
    EXPECT_EQ(planned.plan.refused ? planned.plan.message : planned.declined ? "" : "<applied>",
              unpacks ? "<applied>" : c.journal.back().kind == "close" ? c.journal[0].text
                                    : c.journal.back() == kDosQuestion ? "" : c.journal.back().text);
    m.journal().clear();
    m.form->BitBtn11Click();
    // A Realtek card's records are asked for first (RTL 8139 not registered).
    std::vector<SimEvent> journal = m.journal();
    if (!journal.empty() && journal[0] == kAsk && !(c.journal[0] == kAsk)) journal.erase(journal.begin());
    EXPECT_EQ(journal, c.journal);
    EXPECT_EQ(m.ui.main_window_closed(), c.closed);
    EXPECT_EQ(m.Tree(Rpl("")), before);
    EXPECT_TRUE(m.form->CheckBox1.Checked());
  }
}

// A working profile installed again, a failure at one step: before the first
// file is replaced, every file stays byte for byte; once they take their
// places (another program meddling meanwhile), the profile names a driver
// its winboot holds, and the service's files are replaced only after the
// profile is complete.
TEST(Installation, AFailureOverAWorkingProfileIsNamedAndLeavesItBooting) {
  const std::string kWinboot = "C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\";
  const std::string kWin95 = "C:\\WINNT\\rpl\\rplfiles\\binfiles\\win95\\";
  const std::string kReadOnlyEnd = "。请去掉它的只读属性后重新安装。" + kUntouched;
  struct Case {
    const char* name;
    const char* nic;
    void (*arrange)(InstallMachine&);
    std::string message;
    bool untouched;                 // else the profile's files take their places
    const char* working = "RTL 8029";  // the card the profile was installed for
  } cases[] = {
      {"subst.exe missing", "Other NetCARD", [](InstallMachine& m) { m.Remove("C:\\Korrin\\rplfiles\\win98\\subst.exe"); },
       "找不到 C:\\Korrin\\rplfiles\\win98\\subst.exe，无法安装。" + kUntouched, true},
      {"the unpacker runs out of time", "Other NetCARD",
       [](InstallMachine& m) { m.host.MakeSlow("undisk", rpl::kUnpackLimit + 1); },
       "解包程序在 60 秒内没有结束，已被终止，引导镜像没有解开。" + kUntouched, true},
      {"the hand-edited protocol.ini kept read-only", "Other NetCARD",
       [](InstallMachine& m) { m.host.SetFileAttributes(m.Client("protocol.ini"), kReadOnly); },
       kWinboot + "PROTOCOL.INI 有只读属性，安装无法替换它" + kReadOnlyEnd, true},
      {"the same card, its driver read-only", "RTL 8029",
       [](InstallMachine& m) { m.host.SetFileAttributes(m.Client("PCIND.dos"), kReadOnly); },
       kWinboot + "PCIND.dos 有只读属性，安装无法替换它" + kReadOnlyEnd, true},
      {"a read-only rtsnd.dos the new driver's files would leave", "Other NetCARD", [](InstallMachine& m) {
         m.Put(m.Client("RTSND.DOS"), "kept by hand");
         m.host.SetFileAttributes(m.Client("RTSND.DOS"), kReadOnly);
       }, kWinboot + "rtsnd.dos 有只读属性，安装无法删除它" + kReadOnlyEnd, true},
      {"the disk full at the first prepared file", "Other NetCARD", [](InstallMachine& m) { m.disk_space = 3; },
       kNotDone + "无法把 C:\\WINNT\\rpl\\bblock\\ndis\\MYNIC.dos 复制到 " + kWinboot +
           "MYNIC.dos.ins。\r\n远程启动文件和配置 WIN98 中原有的文件都没有改动，请排除问题后重新安装。", true},
      {"setvars.bat held by another program as the files take their places", "Other NetCARD", [](InstallMachine& m) {
         m.form->CheckBox1.on_change = [&m] { m.host.SetFileAttributes(m.Client("setvars.bat"), kReadOnly); };
       }, kNotDone + "无法用 " + kWinboot + "SETVARS.BAT.ins 替换 " + kWinboot +
           "SETVARS.BAT。\r\n配置 WIN98 中的文件只换了一部分，它们所指的网卡驱动程序都在 winboot 中，请排除问题后重新安装。", false},
      // The profile's setvars.bat names the image's RTSND.DOS: it stays.
      {"setvars.bat of an RTL8139 profile held as the files take their places", "Other NetCARD", [](InstallMachine& m) {
         m.form->CheckBox1.on_change = [&m] { m.host.SetFileAttributes(m.Client("setvars.bat"), kReadOnly); };
       }, kNotDone + "无法用 " + kWinboot + "SETVARS.BAT.ins 替换 " + kWinboot +
           "SETVARS.BAT。\r\n配置 WIN98 中的文件只换了一部分，它们所指的网卡驱动程序都在 winboot 中，请排除问题后重新安装。", false,
       "RTL 8139"},
      {"rtsnd.dos held by another program", "Other NetCARD", [](InstallMachine& m) {
         m.Put(m.Client("RTSND.DOS"), "kept by hand");
         m.form->CheckBox1.on_change = [&m] { m.host.SetFileAttributes(m.Client("RTSND.DOS"), kReadOnly); };
       }, kNotDone + "无法删除 " + kWinboot + "rtsnd.dos。\r\n配置 WIN98 已经装好，远程启动服务的 io.sys 和 "
           "command.com 还是原来的，请排除问题后重新安装。", false},
      {"the service's prepared command.com taken away", "Other NetCARD", [](InstallMachine& m) {
         m.form->CheckBox1.on_change = [&m] { m.Remove(m.Win95("command.com.ins")); };
       }, kNotDone + "无法用 " + kWin95 + "command.com.ins 替换 " + kWin95 +
           "command.com。\r\n配置 WIN98 已经装好，远程启动服务的 command.com 还是原来的，请排除问题后重新安装。", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallMachine m;
    m.MakeWorking(c.working);
    m.form->CheckBox1.SetChecked(true);
    m.Choose(c.nic);
    c.arrange(m);
    const auto before = m.Tree(m.Rpl(""));
    m.Reinstall(m.disk_space);
    ASSERT_FALSE(m.journal().empty());
    EXPECT_EQ(m.journal().back(), Warning(c.message));
    m.ExpectNothingStaged();
    if (c.untouched) {
      EXPECT_EQ(m.Tree(m.Rpl("")), before);
      EXPECT_TRUE(m.form->CheckBox1.Checked());
      continue;
    }
    m.NamedDrivers();
    // The service's files are new only when the profile is complete; one
    // that stays old keeps the attributes the service gave it.
    const bool complete = c.message.find("已经装好") != std::string::npos;
    const bool io_sys_new = c.message.find("服务的 command.com") != std::string::npos;
    EXPECT_EQ(m.Get(m.Win95("io.sys")), io_sys_new ? "image io.sys" : "earlier io.sys");
    EXPECT_EQ(m.Get(m.Win95("command.com")), "earlier command.com");
    EXPECT_EQ(m.host.Attributes(m.Win95("command.com")), kServiceAttributes);
    if (complete) m.ExpectCompleteAndConsistent();
  }
}

// A path as a key of the files: without regard to case or the separator.
std::string Key(std::string path) {
  for (char& c : path) c = c == '/' ? '\\' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return path;
}

// A release copied from a CD is read-only, and so are the files the image
// and the service bring: the installation leaves no read-only file in the
// profile or the service's tree, so the next installation goes through; it
// changes no attribute of a source.
TEST_F(Install, ReadOnlySourcesLeaveNoReadOnlyFileForTheNextInstallation) {
  read_only_image = true;
  host.SetFileAttributes("C:\\Korrin\\rplfiles\\win98\\subst.exe", kReadOnly);
  host.SetFileAttributes(Rpl("bblock\\ndis\\pcind.dos"), kReadOnly);
  for (const char* f : {"io.sys", "command.com"}) host.SetFileAttributes(Win95(f), kServiceAttributes);
  Choose("RTL 8029");
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    journal().clear();
    Reinstall();
    EXPECT_EQ(journal().back(), kDone);
    for (const auto& [name, bytes] : Tree(Profile() + "\\suboot"))
      if (bytes != "<folder>") {
        EXPECT_EQ(bytes.substr(bytes.rfind(' ') + 1), "32") << name;
      }
    for (const char* f : {"io.sys", "command.com"}) EXPECT_EQ(host.Attributes(Win95(f)), kArchive) << f;
    EXPECT_EQ(Get(Client("PCIND.dos")), "driver PCIND");
    ExpectNothingStaged();
    // A file prepared by an installation cut short, read-only from its source.
    Put(Client("NET.EXE.ins"), "half");
    host.SetFileAttributes(Client("NET.EXE.ins"), kReadOnly);
  }
  EXPECT_EQ(host.Attributes("C:\\Korrin\\rplfiles\\win98\\subst.exe"), kReadOnly);
  EXPECT_EQ(host.Attributes(Rpl("bblock\\ndis\\pcind.dos")), kReadOnly);
  EXPECT_EQ(host.Attributes("c:\\temp\\bootimg\\io.sys"), kServiceAttributes);
}

}  // namespace
