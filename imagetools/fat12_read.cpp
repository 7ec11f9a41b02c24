// Reading a FAT12 floppy image into a tree, refusing anything unsound.
#include <algorithm>
#include <cstring>
#include <new>
#include <unordered_set>
#include <vector>

#include "imagetools/fat12.h"
#include "imagetools/fat12_layout.h"

namespace fat12 {
namespace {

// Where the parts of the file system lie, as the boot sector describes them.
struct Geometry {
  size_t bytes_per_sector = 0;
  size_t sectors_per_cluster = 0;
  size_t fat_offset = 0;  // first FAT, in bytes
  size_t root_offset = 0;
  size_t root_entries = 0;
  size_t data_offset = 0;
  size_t cluster_size = 0;
  size_t cluster_count = 0;  // data clusters 2 .. cluster_count+1
};

bool ReadGeometry(const std::string& image, Geometry* g, std::string* error) {
  if (image.size() != kImageSize) {
    *error = "not a 1.44 MB floppy image: it has " + std::to_string(image.size()) +
             " bytes, not " + std::to_string(kImageSize);
    return false;
  }
  if (Byte(image, 510) != 0x55 || Byte(image, 511) != 0xAA) {
    *error = "not a FAT12 floppy image: the boot sector has no 55 AA signature";
    return false;
  }
  size_t bps = Get16(image, 0x0B);
  size_t spc = Byte(image, 0x0D);
  size_t reserved = Get16(image, 0x0E);
  size_t fats = Byte(image, 0x10);
  size_t root_entries = Get16(image, 0x11);
  size_t total = Get16(image, 0x13);
  unsigned media = Byte(image, 0x15);
  size_t fat_sectors = Get16(image, 0x16);
  if (total == 0) total = Get32(image, 0x20);

  if (fat_sectors == 0) {
    *error = "not a FAT12 floppy image: the boot sector describes FAT32";
    return false;
  }
  if (Byte(image, 0x26) == 0x29) {
    std::string type = image.substr(0x36, 5);
    if (type == "FAT16" || type == "FAT32") {
      *error = "not a FAT12 floppy image: the boot sector says " + type;
      return false;
    }
  }
  bool bps_ok = bps == 512 || bps == 1024 || bps == 2048 || bps == 4096;
  bool spc_ok = spc != 0 && (spc & (spc - 1)) == 0;
  if (!bps_ok || !spc_ok || reserved == 0 || fats == 0 || fats > 2 || root_entries == 0 ||
      (media != 0xF0 && media < 0xF8) || total * bps != image.size()) {
    *error = "not a FAT12 floppy image: the boot sector's parameter block is not valid";
    return false;
  }
  size_t root_sectors = (root_entries * kEntrySize + bps - 1) / bps;
  size_t meta_sectors = reserved + fats * fat_sectors + root_sectors;
  if (meta_sectors >= total) {
    *error = "not a FAT12 floppy image: the parameter block leaves no room for data";
    return false;
  }
  g->bytes_per_sector = bps;
  g->sectors_per_cluster = spc;
  g->fat_offset = reserved * bps;
  g->root_offset = (reserved + fats * fat_sectors) * bps;
  g->root_entries = root_entries;
  g->data_offset = meta_sectors * bps;
  g->cluster_size = spc * bps;
  g->cluster_count = (total - meta_sectors) / spc;
  if (g->cluster_count >= 4085) {
    *error = "not a FAT12 floppy image: " + std::to_string(g->cluster_count) +
             " clusters make it FAT16";
    return false;
  }
  if (g->cluster_count == 0 || fat_sectors * bps * 2 / 3 < g->cluster_count + 2) {
    *error = "not a FAT12 floppy image: the FAT is too small for the disk";
    return false;
  }
  return true;
}

// A long name being gathered from its parts, which precede their entry on
// disk last part first.
struct LongName {
  bool active = false;
  unsigned count = 0;     // parts announced by the last one on disk
  unsigned expected = 0;  // sequence number of the next part
  unsigned checksum = 0;
  std::vector<std::uint16_t> units;  // UTF-16, 13 per part, first part first
};

// Offsets of the 13 UTF-16 units in a long name's part.
const int kLongNameOffsets[13] = {1, 3, 5, 7, 9, 14, 16, 18, 20, 22, 24, 28, 30};

void TakeLongEntry(const std::string& e, LongName* name) {
  unsigned seq = Byte(e, 0);
  if (seq & 0x40) {
    *name = LongName();
    name->count = seq & 0x1F;
    if (name->count == 0 || name->count > 20) return;
    name->active = true;
    name->expected = name->count;
    name->checksum = Byte(e, 13);
    name->units.assign(name->count * 13, 0xFFFF);
  } else if (!name->active || seq != name->expected || Byte(e, 13) != name->checksum) {
    *name = LongName();
    return;
  }
  for (int i = 0; i < 13; ++i)
    name->units[(seq & 0x1F) * 13 - 13 + i] = Get16(e, kLongNameOffsets[i]);
  --name->expected;
}

// The long name if it is complete, belongs to entry `e` and is usable as a
// host name; empty otherwise.
std::string LongHostName(const std::string& e, const LongName& name) {
  if (!name.active || name.expected != 0 || name.checksum != ShortNameChecksum(e.data()))
    return std::string();
  const std::vector<std::uint16_t>& units = name.units;
  std::string host_name;
  for (size_t i = 0; i < units.size(); ++i) {
    std::uint32_t u = units[i];
    if (u == 0) break;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      return std::string();
    }
    if (u < 0x20 || u == 0xFFFF || (u < 0x80 && std::strchr("/\\:*?\"<>|", static_cast<int>(u))))
      return std::string();
    AppendUtf8(u, &host_name);
  }
  if (host_name == "." || host_name == "..") return std::string();
  return host_name;
}

// Reads the directories and files of an image. The names of the directories
// being read are kept as pointers into the tree, and a path is only put
// together for a message, so that a deep tree costs no copy per level.
class Reader {
 public:
  Reader(const std::string& image, const Geometry& g)
      : image_(image), g_(g), used_(g.cluster_count + 2, false) {}

  bool ReadRoot(Tree* root) {
    *root = Tree();
    root->is_directory = true;
    return ReadEntries({g_.root_offset}, g_.root_entries * kEntrySize, root);
  }

  const std::string& error() const { return error_; }

 private:
  unsigned Next(unsigned cluster) const {
    unsigned pair = Get16(image_, g_.fat_offset + cluster * 3 / 2);
    return (cluster & 1) ? (pair >> 4) : (pair & 0xFFF);
  }

  size_t ClusterOffset(unsigned cluster) const {
    return g_.data_offset + (cluster - 2) * g_.cluster_size;
  }

  // The DOS path of the directory being read, with `name` after it when given.
  std::string Path(const std::string* name = nullptr) const {
    std::string path;
    for (const std::string* part : path_) path += "\\" + *part;
    if (name) path += "\\" + *name;
    return path.empty() ? "\\" : path;
  }

  // Follows a chain from `start`, marking its clusters used. Any cluster out
  // of range, free, bad, or already used by this or another chain makes the
  // image corrupt. Every value from 0xFF8 to 0xFFF ends a chain.
  bool Chain(unsigned start, const std::string& name, std::vector<unsigned>* clusters) {
    unsigned c = start;
    for (;;) {
      if (c < 2 || c > g_.cluster_count + 1) {
        return Fail("corrupt image: " + Path(&name) + " refers to cluster " + std::to_string(c) +
                    ", outside the disk");
      }
      if (used_[c]) {
        return Fail("corrupt image: the cluster chain of " + Path(&name) + " runs into cluster " +
                    std::to_string(c) + " a second time (a loop or a cross-link)");
      }
      used_[c] = true;
      clusters->push_back(c);
      unsigned next = Next(c);
      if (next >= 0xFF8) return true;
      if (next == 0xFF7 || next < 2) {
        return Fail("corrupt image: the cluster chain of " + Path(&name) + " has a " +
                    (next == 0xFF7 ? "bad" : "free") + " cluster after cluster " +
                    std::to_string(c));
      }
      c = next;
    }
  }

  bool ReadFile(unsigned start, std::uint32_t size, const std::string& name, std::string* data) {
    if (size == 0) return true;  // a chain of an empty file holds nothing to read
    std::vector<unsigned> clusters;
    if (!Chain(start, name, &clusters)) return false;
    size_t needed = (size + g_.cluster_size - 1) / g_.cluster_size;
    if (clusters.size() < needed) {
      return Fail("corrupt image: " + Path(&name) + " has " + std::to_string(size) +
                  " bytes but its cluster chain holds only " +
                  std::to_string(clusters.size() * g_.cluster_size));
    }
    data->reserve(size);
    for (size_t i = 0; i < needed; ++i) {
      size_t take = std::min<size_t>(g_.cluster_size, size - data->size());
      data->append(image_, ClusterOffset(clusters[i]), take);
    }
    return true;
  }

  bool ReadDirectory(unsigned start, Tree* dir) {
    if (path_.size() >= static_cast<size_t>(kMaxDepth)) {
      return Fail("the directory " + Path(&dir->name) + " is nested more than " +
                  std::to_string(kMaxDepth) + " levels deep, deeper than DOS can reach");
    }
    std::vector<unsigned> clusters;
    if (!Chain(start, dir->name, &clusters)) return false;
    std::vector<size_t> spans;
    spans.reserve(clusters.size());
    for (unsigned c : clusters) spans.push_back(ClusterOffset(c));
    path_.push_back(&dir->name);
    bool ok = ReadEntries(spans, g_.cluster_size, dir);
    path_.pop_back();
    return ok;
  }

  // Reads the entries of a directory that lies in the spans of `span_size`
  // bytes starting at `spans` (the top directory in one span, any other one
  // cluster by cluster) into `dir`.
  bool ReadEntries(const std::vector<size_t>& spans, size_t span_size, Tree* dir) {
    LongName long_name;
    // Upper-cased names of the entries read so far, to find one given twice.
    std::unordered_set<std::string> seen;
    for (size_t span : spans) {
      for (size_t at = span; at + kEntrySize <= span + span_size; at += kEntrySize) {
        std::string e = image_.substr(at, kEntrySize);
        unsigned char first = Byte(e, 0);
        unsigned char attributes = Byte(e, 11);
        if (first == 0x00) return true;
        if (first == 0xE5) {
          long_name = LongName();
          continue;
        }
        if ((attributes & 0x3F) == kAttrLongName) {
          TakeLongEntry(e, &long_name);
          continue;
        }
        if ((attributes & kAttrVolume) || e.compare(0, 11, ".          ") == 0 ||
            e.compare(0, 11, "..         ") == 0) {
          long_name = LongName();
          continue;
        }
        Tree child;
        child.name = LongHostName(e, long_name);
        long_name = LongName();
        if (child.name.empty() && !HostNameFromShortName(e.data(), Byte(e, 12), &child.name)) {
          return Fail("corrupt image: a directory entry in " + Path() +
                      " has a name that cannot be a file name (unsafe bytes, empty or reserved)");
        }
        if (!seen.insert(AsciiUpper(child.name)).second)
          return Fail("corrupt image: the name " + Path(&child.name) + " is there twice");
        child.dos_time = Get16(e, 22);
        child.dos_date = Get16(e, 24);
        unsigned start = Get16(e, 26);
        if (attributes & kAttrDirectory) {
          child.is_directory = true;
          if (!ReadDirectory(start, &child)) return false;
        } else if (!ReadFile(start, Get32(e, 28), child.name, &child.data)) {
          return false;
        }
        dir->children.push_back(std::move(child));
      }
    }
    return true;
  }

  bool Fail(const std::string& message) {
    error_ = message;
    return false;
  }

  const std::string& image_;
  const Geometry& g_;
  std::vector<bool> used_;
  std::vector<const std::string*> path_;  // names of the directories being read
  std::string error_;
};

}  // namespace

bool Unpack(const std::string& image, Tree* root, std::string* error) {
  *root = Tree();
  root->is_directory = true;
  Geometry g;
  if (!ReadGeometry(image, &g, error)) return false;
  bool ok = false;
  try {
    Reader reader(image, g);
    ok = reader.ReadRoot(root);
    if (!ok) *error = reader.error();
  } catch (const std::bad_alloc&) {
    *root = Tree();  // gives back what was read before the error is set
    *error = "not enough memory to read the image";
  }
  if (!ok) {
    *root = Tree();
    root->is_directory = true;
  }
  return ok;
}

}  // namespace fat12
