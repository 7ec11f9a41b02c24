// The layout of a Windows 98 registry file, shared by its writer and its
// editor. All numbers are little-endian.
//
//   file header, 32 bytes: "CREG", version 1.0 (minor 0 and major 1, 16-bit
//     each), the file offset of the first data block (at 8), a 32-bit field
//     kept as found, the number of data blocks (16-bit, at 16), zeros.
//   key hierarchy ("RGKN"), from offset 32: its size (at 4), the offset of
//     the root's entry from the record's start (at 8), the end of the entries
//     in use (at 12); 28-byte entries from offset 32 of the record:
//       0 zero, 4 hash of the key's name, 8 0xFFFFFFFF, 12 parent, 16 first
//       child, 20 next sibling (offsets from the record's start, 0xFFFFFFFF
//       for none), 24 the key entry's number in its block and 26 the block's
//       number (both 0xFFFF for the root, which has no name).
//   data blocks ("RGDB"), one after another to the end of the file, each a
//     32-byte header: size (at 4, header included), unused bytes (at 8), the
//     block's number (at 14), used bytes (at 16; used + unused = size); then
//     entries to the block's end, each:
//       0 its size in the block, 4 its number in the block (0xFFFF: a free
//       entry), 6 the block's number, 8 the bytes it uses (at most its size),
//       12 name length (16-bit), 14 number of values (16-bit), 16 zero,
//       20 the key's name, then the values one after another:
//         0 type, 4 zero, 8 name length (16-bit), 10 data length (16-bit),
//         12 the name, then the data.
#pragma once

#include <cstdint>
#include <string>

namespace rpl {
namespace hive {

constexpr uint32_t kFileHeader = 32;
constexpr uint32_t kFirstBlockAt = 8;
constexpr uint32_t kBlockCountAt = 16;

constexpr uint32_t kHierarchyHeader = 32;
constexpr uint32_t kHierarchyEntry = 28;
constexpr uint32_t kNone = 0xFFFFFFFF;
constexpr uint16_t kNoEntry = 0xFFFF;
// The key hierarchy is padded to whole pages, with at least 32 bytes to spare
// beyond the last entry in use: a reader drops the last entry without them.
constexpr uint32_t kHierarchyPage = 4096;

constexpr uint32_t kBlockHeader = 32;
constexpr uint32_t kBlockUnusedAt = 8;
constexpr uint32_t kBlockNumberAt = 14;
constexpr uint32_t kBlockUsedAt = 16;
constexpr uint32_t kKeyEntryHeader = 20;
constexpr uint32_t kValueHeader = 12;
constexpr uint16_t kFreeEntry = 0xFFFF;

inline uint32_t Get32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 |
         uint32_t(uint8_t(b[at + 2])) << 16 | uint32_t(uint8_t(b[at + 3])) << 24;
}
inline uint16_t Get16(const std::string& b, size_t at) {
  return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}
inline void Put32(std::string* b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) (*b)[at + i] = char(v >> (8 * i) & 0xFF);
}
inline void Put16(std::string* b, size_t at, uint16_t v) {
  (*b)[at] = char(v & 0xFF);
  (*b)[at + 1] = char(v >> 8);
}

}  // namespace hive
}  // namespace rpl
