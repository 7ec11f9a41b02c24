// Building and installing the PXE boot image, and the PXE launchers, at the
// simulated server. The image tools are not run: the unpacked tree appears
// only at the wait dialog's last tick, and the packer is a stand-in the run
// must wait for, so each step must wait for the one before it. A program
// named by its path starts only from its file, as on Windows.
#include "pxe/bootimage.h"

#include <filesystem>
#include <functional>

#include "base/paths.h"
#include "imagetools/fat12.h"
#include "platform/textfile.h"
#include "pxe/wait_dialog.h"
#include "tests/pxe/startnet_bytes.h"
#include "tests/sim_session.h"

namespace {

using platform::SimEvent;

const char kUnpack[] = "C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 c:\\temp\\bootimg";
const char kPack[] = "C:\\Korrin\\unditool\\rplimage c:\\temp\\bootimg c:\\temp\\bootimg.w98 /f:1440";
const char kDosUndi[] = "C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\images\\x86pc\\undi\\dosundi\\dosundi.1";
const char kSetVars[] = "c:\\temp\\bootimg\\winboot\\setvars.bat";
const char kStartNet[] = "c:\\temp\\bootimg\\winboot\\startnet.bat";
const char kWinboot[] = "c:\\temp\\bootimg\\winboot";
const SimEvent kRebuildNotice = {"message", "当服务器名和共享目录名发生变动，您必须重新生成镜像!", "创建完成", 64};

// A floppy holding these files in its WINBOOT directory.
using Files = std::vector<std::pair<std::string, std::string>>;
std::string Floppy(const Files& files) {
  fat12::Tree root, winboot;
  root.is_directory = winboot.is_directory = true;
  winboot.name = "WINBOOT";
  for (const auto& f : files) winboot.children.push_back({f.first, false, 0x21, 0, f.second, {}});
  root.children.push_back(winboot);
  std::string image, error;
  EXPECT_TRUE(fat12::Pack(root, nullptr, &image, &error)) << error;
  return image;
}

// The template's files besides its setvars.bat.
const Files kTemplateOthers = {{"PROTOCOL.INI", "[protman]\r\nDriverName=PROTMAN$\r\n"},
                               {"STARTNET.BAT", "@echo off\r\nrem the template's own\r\n"}};

// The wait dialog's count and bar.
std::string Countdown(const pxe::TForm2& dialog) {
  return dialog.Label2.Text() + "/" + std::to_string(dialog.ProgressBar1.Position());
}

class BootImage : public SimSession {
 protected:
  void SetUp() override {
    host.RequireProgramFiles();
    host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", "C:\\Program Files");
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    MakeDirs("C:\\Program Files");
    Put("C:\\Korrin\\unditool\\bootimg.w98", TemplateImage());
    for (const char* tool : {"C:\\Korrin\\unditool\\undisk.exe", "C:\\Korrin\\unditool\\rplimage.exe"}) Put(tool, "program");
    host.SetCurrentDirectory("C:\\Korrin");
    // The unpacker lays out the template's tree before the dialog's sixth tick.
    ui.OnModal<pxe::TForm2>([this](pxe::TForm2& dialog) {
      dialog.on_close = [this] { ++closes; };
      countdown = Countdown(dialog);
      for (int tick = 1; !dialog.Closed() && tick < 100; ++tick) {
        if (tick == 6 && unpacks) LayOut();
        dialog.Timer2Timer();
        countdown += " " + Countdown(dialog);
      }
      return platform::kMrCancel;
    });
    // The packer makes a floppy of the work tree's files.
    pack = [this] {
      Put("c:\\temp\\bootimg.w98", PackTree());
      return 0;
    };
    host.RegisterStandin("rplimage", [this](platform::SimHost&, const std::vector<std::string>&, const std::string&,
                                            std::string*) { return pack(); });
    // What is installed while the notice "创建完成" is up.
    ui.WhileShown([this](const SimEvent& e) {
      if (e.caption == "创建完成") installed_at_notice = Get(kDosUndi);
    });
    Start();
  }

  // The template as the unpacker finds it.
  std::string TemplateImage() {
    Files files = kTemplateOthers;
    files.push_back({"SETVARS.BAT", template_setvars});
    return Floppy(files);
  }
  // The template's files in the work tree: the whole tree replaced, as the
  // unpacker does, or (`replaces` false) written over what is there.
  void LayOut() {
    if (replaces) std::filesystem::remove_all(host.NativePath("c:\\temp\\bootimg"));
    Put(kSetVars, template_setvars);
    for (const auto& f : kTemplateOthers) Put(std::string(kWinboot) + "\\" + f.first, f.second);
    host.SetFileAttributes(kStartNet, startnet_read_only ? platform::kAttrReadOnly : platform::kAttrArchive);
  }
  std::string PackTree() {
    std::vector<platform::DirEntry> entries;
    Files files;
    EXPECT_TRUE(host.ListDirectory(kWinboot, &entries));
    for (const platform::DirEntry& e : entries) {
      if (e.is_directory) continue;
      std::string name = e.name;
      for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
      files.push_back({name, Get(std::string(kWinboot) + "\\" + e.name)});
    }
    return Floppy(files);
  }

  std::vector<std::string> SetVars() { return platform::SplitLines(Get(kSetVars)); }

  std::string template_setvars = "@echo off\r\nSET DRIVE=C:\r\nSET PATH=A:\\\r\n";
  std::string countdown;
  int closes = 0;
  bool unpacks = true;   // the unpacker lays out the tree
  bool replaces = true;  // the tree it lays out takes the old one's place
  bool startnet_read_only = false;  // its startnet.bat is read-only
  std::function<int()> pack;
  std::string installed_at_notice;
};

TEST_F(BootImage, DefaultsBuildAndInstallTheImage) {
  form->BitBtn7Click();
  EXPECT_EQ(journal(), (std::vector<SimEvent>{{"run", kUnpack, "", 0}, {"modal", "TForm2", "", platform::kMrCancel},
                                              {"wait", kPack, "", 0}, kRebuildNotice}));
  // The wait dialog counts five seconds down and closes itself on the sixth tick.
  EXPECT_EQ(countdown, "5/0 4/20 3/40 2/60 1/80 0/100 -1/120");
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(Get(kSetVars), "@echo off\r\nSET DRIVE=C:\r\nSET PATH=A:\\\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n");
  EXPECT_EQ(Get(kStartNet), kStandard);
  EXPECT_EQ(Get(kDosUndi), Get("c:\\temp\\bootimg.w98"));
  EXPECT_EQ(Get(kDosUndi).size(), pxe::kFloppyImageSize);
  EXPECT_EQ(installed_at_notice, Get(kDosUndi));  // told once it is in place
  EXPECT_EQ(form->settings.BootImageTarget, kDosUndi);
}

// The check box chooses the start script; a missing computer name is
// written as it reads, empty.
TEST_F(BootImage, SetVarsKeepsThreeTemplateLinesAndAddsServerAndShare) {
  struct Case {
    const char* name;
    std::string setvars;
    const char* shared;
    std::vector<std::string> lines;
    bool auto_register = false;
    const char* computer = "KORRINSRV";
  } cases[] = {
      {"seven lines", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n", "D:\\PVDROOT",
       {"1", "2", "3", "SET SERVER=KORRINSRV", "SET SHARE=PVDROOT"}, true},
      {"two lines", "1\r\n2\r\n", "D:\\PVDROOT", {"1", "2", "", "SET SERVER=KORRINSRV", "SET SHARE=PVDROOT"}},
      {"long share", "1\r\n2\r\n3\r\n", "E:\\ABCDEFGHIJKLMNOPQRSTUVWXYZ",
       {"1", "2", "3", "SET SERVER=KORRINSRV", "SET SHARE=ABCDEFGHIJKLMNOPQRST"}},
      {"Chinese share", "1\r\n2\r\n3\r\n", "D:\\无盘站", {"1", "2", "3", "SET SERVER=KORRINSRV", "SET SHARE=无盘站"}, true},
      {"no computer name", "1\r\n2\r\n3\r\n", "D:\\PVDROOT", {"1", "2", "3", "SET SERVER=", "SET SHARE=PVDROOT"}, false, ""},
      {"Chinese line kept", "rem \xD6\xD0\r\n2\r\n3\r\n", "D:\\PVDROOT",
       {"rem 中", "2", "3", "SET SERVER=KORRINSRV", "SET SHARE=PVDROOT"}},
  };
  for (const Case& c : cases) {
    template_setvars = c.setvars;
    host.SetRegistry(paths::kComputerNameKey, "computername", c.computer);
    form->Edit1.SetText(c.shared);
    form->CheckBox2.SetChecked(c.auto_register);
    Put(kDosUndi, "old image");
    form->BitBtn7Click();
    EXPECT_EQ(SetVars(), c.lines) << c.name;
    EXPECT_EQ(Get(kStartNet), c.auto_register ? kAutoRegister : kStandard) << c.name;
    // The packed image holds what was written, so it is installed.
    EXPECT_TRUE(Get(kDosUndi) == Get("c:\\temp\\bootimg.w98")) << c.name;
    EXPECT_EQ(journal().back(), kRebuildNotice) << c.name;
  }
  EXPECT_EQ(Get(kSetVars).substr(0, 8), "rem \xD6\xD0\r\n");
}

TEST_F(BootImage, AMissingTemplateEndsTheProgramBeforeAnythingElse) {
  host.DeleteFile("C:\\Korrin\\unditool\\bootimg.w98");
  form->BitBtn7Click();
  EXPECT_EQ(journal(), (std::vector<SimEvent>{{"notice", "找不到原始镜像文件,程序异常中止！", "Server", 0},
                                              {"close", "", "", 0}}));
  EXPECT_TRUE(host.DirectoryExists("c:\\temp"));
  EXPECT_FALSE(host.DirectoryExists("c:\\temp\\bootimg"));
  EXPECT_FALSE(host.DirectoryExists("C:\\Program Files\\Intel"));
}

// Only a whole 1440 KB floppy that reads back as what the run wrote, with the
// template's other files and no others, replaces the installed image, and
// only then comes "创建完成". Any step that fails keeps the old image and shows
// the warning naming it in the notice's place. The tree an earlier run left
// is never packed for this run's, and an old packed image is deleted before
// packing, or the run stops.
TEST_F(BootImage, OnlyAWholeFloppyOfThisRunsScriptsIsInstalledAndThenTold) {
  const std::string setvars = "@echo off\r\nSET DRIVE=C:\r\nSET PATH=A:\\\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n";
  const std::string protocol = kTemplateOthers[0].second;
  const std::string good = Floppy(Files{{"PROTOCOL.INI", protocol}, {"SETVARS.BAT", setvars}, {"STARTNET.BAT", kStandard}});
  ASSERT_EQ(good.size(), pxe::kFloppyImageSize);
  std::string corrupt = good;
  corrupt[0x200 + 3] = '\x05';  // the first FAT's entry of cluster 2 points elsewhere
  corrupt[0x200 + 4] = '\x00';
  auto size_says = [](size_t n) { return "大小为 " + std::to_string(n) + " 字节，不是 1440 KB 软盘镜像（1474560 字节）。"; };
  const std::string unread = "无法读取打包后的镜像文件 c:\\temp\\bootimg.w98";
  const std::string cannot_install = std::string("无法写入 ") + kDosUndi + "（文件只读、被占用或磁盘已满）。";
  const std::string not_unpacked = "原始镜像没有解开：倒计时结束时读不到 c:\\temp\\bootimg\\winboot\\setvars.bat";
  // What else goes wrong: the unpacker cannot start (its file is missing),
  // lays out nothing, still runs when the countdown ends, or writes over the
  // tree an earlier template left; that tree's setvars.bat cannot be
  // deleted, nor its startnet.bat written; the old packed image cannot be
  // deleted, the packer fails, takes too long or makes nothing, the packed
  // image stays locked, the installed one is read-only, the disk fills while
  // installing.
  enum Hitch { kNone, kNoTree, kNoUnpacker, kNotUnpacked, kUnpackerRuns, kOverOldTree, kOldSetVarsStays,
               kStartNetReadOnly, kStaleStays, kPackerFails, kPackerSlow, kNotPacked, kTemplateGone, kTemplateReplaced,
               kLocked, kInstalledReadOnly, kDiskFull };
  struct Case {
    const char* name;
    std::string image;  // what the packer makes; "" with kOverOldTree: the tree
    std::string says;   // the warning's part; "" when installed
    Hitch hitch = kNone;
  } cases[] = {
      {"whole and the run's own", good, ""},
      {"not unpacked, and no earlier tree", good, not_unpacked, kNoTree},
      {"an earlier tree, and no unpacker", good, "无法启动解包程序 C:\\Korrin\\unditool\\undisk.exe。", kNoUnpacker},
      {"an earlier tree, and nothing unpacked", good, not_unpacked, kNotUnpacked},
      {"an earlier tree, and the unpacker still running", good,
       "解包程序 C:\\Korrin\\unditool\\undisk.exe 在倒计时结束时仍在运行，原始镜像还没有解开。", kUnpackerRuns},
      {"unpacked over an earlier template's tree", "",
       "镜像中的 WINBOOT\\OLDNIC.DOS 不在原始镜像中（c:\\temp\\bootimg 中留有以前的文件）。", kOverOldTree},
      {"an earlier setvars.bat that cannot be deleted", good,
       "无法删除上一次解开的 c:\\temp\\bootimg\\winboot\\setvars.bat（文件只读或被占用）", kOldSetVarsStays},
      {"a startnet.bat that cannot be written", good,
       "无法写入 c:\\temp\\bootimg\\winboot\\startnet.bat（文件只读、被占用或磁盘已满）。", kStartNetReadOnly},
      {"an old packed image that cannot be deleted", good,
       "无法删除上一次打包的镜像文件 c:\\temp\\bootimg.w98（文件只读或被占用）。", kStaleStays},
      {"the packer fails", good, "打包程序报告错误（返回值 2）。", kPackerFails},
      {"the packer too slow", good, "打包程序在 60 秒内没有结束，已被终止。", kPackerSlow},
      {"not packed", "", unread, kNotPacked},
      {"empty", "", unread},
      {"one byte short", good.substr(0, 1474559), size_says(1474559)},
      {"one byte long", good + "\xF6", size_says(1474561)},
      {"no FAT12 at all", std::string(pxe::kFloppyImageSize, '\xF6'), "不是完好的 FAT12 软盘镜像"},
      {"a corrupt chain", corrupt, "不是完好的 FAT12 软盘镜像"},
      {"no setvars.bat", Floppy(Files{{"PROTOCOL.INI", protocol}, {"STARTNET.BAT", kStandard}}),
       "镜像中没有 winboot\\SETVARS.BAT"},
      {"an old setvars.bat", Floppy(Files{{"PROTOCOL.INI", protocol}, {"SETVARS.BAT", "SET SERVER=OLD\r\n"}, {"STARTNET.BAT", kStandard}}),
       "winboot\\SETVARS.BAT 不是本次写入的内容"},
      {"the other start script", Floppy(Files{{"PROTOCOL.INI", protocol}, {"SETVARS.BAT", setvars}, {"STARTNET.BAT", kAutoRegister}}),
       "winboot\\STARTNET.BAT 不是本次写入的内容"},
      {"a template file left out", Floppy(Files{{"SETVARS.BAT", setvars}, {"STARTNET.BAT", kStandard}}),
       "镜像中没有原始镜像中的 WINBOOT\\PROTOCOL.INI。"},
      {"a template file of an earlier template", Floppy(Files{{"PROTOCOL.INI", "[protman]\r\n"}, {"SETVARS.BAT", setvars}, {"STARTNET.BAT", kStandard}}),
       "镜像中的 WINBOOT\\PROTOCOL.INI 与原始镜像中的不同。"},
      {"the template taken away while packing", good,
       "无法读取原始镜像文件 C:\\Korrin\\unditool\\bootimg.w98，无法检查打包后的镜像。", kTemplateGone},
      {"the template replaced by a damaged one while packing", good,
       "原始镜像文件不是完好的 FAT12 软盘镜像", kTemplateReplaced},
      {"installed one read-only", good, cannot_install, kInstalledReadOnly},
      {"disk full while installing", good, cannot_install, kDiskFull},
      {"locked by the packer", good, unread, kLocked},  // stays locked: last
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // What the row before changed of the tools and the tree.
    host.StopHolding("undisk.exe");
    host.FinishHeld();
    Put("C:\\Korrin\\unditool\\undisk.exe", "program");
    Put("C:\\Korrin\\unditool\\bootimg.w98", TemplateImage());
    startnet_read_only = false;
    for (const char* file : {kSetVars, kStartNet}) host.SetFileAttributes(file, platform::kAttrArchive);
    journal().clear();
    installed_at_notice = "<no notice>";
    Put(kDosUndi, "good old image");
    host.SetFileAttributes(kDosUndi, c.hitch == kInstalledReadOnly ? platform::kAttrReadOnly : platform::kAttrArchive);
    Put("c:\\temp\\BOOTIMG.W98", "stale");
    host.SetFileAttributes("c:\\temp\\BOOTIMG.W98", c.hitch == kStaleStays ? platform::kAttrReadOnly : platform::kAttrArchive);
    // The tree an earlier run left: its scripts rewritten, and a driver the
    // template of that time had.
    std::filesystem::remove_all(host.NativePath("c:\\temp\\bootimg"));
    if (c.hitch != kNoTree) {
      LayOut();
      Put(kSetVars, "@echo off\r\nSET DRIVE=C:\r\nSET PATH=A:\\\r\nSET SERVER=KORRINSRV\r\nSET SHARE=PVDROOT\r\n");
      Put(kStartNet, kStandard);
      Put(std::string(kWinboot) + "\\OLDNIC.DOS", "an earlier template's driver");
    }
    host.SetFileAttributes(kSetVars, c.hitch == kOldSetVarsStays ? platform::kAttrReadOnly : platform::kAttrArchive);
    unpacks = c.hitch != kNoTree && c.hitch != kNotUnpacked;
    replaces = c.hitch != kOverOldTree;
    if (c.hitch == kNoUnpacker) host.DeleteFile("C:\\Korrin\\unditool\\undisk.exe");
    if (c.hitch == kUnpackerRuns) host.HoldRunning("undisk.exe");
    startnet_read_only = c.hitch == kStartNetReadOnly;
    host.MakeSlow("rplimage", c.hitch == kPackerSlow ? pxe::kPackLimit + 1 : 0);
    pack = [&] {
      if (c.hitch == kOverOldTree) Put("c:\\temp\\bootimg.w98", PackTree());
      else if (c.hitch != kNotPacked) Put("c:\\temp\\bootimg.w98", c.image);
      if (c.hitch == kLocked) host.MakeUnreadable("c:\\temp\\bootimg.w98");
      if (c.hitch == kTemplateGone) host.DeleteFile("C:\\Korrin\\unditool\\bootimg.w98");
      if (c.hitch == kTemplateReplaced) Put("C:\\Korrin\\unditool\\bootimg.w98", std::string(pxe::kFloppyImageSize, '\xF6'));
      if (c.hitch == kDiskFull) host.LimitDiskSpace(1000);
      return c.hitch == kPackerFails ? 2 : 0;
    };
    form->BitBtn7Click();
    host.LimitDiskSpace(SIZE_MAX);
    if (c.hitch == kNotPacked) {
      EXPECT_FALSE(host.FileExists("c:\\temp\\bootimg.w98"));
    }
    // The unpacker was started, hidden, unless the earlier tree could not
    // be cleared; the countdown followed once it had started.
    const bool unpacker_run = c.hitch != kOldSetVarsStays;
    EXPECT_EQ(std::count(journal().begin(), journal().end(), SimEvent{"run", kUnpack, "", 0}), unpacker_run ? 1 : 0);
    EXPECT_EQ(std::count(journal().begin(), journal().end(), SimEvent{"modal", "TForm2", "", platform::kMrCancel}),
              unpacker_run && c.hitch != kNoUnpacker ? 1 : 0);
    if (c.says.empty()) {
      EXPECT_EQ(Get(kDosUndi), c.image);
      EXPECT_EQ(journal().back(), kRebuildNotice);
      EXPECT_EQ(installed_at_notice, c.image);
      continue;
    }
    EXPECT_EQ(Get(kDosUndi), "good old image");
    EXPECT_EQ(installed_at_notice, "<no notice>");
    // The packer ran, and was waited for, only where the run got that far.
    const bool packs = c.hitch != kNoTree && c.hitch != kNoUnpacker && c.hitch != kNotUnpacked &&
                       c.hitch != kUnpackerRuns && c.hitch != kOldSetVarsStays && c.hitch != kStartNetReadOnly &&
                       c.hitch != kStaleStays;
    EXPECT_EQ(std::count(journal().begin(), journal().end(), SimEvent{"wait", kPack, "", 0}), packs ? 1 : 0);
    if (c.hitch == kStaleStays) {
      EXPECT_EQ(Get("c:\\temp\\bootimg.w98"), "stale");
    }
    ASSERT_FALSE(journal().empty());
    EXPECT_EQ(journal().back().flags, platform::kMbIconExclamation);
    EXPECT_NE(journal().back().text.find(c.says), std::string::npos) << journal().back().text;
    EXPECT_NE(journal().back().text.find("原有的 dosundi.1 未被改动，请重新生成镜像。"), std::string::npos);
  }
}

// Browsing for a driver moves the current directory; the tools stay in the
// start directory, quoted where it holds a blank.
TEST_F(BootImage, FindsItsToolsInTheStartDirectoryWhereverTheCurrentDirectoryMoved) {
  Put("C:\\My Tools\\unditool\\bootimg.w98", TemplateImage());
  for (const char* tool : {"C:\\My Tools\\unditool\\undisk.exe", "C:\\My Tools\\unditool\\rplimage.exe"})
    Put(tool, "program");
  host.SetCurrentDirectory("C:\\My Tools");
  Start();
  MakeDirs("D:\\DRIVERS");
  host.SetCurrentDirectory("D:\\DRIVERS");
  journal().clear();
  form->BitBtn7Click();
  EXPECT_EQ(journal().at(0),
            (SimEvent{"run", "\"C:\\My Tools\\unditool\\undisk.exe\" \"C:\\My Tools\\unditool\\bootimg.w98\" c:\\temp\\bootimg", "", 0}));
  EXPECT_EQ(journal().at(2),
            (SimEvent{"wait", "\"C:\\My Tools\\unditool\\rplimage\" c:\\temp\\bootimg c:\\temp\\bootimg.w98 /f:1440", "", 0}));
}

// Without the program files directory the image would go below the current
// drive's root, where the PDK never looks; a value naming no folder (a drive
// letter changed, the folder moved or removed, a file of that name) would
// put it where no PDK is. Either is refused before anything is made.
TEST_F(BootImage, AProgramFilesDirectoryThatIsNotThereIsRefused) {
  const std::string key = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion 的 ProgramFilesDir";
  auto not_there = [&](const std::string& dir) {
    return "注册表中的 Program Files 目录 " + dir + "（" + key +
           "）不存在，找不到 PXE-PDK 的镜像目录，没有生成镜像。\r\n请检查 ProgramFilesDir，或建立这个目录。";
  };
  struct Case {
    const char* name;
    std::string value;
    std::string says;
  } cases[] = {
      {"no value", "", "注册表中没有 Program Files 目录（" + key + "），找不到 PXE-PDK 的镜像目录，没有生成镜像。"},
      {"a drive that is not there", "D:\\Program Files", not_there("D:\\Program Files")},
      {"a folder not there", "C:\\Programme", not_there("C:\\Programme")},
      {"a file of that name", "C:\\PF", not_there("C:\\PF")},
  };
  Put("C:\\PF", "a file");
  for (const Case& c : cases) {
    journal().clear();
    host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", c.value);
    form->BitBtn7Click();
    EXPECT_EQ(journal(), (std::vector<SimEvent>{{"message", c.says, "morva提示", 48}})) << c.name;
    EXPECT_FALSE(host.DirectoryExists("c:\\temp")) << c.name;
    for (const char* dir : {"C:\\Intel", "D:\\", "C:\\Programme"}) EXPECT_FALSE(host.DirectoryExists(dir)) << c.name;
  }
}

// Each launcher starts its program from where it lies, quoted where the path
// holds a blank, or names what is missing; the installer is found from the
// start directory wherever the current directory has moved.
TEST(Launchers, StartWhatIsThereAndNameWhatIsNot) {
  const char kPdkMissing[] = "找不到配置文件，可能是PXE-PDK 程序没有正确没装!";
  const char kRegMissing[] = "找不到PXEReg60.EXE，可能是PXE-PDK 程序没有正确没装!";
  const char kDhcpMissing[] = "找不到配置文件，可能是DHCP服务没有正确没装!";
  const char kSystem[] = "C:\\PF\\Intel\\Pxe\\Pdk\\system\\";
  const char kSpaced[] = "C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\";
  struct Case {
    bool blanks;          // the start directory, Program Files and Windows hold blanks
    const char* control;
    std::string present;  // file put in place first, or ""
    SimEvent event;
  } cases[] = {
      {false, "BitBtn3", "", {"run", "C:\\Korrin\\pxe-pdk\\pxe20-pdk.exe", "", 1}},
      {false, "BitBtn2", "", {"notice", kPdkMissing, "Server", 0}},
      {false, "SpeedButton1", "", {"notice", kRegMissing, "Server", 0}},
      {false, "BitBtn5", "", {"notice", kDhcpMissing, "Server", 0}},
      {false, "SpeedButton1", std::string(kSystem) + "PXEREG60.EXE", {"run", std::string(kSystem) + "pxereg60.exe", "", 1}},
      {false, "BitBtn5", "C:\\WINNT\\system32\\dhcpadmn.exe", {"run", "C:\\WINNT\\system32\\DHCPADMN.exe", "", 1}},
      {true, "BitBtn3", "", {"run", "\"C:\\My Tools\\pxe-pdk\\pxe20-pdk.exe\"", "", 1}},
      {true, "BitBtn2", std::string(kSpaced) + "pxeconfig.exe", {"run", "\"" + std::string(kSpaced) + "pxeconfig.exe\"", "", 1}},
      {true, "SpeedButton1", std::string(kSpaced) + "pxereg60.exe", {"run", "\"" + std::string(kSpaced) + "pxereg60.exe\"", "", 1}},
      {true, "BitBtn5", "C:\\My Windows\\system32\\DHCPADMN.EXE", {"run", "\"C:\\My Windows\\system32\\DHCPADMN.exe\"", "", 1}},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", c.blanks ? "C:\\Program Files" : "C:\\PF");
    m.host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", c.blanks ? "C:\\My Windows" : "C:\\WINNT");
    const char* start = c.blanks ? "C:\\My Tools" : "C:\\Korrin";
    m.MakeDirs(start);
    m.host.SetCurrentDirectory(start);
    if (!c.present.empty()) m.Put(c.present, "program");
    m.Start();
    m.host.SetCurrentDirectory("C:\\");
    ASSERT_NE(m.form->Find(c.control), nullptr);
    m.form->Find(c.control)->Notify();  // as the window passes the click on
    EXPECT_EQ(m.journal(), std::vector<SimEvent>{c.event}) << c.control << " " << c.blanks;
  }
}

}  // namespace
