// What the Win32 side of the image tools shares between reading and writing
// trees (tree_io_win32.cpp) and the paths around them (host_win32.cpp).
// Internal to the image tools.
#pragma once
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/win32/wide.h"

namespace treeio {

// UTF-8 to UTF-16 and back, the program's own converters.
inline std::wstring Wide(const std::string& s) { return platform::Widen(s); }
using platform::Narrow;
// The system's text for an error code, without its final full stop.
std::string SystemMessage(DWORD code);
// "WHAT PATH: the system's reason", from GetLastError.
std::string Reason(const std::string& what, const std::string& path);
bool IsSeparator(char c);
std::string Join(const std::string& dir, const std::string& name);
std::string WithoutTrailingSeparators(std::string path);

// A name beside `path` that does not exist yet, for a temporary file or
// directory. Any answer but "no such file" (a parent that is missing, a file
// or out of reach, a name too long) ends the search.
bool TemporaryBeside(const std::string& path, std::string* temp, std::string* error);

// Removes a tree this program created or replaced. Goes on past a failure,
// and reports the first.
bool RemoveTree(const std::string& path, std::string* error);

// Calls `visit` with each entry of `dir` but "." and "..".
template <typename Visit>
bool ForEachEntry(const std::string& dir, std::string* error, Visit visit) {
  WIN32_FIND_DATAW found;
  HANDLE h = FindFirstFileW(Wide(Join(dir, "*")).c_str(), &found);
  if (h == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    *error = Reason("cannot read the directory", dir);
    return false;
  }
  bool ok = true;
  do {
    if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
    if (!visit(found)) {
      ok = false;
      break;
    }
  } while (FindNextFileW(h, &found));
  FindClose(h);
  return ok;
}

}  // namespace treeio
#endif  // _WIN32
