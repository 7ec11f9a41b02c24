#include "rpl/profiles.h"

#include <cstdio>

#include "tests/pxe/startnet_bytes.h"
#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kCaption[] = "morva提示(ERROR)";
const SimEvent kNoProfile = {"message", "请选择正确的RPL配置名! ", kCaption, 48};
const SimEvent kNotInstalled = {"message", "请确认此配置名是否已经安装无盘WIN98所需要的文件! ", kCaption, 48};

using Profiles = RplSession;

TEST_F(Profiles, OnlyTheFirst256EntriesCountAndDotEntriesAreSkippedByName) {
  for (int i = 0; i < 300; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "P%03d", i);
    MakeDirs(Profile(name));
  }
  std::vector<std::string> names = rpl::ListProfiles(host, kRoot);
  ASSERT_EQ(names.size(), 254u);  // 256 entries, "." and ".." among them
  EXPECT_EQ(names.front(), "P000");
  EXPECT_EQ(names.back(), "P253");
  // A listing without dot entries keeps its first two profiles.
  host.OmitDotEntries();
  names = rpl::ListProfiles(host, kRoot);
  ASSERT_EQ(names.size(), 256u);
  EXPECT_EQ(names.front(), "P000");
  // A missing profiles directory lists nothing and says nothing.
  Remove(Profile(""));
  form->BitBtn12Click();
  EXPECT_TRUE(form->ComboBox2.Items().empty());
  EXPECT_TRUE(journal().empty());
}

TEST_F(Profiles, ASettingThatCannotApplyIsRefusedOnceAndTheBoxEndsClear) {
  const std::string script = "C:\\WINNT\\rpl\\rplfiles\\profiles\\WIN98A\\suboot\\winboot\\startnet.bat";
  const SimEvent kUnwritable = {"message", "无法写入 " + script + "，工作站自动注册没有改变。", kCaption, 48};
  struct Case {
    const char* profile;
    const char* script;  // the start script before, or nullptr
    bool read_only;
    SimEvent message;
  } cases[] = {
      {"", nullptr, false, kNoProfile},
      {"WIN98A", nullptr, false, kNotInstalled},  // suboot without the start script
      {"WIN98A", "an earlier script\r\n", true, kUnwritable},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message.text);
    RplMachine m;
    m.MakeDirs(Rpl("rplfiles\\profiles\\WIN98A\\suboot\\winboot"));
    if (c.script) m.Put(script, c.script);
    if (c.read_only) m.host.SetFileAttributes(script, platform::kAttrReadOnly);
    // The plan refuses what it can know, and lists the rewrite otherwise.
    const plan::Plan planned = rpl::PlanAutoRegistration(m.host, m.kRoot, c.profile, true);
    EXPECT_EQ(planned.refused ? planned.message : plan::Describe(planned).front(),
              c.script ? "替换 " + script + "（工作站自动注册的启动脚本）" : c.message.text);
    m.ChooseProfile(c.profile);
    m.form->CheckBox1.SetChecked(true);
    EXPECT_EQ(m.journal(), std::vector<SimEvent>{c.message});
    EXPECT_FALSE(m.form->CheckBox1.Checked());
    EXPECT_EQ(m.Get(script), c.script ? c.script : "<absent>");
  }
}

// The update lists every entry but hidden, system and DOS ones; the profile
// chosen stays chosen, and its auto-registration as it is.
TEST_F(Profiles, UpdateListsTheProfilesAndKeepsTheChoiceAndItsScript) {
  const std::string script = Profile("WIN98A") + "\\suboot\\winboot\\startnet.bat";
  Put(script, "image copy\r\n");
  MakeDirs(Profile("DOS622") + "\\wksta.pro");
  Put(Profile("DOS622") + "\\wksta.pro\\DOSSHELL.INI", "dos");
  MakeDirs(Profile("Hidden"));
  host.SetFileAttributes(Profile("Hidden"), platform::kAttrHidden | platform::kAttrDirectory);
  MakeDirs(Profile("Sys"));
  host.SetFileAttributes(Profile("Sys"), platform::kAttrSystem);
  Put(Profile("notes.txt"), "a plain file is offered too");
  MakeDirs(Profile("WIN98B") + "\\wksta.pro");  // wksta.pro without dosshell.ini
  form->BitBtn12Click();
  form->ComboBox2.SetItemIndex(1);  // WIN98A
  form->CheckBox1.SetChecked(true);  // writes the auto-registering script, which the update only reads
  form->BitBtn12Click();
  EXPECT_EQ(Get(script), kAutoRegister);
  EXPECT_TRUE(form->CheckBox1.Checked());
  EXPECT_EQ(form->ComboBox2.ItemIndex(), 1);
  EXPECT_EQ(form->ComboBox2.Items(), (std::vector<std::string>{"notes.txt", "WIN98A", "WIN98B"}));
  EXPECT_TRUE(journal().empty());
}

}  // namespace
