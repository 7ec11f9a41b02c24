// The program's fonts seen from inside its process: the driver hooks the
// program's thread with fontprobe.dll (font_probe.cpp), which reports on the
// font of every control of the windows shown; the driver reads the report
// (the step check-fonts).
#include "tests/e2e/probe.h"

#include <cstdio>
#include <set>
#include <sstream>

namespace e2e {
namespace {

// The probe's report, read once it has put it in place; empty when it never did.
std::string Probe(HWND main) {
  const std::wstring report_file = HereFile(nullptr, L"fonts.txt");
  DeleteFileW(report_file.c_str());
  HMODULE dll = LoadLibraryW(HereFile(nullptr, L"fontprobe.dll").c_str());
  HOOKPROC hook = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "ProbeHook"))) : nullptr;
  HHOOK hooked = hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, dll, GetWindowThreadProcessId(main, nullptr)) : nullptr;
  std::string report;
  if (hooked) {
    PostMessageW(main, RegisterWindowMessageW(L"KorrinFontProbe"), 0, 0);
    WaitFor([&] { return platform::Win32Host().ReadFile(platform::Narrow(report_file), &report, SIZE_MAX); });
    UnhookWindowsHookEx(hooked);
  }
  if (dll) FreeLibrary(dll);
  return report;
}

}  // namespace

void CheckFonts(const Args& classes) {
  HWND main = MainWindow();
  std::istringstream report(main ? Probe(main) : "");
  Check(!report.str().empty(), "the font probe answered from the program's process");
  std::set<std::string> windows;
  for (std::string line; std::getline(report, line);) {
    if (line.compare(0, 7, "window ") == 0)
      windows.insert(line.substr(7));
    else if (line.compare(0, 9, "fonts of ") == 0)
      std::printf("%s\n", line.c_str());
    else
      Fail(line);
  }
  for (const std::string& c : classes) Check(windows.count(c) == 1, c + " is shown and probed");
}

}  // namespace e2e
