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

void ApplyBootImage(platform::Host& host, platform::Ui& ui, const ImageFields& fields, const plan::Plan& plan) {
  auto warn = [&](const std::string& what) { ui.MessageBox(KeptWarning(what), kImageCaption, platform::kMbIconExclamation); };
  // What this server is called and the name its shared directory is shared
  // under, read afresh; the tools lie below the program's own directory,
  // not the current one, which browsing for a driver moves.
  const std::string computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  const std::string share = base::ShareName(fields.shared_directory);
  const std::string& tool_dir = fields.start_dir;
  const StartNetVariant variant =
      fields.auto_register.value_or(false) ? StartNetVariant::AutoRegister : StartNetVariant::Standard;
  std::vector<std::string> lines;  // the unpacked setvars.bat, then as written
  for (const plan::Change& c : plan.changes) {
    switch (c.kind) {
      case plan::Change::kFolder:
        // The work directory, and the PDK's image directory one level after
        // the other; one that cannot be made stops the installation below.
        host.MakeDirectory(c.path);
        break;
      case plan::Change::kDelete:
        // No tree or image an earlier run left may pass for this run's.
        if (host.FileExists(c.path) && !host.DeleteFile(c.path)) {
          warn(platform::SameName(c.path, paths::kSetVarsBat)
                   ? std::string("无法删除上一次解开的 ") + paths::kSetVarsBat + "（文件只读或被占用），无法确认镜像是本次解开的。"
                   : std::string("无法删除上一次打包的镜像文件 ") + paths::kPackedImage + "（文件只读或被占用）。");
          return;
        }
        break;
      case plan::Change::kProgram:
        if (platform::SameName(c.from, paths::kPackedImage)) {
          // Pack the tree again, unseen, and wait for the packer to end.
          int code = -1;
          host.WillChange(plan::PlacesOf(c));
          const platform::Host::Wait wait = host.RunToEnd(c.path, platform::kHide, kPackLimit, &code);
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
          break;
        }
        {
          // Unpack the template, unseen, in the time of the countdown. An
          // unpacker still at work may not have laid the tree out yet, or
          // may change it while it is packed.
          host.WillChange(plan::PlacesOf(c));
          const int unpacker = host.StartWatched(c.path, platform::kHide);
          if (!unpacker) {
            warn("无法启动解包程序 " + paths::Unpacker(tool_dir) + "。");
            return;
          }
          TForm2 Form2;
          ui.ShowModal(Form2);
          if (host.StillRunning(unpacker)) {
            warn("解包程序 " + paths::Unpacker(tool_dir) + " 在倒计时结束时仍在运行，原始镜像还没有解开。");
            return;
          }
        }
        // Only the unpacker has put a setvars.bat there: without one it
        // could not start, or failed.
        if (!platform::ReadTextLines(host, paths::kSetVarsBat, &lines)) {
          warn(std::string("原始镜像没有解开：倒计时结束时读不到 ") + paths::kSetVarsBat + "（解包程序可能出错了）。");
          return;
        }
        // Its first three lines (a shorter file gets empty ones), then this
        // server and share.
        lines.resize(3);
        lines.push_back("SET SERVER=" + computer_name);
        lines.push_back("SET SHARE=" + share);
        break;
      case plan::Change::kRemoveFolder:  // only an undo removes folders
        break;
      case plan::Change::kWrite:
      case plan::Change::kReplace:
        if (platform::SameName(c.path, paths::kSetVarsBat) || platform::SameName(c.path, paths::kStartNetBat)) {
          const bool written = platform::SameName(c.path, paths::kSetVarsBat)
                                   ? platform::WriteTextLines(host, c.path, lines)
                                   : WriteStartNet(host, c.path, variant);
          if (!written) {
            warn("无法写入 " + c.path + "（文件只读、被占用或磁盘已满）。");
            return;
          }
          break;
        }
        // The installed image. Only a whole 1440 KB image that reads back as
        // a floppy holding what this run wrote, and the template's other
        // files as they are there, replaces the one installed.
        std::string image;
        if (!host.ReadFile(paths::kPackedImage, &image) || image.empty()) {
          warn(std::string("无法读取打包后的镜像文件 ") + paths::kPackedImage + "，打包可能没有完成或已经失败。");
          return;
        }
        if (image.size() != kFloppyImageSize) {
          warn(std::string("打包后的镜像文件 ") + paths::kPackedImage + " 大小为 " + std::to_string(image.size()) +
               " 字节，不是 1440 KB 软盘镜像（" + std::to_string(kFloppyImageSize) + " 字节）。");
          return;
        }
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
        // Whole or not at all: a write cut short (a full disk) or refused
        // (a locked file) leaves the old image as it was, and says so.
        if (!platform::WriteFileWhole(host, c.path, image)) {
          warn("无法写入 " + c.path + "（文件只读、被占用或磁盘已满）。");
          return;
        }
        break;
    }
  }
  // Only now is the image made and in place.
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
