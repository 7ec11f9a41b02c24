// Runs a stand-in as a Win32 console program: its arguments from the command
// line, files through the real host, its output to the console, and the
// programs it runs started with CreateProcessW and waited for.
#pragma once

#include <string>
#include <vector>

#include "standins/standin.h"

namespace standins {

// Whether the stand-in reads its standard input for these arguments. Input is
// read only then, so that a program that needs none never waits on a console.
using WantsInput = bool (*)(const std::vector<std::string>& args);

// The whole program: returns the exit code for main/wmain.
int RunConsoleStandin(Main main, WantsInput wants_input);

// The words of a command line after the program's name: blanks separate
// words, double quotes group them (the rules the simulated host uses).
std::vector<std::string> ArgumentsOf(const std::wstring& command_line);

}  // namespace standins
