#include "accounts/users.h"

#include <climits>

#include "base/paths.h"
#include "base/names.h"
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

std::vector<std::string> AccountScript(const AccountFields& f, int users) {
  const std::string share = base::ShareName(f.shared_directory);
  std::vector<std::string> lines = {
      "net group " + f.group + " /add",
      "net share " + share + "=" + f.shared_directory,
      "net user kotavei kotavei /add /passwordchg:no",
      "net group " + f.group + " kotavei /add",
  };
  for (int i = 1; i <= users; ++i) {
    const std::string name = UserName(f.prefix, i);
    lines.push_back("net user " + name + " " + name + " /add /passwordchg:no");
    lines.push_back("net share " + name + "=" + paths::UserDirectory(f.shared_directory, name));
    lines.push_back("net group " + f.group + " " + name + " /add");
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
  } fields[] = {{"共享目录", f.shared_directory}, {"用户前辍", f.prefix}, {"工作组名", f.group},
                {"用户数目", f.count}};
  for (const Field& field : fields) {
    if (HasSpecialCharacter(field.value))
      return std::string("“") + field.label +
             "”中不能含有 & | < > ^ \" % 或换行等字符，请改正后再试。";
  }
  int count;
  if (!ParseUserCount(f.count, &count))
    return "“用户数目”必须是一个十进制整数（例如 30），请改正后再试。";
  return "";
}

void GenerateUsers(platform::Host& host, platform::Ui& ui, const AccountFields& f,
                   platform::ProgressBar& progress) {
  // Nothing is written, made or started for fields the script cannot carry.
  std::string problem = CheckFields(f);
  if (!problem.empty()) {
    ui.MessageBox(problem, kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // 1. The shared directory for the next start.
  platform::WriteTextLines(host, paths::kTempsBak, {f.shared_directory});
  // 2. The progress bar, while the directories are made.
  progress.SetVisible(true);
  // 3.-6. The shared directory (one level only) and the script's fixed lines.
  host.MakeDirectory(f.shared_directory);
  // 7. The user count.
  int users = 0;
  ParseUserCount(f.count, &users);
  // 8.-9. One directory per user, the user's lines, the bar moving on.
  for (int i = 1; i <= users; ++i) {
    host.MakeDirectory(paths::UserDirectory(f.shared_directory, UserName(f.prefix, i)));
    progress.SetPosition(static_cast<int>(static_cast<long long>(i) * 100 / users));
  }
  // 10. The bar full, the script closed, the bar hidden.
  progress.SetPosition(100);
  platform::WriteTextLines(host, paths::kUserTempBat, AccountScript(f, users));
  progress.SetVisible(false);
  // 11. The script runs unseen; nothing waits for it.
  host.RunCommand(paths::AccountScriptCommand(), platform::kHide);
  // 12. The administrator is told that the accounts are on their way.
  ui.MessageBox("目录创建完成，正在创建用户，请稍后...", "进程提示", platform::kMbOk);
}

void EditNamesFile(platform::Host& host, platform::Ui& ui, const std::string& shared_directory) {
  // 1. The file below the shared directory's Windows.
  const std::string path = paths::NetNamesFile(shared_directory);
  // 2. An existing file opens at once.
  if (host.FileExists(path)) {
    host.RunCommand("notepad " + path, platform::kShowNormal);
    return;
  }
  // 3. Otherwise the administrator decides.
  if (ui.MessageBox("netnames.db不存在，是否创建它?", "提示", platform::kMbOkCancel) != platform::kIdOk)
    return;
  // 4. An empty file, then Notepad, whether or not the file could be made.
  host.WriteFile(path, "");
  host.RunCommand("notepad " + path, platform::kShowNormal);
}

}  // namespace accounts
