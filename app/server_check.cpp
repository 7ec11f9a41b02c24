// The server check: the accounts and the PXE road.
#include "app/server_check.h"

#include <set>

#include "accounts/users.h"
#include "app/server_check_parts.h"
#include "base/names.h"
#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/bootimage.h"
#include "pxe/floppy_files.h"
#include "pxe/startnet.h"
#include "rpl/install.h"

namespace app {

std::string NameList(const std::vector<std::string>& names, size_t shown) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < shown; ++i) text += (i ? "、" : "") + names[i];
  if (names.size() > shown) text += " 等 " + std::to_string(names.size()) + " 个";
  return text;
}

std::vector<std::string> MissingFiles(platform::Host& host, const std::vector<std::string>& paths,
                                      bool short_names) {
  std::vector<std::string> missing;
  for (const std::string& path : paths)
    if (!host.FileExists(path)) missing.push_back(short_names ? path.substr(path.find_last_of('\\') + 1) : path);
  return missing;
}

bool SetValue(const std::vector<std::string>& lines, const std::string& name, std::string* value) {
  const std::string head = platform::Lower("SET " + name + "=");
  for (const std::string& line : lines)
    if (platform::Lower(line.substr(0, head.size())) == head) {
      *value = line.substr(head.size());
      return true;
    }
  return false;
}

ServerCheck CheckServer(platform::Host& host, const CheckInput& in) {
  ServerCheck check;
  check.computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  check.share = base::ShareName(in.shared_directory);
  CheckAccounts(host, in, &check);
  CheckPxe(host, in, &check);
  CheckRpl(host, in, &check);
  return check;
}

namespace {

const char kGenerate[] = "按“生成用户及目录”";
const char kMakeImage[] = "在 PXE 页上按“生成镜像文件”";
const char kRegistry[] = "检查注册表后重新检查";

// The user folders the last generation made: the "net share NAME=FOLDER" lines
// of the account script whose folder is NAME below the shared directory.
std::vector<std::string> ScriptUsers(platform::Host& host, const std::string& shared) {
  std::vector<std::string> lines, users;
  if (!platform::ReadTextLines(host, paths::kUserTempBat, &lines)) return users;
  const std::string head = "net share ";
  for (const std::string& line : lines) {
    if (line.compare(0, head.size(), head) != 0) continue;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(head.size(), equals - head.size());
    if (platform::SameName(line.substr(equals + 1), paths::UserDirectory(shared, name))) users.push_back(name);
  }
  return users;
}

void CheckUserFolders(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const char kWhat[] = "用户目录";
  std::set<std::string> present;  // the shared directory's folders, in lower case
  std::vector<platform::DirEntry> entries;
  if (host.ListDirectory(in.shared_directory, &entries))
    for (const platform::DirEntry& e : entries)
      if (e.is_directory) present.insert(platform::Lower(e.name));
  auto there = [&](const std::string& name) { return present.count(platform::Lower(name)) > 0; };
  size_t expected = 0, absent = 0;
  std::vector<std::string> first_missing;
  std::string source;
  const std::vector<std::string> script = ScriptUsers(host, in.shared_directory);
  if (!script.empty()) {
    source = Cat({"按账户脚本 ", paths::kUserTempBat});
    expected = script.size();
    for (const std::string& name : script)
      if (!there(name)) first_missing.push_back(name);
    absent = first_missing.size();
  } else {
    int count = 0;
    if (!accounts::ParseUserCount(in.count, &count) || count < 0) {
      Add(check, Road::kAccounts, kWhat, CheckState::kUnreadable,
          {"“用户数目”一栏“", in.count, "”不是用户的个数，无法知道应有哪些用户目录。"}, {"改正“用户数目”，", kGenerate});
      return;
    }
    source = Cat({"按“用户前辍”", in.prefix, "和“用户数目”", in.count});
    // The users counted from the folders that are there, so that any count
    // is checked at once; the first few missing ones by name.
    expected = static_cast<size_t>(count);
    size_t found = 0;
    const std::string prefix = platform::Lower(in.prefix);
    for (const std::string& name : present) {
      const std::string digits = name.substr(std::min(name.size(), prefix.size()));
      int number = 0;
      if (name.compare(0, prefix.size(), prefix) == 0 && digits.size() <= 10 &&
          accounts::ParseUserCount(digits, &number) && number >= 1 && number <= count &&
          platform::Lower(accounts::UserName(in.prefix, number)) == name)
        ++found;
    }
    absent = expected - found;
    for (int i = 1; i <= count && first_missing.size() < 8 && first_missing.size() < absent; ++i)
      if (!there(accounts::UserName(in.prefix, i))) first_missing.push_back(accounts::UserName(in.prefix, i));
  }
  if (absent == 0) {
    Add(check, Road::kAccounts, kWhat, CheckState::kReady, {source, "，", expected, " 个用户目录都在。"});
    return;
  }
  Add(check, Road::kAccounts, kWhat, CheckState::kMissing,
      {source, "，", expected, " 个用户目录中缺少 ", absent, " 个：", NameList(first_missing),
       absent > first_missing.size() ? " 等。" : "。"},
      {kGenerate});
}

}  // namespace

void CheckAccounts(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string& shared = in.shared_directory;
  if (in.shared_directory_unread) {
    Add(check, Road::kAccounts, "共享目录", CheckState::kUnreadable,
        {paths::kTempsBak, " 存在但无法读取，不知道共享目录是哪一个。"}, {"关闭占用 ", paths::kTempsBak, " 的程序后重新检查"});
    return;
  }
  if (shared.empty()) {
    Add(check, Road::kAccounts, "共享目录", CheckState::kMissing, {"“共享目录”一栏是空的。"},
        {"在“共享目录”中填写，", kGenerate});
    return;
  }
  if (host.DirectoryExists(shared))
    Add(check, Road::kAccounts, "共享目录", CheckState::kReady, {shared, " 存在，共享名 ", check->share, "。"});
  else
    Add(check, Road::kAccounts, "共享目录", CheckState::kMissing, {"没有目录 ", shared, "。"}, {kGenerate});
  CheckUserFolders(host, in, check);
  const std::string names = paths::NetNamesFile(shared);
  const std::string windows = Cat({shared, "\\windows"});
  if (host.FileExists(names))
    Add(check, Road::kAccounts, "工作站信息文件", CheckState::kReady, {names, " 存在。"});
  else if (!host.DirectoryExists(windows))
    Add(check, Road::kAccounts, "工作站信息文件", CheckState::kMissing,
        {"没有 ", names, "，也没有它所在的目录 ", windows, "（工作站的 Windows 还没有上传）。"},
        {"用客户端上传工作站的 Windows 到 ", windows, "，再按“编辑信息文件”建立它"});
  else
    Add(check, Road::kAccounts, "工作站信息文件", CheckState::kMissing, {"没有 ", names, "。"}, {"按“编辑信息文件”建立它"});
}

namespace {

// A packed floppy read back: why it cannot be, or "" with its files.
std::string ReadFloppy(platform::Host& host, const std::string& path, pxe::FloppyFiles* files) {
  std::string image;
  if (!host.ReadFile(path, &image, pxe::kFloppyImageSize + 1)) return Cat({"无法读取 ", path, "（可能被别的程序占用）。"});
  if (image.size() != pxe::kFloppyImageSize)
    return Cat({path, " 的大小为 ", image.size(), image.size() > pxe::kFloppyImageSize ? " 字节以上" : " 字节",
                "，不是 1440 KB 软盘镜像（", pxe::kFloppyImageSize, " 字节）。"});
  if (!pxe::ReadFloppyFiles(image, files)) return Cat({path, " 不是完好的 FAT12 软盘镜像，读不出其中的文件。"});
  return "";
}

// Which start script a setvars.bat's neighbour startnet.bat is.
const char* AutoRegistration(const std::string& startnet_bytes) {
  for (pxe::StartNetVariant v : {pxe::StartNetVariant::AutoRegister, pxe::StartNetVariant::Standard})
    if (startnet_bytes == platform::JoinLines(pxe::StartNetLines(v)))
      return v == pxe::StartNetVariant::AutoRegister ? "网卡自动注册：开" : "网卡自动注册：关";
  return "startnet.bat 不是本程序写的";
}

void CheckTemplate(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const char kWhat[] = "原始镜像文件";
  const std::string path = paths::TemplateImage(in.start_dir);
  const std::string mend = Cat({"换上随程序发布的完好的 bootimg.w98（放在 ", in.start_dir, "\\unditool 中）"});
  if (!host.FileExists(path)) {
    Add(check, Road::kPxe, kWhat, CheckState::kMissing, {"没有 ", path, "。"}, {mend});
    return;
  }
  pxe::FloppyFiles files;
  const std::string problem = ReadFloppy(host, path, &files);
  if (!problem.empty()) {
    Add(check, Road::kPxe, kWhat, CheckState::kUnreadable, {problem}, {mend});
    return;
  }
  // What the image run and the installation take from it.
  std::vector<std::string> needed = {"IO.SYS", "COMMAND.COM", "SYSTEM.DAT"}, missing;
  for (const std::string& name : rpl::ClientFiles()) needed.push_back(Cat({"WINBOOT\\", name}));
  for (const std::string& name : needed)
    if (!files.count(platform::Lower(name))) missing.push_back(name);
  if (missing.empty())
    Add(check, Road::kPxe, kWhat, CheckState::kReady,
        {path, " 是 1440 KB 的 FAT12 软盘镜像，IO.SYS、COMMAND.COM、SYSTEM.DAT 和 WINBOOT 中的 ",
         rpl::ClientFiles().size(), " 个工作站网络文件都在。"});
  else
    Add(check, Road::kPxe, kWhat, CheckState::kMissing,
        {path, " 中缺少 ", missing.size(), " 个文件：", NameList(missing), "。"}, {mend});
}

void CheckBootImage(platform::Host& host, const CheckInput& in, ServerCheck* check,
                    const std::string& program_files) {
  const char kWhat[] = "已安装的启动镜像", kNames[] = "启动镜像中的服务器和共享", kAgain[] = "重新生成";
  if (in.boot_image_target.empty() && program_files.empty()) {
    const char kFound[] = "读不到注册表中的 ProgramFilesDir，不知道启动镜像装在哪里。";
    Add(check, Road::kPxe, kWhat, CheckState::kUnreadable, {kFound}, {kRegistry});
    Add(check, Road::kPxe, kNames, CheckState::kUnreadable, {kFound}, {kRegistry});
    return;
  }
  const std::string path = in.boot_image_target.empty() ? paths::PdkBootImage(program_files) : in.boot_image_target;
  if (!host.FileExists(path)) {
    Add(check, Road::kPxe, kWhat, CheckState::kMissing, {"没有 ", path, "。"}, {kMakeImage});
    Add(check, Road::kPxe, kNames, CheckState::kMissing, {"没有启动镜像。"}, {kMakeImage});
    return;
  }
  pxe::FloppyFiles files;
  const std::string problem = ReadFloppy(host, path, &files);
  if (!problem.empty()) {
    Add(check, Road::kPxe, kWhat, CheckState::kUnreadable, {problem}, {kMakeImage, kAgain});
    Add(check, Road::kPxe, kNames, CheckState::kUnreadable, {"启动镜像读不出。"}, {kMakeImage, kAgain});
    return;
  }
  Add(check, Road::kPxe, kWhat, CheckState::kReady, {path, " 是 1440 KB 的软盘镜像，可以读出。"});
  auto setvars = files.find("winboot\\setvars.bat");
  if (setvars == files.end()) {
    Add(check, Road::kPxe, kNames, CheckState::kMissing, {"镜像中没有 WINBOOT\\SETVARS.BAT。"}, {kMakeImage, kAgain});
    return;
  }
  if (check->computer_name.empty()) {
    Add(check, Road::kPxe, kNames, CheckState::kUnreadable, {"读不到注册表中的计算机名，无法比较。"}, {kRegistry});
    return;
  }
  const std::vector<std::string> lines = platform::SplitLines(setvars->second);
  std::string server, share, stale;
  if (!SetValue(lines, "SERVER", &server))
    stale += "setvars.bat 中没有 SET SERVER 一行；";
  else if (!platform::SameName(server, check->computer_name))
    stale += Cat({"镜像中 SERVER=", server, "，本机的计算机名是 ", check->computer_name, "；"});
  if (!SetValue(lines, "SHARE", &share))
    stale += "setvars.bat 中没有 SET SHARE 一行；";
  else if (!platform::SameName(share, check->share))
    stale += Cat({"镜像中 SHARE=", share, "，今天的共享名是 ", check->share, "；"});
  auto startnet = files.find("winboot\\startnet.bat");
  const char* variant = AutoRegistration(startnet == files.end() ? "" : startnet->second);
  if (stale.empty())
    Add(check, Road::kPxe, kNames, CheckState::kReady, {"SERVER=", server, "，SHARE=", share, "，都是今天的；", variant, "。"});
  else
    Add(check, Road::kPxe, kNames, CheckState::kStale, {stale, variant, "。"},
        {kMakeImage, "重新生成（服务器名或共享目录名变动后必须重新生成）"});
}

}  // namespace

void CheckPxe(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string program_files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  const std::string installer = paths::PdkInstaller(in.start_dir);
  if (host.FileExists(installer))
    Add(check, Road::kPxe, "PXE-PDK 安装程序", CheckState::kReady, {installer, " 存在。"});
  else
    Add(check, Road::kPxe, "PXE-PDK 安装程序", CheckState::kMissing, {"没有 ", installer, "。"},
        {"把 PXE-PDK 2.0 的安装程序 pxe20-pdk.exe 放到 ", in.start_dir, "\\pxe-pdk 中"});
  if (program_files.empty()) {
    Add(check, Road::kPxe, "已安装的 PXE-PDK", CheckState::kUnreadable, {"读不到注册表中的 ProgramFilesDir。"}, {kRegistry});
  } else {
    const std::vector<std::string> missing =
        MissingFiles(host, {paths::PdkConfigurator(program_files), paths::PdkRegistrar(program_files)}, false);
    if (missing.empty())
      Add(check, Road::kPxe, "已安装的 PXE-PDK", CheckState::kReady, {"pxeconfig.exe 和 pxereg60.exe 都在。"});
    else
      Add(check, Road::kPxe, "已安装的 PXE-PDK", CheckState::kMissing, {"没有 ", NameList(missing), "。"},
          {"在 PXE 页上按“安装 PXE”"});
  }
  const std::vector<std::string> tools =
      MissingFiles(host, {paths::Unpacker(in.start_dir), Cat({paths::Packer(in.start_dir), ".exe"})});
  if (tools.empty())
    Add(check, Road::kPxe, "镜像工具", CheckState::kReady, {"undisk.exe 和 rplimage.exe 都在 ", in.start_dir, "\\unditool 中。"});
  else
    Add(check, Road::kPxe, "镜像工具", CheckState::kMissing, {in.start_dir, "\\unditool 中没有 ", NameList(tools), "。"},
        {"把随程序发布的 unditool 目录放到 ", in.start_dir, " 中"});
  CheckTemplate(host, in, check);
  CheckBootImage(host, in, check, program_files);
}

}  // namespace app
