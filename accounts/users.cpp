#include "accounts/users.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/encoding.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace accounts {
namespace {

const char kWarningCaption[] = "morva提示";

// A character as the administrator reads it in a warning.
std::string Shown(unsigned char c) {
  if (c == ' ') return "空格";
  if (c == '\t') return "制表符";
  if (c == '\r' || c == '\n') return "换行";
  if (c < 0x20 || c == 0x7F) {
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", c);
    return std::string("控制字符 ") + code;
  }
  return std::string("“") + static_cast<char>(c) + "”";
}

// The first character that the command interpreter gives a meaning of its
// own in a batch line, shown, or "": a field holding one could run more than
// its own command.
std::string SpecialCharacter(const std::string& value) {
  const size_t at = value.find_first_of("&|<>^\"%\r\n");
  return at == std::string::npos ? "" : Shown(static_cast<unsigned char>(value[at]));
}

// The first character net does not take in a user, group or share name,
// shown, or "": a blank, a tab or another control character, or one of
// " / \ [ ] : ; | = , + * ? < >. (Code page 936 text is checked apart.)
std::string RefusedNameCharacter(const std::string& name) {
  for (unsigned char c : name)
    if (c <= ' ' || c == 0x7F || (c < 0x80 && std::strchr("\"/\\[]:;|=,+*?<>", c))) return Shown(c);
  return "";
}

// Characters, not bytes, as net counts a name's length.
int Characters(const std::string& utf8) {
  int n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

// The number i when `name` is UserName(prefix, i), in any case; 0 else.
int UserNumber(const std::string& prefix, const std::string& name) {
  if (name.size() < prefix.size() + 2 || platform::Lower(name.substr(0, prefix.size())) != platform::Lower(prefix))
    return 0;
  const std::string digits = name.substr(prefix.size());
  if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
  const int n = std::stoi(digits);
  return n >= 1 && platform::Lower(UserName(prefix, n)) == platform::Lower(name) ? n : 0;
}

}  // namespace

int MostUsers(const std::string& prefix) {
  const int digits = kLongestUserName - Characters(prefix);
  if (digits < 2) return 0;
  long long widest = 1;  // 10 to the number of digits, or more than kMostUsers
  for (int i = 0; i < digits && widest <= kMostUsers; ++i) widest *= 10;
  return static_cast<int>(std::min<long long>(kMostUsers, widest - 1));
}

const char kGuest[] = "kotavei";

std::string UserName(const std::string& prefix, int i) {
  return prefix + (i <= 9 ? "0" : "") + std::to_string(i);
}

std::vector<std::string> ScriptHead(const AccountFields& f) {
  return {
      "net group " + f.group + " /add",
      "net share " + base::ShareName(f.shared_directory) + "=" + f.shared_directory,
      std::string("net user ") + kGuest + " " + kGuest + " /add /passwordchg:no",
      "net group " + f.group + " " + kGuest + " /add",
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
    const std::string special = SpecialCharacter(field.value);
    if (!special.empty())
      return name + "中不能含有" + special + "（& | < > ^ \" % 和换行在账户脚本中另有含义），请改正后再试。";
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
  // Names net does not take: the script's net lines fail unseen, and no
  // user, group or share is made for them.
  const std::string share = base::ShareName(f.shared_directory);
  const struct {
    const char* label;
    const std::string& name;
    const char* kind;
  } names[] = {{"用户前辍", f.prefix, "用户名"}, {"工作组名", f.group, "组名"}, {"共享目录", share, "共享名"}};
  for (const auto& n : names) {
    const std::string refused = RefusedNameCharacter(n.name);
    if (!refused.empty())
      return std::string("“") + n.label + "”中不能含有" + refused + "：net 不接受含有它的" + n.kind + "，请改正后再试。";
  }
  if (f.group.find_first_not_of('.') == std::string::npos)
    return "“工作组名”不能只由“.”组成：net 不接受这样的组名，请改正后再试。";
  if (share.find_first_not_of('.') == std::string::npos)
    return "“共享目录”的共享名 " + share + " 只由“.”组成，net 不接受，请改正后再试。";
  if (Characters(f.group) > 256) return "“工作组名”最长 256 个字符，请改正后再试。";
  int count;
  if (!ParseUserCount(f.count, &count))
    return "“用户数目”必须是一个十进制整数（例如 30），请改正后再试。";
  if (count < 0) return "“用户数目”是工作站的个数，不能小于 0，请改正后再试。";
  // Each user is the prefix and two digits or more, in at most 20 characters.
  const int most = MostUsers(f.prefix);
  if (count > 0 && most == 0)
    return "“用户前辍”最长 " + std::to_string(kLongestUserName - 2) + " 个字符：用户名最长 " +
           std::to_string(kLongestUserName) + " 个字符，其中至少两位是编号，请改正后再试。";
  if (count > most)
    return "“用户数目”必须在 0 到 " + std::to_string(most) + " 之间：" +
           (most == kMostUsers ? "一次最多为 " + std::to_string(kMostUsers) + " 台工作站建立用户"
                               : "用户名最长 " + std::to_string(kLongestUserName) + " 个字符，“用户前辍”占了 " +
                                     std::to_string(Characters(f.prefix)) + " 个，编号只能有两位") +
           "，请改正后再试。";
  // A group or share of a user's name: net refuses the group beside the
  // user, and the user's own share beside the shared directory's.
  const int group_user = UserNumber(f.prefix, f.group);
  if (platform::SameName(f.group, kGuest) || (group_user >= 1 && group_user <= count))
    return "“工作组名”" + f.group + " 与一个要建立的用户同名：net 不接受同名的组和用户，请改正后再试。";
  const int share_user = UserNumber(f.prefix, share);
  if (share_user >= 1 && share_user <= count)
    return "“共享目录”的共享名 " + share + " 与用户 " + UserName(f.prefix, share_user) +
           " 的共享同名：net 不接受同名的共享，请改正后再试。";
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
  // The command interpreter keeps the script open while it runs: no later
  // start of this program deletes it under it (退出系统 removes the script).
  *running = host.StartWatched(command, platform::kHide, paths::kUserTempBat);
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
