#include "rpl/install.h"

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kUnpack[] = "C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 c:\\temp\\bootimg";
const SimEvent kDone = {"message", "无盘WIN98远程启动文件安装完成！", "Morva提示", 64};
const SimEvent kWrongProfile = {"message", "请检查您的RPL远程配置名是否正确！", "morva提示", 48};
const SimEvent kDosQuestion = {"message", "系统检测到 WIN98 很可能是一个DOS的远程配置名!是否任要继续?", "morva提示", 292};

// A server with a Windows profile WIN98 and an unpacker that lays out the
// boot image's files, each saying where it came from.
class InstallMachine : public RplMachine {
 public:
  InstallMachine() {
    Put("C:\\Korrin\\unditool\\bootimg.w98", "image");
    MakeDirs(Profile());
    MakeDirs(Profile() + "\\wksta.pro");
    host.RegisterStandin("undisk", [this](platform::SimHost&, const std::vector<std::string>& args,
                                          const std::string&, std::string*) {
      unpacked_args = args;
      Put("c:\\temp\\bootimg\\io.sys", "image io.sys");
      Put("c:\\temp\\bootimg\\command.com", "image command.com");
      Put("c:\\temp\\bootimg\\system.dat", "registry ...RTSND... RTSND");
      for (const std::string& f : rpl::ClientFiles()) Put("c:\\temp\\bootimg\\winboot\\" + f, "image " + f);
      Put("c:\\temp\\bootimg\\winboot\\SETVARS.BAT", setvars);
      Put("c:\\temp\\bootimg\\winboot\\PROTOCOL.INI",
          "[RTSND]\r\nDriverName=RTSND$ RTSND\r\nrtsnd lower\r\n[NETBEUI]\r\nBINDINGS=RTSND\r\n");
      if (!image_without.empty()) Remove("c:\\temp\\bootimg\\" + image_without);
      if (disk_space != SIZE_MAX) host.LimitDiskSpace(disk_space);
      return unpacker_exit;
    });
    ChooseProfile("WIN98");
  }
  std::string Profile() { return Rpl("rplfiles\\profiles\\WIN98"); }
  std::string Boot(const std::string& f) { return Profile() + "\\suboot\\" + f; }
  std::string Client(const std::string& f) { return Profile() + "\\suboot\\winboot\\" + f; }

  std::string setvars = "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=RTSND.DOS\r\nSET SERVER=OLD\r\n";
  int unpacker_exit = 0;
  std::string image_without;               // a file the unpacker leaves out
  std::size_t disk_space = SIZE_MAX;       // what the disk holds after unpacking
  std::vector<std::string> unpacked_args;
};

class Install : public ::testing::Test, public InstallMachine {};

// Every card's profile gets the image's files and the start files, the card's
// driver in place of RTSND, and this server and its share in setvars.bat.
TEST(Installation, EachCardGetsTheImageTheStartFilesAndItsDriverInPlaceOfRtsnd) {
  struct Case {
    const char* why;
    const char* nic;
    void (*arrange)(InstallMachine&);
    bool dos;                  // a DOS profile, the question answered Yes
    const char* driver;        // the name the profile's files carry
    const char* driver_bytes;  // the profile's driver afterwards
    const char* setvars;       // the profile's setvars.bat afterwards
  } cases[] = {
      {"RTL 8139: the image's own driver", "RTL 8139", [](InstallMachine&) {}, false, "RTSND", "image RTSND.DOS",
       "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=RTSND.DOS\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n"},
      // Everything is done again but the driver already in the profile; the
      // box set for the profile ends clear, the start script the image's.
      {"RTL 8029 over an earlier installation", "RTL 8029", [](InstallMachine& m) {
         m.Put(m.Client("startnet.bat"), "earlier installation");
         m.form->CheckBox1.SetChecked(true);
         m.Put(m.Client("PCIND.dos"), "driver the administrator put there");
         m.Put(m.Boot("win.bat"), "changed");
       }, false, "PCIND", "driver the administrator put there",
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
    m.Put(m.Rpl("bblock\\ndis\\pcind.dos"), "driver PCIND");
    m.Put(m.Rpl("bblock\\ndis\\MYNIC.dos"), "driver MYNIC");
    m.form->settings.NdisDriverName = "MYNIC";
    m.Choose(c.nic);
    c.arrange(m);
    std::vector<SimEvent> journal = {{"wait", kUnpack, "", platform::kHide}, {"pause", "", "", 1000}, kDone};
    if (c.dos) {
      m.Put(m.Profile() + "\\wksta.pro\\dosshell.ini", "");
      m.ui.Answer(platform::kIdYes);
      journal.insert(journal.begin(), kDosQuestion);
    }
    m.journal().clear();
    m.form->BitBtn11Click();
    EXPECT_EQ(m.journal(), journal);
    EXPECT_FALSE(m.form->CheckBox1.Checked());
    for (const std::string& f : {m.Rpl("rplfiles\\binfiles\\win95\\io.sys"),
                                 m.Rpl("rplfiles\\binfiles\\win95\\command.com"), m.Boot("io.sys")}) {
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
    EXPECT_EQ(m.Get(m.Client("temp.ini")), "<absent>");
    EXPECT_EQ(m.Get(m.Boot("system.dat")), "registry ..." + d + "... RTSND");
    EXPECT_EQ(m.Get(m.Client("setvars.bat")), c.setvars);
    EXPECT_EQ(m.unpacked_args, (std::vector<std::string>{"C:\\Korrin\\unditool\\bootimg.w98", "c:\\temp\\bootimg"}));
  }
}

TEST_F(Install, EachStopLeavesTheTreeAndTheProfileUntouched) {
  const std::string kUntouched = "\r\n远程启动文件和配置 WIN98 都没有改动。";
  auto warning = [](const std::string& text) { return SimEvent{"message", text, "morva提示", 48}; };
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
       }, {warning("NOTES.TXT 不是一个远程配置目录，无法安装。\r\n远程启动文件和配置 NOTES.TXT 都没有改动。")}, false},
      {"DOS profile, No", "RTL 8139", [](InstallMachine& m) { m.Put(m.Profile() + "\\wksta.pro\\dosshell.ini", ""); },
       {kDosQuestion}, false},
      {"custom card never registered", "Other NetCARD", [](InstallMachine&) {},
       {warning("本次运行中还没有注册自选网卡，无法确定网卡驱动程序。请先用<配置Rpl>注册您的网卡，再进行安装！")}, false},
      {"RTL 8029 never registered", "RTL 8029", [](InstallMachine&) {},
       {warning("远程启动目录中没有网卡驱动程序 C:\\WINNT\\rpl\\bblock\\ndis\\PCIND.dos，请先用<配置Rpl>注册网卡，再进行安装。" +
                kUntouched)}, false},
      {"image missing", "RTL 8139", [](InstallMachine& m) { m.Remove("C:\\Korrin\\unditool\\bootimg.w98"); },
       {{"notice", "找不到原始镜像文件,程序异常中止！", "Server", 0}, {"close", "", "", 0}}, true},
      {"unpacker fails", "RTL 8139", [](InstallMachine& m) { m.unpacker_exit = 1; },
       {kWait, warning("解包程序报告错误（返回值 1），引导镜像没有解开。" + kUntouched)}, false},
      {"unpacker just too slow", "RTL 8139", [](InstallMachine& m) { m.host.MakeSlow("undisk", rpl::kUnpackLimit + 1); },
       {kWait, {"pause", "", "", rpl::kUnpackLimit}, {"end", kUnpack, "", 0},
        warning("解包程序在 60 秒内没有结束，已被终止，引导镜像没有解开。" + kUntouched)}, false},
      {"a six-letter driver and a system.dat that is no registry file", "Other NetCARD", [](InstallMachine& m) {
         m.form->settings.NdisDriverName = "MYNICX";
         m.Put(m.Rpl("bblock\\ndis\\MYNICX.dos"), "driver");
       }, {kWait, warning("引导镜像的 system.dat 中无法换入网卡驱动程序名 MYNICX：文件不是注册表文件，"
                          "只能逐字节换入5个字符的驱动程序名，MYNICX 有 6 个字符。" + kUntouched)}, false},
      {"image without io.sys", "RTL 8139", [](InstallMachine& m) { m.image_without = "io.sys"; },
       {kWait, warning("解开的引导镜像中没有 c:\\temp\\bootimg\\io.sys。" + kUntouched)}, false},
      {"image without LOGIN.EXE", "RTL 8139", [](InstallMachine& m) { m.image_without = "winboot\\LOGIN.EXE"; },
       {kWait, warning("解开的引导镜像中没有 c:\\temp\\bootimg\\winboot\\LOGIN.EXE。" + kUntouched)}, false},
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
    m.form->BitBtn11Click();
    EXPECT_EQ(m.journal(), c.journal);
    EXPECT_EQ(m.ui.main_window_closed(), c.closed);
    EXPECT_EQ(m.Tree(Rpl("")), before);
    EXPECT_TRUE(m.form->CheckBox1.Checked());
  }
}

TEST_F(Install, AStepThatFailsIsNamedAndTheFilesItWouldReplaceStay) {
  struct Case {
    const char* name;
    const char* nic;
    void (*arrange)(InstallMachine&);
    const char* failure;
    const char* kept;  // a file that must be as it was
    const char* bytes;
  } cases[] = {
      {"a read-only client file of an earlier run", "RTL 8139", [](InstallMachine& m) {
         m.Put(m.Client("NET.EXE"), "earlier NET.EXE");
         m.host.SetFileAttributes(m.Client("NET.EXE"), platform::kAttrReadOnly);
       }, "无法把 c:\\temp\\bootimg\\winboot\\NET.EXE 复制到 C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\NET.EXE。",
       "C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\NET.EXE", "earlier NET.EXE"},
      {"a read-only shared io.sys", "RTL 8139", [](InstallMachine& m) {
         m.host.SetFileAttributes(m.Rpl("rplfiles\\binfiles\\win95\\io.sys"), platform::kAttrReadOnly);
       }, "无法把 c:\\temp\\bootimg\\io.sys 复制到 C:\\WINNT\\rpl\\rplfiles\\binfiles\\win95\\io.sys。",
       "C:\\WINNT\\rpl\\rplfiles\\binfiles\\win95\\io.sys", "win95 io.sys"},
      {"a read-only start file", "RTL 8139", [](InstallMachine& m) {
         m.Put(m.Boot("win.bat"), "earlier win.bat");
         m.host.SetFileAttributes(m.Boot("win.bat"), platform::kAttrReadOnly);
       }, "无法写入 C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\win.bat。",
       "C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\win.bat", "earlier win.bat"},
      {"a file where suboot goes", "RTL 8139", [](InstallMachine& m) { m.Put(m.Profile() + "\\suboot", "a file"); },
       "无法建立目录 C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot。",
       "C:\\WINNT\\rpl\\rplfiles\\binfiles\\win95\\io.sys", "win95 io.sys"},
      {"the disk fills during the shared files", "RTL 8139", [](InstallMachine& m) { m.disk_space = 5; },
       "无法把 c:\\temp\\bootimg\\io.sys 复制到 C:\\WINNT\\rpl\\rplfiles\\binfiles\\win95\\io.sys。",
       "C:\\WINNT\\rpl\\rplfiles\\binfiles\\win95\\io.sys", "win95 io.sys"},
      {"the image's driver cannot go: a read-only one", "RTL 8029", [](InstallMachine& m) {
         m.Put(m.Client("RTSND.DOS"), "earlier RTSND.DOS");
         m.host.SetFileAttributes(m.Client("RTSND.DOS"), platform::kAttrReadOnly);
       }, "无法把 c:\\temp\\bootimg\\winboot\\RTSND.DOS 复制到 C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\RTSND.DOS。",
       "C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\RTSND.DOS", "earlier RTSND.DOS"},
      {"the registered driver cannot be read: the image's stays", "RTL 8029", [](InstallMachine& m) {
         m.host.MakeUnreadable(m.Rpl("bblock\\ndis\\pcind.dos"));
       }, "无法把 C:\\WINNT\\rpl\\bblock\\ndis\\PCIND.dos 复制到 C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\PCIND.dos。",
       "C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98\\suboot\\winboot\\RTSND.DOS", "image RTSND.DOS"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallMachine m;
    m.Put(Rpl("bblock\\ndis\\pcind.dos"), "driver PCIND");
    m.Choose(c.nic);
    c.arrange(m);
    m.form->BitBtn11Click();
    ASSERT_FALSE(m.journal().empty());
    EXPECT_EQ(m.journal().back(),
              (SimEvent{"message", std::string("无盘WIN98远程启动文件没有安装完成：") + c.failure +
                                       "\r\n这个文件和它之后的文件都保持原样，请排除问题后重新安装。",
                        "morva提示", 48}));
    EXPECT_EQ(m.Get(c.kept), c.bytes);
    EXPECT_EQ(m.Get(std::string(c.kept) + ".new"), "<absent>");
  }
}

TEST_F(Install, ToolsInADirectoryWithABlankAreQuoted) {
  Put("C:\\My Tools\\unditool\\bootimg.w98", "image");
  form->settings.StartDir = "C:\\My Tools";
  Choose("RTL 8139");
  form->BitBtn11Click();
  EXPECT_EQ(journal().front().text,
            "\"C:\\My Tools\\unditool\\undisk.exe\" \"C:\\My Tools\\unditool\\bootimg.w98\" c:\\temp\\bootimg");
}

}  // namespace
