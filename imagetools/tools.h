// undisk IMAGE DIR and rplimage DIR IMAGE /f:1440 as functions: the words
// after the program's name in, the exit code out, error lines appended to
// `err`. (The reference is the stand-ins' calling convention, shared with
// the simulated host.)
#pragma once

#include <string>
#include <vector>

namespace imagetools {

int Undisk(const std::vector<std::string>& args, std::string& err);
int Rplimage(const std::vector<std::string>& args, std::string& err);

}  // namespace imagetools
