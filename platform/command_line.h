// Command lines as the host's programs read them.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Splits a command line into words: blanks and tabs separate words, double
// quotes group them and are dropped.
std::vector<std::string> SplitCommandLine(const std::string& command_line);

// What follows the program's name (a quoted run, or up to the first blank or
// tab), as it was typed, quotes included: a program that gives quotes a
// meaning of its own (the command interpreter) reads this.
std::string ArgumentsText(const std::string& command_line);

}  // namespace platform
