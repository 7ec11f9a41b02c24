// net.exe: the net stand-in as a console program.
#include "standins/net/net.h"
#include "standins/win32/console.h"

int main() { return standins::RunConsoleStandin(&standins::NetMain, nullptr); }
