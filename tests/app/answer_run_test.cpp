// The unattended run on simulated demo servers: answer files for the whole
// PXE and RPL roads, and ones that fail at a step, leave a question open or
// cannot be read. Each row checks the exit status, the log, and the server's
// trees; a run that succeeds starts the programs clicking the same steps
// does (the simulated administrator compares the trees it leaves).
#include "app/answer_run.h"
#include "app/undo.h"

#include "platform/encoding.h"
#include "platform/file_lists.h"
#include "platform/sim/fault_host.h"
#include "platform/textfile.h"
#include "standins/rpl/rplcmd.h"
#include "tests/app/server_check_session.h"
#include "tests/pxe/startnet_bytes.h"

namespace {

using check_test::FirstDifference;
using check_test::DemoServer;
using check_test::Server;

const char kAnswers[] = "C:\\Korrin\\answers.ini";
const char kLog[] = "C:\\Korrin\\run.log";

const std::string kPxeRoad =
    "[Accounts]\r\nSharedDirectory=D:\\PVDROOT\r\nUserPrefix=WS\r\nWorkGroup=DISKLESS\r\nUserCount=3\r\n"
    "NamesFile=Yes\r\n\r\n[Pdk]\r\nInstall=Yes\r\n\r\n[BootImage]\r\nAutoRegistration=Yes\r\n";
const std::string kRplRoad =
    "[Card]\r\nType=RTL 8139\r\nVendorPrefix=00E04C\r\n\r\n[Install]\r\nProfile=NE2KWIN\r\n\r\n"
    "[AutoRegistration]\r\nProfile=NE2KWIN\r\nOn=Yes\r\n\r\n[Service]\r\nStart=Yes\r\n";

// The programs a server's journal shows started, but for those whose command
// line starts with `except` when it is given.
std::vector<std::string> RunsOf(Server& s, const std::string& except = "") {
  std::vector<std::string> runs;
  for (const platform::SimEvent& e : s.journal())
    if ((e.kind == "run" || e.kind == "exec") && (except.empty() || e.text.rfind(except, 0) != 0))
      runs.push_back(e.text);
  return runs;
}

std::string LogOf(Server& s) { return platform::FromCodePage(s.Get(kLog)); }

// Both roads walked by hand with the fields and answers of kPxeRoad and
// kRplRoad.
void ByHand(Server& clicked) {
  app::TForm1& f = clicked.Form();
  check_test::TypeAccounts(f, {"D:\\PVDROOT", "WS", "3", "DISKLESS"});
  f.BitBtn1Click();
  clicked.ui.Answer(platform::kIdOk);
  f.BitBtn8Click();
  f.BitBtn3Click();
  f.CheckBox2.SetChecked(true);
  f.BitBtn7Click();
  clicked.Register(check_test::kRtl8139);
  f.BitBtn12Click();
  Server::Choose(f.ComboBox2, "NE2KWIN", true);
  f.BitBtn11Click();
  f.CheckBox1.SetChecked(true);
  f.BitBtn6Click();
}

// The answer file 保存应答文件 writes for a server set up by hand, its bytes
// as the text file's own writing gives them.
std::string SavedByHand() {
  DemoServer s;
  ByHand(s);
  return platform::JoinLines(app::AnswerFileLines(app::AnswersOf(s.host, s.Form())));
}

TEST(AnswerRun, TheWholeRoadsLeaveTheServerAsClickingThemDoes) {
  DemoServer clicked, run;
  // Clicked: the same fields and buttons, the same answers.
  ByHand(clicked);

  run.Put(kAnswers, platform::ToCodePage(kPxeRoad + "\r\n" + kRplRoad));
  // The dry run first: a plan for each button the file presses, in its
  // order, and nothing changed but the log.
  const std::string fresh = run.Everything();
  run.journal().clear();
  ASSERT_EQ(app::RunCommand(run.host, {"/run", kAnswers, "/plan", "/log", kLog}), app::kRunDone) << LogOf(run);
  std::string pressed;
  std::istringstream planned(LogOf(run));
  for (std::string line; std::getline(planned, line);)
    if (line.rfind("  按“", 0) == 0) pressed += line.substr(2, line.size() - 3);
  EXPECT_EQ(pressed, "按“生成用户及目录”：按“编辑信息文件”：按“安装 PXE”：按“生成镜像文件”：按“配置Rpl”：按“安装”："
                     "按“工作站自动注册”：按“开启远程启动”：") << LogOf(run);
  for (const platform::SimEvent& e : run.journal()) EXPECT_NE(e.kind, "run") << e.text;
  run.host.DeleteFile(kLog);
  EXPECT_EQ(FirstDifference(run.Everything(), fresh), "");
  run.journal().clear();
  ASSERT_EQ(app::RunCommand(run.host, {"/run", kAnswers, "/log", kLog}), app::kRunDone) << LogOf(run);
  // Notepad is the one program a run does not start: it shows a window.
  EXPECT_EQ(RunsOf(run), RunsOf(clicked, "C:\\WINNT\\system32\\notepad.exe "));
  const std::string log = LogOf(run);
  // The run is a session of the journal, and so is its undo: taken back in
  // turn, the run's work is there again, byte for byte and attribute for
  // attribute.
  const std::string done = run.Everything();
  std::vector<std::string> printed;
  for (const size_t sessions : {1u, 2u}) {
    const std::vector<app::JournalSession> journal = app::ReadJournal(run.host, "C:\\Korrin\\journal");
    ASSERT_EQ(journal.size(), sessions);
    EXPECT_EQ(app::UndoCommand(run.host, {"/undo", journal[0].name}, &printed), 0) << printed.back();
  }
  EXPECT_EQ(FirstDifference(run.Everything(), done), "");
  for (const char* line : {"[Accounts]（第 1 行）\r\n", "  写入 c:\\usertemp.bat\r\n",
                           "  询问 C:\\WINNT\\system32\\net.exe user：返回值 0\r\n"
                           "  询问 C:\\WINNT\\system32\\net.exe group DISKLESS：返回值 0\r\n"
                           "  询问 C:\\WINNT\\system32\\net.exe share：返回值 0\r\n", "完成：[Pdk]\r\n",
                           "  等待对话框：倒计时\r\n", "  消息【创建完成】（信息）当服务器名和共享目录名发生变动，您必须重新生成镜像!\r\n",
                           "  厂商前缀 00E04C（第 16 行）\r\n", "完成：[Service]\r\n全部完成。\r\n",
                           // What the programs started made or changed: the PDK's installer, the
                           // unpacker and the packer, rplcmd's database, the unpacker again.
                           "  程序新建 C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\pxereg60.exe\r\n完成：[Pdk]",
                           "  程序新建目录 c:\\temp\\bootimg\r\n", "  程序新建 c:\\temp\\bootimg.w98\r\n",
                           "  程序新建 c:\\temp\\bootimg\\WINBOOT\\PROTOCOL.INI\r\n",
                           "  程序改动 C:\\WINNT\\rpl\\rpldb.txt\r\n完成：[Card]",
                           "  程序改动 c:\\temp\\bootimg\\WINBOOT\\STARTNET.BAT\r\n完成：[Install]"})
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
}

// An [Accounts] section with these fields and no names file.
std::string Accounts(const std::string& prefix, const std::string& group, const std::string& count) {
  return "[Accounts]\r\nSharedDirectory=D:\\PVDROOT\r\nUserPrefix=" + prefix + "\r\nWorkGroup=" + group +
         "\r\nUserCount=" + count + "\r\n\r\n[Pdk]\r\nInstall=Yes\r\n";
}
// What the steps after a failed [Accounts] step would write.
const std::vector<const char*> kAfterAccounts = {"D:\\PVDROOT\\windows\\netnames.db",
                                                 "C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\pxeconfig.exe"};

// Runs a net command on the server beforehand, as its administrator did.
void Net(Server& s, const std::string& command) {
  std::string printed;
  ASSERT_EQ(s.host.RunAndWait(command, "", &printed), 0) << command << ": " << printed;
  s.journal().clear();
}

// A file that cannot be read or has a bad line changes nothing at all; a step
// that fails stops the run before the steps after it.
TEST(AnswerRun, AFailedStepStopsTheRunAndABadFileChangesNothing) {
  struct Row {
    const char* name;
    std::string answers;  // UTF-8, written in code page 936; "<none>": no file
    std::function<void(Server&)> fault;
    int status;
    std::vector<std::string> log;  // lines the log must hold
    // Files the steps after the failure would have written; a run refused
    // (kRunBadFile) must leave every file as it was, which the loop checks.
    std::vector<const char*> untouched;
    bool raw = false;  // the answers written as they are
    std::string log_path = kLog;
    platform::Fault planted = {};  // a fault of the program's own host calls
    std::vector<std::pair<const char*, const char*>> holds = {};  // files and their bytes afterwards
  };
  std::vector<Row> rows = {
      // Accounts the button refuses: nothing of the step is done.
      {"a count below 0", Accounts("WS", "DISKLESS", "-1"), nullptr, app::kRunBadFile,
       {"[Accounts]（第 1 行）：“生成用户及目录”会拒绝：“用户数目”是工作站的个数，不能小于 0，请改正后再试。处理：*什么也没有做。"}},
      {"a blank in the prefix", Accounts("W S", "DISKLESS", "3"), nullptr, app::kRunBadFile,
       {"[Accounts]（第 1 行）：*“用户前辍”中不能含有空格：net 不接受含有它的用户名，请改正后再试。*"}},
      {"a semicolon in the group", Accounts("WS", "DISK;LESS", "3"), nullptr, app::kRunBadFile,
       {"[Accounts]（第 1 行）：*“工作组名”中不能含有“;”*"}},
      // Accounts net did not make, found in its listings once the script
      // has ended: the names file and the steps after it are not done.
      {"a group holding a user's name", kPxeRoad,
       [](Server& s) { Net(s, "net group WS02 /add"); }, app::kRunStopped,
       {"  缺少：没有用户 WS02", "  缺少：用户 WS02 不在组 DISKLESS 中",
        "失败：[Accounts] 没有完成：账户脚本已经结束，但 net 显示有 2 项没有建立（见上面“缺少”各行）。"},
       kAfterAccounts},
      {"a user's share of another folder", kPxeRoad,
       [](Server& s) {
         s.MakeDirs("D:\\OLD\\WS03");
         Net(s, "net share WS03=D:\\OLD\\WS03");
       },
       app::kRunStopped, {"  缺少：共享 WS03 是 D:\\OLD\\WS03，不是 D:\\PVDROOT\\WS03", "失败：[Accounts] 没有完成：*1 项*"},
       kAfterAccounts},
      {"the shared directory's share taken", kPxeRoad,
       [](Server& s) {
         s.MakeDirs("E:\\PVDROOT");
         Net(s, "net share PVDROOT=E:\\PVDROOT");
       },
       app::kRunStopped, {"  缺少：共享 PVDROOT 是 E:\\PVDROOT，不是 D:\\PVDROOT"}, kAfterAccounts},
      {"net's records damaged", kPxeRoad, [](Server& s) { s.Put("C:\\WINNT\\netstate\\users.txt", "a\tb\tc\td\r\n"); },
       app::kRunStopped,
       {"  缺少：C:\\WINNT\\system32\\net.exe user 返回 2：The record file *", "  缺少：C:\\WINNT\\system32\\net.exe group DISKLESS 返回 2*",
        "失败：[Accounts] 没有完成：*2 项*"},
       kAfterAccounts},
      {"net cannot be asked", kPxeRoad, [](Server& s) { s.host.MakeUnstartable("net"); }, app::kRunStopped,
       {"  缺少：无法启动 C:\\WINNT\\system32\\net.exe user，不知道账户是否都已建立",
        "  询问 C:\\WINNT\\system32\\net.exe share：无法启动"},
       kAfterAccounts},
      {"net never answers", kPxeRoad, [](Server& s) { s.host.MakeEndless("net"); }, app::kRunStopped,
       {"  缺少：C:\\WINNT\\system32\\net.exe group DISKLESS 运行了 60 秒仍没有结束，不知道账户是否都已建立"}, kAfterAccounts},
      // A share name longer than the listing's column is found on its own line.
      {"a long share name", "[Accounts]\r\nSharedDirectory=D:\\PVDROOTSERVER2\r\nUserPrefix=WS\r\nWorkGroup=DISKLESS\r\n"
       "UserCount=3\r\n", nullptr, app::kRunDone, {"完成：[Accounts]"}, {}},
      // What the programs did before the step failed is in the log.
      {"the boot image's packer too slow", kPxeRoad + "\r\n" + kRplRoad,
       [](Server& s) { s.host.MakeSlow("rplimage", 120000); }, app::kRunStopped,
       {"失败：[BootImage] 没有完成：*", "完成：[Pdk]", "  程序新建目录 c:\\temp\\bootimg",
        "  程序新建 c:\\temp\\bootimg\\WINBOOT\\PROTOCOL.INI"},
       {"C:\\Program Files\\Intel\\Pxe\\Pdk\\system\\images\\x86pc\\undi\\dosundi\\dosundi.1",
        "C:\\WINNT\\rpl\\bblock\\ndis\\rtsnd.dos"}},
      {"a vendor prefix rplcmd refuses", "[Card]\r\nType=RTL 8139\r\nVendorPrefix=00001B\r\n\r\n" + kRplRoad.substr(kRplRoad.find("[Install]")),
       nullptr, app::kRunBadFile, {"[Card]（第 1 行）：“配置Rpl”会拒绝：*厂商前缀 00001B 已经属于另一块网卡*什么也没有做。"}},
      {"a prefix the file does not give", "[Card]\r\nType=RTL 8139\r\n", nullptr, app::kRunStopped,
       {"失败：[Card] 没有完成：应答文件没有回答这个问题：请在 [Card] 中加上 VendorPrefix=…。"}, {}},
      // Each step ends when the check finds its items ready.
      {"rplcmd that says it added the records, and did not", kRplRoad,
       [](Server& s) {
         s.host.RegisterStandin("rplcmd", [real = standins::OnSimHost(&standins::RplcmdMain)](
                                              platform::SimHost& h, const std::vector<std::string>& args,
                                              const std::string& input, std::string* out) {
           return input.rfind("V\r\nL\r\n", 0) == 0 ? real(h, args, input, out) : 0;
         });
       },
       app::kRunStopped, {"失败：[Card] 没有完成：检查服务器认为“网卡 RTL 8139（rtsnd）”缺少：*"},
       {"C:\\WINNT\\rpl\\rplfiles\\profiles\\NE2KWIN\\suboot\\io.sys"}},
      {"a card registered before, and the file's prefix not", "[Card]\r\nType=RTL 8139\r\nVendorPrefix=0A0B0C\r\n",
       [](Server& s) {
         s.Register(check_test::kRtl8139);
         s.form.reset();
       },
       app::kRunDone, {"  网卡已经注册，但厂商前缀 0A0B0C 还没有注册：按“配置Rpl”注册它", "完成：[Card]"}, {}},
      // 更  新 before the second installation lists the profiles and
      // leaves NE2KWIN's auto-registration as [AutoRegistration] set it.
      {"an installation after auto-registration",
       "[AutoRegistration]\r\nProfile=NE2KWIN\r\nOn=Yes\r\n" + kRplRoad.substr(0, kRplRoad.find("[Install]")) +
           "[Install]\r\nProfile=WIN2\r\n",
       [](Server& s) {
         app::TForm1& f = s.Form();
         s.Register(check_test::kRtl8139);
         f.BitBtn12Click();
         Server::Choose(f.ComboBox2, "NE2KWIN");
         f.BitBtn11Click();
         s.form.reset();
         s.MakeDirs("C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN2\\wksta.pro");
       },
       app::kRunDone, {"完成：[Install]"}, {}, false, kLog, {},
       {{"C:\\WINNT\\rpl\\rplfiles\\profiles\\NE2KWIN\\suboot\\winboot\\startnet.bat", kAutoRegister}}},
      // The file saved on a server set up by hand runs on a new one whose
      // workstations have not uploaded their Windows: the names file waits.
      {"the saved file on a new server", SavedByHand(),
       [](Server& s) { std::filesystem::remove_all(s.host.NativePath("D:\\PVDROOT")); }, app::kRunDone,
       {"  D:\\PVDROOT\\windows 还没有（工作站的 Windows 还没有上传）：*", "完成：[BootImage]", "完成：[AutoRegistration]",
        "完成：[Service]"}, {"D:\\PVDROOT\\windows\\netnames.db"}, true, kLog, {},
       {{"C:\\WINNT\\rpl\\rplfiles\\profiles\\NE2KWIN\\suboot\\winboot\\startnet.bat", kAutoRegister}}},
      {"installing before any card is detected", "[Install]\r\nProfile=NE2KWIN\r\n", nullptr, app::kRunBadFile,
       {"[Install]（第 1 行）：“安装”会拒绝：*先按“配置Rpl”注册网卡。什么也没有做。"}},
      // A key a step needs is asked for before anything is done: an
      // auto-registration without On is not taken as Off.
      {"a key the step needs, missing", kPxeRoad + "[AutoRegistration]\r\nProfile=NE2KWIN\r\n", nullptr,
       app::kRunBadFile, {"[AutoRegistration]（第 13 行）缺少键 On：请加上它。什么也没有做。"}},
      // An earlier run's script is taken back with the refused registration:
      // it was there, so it is deleted, not made.
      {"rplcmd refusing the records", "[Card]\r\nType=RTL 8139\r\nVendorPrefix=00E04C\r\n",
       [](Server& s) {
         s.Put("C:\\WINNT\\rpltemp.bat", "an earlier run's script\r\n");
         s.host.SetFileAttributes("C:\\WINNT\\rpl\\rpldb.txt", platform::kAttrReadOnly);
       },
       app::kRunStopped, {"失败：[Card] 没有完成：*", "  删除 C:\\WINNT\\rpltemp.bat", "!  写入 C:\\WINNT\\rpltemp.bat"}, {}},
      // The log is judged before anything is done: one that cannot be
      // written (more below), or that would be written over the answer file.
      {"the old log read-only", kPxeRoad,
       [](Server& s) {
         s.Put(kLog, "the old log\r\n");
         s.host.SetFileAttributes(kLog, platform::kAttrReadOnly);
       },
       app::kRunBadFile, {"the old log"}},
      {"the log's write cut short", kPxeRoad, nullptr, app::kRunBadFile, {}, {}, false, kLog,
       {platform::Fault::kChange, 0}},
      {"the log holds the answer file's bytes", kPxeRoad,
       [](Server& s) { s.Put("E:\\reports\\copy.ini", platform::ToCodePage(kPxeRoad)); }, app::kRunBadFile, {},
       {}, false, "E:\\reports\\copy.ini"},
      {"a card the list does not have", "[Card]\r\nType=NE2000\r\n", nullptr, app::kRunBadFile,
       {"第 2 行：Type 只能是 RTL 8139、RTL 8029 或 Other。什么也没有做。"}, {}},
      {"a yes/no key with another value", "[Service]\r\nStart=Maybe\r\n", nullptr, app::kRunBadFile,
       {"第 2 行：Start 只能是 Yes 或 No。什么也没有做。"}, {}},
      {"no file", "<none>", nullptr, app::kRunBadFile,
       {"无人值守运行 C:\\Korrin\\answers.ini", "无法读取应答文件 C:\\Korrin\\answers.ini。什么也没有做。"}, {}},
      {"UTF-8", "[Accounts]\r\nSharedDirectory=D:\\无盘站\r\n", nullptr, app::kRunBadFile,
       {"第 2 行：不是 GBK（代码页 936）文本；请用“记事本”另存为 ANSI 编码。什么也没有做。"}, {}, true},
  };
  // A log whose folder is missing, and the answer file named as it is, from
  // the current folder and from the drive's root: each refused, nothing done.
  for (const char* log :
       {"C:\\nowhere\\run.log", "c:/KORRIN/./reports/../Answers.INI. ", "answers.ini", "\\korrin\\\\answers.ini"})
    rows.push_back({log, kPxeRoad, nullptr, app::kRunBadFile, {}, {}, false, log});
  for (const Row& row : rows) {
    DemoServer s;
    if (row.fault) row.fault(s);
    if (row.answers != "<none>") s.Put(kAnswers, row.raw ? row.answers : platform::ToCodePage(row.answers));
    const std::string before = s.Everything() + s.Get("E:\\reports\\copy.ini");
    // The program's own host calls, with the row's fault where it plants one.
    platform::FaultHost host(s.host);
    host.Plant(row.planted);
    EXPECT_EQ(app::RunCommand(host, {"/run", kAnswers, "/log", row.log_path}), row.status)
        << row.name << "\n" << LogOf(s);
    std::vector<std::string> log;
    ASSERT_TRUE(platform::ReadTextLines(s.host, kLog, &log) || row.log.empty()) << row.name;
    // A line the log must hold, or with "!" before it, must not.
    for (const std::string& line : row.log) {
      const bool absent = line[0] == '!';
      bool found = false;
      for (const std::string& l : log) found = found || platform::MatchesMask(l, line.substr(absent ? 1 : 0));
      EXPECT_NE(found, absent) << row.name << ": " << line << "\n" << LogOf(s);
    }
    for (const char* file : row.untouched) EXPECT_FALSE(s.host.FileExists(file)) << row.name << ": " << file;
    for (const auto& [file, bytes] : row.holds) EXPECT_EQ(s.Get(file), bytes) << row.name << ": " << file;
    s.host.DeleteFile(kLog);
    if (row.status == app::kRunBadFile) {
      EXPECT_EQ(FirstDifference(s.Everything() + s.Get("E:\\reports\\copy.ini"), before), "") << row.name;
    }
  }
  Server s;
  EXPECT_EQ(app::RunCommand(s.host, {"/check", kLog}), -1);
  EXPECT_EQ(app::RunCommand(s.host, {"/run"}), app::kRunBadFile);
  EXPECT_EQ(app::RunCommand(s.host, {"/run", kAnswers, "/log"}), app::kRunBadFile);
}

TEST(AnswerRun, TheSavedFileRunsTheFieldsAsTheyStand) {
  DemoServer s;
  app::TForm1& f = s.Form();
  f.Edit1.SetText("D:\\无盘站");
  f.Edit3.SetText("12");
  Server::Choose(f.ComboBox1, "Other NetCARD");
  f.settings.NdisDriverPath = "C:\\DRIVERS\\NIC\\MYNIC.DOS";
  f.GetNetDrv.MACTALK.SetText("001122");
  // Cancelled: nothing written. Then saved where the administrator chose;
  // a value with a space at its start stands in quotes.
  f.A1Click();
  f.Edit2.SetText(" WS");
  s.ui.AnswerSaveFile("E:\\reports\\room2.ini");
  f.A1Click();
  s.ui.AnswerSaveFile("Q:\\room2.ini");
  f.A1Click();
  EXPECT_EQ(s.journal(),
            (std::vector<platform::SimEvent>{
                {"save", "C:\\Korrin\\answers.ini", "保存应答文件", 0},
                {"save", "C:\\Korrin\\answers.ini", "保存应答文件", 1},
                {"message",
                 "应答文件已保存到 E:\\reports\\room2.ini。\r\n在另一台服务器上，在本程序的目录中运行\r\n"
                 "    Server.exe /run E:\\reports\\room2.ini /log 日志文件\r\n即可按它完成同样的设置。",
                 "保存应答文件", platform::kMbIconInformation},
                {"save", "C:\\Korrin\\answers.ini", "保存应答文件", 1},
                {"message", "无法写入应答文件 Q:\\room2.ini（目录不存在、文件只读或磁盘已满），原来的文件保持原样。",
                 "保存应答文件", platform::kMbIconExclamation}}));
  // Field values the file carries as they are, or refuses, naming the
  // field, with nothing written: what is saved reads back the same.
  struct Hostile {
    platform::Edit app::TForm1::*field;
    const char* key;
    std::string value;
    const char* refused;  // the message's start, or nullptr: saved
  } hostile[] = {
      {&app::TForm1::Edit2, "UserPrefix", "WS\r\n[Service]\r\nStart=Yes", "“用户前辍”中有回车或换行："},
      {&app::TForm1::Edit4, "WorkGroup", "PXE\rUSERS", "“工作组名”中有回车或换行："},
      {&app::TForm1::Edit1, "SharedDirectory", "D:\\PVD\nROOT", "“共享目录”中有回车或换行："},
      {&app::TForm1::Edit3, "UserCount", std::string("1\0" "2", 3), "“用户数目”中有零字节："},
      {&app::TForm1::Edit1, "SharedDirectory", "D:\\\xF0\x9F\x98\x80", "“共享目录”中有 GBK（代码页 936）之外的字符："},
      {&app::TForm1::Edit2, "UserPrefix", "A\" ;B", "“用户前辍”中的双引号会让它读回来成为“A”："},
      {&app::TForm1::Edit2, "UserPrefix", " WS\t", nullptr},
      {&app::TForm1::Edit2, "UserPrefix", "WS ;x", nullptr},
      {&app::TForm1::Edit4, "WorkGroup", "\"G\"", nullptr},
      {&app::TForm1::Edit4, "WorkGroup", "W\"S ;x\"", nullptr},
      {&app::TForm1::Edit1, "SharedDirectory", ";D\t;", nullptr},
  };
  for (const Hostile& row : hostile) {
    platform::Edit& field = f.*row.field;
    const std::string kept = field.Text();
    field.SetText(row.value);
    s.journal().clear();
    s.ui.AnswerSaveFile("E:\\reports\\hostile.ini");
    f.A1Click();
    field.SetText(kept);
    const std::string saved = s.Get("E:\\reports\\hostile.ini");
    s.host.DeleteFile("E:\\reports\\hostile.ini");
    ASSERT_EQ(s.journal().size(), 2u) << row.value;
    if (row.refused) {
      EXPECT_EQ(s.journal()[1].text.rfind(row.refused, 0), 0u) << s.journal()[1].text;
      EXPECT_EQ(saved, "<absent>") << row.value;
      continue;
    }
    app::AnswerFile back;
    std::string error;
    ASSERT_TRUE(app::ParseAnswerFile(saved, &back, &error)) << row.value << ": " << error;
    EXPECT_EQ(back.sections.at(0).Find(row.key) ? back.sections[0].Find(row.key)->value : "<none>", row.value);
  }
  EXPECT_EQ(platform::FromCodePage(s.Get("E:\\reports\\room2.ini")),
            "[Accounts]\r\nSharedDirectory=D:\\无盘站\r\nUserPrefix=\" WS\"\r\nWorkGroup=PXEUSERS\r\nUserCount=12\r\n"
            "NamesFile=No\r\n\r\n[Pdk]\r\nInstall=No\r\n\r\n"
            "[Card]\r\nType=Other\r\nVendorPrefix=001122\r\nDriver=C:\\DRIVERS\\NIC\\MYNIC.DOS\r\n\r\n"
            "[Service]\r\nStart=Yes\r\n");
}

}  // namespace
