#include "platform/win32/win32_host.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform {

std::wstring ProgramTitle(const std::wstring& exe_path) {
  std::wstring name = exe_path.substr(exe_path.find_last_of(L"\\/:") + 1);
  size_t dot = name.rfind(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  if (name.size() > 1) CharLowerBuffW(&name[1], static_cast<DWORD>(name.size() - 1));
  return name;
}

namespace {

// A path of the machine for a wide function: UTF-16, null-terminated.
std::wstring W(const std::string& s) { return Widen(s); }

// A path with a wildcard would name whatever matches it; no file is called so.
bool HasWildcard(const std::string& path) { return path.find_first_of("*?") != std::string::npos; }

}  // namespace

std::string Win32Host::ReadRegistry(const std::string& key, const std::string& value) {
  std::string subkey = !key.empty() && key[0] == '\\' ? key.substr(1) : key;
  HKEY handle;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(subkey).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return "";
  std::wstring name = W(value);
  std::string result;
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
    std::vector<wchar_t> data(size / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) == ERROR_SUCCESS) {
      // The stored value may or may not carry its terminating null.
      result = Narrow(std::wstring(data.data()));
    }
  }
  RegCloseKey(handle);
  return result;
}

std::string Win32Host::CurrentDirectory() {
  DWORD n = GetCurrentDirectoryW(0, nullptr);
  if (n == 0) return "";
  std::vector<wchar_t> buffer(n + 1, L'\0');
  GetCurrentDirectoryW(n + 1, buffer.data());
  return Narrow(buffer.data());
}

std::vector<DriveEntry> Win32Host::Drives() {
  std::vector<DriveEntry> drives;
  DWORD mask = GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if (!(mask & (1u << i))) continue;
    DriveEntry drive;
    drive.letter = static_cast<char>('A' + i);
    wchar_t root[] = {static_cast<wchar_t>(L'A' + i), L':', L'\\', 0};
    drive.fixed = GetDriveTypeW(root) == DRIVE_FIXED;
    if (drive.fixed) {
      wchar_t label[MAX_PATH + 1] = {0};
      if (GetVolumeInformationW(root, label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        drive.label = Narrow(label);
    }
    drives.push_back(drive);
  }
  return drives;
}

bool Win32Host::SetCurrentDirectory(const std::string& path) {
  return SetCurrentDirectoryW(W(path).c_str()) != 0;
}

std::string Win32Host::WindowsDirectory() {
  wchar_t buffer[MAX_PATH + 1] = {0};
  UINT n = GetWindowsDirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return "";
  return Narrow(buffer);
}

bool Win32Host::FileExists(const std::string& path) {
  if (path.empty() || HasWildcard(path)) return false;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(W(path).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  FindClose(find);
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32Host::DirectoryExists(const std::string& path) {
  DWORD attributes = GetFileAttributesW(W(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Host::MakeDirectory(const std::string& path) {
  return CreateDirectoryW(W(path).c_str(), nullptr) != 0;
}

bool Win32Host::RemoveDirectory(const std::string& path) { return RemoveDirectoryW(W(path).c_str()) != 0; }

std::string Win32Host::LocalTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char stamp[32];
  wsprintfA(stamp, "%04u%02u%02u-%02u%02u%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  return stamp;
}

bool Win32Host::DeleteFile(const std::string& path) { return DeleteFileW(W(path).c_str()) != 0; }

namespace {

// Puts a file's data on the disk. A read-only file (a copy takes its
// source's attributes) cannot be opened for writing, which flushing needs:
// it is made writable for that moment and read-only again after.
bool FlushToDisk(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
  const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (read_only && !SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY)) return false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  bool flushed = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file);
  if (file != INVALID_HANDLE_VALUE && !CloseHandle(file)) flushed = false;
  if (read_only && !SetFileAttributesW(path.c_str(), attributes)) flushed = false;
  return flushed;
}

}  // namespace

bool Win32Host::CopyFile(const std::string& from, const std::string& to, bool fail_if_exists) {
  // The copy counts as made once its data is on the disk: a copy kept
  // because it is there must not be a name without its data after a power cut.
  const std::wstring target = W(to);
  return CopyFileW(W(from).c_str(), target.c_str(), fail_if_exists ? TRUE : FALSE) != 0 && FlushToDisk(target);
}

bool Win32Host::ReplaceFile(const std::string& from, const std::string& to) {
  // The new file's data reaches the disk before it takes the name, and the
  // move is written through: after a power cut the name holds the old file
  // or the whole new one. A read-only target is refused by the move.
  const std::wstring source = W(from);
  return FlushToDisk(source) &&
         MoveFileExW(source.c_str(), W(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Host::SetFileAttributes(const std::string& path, unsigned attributes) {
  return SetFileAttributesW(W(path).c_str(), attributes) != 0;
}

unsigned Win32Host::FileAttributes(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
}

bool Win32Host::ListDirectory(const std::string& dir, std::vector<DirEntry>* entries) {
  entries->clear();
  std::string pattern = dir;
  if (pattern.empty() || (pattern.back() != '\\' && pattern.back() != '/')) pattern += '\\';
  pattern += "*.*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(W(pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return false;
  do {
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
    DirEntry entry;
    entry.name = Narrow(data.cFileName);
    entry.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!entry.is_directory) {
      entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
      entry.written = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                                                data.ftLastWriteTime.dwLowDateTime);
    }
    entries->push_back(entry);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return true;
}

bool Win32Host::ReadFile(const std::string& path, std::string* bytes, std::size_t limit) {
  bytes->clear();
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  char buffer[65536];
  while (bytes->size() < limit) {
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(sizeof buffer, limit - bytes->size()));
    DWORD got = 0;
    if (!::ReadFile(file, buffer, want, &got, nullptr)) {
      ok = false;
      break;
    }
    if (got == 0) break;
    bytes->append(buffer, got);
  }
  CloseHandle(file);
  if (!ok) bytes->clear();
  return ok;
}

bool Win32Host::WriteFile(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      ok = false;
      break;
    }
    done += written;
  }
  // On the disk before the file counts as written.
  if (ok && !FlushFileBuffers(file)) ok = false;
  if (!CloseHandle(file)) ok = false;
  return ok;
}

namespace {

std::wstring OwnTitle() {
  wchar_t path[MAX_PATH + 1] = {0};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return ProgramTitle(path);
}

}  // namespace

namespace {

// EnumThreadWindows: the first shown, enabled, captioned window owned by
// another, into the HWND `found` points to.
BOOL CALLBACK TakesInput(HWND w, LPARAM found) {
  if (!IsWindowVisible(w) || !IsWindowEnabled(w) || !GetWindow(w, GW_OWNER) ||
      (GetWindowLongW(w, GWL_STYLE) & WS_CAPTION) != WS_CAPTION)
    return TRUE;
  *reinterpret_cast<HWND*>(found) = w;
  return FALSE;
}

}  // namespace

HWND Win32Ui::Owner() const {
  // While a modal window is shown the main window takes no input, and the
  // modal window, a captioned window of this thread owned by another,
  // does. A box or window owned by the main window instead would, on
  // closing, hand the main window the activation, in front of the modal
  // window still open, and take input again.
  if (!main_window_ || IsWindowEnabled(main_window_)) return main_window_;
  HWND found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), TakesInput, reinterpret_cast<LPARAM>(&found));
  return found ? found : main_window_;
}

int Win32Ui::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return MessageBoxW(Owner(), W(text).c_str(), W(caption).c_str(), flags);
}

void Win32Ui::ShowMessage(const std::string& text) {
  MessageBoxW(Owner(), W(text).c_str(), OwnTitle().c_str(), MB_OK);
}

void Win32Ui::ShowError(const std::string& text) {
  MessageBoxW(Owner(), W(text).c_str(), OwnTitle().c_str(), MB_OK | MB_ICONSTOP);
}

ModalResult Win32Ui::ShowModal(ModalWindow& window) {
  auto it = modal_.find(std::type_index(typeid(window)));
  if (it == modal_.end()) {
    // A window the front end cannot show: say so rather than pretend.
    std::wstring text = L"窗口 " + W(window.Kind()) + L" 无法显示。";
    MessageBoxW(Owner(), text.c_str(), OwnTitle().c_str(), MB_OK | MB_ICONSTOP);
    return kMrCancel;
  }
  window.FormShow();
  return it->second(Owner(), window);
}

void Win32Ui::CloseMainWindow() {
  // The window closes once the handler has returned to the message loop.
  if (main_window_) PostMessageW(main_window_, WM_CLOSE, 0, 0);
}

bool Win32Ui::ChooseSaveFile(const std::string& title, std::string* path) {
  // The common save dialog of comdlg32, as NT 4.0 has it: the suggested
  // folder and name, INI files listed, the question before replacing one.
  wchar_t file[MAX_PATH] = {0};
  const std::wstring suggested = W(*path);
  const size_t slash = suggested.find_last_of(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? L"" : suggested.substr(0, slash);
  const std::wstring name = suggested.substr(slash == std::wstring::npos ? 0 : slash + 1);
  if (name.size() >= MAX_PATH) return false;
  name.copy(file, name.size());
  const std::wstring caption = W(title);
  static const wchar_t kFilter[] = L"应答文件 (*.ini)\0*.ini\0所有文件 (*.*)\0*.*\0";
  OPENFILENAMEW ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = main_window_;
  ofn.lpstrFilter = kFilter;
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  ofn.lpstrTitle = caption.c_str();
  ofn.lpstrDefExt = L"ini";
  ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  if (!GetSaveFileNameW(&ofn)) return false;
  *path = platform::Narrow(file);
  return true;
}

bool Win32Ui::CopyToClipboard(const std::string& text) {
  // Unicode text, which the system also offers as code page text to the
  // programs that ask for that.
  const std::wstring wide = W(text);
  const size_t size = (wide.size() + 1) * sizeof(wchar_t);
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!memory) return false;
  void* bytes = GlobalLock(memory);
  if (!bytes) {
    GlobalFree(memory);
    return false;
  }
  memcpy(bytes, wide.c_str(), size);
  GlobalUnlock(memory);
  if (!OpenClipboard(main_window_)) {
    GlobalFree(memory);
    return false;
  }
  bool done = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
  CloseClipboard();
  if (!done) GlobalFree(memory);  // the clipboard took it only when set
  return done;
}

}  // namespace platform
