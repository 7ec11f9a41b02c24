// The undo of a session or a step, carried out a step at a time as planned:
// the records first, folders made, old files staged beside their places and
// put back, files and folders removed; the undo's own journal keeps it all.
#include "app/undo.h"

#include "accounts/accounts_made.h"
#include "platform/command_line.h"
#include "platform/text.h"
#include "platform/textfile.h"
#include "rpl/records.h"

namespace app {
namespace {

// How long one program of an undo may take, in milliseconds.
const unsigned kUndoLimit = 120000;

}  // namespace

namespace {

// Runs one command of the undo; its line of what it changed goes into the
// undo's own journal. False with why.
bool RunUndoCommand(platform::JournalHost& journal, const Undo::Command& c, std::string* why) {
  // What is taken away is only what is still there, and what is added back
  // only what is not: an undo stopped part-way can be done again.
  std::string input = c.input;
  if (input.empty()) {
    bool there = false;
    const bool away = c.command.find("/delete") != std::string::npos || c.command.find(" stop ") != std::string::npos;
    if (accounts::NetRecordThere(journal, c.command, &there) && there != away) return true;
  } else {
    std::vector<std::string> script, listed_lines;
    std::vector<rpl::Record> listed;
    std::string unlisted;
    if (platform::ReadTextLines(journal, c.input, &script) &&
        rpl::ListRecords(journal, journal.WindowsDirectory(), &listed, &unlisted)) {
      std::vector<std::string> wanted;
      std::vector<rpl::Record> added;
      const bool adds = rpl::AddedRecords(script, &added);
      auto there = [&](char kind, const std::string& name) {
        for (const rpl::Record& r : listed)
          if (r.kind == kind && !r.fields.empty() && platform::SameName(r.fields[0], name)) return true;
        return false;
      };
      if (adds) {
        for (const rpl::Record& r : added)
          if (!there(r.kind, r.fields.empty() ? "" : r.fields[0])) {
            wanted.push_back(std::string(1, r.kind));
            wanted.push_back("A");
            wanted.insert(wanted.end(), r.fields.begin(), r.fields.end());
          }
      } else {
        for (size_t i = 0; i + 2 < script.size(); i += 3)
          if (script[i].size() == 1 && there(script[i][0], script[i + 2]))
            wanted.insert(wanted.end(), script.begin() + static_cast<long>(i), script.begin() + static_cast<long>(i) + 3);
      }
      if (wanted.empty()) return true;
      wanted.push_back("q");
      input = journal.folder() + "\\rplcmd.in";
      if (!platform::WriteTextLines(journal, input, wanted)) input = c.input;
    }
  }
  int code = 0;
  const platform::Host::Wait wait =
      input.empty() ? journal.RunToEnd(c.command, platform::kHide, kUndoLimit, &code)
                    : journal.RunToEndWithFiles(c.command, input, journal.folder() + "\\rplcmd.out", kUndoLimit, &code);
  if (wait != platform::Host::Wait::kFinished || code != 0) {
    *why = c.command + (wait == platform::Host::Wait::kNotStarted ? " 无法启动"
                        : wait == platform::Host::Wait::kTimedOut ? " 超时没有结束"
                                                                  : " 返回 " + std::to_string(code));
    // What the program said, its first lines.
    std::vector<std::string> said;
    if (!input.empty() && platform::ReadTextLines(journal, journal.folder() + "\\rplcmd.out", &said))
      for (size_t i = 0; i < said.size() && i < 4; ++i)
        if (!said[i].empty()) *why += (i == 0 ? "：" : " ") + said[i];
    return false;
  }
  if (c.inverse && !journal.StepPrograms().empty()) {
    // The undo's journal keeps its own copies of both files: what the
    // undo ran, and what takes it back.
    std::string made, taken;
    std::vector<std::string>& records = journal.StepPrograms().back().records;
    if (!journal.ReadFile(c.made, &made, SIZE_MAX) || !journal.ReadFile(c.taken, &taken, SIZE_MAX)) {
      records.push_back("未保留记录 " + c.command + " 改动的记录");
      return true;
    }
    const std::string made_file = journal.Keep(made), taken_file = journal.Keep(taken);
    records.push_back(std::string("记录 ") + (c.added_back ? "新增 " : "删除 ") + made_file + " " + taken_file +
                      (c.program.empty() ? "" : " " + c.program));
  }
  return true;
}

}  // namespace

namespace {

// One step's part of an undo, carried out: false at the first failure,
// with what failed in `why`. Folders that stay are added to `kept`.
bool ApplyPart(platform::JournalHost& journal, const Undo& undo, std::vector<std::string>* kept, std::string* why) {
  auto stop = [&](const std::string& what) {
    // What was staged and not put in its place goes.
    for (const Undo::Restore& r : undo.restore)
      if (journal.FileExists(r.path + ".new")) journal.DeleteFile(r.path + ".new");
    if (why->empty()) *why = what;
    return false;
  };
  for (const bool rplcmd : {true, false})
    for (const Undo::Command& c : undo.first)
      if (platform::SameName(platform::ProgramFileName(c.command), "rplcmd.exe") == rplcmd && !RunUndoCommand(journal, c, why))
        return stop(*why);
  for (const std::string& f : undo.make)
    if (!journal.MakeDirectory(f)) return stop("无法建立目录 " + f);
  // Staged: every old file beside its place before the first is put back.
  for (const Undo::Restore& r : undo.restore)
    if (!journal.CopyFile(r.kept, r.path + ".new", false) ||
        !journal.SetFileAttributes(r.path + ".new", platform::kAttrArchive))
      return stop("无法把 " + r.kept + " 复制到 " + r.path + ".new（目录只读或磁盘已满），这一步的文件都保持原样");
  for (const Undo::Restore& r : undo.restore) {
    if (journal.FileAttributes(r.path) & platform::kAttrReadOnly)
      journal.SetFileAttributes(r.path, platform::kAttrArchive);
    if (!journal.ReplaceFile(r.path + ".new", r.path)) return stop("无法替换 " + r.path);
    if (journal.FileAttributes(r.path) != r.attributes && !journal.SetFileAttributes(r.path, r.attributes))
      return stop("无法设定 " + r.path + " 的属性");
  }
  for (const std::string& f : undo.remove) {
    if (journal.FileAttributes(f) & platform::kAttrReadOnly) journal.SetFileAttributes(f, platform::kAttrArchive);
    if (!journal.DeleteFile(f)) return stop("无法删除 " + f);
  }
  kept->insert(kept->end(), undo.kept.begin(), undo.kept.end());
  for (const std::string& f : undo.folders)
    if (!journal.RemoveDirectory(f)) kept->push_back(f);
  for (const Undo::Command& c : undo.last)
    if (!RunUndoCommand(journal, c, why)) return stop(*why);
  return true;
}

}  // namespace

bool ApplyUndo(platform::JournalHost& journal, const Undo& undo, std::string* said) {
  if (!undo.plan.Refused() && undo.plan.changes.empty()) {
    *said = undo.title + "：没有要撤销的改动。";
    return true;
  }
  std::string why;
  if (!journal.BeginStep(undo.title, {}, &why)) {
    *said = "无法记下撤销的改动：" + why + "。没有撤销任何改动。";
    return false;
  }
  // A whole session is taken back a step at a time, the newest first, each
  // planned on what the newer ones gave back: in each, what its programs
  // added first (rplcmd's records before the others), then its files, then
  // what it took away added back. Everything was checked, for all steps,
  // before the first. rplcmd may refuse (a profile uses a configuration):
  // what was taken back of the newer steps is then in this undo's step,
  // and an undo done again takes away only what is still there.
  std::vector<std::string> kept;
  bool done = true;
  if (undo.step >= 0) {
    done = ApplyPart(journal, undo, &kept, &why);
  } else {
    for (int s = static_cast<int>(undo.session.steps.size()) - 1; s >= 0 && done; --s) {
      const Undo part = PlanUndo(journal, undo.root, undo.session, s);
      if (part.plan.Refused()) {
        why = part.plan.message;
        done = false;
      } else {
        done = ApplyPart(journal, part, &kept, &why);
      }
    }
  }
  StepBefore before;
  EndJournalStep(journal, before);
  if (!done) {
    *said = "撤销没有完成：" + why + "。已经撤销的改动记在操作记录中。";
    return false;
  }
  *said = undo.title + "：完成。";
  for (const std::string& f : kept) *said += "\r\n目录 " + f + " 里还有别的文件，保留下来。";
  return true;
}

}  // namespace app
