#include "rpl/register.h"

#include <cctype>
#include <vector>

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/records.h"
#include "rpl/tree.h"

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
const char kUnchanged[] = "\r\n远程启动数据库没有改动，注册没有完成。";

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }
std::string FileOf(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }

// Whether a file is on the server. "Absent" is trusted only where nothing
// can hide the file: no folder to hold it, or a folder that can be listed
// (the look-up of a file in a folder that cannot be listed finds nothing).
enum class There { kPresent, kAbsent, kUnknown };
There Look(platform::Host& host, const std::string& path) {
  if (host.FileExists(path)) return There::kPresent;
  std::vector<platform::DirEntry> entries;
  const std::string folder = FolderOf(path);
  return !host.DirectoryExists(folder) || host.ListDirectory(folder, &entries) ? There::kAbsent
                                                                               : There::kUnknown;
}

// Copies `from` beside `to`, as TO.new, and makes the copy writable: a copy
// takes its source's attributes, and a release copied from a CD is
// read-only, so the copy could be neither taken back nor replaced later.
// False when either fails; the new file is then removed.
bool CopyBeside(platform::Host& host, const std::string& from, const std::string& to) {
  const std::string fresh = to + ".new";
  if (host.CopyFile(from, fresh, false) && host.SetFileAttributes(fresh, platform::kAttrArchive)) return true;
  host.DeleteFile(fresh);
  return false;
}

// A copy that keeps a file already there (the DOS 6.22 files, the Realtek
// drivers). An absent file is copied beside its place and then moved in,
// so a failure removes only the new file, never one that was there; where
// the folder cannot be listed, nothing is copied.
enum class Keep { kKept, kCopied, kUnknown, kFailed };
Keep CopyKeeping(platform::Host& host, const std::string& from, const std::string& to) {
  const There there = Look(host, to);
  if (there != There::kAbsent) return there == There::kPresent ? Keep::kKept : Keep::kUnknown;
  if (CopyBeside(host, from, to) && host.ReplaceFile(to + ".new", to)) return Keep::kCopied;
  host.DeleteFile(to + ".new");
  return Keep::kFailed;
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

// One of the card's files: its driver or a boot-block file.
struct CardFile {
  std::string path;
  There there = There::kUnknown;  // before this registration
  bool staged = false;            // PATH.new made, not yet in place
  bool brought = false;           // absent before, put in place by this registration
};

// The script's lines for the records of `records`, in their order.
std::vector<std::string> ScriptOf(const std::vector<Record>& records) {
  std::vector<std::string> lines;
  for (const Record& r : records) {
    lines.push_back(std::string(1, r.kind));
    lines.push_back("A");
    lines.insert(lines.end(), r.fields.begin(), r.fields.end());
  }
  lines.push_back("q");
  return lines;
}

// The card's driver and boot-block files with the database records that
// name them. What the database holds is asked first (rplcmd lists it,
// changing nothing): the card's own records there already are not added
// again, and a record of the card's name that belongs to another card (its
// prefix taken) refuses the registration before anything is done. Every
// file is made beside its place first; the absent ones put in place before
// rplcmd, which looks for them; a custom card's driver there already
// replaced only once rplcmd has added the records. The boot-block files that
// are there stay as they are, as they may carry settings of the
// administrator's; only those absent are made from the templates. A card
// whose records are all there is registered already: only its files are
// completed. On any failure the new files and the ones brought are taken
// away again, so every file that was there stays byte for byte as it was.
// True when the card is registered afterwards.
bool RegisterFiles(platform::Host& host, platform::Ui& ui, const std::string& root, const CardColumn& card,
                   const std::string& vendor) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const std::string script = paths::RplScript(root), output = paths::RplOutput(root);
  const std::string block = paths::BootBlockDirectory(root, card.boot_block_driver);
  std::vector<CardFile> files(1);
  files[0].path = card.driver_target;
  for (const char* name : kBootBlockFiles) files.push_back({paths::BootBlockFile(root, card.boot_block_driver, name)});
  std::vector<std::string> absent_blocks;  // the boot-block files to make
  for (size_t i = 0; i < files.size(); ++i) {
    CardFile& f = files[i];
    f.there = Look(host, f.path);
    if (f.there == There::kUnknown) {
      ui.MessageBox("无法列出 " + FolderOf(f.path) + "，不能确定其中有没有 " + FileOf(f.path) + "。" + kUnchanged,
                    kCaption, kWarn);
      return false;
    }
    if (i > 0 && f.there == There::kAbsent) absent_blocks.push_back(kBootBlockFiles[i - 1]);
  }
  // Takes back what this registration made; `keep_brought`: all but the
  // files it put where there were none.
  auto take_back = [&](bool keep_brought = false) {
    for (const CardFile& f : files) {
      if (f.staged) host.DeleteFile(f.path + ".new");
      if (f.brought && !keep_brought) host.DeleteFile(f.path);
    }
    host.DeleteFile(script);
    host.DeleteFile(output);
  };
  // 0. The card's own records, and those of them the database holds.
  std::vector<Record> own, listed, missing_records;
  AddedRecords(RplScriptLines(card.script_driver, vendor, card.dos_comment, card.windows_comment, card.vendor_comment),
               &own);
  std::string why;
  if (!ListRecords(host, root, &listed, &why)) {
    ui.MessageBox("无法列出远程启动数据库中的记录：" + why + "，注册没有进行。" + kUnchanged, kCaption, kWarn);
    return false;
  }
  for (const Record& r : own) {
    const std::string lacking = NotTheCards({r}, listed);
    if (lacking.empty()) continue;
    if (lacking.compare(0, std::string("没有").size(), "没有") == 0) {
      missing_records.push_back(r);
      continue;
    }
    ui.MessageBox("远程启动数据库中的" + lacking + "：厂商前缀 " + vendor +
                      " 已经属于另一块网卡。请填这块网卡的工作站网卡地址的前六位。" + kUnchanged,
                  kCaption, kWarn);
    return false;
  }
  if (!missing_records.empty() && !platform::WriteTextLines(host, script, ScriptOf(missing_records))) {
    ui.MessageBox("无法写入远程启动数据库脚本 " + script + "（文件只读、被占用或磁盘已满）。" + kUnchanged,
                  kCaption, kWarn);
    return false;
  }
  // 1. Everything made beside its place: the driver (a Realtek driver only
  // when absent), then the boot-block files that are absent.
  std::string failed;
  CardFile& driver = files[0];
  if (!card.keep_existing_driver || driver.there == There::kAbsent) {
    if (CopyBeside(host, card.driver_source, driver.path))
      driver.staged = true;
    else
      failed = "无法把网卡驱动程序 " + card.driver_source + " 复制到 " + driver.path + "。";
  }
  if (failed.empty() && !absent_blocks.empty()) {
    std::string which;
    if (!host.MakeDirectory(block) && !host.DirectoryExists(block)) {
      failed = "无法建立启动块目录 " + block + "。";
    } else {
      for (size_t i = 1; i < files.size(); ++i) files[i].staged = files[i].there == There::kAbsent;
      if (!MakeBootBlockFiles(host, ui, card.boot_block_driver, &which, absent_blocks))
        failed = "启动块文件没有生成：" + which + " 缺少、无法读取或无法写入。";
    }
  }
  // 2. What was absent goes in place now: the records rplcmd adds name it.
  for (CardFile& f : files) {
    if (!failed.empty() || !f.staged || f.there != There::kAbsent) continue;
    if (!host.ReplaceFile(f.path + ".new", f.path)) {
      failed = "无法把新文件放到 " + f.path + "。";
      break;
    }
    f.staged = false;
    f.brought = true;
  }
  if (!failed.empty()) {
    take_back();
    ui.MessageBox(failed + kUnchanged, kCaption, kWarn);
    return false;
  }
  // A card whose records are all there is registered already. The files it
  // lacked, put in place above, stay: they complete the card the server
  // already had; those it had stay as they were.
  if (missing_records.empty()) {
    std::string chosen, held, completed;
    const bool other_driver = driver.staged && host.ReadFile(card.driver_source, &chosen) &&
                              host.ReadFile(driver.path, &held) && chosen != held;
    for (const CardFile& f : files)
      if (f.brought) completed += (completed.empty() ? "" : "、") + FileOf(f.path);
    take_back(true);
    ui.MessageBox("这块网卡已经注册过：" +
                      (completed.empty() ? "驱动程序 " + FileOf(driver.path) + " 和启动块目录 " + block +
                                               " 中的启动块文件都在"
                                         : "它缺少的 " + completed + " 已经补上") +
                      "，远程启动数据库中有它的全部记录。" +
                      (completed.empty() ? "文件和远程启动数据库都没有改动。" : "其他文件和远程启动数据库都没有改动。") +
                      (other_driver ? "\r\n所选的驱动程序 " + card.driver_source + " 与 " + driver.path +
                                          " 不同，服务器上的驱动程序保持原样。"
                                    : "") +
                      "\r\n请直接按“安装”为这块网卡安装远程启动文件。",
                  "进程提示", platform::kMbIconInformation);
    return true;
  }
  // 3. rplcmd itself, the script of the records the database lacks as its
  // input, to its end.
  int code = -1;
  const platform::Host::Wait wait =
      host.RunToEndWithFiles(paths::Rplcmd(root), script, output, kRplcmdLimit, &code);
  if (wait != platform::Host::Wait::kFinished || code != 0) {
    std::string why;
    if (wait == platform::Host::Wait::kNotStarted) {
      why = "无法启动 rplcmd（" + paths::Rplcmd(root) + "），或无法读取 " + script + "、写入 " + output + "。" +
            kUnchanged;
    } else if (wait == platform::Host::Wait::kTimedOut) {
      why = "rplcmd 在 " + std::to_string(kRplcmdLimit / 1000) +
            " 秒内没有结束，已被终止，注册没有完成。\r\n请在远程启动管理器中检查远程启动数据库。";
    } else {
      why = "rplcmd 拒绝了注册脚本（返回值 " + std::to_string(code) + "）。" + kUnchanged + PrintedBy(host, root);
    }
    take_back();
    ui.MessageBox(why, kCaption, kWarn);
    return false;
  }
  // 4. The records are in: the files that were there and are made anew (a
  // custom card's driver) are replaced now. One that is read-only is one
  // this registration must replace; one that still cannot be replaced stays
  // as it was, a driver of the same name.
  std::string kept;
  for (CardFile& f : files) {
    if (!f.staged) continue;
    const std::string fresh = f.path + ".new";
    if (host.ReplaceFile(fresh, f.path) ||
        (host.SetFileAttributes(f.path, platform::kAttrArchive) && host.ReplaceFile(fresh, f.path)))
      continue;
    host.DeleteFile(fresh);
    kept += "\r\n" + f.path;
  }
  if (kept.empty())
    ui.MessageBox(card.done, "进程提示", platform::kMbIconInformation);
  else
    ui.MessageBox(std::string(card.done) + "\r\n下列文件无法替换（被占用），仍是原来的：" + kept, "进程提示", kWarn);
  host.DeleteFile(script);
  host.DeleteFile(output);
  host.RunCommand(paths::RplManager(root), platform::kShowNormal);
  return true;
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
  for (const char* device : {"CON", "NUL", "AUX", "PRN"})
    if (platform::SameName(base, device)) return false;
  // The server's file system also takes COM1 to COM9 and LPT1 to LPT9 for
  // ports, the workstation's DOS the first four and three of them.
  const bool port = base.size() == 4 && (platform::SameName(base.substr(0, 3), "COM") ||
                                         platform::SameName(base.substr(0, 3), "LPT"));
  return !(port && base[3] >= '1' && base[3] <= '9');
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
  // The service's tree must hold what the copies go into and what the
  // records name (rplcmd refuses a record naming a part that is not there):
  // without it nothing is done.
  const std::string incomplete = IncompleteTree(host, root);
  if (!incomplete.empty()) {
    ui.MessageBox(incomplete, kCaption, kWarn);
    return false;
  }
  // 2. The DOS 6.22 system files, an existing one left as it is.
  for (const std::string& file : Dos622Files()) {
    const std::string from = paths::Dos622Source(in.start_dir, file);
    const std::string to = paths::Dos622Target(root, file);
    const Keep keep = CopyKeeping(host, from, to);
    if (keep == Keep::kUnknown || keep == Keep::kFailed) {
      ui.MessageBox((keep == Keep::kUnknown ? "无法列出 " + FolderOf(to) + "，不能确定其中有没有 DOS 6.22 系统文件 " + file
                                            : "无法把 DOS 6.22 系统文件 " + from + " 复制到 " + to) +
                        "，注册没有进行。",
                    kCaption, kWarn);
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
    if (chooser.Show(ui) != platform::kMrOk) return false;
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
    // every registration copies: they are never written over. The two
    // Realtek names belong to the cards of the list: a custom card by one of
    // them would take the Realtek card's driver and boot block.
    if (platform::SameName(name, "ne2000")) {
      ui.MessageBox("远程启动服务用它自带的启动块支持 " + name + " 网卡，" +
                        paths::BootBlockDirectory(root, name) +
                        " 是所有网卡启动块的模板，不能再注册。程序异常返回!",
                    kCaption, kWarn);
      return false;
    }
    for (const char* realtek : {kRtl8139, kRtl8029}) {
      const char* own = realtek == kRtl8139 ? "rtsnd" : "pcind";
      if (!platform::SameName(name, own)) continue;
      ui.MessageBox("网卡驱动程序 " + file + " 与 " + realtek + " 网卡的驱动程序 " + paths::NdisDriver(root, std::string(own) + ".dos") +
                        " 同名，不能作为自选网卡注册：" + realtek + " 网卡请在“网卡类型”中选 " + realtek +
                        "；别的网卡请把驱动程序改名后再选择。程序异常返回!",
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

  // 5. The script, the driver and boot block, rplcmd, the report, the manager.
  return RegisterFiles(host, ui, root, card, vendor);
}

}  // namespace rpl
