// The account buttons at a simulated server: their plans (a server and the
// fields, and what the plan says: the refusal or each change, and the check's
// states that follow), the button doing what its plan said, and the script.
#include "accounts/users.h"

#include "app/server_check_parts.h"
#include "platform/textfile.h"
#include "tests/near_converter.h"
#include "tests/recording_peer.h"
#include "tests/sim_session.h"

namespace {

using platform::SimEvent;

const char kDone[] = "目录创建完成，正在创建用户，请稍后...";
const std::vector<SimEvent> kGenerated = {{"run", "C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat", "", 0},
                                          {"message", kDone, "进程提示", 0}};

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
  // The directories below `dir`, in the order of their numbers: USER99 before USER100.
  std::vector<std::string> Subdirectories(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& [name, what] : Tree(dir))
      if (what == "<folder>" && name.find('/') == std::string::npos) names.push_back(name);
    std::stable_sort(names.begin(), names.end(),
                     [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    return names;
  }
  // Every file and folder of C: and D:, by its Windows path.
  std::map<std::string, std::string> Everything() {
    std::map<std::string, std::string> all;
    for (const char* drive : {"C:", "D:"})
      for (const auto& [relative, what] : Tree(drive)) {
        std::string path = std::string(drive) + "\\" + relative;
        std::replace(path.begin(), path.end(), '/', '\\');
        all[path] = what;
      }
    return all;
  }
  RecordingPeer bar;
};

// A plan in lines: the refusal with what to do, or each change ("（不变）"
// before one the plan expects to leave things as they are), question and unknown.
std::string Said(const plan::Plan& p) {
  std::vector<std::string> lines = plan::Describe(p);
  for (size_t i = 0; !p.Refused() && i < p.changes.size(); ++i)
    if (p.changes[i].refresh) lines[i] = "（不变）" + lines[i];
  std::string said;
  for (const std::string& line : lines) said += (said.empty() ? "" : "\n") + line;
  return said;
}

// The check's items of the plans, as "mark item" joined by "，".
std::string States(std::initializer_list<plan::Plan> plans) {
  app::ServerCheck check;
  for (const plan::Plan& p : plans) app::AddPlan(&check, app::Road::kAccounts, p);
  std::string states;
  for (const app::CheckItem& item : check.items)
    states += (states.empty() ? "" : "，") + std::string(app::StateMark(item.state)) + item.what;
  return states;
}

const accounts::AccountFields k3 = {"D:\\PVDROOT", "USER", "3", "PXEUSERS"};
accounts::AccountFields With(std::string accounts::AccountFields::*field, const std::string& value) {
  accounts::AccountFields f = k3;
  f.*field = value;
  return f;
}
using F = accounts::AccountFields;
const std::string kMade = "建立目录 D:\\PVDROOT\\USER01\n建立目录 D:\\PVDROOT\\USER02\n建立目录 D:\\PVDROOT\\USER03\n";
const std::string kScript = "c:\\usertemp.bat（账户脚本：3 个用户）\n";
const std::string kRun = "运行 C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat（可能改动：本机的用户、组和共享）";
const std::string kFolders = "拒绝：以下目录无法创建（驱动器不存在、上级目录不可写，或已有同名的文件）： ";
const std::string kNotRun = " 账户脚本没有写入，也没有运行，没有创建用户。\n";
const std::string kPress = "按“生成用户及目录”";
const char kNoNames[] = "！工作站信息文件";

// Each row: making the plans changes nothing; the plan says what the row
// says and the check follows it; then the button, pressed with the fields,
// shows the refusal and changes nothing, or changes only what the plan
// lists and, when it says the users are on their way, leaves a plan with
// nothing to do.
TEST(AccountPlan, EachServerAndFieldsGiveTheirPlanAndTheButtonDoesIt) {
  const struct {
    const char* name;
    void (*arrange)(Station&);
    accounts::AccountFields fields;
    std::string said, states;
    std::string pressed = "";  // the message of a press that fails beyond the plan
  } rows[] = {
      {"a fresh server", [](Station&) {}, k3,
       "建立目录 D:\\PVDROOT\n" + kMade + "写入 c:\\temps.bak（D:\\PVDROOT）\n写入 " + kScript + kRun,
       std::string("×共享目录，×用户目录，") + kNoNames},
      {"no users", [](Station&) {}, With(&F::count, "0"),
       "建立目录 D:\\PVDROOT\n写入 c:\\temps.bak（D:\\PVDROOT）\n写入 c:\\usertemp.bat（账户脚本：0 个用户）\n" + kRun,
       std::string("×共享目录，×用户目录，") + kNoNames},
      // The exit button took the script: the folders stand for the accounts.
      {"everything made, the script gone",
       [](Station& s) {
         for (const char* dir : {"USER01", "USER02", "USER03", "windows"}) s.MakeDirs(std::string("D:\\PVDROOT\\") + dir);
         s.Put("D:\\PVDROOT\\windows\\netnames.db", "");
         s.Put("c:\\temps.bak", "D:\\PVDROOT\r\n");
       },
       k3, "（不变）替换 c:\\temps.bak（D:\\PVDROOT）\n（不变）写入 " + kScript + "（不变）" + kRun,
       "√共享目录，√用户目录，√工作站信息文件"},
      {"a user folder gone, c:\\temps.bak naming another directory",
       [](Station& s) {
         for (const char* dir : {"USER01", "user03", "windows"}) s.MakeDirs(std::string("D:\\PVDROOT\\") + dir);
         s.Put("c:\\temps.bak", "E:\\OLD\r\n");
         s.Put("c:\\usertemp.bat", "net user OLD OLD /add\r\n");
       },
       k3, "建立目录 D:\\PVDROOT\\USER02\n替换 c:\\temps.bak（D:\\PVDROOT）\n替换 " + kScript + kRun,
       "△共享目录，×用户目录，×工作站信息文件"},
      {"a drive that is not there", [](Station&) {}, With(&F::shared_directory, "Q:\\PVDROOT"),
       kFolders + "Q:\\PVDROOT" + kNotRun + "处理：在“共享目录”中填 D:\\PVDROOT，" + kPress,
       std::string("×共享目录，×用户目录，") + kNoNames},
      {"the shared directory is a file", [](Station& s) { s.Put("D:\\PVDROOT", "a file"); }, k3,
       kFolders + "D:\\PVDROOT" + kNotRun + "需管理员：把文件 D:\\PVDROOT 改名或移走，再" + kPress,
       std::string("！共享目录，！用户目录，") + kNoNames},
      {"user folders that are files",
       [](Station& s) {
         s.Put("D:\\PVDROOT\\USER02", "a file");
         s.Put("D:\\PVDROOT\\USER03", "a file");
       },
       k3,
       kFolders + "D:\\PVDROOT\\USER02 D:\\PVDROOT\\USER03" + kNotRun +
           "需管理员：把文件 D:\\PVDROOT\\USER02、D:\\PVDROOT\\USER03 改名或移走，再" + kPress,
       std::string("√共享目录，！用户目录，") + kNoNames},
      {"a read-only c:\\temps.bak",
       [](Station& s) {
         s.Put("c:\\temps.bak", "D:\\PVDROOT\r\n");
         s.host.SetFileAttributes("c:\\temps.bak", platform::kAttrReadOnly);
       },
       k3,
       "拒绝：无法写入 c:\\temps.bak（文件只读、被占用或磁盘已满），账户脚本没有运行，没有创建用户。\n"
       "需管理员：先去掉 c:\\temps.bak 的只读属性，再" + kPress,
       std::string("！共享目录，！用户目录，") + kNoNames},
      {"a folder in the script's place", [](Station& s) { s.MakeDirs("c:\\usertemp.bat"); }, k3,
       "拒绝：无法写入账户脚本 c:\\usertemp.bat（文件只读、被占用或磁盘已满），没有创建用户。\n"
       "需管理员：先把目录 c:\\usertemp.bat 改名或移走，再" + kPress,
       std::string("！共享目录，！用户目录，") + kNoNames},
      {"no command interpreter", [](Station& s) { s.host.DeleteFile("C:\\WINNT\\system32\\command.com"); }, k3,
       "拒绝：无法启动账户脚本 C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat，没有创建用户。\n"
       "需管理员：把系统的 command.com 放回 C:\\WINNT\\system32 中，再" + kPress,
       std::string("！共享目录，！用户目录，") + kNoNames},
      // Typing a shared directory elsewhere does not do without it.
      {"neither the drive nor the command interpreter",
       [](Station& s) { s.host.DeleteFile("C:\\WINNT\\system32\\command.com"); }, With(&F::shared_directory, "Q:\\PVDROOT"),
       kFolders + "Q:\\PVDROOT" + kNotRun + "需管理员：先按“用户目录”一项处理，再在“共享目录”中填 D:\\PVDROOT，" + kPress,
       std::string("！共享目录，！用户目录，") + kNoNames},
      {"an unreadable c:\\temps.bak",
       [](Station& s) {
         s.Put("c:\\temps.bak", "E:\\OLD\r\n");
         s.host.MakeUnreadable("c:\\temps.bak");
       },
       k3, "建立目录 D:\\PVDROOT\n" + kMade + "替换 c:\\temps.bak（D:\\PVDROOT）\n写入 " + kScript + kRun,
       std::string("？共享目录，×用户目录，") + kNoNames},
      // Failures no plan can see: nothing is written after a folder that
      // could not be made, nor run after a script that could not be written.
      {"a shared directory that takes nothing new",
       [](Station& s) {
         s.MakeDirs("D:\\PVDROOT\\USER02");
         s.host.MakeUnwritable("D:\\PVDROOT");
       },
       k3, "建立目录 D:\\PVDROOT\\USER01\n建立目录 D:\\PVDROOT\\USER03\n写入 c:\\temps.bak（D:\\PVDROOT）\n写入 " + kScript + kRun,
       std::string("×共享目录，×用户目录，") + kNoNames,
       "以下目录无法创建（驱动器不存在、上级目录不可写，或已有同名的文件）：\r\nD:\\PVDROOT\\USER01\r\nD:\\PVDROOT\\USER03\r\n"
       "账户脚本没有写入，也没有运行，没有创建用户。"},
      {"a full disk",
       [](Station& s) {
         s.Put("c:\\usertemp.bat", "net user OLD OLD /add\r\n");
         s.host.LimitDiskSpace(200);
       },
       k3, "建立目录 D:\\PVDROOT\n" + kMade + "写入 c:\\temps.bak（D:\\PVDROOT）\n替换 " + kScript + kRun,
       std::string("×共享目录，×用户目录，") + kNoNames,
       "无法写入账户脚本 c:\\usertemp.bat（文件只读、被占用或磁盘已满），没有创建用户。"},
      // Fields the button refuses: typing the ones its advice names mends them.
      {"a count beyond what one press makes", [](Station&) {}, With(&F::count, "2147483647"),
       "拒绝：“用户数目”必须在 0 到 250 之间：一次最多为 250 台工作站建立用户，请改正后再试。\n"
       "处理：在“用户数目”中填 30（工作站的个数），" + kPress,
       std::string("×共享目录，×用户目录，") + kNoNames},
      {"a count beyond what the prefix leaves digits for", [](Station& s) { s.MakeDirs("D:\\PVDROOT"); },
       {"D:\\PVDROOT", "ABCDEFGHIJKLMNOPQR", "100", "PXEUSERS"},
       "拒绝：“用户数目”必须在 0 到 99 之间：用户名最长 20 个字符，“用户前辍”占了 18 个，编号只能有两位，请改正后再试。\n"
       "处理：在“用户数目”中填 30（工作站的个数），" + kPress,
       std::string("√共享目录，×用户目录，") + kNoNames},
      {"a group net refuses", [](Station&) {}, With(&F::group, "PXE USERS"),
       "拒绝：“工作组名”中不能含有空格：net 不接受含有它的组名，请改正后再试。\n需管理员：改正账户一栏后" + kPress,
       std::string("！共享目录，！用户目录，") + kNoNames},
      {"a shared directory two levels deep", [](Station& s) { s.MakeDirs("D:\\PVDROOT\\SUB"); },
       With(&F::shared_directory, "D:\\PVDROOT\\SUB"),
       "拒绝：“共享目录”必须是某个驱动器根目录下的一个目录，例如 D:\\PVDROOT，请改正后再试。\n"
       "处理：在“共享目录”中填 D:\\PVDROOT，" + kPress,
       "×共享目录，×用户目录，！工作站信息文件"},
      {"a shared directory net will not share, and no count",
       [](Station&) {}, {"D:\\PV;ROOT", "USER", "abc", "PXEUSERS"},
       "拒绝：“共享目录”中不能含有“;”：net 不接受含有它的共享名，请改正后再试。\n"
       "处理：在“共享目录”中填 D:\\PVROOT，在“用户数目”中填 30（工作站的个数），" + kPress,
       std::string("×共享目录，×用户目录，") + kNoNames},
      {"an empty shared directory", [](Station&) {}, With(&F::shared_directory, ""),
       "拒绝：“共享目录”不能为空，请填写后再试。\n处理：在“共享目录”中填 D:\\PVDROOT，" + kPress,
       "×共享目录，×用户目录，！工作站信息文件"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Station s;
    row.arrange(s);
    const auto before = s.Everything();
    s.journal().clear();
    const plan::Plan users = accounts::PlanUsers(s.host, row.fields);
    const plan::Plan names = accounts::PlanNamesFile(s.host, row.fields.shared_directory);
    EXPECT_EQ(s.journal(), std::vector<SimEvent>{});
    EXPECT_EQ(s.Everything(), before);
    EXPECT_EQ(Said(users), row.said);
    EXPECT_EQ(States({users, names}), row.states);

    s.form->Edit1.SetText(row.fields.shared_directory);
    s.form->Edit2.SetText(row.fields.prefix);
    s.form->Edit3.SetText(row.fields.count);
    s.form->Edit4.SetText(row.fields.group);
    s.form->BitBtn1Click();
    const auto after = s.Everything();
    if (users.Refused()) {
      EXPECT_EQ(s.journal(), (std::vector<SimEvent>{{"message", users.message, "morva提示", platform::kMbIconExclamation}}));
      EXPECT_EQ(after, before);
      continue;
    }
    ASSERT_FALSE(s.journal().empty());
    EXPECT_EQ(s.journal().back().text, row.pressed.empty() ? kDone : row.pressed);
    for (const auto& [path, what] : after)
      if (!before.count(path) || before.at(path) != what) EXPECT_TRUE(plan::Lists(users, path)) << path;
    if (!row.pressed.empty()) {
      EXPECT_EQ(s.Get("c:\\usertemp.bat"), before.count("C:\\usertemp.bat") ? "net user OLD OLD /add\r\n" : "<absent>");
      continue;
    }
    const plan::Plan again = accounts::PlanUsers(s.host, row.fields);
    for (const plan::Change& c : again.changes)
      EXPECT_TRUE(c.refresh || again.needs.front().unreadable) << plan::Describe(c);
  }
}

// Each value in its field, the others as the window starts; the warning
// names the field and what it holds that cannot be taken.
TEST(AccountPlan, RefusesFieldsTheScriptCannotCarry) {
  const std::string k257(257, 'G');
  const struct {
    std::string accounts::AccountFields::*field;
    const char* named;  // the field the warning names
    std::vector<std::pair<std::string, std::string>> values;  // and words the warning holds
  } cases[] = {
      // Not a number of users (the count's own rule has its table below);
      // fewer than none; more than one press makes, or than the prefix
      // leaves digits for.
      {&F::count, "用户数目",
       {{"12abc", "十进制整数"}, {"99999999999", "十进制整数"}, {"-1", "不能小于 0"}, {"251", "0 到 250 之间"}}},
      {&F::prefix, "用户前辍",
       {{"ABCDEFGHIJKLMNOPQRS", "最长 18 个字符"}, {"工作站用户工作站用户工作站用户工作站用", "最长 18 个字符"}}},
      // Characters with a meaning of their own in a batch line (a carriage
      // return alone ends one too); an empty field, which would make broken
      // net lines; a character code page 936 cannot carry (the converter
      // writes a near one for "Ç" and "À", and 0x80, which reads back as no
      // character, for "€").
      {&F::prefix, "用户前辍",
       {{"U&del c:\\*.*", "“&”"}, {"A|B", "“|”"}, {"A\nB", "换行"}, {"A\rformat c:", "换行"}, {"", "不能为空"},
        {"Ç", "代码页"}, {"U€", "代码页"}}},
      {&F::group, "工作组名", {{"G>x", "“>”"}, {"G<x", "“<”"}, {"G^", "“^”"}, {"", "不能为空"}, {"กลุ่ม", "代码页"}, {"€", "代码页"}}},
      {&F::shared_directory, "共享目录",
       {{"D:\\\"X\"", "“\"”"}, {"D:\\%PATH%", "“%”"}, {"D:\\A\r\nformat c:", "换行"}, {"D:\\한국", "代码页"}, {"D:\\À", "代码页"}}},
      // The shared directory is one directory below a drive root, unquoted.
      {&F::shared_directory, "共享目录",
       {{"D:\\PVD ROOT", "空格"}, {"D:\\", "根目录"}, {"D:", "根目录"}, {"PVDROOT", "根目录"}, {"D:PVDROOT", "根目录"},
        {"\\\\SERVER\\SHARE", "根目录"}}},
      // Characters net refuses in a name: the script's lines would fail
      // unseen, or split at a blank.
      {&F::prefix, "用户前辍",
       {{"U S", "空格"}, {"U\tS", "制表符"}, {"U;", "“;”"}, {"U,", "“,”"}, {"U=", "“=”"}, {"U:", "“:”"}, {"U?", "“?”"},
        {"U[", "“[”"}, {"U]", "“]”"}, {"U/", "“/”"}, {"U\\", "“\\”"}, {"U*", "“*”"}, {"U+", "“+”"},
        {"U\x01", "控制字符 0x01"}, {"U\x7F", "控制字符 0x7F"}}},
      {&F::group, "工作组名",
       {{"G\t", "制表符"}, {"G;", "“;”"}, {"G,", "“,”"}, {"G=", "“=”"}, {"G:", "“:”"}, {"G?", "“?”"}, {"G[", "“[”"},
        {"G]", "“]”"}, {"G/", "“/”"}, {"G\\", "“\\”"}, {"G*", "“*”"}, {"G+", "“+”"}, {"G\x1F", "控制字符 0x1F"},
        {"...", "“.”"}, {k257, "256"},
        // The group would be one of the users: net refuses it beside them.
        {"kotavei", "同名"}, {"user05", "同名"}, {"USER30", "同名"}}},
      {&F::shared_directory, "共享目录",
       {{"D:\\PV,ROOT", "“,”"}, {"D:\\PV=ROOT", "“=”"}, {"D:\\PV[1]", "“[”"}, {"D:\\PV+", "“+”"},
        {"D:\\PV/ROOT", "“/”"}, {"D:\\...", "“.”"}, {"D:\\USER07", "USER07 的共享"}}},
  };
  NearConverter near;
  Station s;
  for (const auto& c : cases) {
    for (const auto& [value, words] : c.values) {
      SCOPED_TRACE(value);
      accounts::AccountFields f = {"D:\\PVDROOT", "USER", "30", "PXEUSERS"};
      f.*c.field = value;
      const plan::Plan p = accounts::PlanUsers(s.host, f);
      ASSERT_TRUE(p.Refused());
      EXPECT_EQ(p.flags, platform::kMbIconExclamation);
      EXPECT_NE(p.message.find(std::string("“") + c.named + "”"), std::string::npos) << p.message;
      EXPECT_NE(p.message.find(words), std::string::npos) << p.message;
    }
  }
}

// The defaults, run twice: the second run writes the same script over the
// same directories and leaves what is in them.
TEST(GenerateUsers, DefaultsWriteTheWholeScriptMakeTheDirectoriesAndStartIt) {
  Station s;
  std::string expected =
      "net group PXEUSERS /add\r\n"
      "net share PVDROOT=D:\\PVDROOT\r\n"
      "net user kotavei kotavei /add /passwordchg:no\r\n"
      "net group PXEUSERS kotavei /add\r\n";
  std::vector<std::string> dirs;
  for (int i = 1; i <= 30; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "USER%02d", i);
    expected += std::string("net user ") + name + " " + name + " /add /passwordchg:no\r\n" +
                "net share " + name + "=D:\\PVDROOT\\" + name + "\r\n" +
                "net group PXEUSERS " + name + " /add\r\n";
    dirs.push_back(name);
  }
  for (int run = 1; run <= 2; ++run) {
    s.journal().clear();
    s.form->BitBtn1Click();
    EXPECT_EQ(s.Get("c:\\usertemp.bat"), expected) << run;
    EXPECT_EQ(s.Get("c:\\temps.bak"), "D:\\PVDROOT\r\n") << run;
    EXPECT_EQ(s.Subdirectories("D:\\PVDROOT"), dirs) << run;
    EXPECT_EQ(s.journal(), kGenerated) << run;
    EXPECT_FALSE(s.form->ProgressBar1.Visible()) << run;
    if (run == 1) s.Put("D:\\PVDROOT\\USER05\\keep.txt", "data");
  }
  EXPECT_EQ(s.Get("D:\\PVDROOT\\USER05\\keep.txt"), "data");
}

// Each row also restarts the program, which must show the shared directory
// the run saved: a Chinese name goes to disk in code page 936.
TEST(GenerateUsers, CountsGiveTheirUsersAndProgress) {
  struct Case {
    const char* count;
    const char* prefix;
    const char* group;
    const char* users;  // the first and the last user directory
    size_t lines;
    std::vector<std::string> progress;
    const char* share = "D:\\PVDROOT";
    const char* share_line = "net share PVDROOT=D:\\PVDROOT";
  } cases[] = {
      {"0", "USER", "PXEUSERS", "", 4, {"visible 1", "position 100", "visible 0"}},
      {" 7", "USER", "PXEUSERS", "USER01 USER07", 25,
       {"visible 1", "position 14", "position 28", "position 42", "position 57", "position 71",
        "position 85", "position 100", "position 100", "visible 0"}},
      {"+3", "USER", "PXEUSERS", "USER01 USER03", 13, {}},  // a sign is taken, as the count's rule allows
      {"100", "USER", "PXEUSERS", "USER01 USER100", 304, {}},  // no leading zero from 10 on
      {"250", "USER", "PXEUSERS", "USER01 USER250", 754, {}},  // the most one press makes
      // The longest prefix: its names take two digits, 20 characters in all.
      {"99", "ABCDEFGHIJKLMNOPQR", "PXEUSERS", "ABCDEFGHIJKLMNOPQR01 ABCDEFGHIJKLMNOPQR99", 301, {}},
      // Characters, not bytes: 17 Chinese ones leave three digits.
      {"100", "工作站用户工作站用户工作站用户工作", "无盘组", "工作站用户工作站用户工作站用户工作01 工作站用户工作站用户工作站用户工作100",
       304, {}},
      {"2", "W-S.", "G_1!#$@", "W-S.01 W-S.02", 10, {}},  // characters net takes in a name
      {"1", "USER", "PXEUSERS", "USER01 USER01", 7, {}, "D:\\无盘", "net share 无盘=D:\\无盘"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.count) + " " + c.share);
    Station s;
    s.form->Edit1.SetText(c.share);
    s.form->Edit3.SetText(c.count);
    s.form->Edit2.SetText(c.prefix);
    s.form->Edit4.SetText(c.group);
    s.form->BitBtn1Click();
    const std::vector<std::string> dirs = s.Subdirectories(c.share);
    const std::string last = dirs.empty() ? "" : dirs.back();
    EXPECT_EQ(dirs.empty() ? "" : dirs.front() + " " + last, c.users);
    std::vector<std::string> script = platform::SplitLines(s.Get("c:\\usertemp.bat"));
    ASSERT_EQ(script.size(), c.lines);
    EXPECT_EQ(script.at(0), std::string("net group ") + c.group + " /add");
    EXPECT_EQ(script.at(1), c.share_line);
    EXPECT_EQ(script.back(), std::string("net group ") + c.group + " " + (dirs.empty() ? "kotavei" : last) + " /add");
    if (!c.progress.empty()) {
      EXPECT_EQ(s.bar.changes, c.progress);
    }
    EXPECT_EQ(s.journal(), kGenerated);
    s.Start();
    EXPECT_EQ(s.form->Edit1.Text(), c.share);
  }
}

// The command interpreter reads the script line by line while it runs: a
// second press is refused and writes nothing, the exit button keeps the
// file; once the script has ended the button deletes it. A script that
// cannot be started is named, with no notice that users are on their way.
TEST(GenerateUsers, AScriptStillRunningIsNeitherReplacedNorRemoved) {
  const SimEvent kStillRuns = {"message", "上一次的账户脚本 c:\\usertemp.bat 仍在运行，用户还在创建中。请等它结束后再生成用户及目录。",
                               "morva提示", 48};
  Station s;
  s.host.HoldRunning("command.com");
  s.form->Edit3.SetText("2");
  s.form->BitBtn1Click();
  EXPECT_EQ(s.journal(), kGenerated);
  const std::string script = s.Get("c:\\usertemp.bat");
  s.form->Edit3.SetText("5");
  s.journal().clear();
  s.form->BitBtn1Click();
  EXPECT_EQ(s.journal(), std::vector<SimEvent>{kStillRuns});
  EXPECT_EQ(s.Get("c:\\usertemp.bat"), script);
  EXPECT_FALSE(s.host.DirectoryExists("D:\\PVDROOT\\USER03"));
  s.form->BitBtn4Click();
  EXPECT_EQ(s.Get("c:\\usertemp.bat"), script);
  // The script ends: the button runs again, and the exit button cleans up.
  s.host.FinishHeld();
  s.journal().clear();
  s.form->BitBtn1Click();
  EXPECT_EQ(s.journal().back(), kGenerated.back());
  EXPECT_TRUE(s.host.DirectoryExists("D:\\PVDROOT\\USER05"));
  s.host.FinishHeld();
  s.form->BitBtn4Click();
  EXPECT_EQ(s.Get("c:\\usertemp.bat"), "<absent>");

  Station t;
  t.host.MakeUnstartable("command.com");
  t.form->BitBtn1Click();
  EXPECT_EQ(t.journal(), (std::vector<SimEvent>{kGenerated.front(),
                                                {"message", "无法启动账户脚本 C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat，没有创建用户。",
                                                 "morva提示", 48}}));
}

// The count is an int: its largest value is taken, one more is refused.
TEST(UserCount, TakesDecimalNumbersUpToTheLargestInt) {
  const struct {
    const char* text;
    bool taken;
    int count;
  } cases[] = {{"2147483647", true, 2147483647}, {"2147483648", false, 0}, {" +7 ", true, 7},
               {"-5", true, -5}, {"0x10", false, 0}, {"", false, 0}, {"+", false, 0},
               {"12abc", false, 0}, {"-5a", false, 0}, {"$1F", false, 0}, {"abc", false, 0}};
  for (const auto& c : cases) {
    int count = 0;
    EXPECT_EQ(accounts::ParseUserCount(c.text, &count), c.taken) << c.text;
    EXPECT_EQ(c.taken ? count : 0, c.count) << c.text;
  }
}

// The names file's plan, then the button: Notepad follows the shared
// directory field, and starts even when the file could not be made.
TEST(NamesFile, OpensAnExistingFileOrCreatesItWhenTheAdministratorAgrees) {
  const SimEvent kQuestion = {"message", "netnames.db不存在，是否创建它?", "提示", 1};
  const std::string kNotepad = "C:\\WINNT\\system32\\notepad.exe D:\\PVDROOT\\windows\\netnames.db";
  const std::string kMade = "写入 D:\\PVDROOT\\windows\\netnames.db（空文件）\n运行 " + kNotepad +
                            "（可能改动：D:\\PVDROOT\\windows\\netnames.db）\n提问：netnames.db不存在，是否创建它?";
  struct Case {
    const char* name;
    void (*arrange)(SimMachine&);
    int answer;
    std::string said, state;
    std::vector<SimEvent> events;
    const char* content;
  } cases[] = {
      {"existing", [](SimMachine& m) { m.Put("D:\\PVDROOT\\windows\\netnames.db", "AA-BB\r\n"); }, platform::kIdOk,
       "（不变）运行 " + kNotepad + "（可能改动：D:\\PVDROOT\\windows\\netnames.db）", "√工作站信息文件",
       {{"run", kNotepad, "", 1}}, "AA-BB\r\n"},
      {"absent, OK", [](SimMachine& m) { m.MakeDirs("D:\\PVDROOT\\windows"); }, platform::kIdOk, kMade, "×工作站信息文件",
       {kQuestion, {"run", kNotepad, "", 1}}, ""},
      {"absent, Cancel", [](SimMachine& m) { m.MakeDirs("D:\\PVDROOT\\windows"); }, platform::kIdCancel, kMade,
       "×工作站信息文件", {kQuestion}, "<absent>"},
      {"no Windows uploaded", [](SimMachine& m) { m.MakeDirs("D:\\PVDROOT"); }, platform::kIdOk, kMade, kNoNames,
       {kQuestion, {"run", kNotepad, "", 1}}, "<absent>"},
      {"a folder in its place", [](SimMachine& m) { m.MakeDirs("D:\\PVDROOT\\windows\\netnames.db"); }, platform::kIdOk,
       kMade, kNoNames, {kQuestion, {"run", kNotepad, "", 1}}, "<absent>"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SimMachine m;
    c.arrange(m);
    m.Start();
    m.journal().clear();
    const auto before = m.Tree("D:");
    const plan::Plan p = accounts::PlanNamesFile(m.host, "D:\\PVDROOT");
    EXPECT_EQ(m.Tree("D:"), before);
    EXPECT_EQ(m.journal(), std::vector<SimEvent>{});
    EXPECT_EQ(Said(p), c.said);
    EXPECT_EQ(States({p}), c.state);
    m.ui.Answer(c.answer);
    m.form->BitBtn8Click();
    EXPECT_EQ(m.journal(), c.events);
    EXPECT_EQ(m.Get("D:\\PVDROOT\\windows\\netnames.db"), c.content);
  }
}

}  // namespace
