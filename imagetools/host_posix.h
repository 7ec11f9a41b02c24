// What the POSIX side of the image tools shares between reading and writing
// trees (tree_io_posix.cpp) and the paths around them (host_posix.cpp).
// Internal to the image tools.
#pragma once

#include <string>

namespace treeio {

// "WHAT PATH: the system's reason", from errno.
std::string Reason(const std::string& what, const std::string& path);
std::string Join(const std::string& dir, const std::string& name);
std::string WithoutTrailingSeparators(std::string path);
// The directory part of `path`, "." when it has none.
std::string Parent(const std::string& path);

// Removes a tree this program created or replaced (links inside it are
// removed, never followed). Goes on past a failure, and reports the first.
bool RemoveTree(const std::string& path, std::string* error);

// A name beside `path` that does not exist yet, for a temporary file or
// directory. Any answer but "no such file" (a parent that is a file or cannot
// be searched, a name too long, a loop of links) ends the search.
bool TemporaryBeside(const std::string& path, std::string* temp, std::string* error);

// The path that `path` leads to through symbolic links (itself when it is
// none, or when the link leads to a name that does not exist yet).
bool FollowLinks(const std::string& path, std::string* target, std::string* error);

}  // namespace treeio
