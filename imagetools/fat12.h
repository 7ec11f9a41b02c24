// In-memory FAT12 file system of a 1.44 MB floppy: reading one into a tree of
// files and directories (fat12_read.cpp), and building one from such a tree
// (fat12_write.cpp). The rules for DOS names and dates are in dos_names.h.
//
// This code uses no operating-system headers: the programs read and write the
// host's files through tree_io.h and hand this code whole images and trees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "imagetools/dos_names.h"

namespace fat12 {

const size_t kSectorSize = 512;
const size_t kImageSize = 1474560;  // 2880 sectors: 80 tracks, 2 heads, 18 sectors
const size_t kTotalSectors = kImageSize / kSectorSize;
const size_t kFatSectors = 9;
const size_t kRootEntries = 224;
const size_t kRootSectors = kRootEntries * 32 / kSectorSize;            // 14
const size_t kFirstDataSector = 1 + 2 * kFatSectors + kRootSectors;    // 33
const size_t kDataClusters = kTotalSectors - kFirstDataSector;          // 2847 (1 sector each)
const size_t kDataCapacity = kDataClusters * kSectorSize;

// DOS keeps the current directory of a drive in 64 characters after the drive
// letter and colon (\DIR\SUB, 66 with A:). Every level takes at least two
// of them, a backslash and a one-letter name, so no directory more than 32
// levels below the top can be reached by DOS. Trees nested deeper are refused
// both ways, which also bounds the recursion over a tree.
const int kMaxDepth = 32;

// One file or directory. The root of a tree is a directory with an empty name.
struct Tree {
  std::string name;  // host name, UTF-8
  bool is_directory = false;
  std::uint16_t dos_date = 0;  // bits 15-9 year-1980, 8-5 month, 4-0 day
  std::uint16_t dos_time = 0;  // bits 15-11 hour, 10-5 minute, 4-0 seconds/2
  std::string data;            // contents of a file
  std::vector<Tree> children;  // entries of a directory
};

// Sets every entry of `tree` stamped later than the given DOS date and time to
// that date and time, so that a tree checked out at any time packs into the
// same image (the convention behind SOURCE_DATE_EPOCH).
void ClampStamps(Tree* tree, std::uint16_t dos_date, std::uint16_t dos_time);

// Reads a whole 1.44 MB FAT12 image into `root`. Refuses (false, reason in
// `error`, `root` left empty) an image of another size, a boot sector or BPB
// that does not describe FAT12, and a corrupt file system: clusters out of
// range, chains that loop or share clusters, files longer than their chains,
// names that are not safe as host names, duplicate names in one directory,
// directories nested deeper than kMaxDepth. Running out of memory is refused
// the same way. Names come out as the disk shows them: the long name where a valid one is
// recorded, else the short name (lower-cased where the entry's case flags ask).
bool Unpack(const std::string& image, Tree* root, std::string* error);

// Builds a 1.44 MB FAT12 image of `root` into `image`. Entries are sorted by
// name, ignoring case, except that IO.SYS and MSDOS.SYS come first in the root
// directory, in that order, with their data first on the disk and marked
// hidden, system and read-only. With `boot_sector` (512 bytes, as saved by the
// unpacker) its jump, OEM name, volume serial and label and boot code are
// kept and the parameter block is written anew; without one, the boot code
// prints that the disk is not bootable and waits for a key. Refuses (false,
// reason in `error`, `image` left empty) names that are not valid 8.3 names,
// two names that differ only in case, a tree that does not fit or is nested
// deeper than kMaxDepth, and a boot sector whose code would be overwritten by
// the parameter block; running out of memory is refused the same way.
bool Pack(const Tree& root, const std::string* boot_sector, std::string* image,
          std::string* error);

// The file beside a directory that keeps an image's boot sector: DIR.bs.
// `separators` are the characters that end a path component on the host;
// trailing ones are dropped first ("c:\\temp\\bootimg\\" -> "c:\\temp\\bootimg.bs").
std::string BootSectorPathFor(const std::string& dir, const char* separators);

}  // namespace fat12
