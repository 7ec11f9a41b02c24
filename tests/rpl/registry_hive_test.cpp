// The driver name put into system.dat: hives built here are edited, then read
// back by an independent reader (cregexport, of Debian's libcreg-utils) and
// checked for what that reader does not check: key hashes and block sizes.
#include "rpl/registry_hive.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <map>

namespace {

using rpl::DriverNameEdit;
using rpl::HiveKey;
using rpl::HiveLayout;
using rpl::TextValue;

uint32_t U32(const std::string& b, size_t at) {
  return uint8_t(b.at(at)) | uint8_t(b.at(at + 1)) << 8 | uint8_t(b.at(at + 2)) << 16 |
         uint32_t(uint8_t(b.at(at + 3))) << 24;
}
uint16_t U16(const std::string& b, size_t at) { return uint16_t(uint8_t(b.at(at)) | uint8_t(b.at(at + 1)) << 8); }

// What cregexport prints for the hive, and whether it read it.
bool Export(const std::string& hive, std::string* text) {
  char path[] = "/tmp/hive_test_XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0 || write(fd, hive.data(), hive.size()) != ssize_t(hive.size()) || close(fd) != 0) return false;
  FILE* pipe = popen(("cregexport " + std::string(path) + " 2>&1").c_str(), "r");
  text->clear();
  char buffer[4096];
  for (size_t n; pipe && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) text->append(buffer, n);
  const bool read = pipe && pclose(pipe) == 0;
  unlink(path);
  return read;
}

bool HaveReader() { return system("command -v cregexport >/dev/null 2>&1") == 0; }

// Empty when every block's used and unused sizes agree with its entries (the
// unused bytes are its free entries), every entry's used size with its name
// and values, and every key's hash with its name; else what is wrong.
// `left` gets the unused bytes of all blocks.
std::string Inconsistency(const std::string& h, uint32_t* left) {
  *left = 0;
  std::map<std::pair<int, int>, std::string> names;  // (block, number) -> key name
  size_t at = U32(h, 8);
  int b = 0;
  for (; at < h.size(); at += U32(h, at + 4), ++b) {
    const uint32_t size = U32(h, at + 4), unused = U32(h, at + 8);
    if (size < 32 || U32(h, at + 16) + unused != size) return "block " + std::to_string(b) + ": sizes";
    *left += unused;
    uint32_t free = 0;
    size_t p = at + 32;
    for (; p < at + size; p += U32(h, p)) {
      if (U32(h, p) < 20) return "an entry's size";
      if (U16(h, p + 4) == 0xFFFF) {
        free += U32(h, p);
        continue;
      }
      size_t q = p + 20 + U16(h, p + 12);
      for (int v = 0; v < U16(h, p + 14); ++v) q += 12 + U16(h, q + 8) + U16(h, q + 10);
      if (q - p != U32(h, p + 8) || q - p > U32(h, p)) return "an entry's used size";
      names[{b, U16(h, p + 4)}] = h.substr(p + 20, U16(h, p + 12));
    }
    if (p != at + size) return "block " + std::to_string(b) + ": entries past its end";
    if (unused != free) return "block " + std::to_string(b) + ": unused size";
  }
  if (at != h.size() || b != U16(h, 16)) return "blocks and file size or count";
  for (size_t e = 32 + 32 + 28; e < 32 + U32(h, 32 + 12); e += 28) {
    auto name = names.find({U16(h, e + 26), U16(h, e + 24)});
    if (name == names.end()) return "a key without its entry";
    uint32_t hash = 0;
    for (char c : name->second) hash += uint8_t(c) < 0x80 ? std::toupper(uint8_t(c)) : 0;
    if (U32(h, e + 4) != hash) return "the hash of " + name->second;
  }
  return "";
}

// A network card's key with the driver name in its key name, in a value's
// name or in a value's data; a key after it.
enum Where { kKeyName, kValueName, kValueData };
std::vector<HiveKey> Keys(Where where, const std::string& d) {
  const HiveKey after = {"Software\\After", {TextValue("Setting", "value")}};
  if (where == kKeyName) return {{"Enum\\Network\\" + d + "\\0000", {TextValue("Desc", "card")}}, after};
  if (where == kValueName)
    return {{"Enum\\Network\\0000", {TextValue("Desc", "card"), TextValue(d, "1"), TextValue("Later", "x")}},
            after};
  return {{"System\\CurrentControlSet\\Services\\Class\\Net\\0000",
           {TextValue("DriverDesc", "RTL 8139"), TextValue("NetDriver", d),
            {"Count", rpl::kRegDword, std::string("\x03\0\0\0", 4)}}},
          after};
}

std::string Build(const std::vector<HiveKey>& keys, const HiveLayout& layout) {
  std::string hive, why;
  EXPECT_TRUE(rpl::BuildHive(keys, layout, &hive, &why)) << why;
  return hive;
}

TEST(RegistryHive, TheDriverNameIsPutWhereRtsndStandsAndTheHiveReadsAsIfBuiltWithIt) {
  if (!HaveReader()) GTEST_SKIP() << "cregexport is missing: apt-get install libcreg-utils";
  // layout {keys a block, free room at each block's end}; with 3 keys a
  // block the edited entry's block has blocks after it.
  struct Case {
    Where where;
    HiveLayout layout;
    std::string name;
    long growth;       // of the file, in bytes
    uint32_t left;     // unused bytes of all blocks after the edit
    std::string line;  // of the export, naming the driver
  } cases[] = {
      {kValueData, {0, 0}, "NE2000", 1, 0, "Data: NE2000"},
      {kValueData, {3, 0}, "MYNICXYZ", 3, 0, "Data: MYNICXYZ"},
      {kValueData, {0, 0}, "PCIND", 0, 0, "Data: PCIND"},
      {kValueName, {0, 0}, "MYNICX", 1, 0, "Value: 1 MYNICX"},
      {kValueName, {3, 40}, "MYNICXYZ", 0, 77, "Value: 1 MYNICXYZ"},
      {kKeyName, {3, 0}, "NE2000", 1, 0, "Key: NE2000"},
      {kKeyName, {0, 64}, "MYNICXYZ", 0, 61, "Key: MYNICXYZ"},
      // Free room too small to leave a free entry behind: the entry takes it
      // all, and 20 bytes are the least that stay a free entry.
      {kKeyName, {0, 20}, "NE2000", 0, 0, "Key: NE2000"},
      {kKeyName, {0, 23}, "MYNICXYZ", 0, 20, "Key: MYNICXYZ"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.where << " " << c.name << " free " << c.layout.free_room
                                      << " keys a block " << c.layout.keys_per_block);
    const std::string hive = Build(Keys(c.where, "RTSND"), c.layout);
    std::string edited = "untouched", why;
    ASSERT_EQ(rpl::PutDriverNameInRegistry(hive, c.name, &edited, &why), DriverNameEdit::kDone) << why;
    EXPECT_EQ(long(edited.size()) - long(hive.size()), c.growth);
    uint32_t left = 0;
    EXPECT_EQ(Inconsistency(edited, &left), "");
    EXPECT_EQ(left, c.left);
    std::string text, expected;
    ASSERT_TRUE(Export(edited, &text)) << text;
    ASSERT_TRUE(Export(Build(Keys(c.where, c.name), c.layout), &expected));
    EXPECT_EQ(text, expected);
    EXPECT_NE(text.find("\n" + c.line + "\n"), std::string::npos) << text;
  }
}

TEST(RegistryHive, TheReaderFindsTheLastKeyOfAFullHierarchyPage) {
  if (!HaveReader()) GTEST_SKIP() << "cregexport is missing: apt-get install libcreg-utils";
  // The root and 144 keys end 4 bytes short of a 4 KB page.
  std::vector<HiveKey> keys;
  for (int i = 0; i < 144; ++i) keys.push_back({"K" + std::to_string(i), {}});
  std::string text;
  ASSERT_TRUE(Export(Build(keys, {}), &text)) << text;
  EXPECT_NE(text.find("\nKey: K143\n"), std::string::npos);
}

TEST(RegistryHive, WhatCannotBeChangedAsTheRegistryWouldIsRefusedWithItsReason) {
  const std::string hive = Build(Keys(kValueData, "RTSND"), {3, 0});
  const uint32_t first_block = U32(hive, 8);
  auto changed = [&](size_t at, uint32_t value) {
    std::string h = hive;
    for (int i = 0; i < 4; ++i) h[at + i] = char(value >> (8 * i));
    return h;
  };
  // A key entry's name length made 0: the first key of the first block.
  std::string unnamed = Build({{"Enum\\RTSND", {}}}, {});
  unnamed[U32(unnamed, 8) + 32 + 12] = 0;
  // The hash of Enum\Network\RTSND, node 3 of the hierarchy, one more.
  std::string keyed_hash_off = Build(Keys(kKeyName, "RTSND"), {});
  keyed_hash_off[32 + 32 + 3 * 28 + 4] += 1;
  // A block's unused size one more and its used size one less: the sum
  // still the block's size, the free entries no longer the unused size.
  std::string unused_more = hive;
  for (auto [at, delta] : {std::pair<size_t, int>{first_block + 8, 1}, {first_block + 16, -1}})
    for (int i = 0; i < 4; ++i) unused_more[at + i] = char((U32(hive, at) + delta) >> (8 * i));
  const std::string text = "registry ...RTSND... RTSND";
  struct Case {
    const char* what;
    std::string bytes, name;
    DriverNameEdit result;
    std::string why_or_out;  // the reason's part when refused, else the output
  } cases[] = {
      {"not a hive, five letters", text, "PCIND", DriverNameEdit::kDone, "registry ...PCIND... RTSND"},
      {"not a hive, four letters", text, "NIC1", DriverNameEdit::kRefused, "只能逐字节换入5个字符的驱动程序名，NIC1 有 4 个字符"},
      {"not a hive, no RTSND", "registry", "NE2000", DriverNameEdit::kNoName, "registry"},
      {"a hive without RTSND", Build(Keys(kValueData, "PCIND"), {}), "NE2000", DriverNameEdit::kNoName,
       Build(Keys(kValueData, "PCIND"), {})},
      {"a name of nine letters", hive, "NINELETTR", DriverNameEdit::kRefused, "不是1到8个字符"},
      {"an empty name", text, "", DriverNameEdit::kRefused, "不是1到8个字符"},
      {"cut short by a byte", hive.substr(0, hive.size() - 1), "NE2000", DriverNameEdit::kRefused,
       "注册表文件已损坏（数据块 2 的大小不对）"},
      {"a block's unused size one more", changed(first_block + 8, 1), "NE2000", DriverNameEdit::kRefused,
       "注册表文件已损坏（数据块 0 的已用和未用大小之和"},
      {"a block's unused size not its free entries'", unused_more, "NE2000", DriverNameEdit::kRefused,
       "注册表文件已损坏（数据块 0 的未用大小与其中的空闲项不符"},
      {"a key pointing past its block's entries", changed(32 + 32 + 28 + 24, 7), "NE2000",
       DriverNameEdit::kRefused, "注册表文件已损坏（层次结构偏移 60 处的键没有唯一的数据项）"},
      {"an entry a byte past its block's end", changed(first_block + 32, U32(hive, first_block + 4) - 32 + 1),
       "NE2000", DriverNameEdit::kRefused, "注册表文件已损坏（数据块 0 偏移 32 处的项大小不对）"},
      // The root pointer at the first key (System), an ordinary key, which
      // the peer reader takes as the start of another tree; the root entry
      // given that key as its parent; a key named by nothing.
      {"the root an ordinary key", changed(32 + 8, 32 + 28), "NE2000", DriverNameEdit::kRefused,
       "注册表文件已损坏（根键不是键的层次结构的第一项（偏移 60））"},
      {"the root with a parent", changed(32 + 32 + 12, 32 + 28), "NE2000", DriverNameEdit::kRefused,
       "注册表文件已损坏（根键有上级键）"},
      {"a key without a name", unnamed, "NE2000", DriverNameEdit::kRefused,
       "注册表文件已损坏（层次结构偏移 60 处的键没有名称）"},
      {"one block fewer in the header", changed(16, 2), "NE2000", DriverNameEdit::kRefused,
       "注册表文件已损坏（数据块的数目与文件头不符）"},
      {"the key's hash not its name's", keyed_hash_off, "PCIND", DriverNameEdit::kRefused,
       "注册表文件已损坏（键 Enum\\Network\\RTSND 的散列值与键名不符）"},
      {"two keys of one parent alike", Build({{"Enum\\RTSND", {}}, {"Enum\\NE2000", {}}}, {}), "ne2000",
       DriverNameEdit::kRefused, "键 Enum 下已有名为 ne2000 的键"},
      {"two keys of the root alike", Build({{"RTSND", {}}, {"NE2000", {}}}, {}), "NE2000", DriverNameEdit::kRefused,
       "注册表的根下已有名为 NE2000 的键"},
      {"two values of one key alike", Build({{"Enum", {TextValue("RTSND", ""), TextValue("NE2000", "")}}}, {}),
       "NE2000", DriverNameEdit::kRefused, "键 Enum 中已有名为 NE2000 的值"},
      {"binary data of another length", Build({{"Enum", {{"Id", rpl::kRegBinary, "RTSND"}}}}, {}), "NE2000",
       DriverNameEdit::kRefused, "RTSND 在键 Enum 的非文本值中"},
  };
  for (const Case& c : cases) {
    std::string out = "untouched", why;
    EXPECT_EQ(rpl::PutDriverNameInRegistry(c.bytes, c.name, &out, &why), c.result) << c.what << ": " << why;
    if (c.result == DriverNameEdit::kRefused) {
      EXPECT_NE(why.find(c.why_or_out), std::string::npos) << c.what << ": " << why;
      EXPECT_EQ(out, "untouched") << c.what;
    } else if (!c.why_or_out.empty()) {
      EXPECT_EQ(out, c.why_or_out) << c.what;
    }
  }
}

}  // namespace
