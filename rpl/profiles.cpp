#include "rpl/profiles.h"

#include "base/paths.h"
#include "platform/textfile.h"
#include "pxe/startnet.h"

namespace rpl {

std::vector<std::string> ListProfiles(platform::Host& host, const std::string& system_root) {
  const size_t kMaxEntries = 256;
  std::vector<platform::DirEntry> entries;
  std::vector<std::string> names;
  if (!host.ListDirectory(paths::Profile(system_root, ""), &entries)) return names;
  if (entries.size() > kMaxEntries) entries.resize(kMaxEntries);
  // By name, not by place: a directory that lists no dot entries keeps its
  // first two profiles.
  for (const platform::DirEntry& e : entries)
    if (e.name != "." && e.name != "..") names.push_back(e.name);
  return names;
}

bool IsDosProfile(platform::Host& host, const std::string& system_root, const std::string& name) {
  return host.FileExists(paths::DosProfileMarker(system_root, name));
}

std::vector<std::string> ProfileChoices(platform::Host& host, const std::string& system_root) {
  std::vector<std::string> choices;
  for (const std::string& name : ListProfiles(host, system_root))
    if (!IsDosProfile(host, system_root, name)) choices.push_back(name);
  return choices;
}

plan::Plan PlanAutoRegistration(platform::Host& host, const std::string& system_root, const std::string& profile,
                                bool set) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const char kCaption[] = "morva提示(ERROR)";
  plan::Plan p;
  p.button = "工作站自动注册";
  const std::string item = "配置 " + profile;
  p.how = "按“更  新”，在“RPL配置名”中选 " + profile + (set ? "，勾选“工作站自动注册”" : "，清除“工作站自动注册”");
  // 1. A profile must be chosen.
  if (profile.empty()) {
    if (set) p.Refuse("请选择正确的RPL配置名! ", kCaption, kWarn, "在“RPL配置名”中选一个配置", false);
    return p;
  }
  // 2. The profile must hold the Windows 98 files.
  const std::string script = paths::ProfileStartNet(system_root, profile);
  if (!host.FileExists(script)) {
    if (set) {
      p.Refuse("请确认此配置名是否已经安装无盘WIN98所需要的文件! ", kCaption, kWarn, "先安装这个配置", false);
      p.Unmet(item, "没有 startnet.bat", "先安装这个配置", false);
    }
    return p;
  }
  // 3. The variant the box now asks for, unless the script is it already.
  const pxe::StartNetVariant variant = set ? pxe::StartNetVariant::AutoRegister : pxe::StartNetVariant::Standard;
  const std::string bytes = platform::JoinLines(pxe::StartNetLines(variant));
  std::string held;
  const bool same = host.ReadFile(script, &held, bytes.size() + 1) && held == bytes;
  p.Met(item, same ? (set ? "工作站自动注册：开" : "工作站自动注册：关") : "startnet.bat 不是所选的一种");
  if (!same) p.Replace(script, set ? "工作站自动注册的启动脚本" : "标准的启动脚本", item);
  return p;
}

bool SwitchAutoRegistration(platform::Host& host, platform::Ui& ui, const std::string& system_root,
                            const std::string& profile, bool set) {
  const plan::Plan p = PlanAutoRegistration(host, system_root, profile, set);
  if (p.refused) {
    ui.MessageBox(p.message, p.caption, p.flags);
    return true;
  }
  // A clearing that cannot apply, or a script that is the variant already.
  if (p.changes.empty()) return false;
  // The script that cannot be written (read-only, locked) stays as it was,
  // and the box must not say otherwise.
  const std::string& script = p.changes.front().path;
  if (!pxe::WriteStartNet(host, script, set ? pxe::StartNetVariant::AutoRegister : pxe::StartNetVariant::Standard)) {
    ui.MessageBox("无法写入 " + script + "，工作站自动注册没有改变。", "morva提示(ERROR)", platform::kMbIconExclamation);
    return true;
  }
  return false;
}

}  // namespace rpl
