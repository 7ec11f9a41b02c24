// The PXE PDK's programs and the DHCP manager on the demo server: one small
// program copied under each name (pxe20-pdk.exe, pxeconfig.exe,
// pxereg60.exe, DHCPADMN.exe). It tells which program it stands for. Under
// the installer's name it also installs the other two into the PDK's system
// directory below the program-files directory, as the real installer does.
#include <windows.h>

#include <string>

namespace {

std::wstring OwnPath() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  return std::wstring(path, n);
}

std::wstring FileStem(const std::wstring& path) {
  size_t slash = path.find_last_of(L"\\/");
  std::wstring name = path.substr(slash == std::wstring::npos ? 0 : slash + 1);
  size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
  return name;
}

std::wstring ProgramFilesDir() {
  HKEY key;
  std::wstring value;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    wchar_t data[MAX_PATH] = {0};
    DWORD size = sizeof data - sizeof(wchar_t), type = 0;
    if (RegQueryValueExW(key, L"ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(data), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ))
      value = data;
    RegCloseKey(key);
  }
  return value;
}

// Makes the PDK's directories one level after the other and puts the
// configurator and the registration program into its system directory.
bool Install(std::wstring* where) {
  std::wstring dir = ProgramFilesDir();
  if (dir.empty()) return false;
  for (const wchar_t* level : {L"\\Intel", L"\\Pxe", L"\\Pdk", L"\\system"}) {
    dir += level;
    CreateDirectoryW(dir.c_str(), nullptr);
  }
  *where = dir;
  const std::wstring self = OwnPath();
  return CopyFileW(self.c_str(), (dir + L"\\pxeconfig.exe").c_str(), FALSE) &&
         CopyFileW(self.c_str(), (dir + L"\\pxereg60.exe").c_str(), FALSE);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  const std::wstring name = FileStem(OwnPath());
  const wchar_t* caption = L"演示服务器";
  if (name == L"pxe20-pdk") {
    std::wstring where;
    if (Install(&where)) {
      MessageBoxW(nullptr, (L"PXE PDK 2.0 的替身已安装到\r\n" + where).c_str(), caption, MB_ICONINFORMATION);
      return 0;
    }
    MessageBoxW(nullptr, L"PXE PDK 2.0 的替身无法安装：找不到或无法写入程序目录。", caption, MB_ICONEXCLAMATION);
    return 1;
  }
  const wchar_t* what = name == L"pxeconfig"   ? L"PXE PDK 配置程序 (pxeconfig.exe)"
                        : name == L"pxereg60"  ? L"PXE PDK 的 DHCP for Windows 2000 程序 (pxereg60.exe)"
                        : name == L"dhcpadmn"  ? L"DHCP 管理器 (DHCPADMN.exe)"
                                               : L"PXE PDK 程序";
  MessageBoxW(nullptr, (std::wstring(what) + L"\r\n\r\n这是演示服务器上的替身程序，它只表明程序已被启动。").c_str(),
              caption, MB_ICONINFORMATION);
  return 0;
}
