// fontprobe.dll: loaded into the program's process by the driver's message
// hook, because a font handle means nothing outside the process that made it
// (Wine answers another process's WM_GETFONT with 0). On the message
// "KorrinFontProbe" it reports on the thread's visible windows and their
// tooltips, into fonts.txt beside the DLL (written under another name, then
// put in place whole): "window CLASS" for each window, a line for each control
// whose font is not for the GB2312 character set, then the numbers read.
#include "tests/e2e/probe.h"  // first: it includes windows.h

#include <cstdio>
#include <string>

namespace {

using platform::Narrow;

struct Report {
  FILE* out;
  wchar_t window_class[64];
  int windows, controls;
};

BOOL CALLBACK AddControl(HWND control, LPARAM param) {
  Report* report = reinterpret_cast<Report*>(param);
  wchar_t control_class[64] = {0};
  GetClassNameW(control, control_class, 64);
  HFONT font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  LOGFONTW lf;
  bool read = font && GetObjectW(font, sizeof lf, &lf) == sizeof lf;
  ++report->controls;
  if (!read || lf.lfCharSet != GB2312_CHARSET)
    std::fprintf(report->out, "%s %s %d: character set %d (%s), expected %d\n",
                 Narrow(report->window_class).c_str(), Narrow(control_class).c_str(), GetDlgCtrlID(control),
                 read ? lf.lfCharSet : -1, read ? Narrow(lf.lfFaceName).c_str() : "no font", GB2312_CHARSET);
  return TRUE;
}

BOOL CALLBACK AddWindow(HWND window, LPARAM param) {
  Report* report = reinterpret_cast<Report*>(param);
  GetClassNameW(window, report->window_class, 64);
  // A tooltip is a top-level window that is a control of the window owning
  // it; a message box is drawn by the system in its own fonts.
  HWND owner = GetWindow(window, GW_OWNER);
  if (lstrcmpiW(report->window_class, L"tooltips_class32") == 0) {
    if (owner && IsWindowVisible(owner)) AddControl(window, param);
  } else if (IsWindowVisible(window) && lstrcmpW(report->window_class, L"#32770") != 0) {
    ++report->windows;
    std::fprintf(report->out, "window %s\n", Narrow(report->window_class).c_str());
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
    const std::wstring file = e2e::HereFile(self, L"fonts.txt");
    Report report = {_wfopen((file + L".new").c_str(), L"wb"), {0}, 0, 0};
    if (report.out) {
      EnumThreadWindows(GetCurrentThreadId(), AddWindow, reinterpret_cast<LPARAM>(&report));
      std::fprintf(report.out, "fonts of %d controls in %d windows read\n", report.controls, report.windows);
      if (std::fclose(report.out) == 0) MoveFileExW((file + L".new").c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) self = instance;
  return TRUE;
}
