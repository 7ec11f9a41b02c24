// rplcmd.exe: the Remoteboot service's command-line tool as a console program.
#include "standins/rpl/rplcmd.h"
#include "standins/win32/console.h"

namespace {

// Its records always come on standard input.
bool ReadsInput(const std::vector<std::string>&) { return true; }

}  // namespace

int main() { return standins::RunConsoleStandin(&standins::RplcmdMain, &ReadsInput); }
