// What the RPL buttons need of the Remoteboot service's tree.
#include "rpl/tree.h"

#include "base/paths.h"
#include "platform/text.h"

namespace rpl {

const std::vector<std::string>& Dos622Files() {
  static const std::vector<std::string> kFiles = {"io.sys", "msdos.sys", "command.com", "himem.sys"};
  return kFiles;
}

const ConfigurationParts kDosConfiguration = {"dos", "dos622", "fits\\dos622.fit", "fits\\dos622p.fit"};
const ConfigurationParts kWindowsConfiguration = {"dos", "win95", "fits\\win95.fit", "fits\\win95p.fit"};

std::vector<TreePart> RegistrationTree(const std::string& root) {
  const std::string tree = paths::RemotebootTree(root);
  auto folder_of = [](const std::string& path) { return path.substr(0, path.find_last_of('\\')); };
  std::vector<TreePart> parts = {{folder_of(paths::Dos622Target(root, "")), true},
                                 {folder_of(paths::NdisDriver(root, "")), true}};
  auto add = [&](const std::string& path, bool folder) {
    for (const TreePart& part : parts)
      if (platform::SameName(part.path, path)) return;
    parts.push_back({path, folder});
  };
  for (const ConfigurationParts* c : {&kDosConfiguration, &kWindowsConfiguration}) {
    add(tree + "\\rplfiles\\binfiles\\" + c->directory, true);
    add(tree + "\\rplfiles\\binfiles\\" + c->directory2, true);
  }
  for (const ConfigurationParts* c : {&kDosConfiguration, &kWindowsConfiguration}) {
    add(tree + "\\" + c->fit_shared, false);
    add(tree + "\\" + c->fit_personal, false);
  }
  return parts;
}

std::vector<TreePart> MissingParts(platform::Host& host, const std::vector<TreePart>& parts) {
  std::vector<TreePart> missing;
  for (const TreePart& part : parts)
    if (part.folder ? !host.DirectoryExists(part.path) : !host.FileExists(part.path)) missing.push_back(part);
  return missing;
}

std::string IncompleteTree(platform::Host& host, const std::string& root) {
  const std::vector<TreePart> missing = MissingParts(host, RegistrationTree(root));
  if (missing.empty()) return "";
  std::string text = "远程启动服务的目录 " + paths::RemotebootTree(root) + " 不完整，注册要用的下列目录和文件不在：";
  for (const TreePart& part : missing) text += "\r\n" + part.path + (part.folder ? "\\" : "");
  return text + "\r\n注册没有进行，请补全远程启动服务的目录后再注册。";
}

}  // namespace rpl
