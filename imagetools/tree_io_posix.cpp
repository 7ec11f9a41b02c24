// Host files and directory trees through POSIX calls.
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "imagetools/host_posix.h"
#include "imagetools/tree_io.h"

namespace treeio {
namespace {

fat12::DateTime LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  fat12::DateTime when;
  when.year = tm.tm_year + 1900;
  when.month = tm.tm_mon + 1;
  when.day = tm.tm_mday;
  when.hour = tm.tm_hour;
  when.minute = tm.tm_min;
  when.second = tm.tm_sec;
  return when;
}

bool SetTime(const std::string& path, std::uint16_t dos_date, std::uint16_t dos_time,
             std::string* error) {
  fat12::DateTime when = fat12::DateTimeFromDosStamp(dos_date, dos_time);
  std::tm tm{};
  tm.tm_year = when.year - 1900;
  tm.tm_mon = when.month - 1;
  tm.tm_mday = when.day;
  tm.tm_hour = when.hour;
  tm.tm_min = when.minute;
  tm.tm_sec = when.second;
  tm.tm_isdst = -1;
  utimbuf times{};
  times.actime = times.modtime = std::mktime(&tm);
  if (utime(path.c_str(), &times) != 0) {
    *error = Reason("cannot set the time of", path);
    return false;
  }
  return true;
}

// Creates the new file `path` holding `data`.
bool WriteNewFile(const std::string& path, const std::string& data, std::string* error) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    *error = Reason("cannot create", path);
    return false;
  }
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = write(fd, data.data() + done, data.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool written = done == data.size();
  if (!written) *error = Reason("cannot write", path);
  if (close(fd) != 0 && written) {
    *error = Reason("cannot write", path);
    written = false;
  }
  return written;
}

bool WriteChildren(const std::string& dir, const fat12::Tree& tree, std::string* error) {
  for (const fat12::Tree& child : tree.children) {
    std::string path = Join(dir, child.name);
    if (child.is_directory) {
      if (mkdir(path.c_str(), 0777) != 0) {
        *error = Reason("cannot create the directory", path);
        return false;
      }
      if (!WriteChildren(path, child, error)) return false;
    } else if (!WriteNewFile(path, child.data, error)) {
      return false;
    }
    if (!SetTime(path, child.dos_date, child.dos_time, error)) return false;
  }
  return true;
}

// Reads the entries of `dir`, `depth` levels below the top, into `tree`.
bool ReadChildren(const std::string& dir, int depth, size_t* budget, fat12::Tree* tree,
                  std::string* error) {
  if (depth > fat12::kMaxDepth) {
    *error = dir + " is nested more than " + std::to_string(fat12::kMaxDepth) +
             " levels deep, deeper than DOS can reach";
    return false;
  }
  DIR* d = opendir(dir.c_str());
  if (!d) {
    *error = Reason("cannot read the directory", dir);
    return false;
  }
  std::vector<std::string> names;
  while (dirent* e = readdir(d))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
      names.push_back(e->d_name);
  closedir(d);
  for (const std::string& name : names) {
    std::string path = Join(dir, name);
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
      *error = Reason("cannot read", path);
      return false;
    }
    fat12::Tree child;
    child.name = name;
    fat12::DosStampFromDateTime(LocalTime(st.st_mtime), &child.dos_date, &child.dos_time);
    // Every directory takes a cluster; charging for it bounds the walk even
    // where links make the tree endless.
    size_t cost = S_ISDIR(st.st_mode) ? fat12::kSectorSize : static_cast<size_t>(st.st_size);
    if (cost > *budget) {
      *error = "the tree does not fit on a 1.44 MB floppy (stopped at " + path + ")";
      return false;
    }
    *budget -= cost;
    if (S_ISDIR(st.st_mode)) {
      child.is_directory = true;
      if (!ReadChildren(path, depth + 1, budget, &child, error)) return false;
    } else if (S_ISREG(st.st_mode)) {
      if (!ReadWholeFile(path, cost, &child.data, error)) return false;
    } else {
      *error = path + " is neither a file nor a directory";
      return false;
    }
    tree->children.push_back(std::move(child));
  }
  return true;
}

}  // namespace

bool ReadWholeFile(const std::string& path, size_t max_size, std::string* data,
                   std::string* error, bool* missing) {
  if (missing) *missing = false;
  // The type is checked before opening: opening a pipe waits for a writer.
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) {
    if (missing) *missing = errno == ENOENT;
    *error = Reason("cannot open", path);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = path + " is not a file";
    return false;
  }
  // Should it have been swapped for something else meanwhile, O_NONBLOCK
  // still keeps the open from waiting, and the type is checked again.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (missing) *missing = errno == ENOENT;
    *error = Reason("cannot open", path);
    return false;
  }
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    *error = path + " is not a file";
    return false;
  }
  if (static_cast<unsigned long long>(st.st_size) > max_size) {
    close(fd);
    *error = path + " is too big: " + std::to_string(static_cast<long long>(st.st_size)) +
             " bytes";
    return false;
  }
  data->assign(static_cast<size_t>(st.st_size), '\0');
  size_t got = 0;
  bool failed = false;
  while (got < data->size()) {
    ssize_t n = read(fd, &(*data)[got], data->size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      failed = n < 0;
      break;
    }
    got += static_cast<size_t>(n);
  }
  char extra;
  bool more = !failed && read(fd, &extra, 1) > 0;  // grew while being read
  close(fd);
  if (failed || got != data->size() || more) {
    *error = "cannot read " + path + " whole";
    return false;
  }
  return true;
}

bool WriteFileReplacing(const std::string& path, const std::string& data, std::string* error) {
  std::string target, temp;
  if (!FollowLinks(path, &target, error)) return false;
  if (!TemporaryBeside(target, &temp, error)) return false;
  if (!WriteNewFile(temp, data, error)) {
    unlink(temp.c_str());
    return false;
  }
  struct stat st {};
  if (stat(target.c_str(), &st) == 0 && chmod(temp.c_str(), st.st_mode & 07777) != 0) {
    *error = Reason("cannot keep the permissions of", target);
    unlink(temp.c_str());
    return false;
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    *error = Reason("cannot write", target);
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool ReadTree(const std::string& dir, size_t max_bytes, fat12::Tree* tree, std::string* error) {
  *tree = fat12::Tree();
  tree->is_directory = true;
  struct stat st {};
  if (stat(dir.c_str(), &st) != 0) {
    *error = Reason("cannot read", dir);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *error = dir + " is not a directory";
    return false;
  }
  size_t budget = max_bytes;
  return ReadChildren(dir, 0, &budget, tree, error);
}

bool WriteTree(const std::string& dir_in, const fat12::Tree& tree, const std::string* boot_sector,
               const std::string& boot_sector_path, std::string* error) {
  std::string dir = WithoutTrailingSeparators(dir_in);
  struct stat st {};
  bool existed = lstat(dir.c_str(), &st) == 0;
  if (existed && !S_ISDIR(st.st_mode)) {
    *error = dir + " exists and is not a directory";
    return false;
  }

  // The new tree is made complete beside the old one; only then does it
  // take the old one's place, so a run never mixes old files into the new
  // tree and a failure leaves the old tree as it was.
  std::string temp, old, bs_temp;
  if (!TemporaryBeside(dir, &temp, error) || !TemporaryBeside(dir + ".old", &old, error))
    return false;
  if (boot_sector && !TemporaryBeside(boot_sector_path, &bs_temp, error)) return false;
  if (mkdir(temp.c_str(), 0777) != 0) {
    *error = Reason("cannot create the directory", temp);
    return false;
  }
  bool ok = WriteChildren(temp, tree, error);
  bool bs_made = false;
  if (ok && boot_sector) ok = bs_made = WriteNewFile(bs_temp, *boot_sector, error);
  if (ok && existed && std::rename(dir.c_str(), old.c_str()) != 0) {
    *error = Reason("cannot replace the directory", dir);
    ok = false;
  }
  if (ok && std::rename(temp.c_str(), dir.c_str()) != 0) {
    *error = Reason("cannot create the directory", dir);
    if (existed) std::rename(old.c_str(), dir.c_str());
    ok = false;
  }
  if (!ok) {
    std::string ignored;
    RemoveTree(temp, &ignored);
    if (boot_sector) unlink(bs_temp.c_str());
    return false;
  }
  if (bs_made && std::rename(bs_temp.c_str(), boot_sector_path.c_str()) != 0) {
    *error = Reason("cannot write", boot_sector_path);
    unlink(bs_temp.c_str());
    std::string ignored;
    RemoveTree(dir, &ignored);
    if (existed) std::rename(old.c_str(), dir.c_str());
    return false;
  }
  std::string why;
  if (existed && !RemoveTree(old, &why)) {
    *error = dir + " holds the new tree, but the old one is left in " + old + " (" + why + ")";
    return false;
  }
  return true;
}

}  // namespace treeio
