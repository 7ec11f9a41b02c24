// The files of a packed boot floppy, read back with the image tools' own
// FAT12 reader, for the checks that look into an image without unpacking it.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace pxe {

// A floppy's files by their paths below its root ("winboot\setvars.bat"),
// in lower case, so that a name is found whatever case the disk shows it in.
using FloppyFiles = std::map<std::string, std::string>;

// Reads a whole 1440 KB FAT12 image into its files (its directories add
// nothing of their own). False for an image of another size or one the
// reader refuses (not FAT12, corrupt); `files` is then empty.
bool ReadFloppyFiles(const std::string& image, FloppyFiles* files);

// The 18 network-client files of the floppy's WINBOOT, in the order the
// installation copies them: the workstation's network start needs each.
const std::vector<std::string>& ClientFiles();

}  // namespace pxe
