#include "rpl/install.h"

#include <filesystem>

#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kUnpack[] = "C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 c:\\temp\\bootimg";
const SimEvent kDone = {"message", "无盘WIN98远程启动文件安装完成！", "Morva提示", 64};
const SimEvent kWrongProfile = {"message", "请检查您的RPL远程配置名是否正确！", "morva提示", 48};

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
      return unpacker_exit;
    });
    form->ComboBox2.SetItems({"WIN98"});
    form->ComboBox2.SetItemIndex(0);
  }
  std::string Profile() { return Rpl("rplfiles\\profiles\\WIN98"); }
  std::string Boot(const std::string& f) { return Profile() + "\\suboot\\" + f; }
  std::string Client(const std::string& f) { return Profile() + "\\suboot\\winboot\\" + f; }

  std::string setvars = "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=RTSND.DOS\r\nSET SERVER=OLD\r\n";
  int unpacker_exit = 0;
  std::vector<std::string> unpacked_args;
};

class Install : public ::testing::Test, public InstallMachine {};

TEST_F(Install, AnRtl8139ProfileGetsEveryFileOfTheImageAndTheStartFiles) {
  Choose("RTL 8139");
  form->BitBtn11Click();
  EXPECT_EQ(journal(), (std::vector<SimEvent>{{"wait", kUnpack, "", platform::kHide},
                                              {"pause", "", "", 1000}, kDone}));
  EXPECT_EQ(Get(Rpl("rplfiles\\binfiles\\win95\\io.sys")), "image io.sys");
  EXPECT_EQ(Get(Rpl("rplfiles\\binfiles\\win95\\command.com")), "image command.com");
  EXPECT_EQ(host.Attributes(Rpl("rplfiles\\binfiles\\win95\\io.sys")), platform::kAttrArchive);
  EXPECT_EQ(host.Attributes(Rpl("rplfiles\\binfiles\\win95\\command.com")), platform::kAttrArchive);
  EXPECT_EQ(Get(Boot("io.sys")), "image io.sys");
  EXPECT_EQ(host.Attributes(Boot("io.sys")), platform::kAttrArchive);
  EXPECT_EQ(Get(Boot("subst.exe")), "subst");
  EXPECT_EQ(Get(Boot("system.dat")), "registry ...RTSND... RTSND");
  EXPECT_EQ(Get(Boot("autoexec.bat")),
            "if not exist D:\\winboot\\nul mkdir D:\\winboot\r\n"
            "if not exist D:\\winboot\\winboot\\nul mkdir D:\\winboot\\winboot\r\n"
            "copy c:\\ D:\\winboot\r\ncopy c:\\winboot\\*.* D:\\winboot\\winboot\r\nd:\r\ncd \\winboot\r\n");
  EXPECT_EQ(Get(Boot("config.sys")), "device=himem.sys\r\ndevice=c:\\ramdrive.sys 2048 /e\r\n");
  EXPECT_EQ(Get(Boot("win.bat")),
            "set comspec=d:\\winboot\\command.com\r\nnwrpltrm\r\nfixmem\r\nsetmdir /m /r:d:\\winboot\r\n"
            "subst a: d:\\winboot\r\nset comspec=A:\\command.com\r\na:\r\ncd \\winboot\r\n"
            "call setvars.bat\r\ncall startnet.bat\r\n");
  EXPECT_EQ(Get(Boot("msdos.sys")),
            "[Paths]\r\nWinDir=C:\\WIN98\r\nWinBootDir=C:\\\r\nHostWinBootDrv=C\r\n[Options]\r\n"
            "BootMulti=1\r\nBootGUI=1\r\nNetwork=1\r\nlogo=1\r\nLOADTOP=0\r\n");
  for (const std::string& f : rpl::ClientFiles())
    if (f != "SETVARS.BAT" && f != "PROTOCOL.INI") EXPECT_EQ(Get(Client(f)), "image " + f) << f;
  EXPECT_EQ(Get(Client("setvars.bat")),
            "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=RTSND.DOS\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n");
  EXPECT_EQ(Lines(Client("protocol.ini"))[0], "[RTSND]");
  EXPECT_EQ(unpacked_args, (std::vector<std::string>{"C:\\Korrin\\unditool\\bootimg.w98", "c:\\temp\\bootimg"}));
}

TEST_F(Install, OtherCardsPutTheirDriverInPlaceOfRtsnd) {
  struct Case {
    const char* nic;
    const char* driver;         // the name the profile's files carry
    const char* registered;     // the driver file in the boot-block tree
  } cases[] = {{"RTL 8029", "PCIND", "pcind.dos"}, {"Other NetCARD", "MYNIC", "MYNIC.dos"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nic);
    InstallMachine m;
    m.Put(Rpl(std::string("bblock\\ndis\\") + c.registered), std::string("driver ") + c.driver);
    m.form->settings.NdisDriverName = "MYNIC";
    m.Choose(c.nic);
    m.form->BitBtn11Click();
    const std::string d = c.driver;
    EXPECT_EQ(m.Get(m.Client("rtsnd.dos")), "<absent>");
    EXPECT_EQ(m.Get(m.Client(d + ".dos")), "driver " + d);
    EXPECT_EQ(m.Get(m.Client("protocol.ini")),
              "[" + d + "]\r\nDriverName=" + d + "$ RTSND\r\nrtsnd lower\r\n[NETBEUI]\r\nBINDINGS=" + d + "\r\n");
    EXPECT_EQ(m.Get(m.Client("temp.ini")), "<absent>");
    EXPECT_EQ(m.Get(m.Boot("system.dat")), "registry ..." + d + "... RTSND");
    EXPECT_EQ(m.Get(m.Client("setvars.bat")), "@echo off\r\nSET PATH=A:\\\r\nSET NETCARD=" + d +
                                                  ".DOS\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n");
    EXPECT_EQ(m.journal().back(), kDone);
  }
}

TEST_F(Install, EachStopLeavesTheTreeAndTheProfileUntouched) {
  struct Case {
    const char* name;
    void (*arrange)(InstallMachine&);
    std::vector<SimEvent> journal;  // beyond the messages, what ran
    bool closed;
  } cases[] = {
      {"no profile chosen", [](InstallMachine& m) { m.form->ComboBox2.SetItemIndex(-1); }, {kWrongProfile}, false},
      {"profile gone", [](InstallMachine& m) { std::filesystem::remove_all(m.host.NativePath(m.Profile())); },
       {kWrongProfile}, false},
      {"case differs", [](InstallMachine& m) { m.form->ComboBox2.SetItems({"win98"}), m.form->ComboBox2.SetItemIndex(0); },
       {kWrongProfile}, false},
      {"DOS profile, No", [](InstallMachine& m) { m.Put(m.Profile() + "\\wksta.pro\\dosshell.ini", ""); },
       {{"message", "系统检测到 WIN98 很可能是一个DOS的远程配置名!是否任要继续?", "morva提示", 292}}, false},
      {"custom card never registered", [](InstallMachine& m) { m.Choose("Other NetCARD"); },
       {{"message", "本次运行中还没有注册自选网卡，无法确定网卡驱动程序。请先用<配置Rpl>注册您的网卡，再进行安装！", "morva提示", 48}},
       false},
      {"image missing", [](InstallMachine& m) { std::filesystem::remove(m.host.NativePath("C:\\Korrin\\unditool\\bootimg.w98")); },
       {{"notice", "找不到原始镜像文件,程序异常中止！", "Server", 0}, {"close", "", "", 0}}, true},
      {"unpacker fails", [](InstallMachine& m) { m.unpacker_exit = 1; },
       {{"wait", kUnpack, "", 0},
        {"message", "解包程序报告错误（返回值 1），引导镜像没有解开。\r\n远程启动文件和配置 WIN98 都没有改动。", "morva提示", 48}},
       false},
      {"unpacker never ends", [](InstallMachine& m) { m.host.MakeEndless("undisk"); },
       {{"wait", kUnpack, "", 0}, {"pause", "", "", rpl::kUnpackLimit},
        {"message", "解包程序在 60 秒内没有结束，引导镜像没有解开。\r\n远程启动文件和配置 WIN98 都没有改动。", "morva提示", 48}},
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallMachine m;
    m.Choose("RTL 8139");
    m.Put(m.Client("startnet.bat"), "earlier installation");
    m.form->ComboBox2.SetItems({"WIN98"});
    m.form->ComboBox2.SetItemIndex(0);
    m.form->CheckBox1.SetChecked(true);  // set for the profile: rewrites the script once
    m.Put(m.Client("startnet.bat"), "earlier installation");
    m.journal().clear();
    c.arrange(m);
    m.form->BitBtn11Click();
    EXPECT_EQ(m.journal(), c.journal);
    EXPECT_EQ(m.ui.main_window_closed(), c.closed);
    EXPECT_EQ(m.Get(Rpl("rplfiles\\binfiles\\win95\\io.sys")), "win95 io.sys");
    EXPECT_EQ(m.Get(m.Boot("io.sys")), "<absent>");
    EXPECT_TRUE(m.form->CheckBox1.Checked());
    if (std::string(c.name) != "profile gone") EXPECT_EQ(m.Get(m.Client("startnet.bat")), "earlier installation");
  }
}

TEST_F(Install, ADosProfileAnsweredYesAndTheBoxSetGoOnAndEndWithTheBoxClear) {
  Choose("RTL 8139");
  Put(Profile() + "\\wksta.pro\\dosshell.ini", "");
  Put(Client("startnet.bat"), "earlier installation");
  form->CheckBox1.SetChecked(true);
  journal().clear();
  ui.Answer(platform::kIdYes);
  form->BitBtn11Click();
  EXPECT_FALSE(form->CheckBox1.Checked());
  EXPECT_EQ(journal().back(), kDone);
  EXPECT_EQ(Get(Client("startnet.bat")), "image STARTNET.BAT");
}

TEST_F(Install, ASecondRunRedoesEverythingButKeepsADriverAlreadyThere) {
  Put(Rpl("bblock\\ndis\\pcind.dos"), "driver PCIND");
  Choose("RTL 8029");
  form->BitBtn11Click();
  Put(Client("PCIND.dos"), "driver the administrator put there");
  Put(Boot("win.bat"), "changed");
  form->BitBtn11Click();
  EXPECT_EQ(Get(Client("PCIND.dos")), "driver the administrator put there");
  EXPECT_EQ(Lines(Boot("win.bat")).size(), 10u);
  EXPECT_EQ(Lines(Client("setvars.bat"))[2], "SET NETCARD=PCIND.DOS");
}

TEST_F(Install, ShortSetvarsAndARootShareGiveEmptyLinesAndAnEmptyShare) {
  Choose("RTL 8139");
  setvars = "@echo off";
  form->Edit1.SetText("D:\\");
  form->BitBtn11Click();
  EXPECT_EQ(Get(Client("setvars.bat")), "@echo off\r\n\r\n\r\nSET SERVER=KORRINSRV\r\nSET SHARE=\r\n");
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
