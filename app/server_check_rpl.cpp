// The server check: the RPL road, from the Remoteboot tree to each profile.
// Cards are judged by detection's rule (rpl/detect.h), profiles by the
// installation's files, and every mend walks the buttons as they unlock:
// detection before registration or installation, the update before a profile
// is chosen.
#include "app/server_check_parts.h"

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/startnet.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/install.h"
#include "rpl/profiles.h"
#include "rpl/records.h"
#include "rpl/register.h"
#include "rpl/tree.h"

namespace app {
namespace {

// The profile listing takes this many entries of the profiles folder, its
// "." and ".." among them.
const size_t kProfileListLimit = 256;
const char kService[] = "在控制面板的“网络”中添加远程启动服务";
const char kLocked[] = "关闭占用它的程序后重新检查";
const char kShipped[] = "随程序发布的 RPL 文件";
const char kTree[] = "远程启动目录";
// What registration and installation need besides the card and the profile.
#define REGISTRATION_NEEDS "远程启动服务程序", "远程启动数据库", "Windows 95 文件", kTree, "NE2000 启动块模板", "Windows 目录", kShipped
#define INSTALLATION_NEEDS "远程启动服务程序", "远程启动数据库", "Windows 95 文件", "镜像工具", "临时目录", "原始镜像文件", kShipped

// A folder as the report names it: without the backslash its path ends in.
std::string Folder(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

bool IsCustom(const std::string& block) { return rpl::CardType(block) == std::string(rpl::kOtherCard); }

// The steps that register the card of `block`, with the driver file
// `driver` for a custom card; "" when there is no driver to choose.
std::string RegisterSteps(const std::string& block, const std::string& driver) {
  if (IsCustom(block) && driver.empty()) return "";
  return Cat({"在“网卡类型”中选 ", rpl::CardType(block), "，按“检测”，再按“配置Rpl”，",
              IsCustom(block) ? "选驱动程序 " : "", IsCustom(block) ? driver : "", IsCustom(block) ? "，" : "",
              "填工作站网卡地址的前六位"});
}

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
  // The mend that registers a card (with `driver` for a custom card whose
  // tree has none), and its state: kAdmin when no step of the program can,
  // as for a custom card whose driver is nowhere.
  CheckState Register(const std::string& block, std::string* mend, const std::string& driver = "") const {
    // A folder where a file of the card goes: registration cannot put the
    // file there, and renames nothing.
    std::vector<std::string> folders;
    for (const std::string& file : rpl::CardFiles(root(), block))
      if (host.DirectoryExists(file)) folders.push_back(file);
    if (!folders.empty()) {
      *mend = Cat({"把目录 ", NameList(folders), " 改名或移走，再",
                   RegisterSteps(block, TreeDriver(block).empty() ? driver : TreeDriver(block))});
      return CheckState::kAdmin;
    }
    *mend = RegisterSteps(block, TreeDriver(block).empty() ? driver : TreeDriver(block));
    if (mend->empty()) {
      *mend = Cat({"找到网卡 ", block, " 的 DOS NDIS 驱动程序 ", block, ".DOS，在“网卡类型”中选 ", rpl::kOtherCard,
                   "，按“检测”，再按“配置Rpl”，选驱动程序 该文件，填工作站网卡地址的前六位"});
      return CheckState::kAdmin;
    }
    return After(*check, {REGISTRATION_NEEDS}, CheckState::kMissing, mend);
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
    if (found.empty()) return state;
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

// An item of files that must all be there, in one folder; the administrator
// puts them there.
void FilesItem(platform::Host& host, ServerCheck* check, const char* what, const std::vector<std::string>& files,
               const std::string& folder, const char* all, const std::string& mend,
               CheckState missing_state = CheckState::kAdmin) {
  const std::vector<std::string> missing = MissingFiles(host, files);
  if (missing.empty())
    Add(check, Road::kRpl, what, CheckState::kReady, {all, " 都在 ", folder, " 中。"});
  else
    Add(check, Road::kRpl, what, missing_state, {folder, " 中没有 ", NameList(missing), "。"}, {mend});
}

void CheckTree(Rpl& r) {
  platform::Host& host = r.host;
  const std::string& root = r.root();
  const std::string& start = r.in.start_dir;
  ServerCheck* check = r.check;
  // Registration starts rplcmd itself and the manager after it.
  FilesItem(host, check, "远程启动服务程序", {paths::Rplcmd(root), paths::RplManager(root)}, Cat({root, "\\system32"}),
            "rplcmd.exe 和 rplmgr.exe", kService);
  FilesItem(host, check, "Windows 95 文件",
            {paths::Win95BootFile(root, "io.sys"), paths::Win95BootFile(root, "command.com")},
            Folder(paths::Win95BootFile(root, "")), "io.sys 和 command.com",
            Cat({kService, "（连同它的 Windows 95 启动文件）"}));
  // Registration copies each DOS 6.22 file the tree lacks from the program's
  // own (one there is kept), before its dialog shows: a custom card's
  // registration closed at its dialog copies them and nothing else,
  // whatever cards there are.
  const std::string tree = paths::RemotebootTree(root);
  std::vector<std::string> dos, sources, in_the_way, in_the_way_names;
  for (const std::string& file : rpl::Dos622Files()) {
    dos.push_back(paths::Dos622Target(root, file));
    if (host.FileExists(dos.back())) continue;
    sources.push_back(paths::Dos622Source(start, file));
    if (!host.DirectoryExists(dos.back())) continue;
    in_the_way.push_back(dos.back());
    in_the_way_names.push_back(dos.back().substr(tree.size() + 1));
  }
  // The folders and files of the service's tree registration refuses to go
  // without (rpl/tree.h), and a folder in the place of a DOS 6.22 file,
  // which stops its copy.
  std::vector<std::string> absent_parts, absent_folders, absent_files;
  for (const rpl::TreePart& part : rpl::MissingParts(host, rpl::RegistrationTree(root))) {
    absent_parts.push_back(part.path.substr(tree.size() + 1));
    (part.folder ? absent_folders : absent_files).push_back(part.folder ? part.path : absent_parts.back());
  }
  if (!host.DirectoryExists(tree)) {
    Add(check, Road::kRpl, kTree, CheckState::kAdmin, {"没有远程启动目录 ", tree, "。"}, {kService});
  } else if (absent_parts.empty() && in_the_way.empty()) {
    Add(check, Road::kRpl, kTree, CheckState::kReady, {"注册要用的目录和 FIT 文件都在 ", tree, " 中。"});
  } else {
    std::string found, mend;
    if (!absent_parts.empty()) found = Cat({tree, " 中没有注册要用的 ", NameList(absent_parts)});
    if (!absent_folders.empty()) mend = Cat({"建立目录 ", NameList(absent_folders)});
    if (!absent_files.empty())
      mend += Cat({mend.empty() ? "" : "，", kService, "（它带有 ", NameList(absent_files), "）"});
    if (!in_the_way.empty()) {
      found += Cat({found.empty() ? "" : "；", NameList(in_the_way_names), " 是目录，注册无法把 DOS 6.22 文件复制到那里"});
      mend += Cat({mend.empty() ? "" : "，", "把目录 ", NameList(in_the_way), " 改名或移走"});
    }
    Add(check, Road::kRpl, kTree, CheckState::kAdmin, {found, "。"}, {mend});
  }
  // What the program brings: the drivers of the Realtek cards not yet in the
  // tree (registration keeps one that is), the installation's subst.exe, and
  // the DOS 6.22 files the tree lacks.
  std::vector<std::string> shipped = {paths::ShippedSubst(start)};
  for (const char* driver : {"rtsnd.dos", "pcind.dos"})
    if (!host.FileExists(paths::NdisDriver(root, driver))) shipped.push_back(paths::ShippedDriver(start, driver));
  shipped.insert(shipped.end(), sources.begin(), sources.end());
  const std::vector<std::string> absent = MissingFiles(host, shipped, false);
  if (absent.empty())
    Add(check, Road::kRpl, kShipped, CheckState::kReady,
        {"注册和安装要用的 ", Cat({start, "\\rplfiles"}), " 中的文件都在。"});
  else
    Add(check, Road::kRpl, kShipped, CheckState::kAdmin, {"没有 ", NameList(absent), "。"},
        {"把随程序发布的 rplfiles 目录放到 ", start, " 中"});
  std::string copy = Cat({"在“网卡类型”中选 ", rpl::kOtherCard,
                          "，按“检测”，再按“配置Rpl”，关闭“客户机网卡信息”（注册先复制 DOS 6.22 文件，关闭后不再改动别的）"});
  CheckState state = After(*check, {"远程启动服务程序", "Windows 95 文件", kTree}, CheckState::kMissing, &copy);
  const std::vector<std::string> no_source = MissingFiles(host, sources);
  if (!no_source.empty()) {
    copy = Cat({"把 DOS 6.22 的 ", NameList(no_source), " 放到 ", start, "\\rplfiles\\dos622 中，再", copy});
    state = CheckState::kAdmin;
  }
  FilesItem(host, check, "DOS 6.22 文件", dos, Folder(paths::Dos622Target(root, "")),
            "io.sys、msdos.sys、command.com 和 himem.sys", copy, state);
  std::vector<std::string> templates;
  for (const std::string& file : rpl::BootBlockFileNames()) templates.push_back(paths::BootBlockTemplate(root, file));
  FilesItem(host, check, "NE2000 启动块模板", templates, paths::BootBlockDirectory(root, "ne2000"),
            "dosbb.cnf、w95bb.cnf、protocol.ini", Cat({kService, "（它带有 NE2000 的启动块模板）"}));
  // The boot blocks and the database script are made in the directory
  // Windows reports, the rest in SystemRoot: they must be one.
  if (!platform::SameName(host.WindowsDirectory(), root))
    Add(check, Road::kRpl, "Windows 目录", CheckState::kAdmin,
        {"注册表中的 SystemRoot 是 ", root, "，Windows 报告的 Windows 目录却是 ", host.WindowsDirectory(),
         "：注册会把启动块和脚本写到后者中。"},
        {"改正注册表中的 SystemRoot"});
}

// The registered cards: each boot-block folder but the NE2000's templates
// that holds one of a card's files, and a Realtek card whose driver alone is
// there. A folder a registration left empty is no card.
void CheckCards(Rpl& r) {
  platform::Host& host = r.host;
  const std::string& root = r.root();
  const std::string netbeui = paths::BootBlockDirectory(root, "");
  std::vector<platform::DirEntry> entries;
  std::vector<std::string> blocks;
  const bool there = host.DirectoryExists(netbeui);
  if (!host.ListDirectory(netbeui, &entries) && there) {
    Add(r.check, Road::kRpl, "网卡", CheckState::kUnreadable, {"无法列出 ", Folder(netbeui), " 中的启动块目录。"},
        {"检查该目录的权限后重新检查"});
    return;
  }
  for (const platform::DirEntry& e : entries)
    if (e.is_directory && e.name != "." && e.name != ".." && !platform::SameName(e.name, "ne2000") &&
        rpl::IsCard(host, root, e.name))
      blocks.push_back(e.name);
  for (const char* realtek : {"rtsnd", "pcind"}) {
    bool listed = false;
    for (const std::string& b : blocks) listed = listed || platform::SameName(b, realtek);
    if (!listed && rpl::IsCard(host, root, realtek)) blocks.push_back(realtek);
  }
  // The cards the database boots, whose files are gone, are cards too.
  if (r.unlisted.empty())
    for (const std::string& card : rpl::CardsOf(r.records)) {
      bool listed = false;
      for (const std::string& b : blocks) listed = listed || platform::SameName(b, card);
      if (!listed) blocks.push_back(card);
    }
  if (!r.unlisted.empty())
    Add(r.check, Road::kRpl, "远程启动数据库", CheckState::kUnreadable, {r.unlisted, "。"},
        {"检查远程启动服务和它的数据库（在远程启动管理器中打开它），再重新检查"});
  if (blocks.empty()) {
    std::string mend;
    const CheckState state = r.Register("rtsnd", &mend);
    Add(r.check, Road::kRpl, "网卡", state,
        {there ? "还没有注册任何网卡：" : "没有启动块目录 ", Folder(netbeui), there ? " 中没有网卡的启动块目录。" : "。"},
        {mend, "（工作站是别的网卡时，在“网卡类型”中选那一种）"});
    return;
  }
  for (const std::string& block : blocks) {
    const std::string what = Cat({"网卡 ", rpl::CardType(block), "（", block, "）"});
    const std::vector<std::string> card_files = rpl::CardFiles(root, block);
    const std::vector<std::string> missing = MissingFiles(host, card_files);
    std::vector<std::string> folders;
    for (const std::string& file : card_files)
      if (host.DirectoryExists(file)) folders.push_back(file);
    const bool booted = r.listed && r.unlisted.empty() && !rpl::VendorsOf(r.records, block).empty();
    // Files all there, and the records unknown: without rplcmd, or with a
    // database it cannot list, no one can tell whether the card boots.
    if (missing.empty() && (booted || !r.listed || !r.unlisted.empty())) {
      if (booted) r.cards.push_back(block);
      Add(r.check, Road::kRpl, what,
          booted ? CheckState::kReady : CheckState::kUnreadable,
          {"驱动程序 ", block, ".dos 和启动块文件 dosbb.cnf、w95bb.cnf、protocol.ini 都在",
           booted ? "，远程启动数据库中有启动它的记录。"
                  : !r.listed ? "，没有 rplcmd，不知道远程启动数据库中有没有它的记录。" : "，远程启动数据库无法列出。"},
          {!r.listed ? "先按“远程启动服务程序”一项处理" : "先按“远程启动数据库”一项处理"});
      continue;
    }
    const std::string records = !r.listed || !r.unlisted.empty() ? ""
                                : booted            ? "远程启动数据库中有它的记录，"
                                                    : "远程启动数据库中没有启动它的记录，";
    const std::string lacking =
        missing.empty() ? Cat({records, "驱动程序和启动块文件都在。"})
                        : Cat({records, "缺少 ", NameList(missing), "（驱动程序在 ", Folder(paths::NdisDriver(root, "")),
                               " 中，启动块文件在 ", paths::BootBlockDirectory(root, block), " 中）。"});
    std::string mend;
    const CheckState state = r.Register(block, &mend);
    Add(r.check, Road::kRpl, what, state, {lacking, folders.empty() ? "" : NameList(folders), folders.empty() ? "" : " 是目录。"},
        {mend});
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
  SetValue(setvars, "NETCARD", &driver);
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
  const bool has_server = SetValue(setvars, "SERVER", &server), has_share = SetValue(setvars, "SHARE", &share);
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
  CheckTree(r);
  CheckCards(r);
  CheckProfiles(r);
}

}  // namespace app
