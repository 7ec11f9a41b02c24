// The journal and the undo at the window and on the command line: what an
// undo refuses, what it keeps, and a journal that cannot be written.
#include <gtest/gtest.h>

#include <functional>

#include "app/undo.h"
#include "app/undo_window.h"
#include "platform/encoding.h"
#include "platform/journal_host.h"
#include "platform/sim/fault_host.h"
#include "tests/app/server_check_session.h"

namespace {

using ::testing::PrintToString;
using check_test::FirstDifference;
using check_test::DemoServer;
using check_test::Server;

const char kRoot[] = "C:\\Korrin\\journal";

// Generates three users under D:\PVDROOT from a window that keeps a journal.
void Generate(Server& s) {
  platform::JournalHost journal(s.host, kRoot, "窗口");
  platform::JournalUi ui(s.ui, journal);
  app::TForm1 form(journal, ui);
  form.SetJournal(&journal);
  form.FormCreate();
  check_test::TypeAccounts(form, {"D:\\PVDROOT", "WS", "3", "DISKLESS"});
  form.BitBtn1.Click();
}

std::string Newest(Server& s) {
  const std::vector<app::JournalSession> sessions = app::ReadJournal(s.host, kRoot);
  return sessions.empty() ? "<none>" : sessions.front().name;
}

// A line added to the newest session's last step, and a kept copy 0900.old
// when `kept` is given.
std::function<void(Server&)> Damaged(const std::string& line, const std::string& kept = "") {
  return [line, kept](Server& s) {
    const std::string folder = std::string(kRoot) + "\\" + Newest(s);
    s.Put(folder + "\\journal.txt", s.Get(folder + "\\journal.txt") + platform::ToCodePage(line) + "\r\n");
    if (!kept.empty()) s.Put(folder + "\\0900.old", kept + "\r\n");
  };
}

TEST(Journal, AnUndoChecksEverythingBeforeItChangesAnything) {
  struct Row {
    const char* name;
    std::function<void(Server&)> meanwhile;  // after the generation, before the undo
    int status;
    std::vector<std::string> says;         // in what /undo printed
    std::vector<const char*> there, gone;  // afterwards
  } rows[] = {
      {"a file changed since refuses it all", [](Server& s) { s.Put("c:\\temps.bak", "D:\\PVDR00T\r\n"); }, 1,
       {"拒绝：c:\\temps.bak 在那以后又改动过，没有撤销任何改动。"}, {"c:\\temps.bak", "D:\\PVDROOT\\WS01"}, {}},
      {"a file gone since refuses it all", [](Server& s) { s.host.DeleteFile("c:\\usertemp.bat"); }, 1,
       {"拒绝：c:\\usertemp.bat 在那以后已经不在了*"}, {"c:\\temps.bak", "D:\\PVDROOT\\WS01"}, {}},
      {"a file made where one was deleted refuses it all", [](Server& s) { s.host.RemoveDirectory("D:\\PVDROOT\\WS03"); s.Put("D:\\PVDROOT\\WS03", "x"); },
       1, {"拒绝：D:\\PVDROOT\\WS03 在那以后成了文件，没有撤销任何改动。"}, {"c:\\temps.bak"}, {}},
      {"a workstation's files keep its folder", [](Server& s) { s.Put("D:\\PVDROOT\\WS02\\user.dat", "profile"); }, 0,
       {"撤销 2026*", "目录 D:\\PVDROOT\\WS02 里还有别的文件，保留下来。"},
       {"D:\\PVDROOT\\WS02\\user.dat"}, {"D:\\PVDROOT\\WS01", "c:\\temps.bak", "c:\\usertemp.bat"}},
      // A damaged journal: a kept copy named outside its folder, attributes
      // past any number, a program the tool never runs.
      {"a kept copy outside the journal", Damaged("删除 ..\\..\\..\\boot.old 0 c:\\boot.ini"), 1,
       {"中有一行读不懂（删除 ..\\..\\..\\boot.old 0 c:\\boot.ini），没有撤销任何改动。"}, {"c:\\temps.bak"}, {}},
      {"attributes past any number", Damaged("删除 0001.old 99999999999 c:\\boot.ini"), 1, {"中有一行读不懂"}, {"c:\\temps.bak"}, {}},
      {"a program the tool never runs", Damaged("记录 新增 0001.old 0900.old", "c:\\temp\\net.exe user WS01 /delete"), 1,
       {"0900.old 要运行的 c:\\temp\\net.exe user WS01 /delete 不是本程序运行过的命令，没有撤销任何改动。"}, {"c:\\temps.bak"}, {}},
  };
  for (const Row& row : rows) {
    DemoServer s;
    Generate(s);
    ASSERT_NE(s.Get("c:\\usertemp.bat"), "<absent>") << row.name;
    if (row.meanwhile) row.meanwhile(s);
    const std::string journal = std::string(kRoot) + "\\" + Newest(s) + "\\journal.txt";
    const std::string before = s.Everything() + s.Get(journal);
    std::vector<std::string> printed;
    EXPECT_EQ(app::UndoCommand(s.host, {"/undo", Newest(s)}, &printed), row.status)
        << row.name << "\n" << PrintToString(printed);
    // A line said, up to its "*".
    for (const std::string& says : row.says) {
      bool found = false;
      for (const std::string& line : printed) found = found || line.find(says.substr(0, says.find('*'))) != std::string::npos;
      EXPECT_TRUE(found) << row.name << ": " << says << "\n" << PrintToString(printed);
    }
    if (row.status == 1) {
      // Refused: the server and the journal are as they were.
      EXPECT_EQ(FirstDifference(s.Everything() + s.Get(journal), before), "") << row.name;
      EXPECT_EQ(app::ReadJournal(s.host, kRoot).size(), 1u) << row.name;
    }
    for (const char* path : row.there)
      EXPECT_TRUE(s.host.FileExists(path) || s.host.DirectoryExists(path)) << row.name << ": " << path;
    for (const char* path : row.gone)
      EXPECT_FALSE(s.host.FileExists(path) || s.host.DirectoryExists(path)) << row.name << ": " << path;
  }
}

// A change of the undo that fails, at every point where one can: the undo
// says it did not finish, naming what failed, and never that it is done;
// a folder that cannot be removed stays and is named, and the journal's
// own keeping is not the undo's work.
TEST(Journal, AnUndoThatFailsAnywhereSaysSo) {
  for (int at = 0;; ++at) {
    DemoServer s;
    Generate(s);
    platform::FaultHost faults(s.host);
    faults.Plant({platform::Fault::kChange, at});
    std::vector<std::string> printed;
    const int status = app::UndoCommand(faults, {"/undo", Newest(s)}, &printed);
    if (!faults.struck()) break;
    const std::string struck = faults.struck_at();
    if (struck.rfind("RemoveDirectory ", 0) == 0 || struck.find("\\journal\\") != std::string::npos) continue;
    EXPECT_EQ(status, 1) << struck;
    EXPECT_EQ(printed.back().rfind("撤销没有完成：", 0), 0u) << struck << ": " << printed.back();
  }
}

TEST(Journal, AJournalThatCannotBeWrittenRefusesTheStepAndTheCommandLineIsJudged) {
  DemoServer s;
  s.host.MakeUnwritable("C:\\Korrin");
  Generate(s);
  ASSERT_FALSE(s.journal().empty());
  EXPECT_EQ(s.journal().back(), (platform::SimEvent{"message", "无法记下这一步的改动：无法建立操作记录的目录 "
                                                    "C:\\Korrin\\journal\\20261207-090000（目录只读或磁盘已满）。\r\n"
                                                    "这一步什么也没有做。", "操作记录", platform::kMbIconExclamation}));
  EXPECT_EQ(s.Get("c:\\temps.bak"), "<absent>");
  EXPECT_FALSE(s.host.DirectoryExists("D:\\PVDROOT\\WS01"));

  // Accounts net cannot list beforehand: the step goes on, and its undo is
  // refused, naming what the journal does not know.
  DemoServer u;
  u.host.MakeUnstartable("net");
  Generate(u);
  EXPECT_TRUE(u.host.DirectoryExists("D:\\PVDROOT\\WS01"));
  std::vector<std::string> refused;
  EXPECT_EQ(app::UndoCommand(u.host, {"/undo", Newest(u)}, &refused), 1);
  EXPECT_EQ(refused.front().substr(0, refused.front().find("（")),
            "拒绝：操作记录中不知道 C:\\WINNT\\system32\\command.com /c c:\\usertemp.bat 添加的记录");

  DemoServer t;
  Generate(t);
  const std::string session = Newest(t);
  struct Line {
    std::vector<std::string> words;
    int status;
    const char* printed;  // the first line, or "<none>" when nothing is printed
  } lines[] = {
      {{"/undo", "19990101-000000"}, 2, "没有会话 19990101-000000。用 Server.exe /undo 列出记下的会话。"},
      {{"/undo", session, "/plan"}, 0, "运行 C:\\WINNT\\system32\\net.exe share WS03 /delete"},
      {{"/undo", session, session}, 2, "<none>"},
      {{"/undo", session, "/log", ""}, 2, "<none>"},
      {{"/undo", session, "/log", "Q:\\nowhere\\undo.log"}, 2, "<none>"},
  };
  for (const Line& line : lines) {
    std::vector<std::string> printed;
    EXPECT_EQ(app::UndoCommand(t.host, line.words, &printed), line.status) << line.words.size();
    EXPECT_EQ(printed.empty() ? "<none>" : printed.front(), line.printed) << line.words.size();
  }
  std::vector<std::string> listed;
  EXPECT_EQ(app::UndoCommand(t.host, {"/undo"}, &listed), 0);
  EXPECT_EQ(listed, (std::vector<std::string>{"记下的会话，最新的在前：", "会话 20261207-090000 窗口",
                                              "  第 1 步：生成用户及目录"}));
}

TEST(Journal, TheUndoWindowTakesBackTheChosenLineAfterAskingAndItsUndoCanBeTakenBack) {
  DemoServer s;
  const std::string fresh = s.Everything();
  Generate(s);
  const std::string generated = s.Everything();
  for (const bool yes : {false, true}) {
    app::TUndoForm form(s.host, s.ui, kRoot, nullptr);
    ASSERT_EQ(form.ListBox1.Items(), (std::vector<std::string>{"会话 2026-12-07 09:00:00 窗口（1 步）", "    第 1 步：生成用户及目录"}));
    EXPECT_FALSE(form.Button1.Enabled());
    form.ListBox1.Choose(1);
    EXPECT_TRUE(form.Button1.Enabled());
    EXPECT_NE(form.Memo1.Text().find("删除目录 D:\\PVDROOT\\WS01"), std::string::npos) << form.Memo1.Text();
    s.ui.Answer(yes ? platform::kIdYes : platform::kIdNo);
    form.Button1Click();
    EXPECT_EQ(FirstDifference(s.Everything(), yes ? fresh : generated), "");
  }
  // Taken back, the undo gives the generation back.
  std::vector<std::string> printed;
  EXPECT_EQ(app::UndoCommand(s.host, {"/undo", Newest(s)}, &printed), 0) << PrintToString(printed);
  EXPECT_EQ(FirstDifference(s.Everything(), generated), "");
  // A file changed since: the window shows the refusal, its button off.
  s.Put("c:\\temps.bak", "D:\\ELSEWHERE\r\n");
  app::TUndoForm refused(s.host, s.ui, kRoot, nullptr);
  refused.ListBox1.Choose(0);
  EXPECT_FALSE(refused.Button1.Enabled());
  EXPECT_NE(refused.Memo1.Text().find("c:\\temps.bak 在那以后又改动过"), std::string::npos) << refused.Memo1.Text();
}

}  // namespace
