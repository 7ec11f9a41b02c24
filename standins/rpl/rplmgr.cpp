#include "standins/rpl/rplmgr.h"

#include "platform/textfile.h"

namespace standins {
namespace rpl {
namespace {

std::string Tabbed(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) line += (i ? "\t" : "") + fields[i];
  return line;
}

// The words of a definition file's line, split at blanks and tabs.
std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// What is wrong with a damaged database, as the manager says it.
std::string DamageReason(Damage damage) {
  switch (damage) {
    case Damage::kFirstLine: return "文件不是以格式行开头";
    case Damage::kCtrlZ: return "文件结束之前有 Ctrl-Z";
    case Damage::kCutShort: return "最后一行没有行尾，文件不完整";
    case Damage::kControlCharacter: return "行中有控制字符";
    case Damage::kNotCodePage936: return "有不属于代码页 936 的字节";
    case Damage::kRecord: return "不是数据库的记录";
    case Damage::kName: return "记录的名称无效";
    case Damage::kNone: break;
  }
  return "";
}

std::string LoadMessage(LoadResult result, const std::string& path, const RecordFileError& damage) {
  switch (result) {
    case LoadResult::kAbsent: return "远程启动数据库 " + path + " 不存在：远程启动服务没有安装。";
    case LoadResult::kUnreadable: return "无法读取远程启动数据库 " + path + "。";
    case LoadResult::kDamaged:
      return "远程启动数据库 " + path + " 第 " + std::to_string(damage.line) + " 行已损坏（" +
             DamageReason(damage.damage) + "）。";
    case LoadResult::kLoaded: break;
  }
  return "";
}

}  // namespace

const char* const kDosShellIni[] = {
    "; DOS profile of the Remoteboot service: the DOS shell of its workstations",
    "[savestate]",
    "screenmode = text",
    "resolution = low",
    nullptr,
};

bool Manager::Load(std::string* message) {
  RecordFileError damage;
  LoadResult result = rpl::Load(host_, &db_, &damage);
  checks_.clear();
  if (result == LoadResult::kLoaded) return true;
  *message = LoadMessage(result, DatabasePath(host_), damage);
  return false;
}

std::vector<std::string> Manager::VendorLines() const {
  std::vector<std::string> lines;
  for (const Vendor& v : db_.vendors) lines.push_back(Tabbed({v.name, v.comment}));
  return lines;
}

std::vector<std::string> Manager::BootBlockLines() const {
  std::vector<std::string> lines;
  for (const BootBlock& b : db_.boot_blocks) lines.push_back(Tabbed({b.name, b.vendor, b.file, b.comment}));
  return lines;
}

std::vector<std::string> Manager::ConfigurationLines() const {
  std::vector<std::string> lines;
  for (const Configuration& c : db_.configurations) {
    std::string state = "未检查";
    for (const ConfigurationCheck& check : checks_)
      if (SameName(check.name, c.name)) state = check.usable ? "可用" : "不可用";
    lines.push_back(Tabbed({c.name, state, c.boot, IsDosConfiguration(c) ? "DOS" : "Windows", c.comment}));
  }
  return lines;
}

std::vector<std::string> Manager::ProfileLines() const {
  std::vector<std::string> lines;
  for (const Profile& p : db_.profiles) lines.push_back(Tabbed({p.name, p.configuration, p.comment}));
  return lines;
}

ConfigurationCheck Manager::Check(const Configuration& c) {
  ConfigurationCheck check;
  check.name = c.name;
  const std::string tree = TreeDirectory(host_), binfiles = BinfilesDirectory(host_);
  auto file = [&](const std::string& path) {
    ++check.needed;
    if (!host_.FileExists(path)) check.missing.push_back("缺少文件 " + path);
  };
  auto directory = [&](const std::string& path) {
    ++check.needed;
    if (!host_.DirectoryExists(path)) check.missing.push_back("缺少目录 " + path);
  };
  auto tree_path = [&](const std::string& relative, bool is_directory) {
    std::string base = is_directory ? binfiles : tree;
    if (!ValidTreePath(relative)) {
      ++check.needed;
      check.missing.push_back("“" + relative + "”不是远程启动目录树中的路径");
    } else if (is_directory) {
      directory(base + "\\" + relative);
    } else {
      file(base + "\\" + relative);
    }
  };

  ++check.needed;
  const BootBlock* boot = db_.FindBootBlock(c.boot);
  if (!boot) {
    check.missing.push_back("数据库中没有启动块 " + c.boot);
  } else if (!ValidTreePath(boot->file)) {
    check.missing.push_back("启动块 " + boot->name + " 的定义文件“" + boot->file + "”不是目录树中的路径");
  } else {
    std::string definition = tree + "\\" + boot->file;
    std::vector<std::string> lines;
    ++check.needed;
    if (!host_.FileExists(definition) || !platform::ReadTextLines(host_, definition, &lines)) {
      check.missing.push_back("缺少启动块定义文件 " + definition);
    } else {
      int number = 0;
      for (const std::string& line : lines) {
        ++number;
        std::vector<std::string> words = Words(line);
        if (words.empty() || words[0][0] == ';') continue;
        if (words.size() < 2) {
          ++check.needed;
          check.missing.push_back(definition + " 第 " + std::to_string(number) + " 行没有给出文件");
          continue;
        }
        tree_path(words[1], false);
      }
    }
  }
  tree_path(c.fit_shared, false);
  tree_path(c.fit_personal, false);
  for (const std::string* dir : {&c.dir, &c.dir2, &c.dir3, &c.dir4})
    if (!dir->empty() || dir == &c.dir || dir == &c.dir2) tree_path(*dir, true);
  if (ValidTreePath(c.dir2)) {
    std::vector<const char*> system = {"IO.SYS", "MSDOS.SYS", "COMMAND.COM"};
    if (IsDosConfiguration(c)) system.push_back("HIMEM.SYS");
    for (const char* name : system) file(binfiles + "\\" + c.dir2 + "\\" + name);
  }
  check.usable = check.missing.empty();
  return check;
}

std::vector<std::string> Manager::CheckAll() {
  checks_.clear();
  std::vector<std::string> report;
  for (const Configuration& c : db_.configurations) {
    ConfigurationCheck check = Check(c);
    checks_.push_back(check);
    if (check.usable) {
      report.push_back(c.name + "：可用（所需的 " + std::to_string(check.needed) + " 个文件和目录都在）");
    } else {
      report.push_back(c.name + "：不可用");
      for (const std::string& m : check.missing) report.push_back("    " + m);
    }
  }
  if (report.empty()) report.push_back("数据库中没有配置。");
  return report;
}

bool Manager::MakeProfile(const std::string& name, const std::string& configuration,
                          const std::string& comment, std::string* message) {
  if (!Load(message)) return false;
  if (!ValidProfileName(name)) {
    *message = "配置文件名“" + name + "”无效：应为 1 到 15 个字符，不含空格和 \\ / : * ? \" < > |，"
               "不以句点结尾，也不是设备名（CON、NUL、COM1 等）。";
    return false;
  }
  if (!PlainText(comment)) {
    *message = "说明中不能有制表符、控制字符或代码页 936 以外的字符。";
    return false;
  }
  if (db_.FindProfile(name)) {
    *message = "配置文件 " + name + " 已经存在。";
    return false;
  }
  const Configuration* c = db_.FindConfiguration(configuration);
  if (!c) {
    *message = configuration.empty() ? "请先选择一个配置。" : "数据库中没有配置 " + configuration + "。";
    return false;
  }
  ConfigurationCheck check = Check(*c);
  if (!check.usable) {
    *message = "配置 " + c->name + " 不可用，不能据此新建配置文件：" + check.missing[0];
    return false;
  }
  const std::string profiles = ProfilesDirectory(host_);
  const std::string dir = profiles + "\\" + name, wksta = dir + "\\wksta.pro";
  if (host_.DirectoryExists(dir) || host_.FileExists(dir)) {
    *message = dir + " 已经存在，配置文件没有新建。";
    return false;
  }
  bool dos = IsDosConfiguration(*c);
  bool made = (host_.DirectoryExists(profiles) || host_.MakeDirectory(profiles)) &&
              host_.MakeDirectory(dir) && host_.MakeDirectory(wksta);
  if (made && dos) {
    std::vector<std::string> ini;
    for (const char* const* line = kDosShellIni; *line; ++line) ini.push_back(*line);
    made = platform::WriteTextLines(host_, wksta + "\\dosshell.ini", ini);
  }
  Database changed = db_;
  changed.profiles.push_back({name, c->name, comment});
  if (!made || !Save(host_, changed)) {
    RemoveTree(dir);
    *message = made ? "无法写入远程启动数据库，配置文件没有新建。" : "无法建立目录 " + dir + "，配置文件没有新建。";
    return false;
  }
  db_ = changed;
  *message = "已新建配置文件 " + name + "（配置 " + c->name + "，" + (dos ? "DOS" : "Windows") + "）：" + dir;
  return true;
}

bool Manager::DeleteProfile(const std::string& name, std::string* message) {
  if (!Load(message)) return false;
  const Profile* p = db_.FindProfile(name);
  if (!p) {
    *message = name.empty() ? "请先选择一个配置文件。" : "数据库中没有配置文件 " + name + "。";
    return false;
  }
  // Only a folder directly inside the profiles folder is ever removed: the
  // database is loaded only when its profile names are such folders' names,
  // and the name is checked again here, where it becomes a path.
  if (!ValidProfileName(p->name)) {
    *message = "配置文件名“" + p->name + "”无效，没有删除任何文件。";
    return false;
  }
  std::string dir = ProfilesDirectory(host_) + "\\" + p->name;
  if (host_.DirectoryExists(dir) && !RemoveTree(dir)) {
    *message = "目录 " + dir + " 没能完全删除，配置文件 " + p->name + " 仍留在数据库中。";
    return false;
  }
  Database changed = db_;
  for (size_t i = 0; i < changed.profiles.size(); ++i)
    if (SameName(changed.profiles[i].name, name)) changed.profiles.erase(changed.profiles.begin() + i--);
  if (!Save(host_, changed)) {
    *message = "目录已删除，但无法写入远程启动数据库。";
    return false;
  }
  db_ = changed;
  *message = "已删除配置文件 " + name + "。";
  return true;
}

// Deletes a directory with everything in it; read-only files are made
// writable first. False when something is left.
bool Manager::RemoveTree(const std::string& dir) {
  std::vector<platform::DirEntry> entries;
  if (!host_.ListDirectory(dir, &entries)) return false;
  bool all = true;
  for (const platform::DirEntry& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    std::string path = dir + "\\" + e.name;
    if (e.is_directory) {
      all = RemoveTree(path) && all;
    } else {
      host_.SetFileAttributes(path, platform::kAttrArchive);
      all = host_.DeleteFile(path) && all;
    }
  }
  return remove_directory_(dir) && all;
}

}  // namespace rpl
}  // namespace standins
