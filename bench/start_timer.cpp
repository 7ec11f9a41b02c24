// start_timer COMMAND: runs the Unix shell command COMMAND (a `wine PROGRAM`
// start, as an administrator's shell would give it) and times it until a new
// top-level window is shown and its program waits for input: the window made,
// shown and painted, the message loop reached. Prints that time in
// milliseconds, then closes the window (WM_CLOSE) and waits for its program to
// end. Exit status 0 when it was timed, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>

namespace {

// The visible top-level windows of other processes.
BOOL CALLBACK AddShown(HWND window, LPARAM param) {
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() && IsWindowVisible(window))
    reinterpret_cast<std::set<HWND>*>(param)->insert(window);
  return TRUE;
}

std::set<HWND> Shown() {
  std::set<HWND> windows;
  EnumWindows(AddShown, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

double Elapsed(const LARGE_INTEGER& from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: start_timer 'cd DIR && exec wine PROGRAM'\n");
    return 1;
  }
  const std::set<HWND> before = Shown();
  // Wine runs a program that is no Windows program as a Unix process.
  std::wstring command = L"Z:\\bin\\sh -c \"" + std::wstring(argv[1]) + L"\"";
  STARTUPINFOW startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started;
  LARGE_INTEGER begin;
  QueryPerformanceCounter(&begin);
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &started)) {
    std::fprintf(stderr, "start_timer: cannot run the command (error %lu)\n", GetLastError());
    return 1;
  }
  HWND window = nullptr;
  for (int waited = 0; waited < 20000 && !window; ++waited) {
    for (HWND shown : Shown())
      if (!before.count(shown)) window = shown;
    if (!window) Sleep(1);
  }
  if (!window) {
    std::fprintf(stderr, "start_timer: no new window was shown\n");
    return 1;
  }
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  HANDLE program = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, id);
  if (program) WaitForInputIdle(program, 20000);
  std::printf("%.1f\n", Elapsed(begin));
  PostMessageW(window, WM_CLOSE, 0, 0);
  if (program) {
    if (WaitForSingleObject(program, 10000) != WAIT_OBJECT_0) TerminateProcess(program, 1);
    CloseHandle(program);
  }
  return 0;
}
