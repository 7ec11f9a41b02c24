// fontprobe.dll: loaded into the program's process by the driver's message
// hook, because a font handle means nothing outside the process that made it
// (Wine answers another process's WM_GETFONT with 0). On the message
// "KorrinFontProbe" it writes, for every control of the thread's windows
// (the visible ones and their tooltips), one line into fonts.txt beside the
// DLL: window class, control class, identifier, character set and face of
// the control's font (-1 and "-" when it has none), then "end".
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  char buffer[256] = {0};
  WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer - 1, nullptr, nullptr);
  return buffer;
}

struct Report {
  FILE* out;
  wchar_t window_class[64];
};

BOOL CALLBACK AddControl(HWND control, LPARAM param) {
  Report* report = reinterpret_cast<Report*>(param);
  wchar_t control_class[64] = {0};
  GetClassNameW(control, control_class, 64);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW lf;
  bool read = font && GetObjectW(font, sizeof lf, &lf) == sizeof lf;
  std::fprintf(report->out, "%s\t%s\t%d\t%d\t%s\n", Utf8(report->window_class).c_str(),
               Utf8(control_class).c_str(), GetDlgCtrlID(control), read ? lf.lfCharSet : -1,
               read ? Utf8(lf.lfFaceName).c_str() : "-");
  return TRUE;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM param) {
  Report* report = reinterpret_cast<Report*>(param);
  GetClassNameW(window, report->window_class, 64);
  bool tooltip = lstrcmpiW(report->window_class, L"tooltips_class32") == 0;
  // A message box is drawn by the system in its own fonts.
  if (lstrcmpW(report->window_class, L"#32770") == 0) return TRUE;
  if (tooltip) {
    HWND owner = GetWindow(window, GW_OWNER);
    if (!owner || !IsWindowVisible(owner)) return TRUE;
    AddControl(window, param);  // a top-level window that is a control
  } else if (IsWindowVisible(window)) {
    std::fprintf(report->out, "%s\t-\t0\t0\t-\n", Utf8(report->window_class).c_str());
    EnumChildWindows(window, AddControl, param);
  }
  return TRUE;
}

HMODULE self;

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wparam, LPARAM lparam) {
  static const UINT probe = RegisterWindowMessageW(L"KorrinFontProbe");
  const MSG* msg = reinterpret_cast<const MSG*>(lparam);
  if (code == HC_ACTION && wparam == PM_REMOVE && msg->message == probe) {
    wchar_t path[MAX_PATH] = {0};
    GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file = path;
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"fonts.txt";
    Report report = {_wfopen(file.c_str(), L"w"), {0}};
    if (report.out) {
      EnumThreadWindows(GetCurrentThreadId(), AddWindow, reinterpret_cast<LPARAM>(&report));
      std::fprintf(report.out, "end\n");
      std::fclose(report.out);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}
