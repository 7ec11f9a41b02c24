// The few file-system calls in which the hosts of the image tools differ:
// host_posix.cpp answers them with POSIX calls, win32/host_win32.cpp with
// the wide Win32 calls. The walks over whole trees (tree_walk.cpp) are
// written once over them. Internal to the image tools; paths are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace treeio {

// What a path names. kUnknown: the system could not tell (it is out of
// reach, or a part of the path is no directory); Reason says why.
enum class Kind { kMissing, kFile, kDirectory, kOther, kUnknown };

struct Entry {
  std::string name;
  Kind kind = Kind::kOther;
  unsigned long long size = 0;
  std::uint16_t dos_date = 0, dos_time = 0;  // the modification time
};

// "WHAT PATH: the system's reason", for the call that failed last.
std::string Reason(const std::string& what, const std::string& path);
std::string Join(const std::string& dir, const std::string& name);
std::string WithoutTrailingSeparators(std::string path);
// A number that no other running process of the tools has.
unsigned long ProcessNumber();

// What `path` is; with `follow_links` false a link is kOther, whatever it
// leads to (where the host has links).
Kind KindOf(const std::string& path, bool follow_links);
// The entries of `dir` but "." and "..", each described as KindOf would.
bool List(const std::string& dir, bool follow_links, std::vector<Entry>* entries, std::string* error);

bool MakeDirectory(const std::string& path);
// Creates the new file `path` holding `data`.
bool WriteNewFile(const std::string& path, const std::string& data, std::string* error);
// Sets the modification time of a file or directory from a DOS stamp.
bool SetStamp(const std::string& path, std::uint16_t dos_date, std::uint16_t dos_time, std::string* error);
// Gives `from` the name `to`; a file `to` is replaced when `replace` is set.
bool Rename(const std::string& from, const std::string& to, bool replace);
bool RemoveFile(const std::string& path);
bool RemoveEmptyDirectory(const std::string& path);

// The walks of tree_walk.cpp that the hosts use themselves.
// A name beside `path` that does not exist yet, for a temporary file or
// directory. Any answer but "no such file" ends the search.
bool TemporaryBeside(const std::string& path, std::string* temp, std::string* error);
// Removes a tree this program created or replaced (links inside it are
// removed, never followed). Goes on past a failure, and reports the first.
bool RemoveTree(const std::string& path, std::string* error);

}  // namespace treeio
