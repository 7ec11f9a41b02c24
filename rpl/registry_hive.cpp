// Puts the network card's driver name into system.dat in place of RTSND: in
// a registry file as the registry would change the entry, elsewhere byte for
// byte when the name is as long as RTSND.
#include "rpl/registry_hive.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <utility>

#include "rpl/card_names.h"
#include "rpl/registry_hive_layout.h"

namespace rpl {
namespace {

using namespace hive;

const char kToken[] = "RTSND";
// Value types whose data is text, and may change length: besides kRegText,
// text with variables to expand and a list of texts.
constexpr uint32_t kRegExpandText = 2, kRegTextList = 7;

// A data block: its entries, each all of its size.
struct Block {
  std::vector<std::string> entries;
  bool unused_counts_spare = false;  // its unused size counts the room spare inside entries
};

bool IsFree(const std::string& entry) { return Get16(entry, 4) == kFreeEntry; }

// A key of the hierarchy: its entry's offset in the hierarchy record, its
// parent's index in Hive::keys (-1: the root), and its entry in the blocks.
struct Key {
  uint32_t at;
  int parent;
  int block = -1, entry = -1;
};

struct Hive {
  std::string head;  // the file header and the key hierarchy
  std::vector<Block> blocks;
  std::vector<Key> keys;
  std::map<std::pair<int, int>, int> key_of_entry;  // (block, entry) -> key
};

bool Damaged(std::string* why, const std::string& what) {
  *why = "注册表文件已损坏（" + what + "）";
  return false;
}

std::string BlockName(size_t b) { return "数据块 " + std::to_string(b); }

// Splits one data block into its entries, checking every size.
bool ReadBlock(const std::string& bytes, size_t at, size_t b, Block* block, std::string* why) {
  const uint32_t size = Get32(bytes, at + 4);
  const uint32_t unused = Get32(bytes, at + kBlockUnusedAt);
  if (size < kBlockHeader || size > bytes.size() - at) return Damaged(why, BlockName(b) + " 的大小不对");
  if (uint64_t(unused) + Get32(bytes, at + kBlockUsedAt) != size)
    return Damaged(why, BlockName(b) + " 的已用和未用大小之和不等于块的大小");
  uint64_t free = 0, spare = 0;
  for (size_t p = at + kBlockHeader, end = at + size; p < end;) {
    const std::string where = BlockName(b) + " 偏移 " + std::to_string(p - at) + " 处的项";
    if (end - p < kKeyEntryHeader || Get32(bytes, p) < kKeyEntryHeader || Get32(bytes, p) > end - p)
      return Damaged(why, where + "大小不对");
    const std::string entry = bytes.substr(p, Get32(bytes, p));
    p += entry.size();
    block->entries.push_back(entry);
    if (IsFree(entry)) {
      free += entry.size();
      continue;
    }
    // The name and the values lie within the bytes the entry uses.
    const uint32_t used = Get32(entry, 8);
    size_t q = kKeyEntryHeader + Get16(entry, 12);
    for (int v = 0; v < Get16(entry, 14) && q <= used && used <= entry.size(); ++v)
      q += used - q < kValueHeader ? kValueHeader : kValueHeader + Get16(entry, q + 8) + Get16(entry, q + 10);
    if (used > entry.size() || q > used) return Damaged(why, where + "的已用大小不对");
    spare += entry.size() - used;
  }
  if (unused != free && unused != free + spare)
    return Damaged(why, BlockName(b) + " 的未用大小与其中的空闲项不符");
  block->unused_counts_spare = unused != free;
  return true;
}

// Walks the key hierarchy from the root, finding every key's entry. The
// root is the hierarchy's first entry, with no parent: a reader takes the
// offsets from where the root lies, so a root elsewhere reads as another tree
// there, and an ordinary key made the root would be edited where the registry
// sees none of it. Every key but the root has a name of at least a character.
bool ReadKeys(const std::string& bytes, uint32_t size, Hive* hive, std::string* why) {
  const uint32_t root = Get32(bytes, kFileHeader + 8);
  if (root != kHierarchyHeader)
    return Damaged(why, "根键不是键的层次结构的第一项（偏移 " + std::to_string(root) + "）");
  std::set<uint32_t> seen;
  std::vector<std::pair<uint32_t, int>> todo = {{root, -1}};
  while (!todo.empty()) {
    const uint32_t at = todo.back().first;
    const int parent = todo.back().second;
    todo.pop_back();
    if (at == kNone) continue;
    if (at < kHierarchyHeader || at > size - kHierarchyEntry || !seen.insert(at).second)
      return Damaged(why, "键的层次结构中有错误的偏移 " + std::to_string(at));
    const size_t e = kFileHeader + at;
    if (parent < 0 && Get32(bytes, e + 12) != kNone) return Damaged(why, "根键有上级键");
    Key key{at, parent};
    const uint16_t number = Get16(bytes, e + 24), block = Get16(bytes, e + 26);
    // Every key but a nameless root has exactly one entry, of its own.
    if (parent >= 0 || number != kNoEntry || block != kNoEntry) {
      int found = 0;
      for (size_t i = 0; block < hive->blocks.size() && i < hive->blocks[block].entries.size(); ++i) {
        const std::string& entry = hive->blocks[block].entries[i];
        if (IsFree(entry) || Get16(entry, 4) != number) continue;
        key.block = block, key.entry = int(i), ++found;
      }
      if (found != 1 || !hive->key_of_entry.emplace(std::make_pair(key.block, key.entry),
                                                    int(hive->keys.size())).second)
        return Damaged(why, "层次结构偏移 " + std::to_string(at) + " 处的键没有唯一的数据项");
      if (parent >= 0 && Get16(hive->blocks[block].entries[key.entry], 12) == 0)
        return Damaged(why, "层次结构偏移 " + std::to_string(at) + " 处的键没有名称");
    }
    hive->keys.push_back(key);
    todo.push_back({Get32(bytes, e + 20), parent});
    todo.push_back({Get32(bytes, e + 16), int(hive->keys.size()) - 1});
  }
  return true;
}

bool ReadHive(const std::string& bytes, Hive* hive, std::string* why) {
  if (bytes.size() < kFileHeader + kHierarchyHeader || Get16(bytes, 6) != 1)
    return Damaged(why, "文件头不对");
  const uint32_t first = Get32(bytes, kFirstBlockAt);
  const uint32_t hierarchy = Get32(bytes, kFileHeader + 4);
  if (bytes.compare(kFileHeader, 4, "RGKN") != 0 || hierarchy < kHierarchyHeader ||
      first != uint64_t(kFileHeader) + hierarchy || first > bytes.size())
    return Damaged(why, "键的层次结构记录不对");
  hive->head = bytes.substr(0, first);
  for (size_t at = first; at < bytes.size(); at += Get32(bytes, at + 4)) {
    const size_t b = hive->blocks.size();
    if (bytes.size() - at < kBlockHeader || bytes.compare(at, 4, "RGDB") != 0)
      return Damaged(why, "偏移 " + std::to_string(at) + " 处没有" + BlockName(b));
    hive->blocks.emplace_back();
    if (!ReadBlock(bytes, at, b, &hive->blocks.back(), why)) return false;
  }
  if (hive->blocks.size() != Get16(bytes, kBlockCountAt)) return Damaged(why, "数据块的数目与文件头不符");
  return ReadKeys(bytes, hierarchy, hive, why);
}

std::string Upper(std::string s) {
  for (char& c : s) c = char(std::toupper(uint8_t(c)));
  return s;
}

std::string KeyName(const Hive& hive, int k) {
  const Key& key = hive.keys[k];
  if (key.entry < 0) return "";
  const std::string& entry = hive.blocks[key.block].entries[key.entry];
  return entry.substr(kKeyEntryHeader, Get16(entry, 12));
}

std::string KeyPath(const Hive& hive, int k) {
  std::string path = KeyName(hive, k);
  for (int p = hive.keys[k].parent; p >= 0 && hive.keys[p].entry >= 0; p = hive.keys[p].parent)
    path = KeyName(hive, p) + "\\" + path;
  return path;
}

// Where the token stands: a key's name (value < 0) or a value's name or data,
// as offsets into the entry of field start, field length and its length's
// 16-bit field.
struct Place {
  int key = -1, value = -1;
  bool data = false;
  size_t start = 0, length = 0, length_at = 0;
  size_t value_at = 0;
};

bool FindToken(const Hive& hive, Place* place) {
  for (size_t b = 0; b < hive.blocks.size(); ++b) {
    for (size_t i = 0; i < hive.blocks[b].entries.size(); ++i) {
      auto key = hive.key_of_entry.find({int(b), int(i)});
      if (key == hive.key_of_entry.end()) continue;
      const std::string& entry = hive.blocks[b].entries[i];
      std::vector<Place> fields = {{key->second, -1, false, kKeyEntryHeader, Get16(entry, 12), 12}};
      size_t q = kKeyEntryHeader + Get16(entry, 12);
      for (int v = 0; v < Get16(entry, 14); ++v) {
        const size_t name = Get16(entry, q + 8), data = Get16(entry, q + 10);
        fields.push_back({key->second, v, false, q + kValueHeader, name, q + 8, q});
        fields.push_back({key->second, v, true, q + kValueHeader + name, data, q + 10, q});
        q += kValueHeader + name + data;
      }
      for (const Place& f : fields) {
        if (entry.substr(f.start, f.length).find(kToken) == std::string::npos) continue;
        *place = f;
        return true;
      }
    }
  }
  return false;
}

// The edit would make the entry's key or value alike another.
bool Collides(const Hive& hive, const Place& at, const std::string& entry, std::string* why) {
  const std::string new_name = entry.substr(at.start, at.length);
  if (at.value < 0) {
    for (size_t k = 0; k < hive.keys.size(); ++k) {
      if (int(k) == at.key || hive.keys[k].parent != hive.keys[at.key].parent) continue;
      if (Upper(KeyName(hive, int(k))) != Upper(new_name)) continue;
      const int parent = hive.keys[at.key].parent;
      *why = (parent >= 0 && hive.keys[parent].entry >= 0 ? "键 " + KeyPath(hive, parent) + " 下" : "注册表的根下") +
             "已有名为 " + new_name + " 的键";
      return true;
    }
    return false;
  }
  size_t q = kKeyEntryHeader + Get16(entry, 12);
  for (int v = 0; v < Get16(entry, 14); ++v) {
    const size_t name = Get16(entry, q + 8);
    if (v != at.value && Upper(entry.substr(q + kValueHeader, name)) == Upper(new_name)) {
      *why = "键 " + KeyPath(hive, at.key) + " 中已有名为 " + new_name + " 的值";
      return true;
    }
    q += kValueHeader + name + Get16(entry, q + 10);
  }
  return false;
}

// Gives the block's entry `e` the bytes `content` (header, name, values) and
// finds it room: its own, the block's largest free entry, or new room that
// grows the block. Room it no longer needs goes back to a free entry.
void PlaceEntry(Block* block, size_t e, const std::string& content) {
  std::vector<std::string>& entries = block->entries;
  const size_t have = entries[e].size(), need = content.size();
  int free = -1;
  for (size_t i = 0; i < entries.size(); ++i)
    if (IsFree(entries[i]) && (free < 0 || entries[i].size() >= entries[free].size())) free = int(i);
  size_t size = std::max(have, need);
  if (free >= 0) {
    const size_t room = entries[free].size();
    size_t left = room;
    if (need <= have) {
      left = room + have - need, size = need;
    } else if (room == need - have || room >= need - have + kKeyEntryHeader) {
      left = room - (need - have), size = need;
    } else if (room > need - have) {
      left = 0, size = have + room;  // too little would be left for a free entry
    }
    if (left == 0) {
      entries.erase(entries.begin() + free);
      if (size_t(free) < e) --e;
    } else {
      entries[free] = entries[free].substr(0, kKeyEntryHeader) + std::string(left - kKeyEntryHeader, '\0');
      Put32(&entries[free], 0, uint32_t(left));
    }
  }
  entries[e] = content + std::string(size - need, '\0');
  Put32(&entries[e], 0, uint32_t(size));
}

std::string WriteBlock(const std::string& old_header, const Block& block) {
  std::string bytes = old_header;
  uint32_t free = 0, spare = 0;
  for (const std::string& entry : block.entries) {
    bytes += entry;
    if (IsFree(entry)) free += uint32_t(entry.size());
    else spare += uint32_t(entry.size()) - Get32(entry, 8);
  }
  const uint32_t unused = free + (block.unused_counts_spare ? spare : 0);
  Put32(&bytes, 4, uint32_t(bytes.size()));
  Put32(&bytes, kBlockUnusedAt, unused);
  Put32(&bytes, kBlockUsedAt, uint32_t(bytes.size()) - unused);
  return bytes;
}

DriverNameEdit EditHive(const std::string& bytes, const std::string& name, std::string* out,
                        std::string* why) {
  Hive hive;
  if (!ReadHive(bytes, &hive, why)) return DriverNameEdit::kRefused;
  Place at;
  if (!FindToken(hive, &at)) {
    *out = bytes;
    return DriverNameEdit::kNoName;
  }
  const Key& key = hive.keys[at.key];
  Block& block = hive.blocks[key.block];
  std::string entry = block.entries[key.entry];
  const uint32_t used = Get32(entry, 8);
  const long delta = long(name.size()) - long(sizeof kToken - 1);
  const uint32_t type = at.value >= 0 ? Get32(entry, at.value_at) : kRegText;
  if (at.data && delta != 0 && type != kRegText && type != kRegExpandText &&
      type != kRegTextList) {
    *why = "RTSND 在键 " + KeyPath(hive, at.key) + " 的非文本值中，不能改变它的长度";
    return DriverNameEdit::kRefused;
  }
  if (at.value < 0 && Get32(hive.head, kFileHeader + key.at + 4) != KeyNameHash(KeyName(hive, at.key))) {
    Damaged(why, "键 " + KeyPath(hive, at.key) + " 的散列值与键名不符");
    return DriverNameEdit::kRefused;
  }
  if (at.length + delta > 0xFFFF) {
    *why = "键 " + KeyPath(hive, at.key) + " 中的项太长";
    return DriverNameEdit::kRefused;
  }
  entry.replace(at.start + entry.substr(at.start, at.length).find(kToken), sizeof kToken - 1, name);
  at.length += delta;
  Put16(&entry, at.length_at, uint16_t(at.length));
  Put32(&entry, 8, uint32_t(used + delta));
  if (Collides(hive, at, entry, why)) return DriverNameEdit::kRefused;
  if (at.value < 0) Put32(&hive.head, kFileHeader + key.at + 4, KeyNameHash(entry.substr(at.start, at.length)));
  PlaceEntry(&block, key.entry, entry.substr(0, used + delta));

  std::string result = hive.head;
  for (size_t b = 0, from = hive.head.size(); b < hive.blocks.size(); ++b) {
    result += WriteBlock(bytes.substr(from, kBlockHeader), hive.blocks[b]);
    from += Get32(bytes, from + 4);
  }
  // The result must read back as a hive, or nothing is written.
  Hive check;
  std::string unused;
  if (!ReadHive(result, &check, &unused)) {
    *why = "无法在注册表文件中一致地换入驱动程序名：" + unused;
    return DriverNameEdit::kRefused;
  }
  *out = result;
  return DriverNameEdit::kDone;
}

}  // namespace

bool IsRegistryHive(const std::string& bytes) { return bytes.compare(0, 4, "CREG") == 0; }

uint32_t KeyNameHash(const std::string& name) {
  uint32_t hash = 0;
  for (char c : name)
    if (uint8_t(c) < 0x80) hash += uint8_t(std::toupper(uint8_t(c)));
  return hash;
}

DriverNameEdit PutDriverNameInRegistry(const std::string& bytes, const std::string& name,
                                       std::string* out, std::string* why) {
  if (!IsDosBaseName(name)) {
    *why = "驱动程序名 " + name + " 不是1到8个字符的DOS文件名";
    return DriverNameEdit::kRefused;
  }
  if (IsRegistryHive(bytes)) return EditHive(bytes, name, out, why);
  const size_t at = bytes.find(kToken);
  if (at == std::string::npos) {
    *out = bytes;
    return DriverNameEdit::kNoName;
  }
  if (name.size() != sizeof kToken - 1) {
    *why = "文件不是注册表文件，只能逐字节换入5个字符的驱动程序名，" + name + " 有 " +
           std::to_string(name.size()) + " 个字符";
    return DriverNameEdit::kRefused;
  }
  *out = bytes;
  out->replace(at, name.size(), name);
  return DriverNameEdit::kDone;
}

}  // namespace rpl
