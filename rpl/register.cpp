#include "rpl/register.h"

#include <cctype>
#include <vector>

#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/records.h"
#include "rpl/register_parts.h"
#include "rpl/tree.h"

namespace rpl {
namespace {

using registration::FileOf;
using registration::kCaption;
using registration::kUnchanged;

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

const char kBadAddress[] = "网卡地址不对，程序异常返回!";

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

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


// Names joined by "、", as the check's report writes them.
std::string Names(const std::vector<std::string>& names) {
  std::string all;
  for (size_t i = 0; i < names.size() && i < 8; ++i) all += (i ? "、" : "") + names[i];
  if (names.size() > 8) all += " 等 " + std::to_string(names.size()) + " 个";
  return all;
}

std::string Folder(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

const char kService[] = "在控制面板的“网络”中添加远程启动服务";

// The items registration looks at that the service's tree holds: its
// programs, its Windows 95 files (the Windows configuration boots from
// them), the folders and FIT files the records name, what the program
// brings, the DOS 6.22 files, the NE2000 templates and the Windows
// directory. The refusals among them come in the button's order, later.
struct TreeLook {
  std::vector<std::string> missing_programs, missing_win95, absent_parts, absent_folders, absent_files;
  std::vector<std::string> dos_in_the_way;   // folders where a DOS 6.22 file goes
  std::vector<std::string> dos_absent;       // DOS 6.22 files the tree lacks (short names)
  std::vector<std::string> dos_no_source;    // their sources the program lacks (short names)
  std::vector<std::string> missing_templates;
  bool tree = false;
};

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

std::string CardItem(const std::string& block) { return std::string("网卡 ") + CardType(block) + "（" + block + "）"; }

bool KnownCards(platform::Host& host, const std::string& root, const std::vector<Record>& records,
                std::vector<std::string>* cards) {
  const std::string netbeui = paths::BootBlockDirectory(root, "");
  std::vector<platform::DirEntry> entries;
  if (!host.ListDirectory(netbeui, &entries) && host.DirectoryExists(netbeui)) return false;
  auto add = [&](const std::string& block) {
    for (const std::string& c : *cards)
      if (platform::SameName(c, block)) return;
    cards->push_back(block);
  };
  for (const platform::DirEntry& e : entries)
    if (e.is_directory && e.name != "." && e.name != ".." && !platform::SameName(e.name, "ne2000") &&
        IsCard(host, root, e.name))
      add(e.name);
  for (const char* realtek : {"rtsnd", "pcind"})
    if (IsCard(host, root, realtek)) add(realtek);
  // The cards the database boots, whose files are gone, are cards too.
  for (const std::string& card : CardsOf(records)) add(card);
  return true;
}

namespace {

// The first need a plan found unmet, in the order of the items: what a
// refused plan's items wait for. "" when there is none.
std::string FirstUnmet(const plan::Plan& p) {
  for (const plan::Need& need : p.needs)
    if (!need.met) return need.item;
  return "";
}

Registration PlanSteps(platform::Host& host, const RegistrationInput& in, const RegistrationAnswers* answers) {
  const unsigned kWarn = platform::kMbIconExclamation;
  const std::string& root = in.system_root;
  const std::string& start = in.start_dir;
  Registration r;
  r.root = root;
  plan::Plan& p = r.plan;
  p.button = "配置Rpl";
  // 1. A card type must be chosen.
  if (in.nic_type.empty()) {
    p.Refuse("请选择网卡类型！", kCaption, kWarn, "在“网卡类型”中选工作站的网卡", false);
    return r;
  }
  const bool realtek = in.nic_type == kRtl8139 || in.nic_type == kRtl8029;
  const bool custom = in.nic_type == kOtherCard;
  if (!realtek && !custom) {
    p.Refuse("", "", 0, "在“网卡类型”中选工作站的网卡", false);
    return r;
  }
  const bool asked = answers && answers->answered;
  const std::string chosen = answers ? answers->driver : "";
  r.block = in.nic_type == kRtl8139 ? "rtsnd" : in.nic_type == kRtl8029 ? "pcind"
            : !chosen.empty()       ? DriverBaseName(chosen) : in.card;
  const std::string& block = r.block;
  // The steps that make the button do this plan.
  p.how = "在“网卡类型”中选 " + in.nic_type + "，按“检测”，再按“配置Rpl”，" +
          (custom ? "选驱动程序 " + chosen + "，" : "") + "填工作站网卡地址的前六位";
  // 2. What the service's tree holds, item by item.
  TreeLook t;
  const std::string tree = paths::RemotebootTree(root), system32 = root + "\\system32";
  for (const std::string& f : {paths::Rplcmd(root), paths::RplManager(root)})
    if (!host.FileExists(f)) t.missing_programs.push_back(FileOf(f));
  if (t.missing_programs.empty())
    p.Met("远程启动服务程序", "rplcmd.exe 和 rplmgr.exe 都在 " + system32 + " 中。");
  else
    p.Unmet("远程启动服务程序", system32 + " 中没有 " + Names(t.missing_programs) + "。", kService, true);
  for (const char* f : {"io.sys", "command.com"})
    if (!host.FileExists(paths::Win95BootFile(root, f))) t.missing_win95.push_back(f);
  const std::string win95 = Folder(paths::Win95BootFile(root, ""));
  if (t.missing_win95.empty())
    p.Met("Windows 95 文件", "io.sys 和 command.com 都在 " + win95 + " 中。");
  else
    p.Unmet("Windows 95 文件", win95 + " 中没有 " + Names(t.missing_win95) + "。",
            std::string(kService) + "（连同它的 Windows 95 启动文件）", true);
  t.tree = host.DirectoryExists(tree);
  for (const TreePart& part : MissingParts(host, RegistrationTree(root))) {
    t.absent_parts.push_back(part.path.substr(tree.size() + 1));
    (part.folder ? t.absent_folders : t.absent_files).push_back(part.folder ? part.path : t.absent_parts.back());
  }
  std::vector<std::string> dos_sources;
  for (const std::string& file : Dos622Files()) {
    const std::string to = paths::Dos622Target(root, file), from = paths::Dos622Source(start, file);
    if (host.FileExists(to)) continue;
    t.dos_absent.push_back(file);
    if (!host.FileExists(from)) t.dos_no_source.push_back(file), dos_sources.push_back(from);
    if (host.DirectoryExists(to)) t.dos_in_the_way.push_back(to);
  }
  if (!t.tree) {
    p.Unmet("远程启动目录", "没有远程启动目录 " + tree + "。", kService, true);
  } else if (t.absent_parts.empty() && t.dos_in_the_way.empty()) {
    p.Met("远程启动目录", "注册要用的目录和 FIT 文件都在 " + tree + " 中。");
  } else {
    std::string found, todo;
    if (!t.absent_parts.empty()) found = tree + " 中没有注册要用的 " + Names(t.absent_parts);
    if (!t.absent_folders.empty()) todo = "建立目录 " + Names(t.absent_folders);
    if (!t.absent_files.empty())
      todo += (todo.empty() ? "" : "，") + std::string(kService) + "（它带有 " + Names(t.absent_files) + "）";
    if (!t.dos_in_the_way.empty()) {
      std::vector<std::string> inside;
      for (const std::string& f : t.dos_in_the_way) inside.push_back(f.substr(tree.size() + 1));
      found += (found.empty() ? "" : "；") + Names(inside) + " 是目录，注册无法把 DOS 6.22 文件复制到那里";
      todo += (todo.empty() ? "" : "，") + std::string("把目录 ") + Names(t.dos_in_the_way) + " 改名或移走";
    }
    p.Unmet("远程启动目录", found + "。", todo, true);
  }
  // What the program brings for this card: a Realtek driver the tree lacks
  // (one there is kept), and the DOS 6.22 files the tree lacks.
  std::vector<std::string> shipped_missing;
  if (realtek) {
    const std::string file = block + ".dos";
    if (!host.FileExists(paths::NdisDriver(root, file)) && !host.FileExists(paths::ShippedDriver(start, file)))
      shipped_missing.push_back(paths::ShippedDriver(start, file));
  }
  shipped_missing.insert(shipped_missing.end(), dos_sources.begin(), dos_sources.end());
  if (shipped_missing.empty())
    p.Met("随程序发布的 RPL 文件", "注册要用的 " + start + "\\rplfiles 中的文件都在。");
  else
    p.Unmet("随程序发布的 RPL 文件", "没有 " + Names(shipped_missing) + "。",
            "把随程序发布的 rplfiles 目录放到 " + start + " 中", true);
  // A refusal: the first of the button's, in its order. `prereq`: the item
  // whose need stops it ("" for the card's own).
  std::string prereq;
  auto refuse = [&](const std::string& need, const std::string& text, const std::string& todo, bool admin) {
    if (p.refused) return;
    p.Refuse(text, kCaption, kWarn, todo, admin);
    prereq = need;
  };
  // A plan made for the advice goes through detection, which unlocks this
  // button only where the service with its Windows 95 files is installed.
  if (!asked && !(answers && answers->until_dialog) && !host.FileExists(paths::RemotebootInstalledMark(root))) {
    p.Refuse("请检查远程启动服务是否已经安装!", "检测结果", kWarn, p.needs[1].todo, true);
    prereq = "Windows 95 文件";
  }
  const std::string incomplete = IncompleteTree(host, root);
  if (!incomplete.empty()) refuse("远程启动目录", incomplete, p.needs[2].todo, true);
  for (const std::string& file : Dos622Files()) {
    const std::string from = paths::Dos622Source(start, file), to = paths::Dos622Target(root, file);
    const There at = Look(host, to);
    if (at == There::kPresent) continue;
    if (at == There::kUnknown)
      refuse("DOS 6.22 文件", "无法列出 " + FolderOf(to) + "，不能确定其中有没有 DOS 6.22 系统文件 " + file + "，注册没有进行。",
             "检查该目录的权限后重新检查", false);
    else if (host.DirectoryExists(to))
      refuse("远程启动目录", "无法把 DOS 6.22 系统文件 " + from + " 复制到 " + to + "，注册没有进行。", p.needs[2].todo, true);
    else if (!host.FileExists(from))
      refuse("DOS 6.22 文件", "无法把 DOS 6.22 系统文件 " + from + " 复制到 " + to + "，注册没有进行。",
             "把 DOS 6.22 的 " + file + " 放到 " + start + "\\rplfiles\\dos622 中", true);
    else
      r.dos.push_back({from, to});
  }
  // Each DOS 6.22 file the tree lacks is copied from the program's own; one
  // there is kept.
  const std::string dos_folder = Folder(paths::Dos622Target(root, ""));
  if (t.dos_absent.empty())
    p.Met("DOS 6.22 文件", "io.sys、msdos.sys、command.com 和 himem.sys 都在 " + dos_folder + " 中。");
  else if (!t.dos_no_source.empty())
    p.Unmet("DOS 6.22 文件", dos_folder + " 中没有 " + Names(t.dos_absent) + "。",
            "把 DOS 6.22 的 " + Names(t.dos_no_source) + " 放到 " + start + "\\rplfiles\\dos622 中，再" + p.how, true);
  else if (p.refused)  // registration stops before it copies them
    p.Unmet("DOS 6.22 文件", dos_folder + " 中没有 " + Names(t.dos_absent) + "。",
            "先按“" + FirstUnmet(p) + "”一项处理，再" + p.how, true);
  else
    p.Met("DOS 6.22 文件", dos_folder + " 中没有 " + Names(t.dos_absent) + "。");
  // The card's files: its driver and boot-block files, which of them are there.
  const std::vector<std::string> files = block.empty() ? std::vector<std::string>() : CardFiles(root, block);
  std::vector<There> there;
  for (const std::string& f : files) there.push_back(Look(host, f));
  std::vector<std::string> absent_blocks;
  for (size_t i = 1; i < files.size(); ++i)
    if (there[i] == There::kAbsent) absent_blocks.push_back(kBootBlockFiles[i - 1]);
  for (const std::string& name : BootBlockFileNames())
    if (!host.FileExists(paths::BootBlockTemplate(root, name))) t.missing_templates.push_back(name);
  const std::string templates = paths::BootBlockDirectory(root, "ne2000");
  if (t.missing_templates.empty())
    p.Met("NE2000 启动块模板", "dosbb.cnf、w95bb.cnf、protocol.ini 都在 " + templates + " 中。");
  else
    p.Unmet("NE2000 启动块模板", templates + " 中没有 " + Names(t.missing_templates) + "。",
            std::string(kService) + "（它带有 NE2000 的启动块模板）", true);
  // The boot blocks and the script are made in the directory Windows
  // reports, the rest in SystemRoot: they must be one.
  if (!platform::SameName(host.WindowsDirectory(), root))
    p.Unmet("Windows 目录",
            "注册表中的 SystemRoot 是 " + root + "，Windows 报告的 Windows 目录却是 " + host.WindowsDirectory() +
                "：注册会把启动块和脚本写到后者中。",
            "改正注册表中的 SystemRoot", true);
  // The database, as rplcmd lists it (changing nothing), and what the
  // card's item finds. A plan with the dialog's answers asks after the
  // answers are judged.
  std::vector<Record> listed;
  std::string unlisted, found;
  const bool rplcmd = host.FileExists(paths::Rplcmd(root));
  bool cards_listed = true;
  std::string item = CardItem(block);
  std::vector<std::string> vendors, missing_files, folders;
  auto look_at_database = [&]() {
    if (in.listed)
      listed = in.records, unlisted = in.unlisted;
    else if (!ListRecords(host, root, &listed, &unlisted) && unlisted.empty())
      unlisted = "rplcmd 无法列出远程启动数据库中的记录";
    if (rplcmd && !unlisted.empty())
      p.Unreadable("远程启动数据库", unlisted + "。", "检查远程启动服务和它的数据库（在远程启动管理器中打开它），再重新检查");
    // The card's item: "网卡" while the server has no card at all.
    std::vector<std::string> cards;
    cards_listed = KnownCards(host, root, listed, &cards);
    const std::string netbeui = Folder(paths::BootBlockDirectory(root, ""));
    const bool first = cards_listed && cards.empty();
    if (!cards_listed || first) item = "网卡";
    if (unlisted.empty()) vendors = VendorsOf(listed, block);
    for (size_t i = 0; i < files.size(); ++i) {
      if (there[i] != There::kPresent) missing_files.push_back(FileOf(files[i]));
      if (host.DirectoryExists(files[i])) folders.push_back(files[i]);
    }
    if (!cards_listed) {
      found = "无法列出 " + netbeui + " 中的启动块目录。";
    } else if (first) {
      found = (host.DirectoryExists(netbeui) ? "还没有注册任何网卡：" + netbeui + " 中没有网卡的启动块目录"
                                             : "没有启动块目录 " + netbeui) +
              "（工作站是别的网卡时，在“网卡类型”中选那一种）。";
    } else if (missing_files.empty() && (!vendors.empty() || !unlisted.empty())) {
      found = "驱动程序 " + block + ".dos 和启动块文件 dosbb.cnf、w95bb.cnf、protocol.ini 都在" +
              (!vendors.empty() ? "，远程启动数据库中有启动它的记录。"
               : !rplcmd        ? "，没有 rplcmd，不知道远程启动数据库中有没有它的记录。"
                                : "，远程启动数据库无法列出。");
    } else {
      found = std::string(!unlisted.empty() ? "" : !vendors.empty() ? "远程启动数据库中有它的记录，" : "远程启动数据库中没有启动它的记录，") +
              (missing_files.empty() ? "驱动程序和启动块文件都在。"
                                     : "缺少 " + Names(missing_files) + "（驱动程序在 " + Folder(paths::NdisDriver(root, "")) +
                                           " 中，启动块文件在 " + paths::BootBlockDirectory(root, block) + " 中）。") +
              (folders.empty() ? "" : Names(folders) + " 是目录。");
    }
  };
  if (!asked && !(answers && answers->until_dialog)) look_at_database();
  auto card_refusal = [&]() {
    if (!p.refused) return;
    const std::string first_unmet = FirstUnmet(p);
    if (!prereq.empty() && !first_unmet.empty() && missing_files.empty() && !vendors.empty() && folders.empty())
      p.Met(item, found);  // registered whole: it boots, whatever else stops a new registration
    else if (prereq.empty() || first_unmet.empty())  // the card's own
      p.Unmet(item, found, p.todo, p.administrator);
    else if (missing_files.empty() && !unlisted.empty())  // whether it boots, no one can tell
      p.Unreadable(item, found, "先按“" + first_unmet + "”一项处理");
    else
      p.Unmet(item, found, "先按“" + first_unmet + "”一项处理，再" + p.how, true);
  };
  if (p.refused) {
    card_refusal();
    return r;
  }
  for (const auto& copy : r.dos) p.Write(copy.second, copy.first, "DOS 6.22 文件");
  r.asks = true;
  if (answers && answers->until_dialog) return r;
  // 3. The dialog: the vendor prefix, and a custom card's driver.
  if (!asked) {
    p.questions.push_back(custom ? "客户机网卡信息：网卡的 DOS NDIS 驱动程序和工作站网卡地址的前六位"
                                 : "工作站网卡地址的前六位");
    p.unknown.push_back("远程启动数据库中的厂商前缀是否已经属于另一块网卡（要等填了工作站网卡地址的前六位）");
  }
  r.vendor = asked ? answers->vendor : "";
  if (asked && realtek && r.vendor.empty())
    p.Refuse("您没有输入或选择网卡前六位地址，程序异常返回！", kCaption, kWarn, "填工作站网卡地址的前六位", false);
  if (custom && (chosen.empty() || !host.FileExists(chosen))) {
    if (asked)
      p.Refuse("网卡NDIS驱动程序没有找到，程序异常中止!", kCaption, kWarn, "选一个在的驱动程序", false);
    else
      p.Refuse("", "", 0,
               "找到网卡 " + block + " 的 DOS NDIS 驱动程序 " + block + ".DOS，在“网卡类型”中选 " + kOtherCard +
                   "，按“检测”，再按“配置Rpl”，选驱动程序 该文件，填工作站网卡地址的前六位",
               true);
  }
  if (asked && !p.refused && !IsVendorPrefix(r.vendor))
    p.Refuse(kBadAddress, kCaption, kWarn, "填工作站网卡地址的前六位（六个十六进制数字）", false);
  if (asked && custom && !p.refused) {
    // The base name names a directory, a file and database records: the
    // file must be NAME.DOS with a DOS name, or the boot block would name a
    // driver that is not there.
    const std::string file = FileOf(chosen);
    const std::string name = DriverBaseName(chosen);
    if (!IsDriverFileName(file)) {
      p.Refuse("网卡驱动程序 " + file +
                   " 的文件名不是“名字.DOS”的形式（名字为 1 到 8 个字符的 DOS 文件名，"
                   "不能含空格或点，也不能是设备名），程序异常返回!",
               kCaption, kWarn, "把驱动程序改名为“名字.DOS”后再选择", true);
    } else if (platform::SameName(name, "ne2000")) {
      // The NE2000's boot-block folder holds the service's own templates,
      // which every registration copies: they are never written over.
      p.Refuse("远程启动服务用它自带的启动块支持 " + name + " 网卡，" + paths::BootBlockDirectory(root, name) +
                   " 是所有网卡启动块的模板，不能再注册。程序异常返回!",
               kCaption, kWarn, "NE2000 网卡用远程启动服务自带的启动块", true);
    } else {
      // The two Realtek names belong to the cards of the list: a custom
      // card by one of them would take the Realtek card's driver and block.
      for (const char* rtl : {kRtl8139, kRtl8029}) {
        const char* own = rtl == kRtl8139 ? "rtsnd" : "pcind";
        if (platform::SameName(name, own))
          p.Refuse("网卡驱动程序 " + file + " 与 " + rtl + " 网卡的驱动程序 " +
                       paths::NdisDriver(root, std::string(own) + ".dos") + " 同名，不能作为自选网卡注册：" + rtl +
                       " 网卡请在“网卡类型”中选 " + rtl + "；别的网卡请把驱动程序改名后再选择。程序异常返回!",
                   kCaption, kWarn, std::string("在“网卡类型”中选 ") + rtl, false);
      }
    }
  }
  if (p.refused) {
    card_refusal();
    return r;
  }
  // What registration does for this card.
  if (in.nic_type == kRtl8139) {
    r.driver_source = paths::ShippedDriver(start, "rtsnd.dos");
    r.script_driver = "rtsnd";
    r.dos_comment = "DOS 6.22 FOR RTL8139", r.windows_comment = "Windows 98SE FOR RTL8139";
    r.vendor_comment = "RTL8139 Netcard(100/10M)";
    r.done = "Rtl8139注册完成，配置远程启动之前请首先进行<检查配置>";
  } else if (in.nic_type == kRtl8029) {
    r.driver_source = paths::ShippedDriver(start, "pcind.dos");
    r.script_driver = "PCIND";
    r.dos_comment = "DOS 6.22 FOR RTL8029", r.windows_comment = "Windows 98SE FOR RTL8029";
    r.vendor_comment = "Rtl8029 Netcard(10M)";
    r.done = "Rtl8029注册完成，配置远程启动之前请首先进行<检查配置>";
  } else {
    r.driver_source = chosen;
    r.keep_existing_driver = false;
    r.script_driver = block;
    r.dos_comment = "DOS 6.22 FOR " + block + "(" + r.vendor + ")";
    r.windows_comment = "Windows 98SE FOR " + block + "(" + r.vendor + ")";
    r.vendor_comment = block + " NetCard";
    r.done = "自选网卡完成，配置远程启动之前请首先进行<检查配置>";
  }
  r.driver_target = files[0];
  r.named = true;
  if (asked) look_at_database();
  // 4. Each of the card's files must be seen there or not.
  for (size_t i = 0; i < files.size(); ++i)
    if (there[i] == There::kUnknown) {
      p.Refuse("无法列出 " + FolderOf(files[i]) + "，不能确定其中有没有 " + FileOf(files[i]) + "。" + kUnchanged,
               kCaption, kWarn, "检查该目录的权限后重新检查", false);
      p.Unreadable(item, found, "检查 " + FolderOf(files[i]) + " 的权限后重新检查");
      return r;
    }
  // 5. The card's own records, and those of them the database holds.
  if (!unlisted.empty()) {
    refuse(rplcmd ? "远程启动数据库" : "远程启动服务程序",
           "无法列出远程启动数据库中的记录：" + unlisted + "，注册没有进行。" + kUnchanged,
           rplcmd ? "检查远程启动服务和它的数据库" : kService, true);
    card_refusal();
    return r;
  }
  if (asked) {
    std::vector<Record> own;
    AddedRecords(RplScriptLines(r.script_driver, r.vendor, r.dos_comment, r.windows_comment, r.vendor_comment), &own);
    for (const Record& rec : own) {
      const std::string lacking = NotTheCards({rec}, listed);
      if (lacking.empty()) continue;
      if (lacking.compare(0, std::string("没有").size(), "没有") == 0) {
        r.missing_records.push_back(rec);
        continue;
      }
      p.Refuse("远程启动数据库中的" + lacking + "：厂商前缀 " + r.vendor +
                   " 已经属于另一块网卡。请填这块网卡的工作站网卡地址的前六位。" + kUnchanged,
               kCaption, kWarn, "填这块网卡的工作站网卡地址的前六位", false);
      card_refusal();
      return r;
    }
  }
  // Without the vendor: the records a registration adds are needed when no
  // vendor of the database boots the card.
  const bool records_to_add = asked ? !r.missing_records.empty() : vendors.empty();
  // 6. The files to bring: the driver (a Realtek driver only when absent),
  // then the boot-block files that are absent, from the NE2000 templates.
  r.driver_there = there[0] == There::kPresent;
  if (!r.driver_there || !r.keep_existing_driver) {
    if (!host.FileExists(r.driver_source)) {
      refuse(realtek ? "随程序发布的 RPL 文件" : "",
             "无法把网卡驱动程序 " + r.driver_source + " 复制到 " + r.driver_target + "。" + kUnchanged,
             realtek ? p.needs[3].todo : "选一个在的驱动程序", true);
      card_refusal();
      return r;
    }
  }
  std::vector<std::string> templates_needed;
  for (const std::string& name : absent_blocks)
    if (!host.FileExists(paths::BootBlockTemplate(root, name))) templates_needed.push_back(name);
  if (!templates_needed.empty()) {
    r.missing_templates = templates_needed.size();
    refuse("NE2000 启动块模板",
           "启动块文件没有生成：" + paths::BootBlockTemplate(root, templates_needed[0]) + " 缺少、无法读取或无法写入。" +
               kUnchanged,
           p.needs[5].todo, true);
    card_refusal();
    return r;
  }
  for (size_t i = 0; i < files.size(); ++i)
    if (there[i] == There::kAbsent && host.DirectoryExists(files[i])) {
      refuse("", "无法把新文件放到 " + files[i] + "。" + kUnchanged,
             "把目录 " + Names(folders) + " 改名或移走，再" + p.how, true);
      card_refusal();
      return r;
    }
  // The changes, for the card's item.
  if (!r.driver_there) {
    p.Write(r.driver_target, r.driver_source, item);
    r.absent.push_back(r.driver_target);
  } else if (!r.keep_existing_driver && records_to_add) {
    p.Replace(r.driver_target, r.driver_source, item);
  }
  const std::string block_dir = paths::BootBlockDirectory(root, block);
  if (!absent_blocks.empty() && !host.DirectoryExists(block_dir)) p.Folder(block_dir, item);
  for (const std::string& name : absent_blocks) {
    const std::string to = paths::BootBlockFile(root, block, name);
    p.Write(to, paths::BootBlockTemplate(root, name) + "，换入 " + block, item);
    r.absent.push_back(to);
  }
  if (records_to_add) {
    p.Program(paths::Rplcmd(root) + " < " + paths::RplScript(root) + " > " + paths::RplOutput(root),
              tree + "；" + paths::RplScript(root) + "；" + paths::RplOutput(root), item);
    p.Program(paths::RplManager(root), "", item);
  }
  if (cards_listed)
    p.Met(item, found);
  else
    p.Unreadable(item, found, "检查该目录的权限后重新检查");
  return r;
}

}  // namespace

Registration PlanRegistration(platform::Host& host, const RegistrationInput& in, const RegistrationAnswers* answers) {
  Registration r = PlanSteps(host, in, answers);
  plan::Plan& p = r.plan;
  if (!p.refused) return r;
  // A refused registration makes nothing: what it would have made waits
  // for what stopped it.
  const std::string prereq = FirstUnmet(p);
  for (plan::Need& need : p.needs) {
    bool makes = false;
    for (const plan::Change& c : p.changes) makes = makes || c.item == need.item;
    if (!need.met || !makes) continue;
    need.met = false;
    need.administrator = true;
    need.todo = "先按“" + prereq + "”一项处理，再" + p.how;
  }
  p.changes.clear();
  return r;
}


bool RegisterCard(platform::Host& host, platform::Ui& ui, const RegistrationInput& in,
                  TForm3& form3, TGetNetDrv& chooser, CustomDriver* custom) {
  // What can be refused before the dialog is refused before it shows.
  RegistrationAnswers none;
  none.until_dialog = true;
  const Registration before = PlanRegistration(host, in, &none);
  const plan::Plan& first = before.plan;
  if (first.refused && !before.asks) {
    if (!first.message.empty()) ui.MessageBox(first.message, first.caption, first.flags);
    return false;
  }
  RegistrationAnswers answers;
  answers.answered = true;
  if (in.nic_type == kOtherCard) {
    if (chooser.Show(ui) != platform::kMrOk) return false;
    answers.driver = chooser.NDISTALK.Text();
    answers.vendor = chooser.MACTALK.Text();
    custom->path = answers.driver;
  } else {
    if (ui.ShowModal(form3) != platform::kMrOk) return false;
    answers.vendor = form3.MAC.Text();
  }
  const Registration r = PlanRegistration(host, in, &answers);
  // A custom card's driver name is set once its answers have passed.
  if (in.nic_type == kOtherCard && r.named) custom->name = r.block;
  if (r.plan.refused) {
    // The templates a registration would make boot-block files from, each
    // missing one reported as the making of them reports it.
    for (size_t i = 0; i < r.missing_templates; ++i) ui.ShowMessage("远程启动可能没有正确安装!");
    ui.MessageBox(r.plan.message, r.plan.caption, r.plan.flags);
    return false;
  }
  return ApplyRegistration(host, ui, r);
}

}  // namespace rpl
