#include "platform/file_lists.h"

#include "platform/text.h"

namespace platform {

bool MatchesMask(const std::string& name, const std::string& mask) {
  // Greedy wildcard match with one point to go back to, after the last "*".
  const std::string n = Lower(name), m = Lower(mask);
  size_t i = 0, j = 0, star = std::string::npos, resume = 0;
  while (i < n.size()) {
    if (j < m.size() && (m[j] == '?' || m[j] == n[i])) {
      ++i;
      ++j;
    } else if (j < m.size() && m[j] == '*') {
      star = j++;
      resume = i;
    } else if (star != std::string::npos) {
      j = star + 1;
      i = ++resume;
    } else {
      return false;
    }
  }
  while (j < m.size() && m[j] == '*') ++j;
  return j == m.size();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  if (!directory.empty() && directory.back() == '\\') return directory + name;
  return directory + "\\" + name;
}

void DriveList::Fill() {
  drives_ = host_.Drives();
  std::vector<std::string> items;
  std::vector<ItemLook> looks;
  std::string current = host_.CurrentDirectory();
  int chosen = -1;
  for (const DriveEntry& d : drives_) {
    std::string item(1, static_cast<char>(d.letter - 'A' + 'a'));
    item += ":";
    if (d.fixed && !d.label.empty()) item += " [" + d.label + "]";
    items.push_back(item);
    looks.push_back({0, d.letter <= 'B' ? "floppy" : d.fixed ? "harddisk" : "drive"});
    if (!current.empty() && (current[0] & ~0x20) == d.letter) chosen = static_cast<int>(items.size()) - 1;
  }
  box_.SetItems(items, looks);
  box_.SetItemIndex(chosen);
}

char DriveList::Drive() const {
  int i = box_.ItemIndex();
  return i >= 0 && i < static_cast<int>(drives_.size()) ? drives_[i].letter : 0;
}

bool DriveList::Change() {
  char letter = Drive();
  std::string root = std::string(1, letter) + ":\\";
  if (letter && host_.SetCurrentDirectory(root)) return true;
  Fill();  // back to the drive of the current directory
  return false;
}

void DirectoryList::Fill() {
  directory_ = host_.CurrentDirectory();
  // The opened path: "C:\" then each directory on the way down.
  levels_.clear();
  std::string rest = directory_;
  if (rest.size() >= 3 && rest[1] == ':' && rest[2] == '\\') {
    levels_.push_back(rest.substr(0, 3));
    rest = rest.substr(3);
  } else {
    levels_.push_back(rest);
    rest.clear();
  }
  size_t start = 0;
  while (start < rest.size()) {
    size_t end = rest.find('\\', start);
    if (end == std::string::npos) end = rest.size();
    if (end > start) levels_.push_back(rest.substr(start, end - start));
    start = end + 1;
  }
  std::vector<std::string> items;
  std::vector<ItemLook> looks;
  for (size_t i = 0; i < levels_.size(); ++i) {
    items.push_back(levels_[i]);
    looks.push_back({static_cast<int>(i), "folder-open"});
  }
  std::vector<DirEntry> entries;
  host_.ListDirectory(directory_, &entries);
  for (const DirEntry& e : entries) {
    if (!e.is_directory || e.name == "." || e.name == "..") continue;
    items.push_back(e.name);
    looks.push_back({static_cast<int>(levels_.size()), "folder"});
  }
  box_.SetItems(items, looks);
  box_.SetItemIndex(static_cast<int>(levels_.size()) - 1);
}

std::string DirectoryList::PathOf(int i) const {
  std::vector<std::string> items = box_.Items();
  if (i < 0 || i >= static_cast<int>(items.size())) return "";
  if (i >= static_cast<int>(levels_.size())) return JoinPath(directory_, items[i]);
  std::string path = levels_[0];
  for (int k = 1; k <= i; ++k) path = JoinPath(path, levels_[k]);
  return path;
}

bool DirectoryList::Open(int i) {
  std::string path = PathOf(i);
  if (path.empty() || !host_.SetCurrentDirectory(path)) {
    box_.SetItemIndex(static_cast<int>(levels_.size()) - 1);
    return false;
  }
  Fill();
  return true;
}

void FileList::Fill(const std::string& directory) {
  directory_ = directory;
  std::vector<DirEntry> entries;
  host_.ListDirectory(directory, &entries);
  std::vector<std::string> items;
  for (const DirEntry& e : entries)
    if (!e.is_directory && MatchesMask(e.name, mask_)) items.push_back(e.name);
  box_.SetItems(items);
}

std::string FileList::FileName() const {
  std::string name = box_.Text();
  return name.empty() ? "" : JoinPath(directory_, name);
}

}  // namespace platform
