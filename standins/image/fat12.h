// In-memory FAT12 file system of a 1.44 MB floppy: reading one into a tree of
// files and directories, and building one from such a tree.
//
// This code uses no operating-system headers: the programs read and write the
// host's files through tree_io.h and hand this code whole images and trees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fat12 {

constexpr std::size_t kSectorSize = 512;
constexpr std::size_t kImageSize = 1474560;  // 2880 sectors: 80 tracks, 2 heads, 18 sectors
constexpr std::size_t kTotalSectors = kImageSize / kSectorSize;
constexpr std::size_t kFatSectors = 9;
constexpr std::size_t kRootEntries = 224;
constexpr std::size_t kRootSectors = kRootEntries * 32 / kSectorSize;   // 14
constexpr std::size_t kFirstDataSector = 1 + 2 * kFatSectors + kRootSectors;  // 33
constexpr std::size_t kDataClusters = kTotalSectors - kFirstDataSector;  // 2847 (1 sector each)
constexpr std::size_t kDataCapacity = kDataClusters * kSectorSize;

// One file or directory. The root of a tree is a directory with an empty name.
struct Tree {
    std::string name;  // host name, UTF-8
    bool isDirectory = false;
    std::uint16_t dosDate = 0;  // bits 15-9 year-1980, 8-5 month, 4-0 day
    std::uint16_t dosTime = 0;  // bits 15-11 hour, 10-5 minute, 4-0 seconds/2
    std::string data;           // contents of a file
    std::vector<Tree> children; // entries of a directory
};

// Broken-down local time, as the host's clock gives it.
struct DateTime {
    int year = 1980, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// DOS date and time for a local time; times before 1980 become
// 1980-01-01 00:00:00 and times after 2107 become 2107-12-31 23:59:58. Odd
// seconds round down, as DOS keeps two-second steps.
void DosStampFromDateTime(const DateTime& when, std::uint16_t& dosDate, std::uint16_t& dosTime);
// The local time of a DOS date and time; fields out of range (month 0, day 0,
// hour 31, ...) are brought into range so the host never sees an impossible date.
DateTime DateTimeFromDosStamp(std::uint16_t dosDate, std::uint16_t dosTime);

// The UTC date and time of a count of seconds since 1970-01-01 00:00:00 UTC.
DateTime DateTimeFromUnixSeconds(long long seconds);

// Sets every entry of `tree` stamped later than the given DOS date and time to
// that date and time, so that a tree checked out at any time packs into the
// same image (the convention behind SOURCE_DATE_EPOCH).
void ClampStamps(Tree& tree, std::uint16_t dosDate, std::uint16_t dosTime);

// The 11-byte directory-entry name ("NAME    EXT") for a host name, or false
// with the reason in `error`. Letters are stored upper case; only ASCII letters,
// digits and ! # $ % & ' ( ) - @ ^ _ ` { } ~ are accepted, and DOS device
// names (CON, NUL, COM1, ...) are refused.
bool ShortNameFor(const std::string& hostName, std::string& shortName, std::string& error);

// Reads a whole 1.44 MB FAT12 image into `root`. Refuses (false, reason in
// `error`, `root` left empty) an image of another size, a boot sector or BPB
// that does not describe FAT12, and a corrupt file system: clusters out of
// range, chains that loop or share clusters, files longer than their chains,
// names that are not safe as host names, duplicate names in one directory.
// Names come out as the disk shows them: the long name where a valid one is
// recorded, else the short name (lower-cased where the entry's case flags ask).
bool Unpack(const std::string& image, Tree& root, std::string& error);

// Builds a 1.44 MB FAT12 image of `root` into `image`. Entries are sorted by
// name, ignoring case, except that IO.SYS and MSDOS.SYS come first in the root
// directory, in that order, with their data first on the disk and marked
// hidden, system and read-only. With `bootSector` (512 bytes, as saved by the
// unpacker) its jump, OEM name, volume serial and label and boot code are
// kept and the parameter block is written anew; without one, the boot code
// prints that the disk is not bootable and waits for a key. Refuses (false,
// reason in `error`, `image` left empty) names that are not valid 8.3 names,
// two names that differ only in case, a tree that does not fit, and a boot
// sector whose code would be overwritten by the parameter block.
bool Pack(const Tree& root, const std::string* bootSector, std::string& image, std::string& error);

// The file beside a directory that keeps an image's boot sector: DIR.bs.
// `separators` are the characters that end a path component on the host;
// trailing ones are dropped first ("c:\\temp\\bootimg\\" -> "c:\\temp\\bootimg.bs").
std::string BootSectorPathFor(const std::string& dir, const char* separators);

}  // namespace fat12
