// Text files as the system reads and writes them, on any host.
// Reading: a line ends at CR (an LF right after it belongs to the line end; an
// LF alone does not end a line), and Ctrl-Z ends the file. Writing: every line
// is followed by CR LF. Contents are code page 936 on disk, UTF-8 here.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

std::vector<std::string> SplitLines(const std::string& bytes);
std::string JoinLines(const std::vector<std::string>& lines);

// False when the file cannot be opened or read; `lines` is then empty.
bool ReadTextLines(Host& host, const std::string& path, std::vector<std::string>* lines);
// Writes every line into the file, whole: through WriteFileWhole.
bool WriteTextLines(Host& host, const std::string& path, const std::vector<std::string>& lines);

// Files replaced whole or not at all: the new content goes into a new file
// beside the old one (its name and ".new"), which then takes the old one's
// place in one step. On any failure the old file stays as it was, the new
// one is removed, and the result is false. A file copied so is an ordinary
// file (archive), whatever its source's attributes: it is not read-only.
bool WriteFileWhole(Host& host, const std::string& path, const std::string& bytes);
bool CopyFileWhole(Host& host, const std::string& from, const std::string& to);

}  // namespace platform
