// The check of the whole server, on simulated servers laid out as the demo
// server and walked down its roads by the main window's own handlers, with
// every outside program played by its stand-in. Each row is a server and
// every item the check must report, with its state's mark; the check runs as
// "/check FILE" and must leave every file and folder as it found them.
// The items' own findings and advice come from the plans each road's tests
// pin; the rows here pin the profiles' items, the report's form and the exit
// status: 0 all ready, 1 something to do, 2 an unreadable item or a command
// line naming no file it can write; -1 when the words are not "/check".
#include "tests/app/server_check_session.h"

#include <memory>

#include "app/server_check.h"
#include "app/server_check_window.h"
#include "base/paths.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace check_test {

namespace fs = std::filesystem;
using platform::SimEvent;

namespace {

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

// The report's items as "mark what", each followed by "，": the item lines are those
// "MARK【STATE】WHAT：FOUND", each followed by "处理：MEND" when it is not ready.
std::string Items(const std::vector<std::string>& lines) {
  std::string items;
  for (const std::string& line : lines) {
    const size_t open = line.find("【"), close = line.find("】"), colon = line.find("：", close);
    if (open == std::string::npos || open > 3 || close == std::string::npos || colon == std::string::npos) continue;
    items += line.substr(0, open) + line.substr(close + 3, colon - close - 3) + "，";
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

const std::string kDemoAccounts = "×共享目录，×用户目录，！工作站信息文件，";
const std::string kAccountsDone = "√共享目录，√用户目录，√工作站信息文件，";
const std::string kNoInterpreter = "！共享目录，！用户目录，！工作站信息文件，";  // the account script cannot run
const std::string kDemoPxe =
    "√PXE-PDK 安装程序，×已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，×已安装的启动镜像，×启动镜像中的服务器和共享，";
const std::string kPxeDone =
    "√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，√已安装的启动镜像，√启动镜像中的服务器和共享，";
const std::string kPxeRenamed =
    "√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，√已安装的启动镜像，△启动镜像中的服务器和共享，";
const std::string kNoPcind = "√网卡 Other NetCARD（MYNIC），×网卡 RTL 8029（pcind），√网卡 RTL 8139（rtsnd），";
const std::string kDemoTree = "√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，×DOS 6.22 文件，√NE2000 启动块模板，";
const std::string kTreeWaits = "√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，！DOS 6.22 文件，√NE2000 启动块模板，";
const std::string kTreeDone = "√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，√DOS 6.22 文件，√NE2000 启动块模板，";
const std::string kDemoProfiles = "√配置列表，√配置 NE2KDOS，×配置 NE2KWIN，";

const std::string kDemoRpl = kDemoTree + "×网卡，" + kDemoProfiles;

const std::string kWinboot = "C:\\WINNT\\rpl\\rplfiles\\profiles\\";

std::vector<Row> Rows() {
  std::string many = kDemoAccounts + kDemoPxe + kDemoTree + "×网卡，！配置列表，√配置 NE2KDOS，×配置 NE2KWIN，";
  char name[8];
  for (int i = 1; i <= 252; ++i) many += "×配置 P" + std::string(name, std::snprintf(name, sizeof name, "%03d", i)) + "，";
  const std::string cards = "√网卡 Other NetCARD（MYNIC），√网卡 RTL 8029（pcind），√网卡 RTL 8139（rtsnd），";
  const std::string empty_pxe_rpl =
      "！PXE-PDK 安装程序，！已安装的 PXE-PDK，！镜像工具，√临时目录，！原始镜像文件，！已安装的启动镜像，！启动镜像中的服务器和共享，"
      "！远程启动服务程序，！Windows 95 文件，！远程启动目录，！随程序发布的 RPL 文件，！DOS 6.22 文件，！NE2000 启动块模板，！网卡，！配置列表，";
  const std::string renamed =
      kAccountsDone + kPxeRenamed + kTreeDone + kNoPcind + "√配置列表，√配置 NE2KDOS，△配置 W001122，△配置 W00E04C，×配置 W5254AB，";
  return {
      {"an empty server", kEmpty, nullptr, 1, kNoInterpreter + empty_pxe_rpl,
       {{"配置列表", "添加远程启动服务"}}},
      {"the demo server", kDemo, nullptr, 1, kDemoAccounts + kDemoPxe + kDemoRpl,
       {{"用户目录", "30 个用户目录（USER01…USER30）中缺少 30 个：USER01、"}},
       {"/CHECK", kReport}},
      // Other command lines: no report, and no half-written file beside it.
      {"no words: the window opens", kGoOn, nullptr, -1, "", {}, {}},
      {"not this command", kGoOn, nullptr, -1, "", {}, {"/help"}},
      {"no file named", kGoOn, nullptr, 2, "", {}, {"/check"}},
      {"more than a file", kGoOn, nullptr, 2, "", {}, {"/check", kReport, "more"}},
      {"a folder that is not there", kGoOn, nullptr, 2, "", {}, {"/check", "E:\\nowhere\\server.txt"}},
      {"after the accounts road", kGoOn, [](Server& s) { s.AccountsRoad(); }, 1, kAccountsDone + kDemoPxe + kDemoRpl,
       {{"共享目录", "D:\\PVDROOT 存在，共享名 PVDROOT。"}, {"用户目录", "按“用户前辍”USER和“用户数目”30，30 个用户目录（USER01…USER30）都在"}}},
      // The exit button took the script: the folders stand for the accounts.
      {"after the PXE road", kGoOn, [](Server& s) { s.PxeRoad(); }, 1, kAccountsDone + kPxeDone + kDemoRpl,
       {{"用户目录", "按“用户前辍”USER和“用户数目”30，30 个用户目录（USER01…USER30）都在"}}},
      {"after the RPL road", kGoOn, [](Server& s) { s.RplRoad(kRtl8139); }, 1,
       kAccountsDone + kPxeDone + kTreeDone + "√网卡 RTL 8139（rtsnd），" + kDemoProfiles + "√配置 W00E04C，",
       {{"配置 W00E04C", "网卡驱动 RTSND.DOS，远程启动目录中也有；SERVER=KORRINSRV，SHARE=PVDROOT，都是今天的；工作站自动注册：开"},
        {"配置 NE2KWIN", "处理：在“网卡类型”中选 RTL 8139，按“检测”，按“更  新”，在“RPL配置名”中选 NE2KWIN，按“安装”"}}},
      // The tree holds its DOS 6.22 files now: the program's own are no longer needed.
      {"the unused profile removed, a shipped DOS 6.22 file too, the RPL road for the other two cards", kGoOn,
       [](Server& s) {
         fs::remove_all(s.host.NativePath(kWinboot + "NE2KWIN"));
         s.host.DeleteFile("C:\\Korrin\\rplfiles\\dos622\\himem.sys");
         s.RplRoad(kRtl8029);
         s.RplRoad(kMyNic);
       },
       0, kAccountsDone + kPxeDone + kTreeDone + cards + "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，√配置 W5254AB，",
       {{"配置 W5254AB", "网卡驱动 PCIND.DOS，远程启动目录中也有"}, {"配置 W001122", "网卡驱动 MYNIC.DOS"}}},
      // The installation is to put the registered driver in place of one
      // already in winboot.
      {"a profile whose winboot holds an older driver", kGoOn,
       [](Server& s) { s.Put(kWinboot + "W5254AB\\suboot\\winboot\\PCIND.dos", "an older driver"); }, 1,
       kAccountsDone + kPxeDone + kTreeDone + cards + "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，△配置 W5254AB，",
       {{"配置 W5254AB", "网卡驱动 PCIND.DOS 与远程启动目录中的不同"},
        {"配置 W5254AB", "处理：在“网卡类型”中选 RTL 8029，按“检测”，按“更  新”，在“RPL配置名”中选 W5254AB，按“安装”"}}},
      {"a card registered without its driver", kGoOn,
       [](Server& s) { s.host.DeleteFile("C:\\WINNT\\rpl\\bblock\\ndis\\PCIND.dos"); }, 1,
       kAccountsDone + kPxeDone + kTreeDone + kNoPcind + "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，×配置 W5254AB，",
       {{"网卡 RTL 8029（pcind）", "缺少 pcind.dos"}, {"网卡 RTL 8029（pcind）", "选 RTL 8029，按“检测”，再按“配置Rpl”"},
        {"配置 W5254AB", "网卡驱动 PCIND.DOS 在 winboot 中，但它的网卡没有在本服务器注册"},
        {"配置 W5254AB", "处理：在“网卡类型”中选 RTL 8029，按“检测”，再按“配置Rpl”"}}},
      {"a renamed computer", kGoOn,
       [](Server& s) { s.host.SetRegistry(paths::kComputerNameKey, "computername", "NEWNAME"); }, 1, renamed,
       {{"启动镜像中的服务器和共享", "镜像中 SERVER=KORRINSRV，本机的计算机名是 NEWNAME"},
        {"启动镜像中的服务器和共享", "处理：在 PXE 页上按“生成镜像文件”（重新生成）"},
        {"配置 W00E04C", "今天应为 SERVER=NEWNAME，SHARE=PVDROOT"},
        {"配置 W00E04C", "处理：在“网卡类型”中选 RTL 8139，按“检测”，按“更  新”，在“RPL配置名”中选 W00E04C，按“安装”"},
        {"配置 W001122", "在“网卡类型”中选 Other NetCARD，按“检测”，再按“配置Rpl”，选驱动程序 C:\\WINNT\\rpl\\bblock\\ndis\\MYNIC.dos，"
                         "填工作站网卡地址的前六位，按“更  新”，在“RPL配置名”中选 W001122，按“安装”"}}},
      {"a start script naming a path for its driver", kGoOn,
       [](Server& s) {
         const std::string setvars = kWinboot + "W001122\\suboot\\winboot\\setvars.bat";
         std::string bytes = s.Get(setvars);
         bytes.replace(bytes.find("MYNIC.DOS"), 9, "..\\..\\..\\..\\bblock\\ndis\\MYNIC.DOS");
         s.Put(setvars, bytes);
       },
       1, kAccountsDone + kPxeRenamed + kTreeDone + kNoPcind + "√配置列表，√配置 NE2KDOS，×配置 W001122，△配置 W00E04C，×配置 W5254AB，",
       {{"配置 W001122", "NETCARD=..\\..\\..\\..\\bblock\\ndis\\MYNIC.DOS 不是网卡驱动程序的文件名"}}},
      // A stale server name and a missing file: the missing file shows.
      {"a profile with two problems", kGoOn, [](Server& s) { s.host.DeleteFile(kWinboot + "W00E04C\\suboot\\win.bat"); },
       1, kAccountsDone + kPxeRenamed + kTreeDone + kNoPcind + "√配置列表，√配置 NE2KDOS，×配置 W001122，×配置 W00E04C，×配置 W5254AB，",
       {{"配置 W00E04C", "缺少 win.bat；"}, {"配置 W00E04C", "今天应为 SERVER=NEWNAME"}}},
      // The installation replaces no read-only file, nor a folder: taking
      // the attribute off, and the folder away, is the administrator's.
      {"a stale profile holding read-only files and a folder", kGoOn,
       [](Server& s) {
         for (const char* file : {"W00E04C\\suboot\\io.sys", "W00E04C\\suboot\\winboot\\NET.EXE"})
           s.host.SetFileAttributes(kWinboot + file, platform::kAttrReadOnly);
         s.MakeDirs(kWinboot + "W00E04C\\suboot\\win.bat");
       },
       1, kAccountsDone + kPxeRenamed + kTreeDone + kNoPcind + "√配置列表，√配置 NE2KDOS，×配置 W001122，！配置 W00E04C，×配置 W5254AB，",
       {{"配置 W00E04C", "工作站自动注册：开；安装：C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\io.sys 有只读属性，安装无法替换它"},
        {"配置 W00E04C", "处理：先去掉 C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\io.sys、"
                         "C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\winboot\\NET.EXE 的只读属性，"
                         "把目录 C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\win.bat 改名或移走，"
                         "再在“网卡类型”中选 RTL 8139，按“检测”，按“更  新”，在“RPL配置名”中选 W00E04C，按“安装”"}}},
      {"a start script edited by hand, read-only", kDemo,
       [](Server& s) {
         s.RplRoad(kRtl8139);
         const std::string startnet = kWinboot + "W00E04C\\suboot\\winboot\\STARTNET.BAT";
         s.Put(startnet, s.Get(startnet) + "REM by hand\r\n");
         s.host.SetFileAttributes(startnet, platform::kAttrReadOnly);
       },
       1, kDemoAccounts + kDemoPxe + kTreeDone + "√网卡 RTL 8139（rtsnd），" + kDemoProfiles + "！配置 W00E04C，",
       {{"配置 W00E04C", "startnet.bat 不是本程序写的两种之一；安装：C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\winboot\\STARTNET.BAT 有只读属性"},
        {"配置 W00E04C", "处理：先去掉 C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\winboot\\STARTNET.BAT 的只读属性，再在“网卡类型”中选 RTL 8139"}}},
      // rplcmd looks for its database in the Windows directory Windows reports.
      {"another Windows directory", kDemo, [](Server& s) { s.host.SetWindowsDirectory("C:\\WINDOWS"); }, 2,
       kNoInterpreter + kDemoPxe + kTreeWaits + "！Windows 目录，？远程启动数据库，！网卡，√配置列表，√配置 NE2KDOS，！配置 NE2KWIN，",
       {{"Windows 目录", "Windows 报告的 Windows 目录却是 C:\\WINDOWS"},
        {"远程启动数据库", "C:\\WINDOWS\\rpl\\rpldb.txt does not exist"}}},
      {"a profile list of 300 entries", kDemo,
       [](Server& s) {
         char name[48];
         for (int i = 1; i <= 298; ++i)
           s.MakeDirs(std::string(name, std::snprintf(name, sizeof name, "C:\\WINNT\\rpl\\rplfiles\\profiles\\P%03d", i)));
       },
       1, many, {{"配置列表", "目录中有 302 项，不在列表中的有：P253、P254"}, {"配置列表", "等 46 个"}},
       {"/check", kReport}},
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
    EXPECT_EQ(FirstDifference(s->Everything(), before), "") << row.name;
    // Nothing is started but rplcmd, asked for its records through pipes.
    for (const SimEvent& e : s->journal())
      EXPECT_TRUE(e.kind == "ask" && e.text == "C:\\WINNT\\system32\\rplcmd.exe") << row.name << ": " << e.kind << " " << e.text;
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
  EXPECT_EQ(system_menu, (std::vector<std::string>{"检查服务器(&C)...", "保存应答文件(&A)...", "撤销(&U)...", "退出(&E)"}));

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
  EXPECT_EQ(label, "共 20 项：就绪 11 项，缺少 8 项，需管理员 1 项。");
  EXPECT_EQ(copied_label, "报告已复制到剪贴板。");
  // The clipboard holds what the first copy put there; the second, while
  // another program holds it, is refused.
  EXPECT_EQ(s.journal(), (std::vector<SimEvent>{
                             {"ask", "C:\\WINNT\\system32\\rplcmd.exe", "V\r\nL\r\nB\r\nL\r\nC\r\nL\r\nq\r\n", 0},
                             {"modal", "TCheckForm", "", platform::kMrCancel},
                             {"clipboard", memo, "", 1},
                             {"clipboard", memo, "", 0},
                             {"message", "无法把报告复制到剪贴板（剪贴板可能正被别的程序使用），请稍后再试。", "检查服务器",
                              platform::kMbIconExclamation},
                         }));
}

}  // namespace
}  // namespace check_test
