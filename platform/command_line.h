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

// The file name of a command line's program, without its folder.
std::string ProgramFileName(const std::string& command_line);

// Quotes a path holding a blank, so that a started program takes it as one
// word and no program of a shorter name is started in its place; any other
// path stays as it is.
std::string QuotedIfBlank(const std::string& path);

}  // namespace platform
