// The image tools on a POSIX host: the calls of host_fs.h, whole files, and
// the paths around them (temporary names, links, whether two paths are one
// file or one lies inside another).
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

#include "imagetools/host_fs.h"
#include "imagetools/tree_io.h"

namespace treeio {
namespace {

// Symbolic links followed from an image path before giving up, as the kernel does.
const int kMaxLinks = 40;

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

// The directory part of `path`, "." when it has none.
std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

Kind KindOfStat(const struct stat& st) {
  return S_ISDIR(st.st_mode) ? Kind::kDirectory : S_ISREG(st.st_mode) ? Kind::kFile : Kind::kOther;
}

// The path that `path` leads to through symbolic links (itself when it is
// none, or when the link leads to a name that does not exist yet).
bool FollowLinks(const std::string& path, std::string* target, std::string* error) {
  std::string p = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st {};
    if (lstat(p.c_str(), &st) != 0) {
      if (errno == ENOENT) break;
      *error = Reason("cannot write", path);
      return false;
    }
    if (!S_ISLNK(st.st_mode)) break;
    char buffer[PATH_MAX];
    ssize_t n = readlink(p.c_str(), buffer, sizeof buffer);
    if (n < 0 || static_cast<size_t>(n) >= sizeof buffer) {
      *error = Reason("cannot follow the link", p);
      return false;
    }
    std::string link(buffer, static_cast<size_t>(n));
    p = link[0] == '/' ? link : Join(Parent(p), link);
    if (i + 1 == kMaxLinks) {
      *error = "cannot write " + path + ": too many levels of symbolic links";
      return false;
    }
  }
  *target = p;
  return true;
}

}  // namespace

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

std::string Join(const std::string& dir, const std::string& name) {
  if (!dir.empty() && dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

unsigned long ProcessNumber() { return static_cast<unsigned long>(getpid()); }

Kind KindOf(const std::string& path, bool follow_links) {
  struct stat st {};
  if ((follow_links ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) == 0) return KindOfStat(st);
  return errno == ENOENT ? Kind::kMissing : Kind::kUnknown;
}

bool List(const std::string& dir, bool follow_links, std::vector<Entry>* entries, std::string* error) {
  DIR* d = opendir(dir.c_str());
  if (!d) {
    *error = Reason("cannot read the directory", dir);
    return false;
  }
  std::vector<std::string> names;
  while (dirent* e = readdir(d))
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) names.push_back(e->d_name);
  closedir(d);
  for (const std::string& name : names) {
    std::string path = Join(dir, name);
    struct stat st {};
    if ((follow_links ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) {
      *error = Reason("cannot read", path);
      return false;
    }
    Entry entry;
    entry.name = name;
    entry.kind = KindOfStat(st);
    entry.size = static_cast<unsigned long long>(st.st_size);
    fat12::DosStampFromDateTime(LocalTime(st.st_mtime), &entry.dos_date, &entry.dos_time);
    entries->push_back(entry);
  }
  return true;
}

bool MakeDirectory(const std::string& path) { return mkdir(path.c_str(), 0777) == 0; }

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

bool SetStamp(const std::string& path, std::uint16_t dos_date, std::uint16_t dos_time, std::string* error) {
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

bool Rename(const std::string& from, const std::string& to, bool) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) { return unlink(path.c_str()) == 0; }
bool RemoveEmptyDirectory(const std::string& path) { return rmdir(path.c_str()) == 0; }

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

std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(argv[i]);
  return args;
}

const char* PathSeparators() { return "/"; }

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool LiesInside(const std::string& path, const std::string& dir) {
  struct stat sd {};
  if (stat(dir.c_str(), &sd) != 0 || !S_ISDIR(sd.st_mode)) return false;
  char* real = realpath(path.c_str(), nullptr);
  if (!real) return false;
  std::string p = real;
  free(real);
  while (p != "/") {
    p = Parent(p);
    struct stat sp {};
    if (stat(p.c_str(), &sp) == 0 && sp.st_dev == sd.st_dev && sp.st_ino == sd.st_ino) return true;
  }
  return false;
}

}  // namespace treeio
