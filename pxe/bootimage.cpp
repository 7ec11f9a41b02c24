#include "pxe/bootimage.h"

#include <vector>

#include "base/names.h"
#include "base/paths.h"
#include "imagetools/fat12.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/startnet.h"
#include "pxe/wait_dialog.h"

namespace pxe {
namespace {

// The entry of a directory by its name, without regard to case.
const fat12::Tree* Child(const fat12::Tree& dir, const std::string& name) {
  for (const fat12::Tree& child : dir.children)
    if (platform::SameName(child.name, name)) return &child;
  return nullptr;
}

}  // namespace

void GenerateBootImage(platform::Host& host, platform::Ui& ui, const std::string& start_dir,
                       const std::string& shared_directory, bool auto_register,
                       std::string* installed_image) {
  const char kCaption[] = "morva提示";
  const std::string kept = "\r\n原有的 dosundi.1 未被改动，请重新生成镜像。";
  auto warn = [&](const std::string& what) { ui.MessageBox(what + kept, kCaption, platform::kMbIconExclamation); };
  // 1. Where the PDK lies and what this server is called, read afresh.
  // Without the program files directory the image would land below the
  // root of whatever drive is current, where the PDK never looks.
  const std::string program_files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  if (program_files.empty()) {
    ui.MessageBox(std::string("注册表中没有 Program Files 目录（HKEY_LOCAL_MACHINE") + paths::kWindowsKey +
                      " 的 ProgramFilesDir），找不到 PXE-PDK 的镜像目录，没有生成镜像。",
                  kCaption, platform::kMbIconExclamation);
    return;
  }
  const std::string computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  // 2. The name the shared directory is shared under.
  const std::string share = base::ShareName(shared_directory);
  // 3. The work directory.
  host.MakeDirectory(paths::kTempDir);
  // 4. The tools lie below the program's own directory. Not the current
  // directory: browsing for a driver moves that elsewhere.
  const std::string& tool_dir = start_dir;
  // 5. Without the template there is nothing to build: the program ends.
  if (!host.FileExists(paths::TemplateImage(tool_dir))) {
    ui.ShowMessage("找不到原始镜像文件,程序异常中止！");
    ui.CloseMainWindow();
    return;
  }
  // 6. Unpack the template, unseen.
  host.MakeDirectory(paths::kTempDir);
  host.RunCommand(platform::QuotedIfBlank(paths::Unpacker(tool_dir)) + " " +
                      platform::QuotedIfBlank(paths::TemplateImage(tool_dir)) + " " + paths::kBootImgDir,
                  platform::kHide);
  // 7. The unpacking gets the time of the countdown.
  {
    TForm2 Form2;
    ui.ShowModal(Form2);
  }
  // 8. The image's variables: its first three lines, then this server and
  // share. 9. The start script the check box chooses. Neither can be written
  // where the unpacking has not laid out the tree.
  std::vector<std::string> lines;
  platform::ReadTextLines(host, paths::kSetVarsBat, &lines);
  lines.resize(3);  // lines 4 and 5, and any after them, are dropped
  lines.push_back("SET SERVER=" + computer_name);
  lines.push_back("SET SHARE=" + share);
  const StartNetVariant variant = auto_register ? StartNetVariant::AutoRegister : StartNetVariant::Standard;
  const char* unwritten = !platform::WriteTextLines(host, paths::kSetVarsBat, lines) ? paths::kSetVarsBat
                          : !WriteStartNet(host, paths::kStartNetBat, variant)     ? paths::kStartNetBat
                                                                                    : nullptr;
  if (unwritten) {
    warn(std::string("无法写入 ") + unwritten + "，原始镜像可能没有解开。");
    return;
  }
  // 10. No old image may pass for the new one: one that stays stops the run.
  if (host.FileExists(paths::kPackedImageCheck) && !host.DeleteFile(paths::kPackedImage)) {
    warn(std::string("无法删除上一次打包的镜像文件 ") + paths::kPackedImage + "（文件只读或被占用）。");
    return;
  }
  // 11. Pack the tree again, unseen, and wait for the packer to end.
  const std::string packer = platform::QuotedIfBlank(paths::Packer(tool_dir));
  int code = -1;
  const platform::Host::Wait wait = host.RunToEnd(
      packer + " " + paths::kBootImgDir + " " + paths::kPackedImage + " /f:1440", platform::kHide, kPackLimit, &code);
  if (wait == platform::Host::Wait::kNotStarted) {
    warn("无法启动打包程序 " + paths::Packer(tool_dir) + "。");
    return;
  }
  if (wait == platform::Host::Wait::kTimedOut) {
    warn("打包程序在 " + std::to_string(kPackLimit / 1000) + " 秒内没有结束，已被终止。");
    return;
  }
  if (code != 0) {
    warn("打包程序报告错误（返回值 " + std::to_string(code) + "）。");
    return;
  }
  // 12. The PDK's image directory, one level after the other.
  for (int level = 1; level <= paths::kPdkImageLevels; ++level)
    host.MakeDirectory(paths::PdkImageDirectory(program_files, level));
  // 13. Install the image. Only a whole 1440 KB image replaces the one
  // installed: a packed image that is missing, locked, empty or of another
  // size leaves the old dosundi.1 as it was.
  *installed_image = paths::PdkBootImage(program_files);
  std::string image;
  if (!host.ReadFile(paths::kPackedImage, &image) || image.empty()) {
    warn(std::string("无法读取打包后的镜像文件 ") + paths::kPackedImage + "，打包可能没有完成或已经失败。");
    return;
  }
  // One rule: a 1440 KB floppy image is exactly 1474560 bytes; anything else
  // is incomplete or not a floppy image, and its real size is named.
  if (image.size() != kFloppyImageSize) {
    warn(std::string("打包后的镜像文件 ") + paths::kPackedImage + " 大小为 " + std::to_string(image.size()) +
         " 字节，不是 1440 KB 软盘镜像（" + std::to_string(kFloppyImageSize) + " 字节）。");
    return;
  }
  // It must also read back as a whole floppy holding what this run wrote.
  // JoinLines gives the code page 936 bytes the files were written with.
  const std::string problem =
      CheckPackedImage(image, platform::JoinLines(lines), platform::JoinLines(StartNetLines(variant)));
  if (!problem.empty()) {
    warn(std::string("打包后的镜像文件 ") + paths::kPackedImage + " 没有通过检查：" + problem);
    return;
  }
  // Whole or not at all: a write cut short (a full disk) or refused (a
  // read-only or locked file) leaves the old image as it was, and says so.
  if (!platform::WriteFileWhole(host, *installed_image, image)) {
    warn("无法写入 " + *installed_image + "（文件只读、被占用或磁盘已满）。");
    return;
  }
  // 14. Only now is the image made and in place.
  ui.MessageBox("当服务器名和共享目录名发生变动，您必须重新生成镜像!", "创建完成",
                platform::kMbIconInformation);
}

std::string CheckPackedImage(const std::string& image, const std::string& setvars,
                             const std::string& startnet) {
  fat12::Tree root;
  std::string error;
  if (!fat12::Unpack(image, &root, &error)) return "它不是完好的 FAT12 软盘镜像（" + error + "）。";
  const fat12::Tree* winboot = Child(root, "WINBOOT");
  struct Expected {
    const char* name;
    const std::string& bytes;
  } files[] = {{"SETVARS.BAT", setvars}, {"STARTNET.BAT", startnet}};
  for (const Expected& f : files) {
    const fat12::Tree* file = winboot ? Child(*winboot, f.name) : nullptr;
    if (!file || file->is_directory) return std::string("镜像中没有 winboot\\") + f.name + "。";
    if (file->data != f.bytes) return std::string("镜像中的 winboot\\") + f.name + " 不是本次写入的内容。";
  }
  return "";
}

void StartPdkInstaller(platform::Host& host, const std::string& start_dir) {
  host.RunCommand(platform::QuotedIfBlank(paths::PdkInstaller(start_dir)), platform::kShowNormal);
}

namespace {

// Starts a program that must be there, or says that it is not.
void StartIfPresent(platform::Host& host, platform::Ui& ui, const std::string& tested,
                    const std::string& started, const char* missing) {
  if (host.FileExists(tested))
    host.RunCommand(platform::QuotedIfBlank(started), platform::kShowNormal);
  else
    ui.ShowMessage(missing);
}

}  // namespace

void StartDhcpManager(platform::Host& host, platform::Ui& ui) {
  const std::string system_root = host.ReadRegistry(paths::kWindowsNtKey, "SystemRoot");
  StartIfPresent(host, ui, paths::DhcpManagerTested(system_root), paths::DhcpManagerStarted(system_root),
                 "找不到配置文件，可能是DHCP服务没有正确没装!");
}

void StartPdkConfigurator(platform::Host& host, platform::Ui& ui) {
  const std::string program_files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  const std::string path = paths::PdkConfigurator(program_files);
  StartIfPresent(host, ui, path, path, "找不到配置文件，可能是PXE-PDK 程序没有正确没装!");
}

void StartPdkRegistrar(platform::Host& host, platform::Ui& ui) {
  const std::string program_files = host.ReadRegistry(paths::kWindowsKey, "ProgramFilesDir");
  const std::string path = paths::PdkRegistrar(program_files);
  StartIfPresent(host, ui, path, path, "找不到PXEReg60.EXE，可能是PXE-PDK 程序没有正确没装!");
}

}  // namespace pxe
