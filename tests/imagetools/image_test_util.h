// What the image tests and fuzz targets share: trees to pack, the fields of a
// packed 1.44 MB image (FAT at sector 1, top directory at sector 19, data at
// 33), and trees compared as the unpacker gives them back.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "imagetools/fat12.h"
#include "imagetools/fat12_layout.h"

namespace imagetest {

using fat12::Tree;

constexpr std::size_t kFat = 512;
constexpr std::size_t kRoot = 19 * 512;
inline std::size_t ClusterAt(unsigned c) { return (33 + c - 2) * 512; }

// The fields little-endian, as the core reads and writes them.
using fat12::Get16, fat12::Put16;
inline unsigned FatEntry(const std::string& image, unsigned c) {
  const unsigned pair = Get16(image, kFat + c * 3 / 2);
  return (c & 1) ? pair >> 4 : pair & 0xFFF;
}
// Sets the entry of cluster `c` in the first FAT, the one a reader follows.
inline void SetFatEntry(std::string& image, unsigned c, unsigned v) {
  const std::size_t at = kFat + c * 3 / 2;
  unsigned pair = Get16(image, at);
  pair = (c & 1) ? ((pair & 0xF) | (v << 4)) : ((pair & 0xF000) | v);
  Put16(at, pair, &image);
}

// A file and a directory (fields in Tree's order: name, directory or not,
// date, time, data, entries).
inline Tree File(const std::string& name, const std::string& data, std::uint16_t date = 0x2CD9,
                 std::uint16_t time = 0x6000) {
  return Tree{name, false, date, time, data, {}};
}
inline Tree Dir(const std::string& name, std::vector<Tree> children) {
  return Tree{name, true, 0x2CD9, 0, "", std::move(children)};
}
inline std::string Pattern(std::size_t n, unsigned seed) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + seed * 13 + i / 251) & 0xFF);
  return s;
}

// The image of a tree that must pack; a tree that does not ends the run.
inline std::string PackOrDie(const Tree& t, const std::string* boot_sector = nullptr) {
  std::string image, error;
  if (fat12::Pack(t, boot_sector, &image, &error)) return image;
  std::fprintf(stderr, "cannot pack: %s\n", error.c_str());
  std::abort();
}

// The tree of an image that must unpack; an image that does not ends the run.
inline Tree UnpackOrDie(const std::string& image) {
  Tree t;
  std::string error;
  if (fat12::Unpack(image, &t, &error)) return t;
  std::fprintf(stderr, "cannot unpack: %s\n", error.c_str());
  std::abort();
}

// A tree with every shape the image must keep: nested and empty directories,
// files of 0, 1, 512 and 513 bytes and a large one, a directory whose entries
// span several clusters, and the boot files out of order.
inline Tree Sample() {
  std::vector<Tree> many;
  for (int i = 0; i < 40; ++i)
    many.push_back(File("F" + std::to_string(i) + ".DAT", Pattern(i * 3, i)));
  return Dir("", {File("ZETA.TXT", "z"), File("MSDOS.SYS", "[Options]\r\n"), File("EMPTY.TXT", ""),
                  Dir("SUB", {File("ONE.BIN", "1"), File("S512.BIN", Pattern(512, 1)),
                              File("S513.BIN", Pattern(513, 2)), Dir("EMPTYDIR", {}),
                              Dir("DEEP", {File("BIG.BIN", Pattern(300 * 1024, 3), 0x3A21, 0x8C1F)})}),
                  Dir("MANY", many), File("IO.SYS", Pattern(40000, 4)), File("alpha.txt", "lower case")});
}

// Directories A\A\A... `levels` deep, the deepest holding X.TXT.
inline Tree Nested(int levels) {
  Tree inner = File("X.TXT", "x");
  for (int i = 0; i < levels; ++i) inner = Dir("A", {inner});
  return Dir("", {inner});
}

// Files and a directory of known clusters: A.TXT 2-5, B.TXT 6-7, SUB 8 and
// SUB\C.TXT 9.
inline Tree Chains() {
  return Dir("", {File("A.TXT", Pattern(2000, 1)), File("B.TXT", Pattern(600, 2)),
                  Dir("SUB", {File("C.TXT", "c")})});
}

// The first difference between two trees, or "" when they hold the same
// entries (names alike but for case, in any order) with the same kinds, dates
// and contents.
inline std::string TreeDifference(const Tree& a, const Tree& b, const std::string& path = "") {
  if (a.children.size() != b.children.size()) return path + "\\ holds another number of entries";
  auto sorted = [](const Tree& t) {
    std::vector<const Tree*> v;
    for (const Tree& c : t.children) v.push_back(&c);
    std::sort(v.begin(), v.end(), [](const Tree* p, const Tree* q) {
      return fat12::AsciiUpper(p->name) < fat12::AsciiUpper(q->name);
    });
    return v;
  };
  const std::vector<const Tree*> x = sorted(a), y = sorted(b);
  for (std::size_t i = 0; i < x.size(); ++i) {
    const std::string p = path + "\\" + x[i]->name;
    if (fat12::AsciiUpper(x[i]->name) != fat12::AsciiUpper(y[i]->name) ||
        x[i]->is_directory != y[i]->is_directory || x[i]->dos_date != y[i]->dos_date ||
        x[i]->dos_time != y[i]->dos_time || x[i]->data != y[i]->data)
      return p + " differs";
    const std::string deeper = TreeDifference(*x[i], *y[i], p);
    if (!deeper.empty()) return deeper;
  }
  return "";
}

// A fuzz input as an image: a 1.44 MB floppy image with its trailing zero
// bytes left off, so that the fuzzer works on the part that holds something
// (boot sector, FATs, directories and the first clusters). An input longer
// than a floppy is handed on as it is, to be refused for its size.
inline std::string ImageOf(const std::uint8_t* data, std::size_t size) {
  std::string image(reinterpret_cast<const char*>(data), size);
  if (image.size() < fat12::kImageSize) image.resize(fat12::kImageSize, '\0');
  return image;
}

}  // namespace imagetest
