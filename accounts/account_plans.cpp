// The account buttons in two parts: the plan of 生成用户及目录 and of
// 编辑信息文件 (what each will change on this server, or why it refuses, read
// before anything changes, and the server check's items it looks at), and
// the carrying out of such a plan.
#include <algorithm>
#include <set>

#include "accounts/users.h"
#include "base/names.h"
#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace accounts {
namespace {

const char kWarningCaption[] = "morva提示";
const char kShared[] = "共享目录", kUsers[] = "用户目录", kNames[] = "工作站信息文件";
const char kPress[] = "按“生成用户及目录”";
const char kNamesFileQuestion[] = "netnames.db不存在，是否创建它?";
// The shared directory and the count the main window starts with: what the
// advice types when the field's own text will not do.
const char kUsualShared[] = "D:\\PVDROOT";
const int kUsualCount = 30;

// Names in a line: the first eight joined by "、", then how many in all.
std::string NameList(const std::vector<std::string>& names) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < 8; ++i) text += (i ? "、" : "") + names[i];
  if (names.size() > 8) text += " 等 " + std::to_string(names.size()) + " 个";
  return text;
}

// The warning of folders that cannot be made, one a line: the first ten,
// then how many more.
std::string FoldersMessage(const std::vector<std::string>& folders) {
  const size_t kShown = 10;
  std::string list;
  for (size_t i = 0; i < folders.size() && i < kShown; ++i) list += folders[i] + "\r\n";
  if (folders.size() > kShown) list += "……另有 " + std::to_string(folders.size() - kShown) + " 个目录\r\n";
  return "以下目录无法创建（驱动器不存在、上级目录不可写，或已有同名的文件）：\r\n" + list +
         "账户脚本没有写入，也没有运行，没有创建用户。";
}

// Why a file cannot be written in its place (a folder there, or the file
// read-only), or ""; and what the administrator does about it.
std::string Unwritable(platform::Host& host, const std::string& path) {
  if (host.DirectoryExists(path)) return path + " 是目录";
  if (host.FileExists(path) && (host.FileAttributes(path) & platform::kAttrReadOnly)) return path + " 有只读属性";
  return "";
}
std::string Unblocking(platform::Host& host, const std::string& path) {
  return host.DirectoryExists(path) ? "把目录 " + path + " 改名或移走" : "去掉 " + path + " 的只读属性";
}

bool DriveMissing(platform::Host& host, const std::string& shared) {
  return IsDirectoryBelowRoot(shared) && !host.DirectoryExists(shared.substr(0, 3));
}

bool HasProblem(const AccountFields& f, const char* field) {
  for (const FieldProblem& p : FieldProblems(f))
    if (p.field == field) return true;
  return false;
}

// A shared directory the button takes near the one given: its first level,
// without blanks, control characters and the characters of batch lines and
// of names net refuses, on its own drive, else on D:, else on the first
// fixed drive that is there; "" when none.
std::string SuggestedShared(platform::Host& host, const AccountFields& f) {
  const std::string& shared = f.shared_directory;
  std::string name, own = shared.size() >= 2 && shared[1] == ':' ? shared.substr(0, 2) : "";
  const size_t from = own.empty() ? 0 : 3, to = shared.find('\\', from);
  for (char c : shared.substr(std::min(from, shared.size()), to == std::string::npos ? std::string::npos : to - from))
    if (static_cast<unsigned char>(c) > ' ' && c != 0x7F && std::string("&|<>^\"%\\/[]:;=,+*?").find(c) == std::string::npos)
      name += c;
  std::vector<std::string> drives = {own, std::string(kUsualShared, 2)};
  for (const platform::DriveEntry& d : host.Drives())
    if (d.fixed) drives.push_back(std::string(1, d.letter) + ":");
  for (const std::string& drive : drives) {
    if (drive.empty() || !host.DirectoryExists(drive + "\\")) continue;
    for (const std::string& candidate : {drive + "\\" + name, drive + (kUsualShared + 2)}) {
      AccountFields g = f;
      g.shared_directory = candidate;
      if (!HasProblem(g, kSharedField)) return candidate;
    }
    return "";
  }
  return "";
}

// A plan, and the item whose need the button refuses on.
struct Draft {
  plan::Plan plan;
  std::string refused_item;
};
Draft UsersDraft(platform::Host& host, const AccountFields& f, int script, bool advise);

// What the administrator types so that the button goes ahead: a shared
// directory it takes, on a drive that is there, and the usual count; then
// the press. With `admin` set when typing does not do it.
std::string Retyped(platform::Host& host, const AccountFields& f, int script, bool advise, bool* admin) {
  *admin = true;
  const std::string by_hand = std::string("改正账户一栏后") + kPress;
  if (!advise) return by_hand;
  AccountFields g = f;
  std::string steps;
  if (HasProblem(g, kSharedField) || DriveMissing(host, g.shared_directory)) {
    g.shared_directory = SuggestedShared(host, g);
    if (g.shared_directory.empty()) return by_hand;
    steps += "在“共享目录”中填 " + g.shared_directory + "，";
  }
  if (HasProblem(g, kCountField)) {
    g.count = std::to_string(std::min(kUsualCount, MostUsers(g.prefix)));
    steps += "在“用户数目”中填 " + g.count + "（工作站的个数），";
  }
  const Draft again = UsersDraft(host, g, script, false);
  if (!again.plan.Refused()) {
    *admin = false;
    return steps + kPress;
  }
  if (!FieldProblems(g).empty() || DriveMissing(host, g.shared_directory)) return by_hand;
  return "先按“" + again.refused_item + "”一项处理，再" + steps + kPress;
}

Draft UsersDraft(platform::Host& host, const AccountFields& f, int script, bool advise) {
  Draft draft;
  plan::Plan& p = draft.plan;
  p.button = "生成用户及目录";
  p.how = kPress;
  const std::string& shared = f.shared_directory;
  const std::vector<FieldProblem> problems = FieldProblems(f);
  const FieldProblem* shared_problem = nullptr;
  const FieldProblem* users_problem = nullptr;
  for (const FieldProblem& problem : problems) {
    const FieldProblem*& first = problem.field == kSharedField ? shared_problem : users_problem;
    if (!first) first = &problem;
  }
  const bool below_root = IsDirectoryBelowRoot(shared);
  const bool shared_file = below_root && host.FileExists(shared);
  const bool drive_missing = DriveMissing(host, shared);
  const bool shared_there = below_root && host.DirectoryExists(shared);
  // The users, when the count is one the button takes, each a folder there,
  // a file in a folder's place, or missing.
  int count = -1;
  if (!ParseUserCount(f.count, &count) || count < 0 || count > MostUsers(f.prefix)) count = -1;
  std::set<std::string> folders, files;
  std::vector<platform::DirEntry> entries;
  if (count > 0 && shared_there && host.ListDirectory(shared, &entries))
    for (const platform::DirEntry& e : entries) (e.is_directory ? folders : files).insert(platform::Lower(e.name));
  std::vector<std::string> missing, in_the_way;
  for (int i = 1; i <= count; ++i) {
    const std::string name = UserName(f.prefix, i), lower = platform::Lower(name);
    if (files.count(lower)) in_the_way.push_back(paths::UserDirectory(shared, name));
    else if (!folders.count(lower)) missing.push_back(name);
  }
  // c:\temps.bak and the script, and the command interpreter that runs it.
  std::vector<std::string> bak;
  const bool bak_there = host.FileExists(paths::kTempsBak);
  const bool bak_read = bak_there && platform::ReadTextLines(host, paths::kTempsBak, &bak);
  const std::string bak_blocked = Unwritable(host, paths::kTempsBak);
  const std::string script_blocked = Unwritable(host, paths::kUserTempBat);
  const std::string windows = host.WindowsDirectory();
  const std::string interpreter = paths::CommandInterpreter(windows);
  const std::string command = paths::AccountScriptCommand(windows);
  const bool interpreter_there = host.FileExists(interpreter);

  // The refusal, in the order the button looks.
  bool retyped_admin = true;
  std::string retyped;
  if (!problems.empty() || drive_missing) retyped = Retyped(host, f, script, advise, &retyped_admin);
  struct {
    const char* item = nullptr;
    std::string message, todo;
    bool admin = true;
  } refusal;
  auto refuse = [&](const char* item, const std::string& message, const std::string& todo, bool admin) {
    if (!refusal.item) refusal = {item, message, todo, admin};
  };
  if (host.StillRunning(script))
    refuse(kUsers, std::string("上一次的账户脚本 ") + paths::kUserTempBat + " 仍在运行，用户还在创建中。请等它结束后再生成用户及目录。",
           std::string("等上一次的账户脚本运行结束，再") + kPress, true);
  if (!problems.empty())
    refuse(problems[0].field == kSharedField ? kShared : kUsers, problems[0].message, retyped, retyped_admin);
  const std::string move_file = "把文件 " + NameList(shared_file ? std::vector<std::string>{shared} : in_the_way) +
                                " 改名或移走，再" + kPress;
  if (shared_file) refuse(kShared, FoldersMessage({shared}), move_file, true);
  if (drive_missing) refuse(kShared, FoldersMessage({shared}), retyped, retyped_admin);
  if (!in_the_way.empty()) refuse(kUsers, FoldersMessage(in_the_way), move_file, true);
  if (!bak_blocked.empty())
    refuse(kShared, std::string("无法写入 ") + paths::kTempsBak + "（文件只读、被占用或磁盘已满），账户脚本没有运行，没有创建用户。",
           "先" + Unblocking(host, paths::kTempsBak) + "，再" + kPress, true);
  if (!script_blocked.empty())
    refuse(kUsers, std::string("无法写入账户脚本 ") + paths::kUserTempBat + "（文件只读、被占用或磁盘已满），没有创建用户。",
           "先" + Unblocking(host, paths::kUserTempBat) + "，再" + kPress, true);
  if (!interpreter_there)
    refuse(kUsers, "无法启动账户脚本 " + command + "，没有创建用户。",
           "把系统的 command.com 放回 " + windows + "\\system32 中，再" + kPress, true);
  const bool refused = refusal.item != nullptr;
  // An item the refusal keeps the button from making: the refusal's typing
  // makes it too; else it waits for the refusal's item.
  auto blocked = [&](const char* item, const std::string& found) {
    if (!refusal.admin)
      p.Unmet(item, found, refusal.todo, false);
    else
      p.Unmet(item, found, "先按“" + std::string(refusal.item) + "”一项处理，再" + kPress, true);
  };

  // The shared directory.
  if (bak_there && !bak_read)
    p.Unreadable(kShared, std::string(paths::kTempsBak) + " 存在但无法读取，不知道共享目录是哪一个。",
                 std::string("关闭占用 ") + paths::kTempsBak + " 的程序后重新检查");
  if (shared_problem)
    p.Unmet(kShared, shared.empty() ? "“共享目录”一栏是空的。" : "“生成用户及目录”不接受 " + shared + "：" + shared_problem->message,
            retyped, retyped_admin);
  else if (shared_file)
    p.Unmet(kShared, shared + " 是一个文件，不是目录。", move_file, true);
  else if (drive_missing)
    p.Unmet(kShared, "没有驱动器 " + shared.substr(0, 3) + "，无法建立 " + shared + "。", retyped, retyped_admin);
  else if (!bak_blocked.empty())
    p.Unmet(kShared, bak_blocked + "，“生成用户及目录”无法在其中记下共享目录。", "先" + Unblocking(host, paths::kTempsBak) + "，再" + kPress,
            true);
  else if (shared_there)
    p.Met(kShared, shared + " 存在，共享名 " + base::ShareName(shared) + "。");
  else if (refused)
    blocked(kShared, "没有目录 " + shared + "。");
  else {
    p.Met(kShared, "没有目录 " + shared + "。");
    p.Folder(shared, kShared);
  }

  // The user directories.
  const std::string which = count > 1   ? "（" + UserName(f.prefix, 1) + "…" + UserName(f.prefix, count) + "）"
                            : count == 1 ? "（" + UserName(f.prefix, 1) + "）"
                                         : "";
  const std::string users = "按“用户前辍”" + f.prefix + "和“用户数目”" + std::to_string(count) + "，" +
                            std::to_string(count) + " 个用户目录" + which;
  if (users_problem)
    p.Unmet(kUsers, "“生成用户及目录”不接受账户一栏：" + users_problem->message, retyped, retyped_admin);
  else if (!script_blocked.empty())
    p.Unmet(kUsers, script_blocked + "，“生成用户及目录”无法写入账户脚本。",
            "先" + Unblocking(host, paths::kUserTempBat) + "，再" + kPress, true);
  else if (!interpreter_there)
    p.Unmet(kUsers, "没有 " + interpreter + "，账户脚本无法运行。",
            "把系统的 command.com 放回 " + windows + "\\system32 中，再" + kPress, true);
  else if (!in_the_way.empty())
    p.Unmet(kUsers, NameList(in_the_way) + " 是文件，不是目录。", move_file, true);
  else if (missing.empty())
    p.Met(kUsers, users + "都在。");
  else if (refused)
    blocked(kUsers, users + "中缺少 " + std::to_string(missing.size()) + " 个：" + NameList(missing) + "。");
  else {
    p.Met(kUsers, users + "中缺少 " + std::to_string(missing.size()) + " 个：" + NameList(missing) + "。");
    for (const std::string& name : missing) p.Folder(paths::UserDirectory(shared, name), kUsers);
  }

  if (refused) {
    draft.refused_item = refusal.item;
    p.Refuse(refusal.message, kWarningCaption, platform::kMbIconExclamation, refusal.todo, refusal.admin);
    return draft;
  }
  // The script and its run make the accounts of the folders made with them:
  // with every folder there, they make nothing new.
  const bool nothing_new = p.changes.empty();
  const bool bak_same = bak_read && bak.size() == 1 && bak[0] == shared;
  if (bak_there)
    p.Replace(paths::kTempsBak, shared, kShared, bak_same);
  else
    p.Write(paths::kTempsBak, shared, kShared);
  const std::string script_text = "账户脚本：" + std::to_string(count) + " 个用户";
  if (host.FileExists(paths::kUserTempBat))
    p.Replace(paths::kUserTempBat, script_text, kUsers, nothing_new);
  else
    p.Write(paths::kUserTempBat, script_text, kUsers);
  p.changes.back().refresh = nothing_new;
  p.Program(command, "本机的用户、组和共享", kUsers);
  p.changes.back().refresh = nothing_new;
  return draft;
}

}  // namespace

plan::Plan PlanUsers(platform::Host& host, const AccountFields& fields, int script) {
  return UsersDraft(host, fields, script, true).plan;
}

void ApplyUsers(platform::Host& host, platform::Ui& ui, const plan::Plan& plan, const AccountFields& f,
                platform::ProgressBar& progress, int* running) {
  if (plan.Refused()) {
    ui.MessageBox(plan.message, plan.caption, plan.flags);
    return;
  }
  // The folders, the bar moving on with the users'. A folder below one that
  // could not be made is not tried: that one is named.
  progress.SetVisible(true);
  long long users = 0, made = 0;
  for (const plan::Change& c : plan.changes) users += c.kind == plan::Change::kFolder && c.item == kUsers;
  std::vector<std::string> missing;
  for (const plan::Change& c : plan.changes) {
    if (c.kind != plan::Change::kFolder) continue;
    const bool below = std::any_of(missing.begin(), missing.end(), [&](const std::string& m) {
      return platform::Lower(c.path).compare(0, m.size() + 1, platform::Lower(m) + "\\") == 0;
    });
    if (!below) {
      host.MakeDirectory(c.path);
      if (!host.DirectoryExists(c.path)) missing.push_back(c.path);
    }
    if (c.item == kUsers) progress.SetPosition(static_cast<int>(++made * 100 / users));
  }
  progress.SetPosition(100);
  // Accounts without their directories would be shares of nothing: the
  // script is neither written nor started.
  if (!missing.empty()) {
    progress.SetVisible(false);
    ui.MessageBox(FoldersMessage(missing), kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // c:\temps.bak for the next start, then the script written whole. A
  // script that cannot be written (locked, a full disk) stays as it was and
  // is not run: it is an earlier run's, or none.
  int count = 0;
  ParseUserCount(f.count, &count);
  bool remembered = true, written = true;
  for (const plan::Change& c : plan.changes) {
    if (c.kind != plan::Change::kWrite && c.kind != plan::Change::kReplace) continue;
    if (platform::SameName(c.path, paths::kTempsBak))
      remembered = platform::WriteTextLines(host, c.path, {f.shared_directory});
    else if (remembered)
      written = platform::WriteTextLines(host, c.path, AccountScript(f, count));
  }
  progress.SetVisible(false);
  if (!remembered) {
    ui.MessageBox(std::string("无法写入 ") + paths::kTempsBak + "（文件只读、被占用或磁盘已满），账户脚本没有运行，没有创建用户。",
                  kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  if (!written) {
    ui.MessageBox(std::string("无法写入账户脚本 ") + paths::kUserTempBat + "（文件只读、被占用或磁盘已满），没有创建用户。",
                  kWarningCaption, platform::kMbIconExclamation);
    return;
  }
  // The script runs unseen; the handler does not wait for it, but keeps
  // its number, so that the script stays in place until it has ended. The
  // command interpreter keeps the script open while it runs: no later start
  // of this program deletes it under it (退出系统 removes the script).
  for (const plan::Change& c : plan.changes) {
    if (c.kind != plan::Change::kProgram) continue;
    *running = host.StartWatched(c.path, platform::kHide, paths::kUserTempBat);
    if (*running == 0) {
      ui.MessageBox("无法启动账户脚本 " + c.path + "，没有创建用户。", kWarningCaption, platform::kMbIconExclamation);
      return;
    }
  }
  ui.MessageBox("目录创建完成，正在创建用户，请稍后...", "进程提示", platform::kMbOk);
}

void GenerateUsers(platform::Host& host, platform::Ui& ui, const AccountFields& fields,
                   platform::ProgressBar& progress, int* script) {
  ApplyUsers(host, ui, PlanUsers(host, fields, *script), fields, progress, script);
}

plan::Plan PlanNamesFile(platform::Host& host, const std::string& shared_directory) {
  plan::Plan p;
  p.button = "编辑信息文件";
  const std::string names = paths::NetNamesFile(shared_directory);
  const std::string windows = shared_directory + "\\windows";
  const std::string notepad = platform::QuotedIfBlank(paths::Notepad(host.WindowsDirectory())) + " " + names;
  // An existing file opens at once; Notepad changes only what the
  // administrator types.
  if (host.FileExists(names)) {
    p.how = "按“编辑信息文件”";
    p.Met(kNames, names + " 存在。");
    p.ShownProgram(notepad, names, kNames);
    p.changes.back().refresh = true;
    return p;
  }
  p.how = "按“编辑信息文件”，在提问中选“确定”";
  if (host.DirectoryExists(names))
    p.Unmet(kNames, names + " 是一个目录，不是文件。", "把目录 " + names + " 改名或移走，再" + p.how, true);
  else if (!host.DirectoryExists(windows))
    p.Unmet(kNames, "没有 " + names + "，也没有它所在的目录 " + windows + "（工作站的 Windows 还没有上传）。",
            "用客户端上传工作站的 Windows 到 " + windows + "，再按“编辑信息文件”建立它", true);
  else
    p.Met(kNames, "没有 " + names + "。");
  // The button asks, then makes the empty file and opens Notepad whether or
  // not the file could be made.
  p.questions.push_back(kNamesFileQuestion);
  p.Write(names, "空文件", kNames);
  p.ShownProgram(notepad, names, kNames);
  return p;
}

void EditNamesFile(platform::Host& host, platform::Ui& ui, const std::string& shared_directory) {
  const plan::Plan plan = PlanNamesFile(host, shared_directory);
  if (!plan.questions.empty() && ui.MessageBox(plan.questions.front(), "提示", platform::kMbOkCancel) != platform::kIdOk)
    return;
  for (const plan::Change& c : plan.changes) {
    if (c.kind == plan::Change::kWrite) host.WriteFile(c.path, "");
    if (c.kind == plan::Change::kProgram) host.RunCommand(c.path, platform::kShowNormal);
  }
}

bool MakeNamesFile(platform::Host& host, const std::string& shared_directory) {
  for (const plan::Change& c : PlanNamesFile(host, shared_directory).changes)
    if (c.kind == plan::Change::kWrite) host.WriteFile(c.path, "");
  return host.FileExists(paths::NetNamesFile(shared_directory));
}

}  // namespace accounts
