// The check of the whole server, on simulated servers laid out as the demo
// server and walked down its roads by the main window's own handlers, with
// every outside program played by its stand-in. Each row is a server and
// every item the check must report, with its state's mark; the check runs as
// "/check FILE" and must leave every file and folder as it found them.
// server_check_advice_test.cpp follows each row's advice.
#include "tests/app/server_check_session.h"

#include <algorithm>
#include <memory>

#include "app/server_check.h"
#include "app/server_check_window.h"
#include "base/paths.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace check_test {

namespace fs = std::filesystem;
using platform::SimEvent;

std::string Items(const std::vector<std::string>& lines) {
  std::string items;
  for (const std::string& line : lines) {
    const size_t open = line.find("【"), close = line.find("】"), colon = line.find("：", close);
    if (open == std::string::npos || open > 3 || close == std::string::npos || colon == std::string::npos) continue;
    items += (items.empty() ? "" : "，") + line.substr(0, open) + line.substr(close + 3, colon - close - 3);
  }
  return items;
}

namespace {

// The item line of `what` and the line after it.
std::string ItemText(const std::vector<std::string>& lines, const std::string& what) {
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].find("】" + what + "：") != std::string::npos)
      return lines[i] + (i + 1 < lines.size() ? "\n" + lines[i + 1] : "");
  return "<no item " + what + ">";
}

const char kDemoAccounts[] = "×共享目录，×用户目录，！工作站信息文件";
const char kAccountsDone[] = "√共享目录，√用户目录，√工作站信息文件";
const char kDemoPxe[] =
    "√PXE-PDK 安装程序，×已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，×已安装的启动镜像，×启动镜像中的服务器和共享";
const char kPxeDone[] =
    "√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，√已安装的启动镜像，√启动镜像中的服务器和共享";
const char kPxeRenamed[] =
    "√PXE-PDK 安装程序，√已安装的 PXE-PDK，√镜像工具，√临时目录，√原始镜像文件，√已安装的启动镜像，△启动镜像中的服务器和共享";
const char kNoPcind[] = "√网卡 Other NetCARD（MYNIC），×网卡 RTL 8029（pcind），√网卡 RTL 8139（rtsnd）";
const char kNoCard[] = "×网卡，√配置列表，√配置 NE2KDOS，！配置 NE2KWIN";
const char kDemoTree[] = "√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，×DOS 6.22 文件，√NE2000 启动块模板";
const char kTreeDone[] = "√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，√DOS 6.22 文件，√NE2000 启动块模板";
const char kNoTree[] = "！网卡，√配置列表，√配置 NE2KDOS，！配置 NE2KWIN";
const char kTreeAdmin[] = "√远程启动服务程序，√Windows 95 文件，！远程启动目录，√随程序发布的 RPL 文件，！DOS 6.22 文件，√NE2000 启动块模板";
const char kDemoProfiles[] = "√配置列表，√配置 NE2KDOS，×配置 NE2KWIN";
const char kDemoRpl[] = "√远程启动服务程序，√Windows 95 文件，√远程启动目录，√随程序发布的 RPL 文件，×DOS 6.22 文件，√NE2000 启动块模板，×网卡，"
                        "√配置列表，√配置 NE2KDOS，×配置 NE2KWIN";

std::string Join(std::initializer_list<std::string> parts) {
  std::string all;
  for (const std::string& p : parts) all += (all.empty() ? "" : "，") + p;
  return all;
}

const std::string kWinboot = "C:\\WINNT\\rpl\\rplfiles\\profiles\\";

}  // namespace

std::vector<Row> Rows() {
  std::string many = Join({kDemoAccounts, kDemoPxe, kDemoTree, "×网卡", "！配置列表", "√配置 NE2KDOS", "×配置 NE2KWIN"});
  char name[8];
  for (int i = 1; i <= 252; ++i) many += "，×配置 P" + std::string(name, std::snprintf(name, sizeof name, "%03d", i));
  const std::string cards = "√网卡 Other NetCARD（MYNIC），√网卡 RTL 8029（pcind），√网卡 RTL 8139（rtsnd）";
  const std::string empty_pxe_rpl =
      "！PXE-PDK 安装程序，！已安装的 PXE-PDK，！镜像工具，√临时目录，！原始镜像文件，！已安装的启动镜像，！启动镜像中的服务器和共享，"
      "！远程启动服务程序，！Windows 95 文件，！远程启动目录，！随程序发布的 RPL 文件，！DOS 6.22 文件，！NE2000 启动块模板，！网卡，！配置列表";
  const std::string renamed = Join({kAccountsDone, kPxeRenamed, kTreeDone, kNoPcind,
                                    "√配置列表，√配置 NE2KDOS，△配置 W001122，△配置 W00E04C，△配置 W5254AB"});
  return {
      {"an empty server", kEmpty, nullptr, 1, Join({"×共享目录，×用户目录，！工作站信息文件", empty_pxe_rpl}),
       {{"共享目录", "没有驱动器 D:\\，无法建立 D:\\PVDROOT。"}, {"共享目录", "处理：在“共享目录”中填 C:\\PVDROOT，"},
        {"镜像工具", "把随程序发布的 unditool 目录放到 C:\\Korrin 中"}, {"配置列表", "添加远程启动服务"}}},
      // Without the window, the shared directory is the one c:\temps.bak names.
      {"a c:\\temps.bak that cannot be read", kEmpty,
       [](Server& s) {
         s.Put("c:\\temps.bak", "E:\\REPORTS\r\n");
         s.host.MakeUnreadable("c:\\temps.bak");
       },
       2, Join({"？共享目录", empty_pxe_rpl}), {{"共享目录", "c:\\temps.bak 存在但无法读取"}}},
      {"the demo server", kDemo, nullptr, 1, Join({kDemoAccounts, kDemoPxe, kDemoRpl}),
       {{"共享目录", "按“生成用户及目录”"}, {"用户目录", "按“用户前辍”USER和“用户数目”30，30 个用户目录（USER01…USER30）中缺少 30 个：USER01、"},
        {"已安装的 PXE-PDK", "按“安装 PXE”"}, {"已安装的启动镜像", "按“生成镜像文件”"},
        {"DOS 6.22 文件", "选 Other NetCARD，按“检测”，再按“配置Rpl”，关闭“客户机网卡信息”"},
        {"网卡", "选 RTL 8139，按“检测”，再按“配置Rpl”，填工作站网卡地址的前六位"},
        {"配置 NE2KWIN", "再按“配置Rpl”，填工作站网卡地址的前六位，按“更  新”，在“RPL配置名”中选 NE2KWIN，按“安装”"}},
       {"/CHECK", kReport}},
      // Other command lines: no report, and no half-written file beside it.
      {"no words: the window opens", kGoOn, nullptr, -1, "", {}, {}},
      {"not this command", kGoOn, nullptr, -1, "", {}, {"/help"}},
      {"no file named", kGoOn, nullptr, 2, "", {}, {"/check"}},
      {"more than a file", kGoOn, nullptr, 2, "", {}, {"/check", kReport, "more"}},
      {"a folder that is not there", kGoOn, nullptr, 2, "", {}, {"/check", "E:\\nowhere\\server.txt"}},
      {"after the accounts road", kGoOn, [](Server& s) { s.AccountsRoad(); }, 1,
       Join({kAccountsDone, kDemoPxe, kDemoRpl}),
       {{"共享目录", "D:\\PVDROOT 存在，共享名 PVDROOT。"}, {"用户目录", "按账户脚本 c:\\usertemp.bat，30 个用户目录（USER01…USER30）都在"}}},
      // The exit button took the script: the folders tell the users.
      {"after the PXE road", kGoOn, [](Server& s) { s.PxeRoad(); }, 1, Join({kAccountsDone, kPxeDone, kDemoRpl}),
       {{"用户目录", "按 D:\\PVDROOT 中已有的用户目录，30 个用户目录（USER01…USER30）都在"}}},
      {"after the RPL road", kGoOn, [](Server& s) { s.RplRoad(kRtl8139); }, 1,
       Join({kAccountsDone, kPxeDone, kTreeDone, "√网卡 RTL 8139（rtsnd）", kDemoProfiles, "√配置 W00E04C"}),
       {{"配置 W00E04C", "网卡驱动 RTSND.DOS，远程启动目录中也有；SERVER=KORRINSRV，SHARE=PVDROOT，都是今天的；工作站自动注册：开"},
        {"配置 NE2KWIN", "处理：在“网卡类型”中选 RTL 8139，按“检测”，按“更  新”，在“RPL配置名”中选 NE2KWIN，按“安装”"}}},
      // The tree holds its DOS 6.22 files now: the program's own are no longer needed.
      {"the unused profile removed, a shipped DOS 6.22 file too", kGoOn,
       [](Server& s) {
         fs::remove_all(s.host.NativePath(kWinboot + "NE2KWIN"));
         s.host.DeleteFile("C:\\Korrin\\rplfiles\\dos622\\himem.sys");
       },
       0,
       Join({kAccountsDone, kPxeDone, kTreeDone, "√网卡 RTL 8139（rtsnd）", "√配置列表，√配置 NE2KDOS，√配置 W00E04C"}), {}},
      {"the RPL road for the other two cards", kGoOn,
       [](Server& s) {
         s.RplRoad(kRtl8029);
         s.RplRoad(kMyNic);
       },
       0, Join({kAccountsDone, kPxeDone, kTreeDone, cards, "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，√配置 W5254AB"}),
       {{"配置 W5254AB", "网卡驱动 PCIND.DOS，远程启动目录中也有"}, {"配置 W001122", "网卡驱动 MYNIC.DOS"}}},
      // The installation is to put the registered driver in place of one
      // already in winboot.
      {"a profile whose winboot holds an older driver", kGoOn,
       [](Server& s) { s.Put(kWinboot + "W5254AB\\suboot\\winboot\\PCIND.dos", "an older driver"); }, 1,
       Join({kAccountsDone, kPxeDone, kTreeDone, cards, "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，△配置 W5254AB"}),
       {{"配置 W5254AB", "网卡驱动 PCIND.DOS 与远程启动目录中的不同"},
        {"配置 W5254AB", "处理：在“网卡类型”中选 RTL 8029，按“检测”，按“更  新”，在“RPL配置名”中选 W5254AB，按“安装”"}}},
      {"a card registered without its driver", kGoOn,
       [](Server& s) { s.host.DeleteFile("C:\\WINNT\\rpl\\bblock\\ndis\\PCIND.dos"); }, 1,
       Join({kAccountsDone, kPxeDone, kTreeDone, kNoPcind, "√配置列表，√配置 NE2KDOS，√配置 W001122，√配置 W00E04C，△配置 W5254AB"}),
       {{"网卡 RTL 8029（pcind）", "缺少 pcind.dos"}, {"网卡 RTL 8029（pcind）", "选 RTL 8029，按“检测”，再按“配置Rpl”"},
        {"配置 W5254AB", "网卡驱动 PCIND.DOS 在 winboot 中，但它的网卡没有在本服务器注册"}}},
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
       1, renamed, {{"配置 W001122", "NETCARD=..\\..\\..\\..\\bblock\\ndis\\MYNIC.DOS 不是网卡驱动程序的文件名"}}},
      // A stale server name and a missing file: the missing file shows.
      {"a profile with two problems", kGoOn, [](Server& s) { s.host.DeleteFile(kWinboot + "W00E04C\\suboot\\win.bat"); },
       1, Join({kAccountsDone, kPxeRenamed, kTreeDone, kNoPcind, "√配置列表，√配置 NE2KDOS，△配置 W001122，×配置 W00E04C，△配置 W5254AB"}),
       {{"配置 W00E04C", "缺少 win.bat；"}, {"配置 W00E04C", "今天应为 SERVER=NEWNAME"}}},
      // The installation replaces no read-only file, nor a folder: taking
      // the attribute off, and the folder away, is the administrator's.
      {"a stale profile holding read-only files and a folder", kGoOn,
       [](Server& s) {
         for (const char* file : {"W00E04C\\suboot\\io.sys", "W00E04C\\suboot\\winboot\\NET.EXE"})
           s.host.SetFileAttributes(kWinboot + file, platform::kAttrReadOnly);
         s.MakeDirs(kWinboot + "W00E04C\\suboot\\win.bat");
       },
       1, Join({kAccountsDone, kPxeRenamed, kTreeDone, kNoPcind, "√配置列表，√配置 NE2KDOS，△配置 W001122，！配置 W00E04C，△配置 W5254AB"}),
       {{"配置 W00E04C", "工作站自动注册：关；suboot\\io.sys、suboot\\winboot\\NET.EXE 有只读属性，安装不替换只读的文件；"
                         "suboot\\win.bat 是目录，安装无法用文件替换它。"},
        {"配置 W00E04C", "处理：先去掉 C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\io.sys、"
                         "C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\winboot\\NET.EXE 的只读属性，"
                         "把目录 C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\win.bat 改名或移走，"
                         "再在“网卡类型”中选 RTL 8139，按“检测”，按“更  新”，在“RPL配置名”中选 W00E04C，按“安装”"}}},
      {"a profile installed for another card", kDemo, [](Server& s) { s.RplRoad(kRtl8029, &kRtl8139); }, 1,
       Join({kDemoAccounts, kDemoPxe, kTreeDone, "√网卡 RTL 8029（pcind）", kDemoProfiles, "△配置 W5254AB"}),
       {{"配置 W5254AB", "网卡驱动 RTSND.DOS 在 winboot 中，但它的网卡没有在本服务器注册"},
        {"配置 W5254AB", "处理：在“网卡类型”中选 RTL 8139，按“检测”，再按“配置Rpl”"},
        {"配置 NE2KWIN", "处理：在“网卡类型”中选 RTL 8029，按“检测”，按“更  新”"}}},
      {"a start script edited by hand, read-only", kDemo,
       [](Server& s) {
         s.RplRoad(kRtl8139);
         const std::string startnet = kWinboot + "W00E04C\\suboot\\winboot\\STARTNET.BAT";
         s.Put(startnet, s.Get(startnet) + "REM by hand\r\n");
         s.host.SetFileAttributes(startnet, platform::kAttrReadOnly);
       },
       1, Join({kDemoAccounts, kDemoPxe, kTreeDone, "√网卡 RTL 8139（rtsnd）", kDemoProfiles, "！配置 W00E04C"}),
       {{"配置 W00E04C", "startnet.bat 不是本程序写的两种之一，又有只读属性"},
        {"配置 W00E04C", "处理：先去掉 C:\\WINNT\\rpl\\rplfiles\\profiles\\W00E04C\\suboot\\winboot\\startnet.bat 的只读属性，再按“更  新”"}}},
      {"a shared directory two levels deep", kDemo,
       [](Server& s) {
         s.Put("c:\\temps.bak", "D:\\PVDROOT\\SUB\r\n");
         s.MakeDirs("D:\\PVDROOT\\SUB");
       },
       1, Join({kDemoAccounts, kDemoPxe, kDemoRpl}),
       {{"共享目录", "“生成用户及目录”不接受 D:\\PVDROOT\\SUB：“共享目录”必须是某个驱动器根目录下的一个目录"},
        {"共享目录", "处理：在“共享目录”中填 D:\\PVDROOT，在“用户前辍”中填 USER，在“用户数目”中填 30，按“生成用户及目录”"}}},
      // A folder of a name net will not share: the advice types one it will.
      {"a shared directory of a name net refuses", kDemo,
       [](Server& s) {
         s.Put("c:\\temps.bak", "D:\\PV;ROOT\r\n");
         s.MakeDirs("D:\\PV;ROOT");
       },
       1, Join({kDemoAccounts, kDemoPxe, kDemoRpl}),
       {{"共享目录", "“生成用户及目录”不接受 D:\\PV;ROOT：“共享目录”中不能含有“;”：net 不接受含有它的共享名"},
        {"共享目录", "处理：在“共享目录”中填 D:\\PVROOT，在“用户前辍”中填 USER，在“用户数目”中填 30，按“生成用户及目录”"}}},
      // The exit button removes the account script: the user folders say
      // which users the program made.
      {"three users made, and the program left", kDemo,
       [](Server& s) {
         app::TForm1& f = s.Form();
         f.Edit2.SetText("WS");
         f.Edit3.SetText("3");
         f.Edit4.SetText("DISKLESS");
         f.BitBtn1Click();
         s.MakeDirs("D:\\PVDROOT\\windows");
         f.BitBtn4Click();
         s.form.reset();
       },
       1, Join({"√共享目录，√用户目录，×工作站信息文件", kDemoPxe, kDemoRpl}),
       {{"用户目录", "按 D:\\PVDROOT 中已有的用户目录，3 个用户目录（WS01…WS03）都在。"}}},
      {"one of the three users' folders removed", kGoOn, [](Server& s) { fs::remove_all(s.host.NativePath("D:\\PVDROOT\\WS02")); },
       1, Join({"√共享目录，×用户目录，×工作站信息文件", kDemoPxe, kDemoRpl}),
       {{"用户目录", "3 个用户目录（WS01…WS03）中缺少 1 个：WS02。"},
        {"用户目录", "处理：在“用户前辍”中填 WS，在“用户数目”中填 3，按“生成用户及目录”"},
        {"工作站信息文件", "处理：按“编辑信息文件”，在提问中选“确定”"}}},
      // Folders numbered beyond what the button makes with their prefix
      // are no users of it: the fields tell the users.
      {"folders numbered beyond the button's count", kDemo,
       [](Server& s) {
         for (const char* dir : {"D:\\PVDROOT\\USER251", "D:\\PVDROOT\\USER99999", "D:\\PVDROOT\\ABCDEFGHIJKLMNOPQR100"})
           s.MakeDirs(dir);
       },
       1, Join({"√共享目录，×用户目录，！工作站信息文件", kDemoPxe, kDemoRpl}),
       {{"用户目录", "按“用户前辍”USER和“用户数目”30，30 个用户目录（USER01…USER30）中缺少 30 个"}}},
      // Detection sends a card without its boot blocks to registration.
      {"an RTL8139 driver without its boot blocks", kDemo,
       [](Server& s) { s.Put("C:\\WINNT\\rpl\\bblock\\ndis\\rtsnd.dos", "RTL8139 driver"); }, 1,
       Join({kDemoAccounts, kDemoPxe, kDemoTree, "×网卡 RTL 8139（rtsnd）", kDemoProfiles}),
       {{"网卡 RTL 8139（rtsnd）", "缺少 dosbb.cnf、w95bb.cnf、protocol.ini"},
        {"网卡 RTL 8139（rtsnd）", "处理：在“网卡类型”中选 RTL 8139，按“检测”，再按“配置Rpl”，填工作站网卡地址的前六位。"}}},
      {"a registered RTL8139 missing a boot block", kDemo,
       [](Server& s) {
         s.RplRoad(kRtl8139);
         s.host.DeleteFile("C:\\WINNT\\rpl\\bblock\\netbeui\\rtsnd\\dosbb.cnf");
       },
       1, Join({kDemoAccounts, kDemoPxe, kTreeDone, "×网卡 RTL 8139（rtsnd）", kDemoProfiles, "△配置 W00E04C"}),
       {{"网卡 RTL 8139（rtsnd）", "缺少 dosbb.cnf"}}},
      // A registration that did not complete leaves its folder empty.
      {"an empty boot-block folder", kDemo, [](Server& s) { s.MakeDirs("C:\\WINNT\\rpl\\bblock\\netbeui\\MYNIC"); }, 1,
       Join({kDemoAccounts, kDemoPxe, kDemoRpl}), {{"网卡", "还没有注册任何网卡"}}},
      // The service installs its io.sys read-only, hidden and system.
      {"the service's io.sys read-only", kDemo,
       [](Server& s) {
         s.host.SetFileAttributes("C:\\WINNT\\rpl\\rplfiles\\binfiles\\win95\\io.sys",
                                  platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem);
       },
       1, Join({kDemoAccounts, kDemoPxe, kDemoRpl}), {}},
      {"what the roads need, missing", kDemo,
       [](Server& s) {
         for (const char* file : {"C:\\Korrin\\rplfiles\\win98\\subst.exe", "C:\\Korrin\\rplfiles\\rtsnd.dos",
                                  "C:\\WINNT\\system32\\rplmgr.exe"})
           s.host.DeleteFile(file);
       },
       1,
       Join({kDemoAccounts, kDemoPxe,
             "！远程启动服务程序，√Windows 95 文件，√远程启动目录，！随程序发布的 RPL 文件，！DOS 6.22 文件，√NE2000 启动块模板，！网卡，"
             "√配置列表，√配置 NE2KDOS，！配置 NE2KWIN"}),
       {{"远程启动服务程序", "中没有 rplmgr.exe"}, {"随程序发布的 RPL 文件", "没有 C:\\Korrin\\rplfiles\\win98\\subst.exe、C:\\Korrin\\rplfiles\\rtsnd.dos"},
        {"网卡", "处理：先按“远程启动服务程序”一项处理，再在“网卡类型”中选 RTL 8139"}}},
      // Registration starts rplcmd itself, without the command interpreter.
      {"no command interpreter in system32", kDemo, [](Server& s) { s.host.DeleteFile("C:\\WINNT\\system32\\command.com"); },
       1, Join({kDemoAccounts, kDemoPxe, kDemoRpl}), {{"远程启动服务程序", "rplcmd.exe 和 rplmgr.exe 都在 C:\\WINNT\\system32 中。"}}},
      // Registration refuses a tree without a folder it copies into or a
      // part its records name.
      {"the Remoteboot tree without its DOS 6.22 folder", kDemo,
       [](Server& s) { fs::remove_all(s.host.NativePath("C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622")); }, 1,
       Join({kDemoAccounts, kDemoPxe, kTreeAdmin, kNoTree}),
       {{"远程启动目录", "C:\\WINNT\\rpl 中没有注册要用的 rplfiles\\binfiles\\dos622。"},
        {"远程启动目录", "处理：建立目录 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622"},
        {"DOS 6.22 文件", "处理：先按“远程启动目录”一项处理，再在“网卡类型”中选 Other NetCARD"}}},
      {"the Remoteboot tree without its driver folder, binfiles\\dos and a FIT file", kDemo,
       [](Server& s) {
         for (const char* part : {"bblock\\ndis", "rplfiles\\binfiles\\dos", "fits\\dos622.fit"})
           fs::remove_all(s.host.NativePath(std::string("C:\\WINNT\\rpl\\") + part));
       },
       1, Join({kDemoAccounts, kDemoPxe, kTreeAdmin, kNoTree}),
       {{"远程启动目录", "C:\\WINNT\\rpl 中没有注册要用的 bblock\\ndis、rplfiles\\binfiles\\dos、fits\\dos622.fit。"},
        {"远程启动目录", "处理：建立目录 C:\\WINNT\\rpl\\bblock\\ndis、C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos，"
                         "在控制面板的“网络”中添加远程启动服务（它带有 fits\\dos622.fit）"},
        {"网卡", "处理：先按“远程启动目录”一项处理"}}},
      {"a folder where a DOS 6.22 file goes", kDemo,
       [](Server& s) { s.MakeDirs("C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\io.sys"); }, 1,
       Join({kDemoAccounts, kDemoPxe, kTreeAdmin, kNoTree}),
       {{"远程启动目录", "：rplfiles\\binfiles\\dos622\\io.sys 是目录，注册无法把 DOS 6.22 文件复制到那里。"},
        {"远程启动目录", "处理：把目录 C:\\WINNT\\rpl\\rplfiles\\binfiles\\dos622\\io.sys 改名或移走"}}},
      // Registration copies a DOS 6.22 file the tree lacks from the program's own.
      {"a shipped DOS 6.22 file missing", kDemo, [](Server& s) { s.host.DeleteFile("C:\\Korrin\\rplfiles\\dos622\\himem.sys"); },
       1,
       Join({kDemoAccounts, kDemoPxe,
             "√远程启动服务程序，√Windows 95 文件，√远程启动目录，！随程序发布的 RPL 文件，！DOS 6.22 文件，√NE2000 启动块模板", kNoTree}),
       {{"随程序发布的 RPL 文件", "没有 C:\\Korrin\\rplfiles\\dos622\\himem.sys。"},
        {"DOS 6.22 文件", "处理：把 DOS 6.22 的 himem.sys 放到 C:\\Korrin\\rplfiles\\dos622 中，再在“网卡类型”中选 Other NetCARD"},
        {"网卡", "处理：先按“随程序发布的 RPL 文件”一项处理"}}},
      // rplcmd looks for its database in the Windows directory Windows reports.
      {"another Windows directory", kDemo, [](Server& s) { s.host.SetWindowsDirectory("C:\\WINDOWS"); }, 2,
       Join({kDemoAccounts, kDemoPxe, kDemoTree, "！Windows 目录，？远程启动数据库，！网卡，√配置列表，√配置 NE2KDOS，！配置 NE2KWIN"}),
       {{"Windows 目录", "Windows 报告的 Windows 目录却是 C:\\WINDOWS"},
        {"远程启动数据库", "C:\\WINDOWS\\rpl\\rpldb.txt does not exist"}}},
      {"a profile list of 300 entries", kDemo,
       [](Server& s) {
         char name[48];
         for (int i = 1; i <= 298; ++i)
           s.MakeDirs(std::string(name, std::snprintf(name, sizeof name, "C:\\WINNT\\rpl\\rplfiles\\profiles\\P%03d", i)));
       },
       1, many, {{"配置列表", "目录中有 302 项，不在列表中的有：P253、P254"}, {"配置列表", "等 46 个"}},
       {"/check", kReport}, false},
  };
}

namespace {

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

// The window's user fields, as the account button judges them: fields it
// refuses tell no users, and a count it takes is the users to find; the
// count typed anew is the mend when that is all that is wrong.
TEST(ServerCheck, TheUserFieldsAreJudgedByTheAccountButtonsRule) {
  const struct {
    const char* prefix;
    const char* count;
    const char* group;
    app::CheckState state;
    const char* found;  // words of the users' item
    const char* mend;
  } cases[] = {
      {"USER", "2147483647", "PXEUSERS", app::CheckState::kMissing, "必须在 0 到 250 之间",
       "在“用户数目”中填 30（工作站的个数），按“生成用户及目录”"},
      {"USER", "251", "PXEUSERS", app::CheckState::kMissing, "必须在 0 到 250 之间", "在“用户数目”中填 30"},
      {"USER", "-1", "PXEUSERS", app::CheckState::kMissing, "不能小于 0", "在“用户数目”中填 30"},
      {"USER", "abc", "PXEUSERS", app::CheckState::kMissing, "十进制整数", "在“用户数目”中填 30"},
      {"ABCDEFGHIJKLMNOPQR", "100", "PXEUSERS", app::CheckState::kMissing, "必须在 0 到 99 之间", "在“用户数目”中填 30"},
      {"ABCDEFGHIJKLMNOPQRS", "30", "PXEUSERS", app::CheckState::kAdmin, "“用户前辍”最长 18 个字符", "改正账户一栏后"},
      {"USER", "30", "PXE USERS", app::CheckState::kAdmin, "“工作组名”中不能含有空格", "改正账户一栏后"},
      {"USER", "250", "PXEUSERS", app::CheckState::kMissing, "250 个用户目录（USER01…USER250）中缺少 250 个",
       "在“用户数目”中填 250，按“生成用户及目录”"},
  };
  Server s;
  s.Demo();
  s.MakeDirs("D:\\PVDROOT");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.prefix) + " " + c.count + " " + c.group);
    app::CheckInput in = app::StartupInput(s.host);
    in.shared_directory = "D:\\PVDROOT";
    in.prefix = c.prefix;
    in.count = c.count;
    in.group = c.group;
    const app::ServerCheck check = app::CheckServer(s.host, in);
    const auto item = std::find_if(check.items.begin(), check.items.end(),
                                   [](const app::CheckItem& i) { return i.what == "用户目录"; });
    ASSERT_NE(item, check.items.end());
    EXPECT_EQ(item->state, c.state);
    EXPECT_NE(item->found.find(c.found), std::string::npos) << item->found;
    EXPECT_NE(item->mend.find(c.mend), std::string::npos) << item->mend;
  }
}

TEST(ServerCheck, TheMenuItemShowsTheSameReportAndItsButtonCopiesIt) {
  const look::WindowLayout& layout = app::TForm1::Layout();
  std::vector<std::string> system_menu;
  for (const look::MenuLayout& item : *layout.menu)
    if (std::string(item.parent) == "S1") system_menu.push_back(item.caption);
  EXPECT_EQ(system_menu, (std::vector<std::string>{"检查服务器(&C)...", "保存应答文件(&A)...", "退出(&E)"}));

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
  EXPECT_EQ(s.ui.clipboard(), memo);
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
