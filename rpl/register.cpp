#include "rpl/register.h"

#include <cctype>

#include "base/paths.h"
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
  for (const char* file : {"io.sys", "msdos.sys", "command.com", "himem.sys"})
    host.CopyFile(paths::Dos622Source(in.start_dir, file), paths::Dos622Target(root, file), true);

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
    // The base name names a directory, a file and database records: it must
    // be a DOS name, or the boot block would name a driver that is not there.
    const std::string name = DriverBaseName(path);
    if (!IsDosBaseName(name)) {
      ui.MessageBox("网卡驱动程序的文件名 " + name +
                        " 不是 1 到 8 个字符的 DOS 文件名（不能含空格或多余的点），程序异常返回!",
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

  // 5. The script, the driver, the boot block; rplcmd; the report; the manager.
  WriteRplScript(host, card.script_driver, vendor, card.dos_comment, card.windows_comment,
                 card.vendor_comment);
  host.CopyFile(card.driver_source, card.driver_target, card.keep_existing_driver);
  host.MakeDirectory(paths::BootBlockDirectory(root, card.boot_block_driver));
  MakeBootBlockFiles(host, ui, card.boot_block_driver);
  host.RunCommand(paths::RplScriptCommand(root), platform::kHide);
  host.Pause(1500);
  ui.MessageBox(card.done, "进程提示", platform::kMbIconInformation);
  // rplcmd reads the script while the message is up; it goes only after.
  host.DeleteFile(paths::RplScript(root));
  host.RunCommand(paths::RplManager(root), platform::kShowNormal);
  return true;
}

}  // namespace rpl
