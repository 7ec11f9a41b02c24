// The server check: the RPL road, from the Remoteboot tree to each profile.
#include "app/server_check_parts.h"

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/startnet.h"
#include "rpl/install.h"
#include "rpl/profiles.h"
#include "rpl/register.h"

namespace app {
namespace {

const char kBootBlockFiles[][13] = {"dosbb.cnf", "w95bb.cnf", "protocol.ini"};
// The profile listing takes this many entries of the profiles folder, its
// "." and ".." among them.
const size_t kProfileListLimit = 256;
const char kService[] = "在控制面板的“网络”中添加远程启动服务";
const char kLocked[] = "关闭占用它的程序后重新检查";

// A folder as the report names it: without the backslash its path ends in.
std::string Folder(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

// A card type as the card list names it, from its boot-block folder's name.
const char* CardType(const std::string& block) {
  if (platform::SameName(block, "rtsnd")) return "RTL 8139";
  if (platform::SameName(block, "pcind")) return "RTL 8029";
  return "Other NetCARD";
}
bool IsCustom(const std::string& block) { return CardType(block)[0] == 'O'; }

// What registers a card whose boot-block folder (and driver) is `block`.
std::string RegisterMend(const std::string& block) {
  return Cat({"在“网卡类型”中选 ", CardType(block), "，按“检测”，再按“配置Rpl”",
              IsCustom(block) ? "并选择驱动程序 " : "", IsCustom(block) ? block : "", IsCustom(block) ? ".DOS" : ""});
}

// What installs a profile again for the card of its driver file.
std::string InstallMend(const std::string& profile, const std::string& driver_file) {
  const std::string block = driver_file.substr(0, driver_file.find('.'));
  return Cat({"在“网卡类型”中选 ", CardType(block), "，", IsCustom(block) ? "按“配置Rpl”注册 " : "",
              IsCustom(block) ? driver_file : "", IsCustom(block) ? "，" : "", "在“RPL配置名”中选 ", profile, "，按“安装”"});
}

// An item of files that must all be there, in one folder.
void FilesItem(platform::Host& host, ServerCheck* check, const char* what, const std::vector<std::string>& files,
               const std::string& folder, const char* all, const std::string& mend) {
  const std::vector<std::string> missing = MissingFiles(host, files);
  if (missing.empty())
    Add(check, Road::kRpl, what, CheckState::kReady, {all, " 都在 ", folder, " 中。"});
  else
    Add(check, Road::kRpl, what, CheckState::kMissing, {folder, " 中没有 ", NameList(missing), "。"}, {mend});
}

void CheckTree(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string& root = in.system_root;
  FilesItem(host, check, "远程启动服务程序", {Cat({root, "\\system32\\rplcmd.exe"}), paths::RplManager(root)},
            Cat({root, "\\system32"}), "rplcmd.exe 和 rplmgr.exe", kService);
  FilesItem(host, check, "Windows 95 文件",
            {paths::Win95BootFile(root, "io.sys"), paths::Win95BootFile(root, "command.com")},
            Folder(paths::Win95BootFile(root, "")), "io.sys 和 command.com",
            Cat({kService, "（连同它的 Windows 95 启动文件）"}));
  std::vector<std::string> dos, shipped;
  for (const char* file : {"io.sys", "msdos.sys", "command.com", "himem.sys"}) {
    dos.push_back(paths::Dos622Target(root, file));
    shipped.push_back(paths::Dos622Source(in.start_dir, file));
  }
  FilesItem(host, check, "DOS 6.22 文件", dos, Folder(paths::Dos622Target(root, "")),
            "io.sys、msdos.sys、command.com 和 himem.sys",
            MissingFiles(host, shipped).empty()
                ? "在 RPL 页上按“配置Rpl”注册网卡（注册时复制 DOS 6.22 文件）"
                : Cat({"把 DOS 6.22 的四个文件放到 ", in.start_dir, "\\rplfiles\\dos622 中，再按“配置Rpl”注册网卡"}));
  std::vector<std::string> templates;
  for (const char* file : kBootBlockFiles) templates.push_back(paths::BootBlockTemplate(root, file));
  FilesItem(host, check, "NE2000 启动块模板", templates, paths::BootBlockDirectory(root, "ne2000"),
            "dosbb.cnf、w95bb.cnf、protocol.ini", Cat({kService, "（它带有 NE2000 的启动块模板）"}));
}

// The registered cards: each boot-block folder but the NE2000's templates,
// and a Realtek card whose driver alone is there.
void CheckCards(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string& root = in.system_root;
  const std::string netbeui = paths::BootBlockDirectory(root, "");
  std::vector<platform::DirEntry> entries;
  std::vector<std::string> blocks;
  const bool there = host.DirectoryExists(netbeui);
  if (!host.ListDirectory(netbeui, &entries) && there) {
    Add(check, Road::kRpl, "网卡", CheckState::kUnreadable, {"无法列出 ", Folder(netbeui), " 中的启动块目录。"},
        {"检查该目录的权限后重新检查"});
    return;
  }
  for (const platform::DirEntry& e : entries)
    if (e.is_directory && e.name != "." && e.name != ".." && !platform::SameName(e.name, "ne2000"))
      blocks.push_back(e.name);
  for (const char* realtek : {"rtsnd", "pcind"}) {
    bool listed = false;
    for (const std::string& b : blocks) listed = listed || platform::SameName(b, realtek);
    if (!listed && host.FileExists(paths::NdisDriver(root, Cat({realtek, ".dos"})))) blocks.push_back(realtek);
  }
  if (blocks.empty()) {
    Add(check, Road::kRpl, "网卡", CheckState::kMissing,
        {there ? "还没有注册任何网卡：" : "没有启动块目录 ", Folder(netbeui), there ? " 中没有网卡的启动块目录。" : "。"},
        {there ? "" : "先添加远程启动服务，再", "在“网卡类型”中选工作站的网卡，按“检测”，再按“配置Rpl”"});
    return;
  }
  for (const std::string& block : blocks) {
    const std::string what = Cat({"网卡 ", CardType(block), "（", block, "）"});
    std::vector<std::string> files = {paths::NdisDriver(root, Cat({block, ".dos"}))};
    for (const char* file : kBootBlockFiles) files.push_back(paths::BootBlockFile(root, block, file));
    const std::vector<std::string> missing = MissingFiles(host, files);
    if (missing.empty())
      Add(check, Road::kRpl, what, CheckState::kReady,
          {"驱动程序 ", block, ".dos 和启动块文件 dosbb.cnf、w95bb.cnf、protocol.ini 都在。"});
    else
      Add(check, Road::kRpl, what, CheckState::kMissing,
          {"缺少 ", NameList(missing), "（驱动程序在 ", Folder(paths::NdisDriver(root, "")), " 中，启动块文件在 ",
           paths::BootBlockDirectory(root, block), " 中）。"},
          {RegisterMend(block)});
  }
}

// The parts of a profile's item: what was found of each aspect, the worst
// state and the mends of those not ready.
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
void CheckProfile(platform::Host& host, const CheckInput& in, const std::string& name, ServerCheck* check) {
  const std::string& root = in.system_root;
  const std::string what = Cat({"配置 ", name});
  if (rpl::IsDosProfile(host, root, name)) {
    Add(check, Road::kRpl, what, CheckState::kReady, {"DOS 的远程配置，不用安装无盘WIN98文件。"});
    return;
  }
  const std::string boot = paths::ProfileBoot(root, name), client = paths::ProfileClient(root, name);
  const std::string setvars_path = Cat({client, "\\setvars.bat"});
  if (!host.DirectoryExists(boot)) {
    Add(check, Road::kRpl, what, CheckState::kMissing, {"还没有安装无盘WIN98文件。"},
        {"在“RPL配置名”中选 ", name, "，按“安装”"});
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
    Add(check, Road::kRpl, what, CheckState::kStale,
        {"setvars.bat 中的 NETCARD=", driver, " 不是网卡驱动程序的文件名（名字.DOS）。"},
        {"在“网卡类型”中选工作站的网卡，在“RPL配置名”中选 ", name, "，按“安装”重新安装"});
    return;
  }
  ProfileItem item;
  const std::string install = InstallMend(name, driver);
  std::vector<std::string> files;
  for (const char* file : {"subst.exe", "io.sys", "system.dat"}) files.push_back(Cat({boot, "\\", file}));
  for (const rpl::StartFile& file : rpl::StartFiles()) files.push_back(Cat({boot, "\\", file.name}));
  for (const std::string& file : rpl::ClientFiles())
    if (file != "RTSND.DOS") files.push_back(Cat({client, "\\", file}));
  const std::vector<std::string> missing = MissingFiles(host, files);
  if (missing.empty())
    item.Ready("无盘WIN98文件齐全");
  else
    item.Not(CheckState::kMissing, Cat({"缺少 ", NameList(missing)}), install);
  // The driver in the profile, and the same in the Remoteboot tree.
  std::string mine, tree;
  const std::string registered = paths::NdisDriver(root, driver), own = Cat({client, "\\", driver});
  if (!host.FileExists(own)) {
    item.Not(CheckState::kMissing, Cat({"setvars.bat 指定的网卡驱动 ", driver, " 不在 winboot 中"}), install);
  } else if (!host.FileExists(registered)) {
    item.Not(CheckState::kStale,
             Cat({"网卡驱动 ", driver, " 在 winboot 中，但远程启动目录中没有它：配置是为没有在本服务器注册的网卡安装的"}),
             Cat({"注册它的网卡（", RegisterMend(driver.substr(0, driver.find('.'))),
                  "），或在“网卡类型”中选本服务器注册的网卡，在“RPL配置名”中选 ", name, "，按“安装”重新安装"}));
  } else if (!platform::SameName(driver, "RTSND.DOS") &&
             (!host.ReadFile(own, &mine) || !host.ReadFile(registered, &tree) || mine != tree)) {
    item.Not(CheckState::kStale, Cat({"网卡驱动 ", driver, " 与远程启动目录中的不同"}),
             Cat({"删去 ", own, "（安装时保留已有的驱动），再", install}));
  } else {
    item.Ready(Cat({"网卡驱动 ", driver, "，远程启动目录中也有"}));
  }
  // This server and share.
  std::string server, share;
  const bool has_server = SetValue(setvars, "SERVER", &server), has_share = SetValue(setvars, "SHARE", &share);
  if (check->computer_name.empty())
    item.Not(CheckState::kUnreadable, "读不到注册表中的计算机名，无法比较 SERVER", "检查注册表后重新检查");
  else if (!has_server || !has_share)
    item.Not(CheckState::kMissing, "setvars.bat 中缺少 SET SERVER 或 SET SHARE 一行", install);
  else if (!platform::SameName(server, check->computer_name) || !platform::SameName(share, check->share))
    item.Not(CheckState::kStale,
             Cat({"SERVER=", server, "，SHARE=", share, "，今天应为 SERVER=", check->computer_name, "，SHARE=", check->share}),
             Cat({install, "，重新写入今天的服务器和共享"}));
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
  } else {
    item.Not(CheckState::kStale, "startnet.bat 不是本程序写的两种之一",
             Cat({"在“RPL配置名”中选 ", name, "，勾选或清除“工作站自动注册”重写它"}));
  }
  item.AddTo(check, what);
}

void CheckProfiles(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string& root = in.system_root;
  const std::string dir = paths::Profile(root, "");
  std::vector<platform::DirEntry> entries;
  if (!host.ListDirectory(dir, &entries)) {
    const bool there = host.DirectoryExists(dir);
    Add(check, Road::kRpl, "配置列表", there ? CheckState::kUnreadable : CheckState::kMissing,
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
  if (!left_out.empty())
    Add(check, Road::kRpl, "配置列表", CheckState::kMissing,
        {"“RPL配置名”列表只取配置目录的前 ", kProfileListLimit, " 项（连同 . 和 ..），目录中有 ", entries.size(),
         " 项，不在列表中的有：", NameList(left_out), "。"},
        {"按“启动管理器”删去不用的配置"});
  else
    Add(check, Road::kRpl, "配置列表", windows == 0 ? CheckState::kMissing : CheckState::kReady,
        {Folder(dir), " 中有 ", profiles.size(), " 个配置（DOS 配置 ", profiles.size() - windows, " 个）",
         windows == 0 ? "，没有可安装无盘WIN98的配置" : "",
         entries.size() == kProfileListLimit ? "，列表已到 256 项的上限" : "", "。"},
        {"按“启动管理器”为网卡的 Windows 配置新建一个配置，再按“更  新”"});
  for (const std::string& name : profiles) CheckProfile(host, in, name, check);
}

}  // namespace

void CheckRpl(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  if (in.system_root.empty()) {
    Add(check, Road::kRpl, "远程启动目录", CheckState::kUnreadable,
        {"读不到注册表中的 SystemRoot，不知道远程启动目录在哪里。"}, {"检查注册表后重新检查"});
    return;
  }
  CheckTree(host, in, check);
  CheckCards(host, in, check);
  CheckProfiles(host, in, check);
}

}  // namespace app
