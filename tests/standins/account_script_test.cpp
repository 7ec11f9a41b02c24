// The account script the tool writes with its default fields (30 users with
// directories below D:\PVDROOT, the group PXEUSERS), run by the button as the
// tool runs it, through the command interpreter and net stand-ins.
#include "tests/standins/standin_session.h"

namespace {

class AccountScriptTest : public StandinSession {
 protected:
  void SetUp() override {
    MakeDirs("D:\\");
    Start();
    form->BitBtn1Click();
    ASSERT_TRUE(platform::ReadTextLines(host, "C:\\usertemp.bat", &script));
    ASSERT_EQ(script.size(), 94u);  // four fixed lines, then three per user
  }
  std::vector<std::string> script;
};

TEST_F(AccountScriptTest, MakesThirtyOneUsersOneGroupAndThirtyTwoShares) {
  // The interpreter ran every line, in order, each to its end.
  std::vector<std::string> executed;
  for (const platform::SimEvent& e : journal())
    if (e.kind == "exec") executed.push_back(e.text);
  EXPECT_EQ(executed, script);

  std::vector<std::string> users = {"kotavei\tpasswordchg:no\tkotavei"};
  std::string group = "PXEUSERS\tkotavei";
  std::vector<std::string> shares = {"PVDROOT\tD:\\PVDROOT"};
  for (int i = 1; i <= 30; ++i) {
    std::string u = (i < 10 ? "USER0" : "USER") + std::to_string(i);
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
  const std::string before = AllRecords();
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
  // The button again: the same script, every command refused.
  form->BitBtn1Click();
  EXPECT_EQ(AllRecords(), before);
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
