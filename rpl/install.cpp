#include "rpl/install.h"

#include <functional>

#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "pxe/bootimage.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/profiles.h"
#include "rpl/registry_hive.h"

namespace rpl {
namespace {

const char kCaption[] = "morva提示";
// A file of the unpacked boot image.
std::string FromImage(const std::string& name) { return std::string(paths::kBootImgDir) + "\\" + name; }

// The installation's file steps, each checked. After the first that fails
// the rest do nothing, so the handler reads as the list of its steps; the
// failure names the file.
class Steps {
 public:
  explicit Steps(platform::Host& host) : host_(host) {}
  bool ok() const { return failure_.empty(); }
  const std::string& failure() const { return failure_; }

  void MakeDirectory(const std::string& dir) {
    Do([&] { return host_.MakeDirectory(dir) || host_.DirectoryExists(dir); }, "无法建立目录 " + dir);
  }
  // Overwriting, whole or not at all.
  void Copy(const std::string& from, const std::string& to) {
    Do([&] { return platform::CopyFileWhole(host_, from, to); }, "无法把 " + from + " 复制到 " + to);
  }
  // Keeping a file already there; a copy cut short is removed.
  void CopyKeeping(const std::string& from, const std::string& to) {
    Do([&] {
      if (host_.FileExists(to) || host_.CopyFile(from, to, true)) return true;
      host_.DeleteFile(to);
      return false;
    }, "无法把 " + from + " 复制到 " + to);
  }
  void SetAttributes(const std::string& path, unsigned attributes) {
    Do([&] { return host_.SetFileAttributes(path, attributes); }, "无法设置 " + path + " 的属性");
  }
  void Write(const std::string& path, const std::vector<std::string>& lines) {
    Do([&] { return platform::WriteTextLines(host_, path, lines); }, "无法写入 " + path);
  }
  void Delete(const std::string& path) {
    Do([&] { return host_.DeleteFile(path) || !host_.FileExists(path); }, "无法删除 " + path);
  }
  std::vector<std::string> Read(const std::string& path) {
    std::vector<std::string> lines;
    Do([&] { return platform::ReadTextLines(host_, path, &lines); }, "无法读取 " + path);
    return lines;
  }
  // The first three lines as they stand; missing ones are empty.
  std::vector<std::string> FirstThreeLines(const std::string& path) {
    std::vector<std::string> lines = Read(path);
    lines.resize(3);
    return lines;
  }
  void CopyWithDriverName(const std::string& name, const std::string& from, const std::string& to) {
    std::string why;
    Do([&] { return rpl::CopyWithDriverName(host_, name, from, to, &why); }, "无法把 " + from + " 复制到 " + to);
    if (!ok() && !why.empty()) failure_ = why + "。";
  }

 private:
  // Runs a step unless one has failed before; a failed step is remembered.
  void Do(const std::function<bool()>& step, const std::string& failure) {
    if (ok() && !step()) failure_ = failure + "。";
  }
  platform::Host& host_;
  std::string failure_;
};

}  // namespace

const std::vector<StartFile>& StartFiles() {
  static const std::vector<StartFile> kFiles = {
      {"autoexec.bat",
       {"if not exist D:\\winboot\\nul mkdir D:\\winboot",
        "if not exist D:\\winboot\\winboot\\nul mkdir D:\\winboot\\winboot", "copy c:\\ D:\\winboot",
        "copy c:\\winboot\\*.* D:\\winboot\\winboot", "d:", "cd \\winboot"}},
      {"config.sys", {"device=himem.sys", "device=c:\\ramdrive.sys 2048 /e"}},
      {"win.bat",
       {"set comspec=d:\\winboot\\command.com", "nwrpltrm", "fixmem", "setmdir /m /r:d:\\winboot",
        "subst a: d:\\winboot", "set comspec=A:\\command.com", "a:", "cd \\winboot",
        "call setvars.bat", "call startnet.bat"}},
      {"msdos.sys",
       {"[Paths]", "WinDir=C:\\WIN98", "WinBootDir=C:\\", "HostWinBootDrv=C", "[Options]",
        "BootMulti=1", "BootGUI=1", "Network=1", "logo=1", "LOADTOP=0"}},
  };
  return kFiles;
}

const std::vector<std::string>& ClientFiles() {
  static const std::vector<std::string> kFiles = {
      "NDISHLP.SYS", "NET.EXE",      "NET.MSG",      "PROTMAN.DOS",  "PROTMAN.EXE",  "PROTOCOL.INI",
      "QAUTOLOG.EXE", "QUALCNX.EXE", "QUALREG.EXE",  "RAMDRIVE.SYS", "RTL8139.SYS",  "RTSND.DOS",
      "SETVARS.BAT", "SNAPSHOT.EXE", "STARTNET.BAT", "TUNING.BAT",   "USERNAME.BAT", "LOGIN.EXE"};
  return kFiles;
}

void InstallWin98(platform::Host& host, platform::Ui& ui, const InstallInput& in,
                  platform::CheckBox& auto_register) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const std::string& root = in.system_root;
  const std::string& profile = in.profile;
  const std::string untouched = "\r\n远程启动文件和配置 " + profile + " 都没有改动。";
  // 1. A profile must be chosen, and 2. be one of the listing.
  const char kNoProfile[] = "请检查您的RPL远程配置名是否正确！";
  if (profile.empty()) {
    ui.MessageBox(kNoProfile, kCaption, kWarn);
    return;
  }
  bool listed = false;
  for (const std::string& name : ListProfiles(host, root)) listed = listed || name == profile;
  if (!listed) {
    ui.MessageBox(kNoProfile, kCaption, kWarn);
    return;
  }
  // The listing offers files too; only a folder is a profile.
  if (!host.DirectoryExists(paths::Profile(root, profile))) {
    ui.MessageBox(profile + " 不是一个远程配置目录，无法安装。" + untouched, kCaption, kWarn);
    return;
  }
  // A custom card needs the driver registered in this run: without it the
  // profile would name a driver ".dos" that is nowhere.
  const bool rtl8139 = in.nic_type == kRtl8139;
  const std::string driver = in.nic_type == kRtl8029 ? "PCIND" : in.ndis_driver_name;
  if (!rtl8139 && driver.empty()) {
    ui.MessageBox("本次运行中还没有注册自选网卡，无法确定网卡驱动程序。请先用<配置Rpl>注册您的网卡，再进行安装！",
                  kCaption, kWarn);
    return;
  }
  // The card's driver must be in the Remoteboot tree before the profile
  // gives up the image's.
  const std::string registered = paths::NdisDriver(root, driver + ".dos");
  if (!rtl8139 && !host.FileExists(registered)) {
    ui.MessageBox("远程启动目录中没有网卡驱动程序 " + registered + "，请先用<配置Rpl>注册网卡，再进行安装。" +
                      untouched,
                  kCaption, kWarn);
    return;
  }
  // 3. A DOS profile is very likely a mistake.
  if (IsDosProfile(host, root, profile) &&
      ui.MessageBox("系统检测到 " + profile + " 很可能是一个DOS的远程配置名!是否任要继续?", kCaption,
                    platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbDefButton2) ==
          platform::kIdNo)
    return;
  // 4. Unpack the boot image; without it the program ends.
  const std::string image = paths::TemplateImage(in.start_dir);
  if (!host.FileExists(image)) {
    ui.ShowMessage("找不到原始镜像文件,程序异常中止！");
    ui.CloseMainWindow();
    return;
  }
  host.MakeDirectory(paths::kTempDir);
  // 5. Wait for the unpacker and check it: files left by an earlier run must
  // never pass for this image's.
  const std::string unpacker = paths::Unpacker(in.start_dir);
  const std::string command = platform::QuotedIfBlank(unpacker) + " " + platform::QuotedIfBlank(image) +
                              " " + paths::kBootImgDir;
  int code = -1;
  const platform::Host::Wait wait = host.RunToEnd(command, platform::kHide, kUnpackLimit, &code);
  if (wait != platform::Host::Wait::kFinished || code != 0) {
    std::string why;
    if (wait == platform::Host::Wait::kNotStarted)
      why = "无法启动解包程序 " + unpacker;
    else if (wait == platform::Host::Wait::kTimedOut)
      why = "解包程序在 " + std::to_string(kUnpackLimit / 1000) + " 秒内没有结束，已被终止";
    else
      why = "解包程序报告错误（返回值 " + std::to_string(code) + "）";
    ui.MessageBox(why + "，引导镜像没有解开。" + untouched, kCaption, kWarn);
    return;
  }
  // Everything the profile takes from the image must be there before
  // anything is replaced.
  std::vector<std::string> needed = {"io.sys", "command.com", "system.dat"};
  for (const std::string& name : ClientFiles()) needed.push_back("winboot\\" + name);
  for (const std::string& name : needed) {
    if (!host.FileExists(FromImage(name))) {
      ui.MessageBox("解开的引导镜像中没有 " + FromImage(name) + "。" + untouched, kCaption, kWarn);
      return;
    }
  }
  // The registry file must take the driver's name consistently, or the
  // workstations would load a damaged registry.
  if (!rtl8139) {
    std::string bytes, changed, why;
    if (!host.ReadFile(FromImage("system.dat"), &bytes))
      why = "无法读取 " + FromImage("system.dat");
    else if (PutDriverNameInRegistry(bytes, driver, &changed, &why) != DriverNameEdit::kRefused)
      why.clear();
    if (!why.empty()) {
      ui.MessageBox("引导镜像的 system.dat 中无法换入网卡驱动程序名 " + driver + "：" + why + "。" + untouched,
                    kCaption, kWarn);
      return;
    }
  }
  // 6. The box is cleared: its switch puts back the standard start script.
  auto_register.SetChecked(false);
  // From here each step must succeed before the next; the first that fails
  // is named, and the files it would have replaced stay as they were.
  Steps step(host);
  // 7. The profile's directories.
  const std::string boot = paths::ProfileBoot(root, profile);
  const std::string client = paths::ProfileClient(root, profile);
  step.MakeDirectory(boot);
  step.MakeDirectory(client);
  // 8. The service's Windows 95 files become the image's.
  for (const char* file : {"io.sys", "command.com"}) step.Copy(FromImage(file), paths::Win95BootFile(root, file));
  for (const char* file : {"io.sys", "command.com"})
    step.SetAttributes(paths::Win95BootFile(root, file), platform::kAttrArchive);
  // 9. The profile's DOS boot files.
  step.Copy(paths::ShippedSubst(in.start_dir), boot + "\\subst.exe");
  step.Copy(FromImage("io.sys"), boot + "\\io.sys");
  step.Copy(FromImage("system.dat"), boot + "\\system.dat");
  step.SetAttributes(boot + "\\io.sys", platform::kAttrArchive);
  // 10. The four start files.
  for (const StartFile& file : StartFiles()) step.Write(boot + "\\" + file.name, file.lines);
  // 11. The network client.
  for (const std::string& name : ClientFiles()) step.Copy(FromImage("winboot\\" + name), client + "\\" + name);
  // 12. and 13. This server and share into setvars.bat.
  const std::string computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  const std::string share = base::ShareName(in.shared_directory);
  const std::string setvars = client + "\\setvars.bat";
  std::vector<std::string> lines = step.FirstThreeLines(setvars);
  lines.push_back("SET SERVER=" + computer_name);
  lines.push_back("SET SHARE=" + share);
  step.Write(setvars, lines);
  // 14. and 15. Any card but the RTL8139: its driver in place of RTSND. The
  // new driver is in place before the image's goes.
  if (!rtl8139) {
    step.CopyKeeping(registered, client + "\\" + driver + ".dos");
    if (!platform::SameName(driver, "rtsnd")) step.Delete(client + "\\rtsnd.dos");
    const std::string protocol = client + "\\protocol.ini", temp = client + "\\temp.ini";
    step.Copy(protocol, temp);
    std::vector<std::string> ini = step.Read(temp);
    for (std::string& line : ini) line = ReplaceFirst(line, "RTSND", driver);
    step.Write(protocol, ini);
    step.Delete(temp);
    step.CopyWithDriverName(driver, FromImage("system.dat"), boot + "\\system.dat");
    lines = step.FirstThreeLines(setvars);
    lines[2] = "SET NETCARD=" + driver + ".DOS";
    lines.push_back("SET SERVER=" + host.ReadRegistry(paths::kComputerNameKey, "computername"));
    lines.push_back("SET SHARE=" + base::ShareName(in.shared_directory));
    step.Write(setvars, lines);
  }
  if (!step.ok()) {
    ui.MessageBox("无盘WIN98远程启动文件没有安装完成：" + step.failure() +
                      "\r\n这个文件和它之后的文件都保持原样，请排除问题后重新安装。",
                  kCaption, kWarn);
    return;
  }
  // 16. Done.
  host.Pause(1000);
  ui.MessageBox("无盘WIN98远程启动文件安装完成！", "Morva提示", platform::kMbIconInformation);
}

}  // namespace rpl
