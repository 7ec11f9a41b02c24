// Generating the workstation accounts and editing the names file, at the
// simulated server.
#include "accounts/users.h"

#include "platform/textfile.h"
#include "tests/near_converter.h"
#include "tests/recording_peer.h"
#include "tests/sim_session.h"

namespace {

using platform::SimEvent;

const std::vector<SimEvent> kGenerated = {{"run", "C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat", "", 0},
                                          {"message", "目录创建完成，正在创建用户，请稍后...", "进程提示", 0}};

// A server with a drive D: and the main window open, its progress bar's
// steps recorded.
struct Station : SimMachine {
  Station() {
    MakeDirs("D:\\");
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
  RecordingPeer bar;
};

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
      {"12 ", "WS", "PXEUSERS", "WS01 WS12", 40, {}},
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

// "目录创建完成" only when every folder is there afterwards. Otherwise the
// warning names the folders missing (ten at most, then how many more), and
// nothing else changes: no script written or started, c:\temps.bak as it was.
// An earlier run's script must not run in place of this one, nor pass for
// it; a c:\temps.bak that cannot be written stops the run before the script.
TEST(GenerateUsers, AFailureBeforeTheScriptStartsIsNamedAndLeavesTheEarlierFiles) {
  const std::string kHead = "以下目录无法创建（驱动器不存在、上级目录不可写，或已有同名的文件）：\r\n";
  const std::string kTail = "账户脚本没有写入，也没有运行，没有创建用户。";
  const std::string kScriptRefused = "无法写入账户脚本 c:\\usertemp.bat（文件只读、被占用或磁盘已满），没有创建用户。";
  const std::string kOld = "net user OLD OLD /add /passwordchg:no\r\n", kNewBak = "D:\\PVDROOT\r\n";
  struct Case {
    const char* name;
    const char* share;
    const char* count;
    void (*arrange)(Station&);
    std::string message;
    std::vector<std::string> made;  // the user folders there afterwards
    std::string bak_after = "E:\\OLD\r\n";
  } cases[] = {
      {"a drive that is not there", "Q:\\PVDROOT", "12", [](Station&) {}, kHead + "Q:\\PVDROOT\r\n" + kTail, {}},
      // The shared directory is there but takes nothing new: all twelve
      // user folders are missing.
      {"a parent that cannot be written", "D:\\PVDROOT", "12", [](Station& s) {
         s.MakeDirs("D:\\PVDROOT\\USER03");
         s.host.MakeUnwritable("D:\\PVDROOT");
       },
       kHead + "D:\\PVDROOT\\USER01\r\nD:\\PVDROOT\\USER02\r\nD:\\PVDROOT\\USER04\r\nD:\\PVDROOT\\USER05\r\n"
       "D:\\PVDROOT\\USER06\r\nD:\\PVDROOT\\USER07\r\nD:\\PVDROOT\\USER08\r\nD:\\PVDROOT\\USER09\r\n"
       "D:\\PVDROOT\\USER10\r\nD:\\PVDROOT\\USER11\r\n……另有 1 个目录\r\n" + kTail,
       {"USER03"}},
      {"a user folder that is a file", "D:\\PVDROOT", "12", [](Station& s) { s.Put("D:\\PVDROOT\\USER05", "a file"); },
       kHead + "D:\\PVDROOT\\USER05\r\n" + kTail,
       {"USER01", "USER02", "USER03", "USER04", "USER06", "USER07", "USER08", "USER09", "USER10", "USER11", "USER12"}},
      {"the shared directory is a file", "D:\\PVDROOT", "12", [](Station& s) { s.Put("D:\\PVDROOT", "a file"); },
       kHead + "D:\\PVDROOT\r\n" + kTail, {}},
      {"a read-only earlier script", "D:\\PVDROOT", "3",
       [](Station& s) { s.host.SetFileAttributes("c:\\usertemp.bat", platform::kAttrReadOnly); }, kScriptRefused,
       {"USER01", "USER02", "USER03"}, kNewBak},
      {"a full disk", "D:\\PVDROOT", "3", [](Station& s) { s.host.LimitDiskSpace(200); }, kScriptRefused,
       {"USER01", "USER02", "USER03"}, kNewBak},
      {"a read-only c:\\temps.bak", "D:\\PVDROOT", "3",
       [](Station& s) { s.host.SetFileAttributes("c:\\temps.bak", platform::kAttrReadOnly); },
       "无法写入 c:\\temps.bak（文件只读、被占用或磁盘已满），账户脚本没有运行，没有创建用户。", {"USER01", "USER02", "USER03"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Station s;
    s.Put("c:\\temps.bak", "E:\\OLD\r\n");
    s.Put("c:\\usertemp.bat", kOld);
    c.arrange(s);
    s.form->Edit1.SetText(c.share);
    s.form->Edit3.SetText(c.count);
    s.form->BitBtn1Click();
    EXPECT_EQ(s.journal(), (std::vector<SimEvent>{{"message", c.message, "morva提示", 48}}));
    EXPECT_EQ(s.Subdirectories(c.share), c.made);
    EXPECT_EQ(s.Get("c:\\usertemp.bat"), kOld);
    EXPECT_EQ(s.Get("c:\\usertemp.bat.new"), "<absent>");
    EXPECT_EQ(s.Get("c:\\temps.bak"), c.bak_after);
    EXPECT_FALSE(s.form->ProgressBar1.Visible());
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

// Each value in its field, the others as the window starts; the warning
// names the field and what it holds that cannot be taken.
TEST(GenerateUsers, RefusedFieldsWriteMakeAndStartNothing) {
  const std::string k257(257, 'G');
  const struct {
    const char* field;
    const char* named;  // the field the warning names
    std::vector<std::pair<std::string, std::string>> values;  // and words the warning holds
  } cases[] = {
      // Not a number of users (the count's own rule has its table above);
      // fewer than none; more than one press makes, or than the prefix
      // leaves digits for.
      {"Edit3", "用户数目",
       {{"12abc", "十进制整数"}, {"99999999999", "十进制整数"}, {"-1", "不能小于 0"}, {"251", "0 到 250 之间"},
        {"2147483647", "0 到 250 之间"}}},
      {"Edit2", "用户前辍",
       {{"ABCDEFGHIJKLMNOPQRS", "最长 18 个字符"}, {"工作站用户工作站用户工作站用户工作站用", "最长 18 个字符"}}},
      // Characters with a meaning of their own in a batch line (a carriage
      // return alone ends one too); an empty field, which would make broken
      // net lines; a character code page 936 cannot carry (the converter
      // writes a near one for "Ç" and "À", and 0x80, which reads back as no
      // character, for "€").
      {"Edit2", "用户前辍",
       {{"U&del c:\\*.*", "“&”"}, {"A|B", "“|”"}, {"A\nB", "换行"}, {"A\rformat c:", "换行"}, {"", "不能为空"},
        {"Ç", "代码页"}, {"U€", "代码页"}}},
      {"Edit4", "工作组名", {{"G>x", "“>”"}, {"G<x", "“<”"}, {"G^", "“^”"}, {"", "不能为空"}, {"กลุ่ม", "代码页"}, {"€", "代码页"}}},
      {"Edit1", "共享目录",
       {{"D:\\\"X\"", "“\"”"}, {"D:\\%PATH%", "“%”"}, {"D:\\A\r\nformat c:", "换行"}, {"", "不能为空"},
        {"D:\\한국", "代码页"}, {"D:\\À", "代码页"}}},
      // The shared directory is one directory below a drive root, unquoted.
      {"Edit1", "共享目录",
       {{"D:\\PVD ROOT", "空格"}, {"D:\\WIN\\SHARE", "根目录"}, {"D:\\", "根目录"}, {"D:", "根目录"},
        {"PVDROOT", "根目录"}, {"D:PVDROOT", "根目录"}, {"\\\\SERVER\\SHARE", "根目录"}}},
      // Characters net refuses in a name: the script's lines would fail
      // unseen, or split at a blank.
      {"Edit2", "用户前辍",
       {{"U S", "空格"}, {"U\tS", "制表符"}, {"U;", "“;”"}, {"U,", "“,”"}, {"U=", "“=”"}, {"U:", "“:”"}, {"U?", "“?”"},
        {"U[", "“[”"}, {"U]", "“]”"}, {"U/", "“/”"}, {"U\\", "“\\”"}, {"U*", "“*”"}, {"U+", "“+”"},
        {"U\x01", "控制字符 0x01"}, {"U\x7F", "控制字符 0x7F"}}},
      {"Edit4", "工作组名",
       {{"PXE USERS", "空格"}, {"G\t", "制表符"}, {"G;", "“;”"}, {"G,", "“,”"}, {"G=", "“=”"}, {"G:", "“:”"},
        {"G?", "“?”"}, {"G[", "“[”"}, {"G]", "“]”"}, {"G/", "“/”"}, {"G\\", "“\\”"}, {"G*", "“*”"}, {"G+", "“+”"},
        {"G\x1F", "控制字符 0x1F"}, {"...", "“.”"}, {k257, "256"},
        // The group would be one of the users: net refuses it beside them.
        {"kotavei", "同名"}, {"user05", "同名"}, {"USER30", "同名"}}},
      {"Edit1", "共享目录",
       {{"D:\\PV;ROOT", "“;”"}, {"D:\\PV,ROOT", "“,”"}, {"D:\\PV=ROOT", "“=”"}, {"D:\\PV[1]", "“[”"},
        {"D:\\PV+", "“+”"}, {"D:\\PV/ROOT", "“/”"}, {"D:\\...", "“.”"}, {"D:\\USER07", "USER07 的共享"}}},
  };
  NearConverter near;
  for (const auto& c : cases) {
    for (const auto& [value, words] : c.values) {
      SCOPED_TRACE(std::string(c.field) + " " + value);
      Station s;
      s.Put("c:\\temps.bak", "E:\\OLD\r\n");
      static_cast<platform::Edit*>(s.form->Find(c.field))->SetText(value);
      s.form->BitBtn1Click();
      ASSERT_EQ(s.journal().size(), 1u);
      EXPECT_EQ(s.journal().at(0).kind, "message");
      EXPECT_EQ(s.journal().at(0).flags, platform::kMbIconExclamation);
      EXPECT_NE(s.journal().at(0).text.find(std::string("“") + c.named + "”"), std::string::npos) << s.journal().at(0).text;
      EXPECT_NE(s.journal().at(0).text.find(words), std::string::npos) << s.journal().at(0).text;
      EXPECT_EQ(s.Get("c:\\temps.bak"), "E:\\OLD\r\n");
      EXPECT_EQ(s.Get("c:\\usertemp.bat"), "<absent>");
      EXPECT_FALSE(s.host.DirectoryExists("D:\\PVDROOT"));
      EXPECT_EQ(s.bar.changes, std::vector<std::string>{});
    }
  }
}

// Notepad follows the shared directory field, and starts even when the file
// could not be made.
TEST(NamesFile, OpensAnExistingFileOrCreatesItWhenTheAdministratorAgrees) {
  const SimEvent kQuestion = {"message", "netnames.db不存在，是否创建它?", "提示", 1};
  const SimEvent kNotepad = {"run", "C:\\WINNT\\system32\\notepad.exe D:\\PVDROOT\\windows\\netnames.db", "", 1};
  struct Case {
    const char* name;
    bool exists;
    int answer;
    std::vector<SimEvent> events;
    const char* content;
    const char* share = "D:\\PVDROOT";
  } cases[] = {
      {"existing", true, platform::kIdOk, {kNotepad}, "AA-BB\r\n"},
      {"absent, OK", false, platform::kIdOk, {kQuestion, kNotepad}, ""},
      {"absent, Cancel", false, platform::kIdCancel, {kQuestion}, "<absent>"},
      {"no such folder", false, platform::kIdOk,
       {kQuestion, {"run", "C:\\WINNT\\system32\\notepad.exe E:\\NOWHERE\\\\windows\\netnames.db", "", 1}}, "<absent>", "E:\\NOWHERE\\"},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.MakeDirs("D:\\PVDROOT\\windows");
    if (c.exists) m.Put("D:\\PVDROOT\\windows\\netnames.db", "AA-BB\r\n");
    m.Start();
    m.form->Edit1.SetText(c.share);
    m.ui.Answer(c.answer);
    m.form->BitBtn8Click();
    EXPECT_EQ(m.journal(), c.events) << c.name;
    EXPECT_EQ(m.Get("D:\\PVDROOT\\windows\\netnames.db"), c.content) << c.name;
  }
}

}  // namespace
