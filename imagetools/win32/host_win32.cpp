// Paths on a Windows host: text conversion, temporary names, removal of
// trees, and whether two paths are one file or one lies inside another.
// Only functions that Windows NT 4.0 has are used.
#ifdef _WIN32
#include "imagetools/win32/host_win32.h"

#include <string>
#include <vector>

#include "imagetools/tree_io.h"

namespace treeio {
namespace {

// Temporary names tried beside a path before giving up.
const int kTemporaryTries = 1000;

// The volume and file index of `path`, which names a file or a directory.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
  HANDLE h = CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bool ok = GetFileInformationByHandle(h, info) != 0;
  CloseHandle(h);
  return ok;
}

bool SameIdentity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

}  // namespace

std::string SystemMessage(DWORD code) {
  wchar_t* text = nullptr;
  DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                               FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message = n && text ? Narrow(text) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.'))
    message.pop_back();
  return message;
}

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + SystemMessage(GetLastError());
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string Join(const std::string& dir, const std::string& name) {
  if (!dir.empty() && IsSeparator(dir.back())) return dir + name;
  return dir + "\\" + name;
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != ':')
    path.pop_back();
  return path;
}

bool TemporaryBeside(const std::string& path, std::string* temp, std::string* error) {
  std::string base = path + ".tmp" + std::to_string(static_cast<unsigned long>(GetCurrentProcessId()));
  for (int n = 0; n < kTemporaryTries; ++n) {
    std::string candidate = n ? base + "-" + std::to_string(n) : base;
    if (GetFileAttributesW(Wide(candidate).c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (GetLastError() != ERROR_FILE_NOT_FOUND) {
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

bool RemoveTree(const std::string& path, std::string* error) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    *error = Reason("cannot remove", path);
    return false;
  }
  bool ok = true;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    std::vector<std::string> names;
    std::string ignored;
    ForEachEntry(path, &ignored, [&](const WIN32_FIND_DATAW& f) {
      names.push_back(Narrow(f.cFileName));
      return true;
    });
    for (const std::string& name : names) {
      std::string why;
      if (!RemoveTree(Join(path, name), &why) && ok) {
        *error = why;
        ok = false;
      }
    }
    if (!RemoveDirectoryW(Wide(path).c_str()) && ok) {
      *error = Reason("cannot remove", path);
      ok = false;
    }
  } else if (!DeleteFileW(Wide(path).c_str())) {
    *error = Reason("cannot remove", path);
    ok = false;
  }
  return ok;
}

std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!argv) return args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(argv[i]));
  LocalFree(argv);
  return args;
}

const char* PathSeparators() { return "\\/"; }

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION ia, ib;
  return FileIdentity(a, &ia) && FileIdentity(b, &ib) && SameIdentity(ia, ib);
}

bool LiesInside(const std::string& path, const std::string& dir) {
  BY_HANDLE_FILE_INFORMATION id, ip;
  if (!FileIdentity(dir, &id) || !(id.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  wchar_t full[MAX_PATH];
  DWORD n = GetFullPathNameW(Wide(path).c_str(), MAX_PATH, full, nullptr);
  if (n == 0 || n >= MAX_PATH) return false;
  std::string p = Narrow(full);
  for (;;) {
    size_t cut = p.find_last_of("\\/");
    if (cut == std::string::npos || cut + 1 == p.size()) return false;
    p.erase(cut);
    std::string parent = (p.size() == 2 && p[1] == ':') ? p + "\\" : p;
    if (parent.empty()) return false;
    if (FileIdentity(parent, &ip) && SameIdentity(ip, id)) return true;
    if (parent.size() == 3 && parent[1] == ':') return false;
  }
}

}  // namespace treeio
#endif  // _WIN32
