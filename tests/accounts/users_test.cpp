// The account buttons at a simulated server: their plans (a server and the
// fields, and what the plan says: the refusal or each change, and the check's
// states that follow), the button doing what its plan said, and the script.
#include "accounts/users.h"

#include "platform/textfile.h"
#include "tests/app/server_check_session.h"
#include "tests/near_converter.h"
#include "tests/recording_peer.h"

namespace {

using platform::SimEvent;
using F = accounts::AccountFields;

const char kDone[] = "目录创建完成，正在创建用户，请稍后...";
const std::vector<SimEvent> kGenerated = {{"run", "C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat", "", 0},
                                          {"message", kDone, "进程提示", 0}};

// Lays out a server: "PATH\" a folder, "PATH=BYTES" a file, or a word and a
// path: "read-only", "unwritable" (a folder taking nothing new), "deleted".
void Lay(SimMachine& m, const std::vector<std::string>& server) {
  for (const std::string& e : server) {
    const size_t equals = e.find('='), blank = e.find(' ');
    const std::string word = e.substr(0, blank), path = e.substr(blank + 1);
    if (equals != std::string::npos) m.Put(e.substr(0, equals), e.substr(equals + 1));
    else if (e.back() == '\\') m.MakeDirs(e.substr(0, e.size() - 1));
    else if (word == "read-only") m.host.SetFileAttributes(path, platform::kAttrReadOnly);
    else if (word == "unwritable") m.host.MakeUnwritable(path);
    else if (word == "deleted") m.host.DeleteFile(path);
    else ADD_FAILURE() << e;
  }
}

// A server with a drive D:, the system's command interpreter and the main
// window open, its progress bar's steps recorded.
struct Station : SimMachine {
  Station() {
    MakeDirs("D:\\");
    Put("C:\\WINNT\\system32\\command.com", "program");
    Start();
    form->ProgressBar1.Bind(&bar);
    bar.changes.clear();  // the hidden bar at 0, as binding shows it
  }
  RecordingPeer bar;
};

// A plan in lines: the refusal with what to do, or each change ("（不变）"
// before one the plan expects to leave things as they are) and question.
std::string Said(const plan::Plan& p) {
  std::vector<std::string> lines = plan::Describe(p);
  std::string said;
  for (size_t i = 0; i < lines.size(); ++i)
    said += (i ? "\n" : "") + std::string(!p.Refused() && i < p.changes.size() && p.changes[i].refresh ? "（不变）" : "") +
            lines[i];
  return said;
}

F With(std::string F::*field, const std::string& value, F f = {"D:\\PVDROOT", "USER", "3", "PXEUSERS"}) {
  f.*field = value;
  return f;
}
const F k3 = With(&F::count, "3");
const std::string kMade = "建立目录 D:\\PVDROOT\\USER01\n建立目录 D:\\PVDROOT\\USER02\n建立目录 D:\\PVDROOT\\USER03\n";
const std::string kBak = "c:\\temps.bak（D:\\PVDROOT）\n", kScript = "c:\\usertemp.bat（账户脚本：3 个用户）\n";
const std::string kRun = "运行 C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat（可能改动：本机的用户、组和共享）";
const std::string kNotRun = "账户脚本没有写入，也没有运行，没有创建用户。", kPress = "按“生成用户及目录”", kThen = "，再" + kPress;
const std::string kFolders = "以下目录无法创建（驱动器不存在、上级目录不可写，或已有同名的文件）：";
std::string Folders(const std::string& list) { return "拒绝：" + kFolders + " " + list + " " + kNotRun + "\n"; }
const std::string kCount = "处理：在“用户数目”中填 30（工作站的个数），" + kPress;
const std::string kUsers = "D:\\PVDROOT\\USER01\\", kOld = "c:\\usertemp.bat=net user OLD OLD /add\r\n";
const std::string kAllUsers[] = {kUsers, "D:\\PVDROOT\\USER02\\", "D:\\PVDROOT\\USER03\\", "c:\\temps.bak=D:\\PVDROOT\r\n"};

// Each row: the plan says what the row says and the check follows it
// (共享目录, 用户目录, 工作站信息文件); then the button, pressed with the
// fields, shows the refusal, or the message the row gives. That making a
// plan changes nothing, a refusal nothing, and a press nothing its plan does
// not list, and that once the users are on their way the check finds the
// shared directory (kept in c:\temps.bak for the next start) and the user
// directories ready, the simulated administrator checks at every press.
TEST(AccountPlan, EachServerAndFieldsGiveTheirPlanAndTheButtonDoesIt) {
  const struct {
    const char* name;
    std::vector<std::string> server;
    F fields;
    std::string said;
    const char* marks;
    std::string pressed = kDone;  // the press's last message, when its plan goes ahead
  } rows[] = {
      {"a fresh server", {}, k3, "建立目录 D:\\PVDROOT\n" + kMade + "写入 " + kBak + "写入 " + kScript + kRun, "××！"},
      // The exit button took the script: the folders stand for the accounts.
      {"everything made, the script gone", {kAllUsers[0], kAllUsers[1], kAllUsers[2], kAllUsers[3], "D:\\PVDROOT\\windows\\netnames.db="},
       k3, "（不变）替换 " + kBak + "（不变）写入 " + kScript + "（不变）" + kRun, "√√√"},
      {"a user folder gone, c:\\temps.bak naming another directory",
       {kUsers, "D:\\PVDROOT\\user03\\", "D:\\PVDROOT\\windows\\", "c:\\temps.bak=E:\\OLD\r\n", kOld}, k3,
       "建立目录 D:\\PVDROOT\\USER02\n替换 " + kBak + "替换 " + kScript + kRun, "△××"},
      {"a drive that is not there", {}, With(&F::shared_directory, "Q:\\PVDROOT"),
       Folders("Q:\\PVDROOT") + "处理：在“共享目录”中填 D:\\PVDROOT，" + kPress, "××！"},
      {"the shared directory is a file", {"D:\\PVDROOT=a file"}, k3,
       Folders("D:\\PVDROOT") + "需管理员：把文件 D:\\PVDROOT 改名或移走" + kThen, "！！！"},
      // The users are there, but the button would not go ahead.
      {"a read-only c:\\temps.bak", {kAllUsers[0], kAllUsers[1], kAllUsers[2], kAllUsers[3], "read-only c:\\temps.bak"}, k3,
       "拒绝：无法写入 c:\\temps.bak（文件只读、被占用或磁盘已满），账户脚本没有运行，没有创建用户。\n需管理员：先去掉 c:\\temps.bak 的只读属性" +
           kThen,
       "！√！"},
      {"a folder in the script's place", {"c:\\usertemp.bat\\"}, k3,
       "拒绝：无法写入账户脚本 c:\\usertemp.bat（文件只读、被占用或磁盘已满），没有创建用户。\n需管理员：先把目录 c:\\usertemp.bat 改名或移走" + kThen,
       "！！！"},
      {"no command interpreter", {"deleted C:\\WINNT\\system32\\command.com"}, k3,
       "拒绝：无法启动账户脚本 C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat，没有创建用户。\n"
       "需管理员：把系统的 command.com 放回 C:\\WINNT\\system32 中" + kThen, "！！！"},
      // Failures no plan foresees: nothing is written after a folder that
      // could not be made, nor run after a script that could not be written.
      {"a shared directory that takes nothing new",
       {"D:\\PVDROOT\\USER02\\", "unwritable D:\\PVDROOT", "c:\\temps.bak=E:\\OLD\r\n", kOld}, k3,
       "建立目录 D:\\PVDROOT\\USER01\n建立目录 D:\\PVDROOT\\USER03\n替换 " + kBak + "替换 " + kScript + kRun, "△×！",
       kFolders + "\r\nD:\\PVDROOT\\USER01\r\nD:\\PVDROOT\\USER03\r\n" + kNotRun},
      // Fields the button refuses: typing what the advice names mends them.
      {"a count beyond what the prefix leaves digits for", {"D:\\PVDROOT\\"}, {"D:\\PVDROOT", "ABCDEFGHIJKLMNOPQR", "100", "PXEUSERS"},
       "拒绝：“用户数目”必须在 0 到 99 之间：用户名最长 20 个字符，“用户前辍”占了 18 个，编号只能有两位，请改正后再试。\n" + kCount, "√×！"},
      {"a shared directory net will not share, and no count", {}, {"D:\\PV;ROOT", "USER", "abc", "PXEUSERS"},
       "拒绝：“共享目录”中不能含有“;”：net 不接受含有它的共享名，请改正后再试。\n"
       "处理：在“共享目录”中填 D:\\PVROOT，在“用户数目”中填 30（工作站的个数），" + kPress, "××！"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Station s;
    Lay(s, row.server);
    s.journal().clear();
    const plan::Plan users = accounts::PlanUsers(s.host, row.fields);
    const plan::Plan names = accounts::PlanNamesFile(s.host, row.fields.shared_directory);
    EXPECT_EQ(Said(users), row.said);
    EXPECT_EQ(CheckMarks(app::Road::kAccounts, {users, names}, {"共享目录", "用户目录", "工作站信息文件"}), row.marks);

    check_test::TypeAccounts(*s.form, row.fields);
    s.form->BitBtn1Click();
    if (users.Refused()) {
      EXPECT_EQ(s.journal(), (std::vector<SimEvent>{{"message", users.message, "morva提示", platform::kMbIconExclamation}}));
      continue;
    }
    EXPECT_EQ(s.journal().empty() ? "" : s.journal().back().text, row.pressed);
    // A failure before the script is written leaves an earlier run's
    // c:\temps.bak and script as they were.
    if (row.pressed != kDone) {
      EXPECT_EQ(s.Get("c:\\usertemp.bat"), kOld.substr(16));
      EXPECT_EQ(s.Get("c:\\temps.bak"), "E:\\OLD\r\n");
      continue;
    }
    if (&row == rows) {
      EXPECT_EQ(s.bar.changes,
                (std::vector<std::string>{"visible 1", "position 33", "position 66", "position 100", "position 100", "visible 0"}));
    }
  }
}

// The plan refuses each value in its field (the others as the window starts)
// with the warning that names the field and what it holds; it takes the
// values at the edges of what the script and net take.
TEST(AccountPlan, RefusesFieldsTheScriptCannotCarry) {
  const auto C = &F::count, P = &F::prefix, G = &F::group, S = &F::shared_directory;
  const struct {
    std::string F::*field;
    std::string value, words;  // the warning holds the field's name and these words; none for a value taken
    const char* count = "30";
  } cases[] = {
      // The count is a decimal int, from 0 to what one press makes.
      {C, "12abc", "十进制整数"}, {C, "2147483648", "十进制整数"}, {C, "0x10", "十进制整数"}, {C, "+", "十进制整数"},
      {C, "", "十进制整数"}, {C, "-1", "不能小于 0"}, {C, "251", "0 到 250 之间"}, {C, "2147483647", "0 到 250 之间"},
      {C, " +7 ", ""}, {C, "+250", ""}, {C, " 0 ", ""}, {P, "A\nB", "换行"}, {P, "A\rformat c:", "换行"},
      {P, "ABCDEFGHIJKLMNOPQRS", "最长 18 个字符"}, {P, "工作站用户工作站用户工作站用户工作站用", "最长 18 个字符"},
      {S, "D:\\A\r\nformat c:", "换行"}, {P, "", "不能为空"}, {G, "", "不能为空"}, {S, "", "不能为空"},
      // A character code page 936 cannot carry (the converter writes a near
      // one for "Ç" and "À", and 0x80, which reads back as no character, for "€").
      {P, "Ç", "代码页"}, {P, "U€", "代码页"}, {G, "กลุ่ม", "代码页"}, {G, "€", "代码页"}, {S, "D:\\한국", "代码页"}, {S, "D:\\À", "代码页"},
      // The shared directory is one directory below a drive root, unquoted.
      {S, "D:\\PVD ROOT", "空格"}, {S, "D:\\", "根目录"}, {S, "D:", "根目录"}, {S, "PVDROOT", "根目录"}, {S, "D:PVDROOT", "根目录"},
      {S, "\\\\SERVER\\SHARE", "根目录"}, {S, "D:\\WIN\\SHARE", "根目录"}, {S, "D:\\...", "“.”"}, {P, "U S", "空格"},
      {P, "U\tS", "制表符"}, {G, "G\t", "制表符"}, {P, "U\x01", "控制字符 0x01"}, {P, "U\x7F", "控制字符 0x7F"},
      {G, "G\x1F", "控制字符 0x1F"}, {G, "...", "“.”"}, {G, std::string(257, 'G'), "256"}, {G, std::string(256, 'G'), ""},
      // The group or a share would be one of the users': net refuses it beside them.
      {G, "kotavei", "同名"}, {G, "user05", "同名"}, {G, "USER30", "同名"}, {S, "D:\\USER07", "USER07 的共享"}, {G, "USER31", ""},
      {P, "W-S.", ""}, {G, "G_1!#$@", ""},
      // The longest prefix, and characters, not bytes: 17 Chinese ones leave three digits.
      {P, "ABCDEFGHIJKLMNOPQR", "", "99"}, {P, "工作站用户工作站用户工作站用户工作", "", "100"},
  };
  NearConverter near;
  Station s;
  auto refused = [&](std::string F::*field, const std::string& value, const std::string& words, const char* count) {
    F f = With(C, count);
    f.*field = value;
    const plan::Plan p = accounts::PlanUsers(s.host, f);
    const char* named = field == C ? "用户数目" : field == P ? "用户前辍" : field == G ? "工作组名" : "共享目录";
    EXPECT_EQ(p.Refused(), !words.empty()) << value << ": " << p.message;
    if (words.empty()) return;
    EXPECT_NE(p.message.find(std::string("“") + named + "”"), std::string::npos) << value << ": " << p.message;
    EXPECT_NE(p.message.find(words), std::string::npos) << value << ": " << p.message;
  };
  for (const auto& c : cases) refused(c.field, c.value, c.words, c.count);
  // The characters of batch lines, and those net refuses in a name, in each name.
  for (char c : std::string("&|<>^\"%/\\[]:;=,+*?")) {
    const std::string shown = std::string("“") + c + "”";
    refused(P, std::string("U") + c, shown, "30");
    refused(G, std::string("G") + c, shown, "30");
    if (c != '\\') refused(S, std::string("D:\\P") + c, shown, "30");
  }
}

// The defaults: the whole script, started unseen. While it runs, the
// command interpreter reads it line by line: a second press is refused and
// writes nothing, and the exit button keeps the file. Once it has ended the
// button writes it again over the same directories, leaving what is in them,
// and the exit button deletes it.
TEST(GenerateUsers, TheScriptIsWrittenWholeAndLeftAloneWhileItRuns) {
  Station s;
  std::string expected = "net group PXEUSERS /add\r\nnet share PVDROOT=D:\\PVDROOT\r\n"
                         "net user kotavei kotavei /add /passwordchg:no\r\nnet group PXEUSERS kotavei /add\r\n";
  std::map<std::string, std::string> dirs = {{"USER05/keep.txt", "data attributes 0"}};
  for (int i = 1; i <= 30; ++i) {
    const std::string name = (i < 10 ? "USER0" : "USER") + std::to_string(i);
    expected += "net user " + name + " " + name + " /add /passwordchg:no\r\nnet share " + name + "=D:\\PVDROOT\\" + name +
                "\r\nnet group PXEUSERS " + name + " /add\r\n";
    dirs[name] = "<folder>";
  }
  s.host.HoldRunning("command.com");
  s.form->BitBtn1Click();
  s.Put("D:\\PVDROOT\\USER05\\keep.txt", "data");
  s.form->Edit3.SetText("31");
  s.journal().clear();
  s.form->BitBtn1Click();
  s.form->BitBtn4Click();
  EXPECT_EQ(s.journal().front(), (SimEvent{"message", "上一次的账户脚本 c:\\usertemp.bat 仍在运行，用户还在创建中。请等它结束后再生成用户及目录。",
                                           "morva提示", 48}));
  EXPECT_EQ(s.Get("c:\\usertemp.bat"), expected);
  EXPECT_EQ(s.Tree("D:\\PVDROOT"), dirs);
  s.host.FinishHeld();
  s.form->Edit3.SetText("30");
  s.journal().clear();
  s.form->BitBtn1Click();
  EXPECT_EQ(s.journal(), kGenerated);
  EXPECT_EQ(s.Tree("D:\\PVDROOT"), dirs);
  s.host.FinishHeld();
  s.form->BitBtn4Click();
  EXPECT_EQ(s.Get("c:\\usertemp.bat"), "<absent>");
}

// The names file's plan (making it changes nothing), its check item, then
// the button: Notepad follows the shared directory field, and starts even
// when the file could not be made.
TEST(NamesFile, OpensAnExistingFileOrCreatesItWhenTheAdministratorAgrees) {
  const std::string kFile = "D:\\PVDROOT\\windows\\netnames.db", kNotepad = "C:\\WINNT\\system32\\notepad.exe " + kFile;
  const std::string kOpen = "运行 " + kNotepad + "（可能改动：" + kFile + "）";
  const std::string kMake = "写入 " + kFile + "（空文件）\n" + kOpen + "\n提问：netnames.db不存在，是否创建它?";
  const SimEvent kQuestion = {"message", "netnames.db不存在，是否创建它?", "提示", 1}, kOpened = {"run", kNotepad, "", 1};
  const struct {
    std::string server, said;
    int answer;
    const char* mark;
    std::vector<SimEvent> events;
    const char* content;
  } cases[] = {
      {kFile + "=AA-BB\r\n", "（不变）" + kOpen, platform::kIdOk, "√", {kOpened}, "AA-BB\r\n"},
      {"D:\\PVDROOT\\windows\\", kMake, platform::kIdOk, "×", {kQuestion, kOpened}, ""},
      {"D:\\PVDROOT\\windows\\", kMake, platform::kIdCancel, "×", {kQuestion}, "<absent>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.server);
    Station m;
    Lay(m, {c.server});
    m.journal().clear();
    const plan::Plan p = accounts::PlanNamesFile(m.host, "D:\\PVDROOT");
    EXPECT_EQ(Said(p), c.said);
    EXPECT_EQ(CheckMarks(app::Road::kAccounts, {p}, {"工作站信息文件"}), c.mark);
    m.ui.Answer(c.answer);
    m.form->BitBtn8Click();
    EXPECT_EQ(m.journal(), c.events);
    EXPECT_EQ(m.Get(kFile), c.content);
  }
}

}  // namespace
