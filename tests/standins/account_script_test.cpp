// The account script the tool writes, run as the tool runs it, through the
// command interpreter and net stand-ins.
#include <cstdio>

#include "tests/standins/standin_session.h"

namespace {

std::string UserName(int i) {
  char name[8];
  std::snprintf(name, sizeof name, "USER%02d", i);
  return name;
}

// The script with default fields: four fixed lines, then three per user.
std::vector<std::string> AccountScript(int users) {
  std::vector<std::string> lines = {
      "net group PXEUSERS /add",
      "net share PVDROOT=D:\\PVDROOT",
      "net user kotavei kotavei /add /passwordchg:no",
      "net group PXEUSERS kotavei /add",
  };
  for (int i = 1; i <= users; ++i) {
    std::string u = UserName(i);
    lines.push_back("net user " + u + " " + u + " /add /passwordchg:no");
    lines.push_back("net share " + u + "=D:\\PVDROOT\\" + u);
    lines.push_back("net group PXEUSERS " + u + " /add");
  }
  return lines;
}

class AccountScriptTest : public StandinSession {
 protected:
  void SetUp() override {
    script = AccountScript(30);
    ASSERT_EQ(script.size(), 94u);
    for (int i = 1; i <= 30; ++i) MakeDirs("D:\\PVDROOT\\" + UserName(i));
    ASSERT_TRUE(platform::WriteTextLines(host, "C:\\usertemp.bat", script));
  }
  std::vector<std::string> script;
};

TEST_F(AccountScriptTest, MakesThirtyOneUsersOneGroupAndThirtyTwoShares) {
  host.RunCommand("command.com /c c:\\usertemp.bat", platform::kHide);

  // The interpreter ran every line, in order, each to its end.
  std::vector<std::string> executed;
  for (const platform::SimEvent& e : journal())
    if (e.kind == "exec") executed.push_back(e.text);
  EXPECT_EQ(executed, script);

  std::vector<std::string> users = {"kotavei\tpasswordchg:no\tkotavei"};
  std::string group = "PXEUSERS\tkotavei";
  std::vector<std::string> shares = {"PVDROOT\tD:\\PVDROOT"};
  for (int i = 1; i <= 30; ++i) {
    std::string u = UserName(i);
    users.push_back(u + "\tpasswordchg:no\t" + u);
    group += "\t" + u;
    shares.push_back(u + "\tD:\\PVDROOT\\" + u);
  }
  EXPECT_EQ(Records("users.txt"), users);
  EXPECT_EQ(Records("groups.txt"), std::vector<std::string>{group});
  EXPECT_EQ(Records("shares.txt"), shares);
  EXPECT_EQ(Get("C:\\WINNT\\netstate\\groups.txt"), group + "\r\n");
}

TEST_F(AccountScriptTest, ASecondRunIsRefusedLineByLineAndChangesNoRecord) {
  std::string first_out;
  EXPECT_EQ(Run("command.com /c c:\\usertemp.bat", &first_out), 0);
  EXPECT_EQ(Count(first_out, "The command completed successfully."), 63u);
  EXPECT_EQ(Count(first_out, "was shared successfully."), 31u);
  std::string before = AllRecords();

  std::string out;
  EXPECT_EQ(Run("command.com /c c:\\usertemp.bat", &out), 2);
  EXPECT_EQ(AllRecords(), before);
  EXPECT_EQ(Count(out, "successfully"), 0u);
  EXPECT_EQ(Count(out, "The group already exists."), 1u);
  EXPECT_EQ(Count(out, "The name has already been shared."), 31u);
  EXPECT_EQ(Count(out, "The account already exists."), 31u);
  EXPECT_EQ(Count(out, "The user already belongs to this group."), 31u);
  // Echo is on: each line is shown after the prompt before it runs.
  EXPECT_EQ(Count(out, "C:\\>net "), 94u);
}

TEST_F(AccountScriptTest, WithoutTheUserDirectoriesOnlyTheirSharesAreRefused) {
  // A fresh machine where only D:\PVDROOT was made.
  std::string out;
  SimMachine bare;
  standins::RegisterSimStandins(bare.host);
  bare.MakeDirs("D:\\PVDROOT");
  ASSERT_TRUE(platform::WriteTextLines(bare.host, "C:\\usertemp.bat", script));
  bare.host.RunAndWait("command.com /c c:\\usertemp.bat", "", &out);
  EXPECT_EQ(Count(out, "The device or directory does not exist."), 30u);
  std::vector<std::string> shares;
  platform::ReadTextLines(bare.host, "C:\\WINNT\\netstate\\shares.txt", &shares);
  EXPECT_EQ(shares, std::vector<std::string>{"PVDROOT\tD:\\PVDROOT"});
}

}  // namespace
