#include "accounts/users.h"

#include <cctype>
#include <climits>

#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/textfile.h"

namespace accounts {
namespace {

const char kWarningCaption[] = "morva提示";

// Characters that the command interpreter gives a meaning of its own in a
// batch line; a field holding one could run more than its own command.
bool HasSpecialCharacter(const std::string& value) {
  return value.find_first_of("&|<>^\"%\r\n") != std::string::npos;
}

}  // namespace

std::string UserName(const std::string& prefix, int i) {
  return prefix + (i <= 9 ? "0" : "") + std::to_string(i);
}

std::vector<std::string> ScriptHead(const AccountFields& f) {
  return {
      "net group " + f.group + " /add",
      "net share " + base::ShareName(f.shared_directory) + "=" + f.shared_directory,
      "net user kotavei kotavei /add /passwordchg:no",
      "net group " + f.group + " kotavei /add",
  };
}

std::vector<std::string> UserLines(const AccountFields& f, const std::string& name) {
  return {
      "net user " + name + " " + name + " /add /passwordchg:no",
      "net share " + name + "=" + paths::UserDirectory(f.shared_directory, name),
      "net group " + f.group + " " + name + " /add",
  };
}

std::vector<std::string> AccountScript(const AccountFields& f, int users) {
  std::vector<std::string> lines = ScriptHead(f);
  for (int i = 1; i <= users; ++i) {
    std::vector<std::string> user = UserLines(f, UserName(f.prefix, i));
    lines.insert(lines.end(), user.begin(), user.end());
  }
  return lines;
}

bool ParseUserCount(const std::string& text, int* count) {
  size_t begin = text.find_first_not_of(' ');
  size_t end = text.find_last_not_of(' ');
  if (begin == std::string::npos) return false;
  std::string number = text.substr(begin, end - begin + 1);
  size_t digits = (number[0] == '-' || number[0] == '+') ? 1 : 0;
  if (digits == number.size()) return false;
  long long value = 0;
  for (size_t i = digits; i < number.size(); ++i) {
    if (number[i] < '0' || number[i] > '9') return false;
    value = value * 10 + (number[i] - '0');
    if (value > INT_MAX) return false;
  }
  *count = static_cast<int>(number[0] == '-' ? -value : value);
  return true;
}

std::string CheckFields(const AccountFields& f) {
  struct Field {
    const char* label;
    const std::string& value;
    bool may_be_empty;
  } fields[] = {{"共享目录", f.shared_directory, false}, {"用户前辍", f.prefix, false},
                {"工作组名", f.group, false}, {"用户数目", f.count, true}};
  for (const Field& field : fields) {
    const std::string name = std::string("“") + field.label + "”";
    // An empty field makes broken net lines (and an empty shared directory
    // would put the user directories at the root of the current drive).
    if (!field.may_be_empty && field.value.empty()) return name + "不能为空，请填写后再试。";
    if (HasSpecialCharacter(field.value))
      return name + "中不能含有 & | < > ^ \" % 或换行等字符，请改正后再试。";
    // The script and c:\temps.bak are in code page 936; a character it
    // cannot carry would become "?" there (or, by a converter that writes a
    // near character, another name) while the directories keep it.
    if (!platform::IsCodePageText(field.value))
      return name + "中含有简体中文代码页 (GB2312/GBK) 无法表示的字符，请改正后再试。";
  }
  // The share lines name the directory unquoted, and the share name is the
  // part after "D:\": a blank or a deeper directory would make every share
  // line fail unseen.
  if (f.shared_directory.find(' ') != std::string::npos)
    return "“共享目录”中不能含有空格，请改正后再试。";
  if (!IsDirectoryBelowRoot(f.shared_directory))
    return "“共享目录”必须是某个驱动器根目录下的一个目录，例如 D:\\PVDROOT，请改正后再试。";
  int count;
  if (!ParseUserCount(f.count, &count))
    return "“用户数目”必须是一个十进制整数（例如 30），请改正后再试。";
  return "";
}

bool IsDirectoryBelowRoot(const std::string& path) {
  return path.size() > 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
         path[2] == '\\' && path.find('\\', 3) == std::string::npos;
}

namespace {

// Folders named in a warning, one a line: the first ten, then how many more.
std::string FolderList(const std::vector<std::string>& folders) {
  const size_t kShown = 10;
  std::string list;
  for (size_t i = 0; i < folders.size() && i < kShown; ++i) list += folders[i] + "\r\n";
  if (folders.size() > kShown) list += "……另有 " + std::to_string(folders.size() - kShown) + " 个目录\r\n";
  return list;
}

}  // namespace

void GenerateUsers(platform::Host& host, platform::Ui& ui, const AccountFields& f,
                   platform::ProgressBar& progress, int* running) {
  // The command interpreter reads a running script line by line: it is
  // neither replaced under it nor started a second time.
  if (host.StillRunning(*running)) {
    ui.MessageBox(std::string("上一次的账户脚本 ") + paths::kUserTempBat +
                      " 仍在运行，用户还在创建中。请等它结束后再生成用户及目录。",
                  kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // Nothing is written, made or started for fields the script cannot carry.
  std::string problem = CheckFields(f);
  if (!problem.empty()) {
    ui.MessageBox(problem, kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // 2. The progress bar, while the directories are made.
  progress.SetVisible(true);
  // 4. The shared directory (one level only). Each folder counts by whether
  // it is there afterwards, made now or by an earlier run.
  std::vector<std::string> missing;
  host.MakeDirectory(f.shared_directory);
  const bool shared = host.DirectoryExists(f.shared_directory);
  if (!shared) missing.push_back(f.shared_directory);
  // 5.-6. The share name and the group go into the script's first four lines.
  std::vector<std::string> script = ScriptHead(f);
  // 7. The user count.
  int users = 0;
  ParseUserCount(f.count, &users);
  // 8.-9. One directory per user, the user's lines, the bar moving on. No
  // user directory can be made without the shared one; that one is named.
  for (int i = 1; i <= users; ++i) {
    const std::string name = UserName(f.prefix, i);
    const std::string dir = paths::UserDirectory(f.shared_directory, name);
    if (shared) {
      host.MakeDirectory(dir);
      if (!host.DirectoryExists(dir)) missing.push_back(dir);
    }
    std::vector<std::string> user = UserLines(f, name);
    script.insert(script.end(), user.begin(), user.end());
    progress.SetPosition(static_cast<int>(static_cast<long long>(i) * 100 / users));
  }
  progress.SetPosition(100);
  // Accounts without their directories would be shares of nothing: the
  // script is neither written nor started.
  if (!missing.empty()) {
    progress.SetVisible(false);
    ui.MessageBox("以下目录无法创建（驱动器不存在、上级目录不可写，或已有同名的文件）：\r\n" +
                      FolderList(missing) + "账户脚本没有写入，也没有运行，没有创建用户。",
                  kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // 1. The shared directory for the next start, now that it is there.
  // 10. The script written whole, the bar hidden. A script that cannot be
  // written (read-only, locked, a full disk) stays as it was and is not
  // run: it is an earlier run's, or none.
  const bool remembered = platform::WriteTextLines(host, paths::kTempsBak, {f.shared_directory});
  const bool written = remembered && platform::WriteTextLines(host, paths::kUserTempBat, script);
  progress.SetVisible(false);
  if (!remembered) {
    ui.MessageBox(std::string("无法写入 ") + paths::kTempsBak +
                      "（文件只读、被占用或磁盘已满），账户脚本没有运行，没有创建用户。",
                  kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  if (!written) {
    ui.MessageBox(std::string("无法写入账户脚本 ") + paths::kUserTempBat +
                      "（文件只读、被占用或磁盘已满），没有创建用户。",
                  kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // 11. The script runs unseen; the handler does not wait for it, but keeps
  // its number, so that the script stays in place until it has ended. The
  // command interpreter is the system's, by its full path.
  const std::string command = paths::AccountScriptCommand(host.WindowsDirectory());
  *running = host.StartWatched(command, platform::kHide);
  if (*running == 0) {
    ui.MessageBox("无法启动账户脚本 " + command + "，没有创建用户。",
                  kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // 12. The administrator is told that the accounts are on their way.
  ui.MessageBox("目录创建完成，正在创建用户，请稍后...", "进程提示", platform::kMbOk);
}

bool RemoveAccountScript(platform::Host& host, int running) {
  if (host.StillRunning(running)) return false;
  host.DeleteFile(paths::kUserTempBat);
  return true;
}

bool MakeNamesFile(platform::Host& host, const std::string& shared_directory) {
  const std::string path = paths::NetNamesFile(shared_directory);
  return host.FileExists(path) || (host.WriteFile(path, "") && host.FileExists(path));
}

void EditNamesFile(platform::Host& host, platform::Ui& ui, const std::string& shared_directory) {
  // 1. The file below the shared directory's Windows.
  const std::string path = paths::NetNamesFile(shared_directory);
  // 2. An existing file opens at once.
  const std::string notepad = platform::QuotedIfBlank(paths::Notepad(host.WindowsDirectory()));
  if (host.FileExists(path)) {
    host.RunCommand(notepad + " " + path, platform::kShowNormal);
    return;
  }
  // 3. Otherwise the administrator decides.
  if (ui.MessageBox("netnames.db不存在，是否创建它?", "提示", platform::kMbOkCancel) != platform::kIdOk)
    return;
  // 4. An empty file, then Notepad, whether or not the file could be made.
  host.WriteFile(path, "");
  host.RunCommand(notepad + " " + path, platform::kShowNormal);
}

}  // namespace accounts
