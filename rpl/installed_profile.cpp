// What a profile holds of an earlier installation, judged against what
// installing it again for the same card would write. The installation's plan
// says it: when the profile is today's, every rewrite of its files is a
// refresh, and the server check calls the profile ready.
#include "base/names.h"
#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/startnet.h"
#include "rpl/install.h"
#include "rpl/profiles.h"
#include "rpl/register.h"

namespace rpl {
namespace {

const char kLocked[] = "关闭占用它的程序后重新检查";

// A file's name inside the profile's client folder.
std::string Last(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

}  // namespace

std::string ProfileDriver(platform::Host& host, const std::string& system_root, const std::string& profile,
                          bool* readable) {
  const std::string path = paths::ProfileClient(system_root, profile) + "\\setvars.bat";
  std::vector<std::string> lines;
  *readable = !host.FileExists(path) || platform::ReadTextLines(host, path, &lines);
  std::string driver = "RTSND.DOS";
  pxe::SetValue(lines, "NETCARD", &driver);
  return driver;
}

void JudgeInstalled(platform::Host& host, const InstallInput& in, const bool* go_on, Installation* r) {
  plan::Plan& p = r->plan;
  const std::string& root = in.system_root;
  const std::string item = "配置 " + in.profile;
  if (!host.DirectoryExists(paths::Profile(root, in.profile))) return;  // no profile: the refusal says so
  if (IsDosProfile(host, root, in.profile) && !(go_on && *go_on)) {
    p.Met(item, "DOS 的远程配置，不用安装无盘WIN98文件。");
    return;
  }
  std::vector<std::string> found;
  bool current = !r->card;
  const std::string boot = paths::ProfileBoot(root, in.profile), client = paths::ProfileClient(root, in.profile);
  bool readable = true;
  const std::string driver = ProfileDriver(host, root, in.profile, &readable);
  if (!readable) {
    p.Unreadable(item, "无法读取 " + client + "\\setvars.bat。", kLocked);
    return;
  }
  const InstallPlan files = PlanInstallation(in, {});
  const std::string installed = InstalledDriver(in.nic_type, in.ndis_driver_name) + ".DOS";
  if (!host.DirectoryExists(boot)) {
    found.push_back("还没有安装无盘WIN98文件");
    current = false;
  } else if (!IsDriverFileName(driver) || !platform::SameName(driver, installed)) {
    found.push_back("setvars.bat 中的 NETCARD=" + driver + (IsDriverFileName(driver) ? " 不是网卡 " + in.nic_type + " 的驱动程序 " + installed
                                                                                  : " 不是网卡驱动程序的文件名（名字.DOS）"));
    current = false;
  } else {
    // Every file the installation puts in the profile, its driver aside.
    std::vector<std::string> missing;
    for (size_t i = 1; i < files.profile.size(); ++i)
      if (!host.FileExists(files.profile[i].target)) missing.push_back(Last(files.profile[i].target));
    found.push_back(missing.empty() ? "无盘WIN98文件齐全" : "缺少 " + base::NameList(missing));
    current = current && missing.empty();
    // The driver in winboot, and for a card of the Remoteboot tree's own
    // driver, the same bytes there.
    const std::string own = files.profile.front().target, registered = files.profile.front().from;
    std::string mine, tree;
    if (!host.FileExists(own)) {
      found.push_back("setvars.bat 指定的网卡驱动 " + driver + " 不在 winboot 中");
      current = false;
    } else if (r->card) {
      found.push_back("网卡驱动 " + driver + " 在 winboot 中，但它的网卡没有在本服务器注册：配置是为没有注册的网卡安装的");
    } else if (!platform::SameName(driver, "RTSND.DOS") &&
               (!host.ReadFile(own, &mine) || !host.ReadFile(registered, &tree) || mine != tree)) {
      found.push_back("网卡驱动 " + driver + " 与远程启动目录中的不同");
      current = false;
    } else {
      found.push_back("网卡驱动 " + driver + "，远程启动目录中也有");
    }
    if (!files.deleted.empty() && host.FileExists(files.deleted)) {
      found.push_back("winboot 中还有引导镜像的 rtsnd.dos");
      current = false;
    }
    // This server and share.
    std::vector<std::string> setvars;
    std::string server, share;
    platform::ReadTextLines(host, client + "\\setvars.bat", &setvars);
    const std::string computer = host.ReadRegistry(paths::kComputerNameKey, "computername");
    const std::string today = base::ShareName(in.shared_directory);
    if (computer.empty()) {
      p.Unreadable(item, "读不到注册表中的计算机名，无法比较 setvars.bat 中的 SERVER。", "检查注册表后重新检查");
      return;
    }
    if (!pxe::SetValue(setvars, "SERVER", &server) || !pxe::SetValue(setvars, "SHARE", &share)) {
      found.push_back("setvars.bat 中缺少 SET SERVER 或 SET SHARE 一行");
      current = false;
    } else if (!platform::SameName(server, computer) || !platform::SameName(share, today)) {
      found.push_back("SERVER=" + server + "，SHARE=" + share + "，今天应为 SERVER=" + computer + "，SHARE=" + today);
      current = false;
    } else {
      found.push_back("SERVER=" + server + "，SHARE=" + share + "，都是今天的");
    }
    // Workstation auto-registration: which of the two start scripts it runs.
    const std::string startnet_path = paths::ProfileStartNet(root, in.profile);
    std::string startnet;
    auto is = [&](pxe::StartNetVariant v) { return startnet == platform::JoinLines(pxe::StartNetLines(v)); };
    if (!host.FileExists(startnet_path)) {
      // Among the missing files.
    } else if (!host.ReadFile(startnet_path, &startnet)) {
      p.Unreadable(item, "无法读取 " + startnet_path + "。", kLocked);
      return;
    } else if (is(pxe::StartNetVariant::AutoRegister) || is(pxe::StartNetVariant::Standard)) {
      found.push_back(is(pxe::StartNetVariant::AutoRegister) ? "工作站自动注册：开" : "工作站自动注册：关");
    } else {
      found.push_back("startnet.bat 不是本程序写的两种之一");
      current = false;
    }
  }
  std::string text;
  for (const std::string& part : found) text += (text.empty() ? "" : "；") + part;
  if (p.Refused() && !current) {
    // The refusal's own words, without the line that says nothing changed.
    std::string refusal = p.message.substr(0, p.message.find("\r\n"));
    const std::string stop = "。";
    if (refusal.size() >= stop.size() && refusal.compare(refusal.size() - stop.size(), stop.size(), stop) == 0)
      refusal.resize(refusal.size() - stop.size());
    p.Unmet(item, text + "；安装：" + refusal + "。", p.todo, p.administrator);
    return;
  }
  p.Met(item, text + "。");
  if (current)
    for (plan::Change& change : p.changes) change.refresh = change.refresh || change.item == item;
}

}  // namespace rpl
