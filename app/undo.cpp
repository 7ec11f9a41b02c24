// The undo of a session or a step: planned from the journal and checked
// (carried out by undo_apply.cpp).
#include "app/undo.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/paths.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace app {
namespace {

// A journal line's words: its kind, then `fields` words, then the rest (a
// path, which may hold blanks).
bool Fields(const std::string& line, const std::string& kind, size_t fields, std::vector<std::string>* words) {
  if (line.rfind(kind + " ", 0) != 0) return false;
  words->clear();
  size_t at = kind.size() + 1;
  for (size_t i = 0; i < fields; ++i) {
    const size_t blank = line.find(' ', at);
    if (blank == std::string::npos) return false;
    words->push_back(line.substr(at, blank - at));
    at = blank + 1;
  }
  words->push_back(line.substr(at));
  return !words->back().empty();
}

// A kept copy's name as the journal writes it ("0001.old"): a file of the
// session's own folder, never a path elsewhere.
bool KeptName(const std::string& name) {
  const size_t dot = name.size() > 4 ? name.size() - 4 : 0;
  return dot > 0 && name.compare(dot, 4, ".old") == 0 &&
         name.find_first_not_of("0123456789") == dot;
}

// A file's attributes as the journal writes them: a decimal number.
bool AttributesOf(const std::string& text, unsigned* attributes) {
  if (text.empty() || text.size() > 10 || text.find_first_not_of("0123456789") != std::string::npos) return false;
  const unsigned long long value = std::stoull(text);
  *attributes = static_cast<unsigned>(value);
  return value <= 0xFFFFFFFFull;
}

// How a path is, or was: absent, a folder, or a file (its size and hash, or
// the kept copy and attributes it is to get back).
struct State {
  enum { kAbsent, kFolder, kFile } is = kAbsent;
  std::string size, hash, kept;
  unsigned attributes = 0;
};

struct PathUndo {
  std::string path;
  State expect, target;  // as the newest step left it; as the oldest found it
};

// The record lines of one step that take each other back: records the step
// added and then took away again, or took away and added back, the one
// line's script the other's inverse (their kept bytes crossed). Together
// they changed nothing, so their undo does nothing: run one by one, the
// adding back would find the step's files gone.
std::set<size_t> RecordsThatCameAndWent(platform::Host& host, const std::string& folder,
                                        const std::vector<std::string>& lines) {
  struct Line {
    size_t at;
    bool added;
    std::string made, taken;
  };
  std::vector<Line> records;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::vector<std::string> w;
    if (!Fields(lines[i], "记录", 3, &w) && !Fields(lines[i], "记录", 2, &w)) continue;
    Line r{i, w[0] == "新增", "", ""};
    if (host.ReadFile(folder + "\\" + w[1], &r.made, SIZE_MAX) && host.ReadFile(folder + "\\" + w[2], &r.taken, SIZE_MAX))
      records.push_back(r);
  }
  std::set<size_t> gone;
  for (const Line& a : records)
    for (const Line& b : records)
      if (a.added && !b.added && !gone.count(a.at) && !gone.count(b.at) && a.made == b.taken && a.taken == b.made) {
        gone.insert(a.at);
        gone.insert(b.at);
      }
  return gone;
}

}  // namespace

Undo PlanUndo(platform::Host& host, const std::string& root, const JournalSession& session, int step) {
  Undo u;
  u.session = session;
  u.root = root;
  u.step = step;
  const std::string folder = root + "\\" + session.name;
  u.title = step < 0 ? "撤销 " + session.name
                     : "撤销 " + session.name + " 的第 " + std::to_string(step + 1) + " 步（" +
                           session.steps[static_cast<size_t>(step)].name + "）";
  u.plan.button = "撤销";
  const char kCaption[] = "撤销";
  auto refuse = [&](const std::string& why) {
    u.plan.Refuse(why + "没有撤销任何改动。", kCaption, platform::kMbIconExclamation, "", true);
    return u;
  };
  auto unreadable = [&](const std::string& line) {
    return refuse("操作记录 " + folder + "\\journal.txt 中有一行读不懂（" + line + "），");
  };
  const std::string windows = host.WindowsDirectory();
  auto own_program = [&](const std::string& command) {
    const std::vector<std::string> words = platform::SplitCommandLine(command);
    return !words.empty() && (platform::SameFilePath(host, words[0], paths::NetProgram(windows)) ||
                              platform::SameFilePath(host, words[0], paths::Rplcmd(windows)));
  };
  std::map<std::string, size_t> index;
  std::vector<PathUndo> paths;
  auto at = [&](const std::string& path, bool* first) -> PathUndo& {
    const std::string key = platform::PathKey(path);
    *first = !index.count(key);
    if (*first) {
      index[key] = paths.size();
      paths.push_back({path, {}, {}});
    }
    return paths[index[key]];
  };
  // The steps newest first, each step's lines last first.
  const int from = step < 0 ? static_cast<int>(session.steps.size()) - 1 : step, to = step < 0 ? 0 : step;
  for (int s = from; s >= to; --s) {
    const std::vector<std::string>& lines = session.steps[static_cast<size_t>(s)].lines;
    const std::set<size_t> came_and_went = RecordsThatCameAndWent(host, folder, lines);
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
      if (came_and_went.count(static_cast<size_t>(lines.rend() - line) - 1)) continue;
      std::vector<std::string> w;
      State left, found;
      if (Fields(*line, "新建目录", 0, &w)) {
        left.is = State::kFolder;
      } else if (Fields(*line, "删除目录", 0, &w)) {
        found.is = State::kFolder;
      } else if (Fields(*line, "新建", 2, &w)) {
        left = {State::kFile, w[0], w[1], "", 0};
      } else if (Fields(*line, "替换", 4, &w)) {
        left = {State::kFile, w[0], w[1], "", 0};
        found = {State::kFile, "", "", w[2], 0};
        if (!KeptName(w[2]) || !AttributesOf(w[3], &found.attributes)) return unreadable(*line);
        w.erase(w.begin(), w.begin() + 2);
      } else if (Fields(*line, "删除", 2, &w)) {
        found = {State::kFile, "", "", w[0], 0};
        if (!KeptName(w[0]) || !AttributesOf(w[1], &found.attributes)) return unreadable(*line);
      } else if (Fields(*line, "未保留", 0, &w)) {
        return refuse("操作记录中没有保留 " + w.back() + " 原来的样子，");
      } else if (Fields(*line, "未保留记录", 0, &w)) {
        return refuse("操作记录中不知道 " + w.back() + "，");
      } else if (Fields(*line, "记录", 3, &w) || Fields(*line, "记录", 2, &w)) {
        // "记录 新增|删除 MADE TAKEN [PROGRAM]": what a program added (taken
        // away first) or took away (added back last).
        const bool added = w[0] == "新增";
        if ((!added && w[0] != "删除") || !KeptName(w[1]) || !KeptName(w[2])) return unreadable(*line);
        std::vector<std::string> lines_run;
        if (!platform::ReadTextLines(host, folder + "\\" + w[2], &lines_run))
          return refuse("无法读取操作记录中保留的 " + folder + "\\" + w[2] + "，");
        const std::string program = w.size() > 3 ? w[3] : "";
        // Only the programs the tool itself runs are run again: net and
        // rplcmd, in the system folder.
        for (const std::string& command : program.empty() ? lines_run : std::vector<std::string>{program})
          if (!own_program(command)) return refuse("操作记录中保留的 " + folder + "\\" + w[2] + " 要运行的 " + command + " 不是本程序运行过的命令，");
        std::vector<Undo::Command>& list = added ? u.first : u.last;
        if (!program.empty()) list.push_back({program, folder + "\\" + w[2], false, false, "", "", ""});
        for (size_t i = 0; program.empty() && i < lines_run.size(); ++i)
          list.push_back({lines_run[i], "", false, false, "", "", ""});
        if (!list.empty()) {
          // Run, it takes away what was added (or adds back what was taken away).
          Undo::Command& c = list.back();
          c.inverse = true;
          c.added_back = !added;
          c.made = folder + "\\" + w[2];
          c.taken = folder + "\\" + w[1];
          c.program = program;
        }
        continue;
      } else {
        continue;  // a message, a program started: nothing to take back
      }
      bool first = false;
      PathUndo& p = at(w.back(), &first);
      if (first) p.expect = left;
      p.target = found;
    }
  }
  // Everything is checked before anything is planned: a file changed since
  // refuses the whole undo.
  for (const PathUndo& p : paths) {
    const bool is_folder = host.DirectoryExists(p.path), is_file = !is_folder && host.FileExists(p.path);
    if (p.expect.is == State::kFile) {
      std::string bytes;
      if (!is_file || !host.ReadFile(p.path, &bytes, SIZE_MAX) || std::to_string(bytes.size()) != p.expect.size ||
          platform::HashOf(bytes) != p.expect.hash)
        return refuse(p.path + (is_file ? " 在那以后又改动过" : " 在那以后已经不在了") + "，");
    } else if (p.expect.is == State::kAbsent && (is_file || is_folder)) {
      return refuse(p.path + " 在那以后又建立了，");
    } else if (p.expect.is == State::kFolder && is_file) {
      return refuse(p.path + " 在那以后成了文件，");
    }
    if (p.target.is == State::kFile && !host.FileExists(folder + "\\" + p.target.kept))
      return refuse("操作记录中保留的 " + folder + "\\" + p.target.kept + "（" + p.path + " 原来的样子）不见了，");
  }
  // The plan: records first, folders to make, files, folders to remove.
  auto described = [](const Undo::Command& c) { return c.input.empty() ? c.command : c.command + " <" + c.input; };
  for (const Undo::Command& c : u.first) u.plan.Program(described(c), "", "");
  for (const PathUndo& p : paths) {
    const bool is_folder = host.DirectoryExists(p.path), is_file = !is_folder && host.FileExists(p.path);
    if (p.target.is == State::kFolder && !is_folder) u.make.push_back(p.path);
    if (p.target.is == State::kFile) u.restore.push_back({p.path, folder + "\\" + p.target.kept, p.target.attributes});
    if (p.target.is == State::kAbsent && is_file) u.remove.push_back(p.path);
    if (p.target.is == State::kAbsent && is_folder) u.folders.push_back(p.path);
  }
  // Folders to make, the outer first; to remove, the inner first; each
  // level in name order.
  auto depth = [](const std::string& path) { return std::count(path.begin(), path.end(), '\\'); };
  std::sort(u.make.begin(), u.make.end(), [&](const std::string& a, const std::string& b) {
    return depth(a) != depth(b) ? depth(a) < depth(b) : platform::PathKey(a) < platform::PathKey(b);
  });
  std::sort(u.folders.begin(), u.folders.end(), [&](const std::string& a, const std::string& b) {
    return depth(a) != depth(b) ? depth(a) > depth(b) : platform::PathKey(a) < platform::PathKey(b);
  });
  // A folder that holds what this undo does not take away stays.
  std::vector<std::string> going = u.remove;
  std::vector<std::string> folders;
  for (const std::string& f : u.folders) {
    std::vector<platform::DirEntry> entries;
    bool empty_after = host.ListDirectory(f, &entries);
    for (const platform::DirEntry& e : entries) {
      if (e.name == "." || e.name == "..") continue;
      bool goes = false;
      for (const std::string& g : going) goes = goes || platform::SameName(g, f + "\\" + e.name);
      empty_after = empty_after && goes;
    }
    if (empty_after) {
      folders.push_back(f);
      going.push_back(f);
    } else {
      u.kept.push_back(f);
    }
  }
  u.folders = folders;
  for (const std::string& f : u.make) u.plan.Folder(f, "");
  for (const Undo::Restore& r : u.restore) u.plan.Replace(r.path, "操作记录中保留的 " + r.kept, "");
  for (const std::string& f : u.remove) u.plan.Delete(f, "");
  for (const std::string& f : u.folders) u.plan.changes.push_back({plan::Change::kRemoveFolder, f, "", ""});
  for (const Undo::Command& c : u.last) u.plan.Program(described(c), "", "");
  return u;
}

int UndoCommand(platform::Host& host, const std::vector<std::string>& words, std::vector<std::string>* printed) {
  if (words.empty() || !platform::SameName(words[0], "/undo")) return -1;
  std::vector<std::string> rest(words.begin() + 1, words.end());
  std::string log_path;
  if (rest.size() >= 2 && platform::SameName(rest[rest.size() - 2], "/log")) {
    log_path = rest.back();
    rest.resize(rest.size() - 2);
    if (log_path.empty()) return 2;
  }
  // "/undo SESSION /plan": what the undo would do, and nothing done.
  const bool dry = rest.size() == 2 && platform::SameName(rest[1], "/plan");
  if (dry) rest.pop_back();
  if (rest.size() > 1) return 2;
  // The log is written once before anything is done: one that cannot be
  // written stops the undo before it begins.
  if (!log_path.empty() && !platform::WriteTextLines(host, log_path, {"撤销没有结束：日志只写到这里。"})) return 2;
  const std::string root = paths::JournalRoot(host.CurrentDirectory());
  const std::vector<JournalSession> sessions = ReadJournal(host, root);
  int status = 0;
  if (rest.empty()) {
    printed->push_back(sessions.empty() ? "没有记下的会话。" : "记下的会话，最新的在前：");
    for (const JournalSession& s : sessions) {
      printed->push_back(s.heading);
      for (size_t i = 0; i < s.steps.size(); ++i)
        printed->push_back("  第 " + std::to_string(i + 1) + " 步：" + s.steps[i].name);
    }
  } else {
    const JournalSession* chosen = nullptr;
    for (const JournalSession& s : sessions)
      if (platform::SameName(s.name, rest[0])) chosen = &s;
    if (!chosen) {
      printed->push_back("没有会话 " + rest[0] + "。用 Server.exe /undo 列出记下的会话。");
      status = 2;
    } else {
      const Undo undo = PlanUndo(host, root, *chosen, -1);
      for (const std::string& line : plan::Describe(undo.plan)) printed->push_back(line);
      std::string said;
      if (undo.plan.Refused()) {
        status = 1;
      } else if (dry) {
        printed->push_back("只做了计划，服务器没有改动。");
      } else {
        platform::JournalHost journal(host, root, "撤销 " + chosen->name);
        status = ApplyUndo(journal, undo, &said) ? 0 : 1;
        printed->push_back(said);
      }
    }
  }
  if (!log_path.empty() && !platform::WriteTextLines(host, log_path, *printed)) return 2;
  return status;
}

}  // namespace app
