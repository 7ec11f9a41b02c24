// command.com: the command interpreter stand-in as a console program.
#include "standins/command/command.h"
#include "standins/win32/console.h"

namespace {

// Without /C the commands come from standard input.
bool ReadsCommands(const std::vector<std::string>& args) {
  for (const std::string& a : args)
    if (a.size() >= 2 && a[0] == '/' && (a[1] == 'c' || a[1] == 'C')) return false;
  return true;
}

}  // namespace

int main() { return standins::RunConsoleStandin(&standins::CommandMain, &ReadsCommands); }
