#include "rpl/profiles.h"

#include "base/paths.h"
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

bool SwitchAutoRegistration(platform::Host& host, platform::Ui& ui, const std::string& system_root,
                            const std::string& profile, bool set) {
  const char kCaption[] = "morva提示(ERROR)";
  // 1. A profile must be chosen.
  if (profile.empty()) {
    if (set) ui.MessageBox("请选择正确的RPL配置名! ", kCaption, platform::kMbIconExclamation);
    return set;
  }
  // 2. The profile must hold the Windows 98 files.
  const std::string script = paths::ProfileStartNet(system_root, profile);
  if (!host.FileExists(script)) {
    if (set)
      ui.MessageBox("请确认此配置名是否已经安装无盘WIN98所需要的文件! ", kCaption,
                    platform::kMbIconExclamation);
    return set;
  }
  // 3. The variant the box now asks for. A script that cannot be written
  // (read-only, locked) stays as it was, and the box must not say otherwise.
  if (!pxe::WriteStartNet(host, script,
                          set ? pxe::StartNetVariant::AutoRegister : pxe::StartNetVariant::Standard)) {
    ui.MessageBox("无法写入 " + script + "，工作站自动注册没有改变。", kCaption, platform::kMbIconExclamation);
    return true;
  }
  return false;
}

}  // namespace rpl
