// The server check: the accounts and the PXE road.
#include "app/server_check.h"

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

const char kMakeImage[] = "在 PXE 页上按“生成镜像文件”";
const char kRegistry[] = "检查注册表后重新检查";

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
    Add(check, Road::kPxe, kWhat, CheckState::kAdmin, {"没有 ", path, "。"}, {mend});
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
    Add(check, Road::kPxe, kWhat, CheckState::kAdmin,
        {path, " 中缺少 ", missing.size(), " 个文件：", NameList(missing), "。"}, {mend});
}

// Where the boot image is unpacked, by the image button and the installation
// alike: c:\temp and c:\temp\bootimg are made when absent, so only a file
// in the place of either stops them.
void CheckScratch(platform::Host& host, ServerCheck* check) {
  for (const char* dir : {paths::kTempDir, paths::kBootImgDir})
    if (host.FileExists(dir)) {
      Add(check, Road::kPxe, "临时目录", CheckState::kAdmin,
          {dir, " 是一个文件：“生成镜像文件”和“安装”都要在这里解开启动镜像。"}, {"把文件 ", dir, " 改名或移走"});
      return;
    }
  Add(check, Road::kPxe, "临时目录", CheckState::kReady,
      {paths::kBootImgDir, host.DirectoryExists(paths::kBootImgDir) ? " 存在" : " 还没有，解开启动镜像时建立", "。"});
}

void CheckBootImage(platform::Host& host, const CheckInput& in, ServerCheck* check,
                    const std::string& program_files) {
  const char kWhat[] = "已安装的启动镜像", kNames[] = "启动镜像中的服务器和共享";
  // The image button needs the template, its tools and the place to unpack,
  // and refuses a ProgramFilesDir that names no folder: the administrator's.
  std::string make = kMakeImage, again = Cat({kMakeImage, "（重新生成）"});
  const bool no_folder = !program_files.empty() && !host.DirectoryExists(program_files);
  if (no_folder) {
    const std::string registry =
        Cat({"检查注册表中的 ProgramFilesDir（它指的 ", program_files, " 不存在），改正它或建立这个目录，再"});
    make = registry + make;
    again = registry + again;
  }
  const CheckState not_made = After(*check, {"镜像工具", "临时目录", "原始镜像文件"},
                                    no_folder ? CheckState::kAdmin : CheckState::kMissing, &make);
  After(*check, {"镜像工具", "临时目录", "原始镜像文件"}, CheckState::kMissing, &again);
  if (in.boot_image_target.empty() && program_files.empty()) {
    const char kFound[] = "读不到注册表中的 ProgramFilesDir，不知道启动镜像装在哪里。";
    Add(check, Road::kPxe, kWhat, CheckState::kUnreadable, {kFound}, {kRegistry});
    Add(check, Road::kPxe, kNames, CheckState::kUnreadable, {kFound}, {kRegistry});
    return;
  }
  const std::string path = in.boot_image_target.empty() ? paths::PdkBootImage(program_files) : in.boot_image_target;
  if (!host.FileExists(path)) {
    Add(check, Road::kPxe, kWhat, not_made, {"没有 ", path, "。"}, {make});
    Add(check, Road::kPxe, kNames, not_made, {"没有启动镜像。"}, {make});
    return;
  }
  pxe::FloppyFiles files;
  const std::string problem = ReadFloppy(host, path, &files);
  if (!problem.empty()) {
    Add(check, Road::kPxe, kWhat, CheckState::kUnreadable, {problem}, {again});
    Add(check, Road::kPxe, kNames, CheckState::kUnreadable, {"启动镜像读不出。"}, {again});
    return;
  }
  Add(check, Road::kPxe, kWhat, CheckState::kReady, {path, " 是 1440 KB 的软盘镜像，可以读出。"});
  auto setvars = files.find("winboot\\setvars.bat");
  if (setvars == files.end()) {
    Add(check, Road::kPxe, kNames, not_made, {"镜像中没有 WINBOOT\\SETVARS.BAT。"}, {again});
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
    Add(check, Road::kPxe, kNames, not_made == CheckState::kMissing ? CheckState::kStale : not_made,
        {stale, variant, "。"}, {again, "（服务器名或共享目录名变动后必须重新生成）"});
}

}  // namespace

void CheckPxe(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string program_files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  const std::string installer = paths::PdkInstaller(in.start_dir);
  if (host.FileExists(installer))
    Add(check, Road::kPxe, "PXE-PDK 安装程序", CheckState::kReady, {installer, " 存在。"});
  else
    Add(check, Road::kPxe, "PXE-PDK 安装程序", CheckState::kAdmin, {"没有 ", installer, "。"},
        {"把 PXE-PDK 2.0 的安装程序 pxe20-pdk.exe 放到 ", in.start_dir, "\\pxe-pdk 中"});
  if (program_files.empty()) {
    Add(check, Road::kPxe, "已安装的 PXE-PDK", CheckState::kUnreadable, {"读不到注册表中的 ProgramFilesDir。"}, {kRegistry});
  } else {
    const std::vector<std::string> missing =
        MissingFiles(host, {paths::PdkConfigurator(program_files), paths::PdkRegistrar(program_files)}, false);
    if (missing.empty())
      Add(check, Road::kPxe, "已安装的 PXE-PDK", CheckState::kReady, {"pxeconfig.exe 和 pxereg60.exe 都在。"});
    else if (host.FileExists(installer))
      Add(check, Road::kPxe, "已安装的 PXE-PDK", CheckState::kMissing, {"没有 ", NameList(missing), "。"},
          {"在 PXE 页上按“安装 PXE”，按安装程序的提示装好 PXE-PDK"});
    else
      Add(check, Road::kPxe, "已安装的 PXE-PDK", CheckState::kAdmin, {"没有 ", NameList(missing), "。"},
          {"把 pxe20-pdk.exe 放到 ", in.start_dir, "\\pxe-pdk 中，再在 PXE 页上按“安装 PXE”"});
  }
  const std::vector<std::string> tools =
      MissingFiles(host, {paths::Unpacker(in.start_dir), Cat({paths::Packer(in.start_dir), ".exe"})});
  if (tools.empty())
    Add(check, Road::kPxe, "镜像工具", CheckState::kReady, {"undisk.exe 和 rplimage.exe 都在 ", in.start_dir, "\\unditool 中。"});
  else
    Add(check, Road::kPxe, "镜像工具", CheckState::kAdmin, {in.start_dir, "\\unditool 中没有 ", NameList(tools), "。"},
        {"把随程序发布的 unditool 目录放到 ", in.start_dir, " 中"});
  CheckScratch(host, check);
  CheckTemplate(host, in, check);
  CheckBootImage(host, in, check, program_files);
}

}  // namespace app
