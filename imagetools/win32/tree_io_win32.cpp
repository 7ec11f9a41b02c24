// Host files and directory trees through the wide Win32 calls. Paths are
// UTF-8 inside the programs and UTF-16 at every call. Only functions that
// Windows NT 4.0 has are used (no GetFileSizeEx, no long-path prefixes).
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "imagetools/tree_io.h"
#include "imagetools/win32/host_win32.h"

namespace treeio {
namespace {

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

// Creates the new file `path` holding `data`, with the given time when `when`
// is set and the given attributes.
bool WriteNewFile(const std::string& path, const std::string& data, const FILETIME* when,
                  DWORD attributes, std::string* error) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot create", path);
    return false;
  }
  bool ok = WriteAll(h, data);
  if (ok && when) ok = SetFileTime(h, when, when, when) != 0;
  if (!ok) *error = Reason("cannot write", path);
  if (!CloseHandle(h) && ok) {
    *error = Reason("cannot write", path);
    ok = false;
  }
  return ok;
}

bool SetDirectoryTime(const std::string& path, const FILETIME& when, std::string* error) {
  HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *error = Reason("cannot set the time of", path);
    return false;
  }
  bool ok = SetFileTime(h, &when, &when, &when) != 0;
  if (!ok) *error = Reason("cannot set the time of", path);
  CloseHandle(h);
  return ok;
}

bool WriteChildren(const std::string& dir, const fat12::Tree& tree, std::string* error) {
  for (const fat12::Tree& child : tree.children) {
    std::string path = Join(dir, child.name);
    FILETIME when;
    bool have_time = FileTimeFromDos(child.dos_date, child.dos_time, &when);
    if (child.is_directory) {
      if (!CreateDirectoryW(Wide(path).c_str(), nullptr)) {
        *error = Reason("cannot create the directory", path);
        return false;
      }
      if (!WriteChildren(path, child, error)) return false;
      if (have_time && !SetDirectoryTime(path, when, error)) return false;
    } else if (!WriteNewFile(path, child.data, have_time ? &when : nullptr, FILE_ATTRIBUTE_NORMAL,
                             error)) {
      return false;
    }
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
  std::vector<WIN32_FIND_DATAW> entries;
  if (!ForEachEntry(dir, error, [&](const WIN32_FIND_DATAW& f) {
        entries.push_back(f);
        return true;
      })) {
    return false;
  }
  for (const WIN32_FIND_DATAW& f : entries) {
    fat12::Tree child;
    child.name = Narrow(f.cFileName);
    std::string path = Join(dir, child.name);
    DosFromFileTime(f.ftLastWriteTime, &child.dos_date, &child.dos_time);
    bool is_dir = (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    unsigned long long size =
        (static_cast<unsigned long long>(f.nFileSizeHigh) << 32) | f.nFileSizeLow;
    // Every directory takes a cluster; charging for it bounds the walk even
    // where junctions make the tree endless.
    unsigned long long cost = is_dir ? fat12::kSectorSize : size;
    if (cost > *budget) {
      *error = "the tree does not fit on a 1.44 MB floppy (stopped at " + path + ")";
      return false;
    }
    *budget -= static_cast<size_t>(cost);
    if (is_dir) {
      child.is_directory = true;
      if (!ReadChildren(path, depth + 1, budget, &child, error)) return false;
    } else if (!ReadWholeFile(path, static_cast<size_t>(cost), &child.data, error)) {
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
  if (!WriteNewFile(temp, data, nullptr, FILE_ATTRIBUTE_NORMAL, error)) {
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

bool ReadTree(const std::string& dir, size_t max_bytes, fat12::Tree* tree, std::string* error) {
  *tree = fat12::Tree();
  tree->is_directory = true;
  DWORD attributes = GetFileAttributesW(Wide(dir).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    *error = Reason("cannot read", dir);
    return false;
  }
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *error = dir + " is not a directory";
    return false;
  }
  size_t budget = max_bytes;
  return ReadChildren(dir, 0, &budget, tree, error);
}

bool WriteTree(const std::string& dir_in, const fat12::Tree& tree, const std::string* boot_sector,
               const std::string& boot_sector_path, std::string* error) {
  std::string dir = WithoutTrailingSeparators(dir_in);
  DWORD attributes = GetFileAttributesW(Wide(dir).c_str());
  bool existed = attributes != INVALID_FILE_ATTRIBUTES;
  if (existed && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
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
  if (!CreateDirectoryW(Wide(temp).c_str(), nullptr)) {
    *error = Reason("cannot create the directory", temp);
    return false;
  }
  bool ok = WriteChildren(temp, tree, error);
  bool bs_made = false;
  if (ok && boot_sector)
    ok = bs_made = WriteNewFile(bs_temp, *boot_sector, nullptr, FILE_ATTRIBUTE_NORMAL, error);
  if (ok && existed && !MoveFileW(Wide(dir).c_str(), Wide(old).c_str())) {
    *error = Reason("cannot replace the directory", dir);
    ok = false;
  }
  if (ok && !MoveFileW(Wide(temp).c_str(), Wide(dir).c_str())) {
    *error = Reason("cannot create the directory", dir);
    if (existed) MoveFileW(Wide(old).c_str(), Wide(dir).c_str());
    ok = false;
  }
  if (!ok) {
    std::string ignored;
    RemoveTree(temp, &ignored);
    if (boot_sector) DeleteFileW(Wide(bs_temp).c_str());
    return false;
  }
  if (bs_made && !MoveFileExW(Wide(bs_temp).c_str(), Wide(boot_sector_path).c_str(),
                              MOVEFILE_REPLACE_EXISTING)) {
    *error = Reason("cannot write", boot_sector_path);
    DeleteFileW(Wide(bs_temp).c_str());
    std::string ignored;
    RemoveTree(dir, &ignored);
    if (existed) MoveFileW(Wide(old).c_str(), Wide(dir).c_str());
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
#endif  // _WIN32
