// What reading and writing an image share: little-endian fields and the
// attribute bits of a directory entry. Internal to the FAT12 core.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fat12 {

const std::uint8_t kAttrReadOnly = 0x01;
const std::uint8_t kAttrHidden = 0x02;
const std::uint8_t kAttrSystem = 0x04;
const std::uint8_t kAttrVolume = 0x08;
const std::uint8_t kAttrDirectory = 0x10;
const std::uint8_t kAttrArchive = 0x20;
const std::uint8_t kAttrLongName = 0x0F;  // all four low bits: a long name's part

// Size of a directory entry.
const size_t kEntrySize = 32;

// Where the boot code starts in a boot sector this packer writes.
const size_t kBootCodeOffset = 0x3E;

inline unsigned char Byte(const std::string& s, size_t at) {
  return static_cast<unsigned char>(s[at]);
}

inline std::uint16_t Get16(const std::string& s, size_t at) {
  return static_cast<std::uint16_t>(Byte(s, at) | (Byte(s, at + 1) << 8));
}

inline std::uint32_t Get32(const std::string& s, size_t at) {
  return Get16(s, at) | (static_cast<std::uint32_t>(Get16(s, at + 2)) << 16);
}

inline void Put16(size_t at, std::uint32_t value, std::string* s) {
  (*s)[at] = static_cast<char>(value & 0xFF);
  (*s)[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

inline void Put32(size_t at, std::uint32_t value, std::string* s) {
  Put16(at, value & 0xFFFF, s);
  Put16(at + 2, value >> 16, s);
}

// The checksum of an entry's 11-byte name that its long-name parts repeat.
inline unsigned ShortNameChecksum(const char* name11) {
  unsigned sum = 0;
  for (int i = 0; i < 11; ++i)
    sum = (((sum & 1) << 7) + (sum >> 1) + static_cast<unsigned char>(name11[i])) & 0xFF;
  return sum;
}

}  // namespace fat12
