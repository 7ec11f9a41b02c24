// The host that keeps a record of what changed on the machine.
#include "platform/recording_host.h"

#include <initializer_list>

#include "platform/text.h"

namespace platform {

std::string Outcome(const std::string& what, Host::Wait wait, const int* exit_code) {
  return what + "：" +
         (wait == Host::Wait::kFinished   ? "返回值 " + std::to_string(*exit_code)
          : wait == Host::Wait::kTimedOut ? std::string("超时，已结束")
                                          : std::string("无法启动"));
}

void RecordingHost::List(const std::string& path, const Seen& seen, Listing* listing) {
  (*listing)[PathKey(path)] = {path, seen};
  std::vector<DirEntry> entries;
  if (!seen.folder || !inner_.ListDirectory(path, &entries)) return;
  const std::string below = path.back() == '\\' ? path : path + "\\";
  for (const DirEntry& e : entries) {
    if (e.name == "." || e.name == "..") continue;
    const std::string child = below + e.name;
    Seen s;
    s.there = true;
    s.folder = e.is_directory;
    s.size = e.size;
    s.written = e.written;
    s.attributes = e.is_directory ? 0 : inner_.FileAttributes(child);
    List(child, s, listing);
  }
}

RecordingHost::Seen RecordingHost::SeenNow(const std::string& path) {
  Seen s;
  if (inner_.DirectoryExists(path)) {
    s.there = s.folder = true;
    return s;
  }
  const size_t cut = path.find_last_of("\\/");
  std::vector<DirEntry> entries;
  if (cut == std::string::npos || !inner_.ListDirectory(cut < 3 ? path.substr(0, cut + 1) : path.substr(0, cut), &entries))
    return s;
  for (const DirEntry& e : entries)
    if (!e.is_directory && SameName(e.name, path.substr(cut + 1))) {
      s.there = true;
      s.size = e.size;
      s.written = e.written;
      s.attributes = inner_.FileAttributes(path);
    }
  return s;
}

RecordingHost::Listing RecordingHost::ListPlaces() {
  Listing listing;
  for (const std::string& place : places_) {
    const Seen seen = SeenNow(place);
    if (seen.there) List(place, seen, &listing);
  }
  return listing;
}

void RecordingHost::Watch(const std::vector<std::string>& places) {
  places_ = places;
  touched_.clear();
  before_ = ListPlaces();
}

void RecordingHost::Touched(const std::string& path) {
  for (const std::string& place : places_)
    if (PathWithin(path, place)) {
      touched_[PathKey(path)] = {path, SeenNow(path)};
      return;
    }
}

void RecordingHost::EndWatch() {
  if (places_.empty()) return;
  const Listing after = ListPlaces();
  Listing all = before_;
  for (const Listing* more : std::initializer_list<const Listing*>{&touched_, &after})
    for (const auto& entry : *more) all[entry.first] = entry.second;
  for (const auto& entry : all) {
    // How this program's own last change left it, else how it was.
    const auto touched = touched_.find(entry.first), before = before_.find(entry.first);
    const auto now_at = after.find(entry.first);
    const Seen was = touched != touched_.end()  ? touched->second.second
                     : before != before_.end() ? before->second.second
                                               : Seen();
    const Seen now = now_at != after.end() ? now_at->second.second : Seen();
    if (was == now || (was.there && now.there && was.folder && now.folder)) continue;
    const std::string& path = entry.second.first;
    if (!now.there)
      Note(Change::kByProgram, (was.folder ? "程序删除目录 " : "程序删除 ") + path);
    else if (!was.there || was.folder != now.folder)
      Note(Change::kByProgram, (now.folder ? "程序新建目录 " : "程序新建 ") + path);
    else
      Note(Change::kByProgram, (was.size == now.size && was.written == now.written ? "程序改动属性 " : "程序改动 ") + path);
  }
  places_.clear();
  before_.clear();
  touched_.clear();
}

std::vector<std::string> RecordingHost::TakeRecord() {
  std::vector<std::string> lines;
  for (const Entry& e : entries_) {
    switch (e.change) {
      case Change::kFolder: lines.push_back("新建目录 " + e.what); break;
      case Change::kWritten: lines.push_back("写入 " + e.what); break;
      case Change::kDeleted: lines.push_back("删除 " + e.what); break;
      case Change::kAttributes: lines.push_back("属性 " + e.what); break;
      case Change::kStarted:
      case Change::kByProgram: lines.push_back(e.what); break;
    }
  }
  entries_.clear();
  existed_.clear();
  return lines;
}

void RecordingHost::Note(Change change, const std::string& what) {
  if (change != Change::kStarted && change != Change::kByProgram)
    if (Entry* e = FileEntry(what)) {
      // A file keeps one line: the last of written and deleted, either over
      // attributes.
      if (change != Change::kAttributes) e->change = change;
      return;
    }
  entries_.push_back({change, what});
}

RecordingHost::Entry* RecordingHost::FileEntry(const std::string& path) {
  for (Entry& e : entries_)
    if (e.change != Change::kStarted && e.change != Change::kByProgram && e.change != Change::kFolder &&
        SameName(e.what, path))
      return &e;
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
  Touched(output);
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
  Touched(path);
  Note(Change::kFolder, path);
  return true;
}

bool RecordingHost::RemoveDirectory(const std::string& path) {
  if (!inner_.RemoveDirectory(path)) return false;
  Touched(path);
  Note(Change::kDeleted, path);
  return true;
}

bool RecordingHost::DeleteFile(const std::string& path) {
  if (!inner_.DeleteFile(path)) return false;
  Touched(path);
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
  Touched(to);
  if (existed && !FileEntry(to)) existed_.push_back(to);
  Note(Change::kWritten, to);
  return true;
}

bool RecordingHost::SetFileAttributes(const std::string& path, unsigned attributes) {
  if (!inner_.SetFileAttributes(path, attributes)) return false;
  Touched(path);
  Note(Change::kAttributes, path);
  return true;
}

bool RecordingHost::ReplaceFile(const std::string& from, const std::string& to) {
  const bool existed = inner_.FileExists(to);
  if (!inner_.ReplaceFile(from, to)) return false;
  Touched(from);
  Touched(to);
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
  Touched(path);
  // A write that fails part-way may still have made or emptied the file.
  if (ok || inner_.FileExists(path)) {
    if (existed && !FileEntry(path)) existed_.push_back(path);
    Note(Change::kWritten, path);
  }
  return ok;
}

}  // namespace platform
