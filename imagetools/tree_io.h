// The host side of the image tools: command-line arguments, whole files and
// directory trees on the host's file system. The tree walks are written once
// (tree_walk.cpp) over the calls of one host (host_fs.h: host_posix.cpp, and
// win32/host_win32.cpp for Windows). Paths and names are UTF-8 throughout.
#pragma once

#include <string>
#include <vector>

#include "imagetools/fat12.h"

namespace treeio {

// The program's arguments after the program name, as UTF-8.
std::vector<std::string> Arguments(int argc, char** argv);

// Characters that separate path components on this host.
const char* PathSeparators();

// Reads a whole file. Refuses anything but a plain file (a directory, a pipe,
// a device) before opening it, so that nothing blocks, and a file longer than
// `max_size` bytes without reading it. A missing file is reported through
// `missing` (when given) as well as the return value.
bool ReadWholeFile(const std::string& path, size_t max_size, std::string* data,
                   std::string* error, bool* missing = nullptr);

// Writes `data` to a new file beside `path` and then renames it to `path`,
// replacing what was there: on failure `path` is as it was and nothing else is
// left. Where `path` is a symbolic link, the file it leads to is the one
// replaced; a file replaced keeps its permissions.
bool WriteFileReplacing(const std::string& path, const std::string& data, std::string* error);

// Reads the directory tree below `dir` (files with their contents and
// modification times as DOS stamps). Fails on anything that is neither a
// file nor a directory, on directories nested deeper than fat12::kMaxDepth,
// and once the files hold more than `max_bytes` bytes.
bool ReadTree(const std::string& dir, size_t max_bytes, fat12::Tree* tree, std::string* error);

// Makes the directory `dir` hold exactly `tree`, with file and directory times
// set from the DOS stamps; a directory `dir` that exists is replaced whole.
// The tree is written under a temporary name beside `dir` and takes its place
// when it is complete; when `boot_sector` is given it is then written to
// `boot_sector_path` the same way. On failure `dir` is as it was and nothing
// new is left behind, except when the old tree cannot be removed once the new
// one is in place: that fails with the name it is left under.
bool WriteTree(const std::string& dir, const fat12::Tree& tree, const std::string* boot_sector,
               const std::string& boot_sector_path, std::string* error);

// True when `a` and `b` both exist and are one and the same file, whatever
// names and links lead to it.
bool SameFile(const std::string& a, const std::string& b);

// True when the directory `dir` exists and the file `path` lies somewhere
// below it, links followed.
bool LiesInside(const std::string& path, const std::string& dir);

}  // namespace treeio
