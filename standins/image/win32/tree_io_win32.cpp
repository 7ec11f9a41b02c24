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

#include "standins/image/tree_io.h"

namespace treeio {
namespace {

std::wstring Wide(const std::string& s) {
    if (s.empty()) return std::wstring();
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), &w[0], n);
    return w;
}

std::string Narrow(const wchar_t* w, int length = -1) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, length, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, length, &s[0], n, nullptr, nullptr);
    if (length < 0 && !s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = n && text ? Narrow(text) : "error " + std::to_string(code);
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ' ||
                                message.back() == '.')) {
        message.pop_back();
    }
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
    while (path.size() > 1 && IsSeparator(path.back()) && path[path.size() - 2] != ':') path.pop_back();
    return path;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string TemporaryBeside(const std::string& path) {
    const std::string base = path + ".tmp" + std::to_string(static_cast<unsigned long>(GetCurrentProcessId()));
    for (unsigned n = 0;; ++n) {
        const std::string candidate = n ? base + "-" + std::to_string(n) : base;
        if (!Exists(candidate)) return candidate;
    }
}

// Calls `visit` with each entry of `dir` but "." and "..".
template <typename Visit>
bool ForEachEntry(const std::string& dir, std::string& error, Visit visit) {
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(Wide(Join(dir, "*")).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) return true;
        error = Reason("cannot read the directory", dir);
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

void RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        std::vector<std::string> names;
        std::string ignored;
        ForEachEntry(path, ignored, [&](const WIN32_FIND_DATAW& f) {
            names.push_back(Narrow(f.cFileName));
            return true;
        });
        for (const std::string& n : names) RemoveTree(Join(path, n));
        RemoveDirectoryW(Wide(path).c_str());
    } else {
        DeleteFileW(Wide(path).c_str());
    }
}

bool FileTimeFromDos(std::uint16_t dos_date, std::uint16_t dos_time, FILETIME& utc) {
    const fat12::DateTime w = fat12::DateTimeFromDosStamp(dos_date, dos_time);
    SYSTEMTIME st = {};
    st.wYear = static_cast<WORD>(w.year);
    st.wMonth = static_cast<WORD>(w.month);
    st.wDay = static_cast<WORD>(w.day);
    st.wHour = static_cast<WORD>(w.hour);
    st.wMinute = static_cast<WORD>(w.minute);
    st.wSecond = static_cast<WORD>(w.second);
    FILETIME local;
    return SystemTimeToFileTime(&st, &local) && LocalFileTimeToFileTime(&local, &utc);
}

void DosFromFileTime(const FILETIME& utc, std::uint16_t& dos_date, std::uint16_t& dos_time) {
    FILETIME local;
    SYSTEMTIME st;
    fat12::DateTime w;
    if (FileTimeToLocalFileTime(&utc, &local) && FileTimeToSystemTime(&local, &st)) {
        w.year = st.wYear;
        w.month = st.wMonth;
        w.day = st.wDay;
        w.hour = st.wHour;
        w.minute = st.wMinute;
        w.second = st.wSecond;
    }
    fat12::DosStampFromDateTime(w, &dos_date, &dos_time);
}

bool WriteAll(HANDLE h, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(h, data.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

// Creates the new file `path` holding `data`, with the given time when `when` is set.
bool WriteNewFile(const std::string& path, const std::string& data, const FILETIME* when, std::string& error) {
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = Reason("cannot create", path);
        return false;
    }
    bool ok = WriteAll(h, data);
    if (ok && when) ok = SetFileTime(h, when, when, when) != 0;
    if (!ok) error = Reason("cannot write", path);
    if (!CloseHandle(h) && ok) {
        error = Reason("cannot write", path);
        ok = false;
    }
    return ok;
}

bool SetDirectoryTime(const std::string& path, const FILETIME& when, std::string& error) {
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error = Reason("cannot set the time of", path);
        return false;
    }
    const bool ok = SetFileTime(h, &when, &when, &when) != 0;
    if (!ok) error = Reason("cannot set the time of", path);
    CloseHandle(h);
    return ok;
}

bool WriteChildren(const std::string& dir, const fat12::Tree& tree, std::string& error) {
    for (const fat12::Tree& child : tree.children) {
        const std::string path = Join(dir, child.name);
        FILETIME when;
        const bool haveTime = FileTimeFromDos(child.dos_date, child.dos_time, when);
        if (child.is_directory) {
            if (!CreateDirectoryW(Wide(path).c_str(), nullptr)) {
                error = Reason("cannot create the directory", path);
                return false;
            }
            if (!WriteChildren(path, child, error)) return false;
            if (haveTime && !SetDirectoryTime(path, when, error)) return false;
        } else if (!WriteNewFile(path, child.data, haveTime ? &when : nullptr, error)) {
            return false;
        }
    }
    return true;
}

bool ReadChildren(const std::string& dir, std::size_t& budget, fat12::Tree& tree, std::string& error) {
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
        const std::string path = Join(dir, child.name);
        DosFromFileTime(f.ftLastWriteTime, child.dos_date, child.dos_time);
        const bool isDir = (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const unsigned long long size = (static_cast<unsigned long long>(f.nFileSizeHigh) << 32) | f.nFileSizeLow;
        // Every directory takes a cluster; charging for it bounds the walk even
        // where junctions make the tree endless.
        const unsigned long long cost = isDir ? fat12::kSectorSize : size;
        if (cost > budget) {
            error = "the tree does not fit on a 1.44 MB floppy (stopped at " + path + ")";
            return false;
        }
        budget -= static_cast<std::size_t>(cost);
        if (isDir) {
            child.is_directory = true;
            if (!ReadChildren(path, budget, child, error)) return false;
        } else if (!ReadWholeFile(path, static_cast<std::size_t>(cost), child.data, error)) {
            return false;
        }
        tree.children.push_back(std::move(child));
    }
    return true;
}

}  // namespace

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

bool ReadWholeFile(const std::string& path, std::size_t maxSize, std::string& data, std::string& error,
                   bool* missing) {
    if (missing) *missing = false;
    HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (missing) *missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
        error = "cannot open " + path + ": " + SystemMessage(code);
        return false;
    }
    DWORD high = 0;
    const DWORD low = GetFileSize(h, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        error = Reason("cannot read", path);
        CloseHandle(h);
        return false;
    }
    const unsigned long long size = (static_cast<unsigned long long>(high) << 32) | low;
    if (size > maxSize) {
        CloseHandle(h);
        error = path + " is too big: " + std::to_string(size) + " bytes";
        return false;
    }
    data.assign(static_cast<std::size_t>(size), '\0');
    std::size_t done = 0;
    bool ok = true;
    while (ok && done < data.size()) {
        DWORD got = 0;
        ok = ReadFile(h, &data[done], static_cast<DWORD>(data.size() - done), &got, nullptr) && got > 0;
        done += got;
    }
    CloseHandle(h);
    if (!ok) {
        error = "cannot read " + path + " whole";
        return false;
    }
    return true;
}

bool WriteFileReplacing(const std::string& path, const std::string& data, std::string& error) {
    const std::string temp = TemporaryBeside(path);
    if (!WriteNewFile(temp, data, nullptr, error)) {
        DeleteFileW(Wide(temp).c_str());
        return false;
    }
    if (!MoveFileExW(Wide(temp).c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = Reason("cannot write", path);
        DeleteFileW(Wide(temp).c_str());
        return false;
    }
    return true;
}

bool ReadTree(const std::string& dir, std::size_t maxBytes, fat12::Tree& tree, std::string& error) {
    tree = fat12::Tree();
    tree.is_directory = true;
    const DWORD attributes = GetFileAttributesW(Wide(dir).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = Reason("cannot read", dir);
        return false;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = dir + " is not a directory";
        return false;
    }
    std::size_t budget = maxBytes;
    return ReadChildren(dir, budget, tree, error);
}

bool WriteTree(const std::string& dirIn, const fat12::Tree& tree, const std::string* bootSector,
               const std::string& bootSectorPath, std::string& error) {
    const std::string dir = WithoutTrailingSeparators(dirIn);
    const DWORD attributes = GetFileAttributesW(Wide(dir).c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed && !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = dir + " exists and is not a directory";
        return false;
    }

    // The new tree is made complete beside the old one; only then does it
    // take the old one's place, so a run never mixes old files into the new
    // tree and a failure leaves the old tree as it was.
    const std::string temp = TemporaryBeside(dir);
    const std::string old = TemporaryBeside(dir + ".old");
    if (!CreateDirectoryW(Wide(temp).c_str(), nullptr)) {
        error = Reason("cannot create the directory", temp);
        return false;
    }
    std::string bsTemp;
    bool ok = WriteChildren(temp, tree, error);
    if (ok && bootSector) {
        bsTemp = TemporaryBeside(bootSectorPath);
        ok = WriteNewFile(bsTemp, *bootSector, nullptr, error);
    }
    if (ok && existed && !MoveFileW(Wide(dir).c_str(), Wide(old).c_str())) {
        error = Reason("cannot replace the directory", dir);
        ok = false;
    }
    if (ok && !MoveFileW(Wide(temp).c_str(), Wide(dir).c_str())) {
        error = Reason("cannot create the directory", dir);
        if (existed) MoveFileW(Wide(old).c_str(), Wide(dir).c_str());
        ok = false;
    }
    if (!ok) {
        RemoveTree(temp);
        if (!bsTemp.empty()) DeleteFileW(Wide(bsTemp).c_str());
        return false;
    }
    if (bootSector && !MoveFileExW(Wide(bsTemp).c_str(), Wide(bootSectorPath).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        error = Reason("cannot write", bootSectorPath);
        DeleteFileW(Wide(bsTemp).c_str());
        RemoveTree(dir);
        if (existed) MoveFileW(Wide(old).c_str(), Wide(dir).c_str());
        return false;
    }
    if (existed) RemoveTree(old);
    return true;
}

}  // namespace treeio
#endif  // _WIN32
