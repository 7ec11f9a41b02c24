// The PXE buttons at the simulated server: each server's plan (what the
// check makes of it, its refusal or its changes), made without touching
// the server, and the button doing exactly that plan; then what can only go
// wrong while the image is built. The unpacker lays its tree out only at
// the wait dialog's sixth tick, and the packer is a stand-in the run must
// wait for, so each step must wait for the one before it. A program named
// by its path starts only from its file, as on Windows.
#include "pxe/bootimage.h"

#include <functional>

#include "base/paths.h"
#include "imagetools/fat12.h"
#include "imagetools/tools.h"
#include "platform/textfile.h"
#include "pxe/wait_dialog.h"
#include "tests/app/server_check_session.h"
#include "tests/imagetools/image_test_util.h"
#include "tests/pxe/startnet_bytes.h"

namespace {

using platform::SimEvent;

const char kDosUndi[] = "C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\images\\x86pc\\undi\\dosundi\\dosundi.1";
const char kTemplate[] = "C:\\Korrin\\unditool\\bootimg.w98";
const char kSetVars[] = "c:\\temp\\bootimg\\winboot\\setvars.bat";
const char kStartNet[] = "c:\\temp\\bootimg\\winboot\\startnet.bat";
const SimEvent kRebuildNotice = {"message", "当服务器名和共享目录名发生变动，您必须重新生成镜像!", "创建完成", 64};
const char kKept[] = "\r\n原有的 dosundi.1 未被改动，请重新生成镜像。";

// A floppy image edited in its WINBOOT folder.
std::string Edited(const std::string& image, const std::function<void(std::vector<fat12::Tree>&)>& edit) {
  fat12::Tree root = imagetest::UnpackOrDie(image);
  for (fat12::Tree& dir : root.children)
    if (dir.name == "WINBOOT") edit(dir.children);
  return imagetest::PackOrDie(root);
}
void SetFile(std::vector<fat12::Tree>& files, const std::string& name, const std::string& bytes) {
  for (fat12::Tree& f : files)
    if (f.name == name) f.data = bytes;
}
void Drop(std::vector<fat12::Tree>& files, const std::string& name) {
  files.erase(std::remove_if(files.begin(), files.end(), [&](const fat12::Tree& f) { return f.name == name; }),
              files.end());
}

// The template floppy the release ships.
const std::string kShipped = check_test::ReadNative(TEMPLATE_BOOTIMG);

// A server with the release in C:\Korrin and the program files folder. The
// unpacker is the real one, run at the sixth tick; the packer is the real
// one, its image then passed through `packed`.
class ImageServer : public SimMachine {
 public:
  ImageServer() {
    host.RequireProgramFiles();
    host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", "C:\\Program Files");
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    MakeDirs("C:\\Program Files");
    Put(kTemplate, kShipped);
    for (const char* tool : {"C:\\Korrin\\unditool\\undisk.exe", "C:\\Korrin\\unditool\\rplimage.exe"}) Put(tool, "program");
    host.SetCurrentDirectory("C:\\Korrin");
    ui.OnModal<pxe::TForm2>([this](pxe::TForm2& dialog) {
      for (int tick = 1; !dialog.Closed() && tick < 100; ++tick) {
        if (tick == 6 && unpacks) LayOut();
        dialog.Timer2Timer();
      }
      return platform::kMrCancel;
    });
    host.RegisterStandin("rplimage", [this](platform::SimHost&, const std::vector<std::string>&, const std::string&,
                                            std::string*) {
      std::string err;
      if (imagetools::Rplimage({host.NativePath("c:\\temp\\bootimg"), host.NativePath("c:\\temp\\bootimg.w98"), "/f:1440"},
                               err) != 0)
        return 9;
      Put("c:\\temp\\bootimg.w98", packed(Get("c:\\temp\\bootimg.w98")));
      if (after_packing) after_packing();
      return exit_code;
    });
    ui.WhileShown([this](const SimEvent& e) {
      if (e.caption == "创建完成") installed_at_notice = Get(kDosUndi);
    });
  }
  // The template unpacked over the work tree, as the unpacker does; the
  // file an earlier template had left there when it does not replace it.
  void LayOut() {
    std::string err;
    ASSERT_EQ(imagetools::Undisk({host.NativePath(kTemplate), host.NativePath("c:\\temp\\bootimg")}, err), 0) << err;
    if (!replaces) Put("c:\\temp\\bootimg\\winboot\\OLDNIC.DOS", "an earlier template's driver");
    if (startnet_read_only) host.SetFileAttributes(kStartNet, platform::kAttrReadOnly);
  }
  static std::string Said(const plan::Plan& p) {
    std::string all = p.how + "\n";
    for (const plan::Need& n : p.needs) all += n.item + "：" + n.found + " / " + n.todo + "\n";
    for (const std::string& line : plan::Describe(p)) all += line + "\n";
    return all;
  }

  bool unpacks = true, replaces = true, startnet_read_only = false;
  int exit_code = 0;
  std::function<std::string(const std::string&)> packed = [](const std::string& image) { return image; };
  std::function<void()> after_packing;
  std::string installed_at_notice = "<no notice>";
};

const char kFresh[] = "√√√××", kMade[] = "√√√√√";
const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion 的 ProgramFilesDir";
const std::string kNotUnpacked = "原始镜像没有解开：倒计时结束时读不到 c:\\temp\\bootimg\\winboot\\setvars.bat";

// Each server: its plan as the check shows it, what the plan or its items
// say, its refusal; the plan is made without changing anything, and the
// button then shows that refusal and changes nothing, or changes only what
// the plan lists.
TEST(BootImagePlan, EachServerHasItsPlanAndTheButtonDoesExactlyIt) {
  struct Row {
    const char* name;
    std::function<void(ImageServer&)> server;
    std::string items;               // the marks of the five items
    std::string refusal;             // words of the refusal; "" when none
    std::vector<std::string> says;   // words of the needs or the changes
    std::optional<bool> box = false;
    std::vector<std::string> changes = {};  // the whole plan in lines, where given
    std::vector<std::string> setvars = {};  // the lines the press writes into setvars.bat, where given
  };
  auto made = [](ImageServer& s) {
    s.form->BitBtn7Click();
    ASSERT_EQ(s.journal().back(), kRebuildNotice);
  };
  auto program_files = [](const char* dir) {
    return [dir](ImageServer& s) { s.host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", dir); };
  };
  auto template_setvars = [](const char* setvars, const char* shared, const char* computer) {
    return [=](ImageServer& s) {
      s.Put(kTemplate, Edited(kShipped, [&](auto& f) { SetFile(f, "SETVARS.BAT", setvars); }));
      s.form->Edit1.SetText(shared);
      s.host.SetRegistry(paths::kComputerNameKey, "computername", computer);
    };
  };
  const std::string dirs = "建立目录 C:\\Program Files\\Intel", cannot_install = std::string("无法写入 ") + kDosUndi;
  const Row rows[] = {
      {"a fresh server", nullptr, kFresh, "", {}, false,
       {"建立目录 c:\\temp",
        "运行 C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 c:\\temp\\bootimg（可能改动：c:\\temp\\bootimg；c:\\temp\\bootimg.bs）",
        "写入 c:\\temp\\bootimg\\winboot\\setvars.bat（解开的 setvars.bat 的前三行，再加 SET SERVER=KORRINSRV、SET SHARE=PVDROOT）",
        "写入 c:\\temp\\bootimg\\winboot\\startnet.bat（网卡自动注册：关 的启动脚本）",
        "运行 C:\\Korrin\\unditool\\rplimage c:\\temp\\bootimg c:\\temp\\bootimg.w98 /f:1440（可能改动：c:\\temp\\bootimg.w98）",
        dirs, dirs + "\\Pxe", dirs + "\\Pxe\\Pdk", dirs + "\\Pxe\\Pdk\\system", dirs + "\\Pxe\\Pdk\\system\\images",
        dirs + "\\Pxe\\Pdk\\system\\images\\x86pc", dirs + "\\Pxe\\Pdk\\system\\images\\x86pc\\undi",
        dirs + "\\Pxe\\Pdk\\system\\images\\x86pc\\undi\\dosundi", std::string("写入 ") + kDosUndi + "（c:\\temp\\bootimg.w98）",
        "无法预先确定：解包程序能否在倒计时内解开原始镜像，打包程序能否在 60 秒内打好包"}},
      // The template's first three lines (a shorter file gets empty ones),
      // then this server (as the registry reads, empty too) and share.
      {"a template setvars.bat of seven lines, the box checked",
       template_setvars("rem \xD6\xD0\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n", "D:\\PVDROOT", "KORRINSRV"), kFresh, "", {}, true, {},
       {"rem 中", "2", "3", "SET SERVER=KORRINSRV", "SET SHARE=PVDROOT"}},
      {"two lines, a Chinese share, no computer name", template_setvars("1\r\n2\r\n", "D:\\无盘站", ""), kFresh, "", {}, false, {},
       {"1", "2", "", "SET SERVER=", "SET SHARE=无盘站"}},
      // Made today: the button rebuilds it all the same, as a refresh.
      {"the image made", made, kMade, "", {"SERVER=KORRINSRV，SHARE=PVDROOT，都是今天的；网卡自动注册：关", "删除 c:\\temp\\bootimg.w98"}},
      {"the image made, the other start script asked for", made, "√√√√△", "", {"替换 " + std::string(kDosUndi)}, true},
      {"the server renamed", [&](ImageServer& s) {
         made(s);
         s.host.SetRegistry(paths::kComputerNameKey, "computername", "NEWNAME");
       }, "√√√√△", "",
       {"镜像中 SERVER=KORRINSRV，本机的计算机名是 NEWNAME；网卡自动注册：关。", "（重新生成）（服务器名或共享目录名变动后必须重新生成）"}},
      {"the installed image damaged", [](ImageServer& s) { s.Put(kDosUndi, "half an image"); }, "√√√？？", "",
       {"的大小为 13 字节，不是 1440 KB 软盘镜像"}},
      {"no ProgramFilesDir", program_files(""), "√√√？？",
       "注册表中没有 Program Files 目录（" + kKey + "），找不到 PXE-PDK 的镜像目录，没有生成镜像。", {"不知道启动镜像装在哪里"}},
      {"a ProgramFilesDir on a drive not there", program_files("D:\\Program Files"), "√√√！！",
       "注册表中的 Program Files 目录 D:\\Program Files（" + kKey +
           "）不存在，找不到 PXE-PDK 的镜像目录，没有生成镜像。\r\n请检查 ProgramFilesDir，或建立这个目录。",
       {"检查注册表中的 ProgramFilesDir（它指的 D:\\Program Files 不存在），改正它或建立这个目录，再在 PXE 页上按“生成镜像文件”"}},
      {"no template", [](ImageServer& s) { s.host.DeleteFile(kTemplate); }, "√√！！！", "找不到原始镜像文件,程序异常中止！",
       {"先按“原始镜像文件”一项处理，再在 PXE 页上按“生成镜像文件”", "换上随程序发布的完好的 bootimg.w98（放在 C:\\Korrin\\unditool 中）"}},
      // The image would not start the workstations' network.
      {"a template without a workstation file",
       [](ImageServer& s) { s.Put(kTemplate, Edited(kShipped, [](auto& f) { Drop(f, "NET.EXE"); })); }, "√√！！！",
       "C:\\Korrin\\unditool\\bootimg.w98 中缺少 1 个文件：WINBOOT\\NET.EXE，用它做的启动镜像无法启动工作站。"},
      {"no unpacker", [](ImageServer& s) { s.host.DeleteFile("C:\\Korrin\\unditool\\undisk.exe"); }, "！√√！！",
       "无法启动解包程序 C:\\Korrin\\unditool\\undisk.exe。"},
      {"no packer, the image made", [&](ImageServer& s) { made(s); s.host.DeleteFile("C:\\Korrin\\unditool\\rplimage.exe"); },
       "！√√√√", "无法启动打包程序 C:\\Korrin\\unditool\\rplimage。"},
      {"c:\\temp a file", [](ImageServer& s) { s.Put("c:\\temp", "a file"); }, "√！√！！", kNotUnpacked,
       {"c:\\temp 是一个文件", "先按“临时目录”一项处理"}},
      {"an earlier setvars.bat read-only", [&](ImageServer& s) { made(s); s.host.SetFileAttributes(kSetVars, 1); }, "√！√√√",
       "无法删除上一次解开的 c:\\temp\\bootimg\\winboot\\setvars.bat（文件只读或被占用），无法确认镜像是本次解开的。",
       {"去掉 c:\\temp\\bootimg\\winboot\\setvars.bat 的只读属性"}},
      {"a file in place of the images folder", [](ImageServer& s) { s.Put("C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\images", "x"); },
       "√√√！！", cannot_install, {"把文件 C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\images 改名或移走"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ImageServer s;
    s.Start();
    if (row.server) row.server(s);
    if (::testing::Test::HasFatalFailure()) return;
    s.journal().clear();
    const auto before = s.Tree("C:");
    const plan::Plan p = pxe::PlanBootImage(s.host, {"C:\\Korrin", s.form->Edit1.Text(), row.box});
    EXPECT_EQ(CheckMarks(app::Road::kPxe, {p}, {"镜像工具", "临时目录", "原始镜像文件", "已安装的启动镜像", "启动镜像中的服务器和共享"}),
              row.items);
    const std::string said = ImageServer::Said(p);
    for (const std::string& words : row.says) EXPECT_NE(said.find(words), std::string::npos) << words << "\n" << said;
    if (!row.changes.empty()) {
      EXPECT_EQ(plan::Describe(p), row.changes);
    }
    EXPECT_EQ(p.Refused(), !row.refusal.empty()) << said;
    EXPECT_NE(p.message.find(row.refusal), std::string::npos) << p.message;
    if (!row.box) continue;  // the check's plan: no button pressed with it
    s.form->CheckBox2.SetChecked(*row.box);
    s.form->BitBtn7Click();
    if (p.Refused()) {
      std::vector<SimEvent> shown = {p.caption.empty() ? SimEvent{"notice", p.message, "Server", 0}
                                                       : SimEvent{"message", p.message, p.caption, p.flags}};
      if (pxe::EndsProgram(p)) shown.push_back({"close", "", "", 0});
      EXPECT_EQ(s.journal(), shown);
      EXPECT_EQ(s.Tree("C:"), before);
      continue;
    }
    EXPECT_EQ(s.journal().back(), kRebuildNotice);
    EXPECT_EQ(s.installed_at_notice, s.Get(kDosUndi));  // told once it is in place
    EXPECT_EQ(s.Get(kStartNet), *row.box ? kAutoRegister : kStandard);
    // The installed image keeps the template's boot code.
    EXPECT_EQ(s.Get(kDosUndi).substr(0x3E, 0x1C2), s.Get(kTemplate).substr(0x3E, 0x1C2));
    if (!row.setvars.empty()) {
      EXPECT_EQ(platform::SplitLines(s.Get(kSetVars)), row.setvars);
    }
  }
}

// A packed image is the template with this run's two scripts: none of
// them missing or changed, nothing added.
TEST(BootImageRun, APackedImageIsTheTemplateWithThisRunsTwoScripts) {
  const std::string setvars = "SET SERVER=S\r\n", tmpl = kShipped;
  const std::string good = Edited(tmpl, [&](auto& f) { SetFile(f, "SETVARS.BAT", setvars), SetFile(f, "STARTNET.BAT", kStandard); });
  const struct {
    std::function<void(std::vector<fat12::Tree>&)> edit;
    std::string says;
  } rows[] = {
      {nullptr, ""},
      {[](auto& f) { Drop(f, "SETVARS.BAT"); }, "镜像中没有 winboot\\SETVARS.BAT。"},
      {[](auto& f) { SetFile(f, "SETVARS.BAT", "SET SERVER=OLD\r\n"); }, "镜像中的 winboot\\SETVARS.BAT 不是本次写入的内容。"},
      {[](auto& f) { Drop(f, "PROTOCOL.INI"); }, "镜像中没有原始镜像中的 WINBOOT\\PROTOCOL.INI。"},
      {[](auto& f) { SetFile(f, "PROTOCOL.INI", "[protman]\r\n"); }, "镜像中的 WINBOOT\\PROTOCOL.INI 与原始镜像中的不同。"},
      {[](auto& f) { f.push_back({"OLDNIC.DOS", false, 0x20, 0, "an earlier template's", {}}); },
       "镜像中的 WINBOOT\\OLDNIC.DOS 不在原始镜像中（c:\\temp\\bootimg 中留有以前的文件）。"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(pxe::CheckPackedImage(row.edit ? Edited(good, row.edit) : good, tmpl, setvars, kStandard), row.says);
  const std::string garbage(pxe::kFloppyImageSize, '\xF6');
  EXPECT_EQ(pxe::CheckPackedImage(garbage, tmpl, setvars, kStandard).find("它不是完好的 FAT12 软盘镜像"), 0u);
  EXPECT_EQ(pxe::CheckPackedImage(good, garbage, setvars, kStandard).find("原始镜像文件不是完好的 FAT12 软盘镜像"), 0u);
}

// What goes wrong only while the image is built: the unpacker lays out
// nothing, still runs when the countdown ends, or over the tree an earlier
// template left; its startnet.bat cannot be written; the packer fails,
// takes too long, or makes no whole image; the template goes while
// packing; the disk fills while installing. Each keeps the old image and
// names the step in the notice's place.
TEST(BootImageRun, OnlyAWholeFloppyOfThisRunsScriptsIsInstalledAndThenTold) {
  struct Row {
    const char* name;
    std::function<void(ImageServer&)> hitch;
    std::string says;  // the warning, before what it says of the old image
    bool packs = true;
  } rows[] = {
      {"nothing unpacked", [](ImageServer& s) { s.unpacks = false; }, kNotUnpacked + "（解包程序可能出错了）。", false},
      {"the unpacker still running", [](ImageServer& s) { s.host.HoldRunning("undisk.exe"); },
       "解包程序 C:\\Korrin\\unditool\\undisk.exe 在倒计时结束时仍在运行，原始镜像还没有解开。", false},
      {"unpacked over an earlier template's tree", [](ImageServer& s) { s.replaces = false; },
       "打包后的镜像文件 c:\\temp\\bootimg.w98 没有通过检查：镜像中的 WINBOOT\\OLDNIC.DOS 不在原始镜像中（c:\\temp\\bootimg 中留有以前的文件）。"},
      {"a startnet.bat that cannot be written", [](ImageServer& s) { s.startnet_read_only = true; },
       "无法写入 c:\\temp\\bootimg\\winboot\\startnet.bat（文件只读、被占用或磁盘已满）。", false},
      {"the packer fails", [](ImageServer& s) { s.exit_code = 2; }, "打包程序报告错误（返回值 2）。"},
      {"not packed", [](ImageServer& s) { s.after_packing = [&s] { s.host.DeleteFile("c:\\temp\\bootimg.w98"); }; },
       "无法读取打包后的镜像文件 c:\\temp\\bootimg.w98，打包可能没有完成或已经失败。"},
      {"one byte short", [](ImageServer& s) { s.packed = [](const std::string& i) { return i.substr(1); }; },
       "打包后的镜像文件 c:\\temp\\bootimg.w98 大小为 1474559 字节，不是 1440 KB 软盘镜像（1474560 字节）。"},
      {"the template taken away while packing", [](ImageServer& s) { s.after_packing = [&s] { s.host.DeleteFile(kTemplate); }; },
       "无法读取原始镜像文件 C:\\Korrin\\unditool\\bootimg.w98，无法检查打包后的镜像。"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ImageServer s;
    s.Start();
    s.Put(kDosUndi, "good old image");
    // The tree an earlier run left, its scripts rewritten.
    s.MakeDirs("c:\\temp");
    s.LayOut();
    s.Put(kSetVars, "SET SERVER=KORRINSRV\r\n");
    row.hitch(s);
    s.journal().clear();
    s.form->BitBtn7Click();
    s.host.LimitDiskSpace(SIZE_MAX);
    // The unpacker was started, hidden, and the countdown followed.
    ASSERT_GE(s.journal().size(), 3u);
    EXPECT_EQ(s.journal()[0], (SimEvent{"run", "C:\\Korrin\\unditool\\undisk.exe C:\\Korrin\\unditool\\bootimg.w98 c:\\temp\\bootimg", "", 0}));
    EXPECT_EQ(s.journal()[1], (SimEvent{"modal", "TForm2", "", platform::kMrCancel}));
    EXPECT_EQ(s.journal()[2].kind == "wait", row.packs);
    EXPECT_EQ(s.installed_at_notice, "<no notice>");
    EXPECT_EQ(s.Get(kDosUndi), "good old image");
    EXPECT_EQ(s.journal().back(), (SimEvent{"message", row.says + kKept, "morva提示", platform::kMbIconExclamation}));
  }
}

// "安装 PXE": its plan's marks for PXE-PDK 安装程序 and 已安装的 PXE-PDK and its
// words, made without changing anything, and the button doing it; the
// other launchers start their program from where it lies, quoted where the
// path holds a blank, or name what is missing. The installer is found from
// the start directory wherever the current directory has moved.
TEST(Launchers, StartWhatIsThereAndNameWhatIsNot) {
  const std::string kSystem = "C:\\PF\\Intel\\Pxe\\Pdk\\system\\";
  const std::string kInstaller = "C:\\Korrin\\pxe-pdk\\pxe20-pdk.exe";
  const SimEvent kInstall = {"run", kInstaller, "", 1};
  struct Case {
    bool blanks;  // the start directory, Program Files and Windows hold blanks
    const char* control;
    std::vector<std::string> present;  // files put in place first
    std::vector<SimEvent> events;
    std::string items = "", says = "";  // BitBtn3: its plan
  } cases[] = {
      {false, "BitBtn3", {kInstaller}, {kInstall}, "√×", "运行 C:\\Korrin\\pxe-pdk\\pxe20-pdk.exe（可能改动：C:\\PF\\Intel）"},
      {false, "BitBtn3", {}, {}, "！！", "先按“PXE-PDK 安装程序”一项处理，再在 PXE 页上按“安装 PXE”，按安装程序的提示装好 PXE-PDK"},
      {true, "BitBtn3", {"C:\\My Tools\\pxe-pdk\\pxe20-pdk.exe"}, {{"run", "\"C:\\My Tools\\pxe-pdk\\pxe20-pdk.exe\"", "", 1}}, "√×"},
      {false, "BitBtn2", {}, {{"notice", "找不到配置文件，可能是PXE-PDK 程序没有正确没装!", "Server", 0}}},
      {false, "SpeedButton1", {}, {{"notice", "找不到PXEReg60.EXE，可能是PXE-PDK 程序没有正确没装!", "Server", 0}}},
      {false, "BitBtn5", {}, {{"notice", "找不到配置文件，可能是DHCP服务没有正确没装!", "Server", 0}}},
      {false, "SpeedButton1", {kSystem + "PXEREG60.EXE"}, {{"run", kSystem + "pxereg60.exe", "", 1}}},
      {false, "BitBtn5", {"C:\\WINNT\\system32\\dhcpadmn.exe"}, {{"run", "C:\\WINNT\\system32\\DHCPADMN.exe", "", 1}}},
      {true, "BitBtn5", {"C:\\My Windows\\system32\\DHCPADMN.EXE"}, {{"run", "\"C:\\My Windows\\system32\\DHCPADMN.exe\"", "", 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control) + " " + c.items + " " + c.says);
    SimMachine m;
    m.host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", c.blanks ? "C:\\Program Files" : "C:\\PF");
    m.host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", c.blanks ? "C:\\My Windows" : "C:\\WINNT");
    const char* start = c.blanks ? "C:\\My Tools" : "C:\\Korrin";
    for (const char* dir : {start, c.blanks ? "C:\\Program Files" : "C:\\PF"}) m.MakeDirs(dir);
    m.host.SetCurrentDirectory(start);
    for (const std::string& file : c.present) m.Put(file, "program");
    m.Start();
    m.host.SetCurrentDirectory("C:\\");
    if (!c.items.empty()) {
      const plan::Plan p = pxe::PlanPdk(m.host, start);
      EXPECT_EQ(CheckMarks(app::Road::kPxe, {p}, {"PXE-PDK 安装程序", "已安装的 PXE-PDK"}), c.items);
      EXPECT_NE(ImageServer::Said(p).find(c.says), std::string::npos) << ImageServer::Said(p);
    }
    m.form->Find(c.control)->Notify();  // as the window passes the click on
    EXPECT_EQ(m.journal(), c.events);
  }
}

}  // namespace
