// What registration's plan finds on the server: the service's tree, the card's files, the database.
#include "rpl/register_plan.h"

#include "platform/text.h"
#include "rpl/bootblock.h"
#include "rpl/detect.h"
#include "rpl/register_parts.h"
#include "rpl/tree.h"

namespace rpl {

using registration::FileOf;

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

namespace registration {

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

There Look(platform::Host& host, const std::string& path) {
  if (host.FileExists(path)) return There::kPresent;
  std::vector<platform::DirEntry> entries;
  const std::string folder = FolderOf(path);
  return !host.DirectoryExists(folder) || host.ListDirectory(folder, &entries) ? There::kAbsent
                                                                               : There::kUnknown;
}

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

std::string FirstUnmet(const plan::Plan& p) {
  for (const plan::Need& need : p.needs)
    if (!need.met) return need.item;
  return "";
}

void Planner::LookAtTree() {
  // 2. What the service's tree holds, item by item.
  const std::string system32 = root + "\\system32";
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
}

void Planner::JudgeDosFiles() {
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
}

void Planner::LookAtCardFiles() {
  // The card's files: its driver and boot-block files, which of them are there.
  files = block.empty() ? std::vector<std::string>() : CardFiles(root, block);
  for (const std::string& f : files) there.push_back(Look(host, f));
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
}

void Planner::LookAtDatabase() {
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
}

}  // namespace registration
}  // namespace rpl
