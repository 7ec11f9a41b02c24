// The server check: the RPL road, from the Remoteboot tree to each profile.
// The tree and the cards are the items of each card's registration plan
// (rpl/register.h), made with the answers the advice gives; profiles are
// judged by the installation's files, and their mends walk the buttons as
// they unlock: detection before registration or installation, the update
// before a profile is chosen.
#include "app/server_check_parts.h"

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/startnet.h"
#include "rpl/detect.h"
#include "rpl/install.h"
#include "rpl/profiles.h"
#include "rpl/records.h"
#include "rpl/register.h"

namespace app {
namespace {

// The profile listing takes this many entries of the profiles folder, its
// "." and ".." among them.
const size_t kProfileListLimit = 256;
const char kService[] = "在控制面板的“网络”中添加远程启动服务";
const char kShipped[] = "随程序发布的 RPL 文件";
// What installation needs besides the card and the profile.
#define INSTALLATION_NEEDS "远程启动服务程序", "远程启动数据库", "Windows 95 文件", "镜像工具", "临时目录", "原始镜像文件", kShipped

// A folder as the report names it: without the backslash its path ends in.
std::string Folder(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

bool IsCustom(const std::string& block) { return rpl::CardType(block) == std::string(rpl::kOtherCard); }

// What the RPL road knows while it goes: the tree and the registered cards.
struct Rpl {
  platform::Host& host;
  const CheckInput& in;
  ServerCheck* check;
  std::vector<std::string> cards;  // the boot-block folders of the registered cards
  // The database's records as rplcmd lists them; why not, when it cannot.
  std::vector<rpl::Record> records;
  std::string unlisted;
  bool listed;  // rplcmd was asked

  const std::string& root() const { return in.system_root; }
  // A card is registered with all its files and the records that boot it.
  bool Registered(const std::string& block) const {
    if (!listed) return rpl::CardRegistered(host, root(), block);
    return unlisted.empty() && rpl::JudgeCard(host, root(), block, records) == rpl::CardState::kRegistered;
  }
  // The registered copy of a custom card's driver, when it is there.
  std::string TreeDriver(const std::string& block) const {
    const std::string path = paths::NdisDriver(root(), Cat({block, ".dos"}));
    return host.FileExists(path) ? path : "";
  }
  // The registration of the card of `block` as the check plans it, with
  // `driver` for a custom card whose tree has no copy of it.
  rpl::Registration Plan(const std::string& block, const std::string& driver = "") const {
    rpl::RegistrationAnswers answers;
    answers.driver = IsCustom(block) ? (TreeDriver(block).empty() ? driver : TreeDriver(block)) : "";
    rpl::RegistrationInput input;
    input.nic_type = rpl::CardType(block);
    input.system_root = root();
    input.start_dir = in.start_dir;
    input.card = IsCustom(block) ? block : "";
    input.listed = true;
    input.records = records;
    input.unlisted = unlisted;
    return rpl::PlanRegistration(host, input, &answers);
  }
  // The mend that registers a card, and its state: the card's item's
  // advice in its registration's plan.
  CheckState Register(const std::string& block, std::string* mend, const std::string& driver = "") const {
    const plan::Plan p = Plan(block, driver).plan;
    // A registration refused for what the card's own item does not show (a
    // part of the service's tree gone): its remedy first, then the button.
    if (p.refused && !p.todo.empty() && p.needs.back().met) {
      *mend = Cat({"先", p.todo, "，再", p.how});
      return p.administrator ? CheckState::kAdmin : CheckState::kMissing;
    }
    const plan::Need& card = p.needs.back();
    *mend = card.met ? p.how : card.todo;
    return card.met ? CheckState::kMissing : CheckState::kAdmin;
  }
  // The installation of `profile` for the card of `block` as the check
  // plans it: a DOS profile left as it is, the records listed once.
  rpl::Installation Installation(const std::string& profile, const std::string& block) const {
    const bool no = false;
    const rpl::InstallInput input{profile, rpl::CardType(block), in.shared_directory, root(), in.start_dir,
                                  IsCustom(block) ? block : "", listed && unlisted.empty() ? &records : nullptr};
    return rpl::PlanInstall(host, input, &no);
  }
  // A card for a profile the check cannot tell the card of: a registered
  // Realtek card (detection alone unlocks the installation for it), else the
  // first registered, else the RTL8139.
  std::string AnyCard() const {
    for (const std::string& card : cards)
      if (!IsCustom(card)) return card;
    return cards.empty() ? "rtsnd" : cards.front();
  }
};

// The registration of each card the server has, planned with the answers
// the check's advice gives (a custom card's driver from the tree); the
// first plan says what the service's tree holds. A server without a card
// is planned for the RTL8139.
void CheckCards(Rpl& r) {
  std::vector<std::string> cards;
  rpl::KnownCards(r.host, r.root(), r.records, &cards);
  if (cards.empty()) cards.push_back("rtsnd");
  for (const std::string& block : cards) {
    const size_t at = r.check->items.size();
    const plan::Plan p = r.Plan(block).plan;
    AddPlan(r.check, Road::kRpl, p);
    if (!r.Registered(block)) continue;
    r.cards.push_back(block);
    if (IsCustom(block)) continue;
    // Detection unlocks 安装, not 配置Rpl, for a registered Realtek card: what
    // its registration would copy into the tree, the administrator copies.
    for (size_t i = at; i < r.check->items.size(); ++i) {
      CheckItem& item = r.check->items[i];
      if (item.changes.empty()) continue;
      std::string copies;
      bool all = true;
      for (const plan::Change& c : p.changes) {
        if (c.item != item.what || c.refresh) continue;
        all = all && c.kind == plan::Change::kWrite && !c.from.empty();
        copies += Cat({copies.empty() ? "" : "，", "把 ", c.from, " 复制到 ", c.path});
      }
      if (!all) continue;
      item.state = CheckState::kAdmin;
      item.mend = copies;
    }
  }
}

// One profile: its item is its installation's plan, for the card its
// setvars.bat names (one the server has, for a profile that names none).
// The advice walks the buttons as they unlock: detection unlocks the install
// button for a registered Realtek card; any other card is registered in
// this run first (a custom card's driver name is known only to the run that
// registered it), from the profile's own copy of its driver when the tree
// has none.
void CheckProfile(const Rpl& r, const std::string& name) {
  bool readable = true;
  const std::string driver = rpl::ProfileDriver(r.host, r.root(), name, &readable);
  const bool installed = r.host.DirectoryExists(paths::ProfileBoot(r.root(), name));
  const std::string block =
      installed && rpl::IsDriverFileName(driver) ? driver.substr(0, driver.find('.')) : r.AnyCard();
  const rpl::Installation install = r.Installation(name, block);
  const size_t at = r.check->items.size();
  AddPlan(r.check, Road::kRpl, install.plan);
  if (at == r.check->items.size()) return;
  CheckItem& item = r.check->items[at];
  if (item.state == CheckState::kReady || item.state == CheckState::kUnreadable) return;
  std::string mend;
  CheckState state = item.state == CheckState::kAdmin ? CheckState::kMissing : item.state;
  if (IsCustom(block) || install.card) {
    const std::string own = Cat({paths::ProfileClient(r.root(), name), "\\", driver});
    if (r.Register(block, &mend, r.host.FileExists(own) ? own : "") == CheckState::kAdmin) state = CheckState::kAdmin;
  } else {
    mend = Cat({"在“网卡类型”中选 ", rpl::CardType(block), "，按“检测”"});
  }
  mend += Cat({"，按“更  新”，在“RPL配置名”中选 ", name, "，按“安装”", installed ? "" : "（网卡选这个配置的工作站的网卡）"});
  if (item.state == CheckState::kAdmin) {
    // What the installation refuses and only the administrator mends comes first.
    item.mend = Cat({"先", item.mend, "，再", mend});
    return;
  }
  if (state != CheckState::kAdmin) state = After(*r.check, {INSTALLATION_NEEDS}, state, &mend);
  item.state = state;
  item.mend = mend;
}

void CheckProfiles(const Rpl& r) {
  platform::Host& host = r.host;
  const std::string& root = r.root();
  const std::string dir = paths::Profile(root, "");
  std::vector<platform::DirEntry> entries;
  if (!host.ListDirectory(dir, &entries)) {
    const bool there = host.DirectoryExists(dir);
    Add(r.check, Road::kRpl, "配置列表", there ? CheckState::kUnreadable : CheckState::kAdmin,
        {there ? "无法列出 " : "没有配置目录 ", Folder(dir), there ? " 中的配置。" : "。"},
        {there ? "检查该目录的权限后重新检查" : kService});
    return;
  }
  std::vector<std::string> profiles, left_out;
  for (const std::string& name : rpl::ListProfiles(host, root))
    if (host.DirectoryExists(paths::Profile(root, name))) profiles.push_back(name);
  for (size_t i = kProfileListLimit; i < entries.size(); ++i) left_out.push_back(entries[i].name);
  size_t windows = 0;
  for (const std::string& name : profiles) windows += rpl::IsDosProfile(host, root, name) ? 0 : 1;
  // Profiles are made and removed in the Remoteboot Manager, by hand.
  if (!left_out.empty())
    Add(r.check, Road::kRpl, "配置列表", CheckState::kAdmin,
        {"“RPL配置名”列表只取配置目录的前 ", kProfileListLimit, " 项（连同 . 和 ..），目录中有 ", entries.size(),
         " 项，不在列表中的有：", NameList(left_out), "。"},
        {"按“启动管理器”删去不用的配置"});
  else
    Add(r.check, Road::kRpl, "配置列表", windows == 0 ? CheckState::kAdmin : CheckState::kReady,
        {Folder(dir), " 中有 ", profiles.size(), " 个配置（DOS 配置 ", profiles.size() - windows, " 个）",
         windows == 0 ? "，没有可安装无盘WIN98的配置" : "",
         entries.size() == kProfileListLimit ? "，列表已到 256 项的上限" : "", "。"},
        {"按“启动管理器”为网卡的 Windows 配置新建一个配置，再按“更  新”"});
  for (const std::string& name : profiles) CheckProfile(r, name);
}

}  // namespace

void CheckRpl(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  if (in.system_root.empty()) {
    Add(check, Road::kRpl, "远程启动目录", CheckState::kUnreadable,
        {"读不到注册表中的 SystemRoot，不知道远程启动目录在哪里。"}, {"检查注册表后重新检查"});
    return;
  }
  Rpl r{host, in, check, {}, {}, {}, false};
  // The database's records, as rplcmd lists them; without rplcmd (an item
  // of its own says so) the cards are judged by their files alone.
  r.listed = host.FileExists(paths::Rplcmd(in.system_root));
  if (r.listed && !rpl::ListRecords(host, in.system_root, &r.records, &r.unlisted) && r.unlisted.empty())
    r.unlisted = "rplcmd 无法列出远程启动数据库中的记录";
  if (!r.listed) r.unlisted = "无法启动 rplcmd（" + paths::Rplcmd(in.system_root) + "）";
  CheckCards(r);
  CheckProfiles(r);
}

}  // namespace app
