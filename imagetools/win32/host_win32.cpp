// The image tools on a Windows host: the calls of host_fs.h through the wide
// Win32 calls, whole files, and the paths around them. Paths are UTF-8 inside
// the programs and UTF-16 at every call. Only functions that Windows NT 4.0
// has are used (no GetFileSizeEx, no long-path prefixes).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imagetools/host_fs.h"
#include "imagetools/tree_io.h"
#include "platform/win32/wide.h"

namespace treeio {
namespace {

std::wstring Wide(const std::string& s) { return platform::Widen(s); }
using platform::Narrow;

// The system's text for an error code, without its final full stop.
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

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool FileTimeFromDos(std::uint16_t dos_date, std::uint16_t dos_time, FILETIME* utc) {
  fat12::DateTime when = fat12::DateTimeFromDosStamp(dos_date, dos_time);
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(when.year);
  st.wMonth = static_cast<WORD>(when.month);
  st.wDay = static_cast<WORD>(when.day);
  st.wHour = static_cast<WORD>(when.hour);
  st.wMinute = static_cast<WORD>(when.minute);
  st.wSecond = static_cast<WORD>(when.second);
  FILETIME local;
  return SystemTimeToFileTime(&st, &local) && LocalFileTimeToFileTime(&local, utc);
}

void DosFromFileTime(const FILETIME& utc, std::uint16_t* dos_date, std::uint16_t* dos_time) {
  FILETIME local;
  SYSTEMTIME st;
  fat12::DateTime when;
  if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &st)) {
    when.year = st.wYear;
    when.month = st.wMonth;
    when.day = st.wDay;
    when.hour = st.wHour;
    when.minute = st.wMinute;
    when.second = st.wSecond;
  }
  fat12::DosStampFromDateTime(when, dos_date, dos_time);
}

bool WriteAll(HANDLE h, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

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

std::string Reason(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + SystemMessage(GetLastError());
}

std::string Join(const std::string& dir, const std::string& name) {
  if (!dir.empty() && IsSeparator(dir.back())) return dir + name;
  return dir + "\\" + name;
}

std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != ':') path.pop_back();
  return path;
}

unsigned long ProcessNumber() { return static_cast<unsigned long>(GetCurrentProcessId()); }

// A missing parent directory is no "no such file": the name cannot be made.
Kind KindOf(const std::string& path, bool) {
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return GetLastError() == ERROR_FILE_NOT_FOUND ? Kind::kMissing : Kind::kUnknown;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::kDirectory : Kind::kFile;
}

bool List(const std::string& dir, bool, std::vector<Entry>* entries, std::string* error) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(Wide(Join(dir, "*")).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    *error = Reason("cannot read the directory", dir);
    return false;
  }
  do {
    if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
    Entry entry;
    entry.name = Narrow(found.cFileName);
    entry.kind = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? Kind::kDirectory : Kind::kFile;
    entry.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    DosFromFileTime(found.ftLastWriteTime, &entry.dos_date, &entry.dos_time);
    entries->push_back(entry);
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return true;
}

bool MakeDirectory(const std::string& path) { return CreateDirectoryW(Wide(path).c_str(), nullptr) != 0; }

bool WriteNewFile(const std::string& path, const std::string& data, std::string* error) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot create", path);
    return false;
  }
  bool ok = WriteAll(h, data);
  if (!ok) *error = Reason("cannot write", path);
  if (!CloseHandle(h) && ok) {
    *error = Reason("cannot write", path);
    ok = false;
  }
  return ok;
}

// A stamp that names no time the system can hold is left unset.
bool SetStamp(const std::string& path, std::uint16_t dos_date, std::uint16_t dos_time, std::string* error) {
  FILETIME when;
  if (!FileTimeFromDos(dos_date, dos_time, &when)) return true;
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot set the time of", path);
    return false;
  }
  bool ok = SetFileTime(h, &when, &when, &when) != 0;
  if (!ok) *error = Reason("cannot set the time of", path);
  CloseHandle(h);
  return ok;
}

bool Rename(const std::string& from, const std::string& to, bool replace) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

bool RemoveFile(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }
bool RemoveEmptyDirectory(const std::string& path) { return RemoveDirectoryW(Wide(path).c_str()) != 0; }

bool ReadWholeFile(const std::string& path, size_t max_size, std::string* data,
                   std::string* error, bool* missing) {
  if (missing) *missing = false;
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = path + " is not a file";
    return false;
  }
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    if (missing) *missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    *error = "cannot open " + path + ": " + SystemMessage(code);
    return false;
  }
  // A pipe, a console or a port would wait for input that may never come.
  if (GetFileType(h) != FILE_TYPE_DISK) {
    CloseHandle(h);
    *error = path + " is not a file";
    return false;
  }
  DWORD high = 0;
  DWORD low = GetFileSize(h, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
    *error = Reason("cannot read", path);
    CloseHandle(h);
    return false;
  }
  unsigned long long size = (static_cast<unsigned long long>(high) << 32) | low;
  if (size > max_size) {
    CloseHandle(h);
    *error = path + " is too big: " + std::to_string(size) + " bytes";
    return false;
  }
  data->assign(static_cast<size_t>(size), '\0');
  size_t done = 0;
  bool ok = true;
  while (ok && done < data->size()) {
    DWORD got = 0;
    ok = ReadFile(h, &(*data)[done], static_cast<DWORD>(data->size() - done), &got, nullptr) &&
         got > 0;
    done += got;
  }
  CloseHandle(h);
  if (!ok) {
    *error = "cannot read " + path + " whole";
    return false;
  }
  return true;
}

bool WriteFileReplacing(const std::string& path, const std::string& data, std::string* error) {
  std::string temp;
  if (!TemporaryBeside(path, &temp, error)) return false;
  // A file replaced keeps its attributes (read-only, hidden, ...).
  DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
    attributes = FILE_ATTRIBUTE_NORMAL;
  if (!WriteNewFile(temp, data, error)) {
    DeleteFileW(Wide(temp).c_str());
    return false;
  }
  if (!MoveFileExW(Wide(temp).c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
    *error = Reason("cannot write", path);
    DeleteFileW(Wide(temp).c_str());
    return false;
  }
  SetFileAttributesW(Wide(path).c_str(), attributes);
  return true;
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
