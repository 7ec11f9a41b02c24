// Paths on a POSIX host: temporary names, links, removal of trees, and
// whether two paths are one file or one lies inside another.
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

// Temporary names tried beside a path before giving up.
const int kTemporaryTries = 1000;
// Symbolic links followed from an image path before giving up, as the kernel does.
const int kMaxLinks = 40;

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

std::string Parent(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool RemoveTree(const std::string& path, std::string* error) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return true;
    *error = Reason("cannot remove", path);
    return false;
  }
  bool ok = true;
  if (S_ISDIR(st.st_mode)) {
    std::vector<std::string> names;
    if (DIR* d = opendir(path.c_str())) {
      while (dirent* e = readdir(d))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
          names.push_back(e->d_name);
      closedir(d);
    }
    for (const std::string& name : names) {
      std::string why;
      if (!RemoveTree(Join(path, name), &why) && ok) {
        *error = why;
        ok = false;
      }
    }
    if (rmdir(path.c_str()) != 0 && ok) {
      *error = Reason("cannot remove", path);
      ok = false;
    }
  } else if (unlink(path.c_str()) != 0) {
    *error = Reason("cannot remove", path);
    ok = false;
  }
  return ok;
}

bool TemporaryBeside(const std::string& path, std::string* temp, std::string* error) {
  std::string base = path + ".tmp" + std::to_string(static_cast<long>(getpid()));
  for (int n = 0; n < kTemporaryTries; ++n) {
    std::string candidate = n ? base + "-" + std::to_string(n) : base;
    struct stat st {};
    if (lstat(candidate.c_str(), &st) == 0) continue;
    if (errno != ENOENT) {
      *error = Reason("cannot make a temporary name beside", path);
      return false;
    }
    *temp = candidate;
    return true;
  }
  *error = "cannot make a temporary name beside " + path + ": " +
           std::to_string(kTemporaryTries) + " names are taken";
  return false;
}

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
