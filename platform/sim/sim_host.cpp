#include "platform/sim/sim_host.h"

#include <ctime>

#include "platform/text.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace platform {
namespace {

std::string ReadAll(const std::string& native) {
  std::ifstream in(native, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string RegistryKey(std::string key);

}  // namespace

namespace {

std::string RegistryKey(std::string key) {
  while (!key.empty() && key[0] == '\\') key.erase(0, 1);
  return Lower(key);
}

}  // namespace

SimHost::SimHost(const std::string& root) : root_(root) {
  fs::create_directories(root_ + "/c");
  LoadAttributes();
}

void SimHost::SetRegistry(const std::string& key, const std::string& value,
                          const std::string& data) {
  std::string file = root_ + "/registry.txt";
  std::string all = ReadAll(file);
  std::ofstream out(file, std::ios::app | std::ios::binary);
  if (!all.empty() && all.back() != '\n') out << '\n';
  out << key << '\t' << value << '\t' << data << '\n';
}

std::string SimHost::ReadRegistry(const std::string& key, const std::string& value) {
  // The last line for a key and value wins, so a later setting replaces one.
  std::istringstream in(ReadAll(root_ + "/registry.txt"));
  std::string line, found;
  while (std::getline(in, line)) {
    size_t a = line.find('\t'), b = line.find('\t', a + 1);
    if (a == std::string::npos || b == std::string::npos) continue;
    if (RegistryKey(line.substr(0, a)) == RegistryKey(key) &&
        SameName(line.substr(a + 1, b - a - 1), value))
      found = line.substr(b + 1);
  }
  return found;
}

void SimHost::MakeUnreadable(const std::string& path) { unreadable_.push_back(NativePath(path)); }

bool SimHost::Split(const std::string& path, char* drive, std::vector<std::string>* parts) const {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  parts->clear();
  std::string rest;
  if (p.size() >= 2 && p[1] == ':' && std::isalpha(static_cast<unsigned char>(p[0]))) {
    *drive = static_cast<char>(std::tolower(static_cast<unsigned char>(p[0])));
    rest = p.substr(2);
    if (rest.empty() || rest[0] != '\\') rest = "\\" + rest;  // "C:x" taken from the root
  } else {
    *drive = static_cast<char>(std::tolower(static_cast<unsigned char>(current_directory_[0])));
    if (p.empty()) return false;
    if (p[0] == '\\') {
      rest = p;
    } else {
      rest = current_directory_.substr(2) + "\\" + p;
    }
  }
  std::stringstream ss(rest);
  std::string part;
  while (std::getline(ss, part, '\\')) {
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts->empty()) parts->pop_back();
      continue;
    }
    parts->push_back(part);
  }
  return true;
}

std::string SimHost::Resolve(char drive, const std::vector<std::string>& parts) const {
  std::string native = root_ + "/" + std::string(1, drive);
  bool exists = IsFolder(native);
  for (const std::string& part : parts) {
    std::string next = native + "/" + part;
    if (exists) {
      exists = false;
      std::error_code ec;
      for (const auto& e : fs::directory_iterator(native, ec)) {
        if (SameName(e.path().filename().string(), part)) {
          next = e.path().string();
          exists = true;
          break;
        }
      }
    }
    native = next;
  }
  return native;
}

bool SimHost::IsFile(const std::string& native) {
  std::error_code ec;
  return fs::is_regular_file(native, ec);
}

bool SimHost::IsFolder(const std::string& native) {
  std::error_code ec;
  return fs::is_directory(native, ec);
}

bool SimHost::Exists(const std::string& native) {
  std::error_code ec;
  return fs::exists(native, ec);
}

std::string SimHost::NativePath(const std::string& path) const {
  char drive;
  std::vector<std::string> parts;
  if (!Split(path, &drive, &parts)) return root_ + "/.nowhere";
  return Resolve(drive, parts);
}

bool SimHost::SetCurrentDirectory(const std::string& path) {
  char drive;
  std::vector<std::string> parts;
  if (!Split(path, &drive, &parts) || !IsFolder(Resolve(drive, parts))) return false;
  std::string dir(1, static_cast<char>(std::toupper(drive)));
  dir += ":";
  for (const std::string& part : parts) dir += "\\" + part;
  if (parts.empty()) dir += "\\";
  current_directory_ = dir;
  return true;
}

std::vector<DriveEntry> SimHost::Drives() {
  // A drive is a subdirectory of one letter; A: and B: are floppy drives.
  std::vector<DriveEntry> drives;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(root_, ec)) {
    std::string name = e.path().filename().string();
    if (!e.is_directory() || name.size() != 1 || !std::isalpha(static_cast<unsigned char>(name[0])))
      continue;
    DriveEntry drive;
    drive.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    drive.fixed = drive.letter > 'B' && !removable_.count(drive.letter);
    if (drive.fixed && labels_.count(drive.letter)) drive.label = labels_[drive.letter];
    drives.push_back(drive);
  }
  std::sort(drives.begin(), drives.end(),
            [](const DriveEntry& a, const DriveEntry& b) { return a.letter < b.letter; });
  return drives;
}

bool SimHost::FileExists(const std::string& path) {
  // A name with a wildcard names no one file, as on the real host.
  if (path.find_first_of("*?") != std::string::npos) return false;
  return IsFile(NativePath(path));
}

bool SimHost::DirectoryExists(const std::string& path) {
  return IsFolder(NativePath(path));
}

bool SimHost::MakeDirectory(const std::string& path) {
  std::string native = NativePath(path);
  fs::path parent = fs::path(native).parent_path();
  if (!IsFolder(parent.string()) || Exists(native) || unwritable_.count(parent.string())) return false;
  std::error_code ec;
  return fs::create_directory(native, ec);
}

bool SimHost::RemoveDirectory(const std::string& path) {
  const std::string native = NativePath(path);
  std::error_code ec;
  if (!IsFolder(native) || !fs::is_empty(native, ec) || ec) return false;
  if (unwritable_.count(fs::path(native).parent_path().string())) return false;
  attributes_.erase(Key(native));
  SaveAttributes();
  return fs::remove(native, ec);
}

std::string SimHost::LocalTime() {
  // 2026-12-07 09:00:00 and on, a second a reading.
  const std::time_t at = 1796634000 + clock_++;
  std::tm t{};
  gmtime_r(&at, &t);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &t);
  return stamp;
}

bool SimHost::HeldOpen(const std::string& native) const {
  for (const auto& held : held_files_)
    if (Key(held.second) == Key(native)) return true;
  return false;
}

bool SimHost::DeleteFile(const std::string& path) {
  std::string native = NativePath(path);
  if (!IsFile(native) || HeldOpen(native)) return false;
  if (Attributes(path) & kAttrReadOnly) return false;
  std::error_code ec;
  attributes_.erase(Key(native));
  SaveAttributes();
  return fs::remove(native, ec);
}

bool SimHost::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  std::string bytes;
  if (!ReadFile(from, &bytes, SIZE_MAX)) return false;
  if (Exists(NativePath(to)) && fail_if_exists) return false;
  // A read-only, hidden or system target is refused, as by WriteFile.
  if (!WriteFile(to, bytes)) return false;
  // The copy takes the source's attributes, read-only among them, as
  // CopyFileW gives them.
  const unsigned attrs = Attributes(from);
  if (attrs)
    attributes_[Key(NativePath(to))] = attrs;
  else
    attributes_.erase(Key(NativePath(to)));
  SaveAttributes();
  return true;
}

bool SimHost::SetFileAttributes(const std::string& path, unsigned attributes) {
  std::string native = NativePath(path);
  if (!Exists(native) || HeldOpen(native)) return false;
  // No attribute at all is kept as none, as a file written here has.
  if (attributes)
    attributes_[Key(native)] = attributes;
  else
    attributes_.erase(Key(native));
  SaveAttributes();
  return true;
}

bool SimHost::ReplaceFile(const std::string& from, const std::string& to) {
  std::string source = NativePath(from), target = NativePath(to);
  if (!IsFile(source) || IsFolder(target) || HeldOpen(source) || HeldOpen(target)) return false;
  if (Exists(target) && (Attributes(to) & kAttrReadOnly)) return false;
  std::error_code ec;
  fs::rename(source, target, ec);
  if (ec) return false;
  // The file keeps its own attributes; the replaced file's go with it.
  auto moved = attributes_.find(Key(source));
  unsigned attrs = moved == attributes_.end() ? 0 : moved->second;
  attributes_.erase(Key(source));
  attributes_.erase(Key(target));
  if (attrs) attributes_[Key(target)] = attrs;
  SaveAttributes();
  return true;
}

unsigned SimHost::FileAttributes(const std::string& path) {
  const std::string native = NativePath(path);
  if (!Exists(native)) return 0;
  return Attributes(path) | (IsFolder(native) ? unsigned{kAttrDirectory} : 0u);
}

unsigned SimHost::Attributes(const std::string& path) const {
  auto it = attributes_.find(Key(NativePath(path)));
  return it == attributes_.end() ? 0 : it->second;
}

bool SimHost::ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) {
  entries->clear();
  char drive;
  std::vector<std::string> parts;
  if (!Split(dir, &drive, &parts)) return false;
  std::string native = Resolve(drive, parts);
  if (!IsFolder(native)) return false;
  if (!parts.empty() && !omit_dot_entries_) {
    entries->push_back({".", true});
    entries->push_back({"..", true});
  }
  std::vector<DirEntry> found;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(native, ec)) {
    auto it = attributes_.find(Key(e.path().string()));
    if (it != attributes_.end() && (it->second & (kAttrHidden | kAttrSystem))) continue;
    DirEntry entry{e.path().filename().string(), e.is_directory()};
    if (!entry.is_directory) {
      entry.size = e.file_size(ec);
      entry.written = e.last_write_time(ec).time_since_epoch().count();
    }
    found.push_back(entry);
  }
  std::sort(found.begin(), found.end(), [](const DirEntry& a, const DirEntry& b) {
    return Lower(a.name) < Lower(b.name);
  });
  entries->insert(entries->end(), found.begin(), found.end());
  return true;
}

bool SimHost::ReadFile(const std::string& path, std::string* bytes, std::size_t limit) {
  std::string native = NativePath(path);
  bytes->clear();
  if (!IsFile(native)) return false;
  if (std::find(unreadable_.begin(), unreadable_.end(), native) != unreadable_.end()) return false;
  std::ifstream in(native, std::ios::binary);
  if (!in) return false;
  std::string all = ReadAll(native);
  *bytes = all.substr(0, std::min(limit, all.size()));
  return true;
}

bool SimHost::WriteFile(const std::string& path, const std::string& bytes) {
  std::string native = NativePath(path);
  if (!IsFolder(fs::path(native).parent_path().string()) || IsFolder(native) || HeldOpen(native)) return false;
  // A file is emptied only when it is not read-only; nor hidden or system,
  // as the host creates files with normal attributes, which Windows refuses
  // over such a file.
  if (Exists(native) && (Attributes(path) & (kAttrReadOnly | kAttrHidden | kAttrSystem))) return false;
  if (!Exists(native) && unwritable_.count(fs::path(native).parent_path().string())) return false;
  std::ofstream out(native, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  // A full disk takes what fits and fails the rest.
  const std::size_t fits = std::min(bytes.size(), disk_space_);
  out.write(bytes.data(), static_cast<std::streamsize>(fits));
  if (disk_space_ != SIZE_MAX) disk_space_ -= fits;
  return static_cast<bool>(out) && fits == bytes.size();
}

std::string SimHost::Key(const std::string& native) const {
  return native.compare(0, root_.size(), root_) == 0 ? native.substr(root_.size()) : native;
}

void SimHost::LoadAttributes() {
  std::istringstream in(ReadAll(root_ + "/attributes.txt"));
  std::string line;
  while (std::getline(in, line)) {
    size_t tab = line.find('\t');
    if (tab != std::string::npos) attributes_[line.substr(tab + 1)] = std::stoul(line.substr(0, tab));
  }
}

void SimHost::SaveAttributes() const {
  std::ofstream out(root_ + "/attributes.txt", std::ios::binary | std::ios::trunc);
  for (const auto& [key, attrs] : attributes_) out << attrs << '\t' << key << '\n';
}

}  // namespace platform
