// A placeholder for a DOS program shipped in the release folder's rplfiles
// (dos622\command.com, win98\subst.exe): the configuration tool only copies
// these files onto the Remoteboot tree. Run on the server, it says what it
// stands for and does nothing else.
#include <windows.h>

int main() {
  char path[MAX_PATH + 1] = {0};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD done = 0;
  const char* parts[] = {"This ", name,
                         " is a placeholder of the configuration tool's demo: it stands for the DOS "
                         "program of that name that a workstation runs, and does nothing.\r\n"};
  for (const char* part : parts) WriteFile(out, part, lstrlenA(part), &done, nullptr);
  return 0;
}
