// The check of the whole server, on simulated servers laid out as the demo
// server and walked down its roads by the main window's own handlers, with
// every outside program played by its stand-in. Each row is a server and
// every item the check must report, with its state's mark; the check runs as
// "/check FILE" and must leave every file and folder as it found them.
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <functional>
#include <memory>
#include <sstream>

#include "app/server_check.h"
#include "app/server.h"
#include "app/server_check_window.h"
#include "base/paths.h"
#include "imagetools/fat12.h"
#include "platform/encoding.h"
#include "platform/textfile.h"
#include "pxe/wait_dialog.h"
#include "standins/rpl/rplmgr.h"
#include "standins/sim_standins.h"
#include "tests/sim_session.h"

namespace {

namespace fs = std::filesystem;
using platform::SimEvent;

std::string ReadNative(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// A card type as the administrator registers it, and the profile made for it.
struct Card {
  const char* type;
  const char* prefix;
};
const Card kRtl8139 = {"RTL 8139", "00E04C"}, kRtl8029 = {"RTL 8029", "5254AB"}, kMyNic = {"Other NetCARD", "001122"};

class Server : public SimMachine {
 public:
  // The registry of every server; nothing else.
  Server() {
    standins::RegisterSimStandins(host);
    host.SetRegistry(paths::kWindowsNtKey, "SystemRoot", "C:\\WINNT");
    host.SetRegistry(paths::kWindowsKey, "ProgramFilesDir", "C:\\Program Files");
    host.SetRegistry(paths::kComputerNameKey, "computername", "KORRINSRV");
    host.SetWindowsDirectory("C:\\WINNT");
    MakeDirs("C:\\Korrin");
    MakeDirs("E:\\reports");
    host.SetCurrentDirectory("C:\\Korrin");
  }

  // The demo server (demo/make_demo.sh): the release in C:\Korrin, the
  // Remoteboot service's tree and programs, the PDK's installer, drive D:.
  void Demo() {
    fs::copy(RELEASE_RPLFILES, host.NativePath("C:\\Korrin\\rplfiles"), fs::copy_options::recursive);
    Put("C:\\Korrin\\unditool\\bootimg.w98", ReadNative(TEMPLATE_BOOTIMG));
    for (const char* program : {"C:\\Korrin\\unditool\\undisk.exe", "C:\\Korrin\\unditool\\rplimage.exe",
                                "C:\\Korrin\\pxe-pdk\\pxe20-pdk.exe", "C:\\WINNT\\system32\\rplcmd.exe",
                                "C:\\WINNT\\system32\\rplmgr.exe"})
      Put(program, "program");
    MakeDirs("C:\\WINNT\\rpl");
    fs::copy(DEMO_RPL_TREE, host.NativePath("C:\\WINNT\\rpl"), fs::copy_options::recursive);
    std::ifstream dirs(DEMO_RPL_DIRS);
    for (std::string line; std::getline(dirs, line);)
      if (!line.empty() && line[0] != '#') MakeDirs("C:\\WINNT\\rpl\\" + line);
    MakeDirs("C:\\Program Files");
    MakeDirs("D:\\");
    Put("C:\\DRIVERS\\NIC\\MYNIC.DOS", "the administrator's own NDIS driver\r\n");
  }

  // Users and directories, the workstations' Windows uploaded, the names file.
  void AccountsRoad() {
    Form().BitBtn1Click();
    MakeDirs("D:\\PVDROOT\\windows");
    form->BitBtn8Click();
  }

  // The PDK installed (its installer puts its two programs in place), the
  // boot image made and installed; the program left by its exit button,
  // which takes the account script away.
  void PxeRoad() {
    Form().BitBtn3Click();
    for (const char* program : {"pxeconfig.exe", "pxereg60.exe"})
      Put(std::string("C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\") + program, "PDK program");
    ui.OnModal<pxe::TForm2>([](pxe::TForm2& dialog) {
      while (!dialog.Closed()) dialog.Timer2Timer();
      return platform::kMrCancel;
    });
    form->BitBtn7Click();
    form->BitBtn4Click();
    form.reset();
  }

  // Detect, register, a Windows profile in the manager, install it with the
  // card list showing `installed_for`, auto-registration on.
  void RplRoad(const Card& card, const Card* installed_for = nullptr) {
    app::TForm1& f = Form();
    Choose(f.ComboBox1, card.type);
    f.BitBtn10Click();
    AnswerPrefix(card.prefix);
    AnswerDriver("C:\\DRIVERS\\NIC\\MYNIC.DOS", card.prefix);
    f.BitBtn9Click();
    const std::string profile = std::string("W") + card.prefix;
    standins::rpl::Manager manager(host, [](const std::string&) { return false; });
    std::string message;
    ASSERT_TRUE(manager.Load(&message)) << message;
    ASSERT_TRUE(manager.MakeProfile(profile, std::string("WIN") + card.prefix, "", &message)) << message;
    f.BitBtn12Click();
    Choose(f.ComboBox2, profile);
    if (installed_for) Choose(f.ComboBox1, installed_for->type);
    f.BitBtn11Click();
    f.CheckBox1.SetChecked(true);
    ASSERT_EQ(journal().back().text, "无盘WIN98远程启动文件安装完成！");
  }

  app::TForm1& Form() {
    if (!form) Start();
    return *form;
  }
  static void Choose(platform::ListBox& list, const std::string& item) {
    std::vector<std::string> items = list.Items();
    auto at = std::find(items.begin(), items.end(), item);
    ASSERT_NE(at, items.end()) << item;
    list.SetItemIndex(static_cast<int>(at - items.begin()));
  }

  // Every file and folder the check could reach.
  std::string Everything() {
    std::string all = Get("c:\\temps.bak");
    for (const char* drive : {"C:", "D:"})
      for (const auto& entry : Tree(drive)) all += entry.first + "=" + entry.second + "\n";
    return all + ReadNative(root + "/attributes.txt");
  }
};

// The report's items as "mark what", joined by "，": the item lines are those
// "MARK【STATE】WHAT：FOUND", each followed by "处理：MEND" when it is not ready.
std::string Items(const std::vector<std::string>& lines) {
  std::string items;
  for (const std::string& line : lines) {
    const size_t open = line.find("【"), close = line.find("】"), colon = line.find("：", close);
    if (open == std::string::npos || open > 3 || close == std::string::npos || colon == std::string::npos) continue;
    items += (items.empty() ? "" : "，") + line.substr(0, open) + line.substr(close + 3, colon - close - 3);
  }
  return items;
}

// The item line of `what` and the line after it.
std::string ItemText(const std::vector<std::string>& lines, const std::string& what) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("】" + what + "：") != std::string::npos)
      return lines[i] + (i + 1 < lines.size() ? "\n" + lines[i + 1] : "");
  return "<no item " + what + ">";
}

const char kDemoAccounts[] = "×共享目录，×用户目录，×工作站信息文件";
const char kAccountsDone[] = "√共享目录，√用户目录，√工作站信息文件";
const char kDemoPxe[] = "√PXE-PDK 安装程序，×已安装的 PXE-PDK，√镜像工具，√原始镜像文件，×已安装的启动镜像，×启动镜像中的服务器和共享";
const char kPxeDone[] = "√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√原始镜像文件，√已安装的启动镜像，√启动镜像中的服务器和共享";
const char kBadTemplate[] = "√PXE-PDK 安装程序，×已安装的 PXE-PDK，√镜像工具，？原始镜像文件，×已安装的启动镜像，×启动镜像中的服务器和共享";
const char kDemoTree[] = "√远程启动服务程序，√Windows 95 文件，×DOS 6.22 文件，√NE2000 启动块模板";
const char kTreeDone[] = "√远程启动服务程序，√Windows 95 文件，√DOS 6.22 文件，√NE2000 启动块模板";
const char kDemoProfiles[] = "√配置列表，√配置 NE2KDOS，×配置 NE2KWIN";

std::string Join(std::initializer_list<std::string> parts) {
  std::string all;
  for (const std::string& p : parts) all += (all.empty() ? "" : "，") + p;
  return all;
}

const char kReport[] = "E:\\reports\\server.txt";

// A row's step runs on the server the rows before it left, or on a fresh one,
// empty or the demo server.
enum From { kGoOn, kEmpty, kDemo };
struct Row {
  const char* name;
  From from;
  std::function<void(Server&)> step;
  int status;
  std::string items;
  std::vector<std::pair<std::string, std::string>> says;  // an item, and words of its text or mend
  std::vector<std::string> words = {"/check", kReport};     // the command line
};

std::vector<Row> Rows() {
  std::string many = Join({kDemoAccounts, kDemoPxe, kDemoTree, "×网卡", "×配置列表", "√配置 NE2KDOS", "×配置 NE2KWIN"});
  char name[8];
  for (int i = 1; i <= 252; ++i) many += "，×配置 P" + std::string(name, std::snprintf(name, sizeof name, "%03d", i));
  const std::string cards = "√网卡 Other NetCARD（MYNIC），√网卡 RTL 8029（pcind），√网卡 RTL 8139（rtsnd）";
  const std::string empty_pxe_rpl =
      "×PXE-PDK 安装程序，×已安装的 PXE-PDK，×镜像工具，×原始镜像文件，×已安装的启动镜像，×启动镜像中的服务器和共享，"
      "×远程启动服务程序，×Windows 95 文件，×DOS 6.22 文件，×NE2000 启动块模板，×网卡，×配置列表";
  const std::string renamed =
      Join({kAccountsDone, "√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√原始镜像文件，√已安装的启动镜像，△启动镜像中的服务器和共享",
            kTreeDone, "√网卡 Other NetCARD（MYNIC），×网卡 RTL 8029（pcind），√网卡 RTL 8139（rtsnd）",
            "√配置列表，√配置 NE2KDOS，△配置 W001122，△配置 W00E04C，△配置 W5254AB"});
  return {
      {"an empty server", kEmpty, nullptr, 1, Join({"×共享目录，×用户目录，×工作站信息文件", empty_pxe_rpl}),
       {{"共享目录", "没有目录 D:\\PVDROOT。"}, {"镜像工具", "把随程序发布的 unditool 目录放到 C:\\Korrin 中"},
        {"配置列表", "添加远程启动服务"}}},
      // Without the window, the shared directory is the one c:\temps.bak names.
      {"a c:\\temps.bak that cannot be read", kEmpty,
       [](Server& s) {
         s.Put("c:\\temps.bak", "E:\\REPORTS\r\n");
         s.host.MakeUnreadable("c:\\temps.bak");
       },
       2, Join({"？共享目录", empty_pxe_rpl}), {{"共享目录", "c:\\temps.bak 存在但无法读取"}}},
      {"the demo server", kDemo, nullptr, 1, Join({kDemoAccounts, kDemoPxe, kDemoTree, "×网卡", kDemoProfiles}),
       {{"共享目录", "按“生成用户及目录”"}, {"用户目录", "按“用户前辍”USER和“用户数目”30，30 个用户目录中缺少 30 个：USER01、"},
        {"已安装的 PXE-PDK", "按“安装 PXE”"}, {"已安装的启动镜像", "按“生成镜像文件”"}, {"DOS 6.22 文件", "按“配置Rpl”"},
        {"网卡", "按“检测”，再按“配置Rpl”"}, {"配置 NE2KWIN", "在“RPL配置名”中选 NE2KWIN，按“安装”"}},
       {"/CHECK", kReport}},
      // Other command lines: no report, and no half-written file beside it.
      {"no words: the window opens", kGoOn, nullptr, -1, "", {}, {}},
      {"not this command", kGoOn, nullptr, -1, "", {}, {"/help"}},
      {"no file named", kGoOn, nullptr, 2, "", {}, {"/check"}},
      {"more than a file", kGoOn, nullptr, 2, "", {}, {"/check", kReport, "more"}},
      {"a folder that is not there", kGoOn, nullptr, 2, "", {}, {"/check", "E:\\nowhere\\server.txt"}},
      {"after the accounts road", kGoOn, [](Server& s) { s.AccountsRoad(); }, 1,
       Join({kAccountsDone, kDemoPxe, kDemoTree, "×网卡", kDemoProfiles}),
       {{"共享目录", "D:\\PVDROOT 存在，共享名 PVDROOT。"}, {"用户目录", "按账户脚本 c:\\usertemp.bat，30 个用户目录都在"}}},
      {"after the PXE road", kGoOn, [](Server& s) { s.PxeRoad(); }, 1,
       Join({kAccountsDone, kPxeDone, kDemoTree, "×网卡", kDemoProfiles}),
       {{"启动镜像中的服务器和共享", "SERVER=KORRINSRV，SHARE=PVDROOT，都是今天的；网卡自动注册：关"},
        {"用户目录", "按“用户前辍”USER和“用户数目”30，30 个用户目录都在"}}},
      {"after the RPL road", kGoOn, [](Server& s) { s.RplRoad(kRtl8139); }, 1,
       Join({kAccountsDone, kPxeDone, kTreeDone, "√网卡 RTL 8139（rtsnd）", kDemoProfiles, "√配置 W00E04C"}),
       {{"配置 W00E04C", "网卡驱动 RTSND.DOS，远程启动目录中也有；SERVER=KORRINSRV，SHARE=PVDROOT，都是今天的；工作站自动注册：开"}}},
      {"the unused profile removed", kGoOn,
       [](Server& s) { fs::remove_all(s.host.NativePath("C:\\WINNT\\rpl\\rplfiles\\profiles\\NE2KWIN")); }, 0,
       Join({kAccountsDone, kPxeDone, kTreeDone, "√网卡 RTL 8139（rtsnd）", "√配置列表，√配置 NE2KDOS，√配置 W00E04C"}), {}},
      {"the RPL road for the other two cards", kGoOn,
       [](Server& s) {
         s.RplRoad(kRtl8029);
         s.RplRoad(kMyNic);
       },
       0, Join({kAccountsDone, kPxeDone, kTreeDone, cards, "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，√配置 W5254AB"}),
       {{"配置 W5254AB", "网卡驱动 PCIND.DOS，远程启动目录中也有"}, {"配置 W001122", "网卡驱动 MYNIC.DOS"}}},
      {"a card registered without its driver", kGoOn,
       [](Server& s) { s.host.DeleteFile("C:\\WINNT\\rpl\\bblock\\ndis\\PCIND.dos"); }, 1,
       Join({kAccountsDone, kPxeDone, kTreeDone, "√网卡 Other NetCARD（MYNIC），×网卡 RTL 8029（pcind），√网卡 RTL 8139（rtsnd）",
             "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，△配置 W5254AB"}),
       {{"网卡 RTL 8029（pcind）", "缺少 pcind.dos"}, {"网卡 RTL 8029（pcind）", "选 RTL 8029，按“检测”，再按“配置Rpl”"},
        {"配置 W5254AB", "网卡驱动 PCIND.DOS 在 winboot 中，但远程启动目录中没有它"}}},
      {"a renamed computer", kGoOn,
       [](Server& s) { s.host.SetRegistry(paths::kComputerNameKey, "computername", "NEWNAME"); }, 1, renamed,
       {{"启动镜像中的服务器和共享", "镜像中 SERVER=KORRINSRV，本机的计算机名是 NEWNAME"},
        {"启动镜像中的服务器和共享", "处理：在 PXE 页上按“生成镜像文件”重新生成"},
        {"配置 W00E04C", "今天应为 SERVER=NEWNAME，SHARE=PVDROOT"},
        {"配置 W00E04C", "在“网卡类型”中选 RTL 8139，在“RPL配置名”中选 W00E04C，按“安装”"},
        {"配置 W001122", "在“网卡类型”中选 Other NetCARD，按“配置Rpl”注册 MYNIC.DOS，在“RPL配置名”中选 W001122，按“安装”"}}},
      {"a start script naming a path for its driver", kGoOn,
       [](Server& s) {
         const std::string setvars = "C:\\WINNT\\rpl\\rplfiles\\profiles\\W001122\\suboot\\winboot\\setvars.bat";
         std::string bytes = s.Get(setvars);
         bytes.replace(bytes.find("MYNIC.DOS"), 9, "..\\..\\..\\..\\bblock\\ndis\\MYNIC.DOS");
         s.Put(setvars, bytes);
       },
       1, renamed,
       {{"配置 W001122", "NETCARD=..\\..\\..\\..\\bblock\\ndis\\MYNIC.DOS 不是网卡驱动程序的文件名"}}},
      {"a profile installed for another card", kDemo, [](Server& s) { s.RplRoad(kRtl8029, &kRtl8139); }, 1,
       Join({kDemoAccounts, kDemoPxe, kTreeDone, "√网卡 RTL 8029（pcind）", kDemoProfiles, "△配置 W5254AB"}),
       {{"配置 W5254AB", "网卡驱动 RTSND.DOS 在 winboot 中，但远程启动目录中没有它：配置是为没有在本服务器注册的网卡安装的"}}},
      {"an unreadable template image", kDemo,
       [](Server& s) { s.host.MakeUnreadable("C:\\Korrin\\unditool\\bootimg.w98"); }, 2,
       Join({kDemoAccounts, kBadTemplate, kDemoTree, "×网卡", kDemoProfiles}),
       {{"原始镜像文件", "无法读取 C:\\Korrin\\unditool\\bootimg.w98"}}},
      {"a template one byte short", kDemo,
       [](Server& s) { s.Put("C:\\Korrin\\unditool\\bootimg.w98", ReadNative(TEMPLATE_BOOTIMG).substr(1)); }, 2,
       Join({kDemoAccounts, kBadTemplate, kDemoTree, "×网卡", kDemoProfiles}),
       {{"原始镜像文件", "大小为 1474559 字节，不是 1440 KB 软盘镜像"}}},
      {"a template without a workstation file", kDemo,
       [](Server& s) {
         fat12::Tree root;
         std::string image, error;
         ASSERT_TRUE(fat12::Unpack(ReadNative(TEMPLATE_BOOTIMG), &root, &error)) << error;
         for (fat12::Tree& dir : root.children) {
           auto& files = dir.children;
           files.erase(std::remove_if(files.begin(), files.end(), [](const fat12::Tree& f) { return f.name == "NET.EXE"; }),
                       files.end());
         }
         ASSERT_TRUE(fat12::Pack(root, nullptr, &image, &error)) << error;
         s.Put("C:\\Korrin\\unditool\\bootimg.w98", image);
       },
       1, Join({kDemoAccounts, "√PXE-PDK 安装程序，×已安装的 PXE-PDK，√镜像工具，×原始镜像文件，×已安装的启动镜像，×启动镜像中的服务器和共享",
                kDemoTree, "×网卡", kDemoProfiles}),
       {{"原始镜像文件", "中缺少 1 个文件：WINBOOT\\NET.EXE。"}}},
      {"a Chinese shared directory, the PXE road walked", kDemo,
       [](Server& s) {
         s.Put("c:\\temps.bak", platform::ToCodePage("D:\\无盘站\r\n"));
         s.PxeRoad();
       },
       1, Join({kDemoAccounts, kPxeDone, kDemoTree, "×网卡", kDemoProfiles}),
       {{"共享目录", "没有目录 D:\\无盘站。"}, {"启动镜像中的服务器和共享", "SERVER=KORRINSRV，SHARE=无盘站，都是今天的"}}},
      {"a profile list of 300 entries", kDemo,
       [](Server& s) {
         char name[48];
         for (int i = 1; i <= 298; ++i)
           s.MakeDirs(std::string(name, std::snprintf(name, sizeof name, "C:\\WINNT\\rpl\\rplfiles\\profiles\\P%03d", i)));
       },
       1, many, {{"配置列表", "目录中有 302 项，不在列表中的有：P253、P254"}, {"配置列表", "等 46 个"}}},
  };
}

TEST(ServerCheck, EachServerReportsEveryItemAndChangesNothing) {
  std::unique_ptr<Server> s;
  for (const Row& row : Rows()) {
    if (row.from != kGoOn || !s) s = std::make_unique<Server>();
    if (row.from == kDemo) s->Demo();
    if (row.step) row.step(*s);
    if (::testing::Test::HasFatalFailure()) return;
    s->host.SetCurrentDirectory("C:\\Korrin");
    s->host.DeleteFile(kReport);
    s->journal().clear();
    const std::string before = s->Everything();
    EXPECT_EQ(app::CheckCommand(s->host, row.words), row.status) << row.name;
    EXPECT_EQ(s->Everything(), before) << row.name;
    EXPECT_EQ(s->journal(), std::vector<SimEvent>{}) << row.name;
    EXPECT_EQ(s->Tree("E:").size(), row.items.empty() ? 1u : 2u) << row.name;  // the folder, the report
    const std::string bytes = s->Get(kReport);
    std::string text;
    EXPECT_TRUE(platform::StrictCodePageToUtf8(bytes, &text)) << row.name;
    const std::vector<std::string> lines = platform::SplitLines(bytes);
    EXPECT_EQ(Items(lines), row.items) << row.name;
    for (const auto& said : row.says)
      EXPECT_NE(ItemText(lines, said.first).find(said.second), std::string::npos)
          << row.name << ": " << said.first << " should say " << said.second << "\n" << ItemText(lines, said.first);
  }
}

TEST(ServerCheck, TheMenuItemShowsTheSameReportAndItsButtonCopiesIt) {
  const look::WindowLayout& layout = app::TForm1::Layout();
  std::vector<std::string> system_menu;
  for (const look::MenuLayout& item : *layout.menu)
    if (std::string(item.parent) == "S1") system_menu.push_back(item.caption);
  EXPECT_EQ(system_menu, (std::vector<std::string>{"检查服务器(&C)...", "退出(&E)"}));

  Server s;
  s.Demo();
  s.Form();
  ASSERT_EQ(app::CheckCommand(s.host, {"/check", kReport}), 1);
  std::string memo, label, copied_label;
  s.ui.OnModal<app::TCheckForm>([&](app::TCheckForm& window) {
    memo = window.Memo1.Text();
    label = window.Label1.Text();
    window.Button1.Click();
    copied_label = window.Label1.Text();
    s.ui.HoldClipboard(true);
    window.Button1.Click();
    return platform::kMrCancel;
  });
  s.journal().clear();
  s.form->C1.Click();
  EXPECT_EQ(platform::ToCodePage(memo), s.Get(kReport));
  // Each road's heading, then its items.
  for (const char* road : {"\r\n\r\n1. 账户和共享目录\r\n×【缺少】共享目录：", "\r\n\r\n2. PXE 启动\r\n√【就绪】PXE-PDK 安装程序：",
                           "\r\n\r\n3. RPL 启动\r\n√【就绪】远程启动服务程序："})
    EXPECT_NE(memo.find(road), std::string::npos) << road;
  EXPECT_EQ(label, "共 17 项：就绪 8 项，缺少 9 项，过期 0 项，无法读取 0 项。");
  EXPECT_EQ(copied_label, "报告已复制到剪贴板。");
  EXPECT_EQ(s.ui.clipboard(), memo);
  EXPECT_EQ(s.journal(), (std::vector<SimEvent>{
                             {"modal", "TCheckForm", "", platform::kMrCancel},
                             {"clipboard", memo, "", 1},
                             {"clipboard", memo, "", 0},
                             {"message", "无法把报告复制到剪贴板（剪贴板可能正被别的程序使用），请稍后再试。", "检查服务器",
                              platform::kMbIconExclamation},
                         }));
}

}  // namespace
