#include "rpl/profiles.h"

#include <cstdio>
#include <filesystem>

#include "platform/encoding.h"
#include "pxe/startnet.h"
#include "tests/rpl/rpl_session.h"

namespace {

using platform::SimEvent;

const char kCaption[] = "morva提示(ERROR)";
const SimEvent kNoProfile = {"message", "请选择正确的RPL配置名! ", kCaption, 48};
const SimEvent kNotInstalled = {"message", "请确认此配置名是否已经安装无盘WIN98所需要的文件! ", kCaption, 48};

class Profiles : public RplSession {
 protected:
  std::string Profile(const std::string& name) { return Rpl("rplfiles\\profiles\\" + name); }
  void Installed(const std::string& name) { Put(Profile(name) + "\\suboot\\winboot\\startnet.bat", "image copy\r\n"); }
  void ChooseProfile(const std::string& name) {
    form->ComboBox2.SetItems({name});
    form->ComboBox2.SetItemIndex(0);
  }
  std::string Script(const std::string& name) { return Get(Profile(name) + "\\suboot\\winboot\\startnet.bat"); }
  static std::string Variant(pxe::StartNetVariant v) { return platform::ToCodePage(platform::JoinLines(pxe::StartNetLines(v))); }
};

TEST_F(Profiles, TheListOffersEveryEntryButHiddenSystemAndDosOnes) {
  MakeDirs(Profile("WIN98A"));
  MakeDirs(Profile("DOS622") + "\\wksta.pro");
  Put(Profile("DOS622") + "\\wksta.pro\\DOSSHELL.INI", "dos");
  MakeDirs(Profile("Hidden"));
  host.SetFileAttributes(Profile("Hidden"), platform::kAttrHidden | platform::kAttrDirectory);
  MakeDirs(Profile("Sys"));
  host.SetFileAttributes(Profile("Sys"), platform::kAttrSystem);
  Put(Profile("notes.txt"), "a plain file is offered too");
  MakeDirs(Profile("WIN98B") + "\\wksta.pro");  // wksta.pro without dosshell.ini
  form->BitBtn12Click();
  EXPECT_EQ(form->ComboBox2.Items(), (std::vector<std::string>{"notes.txt", "WIN98A", "WIN98B"}));
  EXPECT_EQ(form->ComboBox2.ItemIndex(), -1);
  EXPECT_TRUE(journal().empty());
}

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
  std::filesystem::remove_all(host.NativePath(Profile("")));
  form->BitBtn12Click();
  EXPECT_TRUE(form->ComboBox2.Items().empty());
  EXPECT_TRUE(journal().empty());
}

TEST_F(Profiles, TheSwitchWritesTheVariantTheBoxAsksFor) {
  Installed("WIN98A");
  ChooseProfile("WIN98A");
  form->CheckBox1.SetChecked(true);
  EXPECT_EQ(Script("WIN98A"), Variant(pxe::StartNetVariant::AutoRegister));
  EXPECT_EQ(Lines(Profile("WIN98A") + "\\suboot\\winboot\\startnet.bat").size(), 28u);
  form->CheckBox1.SetChecked(false);
  EXPECT_EQ(Script("WIN98A"), Variant(pxe::StartNetVariant::Standard));
  EXPECT_EQ(Lines(Profile("WIN98A") + "\\suboot\\winboot\\startnet.bat").size(), 23u);
  EXPECT_TRUE(journal().empty());
}

TEST_F(Profiles, ASettingThatCannotApplyIsRefusedOnceAndTheBoxEndsClear) {
  struct Case {
    const char* profile;
    bool installed;
    SimEvent message;
  } cases[] = {
      {"", false, kNoProfile},
      {"WIN98A", false, kNotInstalled},  // suboot without the start script
      {"notes.txt", false, kNotInstalled},
  };
  for (const Case& c : cases) {
    RplMachine m;
    m.MakeDirs(Rpl(std::string("rplfiles\\profiles\\WIN98A\\suboot\\winboot")));
    m.form->ComboBox2.SetItems({c.profile});
    m.form->ComboBox2.SetItemIndex(c.profile[0] ? 0 : -1);
    m.form->CheckBox1.SetChecked(true);
    EXPECT_EQ(m.journal(), std::vector<SimEvent>{c.message}) << c.profile;
    EXPECT_FALSE(m.form->CheckBox1.Checked()) << c.profile;
    EXPECT_EQ(m.Get(Rpl(std::string("rplfiles\\profiles\\WIN98A\\suboot\\winboot\\startnet.bat"))), "<absent>");
    // Clearing is silent.
    m.form->CheckBox1.SetChecked(false);
    EXPECT_EQ(m.journal().size(), 1u) << c.profile;
  }
}

TEST_F(Profiles, UpdateClearsTheBoxForTheOldChoiceFirstThenRefillsWithoutAChoice) {
  Installed("WIN98A");
  MakeDirs(Profile("WIN98B"));
  form->BitBtn12Click();
  form->ComboBox2.SetItemIndex(0);
  form->CheckBox1.SetChecked(true);
  ASSERT_EQ(Script("WIN98A"), Variant(pxe::StartNetVariant::AutoRegister));
  form->BitBtn12Click();
  EXPECT_EQ(Script("WIN98A"), Variant(pxe::StartNetVariant::Standard));
  EXPECT_FALSE(form->CheckBox1.Checked());
  EXPECT_EQ(form->ComboBox2.ItemIndex(), -1);
  EXPECT_EQ(form->ComboBox2.Items(), (std::vector<std::string>{"WIN98A", "WIN98B"}));
  EXPECT_TRUE(journal().empty());
}

}  // namespace
