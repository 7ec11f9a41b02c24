// The program's fonts seen from inside its process: the driver hooks the
// program's thread with fontprobe.dll (font_probe.cpp), which lists the font
// of every control of the windows shown; the driver checks the list (the
// step check-fonts).
#include "tests/e2e/probe.h"

#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>

namespace e2e {
namespace {

std::wstring HereFile(const wchar_t* name) {
  wchar_t path[MAX_PATH] = {0};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file = path;
  return file.substr(0, file.find_last_of(L'\\') + 1) + name;
}

// The probe's lines, read once it has written "end"; empty when it never did.
std::vector<std::string> Probe(HWND main) {
  const std::wstring list = HereFile(L"fonts.txt");
  DeleteFileW(list.c_str());
  HMODULE dll = LoadLibraryW(HereFile(L"fontprobe.dll").c_str());
  HOOKPROC hook = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "ProbeHook"))) : nullptr;
  HHOOK hooked = hook ? SetWindowsHookExW(WH_GETMESSAGE, hook, dll, GetWindowThreadProcessId(main, nullptr)) : nullptr;
  std::vector<std::string> lines;
  if (hooked) {
    PostMessageW(main, RegisterWindowMessageW(L"KorrinFontProbe"), 0, 0);
    WaitFor([&] {
      std::vector<std::string> read;
      if (FILE* in = _wfopen(list.c_str(), L"r")) {
        char line[512];
        while (std::fgets(line, sizeof line, in)) read.push_back(std::string(line, std::strcspn(line, "\r\n")));
        std::fclose(in);
      }
      if (read.empty() || read.back() != "end") return false;
      read.pop_back();
      lines = read;
      return true;
    });
    UnhookWindowsHookEx(hooked);
  }
  if (dll) FreeLibrary(dll);
  return lines;
}

}  // namespace

int CheckFonts(const Args& classes) {
  HWND main = MainWindow();
  if (!main) {
    Fail("no main window");
    return Failures();
  }
  std::vector<std::string> lines = Probe(main);
  Check(!lines.empty(), "the font probe answered from the program's process");
  std::set<std::string> windows;
  int controls = 0;
  for (const std::string& line : lines) {
    std::istringstream fields(line);
    std::string window, control, id, charset, face;
    std::getline(fields, window, '\t');
    std::getline(fields, control, '\t');
    std::getline(fields, id, '\t');
    std::getline(fields, charset, '\t');
    std::getline(fields, face, '\t');
    if (control == "-") {
      windows.insert(window);
      continue;
    }
    ++controls;
    if (charset != std::to_string(GB2312_CHARSET))
      Fail(window + " " + control + " " + id + ": character set " + charset + " (" + face + "), expected " +
           std::to_string(GB2312_CHARSET));
  }
  for (const std::string& c : classes) Check(windows.count(c) == 1, c + " is shown and probed");
  std::printf("fonts of %d controls in %d windows read\n", controls, static_cast<int>(windows.size()));
  return Failures();
}

}  // namespace e2e
