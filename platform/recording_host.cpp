// The host that keeps a record of what changed on the machine.
#include "platform/recording_host.h"

#include "platform/text.h"

namespace platform {

namespace {

// A waited-for program's line with how it ended.
std::string Outcome(const std::string& what, Host::Wait wait, const int* exit_code) {
  return what + "：" +
         (wait == Host::Wait::kFinished   ? "返回值 " + std::to_string(*exit_code)
          : wait == Host::Wait::kTimedOut ? std::string("超时，已结束")
                                          : std::string("无法启动"));
}

}  // namespace

std::vector<std::string> RecordingHost::TakeRecord() {
  std::vector<std::string> lines;
  for (const Entry& e : entries_) {
    switch (e.change) {
      case Change::kFolder: lines.push_back("新建目录 " + e.what); break;
      case Change::kWritten: lines.push_back("写入 " + e.what); break;
      case Change::kDeleted: lines.push_back("删除 " + e.what); break;
      case Change::kAttributes: lines.push_back("属性 " + e.what); break;
      case Change::kStarted: lines.push_back(e.what); break;
    }
  }
  entries_.clear();
  existed_.clear();
  return lines;
}

void RecordingHost::Note(Change change, const std::string& what) {
  if (change != Change::kStarted)
    if (Entry* e = FileEntry(what)) {
      // A file keeps one line: written wins over attributes, deleted over both.
      if (change == Change::kDeleted || e->change == Change::kAttributes) e->change = change;
      return;
    }
  entries_.push_back({change, what});
}

RecordingHost::Entry* RecordingHost::FileEntry(const std::string& path) {
  for (Entry& e : entries_)
    if (e.change != Change::kStarted && e.change != Change::kFolder && SameName(e.what, path)) return &e;
  return nullptr;
}

void RecordingHost::RunCommand(const std::string& command_line, ShowMode show) {
  inner_.RunCommand(command_line, show);
  Note(Change::kStarted, "启动 " + command_line);
}

int RecordingHost::StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file) {
  const int program = inner_.StartWatched(command_line, show, held_file);
  Note(Change::kStarted, (program ? "启动 " : "无法启动 ") + command_line);
  return program;
}

Host::Wait RecordingHost::RunToEnd(const std::string& command_line, ShowMode show, unsigned limit,
                                   int* exit_code) {
  const Wait wait = inner_.RunToEnd(command_line, show, limit, exit_code);
  Note(Change::kStarted, Outcome("运行 " + command_line, wait, exit_code));
  return wait;
}

Host::Wait RecordingHost::RunToEndWithFiles(const std::string& command_line, const std::string& input,
                                            const std::string& output, unsigned limit, int* exit_code) {
  // The output file is the program's: it is made or emptied whatever comes.
  const bool existed = inner_.FileExists(output);
  const Wait wait = inner_.RunToEndWithFiles(command_line, input, output, limit, exit_code);
  if (inner_.FileExists(output)) {
    if (existed && !FileEntry(output)) existed_.push_back(output);
    Note(Change::kWritten, output);
  }
  Note(Change::kStarted, Outcome("运行 " + command_line + " <" + input + " >" + output, wait, exit_code));
  return wait;
}

Host::Wait RecordingHost::RunToEndCapturing(const std::string& command_line, const std::string& input,
                                            std::string* printed, unsigned limit, int* exit_code) {
  const Wait wait = inner_.RunToEndCapturing(command_line, input, printed, limit, exit_code);
  Note(Change::kStarted, Outcome("询问 " + command_line, wait, exit_code));
  return wait;
}

bool RecordingHost::MakeDirectory(const std::string& path) {
  if (!inner_.MakeDirectory(path)) return false;
  Note(Change::kFolder, path);
  return true;
}

bool RecordingHost::DeleteFile(const std::string& path) {
  if (!inner_.DeleteFile(path)) return false;
  Entry* e = FileEntry(path);
  bool made_here = e && e->change == Change::kWritten;
  for (const std::string& p : existed_) made_here = made_here && !SameName(p, path);
  if (made_here)
    entries_.erase(entries_.begin() + (e - entries_.data()));
  else
    Note(Change::kDeleted, path);
  return true;
}

bool RecordingHost::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  const bool existed = inner_.FileExists(to);
  if (!inner_.CopyFile(from, to, fail_if_exists)) return false;
  if (existed && !FileEntry(to)) existed_.push_back(to);
  Note(Change::kWritten, to);
  return true;
}

bool RecordingHost::SetFileAttributes(const std::string& path, unsigned attributes) {
  if (!inner_.SetFileAttributes(path, attributes)) return false;
  Note(Change::kAttributes, path);
  return true;
}

bool RecordingHost::ReplaceFile(const std::string& from, const std::string& to) {
  const bool existed = inner_.FileExists(to);
  if (!inner_.ReplaceFile(from, to)) return false;
  // The file beside the target goes with the move; the target is written.
  if (Entry* e = FileEntry(from)) {
    bool made_here = e->change == Change::kWritten;
    for (const std::string& p : existed_) made_here = made_here && !SameName(p, from);
    if (made_here)
      entries_.erase(entries_.begin() + (e - entries_.data()));
    else
      e->change = Change::kDeleted;
  } else {
    Note(Change::kDeleted, from);
  }
  if (existed && !FileEntry(to)) existed_.push_back(to);
  Note(Change::kWritten, to);
  return true;
}

bool RecordingHost::WriteFile(const std::string& path, const std::string& bytes) {
  const bool existed = inner_.FileExists(path);
  const bool ok = inner_.WriteFile(path, bytes);
  // A write that fails part-way may still have made or emptied the file.
  if (ok || inner_.FileExists(path)) {
    if (existed && !FileEntry(path)) existed_.push_back(path);
    Note(Change::kWritten, path);
  }
  return ok;
}

}  // namespace platform
