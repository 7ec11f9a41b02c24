// Registrations that fail at one step, on a server that works: every file
// that was there stays byte for byte as it was.
#include "rpl/register.h"

#include "tests/rpl/registration_machine.h"

namespace {

using namespace registration;

// Each row fails one step of a registration on a server that works: a new
// card (RTL 8029), or the registered custom card again. Every file of the
// Windows directory must be byte for byte as before, with its attributes,
// and the one message must name the failure.
TEST(RegistrationFaults, EachFailedStepOnAWorkingServerLeavesEveryFileAsItWas) {
  const std::string kScriptLost = "无法写入远程启动数据库脚本 C:\\WINNT\\rpltemp.bat（文件只读、被占用或磁盘已满）。";
  const std::string kTimedOut = "无法列出远程启动数据库中的记录：rplcmd 在 60 秒内没有列出远程启动数据库中的记录，已被终止，"
                                "注册没有进行。" + std::string(kUnchanged);
  const SimEvent kNotice = {"notice", "远程启动可能没有正确安装!", "Server", 0};
  const SimEvent kEnded = {"end", "C:\\WINNT\\system32\\rplcmd.exe", "", 0};
  const SimEvent kWaited = {"pause", "", "", rpl::kRplcmdLimit};
  const char* const k8029 = "RTL 8029";
  const char* const kMyNic = "Other NetCARD";
  struct Case {
    const char* why;
    const char* nic;
    void (*spoil)(RegistrationMachine&);
    std::vector<SimEvent> journal;  // after the dialog and the listing of the database's records
    bool registered;                // the install button unlocked
  } cases[] = {
      // The DOS 6.22 files are copied once the answers have passed: none cut short stays.
      {"the disk full as the DOS 6.22 files are first copied", k8029, [](RegistrationMachine& m) {
         for (const char* f : kDos622) m.Remove(m.Rpl(std::string("rplfiles\\binfiles\\dos622\\") + f));
         m.host.LimitDiskSpace(3);
       }, {Warning("无法把 DOS 6.22 系统文件 C:\\Korrin\\rplfiles\\dos622\\io.sys 复制到 "
                   "C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\io.sys，注册没有进行。")}, false},
      {"the disk is full", k8029, [](RegistrationMachine& m) { m.host.LimitDiskSpace(0); },
       {Warning(kScriptLost + kUnchanged)}, false},
      {"an earlier script is read-only", k8029, [](RegistrationMachine& m) {
         m.Put("C:\\WINNT\\rpltemp.bat", "the last card's script\r\n");
         m.host.SetFileAttributes("C:\\WINNT\\rpltemp.bat", platform::kAttrReadOnly);
       }, {Warning(kScriptLost + kUnchanged)}, false},
      {"a read-only new file is in the driver's way", k8029, [](RegistrationMachine& m) {
         m.Put(m.Rpl("bblock\\ndis\\pcind.dos.new"), "left over");
         m.host.SetFileAttributes(m.Rpl("bblock\\ndis\\pcind.dos.new"), platform::kAttrReadOnly);
       }, {Warning(std::string("无法把网卡驱动程序 C:\\Korrin\\rplfiles\\pcind.dos 复制到 C:\\WINNT\\rpl\\bblock\\ndis\\pcind.dos。") +
                   kUnchanged)}, false},
      {"a template is missing", k8029, [](RegistrationMachine& m) { m.Remove(m.Template("w95bb.cnf")); },
       {kNotice, Warning("启动块文件没有生成：" + std::string(RplMachine::Template("w95bb.cnf")) + " 缺少、无法读取或无法写入。" + kUnchanged)}, false},
      {"rplcmd refuses", k8029, [](RegistrationMachine& m) {
         m.rplcmd_exit = 2;
         m.rplcmd_says = "rplcmd: the boot block exists already.\nNothing was changed.\n";
       }, {kRplcmd, Warning(std::string("rplcmd 拒绝了注册脚本（返回值 2）。") + kUnchanged +
                            "\r\nrplcmd 的输出：\r\nrplcmd: the boot block exists already.\r\nNothing was changed.")},
       false},
      // Only rplcmd's listing of the card's own records makes a card one
      // registered before: not a file of it there; a prefix that another card
      // holds, or a database rplcmd cannot list, refuses it before anything.
      {"a card never registered, its protocol.ini there, a prefix another card holds", k8029, [](RegistrationMachine& m) {
         m.Put(m.Rpl("bblock\\netbeui\\pcind\\protocol.ini"), "[pcind]\r\n    IRQ=5 ; by hand\r\n");
         m.rplcmd_exit = 2;
         m.rplcmd_says = "vendor 001122 exists already\n";
         m.rplcmd_lists = m.Records("001122", "MYNIC");
       }, {Warning("远程启动数据库中的启动块 001122DOS 的启动块文件是 BBLOCK\\NETBEUI\\MYNIC\\DOSBB.CNF，不是这块网卡的 "
                   "BBLOCK\\NETBEUI\\PCIND\\DOSBB.CNF：厂商前缀 001122 已经属于另一块网卡。请填这块网卡的工作站网卡地址的前六位。" +
                   std::string(kUnchanged))}, false},
      {"the custom card again lacking protocol.ini, its Windows configuration gone, rplcmd refusing it", kMyNic,
       [](RegistrationMachine& m) {
         m.Remove(m.Rpl("bblock\\netbeui\\MYNIC\\protocol.ini"));
         m.rplcmd_exit = 2;
         const std::string records = m.Records("001122", "MYNIC");
         m.rplcmd_lists = records.substr(0, records.find("C\tWIN"));
       }, {kRplcmd, Warning("rplcmd 拒绝了注册脚本（返回值 2）。" + std::string(kUnchanged))}, false},
      {"the custom card again lacking protocol.ini, its database damaged", kMyNic, [](RegistrationMachine& m) {
         m.Remove(m.Rpl("bblock\\netbeui\\MYNIC\\protocol.ini"));
         m.rplcmd_exit = m.rplcmd_list_exit = 3;
         m.rplcmd_says = "The Remoteboot database is damaged at line 2\n";
         m.rplcmd_lists = m.rplcmd_says;
       }, {Warning("无法列出远程启动数据库中的记录：rplcmd 无法列出远程启动数据库中的记录（返回值 3）："
                   "The Remoteboot database is damaged at line 2，注册没有进行。" + std::string(kUnchanged))}, false},
      {"rplcmd never ends", k8029, [](RegistrationMachine& m) { m.host.MakeEndless("rplcmd"); },
       {kWaited, kEnded, Warning(kTimedOut)}, false},
      {"rplcmd ends too late", k8029, [](RegistrationMachine& m) { m.host.MakeSlow("rplcmd", 61000); },
       {kWaited, kEnded, Warning(kTimedOut)}, false},
      {"its output cannot be written", k8029, [](RegistrationMachine& m) {
         m.Put("C:\\WINNT\\rpltemp.out", "");
         m.host.SetFileAttributes("C:\\WINNT\\rpltemp.out", platform::kAttrReadOnly);
       }, {kRplcmd, Warning(std::string("无法启动 rplcmd（C:\\WINNT\\system32\\rplcmd.exe），或无法读取 "
                                        "C:\\WINNT\\rpltemp.bat、写入 C:\\WINNT\\rpltemp.out。") + kUnchanged)}, false},
      {"the custom card again, a new driver refused", kMyNic, [](RegistrationMachine& m) {
         m.rplcmd_exit = 2;
         m.rplcmd_says = "vendor 001122 exists already\n";
         m.rplcmd_lists = m.Records("001122", "mynic");
       }, {{"message", "这块网卡已经注册过：驱动程序 MYNIC.dos 和启动块目录 C:\\WINNT\\rpl\\bblock\\netbeui\\MYNIC "
                          "中的启动块文件都在，远程启动数据库中有它的全部记录。文件和远程启动数据库都没有改动。"
                          "\r\n所选的驱动程序 C:\\DRIVERS\\MYNIC.DOS 与 C:\\WINNT\\rpl\\bblock\\ndis\\MYNIC.dos 不同，"
                          "服务器上的驱动程序保持原样。\r\n请直接按“安装”为这块网卡安装远程启动文件。", "进程提示", 64}}, true},
      {"the custom card again, read-only, rplcmd never ends", kMyNic, [](RegistrationMachine& m) {
         m.host.SetFileAttributes(m.Rpl("bblock\\ndis\\MYNIC.dos"), platform::kAttrReadOnly);
         m.host.MakeEndless("rplcmd");
       }, {kWaited, kEnded, Warning(kTimedOut)}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    RegistrationMachine m;
    m.Working();
    c.spoil(m);
    const auto before = m.Tree(m.kRoot);
    m.Register(c.nic, "001122");
    std::vector<SimEvent> journal;
    journal.push_back({"modal", c.nic == k8029 ? "TForm3" : "TGetNetDrv", "", platform::kMrOk});
    journal.push_back(kList);
    journal.insert(journal.end(), c.journal.begin(), c.journal.end());
    EXPECT_EQ(m.journal(), journal);
    EXPECT_TRUE(m.AsBefore(before));
    EXPECT_EQ(m.form->BitBtn9.Enabled(), !c.registered);
    EXPECT_EQ(m.form->BitBtn11.Enabled(), c.registered);
    EXPECT_EQ(m.form->settings.NdisDriverName, c.nic == kMyNic ? "MYNIC" : "");
  }
}

// A release copied from a CD: every file the registration copies is
// read-only. What it brings is made writable, so that it can be taken back
// or replaced; what it keeps keeps its attributes. On a working server, a
// card registered before and its driver read-only, for a new prefix: rplcmd
// adds the records, the boot block edited by hand stays, the custom card's
// driver is the one chosen and a Realtek card keeps its own; the custom
// card's name stays for the installation.
TEST(RegistrationSources, ReadOnlySourcesGiveCopiesTheRegistrationCanTakeBack) {
  struct Case {
    const char* nic;
    bool working;
    int rplcmd_exit;
    const char* driver;  // below bblock\ndis
    const char* bytes;   // the driver afterwards
    unsigned attributes;
  } cases[] = {
      {"RTL 8139", false, 0, "rtsnd.dos", "shipped rtsnd", platform::kAttrArchive},
      {"RTL 8029", false, 2, "pcind.dos", "<absent>", 0},
      {"Other NetCARD", false, 0, "MYNIC.dos", "newer mynic", platform::kAttrArchive},
      {"Other NetCARD", false, 2, "MYNIC.dos", "<absent>", 0},
      {"Other NetCARD", true, 0, "MYNIC.dos", "newer mynic", platform::kAttrArchive},
      {"RTL 8139", true, 0, "rtsnd.dos", "installed rtsnd", platform::kAttrReadOnly},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.nic) + " " + std::to_string(c.rplcmd_exit) + (c.working ? " working" : ""));
    RegistrationMachine m;
    const std::string driver = m.Rpl(std::string("bblock\\ndis\\") + c.driver);
    if (c.working) {
      m.Working();
      m.host.SetFileAttributes(driver, platform::kAttrReadOnly);
    }
    m.Put(m.Rpl("rplfiles\\binfiles\\dos622\\io.sys"), "installed io.sys");
    m.host.SetFileAttributes(m.Rpl("rplfiles\\binfiles\\dos622\\io.sys"), 7);
    for (const char* source : {"C:\\Korrin\\rplfiles\\rtsnd.dos", "C:\\Korrin\\rplfiles\\pcind.dos", "C:\\DRIVERS\\MYNIC.DOS"})
      m.host.SetFileAttributes(source, platform::kAttrReadOnly);
    for (const char* f : kDos622)
      m.host.SetFileAttributes(std::string("C:\\Korrin\\rplfiles\\dos622\\") + f, platform::kAttrReadOnly);
    m.form->settings.NdisDriverName = "MYNIC";
    m.rplcmd_exit = c.rplcmd_exit;
    m.Register(c.nic, "0000B4");
    EXPECT_EQ(m.Get(driver), c.bytes);
    EXPECT_EQ(m.Get(driver + ".new"), "<absent>");
    if (c.rplcmd_exit == 0) {
      EXPECT_EQ(m.host.Attributes(driver), c.attributes);
      EXPECT_EQ(m.journal().back(), (SimEvent{"run", kManager, "", platform::kShowNormal}));
    }
    EXPECT_EQ(m.host.Attributes(m.Rpl("rplfiles\\binfiles\\dos622\\io.sys")), 7u);
    EXPECT_EQ(m.form->settings.NdisDriverName, "MYNIC");
    const std::string block = std::string(c.driver).substr(0, std::string(c.driver).find('.'));
    if (c.working)
      EXPECT_EQ(m.Get(m.Rpl("bblock\\netbeui\\" + block + "\\protocol.ini")), "[" + block + "]\r\n    IRQ=10 ; by hand\r\n");
    else
      EXPECT_EQ(m.host.Attributes(m.Rpl("rplfiles\\binfiles\\dos622\\himem.sys")), platform::kAttrArchive);
  }
}

// A folder that cannot be listed hides its files from a look-up: a file
// that is there would pass for absent. The registration then copies
// nothing there and deletes nothing.
TEST(RegistrationSources, AFolderThatCannotBeListedIsNotCopiedInto) {
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
  struct Case {
    const char* folder;
    const char* file;
    std::string message;
  } cases[] = {
      {"rplfiles\\binfiles\\dos622", "io.sys",
       "无法列出 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622，不能确定其中有没有 DOS 6.22 系统文件 io.sys，注册没有进行。"},
      {"bblock\\ndis", "rtsnd.dos",
       std::string("无法列出 C:\\WINNT\\rpl\\bblock\\ndis，不能确定其中有没有 rtsnd.dos。") + kUnchanged},
  };
  for (const Case& c : cases) {
    RegistrationMachine m;
    m.Working();
    const auto before = m.Tree(m.kRoot);
    Blind blind(m.root, m.Rpl(c.folder));
    platform::SimUi ui(blind);
    ui.OnModal<rpl::TForm3>([](rpl::TForm3& d) {
      d.MAC.SetText("00E04C");
      return platform::kMrOk;
    });
    rpl::CustomDriver custom;
    rpl::RegistrationInput in;
    in.nic_type = "RTL 8139", in.system_root = m.kRoot, in.start_dir = "C:\\Korrin";
    EXPECT_FALSE(rpl::RegisterCard(blind, ui, in, m.form->Form3, m.form->GetNetDrv,
                                   &custom));
    EXPECT_EQ(blind.journal().back(), Warning(c.message));
    EXPECT_TRUE(m.AsBefore(before)) << c.file;
  }
}

}  // namespace
