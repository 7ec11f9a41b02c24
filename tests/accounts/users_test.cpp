// Generating the workstation accounts and editing the names file, at the
// simulated server.
#include "accounts/users.h"

#include <filesystem>

#include "platform/textfile.h"
#include "tests/recording_peer.h"
#include "tests/sim_session.h"

namespace {

using platform::SimEvent;

const SimEvent kScriptStarted = {"run", "command.com /c c:\\usertemp.bat", "", 0};
const SimEvent kDoneMessage = {"message", "目录创建完成，正在创建用户，请稍后...", "进程提示", 0};

// The directories below a directory of the simulated machine, by name.
std::vector<std::string> Subdirectories(platform::SimHost& host, const std::string& dir) {
  std::vector<platform::DirEntry> entries;
  std::vector<std::string> names;
  host.ListDirectory(dir, &entries);
  for (const auto& e : entries)
    if (e.is_directory && e.name != "." && e.name != "..") names.push_back(e.name);
  return names;
}

class GenerateUsers : public SimSession {
 protected:
  void SetUp() override {
    MakeDirs("D:\\");
    Start();
    form->ProgressBar1.Bind(&progress);
    progress.visible = false;
  }
  std::vector<std::string> Script() { return platform::SplitLines(Get("c:\\usertemp.bat")); }
  RecordingPeer progress;
};

TEST_F(GenerateUsers, DefaultsWriteTheWholeScriptMakeTheDirectoriesAndStartIt) {
  form->BitBtn1Click();
  std::string expected =
      "net group PXEUSERS /add\r\n"
      "net share PVDROOT=D:\\PVDROOT\r\n"
      "net user kotavei kotavei /add /passwordchg:no\r\n"
      "net group PXEUSERS kotavei /add\r\n";
  for (int i = 1; i <= 30; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "USER%02d", i);
    expected += std::string("net user ") + name + " " + name + " /add /passwordchg:no\r\n" +
                "net share " + name + "=D:\\PVDROOT\\" + name + "\r\n" +
                "net group PXEUSERS " + name + " /add\r\n";
  }
  EXPECT_EQ(Get("c:\\usertemp.bat"), expected);
  EXPECT_EQ(Script().size(), 94u);
  EXPECT_EQ(Script().at(91), "net user USER30 USER30 /add /passwordchg:no");
  EXPECT_EQ(Get("c:\\temps.bak"), "D:\\PVDROOT\r\n");
  std::vector<std::string> dirs = Subdirectories(host, "D:\\PVDROOT");
  ASSERT_EQ(dirs.size(), 30u);
  EXPECT_EQ(dirs.front(), "USER01");
  EXPECT_EQ(dirs.back(), "USER30");
  EXPECT_EQ(journal(), (std::vector<SimEvent>{kScriptStarted, kDoneMessage}));
  EXPECT_FALSE(form->ProgressBar1.Visible());
}

TEST_F(GenerateUsers, CountsGiveTheirUsersAndProgress) {
  struct Case {
    const char* count;
    const char* prefix;
    const char* group;
    std::vector<std::string> users;  // first and last user directory
    size_t lines;
    std::vector<std::string> progress;
  } cases[] = {
      {"0", "USER", "PXEUSERS", {}, 4, {"visible 1", "position 100", "visible 0"}},
      {" 7", "USER", "PXEUSERS", {"USER01", "USER07"}, 25,
       {"visible 1", "position 14", "position 28", "position 42", "position 57", "position 71",
        "position 85", "position 100", "position 100", "visible 0"}},
      {"10", "USER", "PXEUSERS", {"USER01", "USER10"}, 34,
       {"visible 1", "position 10", "position 20", "position 30", "position 40", "position 50",
        "position 60", "position 70", "position 80", "position 90", "position 100", "position 100",
        "visible 0"}},
      {"-5", "USER", "PXEUSERS", {}, 4, {"visible 1", "position 100", "visible 0"}},
      {"12 ", "WS", "PXEUSERS", {"WS01", "WS12"}, 40, {}},
      {"+3", "USER", "PXEUSERS", {"USER01", "USER03"}, 13, {}},  // a sign is taken, as the count's rule allows
      {"100", "USER", "PXEUSERS", {"USER01", "USER100"}, 304, {}},  // no leading zero from 10 on
      {"1", "USER", "PXE USERS", {"USER01"}, 7, {}},                // blanks stay as they are
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.MakeDirs("D:\\");
    m.Start();
    RecordingPeer bar;
    m.form->ProgressBar1.Bind(&bar);
    m.form->Edit3.SetText(c.count);
    m.form->Edit2.SetText(c.prefix);
    m.form->Edit4.SetText(c.group);
    m.form->BitBtn1Click();
    std::vector<std::string> dirs = Subdirectories(m.host, "D:\\PVDROOT");
    std::sort(dirs.begin(), dirs.end(), [](const std::string& a, const std::string& b) {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    if (c.users.empty()) {
      EXPECT_TRUE(dirs.empty()) << c.count;
    } else {
      ASSERT_FALSE(dirs.empty()) << c.count;
      EXPECT_EQ(dirs.front(), c.users.front()) << c.count;
      EXPECT_EQ(dirs.back(), c.users.back()) << c.count;
    }
    std::vector<std::string> script = platform::SplitLines(m.Get("c:\\usertemp.bat"));
    ASSERT_EQ(script.size(), c.lines) << c.count;
    EXPECT_EQ(script.at(0), std::string("net group ") + c.group + " /add") << c.count;
    if (!c.users.empty())
      EXPECT_EQ(script.back(), std::string("net group ") + c.group + " " + c.users.back() + " /add") << c.count;
    if (!c.progress.empty()) EXPECT_EQ(bar.changes, c.progress) << c.count;
    EXPECT_EQ(m.journal(), (std::vector<SimEvent>{kScriptStarted, kDoneMessage})) << c.count;
  }
}

// The count is an int: its largest value is taken, one more is refused.
TEST(UserCount, TakesDecimalNumbersUpToTheLargestInt) {
  const struct {
    const char* text;
    bool taken;
    int count;
  } cases[] = {{"2147483647", true, 2147483647}, {"2147483648", false, 0}, {" +7 ", true, 7},
               {"-5", true, -5}, {"0x10", false, 0}, {"", false, 0}, {"+", false, 0}};
  for (const auto& c : cases) {
    int count = 0;
    EXPECT_EQ(accounts::ParseUserCount(c.text, &count), c.taken) << c.text;
    if (c.taken) EXPECT_EQ(count, c.count) << c.text;
  }
}

TEST_F(GenerateUsers, RefusedFieldsWriteMakeAndStartNothing) {
  struct Case {
    const char* field;
    const char* value;
    const char* named;  // the field the warning names
  } cases[] = {
      {"Edit3", "12abc", "用户数目"}, {"Edit3", "-5a", "用户数目"}, {"Edit3", "$1F", "用户数目"},
      {"Edit3", "abc", "用户数目"},   {"Edit3", "", "用户数目"},    {"Edit3", "0x10", "用户数目"},
      {"Edit3", "99999999999", "用户数目"},
      {"Edit2", "U&del c:\\*.*", "用户前辍"}, {"Edit2", "A|B", "用户前辍"},
      {"Edit4", "G>x", "工作组名"},   {"Edit4", "G<x", "工作组名"}, {"Edit4", "G^", "工作组名"},
      {"Edit1", "D:\\\"X\"", "共享目录"}, {"Edit1", "D:\\%PATH%", "共享目录"},
      {"Edit1", "D:\\A\r\nformat c:", "共享目录"}, {"Edit2", "A\nB", "用户前辍"},
      // A carriage return alone ends a batch line too.
      {"Edit2", "A\rformat c:", "用户前辍"},
      // Empty fields would make broken net lines.
      {"Edit1", "", "共享目录"}, {"Edit2", "", "用户前辍"}, {"Edit4", "", "工作组名"},
      // The shared directory is one directory below a drive root, unquoted.
      {"Edit1", "D:\\PVD ROOT", "共享目录"}, {"Edit1", "D:\\WIN\\SHARE", "共享目录"},
      {"Edit1", "D:\\", "共享目录"}, {"Edit1", "D:", "共享目录"}, {"Edit1", "PVDROOT", "共享目录"},
      {"Edit1", "D:PVDROOT", "共享目录"}, {"Edit1", "\\\\SERVER\\SHARE", "共享目录"},
      // Characters code page 936 cannot carry.
      {"Edit1", "D:\\한국", "共享目录"}, {"Edit2", "Ç", "用户前辍"}, {"Edit4", "กลุ่ม", "工作组名"},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.MakeDirs("D:\\");
    m.Put("c:\\temps.bak", "E:\\OLD\r\n");
    m.Start();
    static_cast<platform::Edit*>(m.form->Find(c.field))->SetText(c.value);
    m.form->BitBtn1Click();
    ASSERT_EQ(m.journal().size(), 1u) << c.value;
    EXPECT_EQ(m.journal().at(0).kind, "message") << c.value;
    EXPECT_EQ(m.journal().at(0).flags, platform::kMbIconExclamation) << c.value;
    EXPECT_NE(m.journal().at(0).text.find(c.named), std::string::npos) << c.value;
    EXPECT_EQ(m.Get("c:\\temps.bak"), "E:\\OLD\r\n") << c.value;
    EXPECT_EQ(m.Get("c:\\usertemp.bat"), "<absent>") << c.value;
    EXPECT_FALSE(m.host.DirectoryExists("D:\\PVDROOT")) << c.value;
    EXPECT_FALSE(m.form->ProgressBar1.Visible()) << c.value;
  }
}

TEST_F(GenerateUsers, AMissingDriveMakesNoDirectoryButTheScriptRunsAnyway) {
  form->Edit1.SetText("Q:\\PVDROOT");
  form->Edit3.SetText("2");
  form->BitBtn1Click();
  EXPECT_FALSE(host.DirectoryExists("Q:\\PVDROOT"));
  EXPECT_EQ(Script().at(1), "net share PVDROOT=Q:\\PVDROOT");
  EXPECT_EQ(journal(), (std::vector<SimEvent>{kScriptStarted, kDoneMessage}));
}

// An earlier run's script must not run in place of this one, nor pass for it.
TEST_F(GenerateUsers, AScriptThatCannotBeWrittenStaysAsItWasAndIsNotRun) {
  const SimEvent kRefused = {"message", "无法写入账户脚本 c:\\usertemp.bat（文件只读、被占用或磁盘已满），没有创建用户。",
                             "morva提示", platform::kMbIconExclamation};
  const std::string kOld = "net user OLD OLD /add /passwordchg:no\r\n";
  struct Case {
    const char* name;
    bool read_only;           // the earlier script is there, read-only
    std::size_t disk_space;   // what the disk still holds
    const char* script_after;
  } cases[] = {
      {"read-only earlier script", true, SIZE_MAX, kOld.c_str()},
      {"full disk, no earlier script", false, 200, "<absent>"},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.MakeDirs("D:\\");
    if (c.read_only) {
      m.Put("c:\\usertemp.bat", kOld);
      m.host.SetFileAttributes("c:\\usertemp.bat", platform::kAttrReadOnly);
    }
    m.Start();
    m.host.LimitDiskSpace(c.disk_space);
    m.form->Edit3.SetText("3");
    m.form->BitBtn1Click();
    EXPECT_EQ(m.journal(), (std::vector<SimEvent>{kRefused})) << c.name;
    EXPECT_EQ(m.Get("c:\\usertemp.bat"), c.script_after) << c.name;
    EXPECT_EQ(m.Get("c:\\usertemp.bat.new"), "<absent>") << c.name;
    EXPECT_FALSE(m.form->ProgressBar1.Visible()) << c.name;
  }
}

TEST_F(GenerateUsers, ASecondRunRewritesTheSameScriptOverTheSameDirectories) {
  form->BitBtn1Click();
  std::string first = Get("c:\\usertemp.bat");
  Put("D:\\PVDROOT\\USER05\\keep.txt", "data");
  form->BitBtn1Click();
  EXPECT_EQ(Get("c:\\usertemp.bat"), first);
  EXPECT_EQ(Get("D:\\PVDROOT\\USER05\\keep.txt"), "data");
  EXPECT_EQ(Subdirectories(host, "D:\\PVDROOT").size(), 30u);
}

TEST_F(GenerateUsers, TheSharedDirectoryIsRestoredAtTheNextStart) {
  form->Edit1.SetText("D:\\无盘");
  form->Edit3.SetText("1");
  form->BitBtn1Click();
  EXPECT_EQ(Get("c:\\temps.bak"), "D:\\\xCE\xDE\xC5\xCC\r\n");  // code page 936 on disk
  form->Edit1.SetText("D:\\EDITED");  // an edit after the generation is not kept
  Start();
  EXPECT_EQ(form->Edit1.Text(), "D:\\无盘");
}

class NamesFile : public SimSession {};

TEST_F(NamesFile, OpensAnExistingFileOrCreatesItWhenTheAdministratorAgrees) {
  const SimEvent kQuestion = {"message", "netnames.db不存在，是否创建它?", "提示", 1};
  const SimEvent kNotepad = {"run", "notepad D:\\PVDROOT\\windows\\netnames.db", "", 1};
  struct Case {
    const char* name;
    bool exists;
    int answer;
    std::vector<SimEvent> events;
    const char* content;
  } cases[] = {
      {"existing", true, platform::kIdOk, {kNotepad}, "AA-BB\r\n"},
      {"absent, OK", false, platform::kIdOk, {kQuestion, kNotepad}, ""},
      {"absent, Cancel", false, platform::kIdCancel, {kQuestion}, "<absent>"},
  };
  for (const Case& c : cases) {
    SimMachine m;
    m.MakeDirs("D:\\PVDROOT\\windows");
    if (c.exists) m.Put("D:\\PVDROOT\\windows\\netnames.db", "AA-BB\r\n");
    m.Start();
    m.ui.Answer(c.answer);
    m.form->BitBtn8Click();
    EXPECT_EQ(m.journal(), c.events) << c.name;
    EXPECT_EQ(m.Get("D:\\PVDROOT\\windows\\netnames.db"), c.content) << c.name;
  }
}

TEST_F(NamesFile, FollowsTheFieldAndStartsNotepadEvenWhenTheFileCannotBeMade) {
  Start();
  form->Edit1.SetText("E:\\NOWHERE\\");
  form->BitBtn8Click();
  EXPECT_EQ(journal().back(), (SimEvent{"run", "notepad E:\\NOWHERE\\\\windows\\netnames.db", "", 1}));
  EXPECT_FALSE(host.FileExists("E:\\NOWHERE\\windows\\netnames.db"));
}

}  // namespace
