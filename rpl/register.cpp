#include "rpl/register.h"

#include <cctype>
#include <vector>

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"

namespace rpl {
namespace {

// What registration does for one card type.
struct CardColumn {
  std::string driver_source;
  std::string driver_target;
  bool keep_existing_driver;
  std::string boot_block_driver;  // names the boot-block directory and goes into its files
  std::string script_driver;      // goes into the database script
  std::string dos_comment, windows_comment, vendor_comment;
  const char* done;
};

const char kCaption[] = "morva提示";
const char kBadAddress[] = "网卡地址不对，程序异常返回!";

// Copies a file that is kept when it exists already. True when the target is
// there afterwards: kept, or copied whole (a copy cut short is removed).
bool CopyKeeping(platform::Host& host, const std::string& from, const std::string& to) {
  if (host.FileExists(to)) return true;
  if (host.CopyFile(from, to, true)) return true;
  host.DeleteFile(to);
  return false;
}

// What rplcmd printed, for a message: its first lines, or "" when nothing
// was printed or it cannot be read.
std::string PrintedBy(platform::Host& host, const std::string& root) {
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(host, paths::RplOutput(root), &lines)) return "";
  std::string text;
  for (size_t i = 0; i < lines.size() && i < 8; ++i)
    if (!lines[i].empty()) text += "\r\n" + lines[i];
  return text.empty() ? "" : "\r\nrplcmd 的输出：" + text;
}

}  // namespace

bool IsVendorPrefix(const std::string& vendor) {
  if (vendor.size() != 6) return false;
  for (char c : vendor)
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string DriverBaseName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('\\') + 1);
  size_t dot = name.find('.');
  if (dot != std::string::npos) name.erase(dot, 4);
  return name;
}

bool IsDosBaseName(const std::string& name) {
  if (name.empty() || name.size() > 8) return false;
  for (char c : name) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x21 || b >= 0x80 || std::string(".\"*+,/:;<=>?[\\]|").find(c) != std::string::npos)
      return false;
  }
  return true;
}

bool IsDriverFileName(const std::string& file) {
  const size_t dot = file.find('.');
  if (dot == std::string::npos || file.find('.', dot + 1) != std::string::npos) return false;
  const std::string base = file.substr(0, dot);
  if (!platform::SameName(file.substr(dot), ".dos") || !IsDosBaseName(base)) return false;
  // A device name opens the device, not a file, whatever its extension.
  for (const char* device : {"CON", "NUL", "AUX", "PRN", "COM1", "COM2", "COM3", "COM4", "LPT1",
                             "LPT2", "LPT3"})
    if (platform::SameName(base, device)) return false;
  return true;
}

bool RegisterCard(platform::Host& host, platform::Ui& ui, const RegistrationInput& in,
                  TForm3& form3, TGetNetDrv& chooser, CustomDriver* custom) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const std::string& root = in.system_root;
  // 1. A card type must be chosen.
  if (in.nic_type.empty()) {
    ui.MessageBox("请选择网卡类型！", kCaption, kWarn);
    return false;
  }
  // 2. The DOS 6.22 system files, an existing one left as it is.
  for (const char* file : {"io.sys", "msdos.sys", "command.com", "himem.sys"}) {
    const std::string from = paths::Dos622Source(in.start_dir, file);
    const std::string to = paths::Dos622Target(root, file);
    if (!CopyKeeping(host, from, to)) {
      ui.MessageBox("无法把 DOS 6.22 系统文件 " + from + " 复制到 " + to + "，注册没有进行。", kCaption,
                    kWarn);
      return false;
    }
  }

  CardColumn card;
  std::string vendor;
  if (in.nic_type == kRtl8139 || in.nic_type == kRtl8029) {
    // 3. A Realtek card: the vendor prefix from Form3.
    if (ui.ShowModal(form3) != platform::kMrOk) return false;
    vendor = form3.MAC.Text();
    if (vendor.empty()) {
      ui.MessageBox("您没有输入或选择网卡前六位地址，程序异常返回！", kCaption, kWarn);
      return false;
    }
    // The service takes six hexadecimal digits and nothing else; anything
    // else would be refused by rplcmd after "注册完成" had been reported.
    if (!IsVendorPrefix(vendor)) {
      ui.MessageBox(kBadAddress, kCaption, kWarn);
      return false;
    }
    if (in.nic_type == kRtl8139) {
      card = {paths::ShippedDriver(in.start_dir, "rtsnd.dos"), paths::NdisDriver(root, "rtsnd.dos"),
              true, "rtsnd", "rtsnd", "DOS 6.22 FOR RTL8139", "Windows 98SE FOR RTL8139",
              "RTL8139 Netcard(100/10M)",
              "Rtl8139注册完成，配置远程启动之前请首先进行<检查配置>"};
    } else {
      card = {paths::ShippedDriver(in.start_dir, "pcind.dos"), paths::NdisDriver(root, "pcind.dos"),
              true, "pcind", "PCIND", "DOS 6.22 FOR RTL8029", "Windows 98SE FOR RTL8029",
              "Rtl8029 Netcard(10M)",
              "Rtl8029注册完成，配置远程启动之前请首先进行<检查配置>"};
    }
  } else if (in.nic_type == kOtherCard) {
    // 4. A custom card: its driver and vendor prefix from the chooser.
    if (ui.ShowModal(chooser) != platform::kMrOk) return false;
    const std::string path = chooser.NDISTALK.Text();
    custom->path = path;
    vendor = chooser.MACTALK.Text();
    if (path.empty() || !host.FileExists(path)) {
      ui.MessageBox("网卡NDIS驱动程序没有找到，程序异常中止!", kCaption, kWarn);
      return false;
    }
    if (!IsVendorPrefix(vendor)) {
      ui.MessageBox(kBadAddress, kCaption, kWarn);
      return false;
    }
    // The base name names a directory, a file and database records: the file
    // must be NAME.DOS with a DOS name, or the boot block would name a driver
    // that is not there.
    const std::string file = path.substr(path.find_last_of('\\') + 1);
    if (!IsDriverFileName(file)) {
      ui.MessageBox("网卡驱动程序 " + file +
                        " 的文件名不是“名字.DOS”的形式（名字为 1 到 8 个字符的 DOS 文件名，"
                        "不能含空格或点，也不能是设备名），程序异常返回!",
                    kCaption, kWarn);
      return false;
    }
    const std::string name = DriverBaseName(path);
    // The NE2000's boot-block folder holds the service's own templates, which
    // every registration copies: they are never written over.
    if (platform::SameName(paths::BootBlockFile(root, name, "x"), paths::BootBlockTemplate(root, "x"))) {
      ui.MessageBox("远程启动服务用它自带的启动块支持 " + name + " 网卡，" +
                        paths::BootBlockDirectory(root, name) +
                        " 是所有网卡启动块的模板，不能再注册。程序异常返回!",
                    kCaption, kWarn);
      return false;
    }
    custom->name = name;
    card = {path, paths::NdisDriver(root, name + ".dos"), false, name, name,
            "DOS 6.22 FOR " + name + "(" + vendor + ")", "Windows 98SE FOR " + name + "(" + vendor + ")",
            name + " NetCard", "自选网卡完成，配置远程启动之前请首先进行<检查配置>"};
  } else {
    return false;
  }

  // 5. The script, the driver, the boot block; rplcmd; the report; the
  // manager. Every step must succeed before the next: the database is
  // changed last, by rplcmd, and only from a script written whole for a card
  // whose driver and boot block are in place.
  const std::string script = paths::RplScript(root);
  const char kUnchanged[] = "\r\n远程启动数据库没有改动，注册没有完成。";
  if (!WriteRplScript(host, card.script_driver, vendor, card.dos_comment, card.windows_comment,
                      card.vendor_comment)) {
    ui.MessageBox("无法写入远程启动数据库脚本 " + script + "（文件只读、被占用或磁盘已满）。" + kUnchanged,
                  kCaption, kWarn);
    return false;
  }
  // The files this registration brings that were not there before: taken
  // away again when it does not complete, so that detection does not find a
  // card registered whose records the database lacks.
  std::vector<std::string> brought;
  const std::string block = paths::BootBlockDirectory(root, card.boot_block_driver);
  for (const std::string& path :
       {card.driver_target, paths::BootBlockFile(root, card.boot_block_driver, "dosbb.cnf"),
        paths::BootBlockFile(root, card.boot_block_driver, "w95bb.cnf"),
        paths::BootBlockFile(root, card.boot_block_driver, "protocol.ini")})
    if (!host.FileExists(path)) brought.push_back(path);
  auto take_back = [&] {
    host.DeleteFile(script);
    host.DeleteFile(paths::RplOutput(root));
    for (const std::string& path : brought) host.DeleteFile(path);
  };
  std::string failed;
  if (!(card.keep_existing_driver ? CopyKeeping(host, card.driver_source, card.driver_target)
                                  : platform::CopyFileWhole(host, card.driver_source, card.driver_target)))
    failed = "无法把网卡驱动程序 " + card.driver_source + " 复制到 " + card.driver_target + "。";
  else if (!host.MakeDirectory(block) && !host.DirectoryExists(block))
    failed = "无法建立启动块目录 " + block + "。";
  else if (!MakeBootBlockFiles(host, ui, card.boot_block_driver, &failed))
    failed = "启动块文件没有生成：" + failed + " 缺少、无法读取或无法写入。";
  if (!failed.empty()) {
    take_back();
    ui.MessageBox(failed + kUnchanged, kCaption, kWarn);
    return false;
  }
  // rplcmd runs to its end; what it printed goes into a file beside the script.
  int code = -1;
  const platform::Host::Wait wait =
      host.RunToEnd(paths::RplScriptCommand(root), platform::kHide, kRplcmdLimit, &code);
  if (wait != platform::Host::Wait::kFinished || code != 0) {
    std::string why;
    if (wait == platform::Host::Wait::kNotStarted)
      why = "无法启动 rplcmd（" + paths::RplScriptCommand(root) + "）。" + kUnchanged;
    else if (wait == platform::Host::Wait::kTimedOut)
      why = "rplcmd 在 " + std::to_string(kRplcmdLimit / 1000) +
            " 秒内没有结束，已被终止，注册没有完成。\r\n请在远程启动管理器中检查远程启动数据库。";
    else
      why = "rplcmd 拒绝了注册脚本（返回值 " + std::to_string(code) + "）。" + kUnchanged +
            PrintedBy(host, root);
    take_back();
    ui.MessageBox(why, kCaption, kWarn);
    return false;
  }
  ui.MessageBox(card.done, "进程提示", platform::kMbIconInformation);
  host.DeleteFile(script);
  host.DeleteFile(paths::RplOutput(root));
  host.RunCommand(paths::RplManager(root), platform::kShowNormal);
  return true;
}

}  // namespace rpl
