// Small text helpers shared by the host, the stand-ins and the handlers.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// ASCII letters lowered; every other byte kept. Names on the host compare
// without regard to the case of ASCII letters.
std::string Lower(std::string s);
bool SameName(const std::string& a, const std::string& b);

// A path as a key of the places a program may change: in upper case, "\"
// between names, none at the end (but a drive root's).
std::string PathKey(std::string path);
// Whether `path` is the place itself or below it, names without regard to case.
bool PathWithin(const std::string& path, const std::string& place);

// The length of the UTF-8 sequence that begins with `lead`: 1 to 4, or 0 for a
// byte that cannot begin one.
std::size_t Utf8SequenceLength(unsigned char lead);

}  // namespace platform
