// The server check: the accounts road. The shared directory is judged by the
// account button's own rule, and the users by what the program left on the
// server: the account script while it is there, else the user folders.
#include <map>
#include <set>

#include "accounts/users.h"
#include "app/server.h"
#include "app/server_check_parts.h"
#include "base/names.h"
#include "base/paths.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace app {
namespace {

const char kGenerate[] = "按“生成用户及目录”";

// A field's first text, as the main window starts with it.
std::string FirstText(const char* control) { return look::FindControl(TForm1::Layout(), control)->text; }

// What the account button says to a shared directory, the other fields
// taken as they start: "" when it takes it.
std::string SharedRefusal(const std::string& shared) {
  return accounts::CheckFields({shared, FirstText("Edit2"), "1", FirstText("Edit4")});
}

// One generation's users: the prefix and how many; `given` the numbers the
// server shows (a script's all, or the folders found).
struct UserSet {
  std::string prefix;
  int count = 0;
  std::set<int> given;
};

// What the account button says to the user fields (the prefix, the count and
// the group), the shared directory taken as it starts: "" when it takes them.
std::string UsersRefusal(const std::string& prefix, const std::string& count, const std::string& group) {
  return accounts::CheckFields({FirstText("Edit1"), prefix, count, group});
}

// The prefix and number of a user name as the account button forms it
// (UserName): the prefix `preferred` when the name takes it, else the name up
// to its trailing digits. False for a name the button would not form, its
// number above the count the button takes with that prefix among them.
bool SplitUserName(const std::string& name, const std::string& preferred, std::string* prefix, int* number) {
  auto fits = [&](size_t at) {
    const std::string digits = name.substr(at);
    int n = 0;
    if (at >= name.size() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos ||
        !accounts::ParseUserCount(digits, &n) || n < 1 || n > accounts::MostUsers(name.substr(0, at)) ||
        accounts::UserName(name.substr(0, at), n) != name)
      return false;
    *prefix = name.substr(0, at);
    *number = n;
    return true;
  };
  if (platform::Lower(name.substr(0, preferred.size())) == platform::Lower(preferred) && fits(preferred.size()))
    return true;
  return fits(name.find_last_not_of("0123456789") + 1);
}

// The users of names, by prefix: each set runs from 1 to its highest number.
std::vector<UserSet> Sets(const std::vector<std::string>& names, const std::string& preferred) {
  std::map<std::string, UserSet> sets;
  for (const std::string& name : names) {
    std::string prefix;
    int number = 0;
    if (!SplitUserName(name, preferred, &prefix, &number)) continue;
    UserSet& set = sets[platform::Lower(prefix)];
    if (set.given.empty()) set.prefix = prefix;
    set.given.insert(number);
    set.count = std::max(set.count, number);
  }
  std::vector<UserSet> all;
  for (auto& entry : sets) all.push_back(entry.second);
  return all;
}

// The account script of the last generation, for this shared directory: its
// users (the "net share NAME=SHARED\NAME" lines) and its group (first line).
bool ReadScript(platform::Host& host, const std::string& shared, std::vector<std::string>* users, std::string* group) {
  std::vector<std::string> lines;
  if (!platform::ReadTextLines(host, paths::kUserTempBat, &lines)) return false;
  const std::string share = "net share ", head = "net group ", add = " /add";
  for (const std::string& line : lines) {
    const size_t equals = line.find('=');
    if (line.compare(0, share.size(), share) == 0 && equals != std::string::npos) {
      const std::string name = line.substr(share.size(), equals - share.size());
      if (platform::SameName(line.substr(equals + 1), paths::UserDirectory(shared, name))) users->push_back(name);
    } else if (group->empty() && line.compare(0, head.size(), head) == 0 && line.size() > head.size() + add.size() &&
               line.compare(line.size() - add.size(), add.size(), add) == 0 &&
               line.find(' ', head.size()) == line.size() - add.size()) {
      *group = line.substr(head.size(), line.size() - add.size() - head.size());
    }
  }
  return !users->empty();
}

// Where the users come from, who they are, and what makes them again.
struct Users {
  std::string source;
  std::vector<UserSet> sets;
  std::string group;  // the script's group, or "" when unknown
};

Users KnownUsers(platform::Host& host, const CheckInput& in, const std::set<std::string>& folders) {
  Users users;
  std::vector<std::string> names;
  if (ReadScript(host, in.shared_directory, &names, &users.group)) {
    users.source = Cat({"按账户脚本 ", paths::kUserTempBat});
    users.sets = Sets(names, in.prefix);
    return users;
  }
  // Without the script (the exit button removes it), the user folders the
  // program made say which users there were: each prefix's numbers run from 1.
  users.sets = Sets(std::vector<std::string>(folders.begin(), folders.end()), in.prefix);
  if (!users.sets.empty()) {
    users.source = Cat({"按 ", in.shared_directory, " 中已有的用户目录"});
    return users;
  }
  // Else the fields, when the button takes them (its rule bounds the count).
  int count = 0;
  accounts::ParseUserCount(in.count, &count);
  users.source = Cat({"按“用户前辍”", in.prefix, "和“用户数目”", in.count});
  if (count > 0 && UsersRefusal(in.prefix, in.count, in.group).empty()) users.sets.push_back({in.prefix, count, {}});
  return users;
}

// A shared directory the button takes, near the one given: its first level
// on its drive, blanks, control characters and the characters of batch
// lines and of names net refuses left out; on the first fixed drive when its
// own is not there; the field's first text otherwise.
std::string SharedSuggestion(platform::Host& host, const std::string& shared) {
  std::string name, drive = shared.size() >= 2 && shared[1] == ':' ? shared.substr(0, 2) : "";
  const size_t from = drive.empty() ? 0 : 3, to = shared.find('\\', from);
  for (char c : shared.substr(std::min(from, shared.size()), to == std::string::npos ? std::string::npos : to - from))
    if (static_cast<unsigned char>(c) > ' ' && c != 0x7F && std::string("&|<>^\"%\\/[]:;=,+*?").find(c) == std::string::npos)
      name += c;
  if (name.empty()) name = FirstText("Edit1").substr(3);
  if (drive.empty() || !host.DirectoryExists(drive + "\\")) {
    drive.clear();
    for (const platform::DriveEntry& d : host.Drives())
      if (drive.empty() && d.fixed && host.DirectoryExists(std::string(1, d.letter) + ":\\"))
        drive = std::string(1, d.letter) + ":";
  }
  const std::string suggested = drive + "\\" + name;
  return SharedRefusal(suggested).empty() ? suggested : FirstText("Edit1");
}

// The steps that generate `sets` again, with the shared directory `shared`
// typed first when it is not "". False when the account button would refuse
// them; `why` then says what it would say.
bool GenerateAdvice(const std::string& shared, const Users& users, const CheckInput& in, std::string* mend,
                    std::string* why) {
  const std::vector<UserSet>& sets = users.sets;
  const std::string group = users.group.empty() ? in.group : users.group;
  *mend = shared.empty() ? "" : Cat({"在“共享目录”中填 ", shared, "，"});
  if (sets.empty()) {
    // No users to make: the fields as they are.
    *why = accounts::CheckFields({shared.empty() ? in.shared_directory : shared, in.prefix, in.count, in.group});
    *mend += kGenerate;
    return why->empty();
  }
  for (size_t i = 0; i < sets.size(); ++i) {
    const std::string count = std::to_string(sets[i].count);
    *why = accounts::CheckFields({shared.empty() ? in.shared_directory : shared, sets[i].prefix, count, group});
    if (!why->empty()) return false;
    *mend += Cat({i ? "，再" : "", "在“用户前辍”中填 ", sets[i].prefix, "，在“用户数目”中填 ", count,
                  users.group.empty() ? "" : "，在“工作组名”中填 ", users.group, "，", kGenerate});
  }
  return true;
}

}  // namespace

void CheckAccounts(platform::Host& host, const CheckInput& in, ServerCheck* check) {
  const std::string& shared = in.shared_directory;
  if (in.shared_directory_unread) {
    Add(check, Road::kAccounts, "共享目录", CheckState::kUnreadable,
        {paths::kTempsBak, " 存在但无法读取，不知道共享目录是哪一个。"}, {"关闭占用 ", paths::kTempsBak, " 的程序后重新检查"});
    return;
  }
  std::set<std::string> folders;
  std::vector<platform::DirEntry> entries;
  if (!shared.empty() && host.ListDirectory(shared, &entries))
    for (const platform::DirEntry& e : entries)
      if (e.is_directory && e.name != "." && e.name != "..") folders.insert(e.name);
  const Users users = KnownUsers(host, in, folders);
  // The shared directory: one the account button takes, and there.
  const std::string refusal = SharedRefusal(shared);
  const std::string drive = shared.substr(0, 3);
  std::string retype;  // the shared directory the mend types in, when this one will not do
  std::string mend, why;
  if (shared.empty()) {
    retype = FirstText("Edit1");
  } else if (!refusal.empty() || !host.DirectoryExists(drive)) {
    retype = SharedSuggestion(host, shared);
  }
  const bool can = GenerateAdvice(retype, users, in, &mend, &why);
  const CheckState not_ready = can ? CheckState::kMissing : CheckState::kAdmin;
  if (!can) mend = Cat({"“生成用户及目录”会拒绝：", why, " 改正账户一栏后", kGenerate});
  if (shared.empty())
    Add(check, Road::kAccounts, "共享目录", not_ready, {"“共享目录”一栏是空的。"}, {mend});
  else if (!refusal.empty())
    Add(check, Road::kAccounts, "共享目录", not_ready, {"“生成用户及目录”不接受 ", shared, "：", refusal}, {mend});
  else if (host.FileExists(shared))
    Add(check, Road::kAccounts, "共享目录", CheckState::kAdmin, {shared, " 是一个文件，不是目录。"},
        {"把文件 ", shared, " 改名或移走，再", kGenerate});
  else if (!host.DirectoryExists(drive))
    Add(check, Road::kAccounts, "共享目录", not_ready, {"没有驱动器 ", drive, "，无法建立 ", shared, "。"}, {mend});
  else if (!host.DirectoryExists(shared))
    Add(check, Road::kAccounts, "共享目录", not_ready, {"没有目录 ", shared, "。"}, {mend});
  else
    Add(check, Road::kAccounts, "共享目录", CheckState::kReady, {shared, " 存在，共享名 ", check->share, "。"});

  // The user folders. Fields the button refuses tell no users: the count
  // typed anew mends them when that is all they lack.
  const char kWhat[] = "用户目录";
  const std::string users_refusal = UsersRefusal(in.prefix, in.count, in.group);
  if (users.sets.empty() && !users_refusal.empty()) {
    if (UsersRefusal(in.prefix, FirstText("Edit3"), in.group).empty())
      Add(check, Road::kAccounts, kWhat, CheckState::kMissing,
          {"“用户数目”一栏“", in.count, "”不是“生成用户及目录”接受的用户个数，无法知道应有哪些用户目录：", users_refusal},
          {"在“用户数目”中填 ", FirstText("Edit3"), "（工作站的个数），", kGenerate});
    else
      Add(check, Road::kAccounts, kWhat, CheckState::kAdmin,
          {"“生成用户及目录”不接受账户一栏，无法知道应有哪些用户目录：", users_refusal},
          {"改正账户一栏后", kGenerate});
    return;
  }
  std::set<std::string> present;
  for (const std::string& f : folders) present.insert(platform::Lower(f));
  size_t expected = 0;
  std::vector<std::string> missing, sets;
  for (const UserSet& set : users.sets) {
    expected += static_cast<size_t>(set.count);
    sets.push_back(set.count > 1 ? Cat({accounts::UserName(set.prefix, 1), "…", accounts::UserName(set.prefix, set.count)})
                                 : accounts::UserName(set.prefix, 1));
    for (int i = 1; i <= set.count; ++i)
      if (!present.count(platform::Lower(accounts::UserName(set.prefix, i))))
        missing.push_back(accounts::UserName(set.prefix, i));
  }
  const std::string which = sets.empty() ? "" : Cat({"（", NameList(sets), "）"});
  if (missing.empty())
    Add(check, Road::kAccounts, kWhat, CheckState::kReady, {users.source, "，", expected, " 个用户目录", which, "都在。"});
  else
    Add(check, Road::kAccounts, kWhat, not_ready,
        {users.source, "，", expected, " 个用户目录", which, "中缺少 ", missing.size(), " 个：", NameList(missing), "。"},
        {mend});

  // The workstation names file.
  const std::string names = paths::NetNamesFile(shared);
  const std::string windows = Cat({shared, "\\windows"});
  if (host.FileExists(names))
    Add(check, Road::kAccounts, "工作站信息文件", CheckState::kReady, {names, " 存在。"});
  else if (!host.DirectoryExists(windows))
    Add(check, Road::kAccounts, "工作站信息文件", CheckState::kAdmin,
        {"没有 ", names, "，也没有它所在的目录 ", windows, "（工作站的 Windows 还没有上传）。"},
        {"用客户端上传工作站的 Windows 到 ", windows, "，再按“编辑信息文件”建立它"});
  else
    Add(check, Road::kAccounts, "工作站信息文件", CheckState::kMissing, {"没有 ", names, "。"},
        {"按“编辑信息文件”，在提问中选“确定”"});
}

}  // namespace app
