// Builds a small Windows 98 registry file from keys and values: the template
// image's system.dat, and the hives the tests edit.
#include <cctype>

#include "rpl/registry_hive.h"
#include "rpl/registry_hive_layout.h"

namespace rpl {
namespace {

using namespace hive;

struct Node {
  std::string name;
  int parent;
  std::vector<int> children;
  std::vector<HiveValue> values;
};

bool SameName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::toupper(uint8_t(a[i])) != std::toupper(uint8_t(b[i]))) return false;
  return true;
}

// The keys as a tree: node 0 is the root, every parent before its children.
bool MakeTree(const std::vector<HiveKey>& keys, std::vector<Node>* nodes, std::string* why) {
  nodes->assign(1, Node{"", -1, {}, {}});
  for (const HiveKey& key : keys) {
    int at = 0;
    for (size_t start = 0;;) {
      const size_t end = key.path.find('\\', start);
      const std::string part = key.path.substr(start, end == std::string::npos ? end : end - start);
      if (part.empty()) {
        *why = "the key path \"" + key.path + "\" has an empty part";
        return false;
      }
      int found = -1;
      for (int child : (*nodes)[at].children)
        if (SameName((*nodes)[child].name, part)) found = child;
      if (found < 0) {
        found = int(nodes->size());
        nodes->push_back(Node{part, at, {}, {}});
        (*nodes)[at].children.push_back(found);
      }
      at = found;
      if (end == std::string::npos) break;
      start = end + 1;
    }
    auto& values = (*nodes)[at].values;
    values.insert(values.end(), key.values.begin(), key.values.end());
  }
  return true;
}

// A key's entry in its data block, using all of its size.
bool KeyEntry(const Node& node, uint16_t number, uint16_t block, std::string* entry,
              std::string* why) {
  bool fits = node.name.size() <= 0xFFFF && node.values.size() <= 0xFFFF;
  std::string values;
  for (const HiveValue& v : node.values) {
    fits = fits && v.name.size() <= 0xFFFF && v.data.size() <= 0xFFFF;
    std::string head(kValueHeader, '\0');
    Put32(&head, 0, v.type);
    Put16(&head, 8, uint16_t(v.name.size()));
    Put16(&head, 10, uint16_t(v.data.size()));
    values += head + v.name + v.data;
  }
  if (!fits) {
    *why = "the key \"" + node.name + "\" or one of its values is too long for the file";
    return false;
  }
  *entry = std::string(kKeyEntryHeader, '\0') + node.name + values;
  Put32(entry, 0, uint32_t(entry->size()));
  Put16(entry, 4, number);
  Put16(entry, 6, block);
  Put32(entry, 8, uint32_t(entry->size()));
  Put16(entry, 12, uint16_t(node.name.size()));
  Put16(entry, 14, uint16_t(node.values.size()));
  return true;
}

std::string Block(uint16_t number, const std::string& entries, uint32_t free_room) {
  std::string block(kBlockHeader, '\0');
  block.replace(0, 4, "RGDB");
  block += entries;
  if (free_room > 0) {
    std::string free(free_room, '\0');
    Put32(&free, 0, free_room);
    Put16(&free, 4, kFreeEntry);
    Put16(&free, 6, kFreeEntry);
    block += free;
  }
  Put32(&block, 4, uint32_t(block.size()));
  Put32(&block, kBlockUnusedAt, free_room);
  Put16(&block, kBlockNumberAt, number);
  Put32(&block, kBlockUsedAt, uint32_t(block.size()) - free_room);
  return block;
}

}  // namespace

HiveValue TextValue(const std::string& name, const std::string& text) {
  return HiveValue{name, kRegText, text + std::string(1, '\0')};
}

bool BuildHive(const std::vector<HiveKey>& keys, const HiveLayout& layout, std::string* out,
               std::string* why) {
  if (layout.free_room != 0 && layout.free_room < kKeyEntryHeader) {
    *why = "a block's free room must be 0 or at least 20 bytes";
    return false;
  }
  std::vector<Node> nodes;
  if (!MakeTree(keys, &nodes, why)) return false;
  const size_t per_block = layout.keys_per_block ? layout.keys_per_block : nodes.size();
  const size_t blocks = nodes.size() > 1 ? (nodes.size() - 2) / per_block + 1 : 1;
  if (per_block >= kNoEntry || blocks >= kNoEntry) {
    *why = "too many keys for the file";
    return false;
  }

  // The key hierarchy: node i's entry at 32 + 28 i.
  auto entry_at = [](int i) { return kHierarchyHeader + kHierarchyEntry * uint32_t(i); };
  const uint32_t in_use = entry_at(int(nodes.size()));
  const uint32_t hierarchy_size =
      (in_use + 32 + kHierarchyPage - 1) / kHierarchyPage * kHierarchyPage;
  std::string hierarchy(hierarchy_size, '\0');
  hierarchy.replace(0, 4, "RGKN");
  Put32(&hierarchy, 4, hierarchy_size);
  Put32(&hierarchy, 8, kHierarchyHeader);
  Put32(&hierarchy, 12, in_use);

  std::vector<std::string> block_entries(blocks);
  for (size_t i = 0; i < nodes.size(); ++i) {
    const Node& node = nodes[i];
    uint16_t number = kNoEntry, block = kNoEntry;
    if (i > 0) {
      number = uint16_t((i - 1) % per_block);
      block = uint16_t((i - 1) / per_block);
      std::string entry;
      if (!KeyEntry(node, number, block, &entry, why)) return false;
      block_entries[block] += entry;
    }
    int next = -1;
    if (node.parent >= 0) {
      const std::vector<int>& siblings = nodes[node.parent].children;
      for (size_t s = 0; s + 1 < siblings.size(); ++s)
        if (siblings[s] == int(i)) next = siblings[s + 1];
    }
    const size_t at = entry_at(int(i));
    Put32(&hierarchy, at + 4, KeyNameHash(node.name));
    Put32(&hierarchy, at + 8, kNone);
    Put32(&hierarchy, at + 12, node.parent >= 0 ? entry_at(node.parent) : kNone);
    Put32(&hierarchy, at + 16, node.children.empty() ? kNone : entry_at(node.children[0]));
    Put32(&hierarchy, at + 20, next >= 0 ? entry_at(next) : kNone);
    Put16(&hierarchy, at + 24, number);
    Put16(&hierarchy, at + 26, block);
  }

  std::string file(kFileHeader, '\0');
  file.replace(0, 4, "CREG");
  Put16(&file, 6, 1);
  Put32(&file, kFirstBlockAt, kFileHeader + hierarchy_size);
  Put16(&file, kBlockCountAt, uint16_t(blocks));
  file += hierarchy;
  for (size_t b = 0; b < blocks; ++b) file += Block(uint16_t(b), block_entries[b], layout.free_room);
  *out = file;
  return true;
}

}  // namespace rpl
