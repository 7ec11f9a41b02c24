// The server check: the RPL road, from the Remoteboot tree to each profile.
#include "app/server_check_parts.h"

#include "base/paths.h"
#include "platform/encoding.h"
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

// A folder as the report names it: without the backslash its path ends in.
std::string Folder(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

void Add(ServerCheck* check, const std::string& what, CheckState state, const std::string& found,
         const std::string& mend = "") {
  check->items.push_back({Road::kRpl, what, state, found, state == CheckState::kReady ? "" : mend});
}

// A card type as the card list names it, from its boot-block folder's name.
std::string CardType(const std::string& block) {
  if (platform::SameName(block, "rtsnd")) return "RTL 8139";
  if (platform::SameName(block, "pcind")) return "RTL 8029";
  return "Other NetCARD";
}

// What registers a card whose boot-block folder (and driver) is `block`.
std::string RegisterMend(const std::string& block) {
  std::string mend = "在“网卡类型”中选 " + CardType(block) + "，按“检测”，再按“配置Rpl”";
  if (CardType(block) == "Other NetCARD") mend += "并选择驱动程序 " + block + ".DOS";
  return mend;
}

// What installs a profile again for the card of its driver file.
std::string InstallMend(const std::string& profile, const std::string& driver_file) {
  const std::string block = driver_file.substr(0, driver_file.find('.'));
  std::string mend = "在“网卡类型”中选 " + CardType(block) + "，";
  if (CardType(block) == "Other NetCARD") mend += "按“配置Rpl”注册 " + driver_file + "，";
  return mend + "在“RPL配置名”中选 " + profile + "，按“安装”";
}

void CheckTree(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string& root = in.system_root;
  const char kService[] = "在控制面板的“网络”中添加远程启动服务";
  std::vector<std::string> missing =
      MissingFiles(host, {root + "\\system32\\rplcmd.exe", paths::RplManager(root)});
  if (missing.empty())
    Add(check, "远程启动服务程序", CheckState::kReady, "rplcmd.exe 和 rplmgr.exe 都在 " + root + "\\system32 中。");
  else
    Add(check, "远程启动服务程序", CheckState::kMissing, root + "\\system32 中没有 " + NameList(missing) + "。",
        kService);
  missing = MissingFiles(host, {paths::Win95BootFile(root, "io.sys"), paths::Win95BootFile(root, "command.com")});
  if (missing.empty())
    Add(check, "Windows 95 文件", CheckState::kReady, "io.sys 和 command.com 都在 " + Folder(paths::Win95BootFile(root, "")) + " 中。");
  else
    Add(check, "Windows 95 文件", CheckState::kMissing, Folder(paths::Win95BootFile(root, "")) + " 中没有 " + NameList(missing) + "。",
        std::string(kService) + "（连同它的 Windows 95 启动文件）");
  std::vector<std::string> dos, shipped;
  for (const char* file : {"io.sys", "msdos.sys", "command.com", "himem.sys"}) {
    dos.push_back(paths::Dos622Target(root, file));
    shipped.push_back(paths::Dos622Source(in.start_dir, file));
  }
  missing = MissingFiles(host, dos);
  if (missing.empty())
    Add(check, "DOS 6.22 文件", CheckState::kReady, "io.sys、msdos.sys、command.com 和 himem.sys 都在 " + Folder(paths::Dos622Target(root, "")) + " 中。");
  else
    Add(check, "DOS 6.22 文件", CheckState::kMissing, Folder(paths::Dos622Target(root, "")) + " 中没有 " + NameList(missing) + "。",
        MissingFiles(host, shipped).empty()
            ? "在 RPL 页上按“配置Rpl”注册网卡（注册时复制 DOS 6.22 文件）"
            : "把 DOS 6.22 的四个文件放到 " + in.start_dir + "\\rplfiles\\dos622 中，再按“配置Rpl”注册网卡");
  std::vector<std::string> templates;
  for (const char* file : kBootBlockFiles) templates.push_back(paths::BootBlockTemplate(root, file));
  missing = MissingFiles(host, templates);
  if (missing.empty())
    Add(check, "NE2000 启动块模板", CheckState::kReady, NameList({"dosbb.cnf", "w95bb.cnf", "protocol.ini"}) + " 都在 " +
        paths::BootBlockDirectory(root, "ne2000") + " 中。");
  else
    Add(check, "NE2000 启动块模板", CheckState::kMissing,
        paths::BootBlockDirectory(root, "ne2000") + " 中没有 " + NameList(missing) + "。",
        std::string(kService) + "（它带有 NE2000 的启动块模板）");
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
    Add(check, "网卡", CheckState::kUnreadable, "无法列出 " + Folder(netbeui) + " 中的启动块目录。", "检查该目录的权限后重新检查");
    return;
  }
  for (const platform::DirEntry& e : entries)
    if (e.is_directory && e.name != "." && e.name != ".." && !platform::SameName(e.name, "ne2000"))
      blocks.push_back(e.name);
  for (const char* realtek : {"rtsnd", "pcind"}) {
    bool listed = false;
    for (const std::string& b : blocks) listed = listed || platform::SameName(b, realtek);
    if (!listed && host.FileExists(paths::NdisDriver(root, std::string(realtek) + ".dos"))) blocks.push_back(realtek);
  }
  if (blocks.empty()) {
    Add(check, "网卡", CheckState::kMissing,
        there ? "还没有注册任何网卡：" + Folder(netbeui) + " 中没有网卡的启动块目录。" : "没有启动块目录 " + Folder(netbeui) + "。",
        std::string(there ? "" : "先添加远程启动服务，再") + "在“网卡类型”中选工作站的网卡，按“检测”，再按“配置Rpl”");
    return;
  }
  for (const std::string& block : blocks) {
    const std::string what = "网卡 " + CardType(block) + "（" + block + "）";
    std::vector<std::string> files = {paths::NdisDriver(root, block + ".dos")};
    for (const char* file : kBootBlockFiles) files.push_back(paths::BootBlockFile(root, block, file));
    const std::vector<std::string> missing = MissingFiles(host, files);
    if (missing.empty())
      Add(check, what, CheckState::kReady, "驱动程序 " + block + ".dos 和启动块文件 dosbb.cnf、w95bb.cnf、protocol.ini 都在。");
    else
      Add(check, what, CheckState::kMissing, "缺少 " + NameList(missing) + "（驱动程序在 " +
          Folder(paths::NdisDriver(root, "")) + " 中，启动块文件在 " + paths::BootBlockDirectory(root, block) + " 中）。",
          RegisterMend(block));
  }
}

// One profile: its Windows 98 files, the driver its setvars.bat names, this
// server and share, and its start script's variant.
void CheckProfile(platform::Host& host, const CheckInput& in, const std::string& name, ServerCheck* check) {
  const std::string& root = in.system_root;
  const std::string what = "配置 " + name;
  if (rpl::IsDosProfile(host, root, name)) {
    Add(check, what, CheckState::kReady, "DOS 的远程配置，不用安装无盘WIN98文件。");
    return;
  }
  const std::string boot = paths::ProfileBoot(root, name), client = paths::ProfileClient(root, name);
  const std::string setvars_path = client + "\\setvars.bat";
  if (!host.DirectoryExists(boot)) {
    Add(check, what, CheckState::kMissing, "还没有安装无盘WIN98文件。", "在“RPL配置名”中选 " + name + "，按“安装”");
    return;
  }
  std::vector<std::string> setvars;
  if (host.FileExists(setvars_path) && !platform::ReadTextLines(host, setvars_path, &setvars)) {
    Add(check, what, CheckState::kUnreadable, "无法读取 " + setvars_path + "。", "关闭占用它的程序后重新检查");
    return;
  }
  // The card's driver: the one NETCARD names, or the image's own RTSND.
  std::string driver = "RTSND.DOS";
  SetValue(setvars, "NETCARD", &driver);
  // A name that is no driver file (a path, a device) is not looked for.
  if (!rpl::IsDriverFileName(driver)) {
    Add(check, what, CheckState::kStale, "setvars.bat 中的 NETCARD=" + driver + " 不是网卡驱动程序的文件名（名字.DOS）。",
        "在“网卡类型”中选工作站的网卡，在“RPL配置名”中选 " + name + "，按“安装”重新安装");
    return;
  }
  CheckState state = CheckState::kReady;
  std::vector<std::string> found, mends;
  auto worse = [&](CheckState s, const std::string& mend) {
    if (Severity(s) > Severity(state)) state = s;
    for (const std::string& m : mends)
      if (m == mend) return;
    mends.push_back(mend);
  };
  const std::string install = InstallMend(name, driver);
  std::vector<std::string> files;
  for (const char* file : {"subst.exe", "io.sys", "system.dat"}) files.push_back(boot + "\\" + file);
  for (const rpl::StartFile& file : rpl::StartFiles()) files.push_back(boot + "\\" + file.name);
  for (const std::string& file : rpl::ClientFiles())
    if (file != "RTSND.DOS") files.push_back(client + "\\" + file);
  const std::vector<std::string> missing = MissingFiles(host, files);
  if (missing.empty()) {
    found.push_back("无盘WIN98文件齐全");
  } else {
    found.push_back("缺少 " + NameList(missing));
    worse(CheckState::kMissing, install);
  }
  // The driver in the profile, and the same in the Remoteboot tree.
  std::string mine, tree;
  const std::string registered = paths::NdisDriver(root, driver);
  if (!host.FileExists(client + "\\" + driver)) {
    found.push_back("setvars.bat 指定的网卡驱动 " + driver + " 不在 winboot 中");
    worse(CheckState::kMissing, install);
  } else if (!host.FileExists(registered)) {
    found.push_back("网卡驱动 " + driver + " 在 winboot 中，但远程启动目录中没有它：配置是为没有在本服务器注册的网卡安装的");
    worse(CheckState::kStale, "注册它的网卡（" + RegisterMend(driver.substr(0, driver.find('.'))) +
                                  "），或在“网卡类型”中选本服务器注册的网卡，在“RPL配置名”中选 " + name + "，按“安装”重新安装");
  } else if (!platform::SameName(driver, "RTSND.DOS") &&
             (!host.ReadFile(client + "\\" + driver, &mine) || !host.ReadFile(registered, &tree) || mine != tree)) {
    found.push_back("网卡驱动 " + driver + " 与远程启动目录中的不同");
    worse(CheckState::kStale, "删去 " + client + "\\" + driver + "（安装时保留已有的驱动），再" + install);
  } else {
    found.push_back("网卡驱动 " + driver + "，远程启动目录中也有");
  }
  // This server and share.
  std::string server, share;
  const bool has_server = SetValue(setvars, "SERVER", &server), has_share = SetValue(setvars, "SHARE", &share);
  if (check->computer_name.empty()) {
    found.push_back("读不到注册表中的计算机名，无法比较 SERVER");
    worse(CheckState::kUnreadable, "检查注册表后重新检查");
  } else if (!has_server || !has_share) {
    found.push_back("setvars.bat 中缺少 SET SERVER 或 SET SHARE 一行");
    worse(CheckState::kMissing, install);
  } else if (!platform::SameName(server, check->computer_name) || !platform::SameName(share, check->share)) {
    found.push_back("SERVER=" + server + "，SHARE=" + share + "，今天应为 SERVER=" + check->computer_name +
                    "，SHARE=" + check->share);
    worse(CheckState::kStale, install + "，重新写入今天的服务器和共享");
  } else {
    found.push_back("SERVER=" + server + "，SHARE=" + share + "，都是今天的");
  }
  // Workstation auto-registration: which of the two start scripts it has.
  const std::string startnet_path = paths::ProfileStartNet(root, name);
  std::string startnet;
  auto is = [&](pxe::StartNetVariant v) { return startnet == platform::JoinLines(pxe::StartNetLines(v)); };
  if (!host.FileExists(startnet_path)) {
    // Listed among the missing files.
  } else if (!host.ReadFile(startnet_path, &startnet)) {
    found.push_back("无法读取 startnet.bat");
    worse(CheckState::kUnreadable, "关闭占用它的程序后重新检查");
  } else if (is(pxe::StartNetVariant::AutoRegister) || is(pxe::StartNetVariant::Standard)) {
    found.push_back(std::string("工作站自动注册：") + (is(pxe::StartNetVariant::AutoRegister) ? "开" : "关"));
  } else {
    found.push_back("startnet.bat 不是本程序写的两种之一");
    worse(CheckState::kStale, "在“RPL配置名”中选 " + name + "，勾选或清除“工作站自动注册”重写它");
  }
  std::string text;
  for (const std::string& f : found) text += (text.empty() ? "" : "；") + f;
  std::string mend;
  for (const std::string& m : mends) mend += (mend.empty() ? "" : "；") + m;
  Add(check, what, state, text + "。", mend);
}

void CheckProfiles(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string& root = in.system_root;
  const std::string dir = paths::Profile(root, "");
  std::vector<platform::DirEntry> entries;
  if (!host.ListDirectory(dir, &entries)) {
    const bool there = host.DirectoryExists(dir);
    Add(check, "配置列表", there ? CheckState::kUnreadable : CheckState::kMissing,
        there ? "无法列出 " + Folder(dir) + " 中的配置。" : "没有配置目录 " + Folder(dir) + "。",
        there ? "检查该目录的权限后重新检查" : "在控制面板的“网络”中添加远程启动服务");
    return;
  }
  const std::vector<std::string> listed = rpl::ListProfiles(host, root);
  std::vector<std::string> profiles, left_out;
  for (const std::string& name : listed)
    if (host.DirectoryExists(paths::Profile(root, name))) profiles.push_back(name);
  for (size_t i = kProfileListLimit; i < entries.size(); ++i) left_out.push_back(entries[i].name);
  size_t windows = 0;
  for (const std::string& name : profiles) windows += rpl::IsDosProfile(host, root, name) ? 0 : 1;
  const std::string counts = Folder(dir) + " 中有 " + std::to_string(profiles.size()) + " 个配置（DOS 配置 " +
                             std::to_string(profiles.size() - windows) + " 个）";
  if (!left_out.empty())
    Add(check, "配置列表", CheckState::kMissing,
        "“RPL配置名”列表只取配置目录的前 " + std::to_string(kProfileListLimit) + " 项（连同 . 和 ..），" +
            "目录中有 " + std::to_string(entries.size()) + " 项，不在列表中的有：" + NameList(left_out) + "。",
        "按“启动管理器”删去不用的配置");
  else if (windows == 0)
    Add(check, "配置列表", CheckState::kMissing, counts + "，没有可安装无盘WIN98的配置。",
        "按“启动管理器”为网卡的 Windows 配置新建一个配置，再按“更  新”");
  else
    Add(check, "配置列表", CheckState::kReady,
        counts + (entries.size() == kProfileListLimit ? "，列表已到 " + std::to_string(kProfileListLimit) + " 项的上限" : "") + "。");
  for (const std::string& name : profiles) CheckProfile(host, in, name, check);
}

}  // namespace

void CheckRpl(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  if (in.system_root.empty()) {
    Add(check, "远程启动目录", CheckState::kUnreadable, "读不到注册表中的 SystemRoot，不知道远程启动目录在哪里。",
        "检查注册表后重新检查");
    return;
  }
  CheckTree(host, in, check);
  CheckCards(host, in, check);
  CheckProfiles(host, in, check);
}

}  // namespace app
