#include "pxe/bootimage.h"

#include <map>
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

// A floppy's files by their paths below its root in lower case
// ("winboot\\setvars.bat"), each with its path as the disk shows it and
// its bytes (kept in the tree it was read into).
struct File {
  std::string shown;
  const std::string* data;
};
using Files = std::map<std::string, File>;
void Collect(const fat12::Tree& dir, const std::string& prefix, Files* files) {
  for (const fat12::Tree& child : dir.children) {
    const std::string shown = prefix + child.name;
    if (child.is_directory)
      Collect(child, shown + "\\", files);
    else
      (*files)[platform::Lower(shown)] = File{shown, &child.data};
  }
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
  // A value that names no folder is refused as well: no PDK is installed
  // there, and where the value is wrong (a drive letter changed, the folder
  // moved) an image made there would be found by no PDK. The administrator
  // mends the value or makes the folder; this program makes neither.
  if (!host.DirectoryExists(program_files)) {
    ui.MessageBox("注册表中的 Program Files 目录 " + program_files + "（HKEY_LOCAL_MACHINE" + paths::kWindowsKey +
                      " 的 ProgramFilesDir）不存在，找不到 PXE-PDK 的镜像目录，没有生成镜像。\r\n"
                      "请检查 ProgramFilesDir，或建立这个目录。",
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
  // 6. Unpack the template, unseen. A tree an earlier run left must not
  // pass for this run's: its setvars.bat goes first, so that the one read
  // after the countdown can only be the unpacker's. (The unpacker replaces
  // the tree whole, so a new setvars.bat comes with the template's files and
  // no others; the packed image is held against the template all the same.)
  host.MakeDirectory(paths::kTempDir);
  if (host.FileExists(paths::kSetVarsBat) && !host.DeleteFile(paths::kSetVarsBat)) {
    warn(std::string("无法删除上一次解开的 ") + paths::kSetVarsBat + "（文件只读或被占用），无法确认镜像是本次解开的。");
    return;
  }
  const int unpacker = host.StartWatched(platform::QuotedIfBlank(paths::Unpacker(tool_dir)) + " " +
                                             platform::QuotedIfBlank(paths::TemplateImage(tool_dir)) + " " +
                                             paths::kBootImgDir,
                                         platform::kHide);
  if (!unpacker) {
    warn("无法启动解包程序 " + paths::Unpacker(tool_dir) + "。");
    return;
  }
  // 7. The unpacking gets the time of the countdown.
  {
    TForm2 Form2;
    ui.ShowModal(Form2);
  }
  // An unpacker still at work may not have laid the tree out yet, or may
  // change it while it is packed.
  if (host.StillRunning(unpacker)) {
    warn("解包程序 " + paths::Unpacker(tool_dir) + " 在倒计时结束时仍在运行，原始镜像还没有解开。");
    return;
  }
  // 8. The image's variables: its first three lines (a shorter file gets
  // empty ones), then this server and share. Only the unpacker has put a
  // setvars.bat there: without one it could not start, or failed.
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(host, paths::kSetVarsBat, &lines)) {
    warn(std::string("原始镜像没有解开：倒计时结束时读不到 ") + paths::kSetVarsBat + "（解包程序可能出错了）。");
    return;
  }
  lines.resize(3);  // lines 4 and 5, and any after them, are dropped
  lines.push_back("SET SERVER=" + computer_name);
  lines.push_back("SET SHARE=" + share);
  // 9. The start script the check box chooses.
  const StartNetVariant variant = auto_register ? StartNetVariant::AutoRegister : StartNetVariant::Standard;
  const char* unwritten = !platform::WriteTextLines(host, paths::kSetVarsBat, lines) ? paths::kSetVarsBat
                          : !WriteStartNet(host, paths::kStartNetBat, variant)     ? paths::kStartNetBat
                                                                                    : nullptr;
  if (unwritten) {
    warn(std::string("无法写入 ") + unwritten + "（文件只读、被占用或磁盘已满）。");
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
  // It must also read back as a whole floppy holding what this run wrote,
  // and the template's other files as they are there. JoinLines gives the
  // code page 936 bytes the files were written with.
  std::string original;
  if (!host.ReadFile(paths::TemplateImage(tool_dir), &original, kFloppyImageSize + 1)) {
    warn("无法读取原始镜像文件 " + paths::TemplateImage(tool_dir) + "，无法检查打包后的镜像。");
    return;
  }
  const std::string problem = CheckPackedImage(image, original, platform::JoinLines(lines),
                                               platform::JoinLines(StartNetLines(variant)));
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

std::string CheckPackedImage(const std::string& image, const std::string& template_image,
                             const std::string& setvars, const std::string& startnet) {
  fat12::Tree root, original_root;
  std::string error;
  if (!fat12::Unpack(image, &root, &error)) return "它不是完好的 FAT12 软盘镜像（" + error + "）。";
  if (!fat12::Unpack(template_image, &original_root, &error))
    return "原始镜像文件不是完好的 FAT12 软盘镜像（" + error + "），无法比较。";
  Files packed, original;
  Collect(root, "", &packed);
  Collect(original_root, "", &original);
  // This run's two scripts.
  struct Expected {
    const char* path;
    const char* shown;
    const std::string& bytes;
  } scripts[] = {{"winboot\\setvars.bat", "winboot\\SETVARS.BAT", setvars},
                 {"winboot\\startnet.bat", "winboot\\STARTNET.BAT", startnet}};
  auto script = [&](const std::string& path) {
    return path == scripts[0].path || path == scripts[1].path;
  };
  for (const Expected& f : scripts) {
    auto file = packed.find(f.path);
    if (file == packed.end()) return std::string("镜像中没有 ") + f.shown + "。";
    if (*file->second.data != f.bytes) return std::string("镜像中的 ") + f.shown + " 不是本次写入的内容。";
  }
  // Every other file as the template holds it, and nothing the template
  // lacks: a file of an earlier template left in the tree, or one the
  // unpacker did not write, would go to the workstations with this image.
  for (const auto& f : original) {
    if (script(f.first)) continue;
    auto file = packed.find(f.first);
    if (file == packed.end()) return "镜像中没有原始镜像中的 " + f.second.shown + "。";
    if (*file->second.data != *f.second.data) return "镜像中的 " + file->second.shown + " 与原始镜像中的不同。";
  }
  for (const auto& f : packed)
    if (!script(f.first) && !original.count(f.first))
      return "镜像中的 " + f.second.shown + " 不在原始镜像中（" + paths::kBootImgDir + " 中留有以前的文件）。";
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
