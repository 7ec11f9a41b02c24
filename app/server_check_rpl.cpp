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
const char kLocked[] = "关闭占用它的程序后重新检查";
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
  void check_plan(const std::string& block) const { AddPlan(check, Road::kRpl, Plan(block).plan); }
  // The mend that registers a card, and its state: the card's item's
  // advice in its registration's plan.
  CheckState Register(const std::string& block, std::string* mend, const std::string& driver = "") const {
    const plan::Plan p = Plan(block, driver).plan;
    const plan::Need& card = p.needs.back();
    *mend = card.met ? p.how : card.todo;
    return card.met ? CheckState::kMissing : CheckState::kAdmin;
  }
  // What in `profile` stands in the way of its installation for the card of
  // `block` (rpl::FindInTheWay): the installation refuses it and does not
  // mend it, so it is the administrator's. "" when there is nothing,
  // otherwise what was found, with the steps that clear the way in `steps`.
  std::string InTheWay(const std::string& profile, const std::string& block, std::string* steps) const {
    const rpl::InstallInput input{profile, rpl::CardType(block), in.shared_directory, root(), in.start_dir,
                                  IsCustom(block) ? block : ""};
    const rpl::InTheWay way = rpl::FindInTheWay(host, rpl::PlanInstallation(input, {}));
    // Named inside the profile, or by the full path of a file outside it.
    const std::string inside = paths::Profile(root(), profile) + "\\";
    auto names = [&](const std::vector<std::string>& list) {
      std::vector<std::string> short_names;
      for (const std::string& path : list)
        short_names.push_back(platform::Lower(path.substr(0, inside.size())) == platform::Lower(inside)
                                  ? path.substr(inside.size())
                                  : path);
      return NameList(short_names);
    };
    std::string found;
    steps->clear();
    if (!way.read_only.empty()) {
      found = Cat({names(way.read_only), " 有只读属性，安装不替换只读的文件"});
      *steps = Cat({"去掉 ", NameList(way.read_only), " 的只读属性"});
    }
    if (!way.folders.empty()) {
      found += Cat({found.empty() ? "" : "；", names(way.folders), " 是目录，安装无法用文件替换它"});
      *steps += Cat({steps->empty() ? "" : "，", "把目录 ", NameList(way.folders), " 改名或移走"});
    }
    return found;
  }
  // The mend that installs `profile` for the card of `block`: detection
  // unlocks the install button for a registered Realtek card; any other
  // card is registered in this run first (a custom card's driver name is
  // known only to the run that registered it), from `driver` when the tree
  // has no copy of it. What in the profile stops the installation comes
  // first, for the administrator; `in_the_way` is then what was found.
  CheckState Install(const std::string& profile, const std::string& block, std::string* mend,
                     const std::string& driver = "", std::string* in_the_way = nullptr) const {
    CheckState state = CheckState::kMissing;
    if (!IsCustom(block) && Registered(block))
      *mend = Cat({"在“网卡类型”中选 ", rpl::CardType(block), "，按“检测”"});
    else
      state = Register(block, mend, driver);
    *mend += Cat({"，按“更  新”，在“RPL配置名”中选 ", profile, "，按“安装”"});
    if (state == CheckState::kMissing) state = After(*check, {INSTALLATION_NEEDS}, state, mend);
    std::string steps;
    const std::string found = InTheWay(profile, block, &steps);
    if (in_the_way) *in_the_way = found;
    if (found.empty()) {
      // What else the installation refuses and only the administrator
      // mends (a shipped file gone, the template missing): its plan says.
      const bool yes = true;
      const rpl::InstallInput input{profile, rpl::CardType(block), in.shared_directory, root(), in.start_dir,
                                    IsCustom(block) ? block : "", listed && unlisted.empty() ? &records : nullptr};
      const plan::Plan install = rpl::PlanInstall(host, input, &yes).plan;
      if (!install.Refused() || !install.administrator) return state;
      *mend = Cat({"先", install.todo, "，再", *mend});
      return CheckState::kAdmin;
    }
    const std::string first = "先";
    *mend = mend->compare(0, first.size(), first) == 0 ? Cat({first, steps, "，", mend->substr(first.size())})
                                                       : Cat({first, steps, "，再", *mend});
    return CheckState::kAdmin;
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
    r.check_plan(block);
    if (r.Registered(block)) r.cards.push_back(block);
  }
}

// The parts of a profile's item: what was found of each aspect, the worst
// state and the mends of those not ready, in the order found.
class ProfileItem {
 public:
  void Ready(const std::string& found) { found_.push_back(found); }
  void Not(CheckState state, const std::string& found, const std::string& mend) {
    found_.push_back(found);
    if (Severity(state) > Severity(state_)) state_ = state;
    for (const std::string& m : mends_)
      if (m == mend) return;
    mends_.push_back(mend);
  }
  bool Asks(const std::string& mend) const {
    for (const std::string& m : mends_)
      if (m == mend) return true;
    return false;
  }
  void AddTo(ServerCheck* check, const std::string& what) const {
    Add(check, Road::kRpl, what, state_, {Joined(found_), "。"}, {Joined(mends_)});
  }

 private:
  static std::string Joined(const std::vector<std::string>& parts) {
    std::string all;
    for (const std::string& p : parts) all += (all.empty() ? "" : "；") + p;
    return all;
  }
  CheckState state_ = CheckState::kReady;
  std::vector<std::string> found_, mends_;
};

// One profile: its Windows 98 files, the driver its setvars.bat names, this
// server and share, and its start script's variant.
void CheckProfile(const Rpl& r, const std::string& name) {
  platform::Host& host = r.host;
  const std::string& root = r.root();
  ServerCheck* check = r.check;
  const std::string what = Cat({"配置 ", name});
  if (rpl::IsDosProfile(host, root, name)) {
    Add(check, Road::kRpl, what, CheckState::kReady, {"DOS 的远程配置，不用安装无盘WIN98文件。"});
    return;
  }
  const std::string boot = paths::ProfileBoot(root, name), client = paths::ProfileClient(root, name);
  const std::string setvars_path = Cat({client, "\\setvars.bat"});
  std::string mend;
  if (!host.DirectoryExists(boot)) {
    const CheckState state = r.Install(name, r.AnyCard(), &mend);
    Add(check, Road::kRpl, what, state, {"还没有安装无盘WIN98文件。"}, {mend, "（网卡选这个配置的工作站的网卡）"});
    return;
  }
  std::vector<std::string> setvars;
  if (host.FileExists(setvars_path) && !platform::ReadTextLines(host, setvars_path, &setvars)) {
    Add(check, Road::kRpl, what, CheckState::kUnreadable, {"无法读取 ", setvars_path, "。"}, {kLocked});
    return;
  }
  // The card's driver: the one NETCARD names, or the image's own RTSND.
  std::string driver = "RTSND.DOS";
  pxe::SetValue(setvars, "NETCARD", &driver);
  // A name that is no driver file (a path, a device) is not looked for.
  if (!rpl::IsDriverFileName(driver)) {
    std::string in_the_way;
    const CheckState state = r.Install(name, r.AnyCard(), &mend, "", &in_the_way);
    Add(check, Road::kRpl, what, state == CheckState::kMissing ? CheckState::kStale : state,
        {"setvars.bat 中的 NETCARD=", driver, " 不是网卡驱动程序的文件名（名字.DOS）",
         in_the_way.empty() ? "" : "；", in_the_way, "。"},
        {mend, "（网卡选这个配置的工作站的网卡）"});
    return;
  }
  ProfileItem item;
  const std::string block = driver.substr(0, driver.find('.'));
  const std::string own = Cat({client, "\\", driver}), registered = paths::NdisDriver(root, driver);
  // Installing again mends every file of the profile; a custom card whose
  // registered driver is gone registers again from the profile's copy.
  std::string install, in_the_way;
  CheckState again = r.Install(name, block, &install, host.FileExists(own) ? own : "", &in_the_way);
  auto not_ready = [&](CheckState state) { return again == CheckState::kMissing ? state : again; };
  std::vector<std::string> files;
  for (const char* file : {"subst.exe", "io.sys", "system.dat"}) files.push_back(Cat({boot, "\\", file}));
  for (const rpl::StartFile& file : rpl::StartFiles()) files.push_back(Cat({boot, "\\", file.name}));
  for (const std::string& file : rpl::ClientFiles())
    if (file != "RTSND.DOS") files.push_back(Cat({client, "\\", file}));
  const std::vector<std::string> missing = MissingFiles(host, files);
  if (missing.empty())
    item.Ready("无盘WIN98文件齐全");
  else
    item.Not(not_ready(CheckState::kMissing), Cat({"缺少 ", NameList(missing)}), install);
  // The driver in the profile, and the same in the Remoteboot tree. An
  // installation puts the registered driver in the profile.
  std::string mine, tree;
  if (!host.FileExists(own)) {
    item.Not(not_ready(CheckState::kMissing), Cat({"setvars.bat 指定的网卡驱动 ", driver, " 不在 winboot 中"}), install);
  } else if (!r.Registered(block)) {
    item.Not(not_ready(CheckState::kStale),
             Cat({"网卡驱动 ", driver, " 在 winboot 中，但它的网卡没有在本服务器注册：配置是为没有注册的网卡安装的"}),
             install);
  } else if (!platform::SameName(driver, "RTSND.DOS") &&
             (!host.ReadFile(own, &mine) || !host.ReadFile(registered, &tree) || mine != tree)) {
    item.Not(not_ready(CheckState::kStale), Cat({"网卡驱动 ", driver, " 与远程启动目录中的不同"}), install);
  } else {
    item.Ready(Cat({"网卡驱动 ", driver, "，远程启动目录中也有"}));
  }
  // This server and share.
  std::string server, share;
  const bool has_server = pxe::SetValue(setvars, "SERVER", &server), has_share = pxe::SetValue(setvars, "SHARE", &share);
  if (check->computer_name.empty())
    item.Not(CheckState::kUnreadable, "读不到注册表中的计算机名，无法比较 SERVER", "检查注册表后重新检查");
  else if (!has_server || !has_share)
    item.Not(not_ready(CheckState::kMissing), "setvars.bat 中缺少 SET SERVER 或 SET SHARE 一行", install);
  else if (!platform::SameName(server, check->computer_name) || !platform::SameName(share, check->share))
    item.Not(not_ready(CheckState::kStale),
             Cat({"SERVER=", server, "，SHARE=", share, "，今天应为 SERVER=", check->computer_name, "，SHARE=", check->share}),
             install);
  else
    item.Ready(Cat({"SERVER=", server, "，SHARE=", share, "，都是今天的"}));
  // Workstation auto-registration: which of the two start scripts it has.
  const std::string startnet_path = paths::ProfileStartNet(root, name);
  std::string startnet;
  auto is = [&](pxe::StartNetVariant v) { return startnet == platform::JoinLines(pxe::StartNetLines(v)); };
  if (!host.FileExists(startnet_path)) {
    // Listed among the missing files.
  } else if (!host.ReadFile(startnet_path, &startnet)) {
    item.Not(CheckState::kUnreadable, "无法读取 startnet.bat", kLocked);
  } else if (is(pxe::StartNetVariant::AutoRegister) || is(pxe::StartNetVariant::Standard)) {
    item.Ready(is(pxe::StartNetVariant::AutoRegister) ? "工作站自动注册：开" : "工作站自动注册：关");
  } else if (host.FileAttributes(startnet_path) & platform::kAttrReadOnly) {
    // The check box writes the script anew, and cannot over a read-only one.
    item.Not(CheckState::kAdmin, "startnet.bat 不是本程序写的两种之一，又有只读属性，勾选框无法改写它",
             Cat({"先去掉 ", startnet_path, " 的只读属性，再按“更  新”，在“RPL配置名”中选 ", name,
                  "，勾选“工作站自动注册”（不要自动注册时再清除它）"}));
  } else {
    item.Not(CheckState::kStale, "startnet.bat 不是本程序写的两种之一",
             Cat({"按“更  新”，在“RPL配置名”中选 ", name, "，勾选“工作站自动注册”（不要自动注册时再清除它）"}));
  }
  // What stops the installation the item asks for.
  if (!in_the_way.empty() && item.Asks(install)) item.Not(again, in_the_way, install);
  item.AddTo(check, what);
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
