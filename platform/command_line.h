// Command lines as the host's programs read them.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Splits a command line into words: blanks and tabs separate words, double
// quotes group them and are dropped.
std::vector<std::string> SplitCommandLine(const std::string& command_line);

}  // namespace platform
