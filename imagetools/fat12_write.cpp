// Building a FAT12 floppy image from a tree: names checked, clusters laid out
// in directory order, FATs, directories and the boot sector written.
#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_map>
#include <vector>

#include "imagetools/fat12.h"
#include "imagetools/fat12_layout.h"

namespace fat12 {
namespace {

// Boot code written when no boot sector is kept: at 0x3E, loaded at 0000:7C00.
// It prints the message below through the BIOS, waits for a key and asks the
// BIOS to try the next boot device (int 19h); should that return, it halts.
const unsigned char kOwnBootCode[] = {
    0xFA,              // cli
    0x31, 0xC0,        // xor ax,ax
    0x8E, 0xD8,        // mov ds,ax
    0x8E, 0xD0,        // mov ss,ax
    0xBC, 0x00, 0x7C,  // mov sp,7C00h
    0xFB,              // sti
    0xFC,              // cld
    0xBE, 0x64, 0x7C,  // mov si,7C64h (the message)
    0xAC,              // next: lodsb
    0x84, 0xC0,        // test al,al
    0x74, 0x09,        // jz wait
    0xB4, 0x0E,        // mov ah,0Eh (teletype output)
    0xBB, 0x07, 0x00,  // mov bx,0007h
    0xCD, 0x10,        // int 10h
    0xEB, 0xF2,        // jmp next
    0x31, 0xC0,        // wait: xor ax,ax
    0xCD, 0x16,        // int 16h (read key)
    0xCD, 0x19,        // int 19h (bootstrap loader)
    0xF4,              // halt: hlt
    0xEB, 0xFD,        // jmp halt
};
const char kOwnBootMessage[] =
    "\r\nThis disk is not bootable.\r\n"
    "Insert a boot disk and press any key to try again.\r\n";

// An entry of the image being built, in the order it is written.
struct Node {
  const Tree* tree = nullptr;
  std::string short_name;  // 11 bytes
  std::string sort_key;    // the host name upper-cased
  std::uint8_t attributes = 0;
  unsigned first_cluster = 0;
  size_t clusters = 0;
  std::vector<Node> children;  // in directory order
};

// IO.SYS and MSDOS.SYS, the files the boot code loads, come first in the top
// directory (rank 0 and 1); every other entry has rank 2.
int BootFileRank(const std::string& short_name) {
  if (short_name == "IO      SYS") return 0;
  if (short_name == "MSDOS   SYS") return 1;
  return 2;
}

// Checks the entries below `dir` (at `depth` levels below the top, its DOS
// path `path`) and puts them in directory order into `node`, adding the
// clusters they need to `*total_clusters`. The work is linear in the number
// of entries: a tree the packer refuses costs no more than one it takes.
bool Prepare(const Tree& dir, const std::string& path, int depth, Node* node,
             size_t* total_clusters, std::string* error) {
  bool is_root = depth == 0;
  node->tree = &dir;
  if (is_root && dir.children.size() > kRootEntries) {
    *error = "the top directory has " + std::to_string(dir.children.size()) +
             " entries; a floppy holds at most " + std::to_string(kRootEntries) + " there";
    return false;
  }
  if (depth > kMaxDepth) {
    *error = (path.empty() ? "\\" : path) + ": nested more than " + std::to_string(kMaxDepth) +
             " levels deep, deeper than DOS can reach";
    return false;
  }
  std::vector<Node> kids;
  kids.reserve(dir.children.size());
  // The host name of each short name taken so far, to find names equal but for case.
  std::unordered_map<std::string, const std::string*> taken;
  for (const Tree& child : dir.children) {
    Node k;
    std::string why;
    if (!ShortNameFor(child.name, &k.short_name, &why)) {
      *error = path + "\\" + child.name + ": " + why;
      return false;
    }
    auto inserted = taken.emplace(k.short_name, &child.name);
    if (!inserted.second) {
      *error = path + "\\" + child.name + ": the name is there twice when case is ignored (" +
               *inserted.first->second + ")";
      return false;
    }
    k.sort_key = AsciiUpper(child.name);
    if (child.is_directory) {
      if (!Prepare(child, path + "\\" + child.name, depth + 1, &k, total_clusters, error))
        return false;
      k.attributes = kAttrDirectory;
      k.clusters = ((child.children.size() + 2) * kEntrySize + kSectorSize - 1) / kSectorSize;
    } else {
      k.tree = &child;
      k.attributes = kAttrArchive;
      k.clusters = (child.data.size() + kSectorSize - 1) / kSectorSize;
      if (is_root && BootFileRank(k.short_name) < 2)
        k.attributes = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;
    }
    *total_clusters += k.clusters;
    kids.push_back(std::move(k));
  }
  std::stable_sort(kids.begin(), kids.end(), [is_root](const Node& a, const Node& b) {
    int rank_a = is_root && !a.tree->is_directory ? BootFileRank(a.short_name) : 2;
    int rank_b = is_root && !b.tree->is_directory ? BootFileRank(b.short_name) : 2;
    if (rank_a != rank_b) return rank_a < rank_b;
    return a.sort_key < b.sort_key;
  });
  node->children = std::move(kids);
  return true;
}

// Gives each entry of `dir` its clusters, a directory's own entries first and
// then those of its subdirectories, from `*next_cluster` on.
void Allocate(Node* dir, unsigned* next_cluster) {
  for (Node& k : dir->children) {
    if (k.clusters == 0) continue;
    k.first_cluster = *next_cluster;
    *next_cluster += static_cast<unsigned>(k.clusters);
  }
  for (Node& k : dir->children)
    if (k.tree->is_directory) Allocate(&k, next_cluster);
}

// Sets the FAT entry of `cluster` in both FATs.
void SetFat(unsigned cluster, unsigned value, std::string* image) {
  for (size_t copy = 0; copy < 2; ++copy) {
    size_t at = (1 + copy * kFatSectors) * kSectorSize + cluster * 3 / 2;
    unsigned pair = Get16(*image, at);
    pair = (cluster & 1) ? ((pair & 0x000F) | (value << 4)) : ((pair & 0xF000) | value);
    Put16(at, pair, image);
  }
}

// A directory entry; the write time stands for the creation and access times too.
void PutEntry(size_t at, const std::string& short_name, std::uint8_t attributes,
              std::uint16_t date, std::uint16_t time, unsigned first_cluster, std::uint32_t size,
              std::string* image) {
  image->replace(at, 11, short_name);
  (*image)[at + 11] = static_cast<char>(attributes);
  Put16(at + 14, time, image);
  Put16(at + 16, date, image);
  Put16(at + 18, date, image);
  Put16(at + 22, time, image);
  Put16(at + 24, date, image);
  Put16(at + 26, first_cluster, image);
  Put32(at + 28, size, image);
}

size_t ClusterAt(unsigned cluster) { return (kFirstDataSector + cluster - 2) * kSectorSize; }

void WriteDirectory(const Node& dir, size_t entries_at, unsigned parent_cluster, bool is_root,
                    std::string* image) {
  size_t at = entries_at;
  const Tree& self = *dir.tree;
  if (!is_root) {
    PutEntry(at, ".          ", kAttrDirectory, self.dos_date, self.dos_time, dir.first_cluster, 0,
             image);
    PutEntry(at + kEntrySize, "..         ", kAttrDirectory, self.dos_date, self.dos_time,
             parent_cluster, 0, image);
    at += 2 * kEntrySize;
  }
  for (const Node& k : dir.children) {
    const Tree& t = *k.tree;
    PutEntry(at, k.short_name, k.attributes, t.dos_date, t.dos_time, k.first_cluster,
             t.is_directory ? 0 : static_cast<std::uint32_t>(t.data.size()), image);
    at += kEntrySize;
    for (size_t i = 0; i < k.clusters; ++i) {
      unsigned c = k.first_cluster + static_cast<unsigned>(i);
      SetFat(c, i + 1 == k.clusters ? 0xFFF : c + 1, image);
    }
    if (!t.is_directory)
      image->replace(ClusterAt(k.first_cluster), t.data.size(), t.data);
    else
      WriteDirectory(k, ClusterAt(k.first_cluster), is_root ? 0 : dir.first_cluster, false, image);
  }
}

void WriteBootSector(const std::string* kept, std::string* image) {
  std::string bs(kSectorSize, '\0');
  bool keep_serial = false;
  if (kept) {
    bs = *kept;
    keep_serial = Byte(bs, 0x26) == 0x29;
  } else {
    bs[0] = static_cast<char>(0xEB);
    bs[1] = static_cast<char>(kBootCodeOffset - 2);
    bs[2] = static_cast<char>(0x90);
    bs.replace(3, 8, "RPLIMAGE");
    bs.replace(kBootCodeOffset, sizeof kOwnBootCode, reinterpret_cast<const char*>(kOwnBootCode),
               sizeof kOwnBootCode);
    bs.replace(kBootCodeOffset + sizeof kOwnBootCode, sizeof kOwnBootMessage, kOwnBootMessage,
               sizeof kOwnBootMessage);
  }
  std::string serial_and_label = keep_serial ? bs.substr(0x27, 15) : std::string();
  Put16(0x0B, kSectorSize, &bs);
  bs[0x0D] = 1;  // sectors per cluster
  Put16(0x0E, 1, &bs);  // reserved sectors
  bs[0x10] = 2;  // FATs
  Put16(0x11, kRootEntries, &bs);
  Put16(0x13, kTotalSectors, &bs);
  bs[0x15] = static_cast<char>(0xF0);
  Put16(0x16, kFatSectors, &bs);
  Put16(0x18, 18, &bs);  // sectors per track
  Put16(0x1A, 2, &bs);   // heads
  Put32(0x1C, 0, &bs);   // hidden sectors
  Put32(0x20, 0, &bs);   // large sector count
  bs[0x24] = 0;          // BIOS drive A:
  bs[0x25] = 0;
  bs[0x26] = 0x29;
  if (keep_serial)
    bs.replace(0x27, 15, serial_and_label);
  else
    bs.replace(0x2B, 11, "NO NAME    ");
  bs.replace(0x36, 8, "FAT12   ");
  bs[510] = 0x55;
  bs[511] = static_cast<char>(0xAA);
  image->replace(0, kSectorSize, bs);
  if (!keep_serial) {
    // A serial derived from the contents keeps images of the same tree identical.
    std::uint32_t h = 2166136261u;
    for (unsigned char c : *image) h = (h ^ c) * 16777619u;
    Put32(0x27, h, image);
  }
}

// Refuses a kept boot sector of the wrong size or whose code would start
// inside the parameter block this packer writes.
bool CheckBootSector(const std::string& bs, std::string* error) {
  if (bs.size() != kSectorSize) {
    *error = "the kept boot sector has " + std::to_string(bs.size()) + " bytes, not 512";
    return false;
  }
  unsigned char op = Byte(bs, 0);
  size_t target = 0;
  if (op == 0xEB) {
    target = 2 + Byte(bs, 1);
  } else if (op == 0xE9) {
    target = (3 + Get16(bs, 1)) & 0xFFFF;
  } else {
    *error = "the kept boot sector does not start with a jump to its code";
    return false;
  }
  if (target < kBootCodeOffset || target >= 510) {
    *error = "the kept boot sector's code starts at offset " + std::to_string(target) +
             ", inside the parameter block this tool writes";
    return false;
  }
  return true;
}

// Pack without the guard against running out of memory.
bool PackTree(const Tree& root, const std::string* boot_sector, std::string* image,
              std::string* error) {
  if (boot_sector && !CheckBootSector(*boot_sector, error)) return false;
  Node top;
  size_t clusters = 0;
  if (!Prepare(root, "", 0, &top, &clusters, error)) return false;
  if (clusters > kDataClusters) {
    *error = "the tree does not fit on a 1.44 MB floppy: it needs " +
             std::to_string(clusters * kSectorSize) + " bytes of clusters and the floppy has " +
             std::to_string(kDataCapacity);
    return false;
  }
  unsigned next = 2;
  Allocate(&top, &next);

  std::string out(kImageSize, '\0');
  SetFat(0, 0xFF0, &out);
  SetFat(1, 0xFFF, &out);
  WriteDirectory(top, (1 + 2 * kFatSectors) * kSectorSize, 0, true, &out);
  WriteBootSector(boot_sector, &out);
  image->swap(out);
  return true;
}

}  // namespace

bool Pack(const Tree& root, const std::string* boot_sector, std::string* image,
          std::string* error) {
  image->clear();
  try {
    return PackTree(root, boot_sector, image, error);
  } catch (const std::bad_alloc&) {
    image->clear();
    *error = "not enough memory to build the image";
    return false;
  }
}

std::string BootSectorPathFor(const std::string& dir, const char* separators) {
  std::string d = dir;
  while (d.size() > 1 && d.back() != '\0' && std::strchr(separators, d.back())) d.pop_back();
  return d + ".bs";
}

}  // namespace fat12
