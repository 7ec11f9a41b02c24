#include "tests/admin/promises.h"

#include <algorithm>
#include <sstream>
#include <cstring>

#include "accounts/users.h"
#include "app/answer_file.h"
#include "app/answer_run.h"
#include "app/answer_run_parts.h"
#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/text.h"
#include "rpl/detect.h"
#include "rpl/register.h"
#include "standins/net/net.h"
#include "standins/net/records.h"
#include "standins/rpl/rpldb.h"

namespace admin {
namespace {

// What the promises compare: the machine and the check at one moment, and
// the main window's fields the press read.
struct Moment {
  Tree tree;
  app::ServerCheck check;
  std::string shared, prefix, count, group, card, profile, driver_name;
};

// The account promise of a generation whose script still runs, to be kept
// once it ends.
struct Pending {
  bool accounts = false;
  std::string prefix, count, group, shared;
};

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
bool Starts(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }
bool Ends(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}
// A path that is the folder or lies below it (both in lower case).
bool Within(const std::string& path, const std::string& folder) { return Starts(path + "\\", folder + "\\"); }

const app::CheckItem* Item(const app::ServerCheck& check, const std::string& what) {
  for (const app::CheckItem& item : check.items)
    if (platform::SameName(item.what, what)) return &item;
  return nullptr;
}

std::string CardItem(const std::string& block) {
  return std::string("网卡 ") + rpl::CardType(block) + "（" + block + "）";
}

std::string StateOf(const app::CheckItem* item) {
  return item ? std::string(app::StateMark(item->state)) + app::StateWord(item->state) : "no item";
}

bool Ready(const app::CheckItem* item) { return item && item->state == app::CheckState::kReady; }

// The block of the card type chosen, as registration and detection name it.
std::string BlockOf(const Moment& m) {
  if (m.card == rpl::kRtl8139) return "rtsnd";
  if (m.card == rpl::kRtl8029) return "pcind";
  return m.driver_name;
}

std::string Messages(const Outcome& outcome) {
  std::string all;
  for (const platform::SimEvent& e : outcome.events)
    if (e.kind == "message" || e.kind == "notice" || e.kind == "error") all += "\n      [" + e.caption + "] " + e.text;
  return all;
}

// The folders and files the program may change at all: the README's table.
bool ToolsPlace(const std::string& path, const Moment& before, const Moment& after) {
  const std::string p = platform::Lower(path);
  for (const char* place : {"c:\\temps.bak", "c:\\usertemp.bat", "c:\\winnt\\rpltemp.bat", "c:\\winnt\\rpltemp.out"})
    if (p == place) return true;
  for (const char* folder : {"c:\\temp", "c:\\program files", "c:\\winnt\\rpl", "c:\\winnt\\netstate"})
    if (Within(p, folder)) return true;
  for (const std::string& shared : {before.shared, after.shared})
    if (!shared.empty() && Within(p, platform::Lower(shared))) return true;
  return false;
}

bool IsRegister(const Press& press) {
  return press.act == Press::kRegister || press.act == Press::kDetectRegister;
}

const char kNetbeui[] = "c:\\winnt\\rpl\\bblock\\netbeui\\";

// What a step that did not say it was done may leave changed, by the
// README's table ("what a failure leaves as it was").
bool MayChangeOnFailure(const Press& press, const std::string& path, const Tree& before, const std::string& said,
                        const Moment& b) {
  const std::string p = platform::Lower(path);
  const bool made = !before.count(p);
  switch (press.act) {
    case Press::kGenerate:
      return p == "c:\\temps.bak" || p == "c:\\usertemp.bat" || (made && Within(p, platform::Lower(b.shared)));
    case Press::kBootImage:
      return Within(p, "c:\\temp") || (made && Starts(p, "c:\\program files\\intel"));
    case Press::kRegister:
    case Press::kDetectRegister:
      if (Starts(p, "c:\\winnt\\rpl\\rplfiles\\binfiles\\dos622\\") && made) return true;
      // Its script and rplcmd's output are taken away, an earlier run's too.
      if (p == "c:\\winnt\\rpltemp.bat" || p == "c:\\winnt\\rpltemp.out") return true;
      if (Starts(p, kNetbeui) && made && p.find('\\', std::strlen(kNetbeui)) == std::string::npos) return true;
      // Records added, and a file that could not be replaced afterwards.
      return Has(said, "注册完成") && (p == "c:\\winnt\\rpl\\rpldb.txt" || Starts(p, "c:\\winnt\\rpl\\bblock\\"));
    case Press::kInstall:
      if (Within(p, "c:\\temp")) return true;
      if (Starts(p, "c:\\winnt\\rpl\\rplfiles\\profiles\\") && made &&
          (Ends(p, "\\suboot") || Ends(p, "\\suboot\\winboot")))
        return true;
      // Cut off while the files took their places: the profile part new,
      // or complete with the service's files not yet replaced.
      return (Has(said, "只换了一部分") || Has(said, "已经装好")) &&
             (Starts(p, "c:\\winnt\\rpl\\rplfiles\\profiles\\") || Starts(p, "c:\\winnt\\rpl\\rplfiles\\binfiles\\win95\\"));
    default: return false;
  }
}

// The accounts the script of a generation made: every user with its folder
// shared, in its group.
std::string AccountsMissing(World& world, const Pending& p) {
  int count = 0;
  if (!accounts::ParseUserCount(p.count, &count)) return "count " + p.count + " unreadable";
  standins::NetRecords records(world.sim(), standins::NetStateDirectory(world.sim()));
  std::vector<standins::User> users;
  std::vector<standins::Group> groups;
  std::vector<standins::Share> shares;
  if (!records.LoadUsers(&users) || !records.LoadGroups(&groups) || !records.LoadShares(&shares))
    return "the net records cannot be read";
  const standins::Group* group = standins::Find(groups, p.group);
  if (!group) return "no group " + p.group;
  for (int i = 1; i <= count && i <= 200; ++i) {
    const std::string name = accounts::UserName(p.prefix, i);
    if (!standins::Find(users, name)) return "no user " + name;
    if (!standins::Find(shares, name)) return "no share " + name;
    if (std::none_of(group->members.begin(), group->members.end(),
                     [&](const std::string& m) { return platform::SameName(m, name); }))
      return name + " not in group " + p.group;
  }
  if (!standins::Find(shares, base::ShareName(p.shared))) return "no share " + base::ShareName(p.shared);
  return "";
}

// A card as the Remoteboot service boots it: its driver and three boot-block
// files in the tree, and a vendor whose two boot blocks point at those files
// with the two configurations naming them. Read from the service's database
// itself, not through the program.
bool CardBoots(World& world, const std::string& block, const std::string& vendor = "") {
  if (block.empty()) return false;
  const std::string root = "C:\\WINNT";
  for (const std::string& file : rpl::CardFiles(root, block))
    if (!world.sim().FileExists(file)) return false;
  standins::rpl::Database db;
  if (standins::rpl::Load(world.sim(), &db) != standins::rpl::LoadResult::kLoaded) return false;
  const std::string dir = "BBLOCK\\NETBEUI\\" + block + "\\";
  for (const standins::rpl::Vendor& v : db.vendors) {
    if (!vendor.empty() && !platform::SameName(v.name, vendor)) continue;
    const auto* dos = db.FindBootBlock(v.name + "DOS");
    const auto* win = db.FindBootBlock(v.name + "WIN");
    const auto* dos_config = db.FindConfiguration("DOS" + v.name);
    const auto* win_config = db.FindConfiguration("WIN" + v.name);
    if (dos && win && dos_config && win_config && platform::SameName(dos->file, dir + "DOSBB.CNF") &&
        platform::SameName(win->file, dir + "W95BB.CNF") && platform::SameName(dos_config->boot, dos->name) &&
        platform::SameName(win_config->boot, win->name))
      return true;
  }
  return false;
}

// The boot-block folders the database's records point at, but the NE2000's.
std::vector<std::string> CardsInDatabase(World& world) {
  std::vector<std::string> cards;
  standins::rpl::Database db;
  if (standins::rpl::Load(world.sim(), &db) != standins::rpl::LoadResult::kLoaded) return cards;
  const std::string head = "BBLOCK\\NETBEUI\\";
  for (const standins::rpl::BootBlock& b : db.boot_blocks) {
    if (platform::Lower(b.file.substr(0, head.size())) != platform::Lower(head)) continue;
    const std::string block = b.file.substr(head.size(), b.file.find('\\', head.size()) - head.size());
    if (platform::SameName(block, "ne2000")) continue;
    if (std::none_of(cards.begin(), cards.end(), [&](const std::string& c) { return platform::SameName(c, block); }))
      cards.push_back(block);
  }
  return cards;
}

// The promise of "done": the step's own items, and what it just used, ready.
void DoneItems(World& world, const Press& press, const Moment& before, const Moment& after, const std::string& said,
               std::vector<std::string>* broken) {
  auto need = [&](const std::string& what, const std::string& why) {
    const app::CheckItem* item = Item(after.check, what);
    if (!Ready(item))
      broken->push_back("[done] said done (" + why + ") but the check finds " + what + " " + StateOf(item) +
                        (item ? "：" + item->found : ""));
  };
  if (press.act == Press::kBootImage && Has(said, "创建完成")) {
    for (const char* what : {"已安装的启动镜像", "启动镜像中的服务器和共享", "镜像工具", "原始镜像文件", "临时目录"})
      need(what, "boot image made");
  }
  const bool registered =
      IsRegister(press) && (Has(said, "注册完成") || Has(said, "自选网卡完成") || Has(said, "已经注册过"));
  const bool detected = press.act == Press::kDetect && Has(said, "检测成功");
  const std::string block = BlockOf(after);
  if (registered || detected) {
    need(CardItem(block), registered ? "card registered" : "card detected");
    if (!CardBoots(world, block))
      broken->push_back("[done-truth] said done, but no vendor of the database boots card " + block +
                        " with its own boot blocks and files");
  }
  if (registered) {
    // The DOS 6.22 files are all there once a registration has copied or
    // kept them. (It uses the NE2000 templates only for the files it makes.)
    need("DOS 6.22 文件", "card registered");
    // The registration ran rplcmd; the manager it opens afterwards may be
    // missing without the registration failing.
    const app::CheckItem* programs = Item(after.check, "远程启动服务程序");
    if (programs && !Ready(programs) && programs->found.find("rplmgr.exe") == std::string::npos)
      broken->push_back("[done] said registered but the check finds 远程启动服务程序 " + StateOf(programs) + "：" +
                        programs->found);
    if (Has(said, "注册完成") || Has(said, "自选网卡完成")) {
      std::string vendor = Pick(kVendorPool, press.a);
      if (!CardBoots(world, block, vendor))
        broken->push_back("[done-truth] said registered, but vendor " + vendor + " does not boot card " + block);
    }
  }
  if (press.act == Press::kInstall && Has(said, "安装完成")) {
    need("配置 " + before.profile, "installed");
    // The installation unpacks the image (undisk) and packs none: the
    // image tools' item, which also asks for rplimage, is the image's.
    for (const char* what : {"Windows 95 文件", "原始镜像文件", "临时目录"}) need(what, "installed");
  }
}

Moment Take(World& world) {
  app::TForm1& f = world.form();
  return Moment{world.Snapshot(), world.Check(), f.Edit1.Text(), f.Edit2.Text(), f.Edit3.Text(),
                f.Edit4.Text(), f.ComboBox1.Text(), f.ComboBox2.Text(), f.settings.NdisDriverName};
}

// Whether a message says its step is done, or says it failed.
bool SaysDone(const platform::SimEvent& e) {
  if (e.kind != "message") return false;
  const unsigned icon = e.flags & 0xF0;
  if (icon != platform::kMbIconInformation && icon != 0) return false;
  const std::string words = e.caption + e.text;
  return Has(words, "完成") || Has(words, "成功") || Has(words, "已经");
}

bool SaysFailed(const platform::SimEvent& e) {
  if (e.kind == "notice" || e.kind == "error") return true;
  const unsigned icon = e.flags & 0xF0;
  return e.kind == "message" && (icon == platform::kMbIconExclamation || icon == platform::kMbIconStop);
}

// The promises broken by `press`, whose outcome was `outcome`, taking the
// world from `before` to `after`; `pending` carries the account promise of
// a generation whose script still runs.
std::vector<std::string> Broken(World& world, const Press& press, const Outcome& outcome, const Moment& before,
                                const Moment& after, Pending* pending) {
  std::vector<std::string> broken;
  if (!outcome.runaway.empty()) broken.push_back("[runaway] the press ran away: " + outcome.runaway);
  bool done = false, failed = false;
  std::string said;
  for (const platform::SimEvent& e : outcome.events) {
    if (SaysDone(e)) done = true;
    if (SaysFailed(e)) failed = true;
    if (e.kind == "message" || e.kind == "notice" || e.kind == "error") said += e.caption + e.text + "\n";
    // Programs are started by their full paths; a bare name is looked for in
    // the current folder first, which the driver chooser moves.
    if (e.kind == "foreign") broken.push_back("[bare-name] a program's name was answered by " + e.text);
    if (e.kind != "run" && e.kind != "wait") continue;
    const std::vector<std::string> words = platform::SplitCommandLine(e.text);
    if (words.empty() || words[0].size() < 3 || words[0][1] != ':' || words[0][2] != '\\')
      broken.push_back("[bare-name] started by a bare name: " + e.text);
  }
  // Files outside the tool's folders never change; no FILE.new or FILE.ins
  // stays behind.
  const std::vector<std::string> changed = Changed(before.tree, after.tree);
  // An answer file's run types its own shared directory.
  std::string run_shared;
  const size_t typed = press.act == Press::kRunFile ? outcome.answers.find("SharedDirectory=") : std::string::npos;
  if (typed != std::string::npos)
    run_shared = platform::Lower(outcome.answers.substr(typed + 16, outcome.answers.find('\r', typed) - typed - 16));
  // A file the step staged and could not take away again, as the one fault
  // struck that very delete, is the fault's and not the step's.
  // A staged file an earlier press left (FILE.new, FILE.ins), taken away by
  // this one before it stages its own, is the step's cleaning up.
  auto fault_left = [&](const std::string& path) {
    const bool staged = Ends(path, ".new") || Ends(path, ".ins");
    return platform::Lower(outcome.fault) == "deletefile " + path ||
           (staged && before.tree.count(path) && !after.tree.count(path));
  };
  // An undo puts back what the sessions changed, wherever that was; one the
  // window refused (a file changed since, nothing to take back) changes nothing.
  if (press.act == Press::kUndo && outcome.undo_refused && !changed.empty())
    broken.push_back("[undo-refused] the undo of \"" + outcome.undo_line + "\" was refused, yet " + changed.front() +
                     " changed");
  // An undo a fault stopped says so: a change it could not make (but a
  // folder left, which it names, or the journal's own keeping) is no success.
  const std::string struck = platform::Lower(outcome.fault);
  if (press.act == Press::kUndo && press.fault.kind == platform::Fault::kChange && !struck.empty() &&
      struck.rfind("removedirectory ", 0) != 0 &&
      struck.find("c:\\korrin\\journal") == std::string::npos && done && !failed)
    broken.push_back("[undo-done] the fault struck " + outcome.fault + ", yet the undo said it was done");
  for (const std::string& path : changed) {
    const bool shared = !run_shared.empty() && Within(path, run_shared);
    if (!ToolsPlace(path, before, after) && !shared && !fault_left(path) && press.act != Press::kUndo)
      broken.push_back("[outside] changed outside the tool's folders: " + path);
    if ((Ends(path, ".new") || Ends(path, ".ins")) && after.tree.count(path) && !before.tree.count(path) &&
        !fault_left(path))
      broken.push_back("[left-behind] left behind: " + path);
  }
  // A step that said it failed leaves every file as it was but what the
  // README's table allows.
  if (failed && !done && press.act != Press::kAdvice && press.act != Press::kUndo)
    for (const std::string& path : changed)
      if (!MayChangeOnFailure(press, path, before.tree, said, before) && !fault_left(path))
        broken.push_back("[failed-changed] said it failed, yet changed " + path);
  if (press.act == Press::kCheck && !changed.empty()) broken.push_back("[check-changed] the check changed " + changed.front());
  // Registration keeps every boot-block file and Realtek driver that was there.
  if (IsRegister(press))
    for (const std::string& path : changed) {
      const bool block_file = Starts(path, "c:\\winnt\\rpl\\bblock\\netbeui\\") && before.tree.count(path) &&
                              before.tree.at(path) != "<folder>";
      const bool realtek = path == "c:\\winnt\\rpl\\bblock\\ndis\\rtsnd.dos" || path == "c:\\winnt\\rpl\\bblock\\ndis\\pcind.dos";
      if ((block_file || (realtek && before.tree.count(path))) && !Ends(path, ".new"))
        broken.push_back("[registration-keeps] registration changed a file that was there: " + path);
    }
  // Done means done.
  if (done) DoneItems(world, press, before, after, said, &broken);
  if (press.act == Press::kGenerate && done) {
    *pending = {true, before.prefix, before.count, before.group, before.shared};
  }
  if (pending->accounts && !world.script_running()) {
    pending->accounts = false;
    const std::string missing = AccountsMissing(world, *pending);
    if (!missing.empty())
      broken.push_back("[accounts] said the users are on their way, but after the script: " + missing);
    // The check judges the window's fields as they are now.
    const bool same = pending->shared == after.shared && pending->prefix == after.prefix &&
                      pending->count == after.count && pending->group == after.group;
    for (const char* what : {"共享目录", "用户目录"}) {
      const app::CheckItem* item = Item(after.check, what);
      if (same && !Ready(item) && Item(before.check, what))
        broken.push_back(std::string("[accounts] said the users are on their way, but the check finds ") + what + " " +
                         StateOf(item) + (item ? "：" + item->found : ""));
    }
  }
  // At every failure of a registration or an installation, what booted
  // still boots.
  if ((IsRegister(press) || press.act == Press::kInstall) && !done)
    for (const app::CheckItem& item : before.check.items) {
      if (item.road != app::Road::kRpl || item.state != app::CheckState::kReady) continue;
      if (!Starts(item.what, "网卡") && !Starts(item.what, "配置 ")) continue;
      if (!Ready(Item(after.check, item.what)))
        broken.push_back("[failure-broke] a failed step broke " + item.what + ": " + StateOf(Item(after.check, item.what)));
    }
  // A plan only reads; the press changes nothing its plan does not list
  // (the machine's own bookkeeping aside: the attribute list, the accounts
  // net keeps, which the account script's plan names in words).
  if (outcome.plan_touched) broken.push_back("[plan-changed] making the plan of " + outcome.plan.button + " changed the server");
  if (outcome.planned && outcome.runaway.empty())
    for (const std::string& path : changed)
      if (!Starts(path, "c:\\winnt\\netstate") && !plan::Lists(outcome.plan, path) && !fault_left(path))
        broken.push_back("[beyond-plan] " + outcome.plan.button + " changed " + path + ", which its plan does not list");
  // The check judges a card as the service boots it, and every card the
  // database knows is in the report: the database is listed through rplcmd,
  // and without it (the check marks 远程启动服务程序 for the administrator)
  // only the cards' files are seen.
  const bool lists = world.sim().FileExists("C:\\WINNT\\system32\\rplcmd.exe");
  for (const std::string& block : lists ? CardsInDatabase(world) : std::vector<std::string>{})
    if (!Item(after.check, CardItem(block)))
      broken.push_back("[card-unreported] the database knows card " + block + ", the check does not report it");
  for (const app::CheckItem& item : after.check.items) {
    if (!Starts(item.what, "网卡 ")) continue;
    const size_t open = item.what.find("（"), close = item.what.rfind("）");
    if (open == std::string::npos || close == std::string::npos) continue;
    const std::string block = item.what.substr(open + 3, close - open - 3);
    const bool boots = CardBoots(world, block);
    if ((item.state == app::CheckState::kReady) != boots && item.state != app::CheckState::kUnreadable)
      broken.push_back("[card-judged] the check finds " + item.what + " " + StateOf(&item) + " but the service " +
                       (boots ? "boots it" : "cannot boot it"));
  }
  // Advice names steps the program takes, and taking them changes the item.
  if (press.act == Press::kAdvice && !outcome.advice_item.empty()) {
    const app::CheckItem* was = Item(before.check, outcome.advice_item);
    const app::CheckItem* now = Item(after.check, outcome.advice_item);
    if (!outcome.advice_refused.empty())
      broken.push_back("[advice-step] advice for " + outcome.advice_item + " names a step the program did not take: " +
                       outcome.advice_refused + "\n      advice: " + (was ? was->mend : ""));
    else if (was && now && now->state == was->state && now->found == was->found)
      broken.push_back("[advice-loop] following the advice for " + outcome.advice_item + " changed nothing: " + StateOf(now) +
                       "：" + now->found + "\n      advice: " + was->mend);
  }
  // An answer file's run keeps its promises; saving one changes nothing.
  if (press.act == Press::kRunFile) {
    if (!outcome.clicked.empty())
      broken.push_back("[run-clicked] the run ended with 0, yet " + outcome.clicked + "\n      the file:\n" +
                       outcome.answers);
    for (const std::string& line : RunBroken(world, outcome.answers, outcome.run_status, before.tree))
      broken.push_back(line + "\n      the file:\n" + outcome.answers);
    // The run's log lists every file and folder that changed under its
    // steps, the programs' changes among them (net's own bookkeeping of the
    // accounts aside, which the log gives as net's answers).
    const std::string log = platform::Lower(outcome.run_log);
    for (const std::string& path : changed)
      if (outcome.run_status != app::kRunBadFile && !Starts(path, "c:\\winnt\\netstate") &&
          log.find(path) == std::string::npos)
        broken.push_back("[run-log] the run changed " + path + ", which its log does not name");
  }
  if (press.act == Press::kSaveRun) {
    for (const std::string& line : outcome.elsewhere) broken.push_back(line + "\n      the file:\n" + outcome.answers);
    if (!changed.empty()) broken.push_back("[save-changed] 保存应答文件 changed " + changed.front());
  }
  for (std::string& line : broken) line += Messages(outcome);
  return broken;
}

// Whether ADMIN_IGNORE looks past a broken promise's line: by its tag or a word.
bool Ignored(const std::string& line, const std::string& ignore) {
  const size_t close = line.find(']');
  if (line.empty() || line[0] != '[' || close == std::string::npos) return false;
  const std::string tag = line.substr(1, close - 1);
  std::stringstream list(ignore);
  for (std::string item; std::getline(list, item, ',');)
    if (item == tag || (item.size() > 3 && line.find(item) != std::string::npos)) return true;
  return false;
}

}  // namespace

std::vector<std::string> RunBroken(World& world, const std::string& answers, int status, const Tree& before) {
  std::vector<std::string> broken;
  if (status == app::kRunBadFile && world.Snapshot() != before) broken.push_back("[run-bad-file] exit 2, yet the server changed");
  app::AnswerFile file;
  std::string error;
  if (status != app::kRunDone || !app::ParseAnswerFile(platform::ToCodePage(answers), &file, &error)) return broken;
  // The check with the fields the run typed: the shared directory it kept
  // in c:\temps.bak, the rest from [Accounts] or the window's first texts.
  app::CheckInput in = app::StartupInput(world.sim());
  const auto value = app::unattended::Value;  // a key's value, "" when the section lacks it
  for (const app::AnswerSection& s : file.sections)
    if (s.name == "Accounts") {
      in.prefix = value(s, "UserPrefix");
      in.count = value(s, "UserCount");
      in.group = value(s, "WorkGroup");
    }
  const app::ServerCheck check = app::CheckServer(world.sim(), in);
  auto need = [&](const std::string& what, const std::string& says = "") {
    const app::CheckItem* item = Item(check, what);
    if (says.empty() ? !Ready(item) : !item || !Has(item->found, says))
      broken.push_back("[run-done] exit 0, but the check finds " + what + " " + StateOf(item) +
                       (item ? "：" + item->found : "") + (says.empty() ? "" : "（应为“" + says + "”）"));
  };
  for (const app::AnswerSection& s : file.sections) {
    if (s.name == "Accounts") {
      need("共享目录");
      need("用户目录");
      if (app::IsYes(value(s, "NamesFile")) && world.sim().DirectoryExists(in.shared_directory + "\\windows"))
        need("工作站信息文件");
    } else if (s.name == "Pdk" && app::IsYes(value(s, "Install"))) {
      need("已安装的 PXE-PDK");
    } else if (s.name == "BootImage") {
      need("已安装的启动镜像");
      need("启动镜像中的服务器和共享");
    } else if (s.name == "Card") {
      const std::string type = value(s, "Type"), prefix = value(s, "VendorPrefix");
      const std::string block = Has(type, "8139") ? "rtsnd" : Has(type, "8029") ? "pcind" : rpl::DriverBaseName(value(s, "Driver"));
      need(rpl::CardItem(block));
      if (!prefix.empty() && !CardBoots(world, block, prefix))
        broken.push_back("[run-done] exit 0, but vendor " + prefix + " does not boot card " + block);
    } else if (s.name == "Install") {
      need("配置 " + value(s, "Profile"));
    } else if (s.name == "AutoRegistration") {
      need("配置 " + value(s, "Profile"), app::IsYes(value(s, "On")) ? "工作站自动注册：开" : "工作站自动注册：关");
    }
  }
  return broken;
}

std::string Walk(const Shape& shape, const std::vector<Press>& presses, const std::string& ignore, long* presses_run) {
  World world(shape);
  Pending pending;
  Moment before = Take(world);
  const Tree start = before.tree;
  const std::set<std::string> sessions = world.Sessions();
  std::vector<Press> done = presses;  // as a row prints them: the advice by its item
  auto row_of = [&](size_t i, const std::string& broken, const std::string& fault) {
    std::ostringstream row;
    row << "press " << i + 1 << " of " << presses.size() << " broke:\n" << broken;
    if (!fault.empty()) row << "  (the fault struck: " << fault << ")\n";
    row << "the row:\n  {";
    PrintTo(shape, &row);
    row << ",\n   {";
    for (size_t j = 0; j <= i; ++j) {
      row << "\n    ";
      PrintTo(done[j], &row);
    }
    row << "\n  }},";
    return row.str();
  };
  for (size_t i = 0; i < presses.size(); ++i) {
    const Outcome outcome = world.Do(presses[i]);
    if (presses[i].act == Press::kAdvice) done[i].item = outcome.advice_item;
    if (presses_run) ++*presses_run;
    std::string broken;
    Moment after;
    try {
      after = Take(world);
      for (const std::string& line : Broken(world, presses[i], outcome, before, after, &pending))
        if (!Ignored(line, ignore)) broken += "  " + line + "\n";
    } catch (const std::bad_alloc&) {
      if (Ignored("[runaway]", ignore)) return "";
      broken = "  [runaway] the check after the press took all the memory the test allows\n";
    }
    if (!broken.empty()) return row_of(i, broken, outcome.fault);
    before = std::move(after);
  }
  // Every session of the presses taken back, newest first, gives back the
  // server they started from, byte for byte and attribute for attribute
  // (the journal aside), unless someone changed it by hand meanwhile.
  // A database whose records were taken out by hand, their profiles left
  // naming them, is left out too: rplcmd will not delete records a profile
  // uses, so what the program added to mend it cannot be taken back.
  bool dangling = false;
  for (const Mutation& m : shape.mutations)
    dangling = dangling || m.kind == Mutation::kNoRecords || m.kind == Mutation::kDropRecord;
  if (presses.empty() || world.by_hand() || world.journal_struck() || world.late() || dangling ||
      Ignored("[undo-all]", ignore))
    return "";
  // What the journal could not keep refuses the undo: never said done with
  // a file not given back.
  const bool unkept = world.kept_struck() || world.Unkept();
  const std::string refused = world.UndoSince(sessions);
  if (unkept && !refused.empty()) return "";
  std::string broken;
  if (!refused.empty()) broken = "  [undo-all] taking every session back stopped: " + refused + "\n";
  const Tree now = world.Snapshot();
  const std::vector<std::string> changed = Changed(start, now);
  for (size_t i = 0; i < changed.size() && i < 5; ++i)
    broken += "  [undo-all] every session taken back, yet " + changed[i] + " is " +
              (!now.count(changed[i]) ? "gone" : start.count(changed[i]) ? "not as it was" : "new") + "\n";
  return broken.empty() ? "" : row_of(presses.size() - 1, broken, "");
}

}  // namespace admin
