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
  const char* const k8029 = "RTL 8029";
  const char* const kMyNic = "Other NetCARD";
  struct Case {
    const char* why;
    const char* nic;
    void (*spoil)(RegistrationMachine&);
    std::vector<SimEvent> journal;  // after the dialog and the listing of the database's records
    bool registered;                // the install button unlocked
  } cases[] = {
      {"a read-only new file is in the driver's way", k8029, [](RegistrationMachine& m) {
         m.Put(m.Rpl("bblock\\ndis\\pcind.dos.new"), "left over");
         m.host.SetFileAttributes(m.Rpl("bblock\\ndis\\pcind.dos.new"), platform::kAttrReadOnly);
       }, {Warning(std::string("无法把网卡驱动程序 C:\\Korrin\\rplfiles\\pcind.dos 复制到 C:\\WINNT\\rpl\\bblock\\ndis\\pcind.dos。") +
                   kUnchanged)}, false},
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
      {"the custom card again, a new driver refused", kMyNic, [](RegistrationMachine& m) {
         m.rplcmd_exit = 2;
         m.rplcmd_says = "vendor 001122 exists already\n";
         m.rplcmd_lists = m.Records("001122", "mynic");
       }, {{"message", "这块网卡已经注册过：驱动程序 MYNIC.dos 和启动块目录 C:\\WINNT\\rpl\\bblock\\netbeui\\MYNIC "
                          "中的启动块文件都在，远程启动数据库中有它的全部记录。文件和远程启动数据库都没有改动。"
                          "\r\n所选的驱动程序 C:\\DRIVERS\\MYNIC.DOS 与 C:\\WINNT\\rpl\\bblock\\ndis\\MYNIC.dos 不同，"
                          "服务器上的驱动程序保持原样。\r\n请直接按“安装”为这块网卡安装远程启动文件。", "进程提示", 64}}, true},
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
