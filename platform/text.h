// Small text helpers shared by the host, the stand-ins and the handlers.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace platform {

class Host;

// ASCII letters lowered; every other byte kept. Names on the host compare
// without regard to the case of ASCII letters.
std::string Lower(std::string s);
bool SameName(const std::string& a, const std::string& b);

// A path as a key of the places a program may change: in upper case, "\"
// between names, none at the end (but a drive root's).
std::string PathKey(std::string path);
// Whether `path` is the place itself or below it, names without regard to case.
bool PathWithin(const std::string& path, const std::string& place);
// A path as Windows takes it: whole (from the current directory), "\"
// between its names, without "." and "..", each name without the dots and
// blanks it ends in (Windows drops them). The names, the drive (or a network
// path's server and share) first.
std::vector<std::string> FullPath(Host& host, std::string path);
// Whether two paths name the same file as Windows takes them (names
// without regard to case).
bool SameFilePath(Host& host, const std::string& a, const std::string& b);

// The length of the UTF-8 sequence that begins with `lead`: 1 to 4, or 0 for a
// byte that cannot begin one.
std::size_t Utf8SequenceLength(unsigned char lead);

}  // namespace platform
