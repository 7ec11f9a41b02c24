// The check's advice, followed. On each server of the table, the items that
// are not ready are taken one by one: the advice is done as the administrator
// reads it, in a freshly started program (fields typed, list entries chosen,
// buttons pressed only while enabled, dialogs answered as it says), and the
// check runs again. The item must then be ready, no file there before may be
// gone or emptied, and no ready item may fall back. Advice for the
// administrator must hold a step outside the program; all other advice must
// be steps of the program only.
#include "tests/app/server_check_session.h"

#include <set>

#include "app/server_check.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "standins/net/net.h"

namespace check_test {
namespace {

bool Starts(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

// The steps of a mend: split at "，" and "；", remarks in "（）" left out, a
// leading "再" or "然后" dropped.
std::vector<std::string> Steps(const std::string& mend) {
  std::vector<std::string> steps(1);
  int depth = 0;
  for (size_t i = 0; i < mend.size();) {
    const size_t n = (static_cast<unsigned char>(mend[i]) >= 0xE0) ? 3 : 1;
    const std::string c = mend.substr(i, n);
    i += n;
    if (c == "（") ++depth;
    if (depth == 0 && (c == "，" || c == "；")) steps.emplace_back();
    else if (depth == 0) steps.back() += c;
    if (c == "）") --depth;
  }
  for (std::string& step : steps)
    for (const char* lead : {"再", "然后"})
      if (Starts(step, lead)) step = step.substr(std::string(lead).size());
  return steps;
}

// The text between the first “ and ” of a step.
std::string Quoted(const std::string& step) {
  const size_t open = step.find("“"), close = step.find("”");
  return open == std::string::npos || close == std::string::npos ? "" : step.substr(open + 3, close - open - 3);
}

const std::map<std::string, std::string> kFields = {
    {"共享目录", "Edit1"}, {"用户前辍", "Edit2"}, {"用户数目", "Edit3"}, {"工作组名", "Edit4"}};

// Does the advice as the administrator would; false, with the step, when a
// step is not one of the program's or the program does not take it. With
// `dry`, only reads the steps.
bool Follow(Server& s, const std::string& mend, bool dry, std::string* why) {
  const std::vector<std::string> steps = Steps(mend);
  std::string driver;
  bool prefix = false, close_chooser = false;
  for (const std::string& step : steps) {
    if (Starts(step, "选驱动程序 ")) driver = step.substr(std::string("选驱动程序 ").size());
    prefix = prefix || step == "填工作站网卡地址的前六位";
    close_chooser = close_chooser || step == "关闭“客户机网卡信息”";
  }
  if (!dry) {
    s.host.SetCurrentDirectory("C:\\Korrin");
    s.form.reset();
    s.Start();
  }
  app::TForm1* f = s.form.get();
  auto card_prefix = [f] {
    for (const Card* card : {&kRtl8139, &kRtl8029, &kMyNic})
      if (f->ComboBox1.Text() == card->type) return std::string(card->prefix);
    return std::string();
  };
  s.ui.OnModal<rpl::TForm3>([=](rpl::TForm3& d) {
    d.MAC.SetText(card_prefix());
    return prefix ? platform::kMrOk : platform::kMrCancel;
  });
  s.ui.OnModal<rpl::TGetNetDrv>([=](rpl::TGetNetDrv& d) {
    d.NDISTALK.SetText(driver);
    d.MACTALK.SetText(prefix ? kMyNic.prefix : "");
    return close_chooser || driver.empty() ? platform::kMrCancel : platform::kMrOk;
  });
  s.WaitOut();
  for (const std::string& step : steps) {
    *why = step;
    const std::string label = Quoted(step), chosen = step.substr(std::min(step.size(), step.find("”中") + 10));
    if (Starts(step, "选驱动程序 ") || step == "填工作站网卡地址的前六位" || step == "关闭“客户机网卡信息”" ||
        step == "在提问中选“确定”") {
      continue;  // the dialogs and the question, answered when they show
    } else if (Starts(step, "在“") && step.find("”中选 ") != std::string::npos &&
               (label == "网卡类型" || label == "RPL配置名")) {
      if (dry) continue;
      platform::ComboBox& list = label == "网卡类型" ? f->ComboBox1 : f->ComboBox2;
      const std::vector<std::string> items = list.Items();
      const auto at = std::find(items.begin(), items.end(), chosen);
      if (at == items.end()) return false;
      list.SetItemIndex(static_cast<int>(at - items.begin()));
    } else if (Starts(step, "在“") && step.find("”中填 ") != std::string::npos && kFields.count(label)) {
      if (!dry) static_cast<platform::Edit*>(f->Find(kFields.at(label)))->SetText(chosen);
    } else if (Starts(step, "按“") || Starts(step, "在 PXE 页上按“") || Starts(step, "在 RPL 页上按“")) {
      std::string name;
      for (const look::ControlLayout& c : *app::TForm1::Layout().controls)
        if (c.text == label && (c.kind == look::Kind::kGlyphButton || c.kind == look::Kind::kButton)) name = c.name;
      if (name.empty() || step.substr(step.find("”") + 3) != "") return false;
      if (dry) continue;
      if (!f->Find(name)->Enabled()) return false;
      f->Find(name)->Notify();
    } else if (step == "勾选“工作站自动注册”") {
      if (!dry) f->CheckBox1.SetChecked(true);
    } else if (step == "按安装程序的提示装好 PXE-PDK") {
      if (!dry) s.PdkInstalled();  // the PDK's own installer, run by the administrator
    } else {
      return false;
    }
  }
  why->clear();
  return true;
}

std::vector<app::CheckItem> Check(Server& s) {
  s.host.SetCurrentDirectory("C:\\Korrin");
  return app::CheckServer(s.host, app::StartupInput(s.host)).items;
}

bool Mended(const std::vector<app::CheckItem>& items, const std::string& what) {
  for (const app::CheckItem& item : items)
    if (item.what == what && item.state != app::CheckState::kReady) return false;
  return true;
}

// What a step may take away: the scratch files of the image, the scripts
// and rplcmd's output, and the files an installation replaces by name.
bool Scratch(const std::string& path) {
  const std::string p = platform::Lower(path);
  for (const char* part : {"temp/", "winnt/rpltemp.", "usertemp.bat"})
    if (Starts(p, part)) return true;
  for (const char* end : {"/temp.ini", "/winboot/rtsnd.dos"})
    if (p.size() >= std::strlen(end) && p.compare(p.size() - std::strlen(end), std::string::npos, end) == 0) return true;
  return false;
}

// Every file below C: and D: with its size; folders as -1.
std::map<std::string, long long> Files(Server& s) {
  std::map<std::string, long long> files;
  for (const char* drive : {"C:", "D:"}) {
    const std::filesystem::path top = s.host.NativePath(std::string(drive) + "\\");
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(top, ec))
      files[std::filesystem::relative(e.path(), top).string()] =
          e.is_directory() ? -1 : static_cast<long long>(e.file_size());
  }
  return files;
}

void Walk(Server& s, const Row& row) {
  std::set<std::string> done;
  for (int round = 0; round < 40; ++round) {
    const std::vector<app::CheckItem> items = Check(s);
    const app::CheckItem* next = nullptr;
    for (const app::CheckItem& item : items) {
      std::string why;
      const bool program = Follow(s, item.mend, true, &why);
      if (item.state == app::CheckState::kAdmin || item.state == app::CheckState::kUnreadable) {
        EXPECT_FALSE(program && !done.count(item.what)) << row.name << ": " << item.what << " asks the administrator for "
                                                        << "steps of the program only: " << item.mend;
      } else if (item.state != app::CheckState::kReady && !done.count(item.what)) {
        EXPECT_TRUE(program) << row.name << ": " << item.what << ": no step of the program: " << why << "\n" << item.mend;
        if (program && !next) next = &item;
      }
    }
    if (!next) return;
    const app::CheckItem item = *next;
    done.insert(item.what);
    const auto before = Files(s);
    std::string why;
    const bool taken = Follow(s, item.mend, false, &why);
    const std::vector<app::CheckItem> after = Check(s);
    EXPECT_TRUE(taken) << row.name << ": " << item.what << ": the program refused " << why << "\n" << item.mend;
    EXPECT_TRUE(Mended(after, item.what)) << row.name << ": " << item.what << " is not ready after " << item.mend;
    const auto now = Files(s);
    for (const auto& file : before) {
      if (file.second < 0 || Scratch(file.first)) continue;
      const auto there = now.find(file.first);
      EXPECT_TRUE(there != now.end() && (there->second > 0 || file.second == 0))
          << row.name << ": following " << item.what << " took away or emptied " << file.first;
    }
    for (const app::CheckItem& was : items) {
      if (was.state == app::CheckState::kReady) {
        EXPECT_TRUE(Mended(after, was.what)) << row.name << ": following " << item.what << " broke " << was.what;
      }
    }
  }
  ADD_FAILURE() << row.name << ": the advice goes round in circles";
}

TEST(ServerCheckAdvice, FollowedMakesEachItemReady) {
  const std::vector<Row> rows = Rows();
  for (size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].items.empty() || !rows[i].walk) continue;  // a command line, no server of its own
    size_t first = i;
    while (first > 0 && rows[first].from == kGoOn) --first;
    Server s;
    for (size_t j = first; j <= i; ++j) {
      if (rows[j].from == kDemo) s.Demo();
      if (rows[j].step) rows[j].step(s);
    }
    if (::testing::Test::HasFatalFailure()) return;
    s.form.reset();
    s.journal().clear();
    Walk(s, rows[i]);
  }
}

// The chooser walked as the administrator reads "选驱动程序 PATH": the drive,
// each folder from the root down, then the file.
void WalkChooserTo(rpl::TGetNetDrv& chooser, const std::string& path) {
  auto choose = [](platform::ListBox& list, const std::string& name, bool first_letter) {
    const std::vector<std::string> items = list.Items();
    for (size_t i = items.size(); i-- > 0;)
      if (first_letter ? !items[i].empty() && std::toupper(items[i][0]) == std::toupper(name[0])
                       : platform::SameName(items[i], name)) {
        list.Choose(static_cast<int>(i));
        return;
      }
    ADD_FAILURE() << "the chooser does not show " << name;
  };
  choose(chooser.DriveComboBox1, path, true);
  size_t from = 3;
  for (size_t to; (to = path.find('\\', from)) != std::string::npos; from = to + 1)
    choose(chooser.DirectoryListBox1, path.substr(from, to - from), false);
  choose(chooser.FileListBox1, path.substr(from), false);
}

// The advice for a custom card whose registered driver is gone leads the
// chooser into a profile's winboot, which holds the boot floppy's DOS
// NET.EXE. Accounts made later in the same run are made by the system's
// command interpreter and net: no program of that folder answers for them.
TEST(ServerCheckAdvice, AChooserWalkedIntoWinbootLeavesTheAccountsToTheSystemsNet) {
  Server s;
  s.Demo();
  s.RplRoad(kMyNic);
  if (::testing::Test::HasFatalFailure()) return;
  const std::string winboot = std::string("C:\\WINNT\\rpl\\rplfiles\\profiles\\W") + kMyNic.prefix + "\\suboot\\winboot";
  ASSERT_TRUE(s.host.FileExists(winboot + "\\NET.EXE"));
  ASSERT_TRUE(s.host.DeleteFile(paths::NdisDriver("C:\\WINNT", "MYNIC.dos")));
  std::string driver;
  const std::string choose = "选驱动程序 ";
  for (const app::CheckItem& item : Check(s)) {
    const size_t at = item.mend.find(choose);
    if (at != std::string::npos) driver = item.mend.substr(at + choose.size(), item.mend.find("，", at) - at - choose.size());
  }
  ASSERT_TRUE(platform::SameName(driver, winboot + "\\MYNIC.DOS")) << driver;
  s.form.reset();
  app::TForm1& f = s.Form();
  Server::Choose(f.ComboBox1, kMyNic.type);
  f.BitBtn10Click();
  s.ui.OnModal<rpl::TGetNetDrv>([&](rpl::TGetNetDrv& chooser) {
    WalkChooserTo(chooser, driver);
    EXPECT_TRUE(platform::SameName(chooser.NDISTALK.Text(), driver));
    chooser.MACTALK.SetText(kMyNic.prefix);
    return platform::kMrOk;
  });
  f.BitBtn9Click();
  s.journal().clear();
  f.BitBtn1Click();
  std::vector<std::string> foreign;
  for (const platform::SimEvent& e : s.journal())
    if (e.kind == "foreign") foreign.push_back(e.text + " for " + e.caption);
  EXPECT_EQ(foreign, std::vector<std::string>{});
  std::vector<std::string> users;
  ASSERT_TRUE(platform::ReadTextLines(s.host, standins::NetStateDirectory(s.host) + "users.txt", &users));
  EXPECT_EQ(users.size(), 31u);  // the guest account and USER01 to USER30
}

}  // namespace
}  // namespace check_test
