#include "rpl/install.h"

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kUnpack[] = "C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 c:\\temp\\bootimg";
const SimEvent kDone = {"message", "无盘WIN98远程启动文件安装完成！", "Morva提示", 64};
const SimEvent kWrongProfile = {"message", "请检查您的RPL远程配置名是否正确！", "morva提示", 48};
const SimEvent kDosQuestion = {"message", "系统检测到 WIN98 很可能是一个DOS的远程配置名!是否任要继续?", "morva提示", 292};
const std::string kUntouched = "\r\n远程启动文件和配置 WIN98 都没有改动。";
SimEvent Warning(const std::string& text) { return {"message", text, "morva提示", 48}; }

// A server with a Windows profile WIN98, the two Realtek cards and a custom
// card registered (their drivers and boot-block files), and an unpacker that lays out the boot image's files,
// each saying where it came from.
class InstallMachine : public RplMachine {
 public:
  InstallMachine() {
    Put("C:\\Korrin\\unditool\\bootimg.w98", "image");
    Put(Rpl("rplfiles\\binfiles\\win95\\command.com"), "win95 command.com");
    PutCardFiles("rtsnd", "driver RTSND", "boot block");
    PutCardFiles("pcind", "driver PCIND", "boot block");
    PutCardFiles("MYNIC", "driver MYNIC", "boot block");
    ServeRecords(Records("00E04C", "rtsnd") + Records("5254AB", "pcind") + Records("001122", "MYNIC"));
    form->settings.NdisDriverName = "MYNIC";
    MakeDirs(Profile() + "\\wksta.pro");
    host.RegisterStandin("undisk", [this](platform::SimHost&, const std::vector<std::string>&, const std::string&,
                                          std::string*) {
      const std::string image = "c:\\temp\\bootimg\\";
      Put(image + "io.sys", "image io.sys");
      Put(image + "command.com", "image command.com");
      Put(image + "system.dat", "registry ...RTSND... RTSND");
      for (const std::string& f : rpl::ClientFiles()) Put(image + "winboot\\" + f, "image " + f);
      Put(image + "winboot\\SETVARS.BAT", setvars);
      Put(image + "winboot\\PROTOCOL.INI",
          "[RTSND]\r\nDriverName=RTSND$ RTSND\r\nrtsnd lower\r\n[NETBEUI]\r\nBINDINGS=RTSND\r\n");
      if (!image_without.empty()) Remove(image + image_without);
      return unpacker_exit;
    });
    ChooseProfile("WIN98");
  }
  std::string Profile() { return Rpl("rplfiles\\profiles\\WIN98"); }
  std::string Boot(const std::string& f) { return Profile() + "\\suboot\\" + f; }
  std::string Client(const std::string& f) { return Profile() + "\\suboot\\winboot\\" + f; }
  std::string Win95(const std::string& f) { return Rpl("rplfiles\\binfiles\\win95\\" + f); }

  std::string setvars = "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=RTSND.DOS\r\nSET SERVER=OLD\r\n";
  int unpacker_exit = 0;
  std::string image_without;               // a file the unpacker leaves out
};

// Every card's profile gets the image's files and the start files, the card's
// registered driver in place of RTSND, and this server and its share in
// setvars.bat; the service gets the image's io.sys and command.com.
TEST(Installation, EachCardGetsTheImageTheStartFilesAndItsDriverInPlaceOfRtsnd) {
  struct Case {
    const char* why;
    const char* nic;
    void (*arrange)(InstallMachine&);
    bool dos;                  // the DOS question asked (the row makes a DOS profile and answers Yes)
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
      // start script the image's. The service's io.sys, read-only as copied
      // from a CD, is replaced all the same.
      {"RTL 8029 over an earlier installation", "RTL 8029", [](InstallMachine& m) {
         m.host.SetFileAttributes(m.Win95("io.sys"), platform::kAttrReadOnly);
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
         m.Put(m.Profile() + "\\wksta.pro\\dosshell.ini", "");
         m.ui.Answer(platform::kIdYes);
       }, true, "MYNIC", "driver MYNIC",
       "@echo off\r\n\r\nSET NETCARD=MYNIC.DOS\r\nSET SERVER=KORRINSRV\r\nSET SHARE=\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    InstallMachine m;
    m.Choose(c.nic);
    c.arrange(m);
    std::vector<SimEvent> journal = {{"wait", c.unpack, "", platform::kHide}, {"pause", "", "", 1000}, kDone};
    if (c.dos) journal.insert(journal.begin(), kDosQuestion);
    if (std::string(c.nic) != "Other NetCARD") journal.insert(journal.begin(), kAskRecords);
    m.journal().clear();
    m.form->BitBtn11Click();
    EXPECT_EQ(m.journal(), journal);
    EXPECT_FALSE(m.form->CheckBox1.Checked());
    for (const std::string& f : {m.Win95("io.sys"), m.Win95("command.com"), m.Boot("io.sys")}) {
      EXPECT_EQ(m.Get(f), "image " + f.substr(f.rfind('\\') + 1)) << f;
      EXPECT_EQ(m.host.Attributes(f), platform::kAttrArchive) << f;
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
  }
}

TEST(Install, EachStopLeavesTheTreeAndTheProfileUntouched) {
  const SimEvent kWait = {"wait", kUnpack, "", 0};
  struct Case {
    const char* name;
    const char* nic;
    void (*arrange)(InstallMachine&);
    std::vector<SimEvent> journal;  // beyond the messages, what ran
  } cases[] = {
      {"no profile chosen", "RTL 8139", [](InstallMachine& m) { m.ChooseProfile(""); }, {kWrongProfile}},
      {"case differs", "RTL 8139", [](InstallMachine& m) { m.ChooseProfile("win98"); }, {kWrongProfile}},
      {"a file, not a profile", "RTL 8139", [](InstallMachine& m) {
         m.Put(m.Rpl("rplfiles\\profiles\\NOTES.TXT"), "notes");
         m.ChooseProfile("NOTES.TXT");
       }, {Warning("NOTES.TXT 不是一个远程配置目录，无法安装。\r\n远程启动文件和配置 NOTES.TXT 都没有改动。")}},
      {"DOS profile, No", "RTL 8139", [](InstallMachine& m) { m.Put(m.Profile() + "\\wksta.pro\\dosshell.ini", ""); },
       {kDosQuestion}},
      {"custom card never registered", "Other NetCARD", [](InstallMachine& m) { m.form->settings.NdisDriverName = ""; },
       {Warning("本次运行中还没有注册自选网卡，无法确定网卡驱动程序。请先用<配置Rpl>注册您的网卡，再进行安装！")}},
      {"RTL 8029 never registered", "RTL 8029", [](InstallMachine& m) { m.Remove(m.Rpl("bblock\\ndis\\pcind.dos")); },
       {Warning("远程启动目录中没有网卡驱动程序 C:\\WINNT\\rpl\\bblock\\ndis\\PCIND.dos，请先用<配置Rpl>注册网卡，再进行安装。" +
                kUntouched)}},
      // The install button stays unlocked when detection then sends another
      // card type to registration.
      {"RTL 8139 not registered", "RTL 8139", [](InstallMachine& m) { m.Remove(m.Rpl("bblock\\netbeui\\rtsnd")); },
       {kAskRecords, Warning("网卡 RTL 8139 还没有在远程启动服务中注册（C:\\WINNT\\rpl\\bblock\\netbeui\\RTSND 中的文件或"
                      "远程启动数据库中的记录不全），请先按“检测”，再按“配置Rpl”注册它，然后安装。" + kUntouched)}},
      {"a driver named like a client file", "Other NetCARD", [](InstallMachine& m) {
         m.form->settings.NdisDriverName = "protman";
         m.Put(m.Rpl("bblock\\ndis\\protman.dos"), "driver");
       }, {Warning("网卡驱动程序 protman.dos 与工作站网络文件 PROTMAN.DOS 同名，无法安装到同一个 winboot 中。" + kUntouched)}},
      {"image missing", "RTL 8139", [](InstallMachine& m) { m.Remove("C:\\Korrin\\unditool\\bootimg.w98"); },
       {{"notice", "找不到原始镜像文件,程序异常中止！", "Server", 0}, {"close", "", "", 0}}},
      {"image without io.sys", "RTL 8139", [](InstallMachine& m) { m.image_without = "io.sys"; },
       {kWait, Warning("解开的引导镜像中没有 c:\\temp\\bootimg\\io.sys。" + kUntouched)}},
      {"a folder named like a client file", "RTL 8139", [](InstallMachine& m) { m.MakeDirs(m.Client("NET.EXE")); },
       {Warning("C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\NET.EXE 是一个目录，安装无法用文件替换它。" +
                       kUntouched)}},
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
    const auto before = m.Tree(m.Rpl(""));
    // The plan (the DOS question answered No) gives every refusal known
    // before the image is unpacked; the rest the apply finds in the unpacked
    // image.
    const bool no = false;
    const rpl::Installation planned = rpl::PlanInstall(
        m.host,
        {m.form->ComboBox2.Text(), c.nic, m.form->Edit1.Text(), m.kRoot, "C:\\Korrin", m.form->settings.NdisDriverName},
        &no);
    const bool unpacks = std::find(c.journal.begin(), c.journal.end(), kWait) != c.journal.end();
    EXPECT_EQ(planned.plan.refused ? planned.plan.message : planned.declined ? "" : "<applied>",
              unpacks ? "<applied>" : c.journal.back().kind == "close" ? c.journal[0].text
                                    : c.journal.back() == kDosQuestion ? "" : c.journal.back().text);
    m.journal().clear();
    m.form->BitBtn11Click();
    // A Realtek card's records are asked for first (RTL 8139 not registered).
    std::vector<SimEvent> journal = m.journal();
    if (!journal.empty() && journal[0] == kAskRecords && !(c.journal[0] == kAskRecords)) journal.erase(journal.begin());
    EXPECT_EQ(journal, c.journal);
    EXPECT_EQ(m.Tree(m.Rpl("")), before);
    EXPECT_TRUE(m.form->CheckBox1.Checked());
  }
}

}  // namespace
