// The installation carried out: the image unpacked, every file staged beside its target, then put in place.
#include "rpl/install.h"

#include <utility>

#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/detect.h"
#include "rpl/install_parts.h"
#include "rpl/registry_hive.h"

namespace rpl {
namespace {

using installation::FromImage;
using installation::kCaption;

const char kNotDone[] = "无盘WIN98远程启动文件没有安装完成：";

// Each file goes in whole: it is first prepared beside its target, and only
// when every file is prepared do they take their targets' places, one rename
// each. The installation's own staged files are not named FILE.new, since the
// auto-registration switch rewrites startnet.bat through startnet.bat.new
// while they wait.
std::string Staged(const std::string& target) { return target + kStagedSuffix; }

// The staged files go, those a failed copy or write left half made among them.
void Discard(platform::Host& host, const std::vector<PlacedFile>& files) {
  for (const PlacedFile& file : files) {
    const std::string staged = Staged(file.target);
    if (!host.FileExists(staged)) continue;
    host.SetFileAttributes(staged, platform::kAttrArchive);
    host.DeleteFile(staged);
  }
}

// Prepares one file beside its target. A copy takes its source's attributes
// (a release copied from a CD is read-only): the staged file is made an
// ordinary one, so that no read-only file stays in the profile to stop the
// next installation. False with the failure named.
bool Stage(platform::Host& host, const PlacedFile& file, std::string* failure) {
  const std::string staged = Staged(file.target);
  if (host.FileExists(staged)) {  // left by an installation that was cut short
    host.SetFileAttributes(staged, platform::kAttrArchive);
    if (!host.DeleteFile(staged)) {
      *failure = "无法删除上次安装留下的 " + staged;
      return false;
    }
  }
  const bool made = file.from.empty() ? host.WriteFile(staged, file.bytes) : host.CopyFile(file.from, staged, false);
  if (!made) {
    *failure = file.from.empty() ? "无法写入 " + staged : "无法把 " + file.from + " 复制到 " + staged;
    return false;
  }
  if (!host.SetFileAttributes(staged, platform::kAttrArchive)) {
    *failure = "无法去掉 " + staged + " 的只读属性";
    return false;
  }
  return true;
}

}  // namespace

void ApplyInstall(platform::Host& host, platform::Ui& ui, const InstallInput& in, const Installation& planned,
                  platform::CheckBox& auto_register) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const std::string& root = in.system_root;
  const std::string& profile = in.profile;
  const std::string untouched = "\r\n远程启动文件和配置 " + profile + " 都没有改动。";
  auto refuse = [&](const std::string& text) { ui.MessageBox(text + untouched, kCaption, kWarn); };
  const bool rtl8139 = in.nic_type == kRtl8139;
  const std::string driver = InstalledDriver(in.nic_type, in.ndis_driver_name);
  const std::string image = paths::TemplateImage(in.start_dir);
  host.MakeDirectory(paths::kTempDir);
  // 5. Wait for the unpacker and check it: files left by an earlier run must
  // never pass for this image's.
  const std::string unpacker = paths::Unpacker(in.start_dir);
  const std::string command = platform::QuotedIfBlank(unpacker) + " " + platform::QuotedIfBlank(image) +
                              " " + paths::kBootImgDir;
  int code = -1;
  for (const plan::Change& c : planned.plan.changes)
    if (c.kind == plan::Change::kProgram) host.WillChange(plan::PlacesOf(c));
  const platform::Host::Wait wait = host.RunToEnd(command, platform::kHide, kUnpackLimit, &code);
  if (wait != platform::Host::Wait::kFinished || code != 0) {
    std::string why;
    if (wait == platform::Host::Wait::kNotStarted)
      why = "无法启动解包程序 " + unpacker;
    else if (wait == platform::Host::Wait::kTimedOut)
      why = "解包程序在 " + std::to_string(kUnpackLimit / 1000) + " 秒内没有结束，已被终止";
    else
      why = "解包程序报告错误（返回值 " + std::to_string(code) + "）";
    refuse(why + "，引导镜像没有解开。");
    return;
  }
  // Everything the profile takes from the image must be there before
  // anything is replaced.
  std::vector<std::string> needed = {"io.sys", "command.com", "system.dat"};
  for (const std::string& name : ClientFiles()) needed.push_back("winboot\\" + name);
  for (const std::string& name : needed) {
    if (!host.FileExists(FromImage(name))) {
      refuse("解开的引导镜像中没有 " + FromImage(name) + "。");
      return;
    }
  }
  // What the profile's own files are made from: the image's setvars.bat
  // and protocol.ini, and its registry file with the driver's name put in,
  // which must take it consistently, or the workstations would load a
  // damaged registry.
  InstallContent content;
  content.computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  for (auto [name, lines] : {std::pair{"winboot\\SETVARS.BAT", &content.setvars},
                              std::pair{"winboot\\PROTOCOL.INI", &content.protocol_ini}}) {
    if (!platform::ReadTextLines(host, FromImage(name), lines)) {
      refuse("无法读取 " + FromImage(name) + "。");
      return;
    }
  }
  if (!rtl8139) {
    std::string bytes, why;
    if (!host.ReadFile(FromImage("system.dat"), &bytes))
      why = "无法读取 " + FromImage("system.dat");
    else if (PutDriverNameInRegistry(bytes, driver, &content.system_dat, &why) != DriverNameEdit::kRefused)
      why.clear();
    if (!why.empty()) {
      refuse("引导镜像的 system.dat 中无法换入网卡驱动程序名 " + driver + "：" + why + "。");
      return;
    }
  }
  const InstallPlan plan = PlanInstallation(in, content);
  // 7. The profile's directories, then every file prepared beside its
  // target. A failure here leaves every file as it was.
  std::string failure;
  for (const std::string& dir : {paths::ProfileBoot(root, profile), paths::ProfileClient(root, profile)})
    if (failure.empty() && !host.MakeDirectory(dir) && !host.DirectoryExists(dir)) failure = "无法建立目录 " + dir;
  std::vector<PlacedFile> all = plan.profile;
  all.insert(all.end(), plan.shared.begin(), plan.shared.end());
  for (const PlacedFile& file : all)
    if (failure.empty() && !Stage(host, file, &failure)) Discard(host, all);
  if (!failure.empty()) {
    ui.MessageBox(kNotDone + failure + "。\r\n远程启动文件和配置 " + profile +
                      " 中原有的文件都没有改动，请排除问题后重新安装。",
                  kCaption, kWarn);
    return;
  }
  // 6. The box is cleared: its switch puts back the standard start script,
  // which the image's then replaces.
  auto_register.SetChecked(false);
  // The profile's files take their places, the driver first and the files
  // naming it last, then the image's driver goes: at each moment the profile
  // names a driver it holds.
  for (const PlacedFile& file : plan.profile) {
    if (!host.ReplaceFile(Staged(file.target), file.target)) {
      Discard(host, all);
      ui.MessageBox(std::string(kNotDone) + "无法用 " + Staged(file.target) + " 替换 " + file.target + "。\r\n配置 " + profile +
                        " 中的文件只换了一部分，它们所指的网卡驱动程序都在 winboot 中，请排除问题后重新安装。",
                    kCaption, kWarn);
      return;
    }
  }
  std::string rest = " io.sys 和 command.com 还是原来的";
  if (!plan.deleted.empty() && host.FileExists(plan.deleted) && !host.DeleteFile(plan.deleted))
    failure = "无法删除 " + plan.deleted;
  // 8. Last, the service's Windows 95 files, which every profile uses: a
  // read-only one is made writable for its replacement, and left as it was
  // when that fails.
  for (const PlacedFile& file : plan.shared) {
    if (!failure.empty()) break;
    const unsigned attributes = host.FileAttributes(file.target);
    const bool read_only = attributes & platform::kAttrReadOnly;
    if (read_only && !host.SetFileAttributes(file.target, attributes & ~platform::kAttrReadOnly)) {
      failure = "无法去掉 " + file.target + " 的只读属性";
    } else if (!host.ReplaceFile(Staged(file.target), file.target)) {
      if (read_only) host.SetFileAttributes(file.target, attributes);
      failure = "无法用 " + Staged(file.target) + " 替换 " + file.target;
    } else {
      rest = " command.com 还是原来的";
    }
  }
  if (!failure.empty()) {
    Discard(host, all);
    ui.MessageBox(kNotDone + failure + "。\r\n配置 " + profile + " 已经装好，远程启动服务的" + rest +
                      "，请排除问题后重新安装。",
                  kCaption, kWarn);
    return;
  }
  // 16. Done.
  host.Pause(1000);
  ui.MessageBox("无盘WIN98远程启动文件安装完成！", "Morva提示", platform::kMbIconInformation);
}

}  // namespace rpl
