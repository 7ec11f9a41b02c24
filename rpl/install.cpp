#include "rpl/install.h"

#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/textfile.h"
#include "pxe/bootimage.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/profiles.h"

namespace rpl {
namespace {

const char kCaption[] = "morva提示";
// A file of the unpacked boot image.
std::string FromImage(const std::string& name) { return std::string(paths::kBootImgDir) + "\\" + name; }

// The image's setvars.bat lines 1 to 3 as they stand; missing ones are empty.
std::vector<std::string> FirstThreeLines(platform::Host& host, const std::string& path) {
  std::vector<std::string> lines;
  platform::ReadTextLines(host, path, &lines);
  lines.resize(3);
  return lines;
}

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
  // A custom card needs the driver registered in this run: without it the
  // profile would name a driver ".dos" that is nowhere.
  const bool rtl8139 = in.nic_type == kRtl8139;
  const std::string driver = in.nic_type == kRtl8029 ? "PCIND" : in.ndis_driver_name;
  if (!rtl8139 && driver.empty()) {
    ui.MessageBox("本次运行中还没有注册自选网卡，无法确定网卡驱动程序。请先用<配置Rpl>注册您的网卡，再进行安装！",
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
  const std::string command =
      platform::QuotedIfBlank(unpacker) + " " + platform::QuotedIfBlank(image) + " " + paths::kBootImgDir;
  int code = -1;
  const platform::Host::Wait wait = host.RunToEnd(command, platform::kHide, kUnpackLimit, &code);
  if (wait != platform::Host::Wait::kFinished || code != 0) {
    std::string why;
    if (wait == platform::Host::Wait::kNotStarted)
      why = "无法启动解包程序 " + unpacker;
    else if (wait == platform::Host::Wait::kTimedOut)
      why = "解包程序在 " + std::to_string(kUnpackLimit / 1000) + " 秒内没有结束";
    else
      why = "解包程序报告错误（返回值 " + std::to_string(code) + "）";
    ui.MessageBox(why + "，引导镜像没有解开。\r\n远程启动文件和配置 " + profile + " 都没有改动。", kCaption,
                  kWarn);
    return;
  }
  // 6. The box is cleared: its switch puts back the standard start script.
  auto_register.SetChecked(false);
  // 7. The profile's directories.
  const std::string boot = paths::ProfileBoot(root, profile);
  const std::string client = paths::ProfileClient(root, profile);
  host.MakeDirectory(boot);
  host.MakeDirectory(client);
  // 8. The service's Windows 95 files become the image's.
  for (const char* file : {"io.sys", "command.com"})
    host.CopyFile(FromImage(file), paths::Win95BootFile(root, file), false);
  for (const char* file : {"io.sys", "command.com"})
    host.SetFileAttributes(paths::Win95BootFile(root, file), platform::kAttrArchive);
  // 9. The profile's DOS boot files.
  host.CopyFile(paths::ShippedSubst(in.start_dir), boot + "\\subst.exe", false);
  host.CopyFile(FromImage("io.sys"), boot + "\\io.sys", false);
  host.CopyFile(FromImage("system.dat"), boot + "\\system.dat", false);
  host.SetFileAttributes(boot + "\\io.sys", platform::kAttrArchive);
  // 10. The four start files.
  for (const StartFile& file : StartFiles()) platform::WriteTextLines(host, boot + "\\" + file.name, file.lines);
  // 11. The network client.
  for (const std::string& name : ClientFiles())
    host.CopyFile(FromImage("winboot\\" + name), client + "\\" + name, false);
  // 12. and 13. This server and share into setvars.bat.
  const std::string computer_name = host.ReadRegistry(paths::kComputerNameKey, "computername");
  const std::string share = base::ShareName(in.shared_directory);
  const std::string setvars = client + "\\setvars.bat";
  std::vector<std::string> lines = FirstThreeLines(host, setvars);
  lines.push_back("SET SERVER=" + computer_name);
  lines.push_back("SET SHARE=" + share);
  platform::WriteTextLines(host, setvars, lines);
  // 14. and 15. Any card but the RTL8139: its driver in place of RTSND.
  if (!rtl8139) {
    host.DeleteFile(client + "\\rtsnd.dos");
    host.CopyFile(paths::NdisDriver(root, driver + ".dos"), client + "\\" + driver + ".dos", true);
    const std::string protocol = client + "\\protocol.ini", temp = client + "\\temp.ini";
    host.CopyFile(protocol, temp, false);
    std::vector<std::string> ini;
    // A temp.ini that cannot be read leaves protocol.ini as the image had it,
    // rather than empty.
    if (platform::ReadTextLines(host, temp, &ini)) {
      for (std::string& line : ini) line = ReplaceFirst(line, "RTSND", driver);
      platform::WriteTextLines(host, protocol, ini);
    }
    host.DeleteFile(temp);
    CopyWithDriverName(host, driver, FromImage("system.dat"), boot + "\\system.dat");
    lines = FirstThreeLines(host, setvars);
    lines[2] = "SET NETCARD=" + driver + ".DOS";
    lines.push_back("SET SERVER=" + host.ReadRegistry(paths::kComputerNameKey, "computername"));
    lines.push_back("SET SHARE=" + base::ShareName(in.shared_directory));
    platform::WriteTextLines(host, setvars, lines);
  }
  // 16. Done.
  host.Pause(1000);
  ui.MessageBox("无盘WIN98远程启动文件安装完成！", "Morva提示", platform::kMbIconInformation);
}

}  // namespace rpl
