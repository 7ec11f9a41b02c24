// The host that keeps the journal of a session, step by step.
#include "platform/journal_host.h"

#include <algorithm>

#include <cstdio>

#include "platform/recording_host.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace platform {

std::string HashOf(const std::string& bytes) {
  std::uint64_t h = 14695981039346656037ull;
  for (unsigned char c : bytes) {
    h ^= c;
    h *= 1099511628211ull;
  }
  char digits[17];
  std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(h));
  return digits;
}

JournalHost::JournalHost(Host& inner, const std::string& root, const std::string& heading)
    : ForwardingHost(inner), root_(root), heading_(heading) {}

JournalHost::~JournalHost() {
  if (in_step_) EndStep();
}

std::string JournalHost::session() const {
  const size_t cut = folder_.find_last_of('\\');
  return cut == std::string::npos ? folder_ : folder_.substr(cut + 1);
}

bool JournalHost::Journaled(const std::string& path) const {
  return !path.empty() && !PathWithin(path, root_);
}

std::string JournalHost::Keep(const std::string& bytes) {
  if (folder_.empty()) return "";
  char name[16];
  std::snprintf(name, sizeof name, "%04d.old", ++kept_count_);
  return inner_.WriteFile(folder_ + "\\" + name, bytes) ? name : "";
}

bool JournalHost::WriteJournal() { return WriteTextLines(inner_, folder_ + "\\journal.txt", lines_); }

bool JournalHost::BeginStep(const std::string& name, const std::vector<std::string>& places, std::string* why) {
  if (in_step_) EndStep();
  bool made = false;
  if (folder_.empty()) {
    if (!inner_.DirectoryExists(root_)) inner_.MakeDirectory(root_);
    const std::string stamp = inner_.LocalTime();
    std::string folder = root_ + "\\" + stamp;
    for (int n = 2; inner_.DirectoryExists(folder) || inner_.FileExists(folder); ++n)
      folder = root_ + "\\" + stamp + "-" + std::to_string(n);
    if (!inner_.MakeDirectory(folder)) {
      *why = "无法建立操作记录的目录 " + folder + "（目录只读或磁盘已满）";
      return false;
    }
    folder_ = folder;
    made = true;
    lines_ = {"会话 " + session() + " " + heading_};
    kept_count_ = 0;
  }
  step_start_ = lines_.size();
  lines_.push_back("步骤 " + name);
  if (!WriteJournal()) {
    *why = "无法写入操作记录 " + folder_ + "\\journal.txt（文件只读、被占用或磁盘已满）";
    lines_.resize(step_start_);
    if (made) {
      inner_.RemoveDirectory(folder_);
      folder_.clear();
    }
    return false;
  }
  in_step_ = true;
  events_.clear();
  index_.clear();
  befores_.clear();
  programs_.clear();
  watched_.clear();
  places_ = places;
  TouchPlaces();
  return true;
}

void JournalHost::AutoStep() {
  std::string why;
  BeginStep("（其他）", {}, &why);
}

void JournalHost::Note(const std::string& line) {
  if (!in_step_) return;
  events_.push_back({Event::kLine, line, 0});
}

std::string JournalHost::OnDisk(const std::string& path) {
  // The name as the folder holds it: a file given back is made with it.
  const size_t cut = path.find_last_of('\\');
  std::vector<DirEntry> entries;
  if (cut == std::string::npos || !inner_.ListDirectory(cut < 3 ? path.substr(0, cut + 1) : path.substr(0, cut), &entries))
    return path;
  for (const DirEntry& e : entries)
    if (SameName(e.name, path.substr(cut + 1))) return path.substr(0, cut + 1) + e.name;
  return path;
}

void JournalHost::Touch(const std::string& path) {
  if (!Journaled(path)) return;
  if (!in_step_) AutoStep();
  if (!in_step_) return;
  if (index_.count(PathKey(path))) return;
  // A path a program of this step may have made is looked for first, so
  // that what the program made counts as made by the step.
  if (!programs_.empty())
    for (const std::string& place : places_)
      if (PathWithin(path, place)) {
        TouchPlaces();
        if (index_.count(PathKey(path))) return;
        break;
      }
  Before b;
  b.path = OnDisk(path);
  if (inner_.DirectoryExists(path)) {
    b.state = Before::kFolder;
  } else if (inner_.FileExists(path)) {
    b.state = Before::kFile;
    b.attributes = inner_.FileAttributes(path);
    std::string bytes;
    if (inner_.ReadFile(path, &bytes, SIZE_MAX)) {
      b.kept = Keep(bytes);
      b.kept_hash = HashOf(bytes);
      b.kept_size = bytes.size();
    }
  }
  index_[PathKey(path)] = befores_.size();
  befores_.push_back(b);
  events_.push_back({Event::kPath, "", befores_.size() - 1});
}

void JournalHost::WillChange(const std::vector<std::string>& places) {
  if (!in_step_) return;
  std::vector<std::string> fresh;
  for (const std::string& place : places)
    if (std::none_of(places_.begin(), places_.end(), [&](const std::string& p) { return SameName(p, place); }))
      fresh.push_back(place);
  // Kept as they are now, whatever the step's programs did before.
  TouchPlaces(fresh, false);
  places_.insert(places_.end(), fresh.begin(), fresh.end());
}

void JournalHost::TouchPlaces() { TouchPlaces(places_, !programs_.empty()); }

void JournalHost::TouchPlaces(const std::vector<std::string>& places, bool after_programs) {
  // Breadth by breadth: a folder comes before what it holds.
  std::vector<std::string> pending(places.begin(), places.end());
  for (size_t i = 0; i < pending.size(); ++i) {
    const std::string path = pending[i];
    const bool folder = inner_.DirectoryExists(path);
    if (!folder && !inner_.FileExists(path)) continue;
    if (!index_.count(PathKey(path))) {
      // Found only now, after a program of the step ran: the program made it.
      if (after_programs && in_step_) {
        Before b;
        b.path = path;
        index_[PathKey(path)] = befores_.size();
        befores_.push_back(b);
        events_.push_back({Event::kPath, "", befores_.size() - 1});
      } else {
        Touch(path);
      }
    }
    std::vector<DirEntry> entries;
    if (!folder || !inner_.ListDirectory(path, &entries)) continue;
    const std::string below = path.back() == '\\' ? path : path + "\\";
    for (const DirEntry& e : entries)
      if (e.name != "." && e.name != "..") pending.push_back(below + e.name);
  }
}

bool JournalHost::EndStep() {
  if (!in_step_) return true;
  TouchPlaces();
  in_step_ = false;
  bool changed = false;
  std::vector<std::string> step;
  for (const Event& e : events_) {
    if (e.kind == Event::kLine) {
      step.push_back(e.line);
      continue;
    }
    if (e.kind == Event::kProgram) {
      const Started& p = programs_[e.index];
      step.push_back(p.waited ? Outcome("运行 " + p.command_line,
                                        p.finished ? Wait::kFinished : Wait::kTimedOut, &p.exit_code)
                              : "启动 " + p.command_line);
      step.insert(step.end(), p.records.begin(), p.records.end());
      changed = true;
      continue;
    }
    Before& b = befores_[e.index];
    if (b.state == Before::kAbsent) b.path = OnDisk(b.path);
    const bool folder = inner_.DirectoryExists(b.path), file = !folder && inner_.FileExists(b.path);
    std::string bytes;
    const bool read = file && inner_.ReadFile(b.path, &bytes, SIZE_MAX);
    const std::string left = std::to_string(bytes.size()) + " " + HashOf(bytes) + " ";
    const unsigned attributes = file ? inner_.FileAttributes(b.path) : 0;
    const size_t lines_before = step.size();
    if (b.state == Before::kFolder && !folder) step.push_back("删除目录 " + b.path);
    if (b.state == Before::kFile) {
      const bool same = file && read && b.kept_size == bytes.size() && b.kept_hash == HashOf(bytes) &&
                        attributes == b.attributes;
      if (same) {
        if (!b.kept.empty()) inner_.DeleteFile(folder_ + "\\" + b.kept);
      } else if (b.kept.empty()) {
        step.push_back("未保留 " + b.path);
      } else if (file) {
        step.push_back("替换 " + left + b.kept + " " + std::to_string(b.attributes) + " " + b.path);
      } else {
        step.push_back("删除 " + b.kept + " " + std::to_string(b.attributes) + " " + b.path);
      }
    }
    if (b.state != Before::kFolder && folder) step.push_back("新建目录 " + b.path);
    if (b.state != Before::kFile && file) step.push_back("新建 " + left + b.path);
    changed = changed || step.size() != lines_before;
  }
  events_.clear();
  if (!changed) {
    // Nothing to take back: the step leaves no line, the session no folder.
    lines_.resize(step_start_);
    if (lines_.size() <= 1) {
      inner_.DeleteFile(folder_ + "\\journal.txt");
      for (int n = 1; n <= kept_count_; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, "%04d.old", n);
        if (inner_.FileExists(folder_ + "\\" + name)) inner_.DeleteFile(folder_ + "\\" + name);
      }
      if (inner_.RemoveDirectory(folder_)) folder_.clear();
      return true;
    }
    return WriteJournal();
  }
  lines_.insert(lines_.end(), step.begin(), step.end());
  return WriteJournal();
}

void JournalHost::RunCommand(const std::string& command_line, ShowMode show) {
  inner_.RunCommand(command_line, show);
  if (!in_step_) AutoStep();
  programs_.push_back({command_line, "", false, false, 0, {}});
  events_.push_back({Event::kProgram, "", programs_.size() - 1});
}

int JournalHost::StartWatched(const std::string& command_line, ShowMode show, const std::string& held_file) {
  std::string held;
  if (!held_file.empty()) inner_.ReadFile(held_file, &held, SIZE_MAX);
  const int program = inner_.StartWatched(command_line, show, held_file);
  if (!in_step_) AutoStep();
  if (program == 0) return 0;
  watched_[program] = programs_.size();
  programs_.push_back({command_line, held, false, false, 0, {}});
  events_.push_back({Event::kProgram, "", programs_.size() - 1});
  return program;
}

bool JournalHost::StillRunning(int program) {
  const bool running = inner_.StillRunning(program);
  // A watched program that has ended: what it made in the places is the step's.
  if (!running && in_step_ && watched_.count(program)) {
    TouchPlaces();
  }
  return running;
}

Host::Wait JournalHost::RunToEnd(const std::string& command_line, ShowMode show, unsigned limit, int* exit_code) {
  if (!in_step_) AutoStep();
  const Wait wait = inner_.RunToEnd(command_line, show, limit, exit_code);
  if (wait == Wait::kNotStarted) return wait;
  programs_.push_back({command_line, "", true, wait == Wait::kFinished, *exit_code, {}});
  events_.push_back({Event::kProgram, "", programs_.size() - 1});
  TouchPlaces();
  return wait;
}

Host::Wait JournalHost::RunToEndWithFiles(const std::string& command_line, const std::string& input,
                                          const std::string& output, unsigned limit, int* exit_code) {
  Touch(output);
  std::string fed;
  inner_.ReadFile(input, &fed, SIZE_MAX);
  const Wait wait = inner_.RunToEndWithFiles(command_line, input, output, limit, exit_code);
  if (wait == Wait::kNotStarted) return wait;
  programs_.push_back({command_line, fed, true, wait == Wait::kFinished, *exit_code, {}});
  events_.push_back({Event::kProgram, "", programs_.size() - 1});
  TouchPlaces();
  return wait;
}

bool JournalHost::MakeDirectory(const std::string& path) {
  Touch(path);
  return inner_.MakeDirectory(path);
}

bool JournalHost::RemoveDirectory(const std::string& path) {
  Touch(path);
  return inner_.RemoveDirectory(path);
}

bool JournalHost::DeleteFile(const std::string& path) {
  Touch(path);
  return inner_.DeleteFile(path);
}

bool JournalHost::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  Touch(to);
  return inner_.CopyFile(from, to, fail_if_exists);
}

bool JournalHost::SetFileAttributes(const std::string& path, unsigned attributes) {
  Touch(path);
  return inner_.SetFileAttributes(path, attributes);
}

bool JournalHost::ReplaceFile(const std::string& from, const std::string& to) {
  Touch(from);
  Touch(to);
  return inner_.ReplaceFile(from, to);
}

bool JournalHost::WriteFile(const std::string& path, const std::string& bytes) {
  Touch(path);
  return inner_.WriteFile(path, bytes);
}

void JournalUi::Said(const std::string& text) {
  std::string line;
  for (char c : text) {
    if (c == '\n') continue;
    line += c == '\r' ? ' ' : c;
  }
  journal_.Note("消息 " + line);
}

}  // namespace platform
