// Windows 98 registry files (system.dat): recognising one, putting the
// network card's driver name in place of RTSND as the registry itself would
// change the entry, and building small ones from keys and values.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace rpl {

// Value types as the registry stores them.
constexpr uint32_t kRegText = 1;    // text, stored with its terminating zero
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;

struct HiveValue {
  std::string name;
  uint32_t type = kRegText;
  std::string data;  // the stored bytes
};

// A key by its path below the hive's root ("Enum\\Network\\0000"). Keys
// named on the way that are not listed themselves are made without values.
struct HiveKey {
  std::string path;
  std::vector<HiveValue> values;
};

// How the entries are laid into data blocks: `keys_per_block` keys a block
// (0: all in one), each block ending in `free_room` free bytes (0: none;
// otherwise at least 20, the smallest entry).
struct HiveLayout {
  size_t keys_per_block = 0;
  uint32_t free_room = 0;
};

// A text value: the text and its terminating zero.
HiveValue TextValue(const std::string& name, const std::string& text);

// Builds a hive holding `keys` in their order, siblings in the order first
// named. False, with the reason in `why`, for a key path with an empty part,
// a name or value too long for the file's sizes, or a free room under 20.
bool BuildHive(const std::vector<HiveKey>& keys, const HiveLayout& layout, std::string* out,
               std::string* why);

// True when the bytes begin as a registry file ("CREG"); a file so marked
// is edited as a hive or refused, never by the byte rule.
bool IsRegistryHive(const std::string& bytes);

// A key name's hash in the key hierarchy: the sum of the bytes below 0x80
// of the name in capitals.
uint32_t KeyNameHash(const std::string& name);

enum class DriverNameEdit {
  kDone,     // `out` holds the file with the name in place of RTSND
  kNoName,   // no RTSND to replace: `out` holds the file unchanged
  kRefused,  // `why` says why (code page 936 when shown); `out` untouched
};

// Puts the driver name `name` (a DOS file base name, 1 to 8 characters) in
// place of the first "RTSND" of system.dat's `bytes`.
// - A hive: the first key name, value name or value data holding RTSND is
//   changed as an entry of the registry: its sizes, its data block's sizes
//   and, for a key, the key's hash. An entry that grows takes the room from
//   the block's free entry when there is one big enough, else the block
//   grows and the blocks after it move; one that shrinks gives its bytes back
//   to the block's free entry, or keeps them as unused room of its own. A
//   hive whose sizes or references do not agree is refused, and so is an
//   edit that would make two keys of one parent, or two values of one key,
//   alike, or change the length of a value that is not text.
// - Any other file: the bytes are replaced in place, which only a name of
//   five characters can do; another length is refused.
DriverNameEdit PutDriverNameInRegistry(const std::string& bytes, const std::string& name,
                                       std::string* out, std::string* why);

}  // namespace rpl
