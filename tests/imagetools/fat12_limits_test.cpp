// Unit tests of the FAT12 core at its limits: directories of tens of
// thousands of entries, nesting deeper than DOS can reach, and running out of
// memory.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "imagetools/fat12.h"
#include "tests/imagetools/image_test_util.h"

// Allocation failure on demand: while `g_allocations_left` is positive, each
// allocation counts it down, and the one that brings it to zero throws
// std::bad_alloc. Zero means no failure is planned.
static long g_allocations_left = 0;

void* operator new(std::size_t size) {
  if (g_allocations_left > 0 && --g_allocations_left == 0) throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace imagetest;

double SecondsOf(const std::function<void()>& work) {
  auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A file filling the disk ends at its last cluster, 2848: that cluster is
// read as a link of a chain and as a file's first cluster. (One past it is
// refused either way: the damaged images of fat12_test.cpp.)
TEST(Unpack, TheDisksLastClusterIsRead) {
  const std::string data = Pattern(fat12::kDataCapacity, 3);
  std::string image = PackOrDie(Dir("", {File("BIG", data)}));
  EXPECT_TRUE(UnpackOrDie(image).children.at(0).data == data);
  Put16(kRoot + 26, fat12::kDataClusters + 1, &image);
  fat12::Put32(kRoot + 28, 512, &image);
  EXPECT_EQ(UnpackOrDie(image).children.at(0).data, data.substr(data.size() - 512));
}

// A directory of 45000 entries (as many as fit) packs and unpacks in a
// fraction of a second, and a top directory of 100000 is refused at once;
// comparing each name with every earlier one took tens of seconds.
TEST(Pack, DirectoriesOfTensOfThousandsOfEntriesTakeLinearTime) {
  std::vector<Tree> many;
  for (int i = 0; i < 100000; ++i) many.push_back(File("F" + std::to_string(i), ""));
  std::string image, error;
  double refuse = SecondsOf([&] { EXPECT_FALSE(fat12::Pack(Dir("", many), nullptr, &image, &error)); });
  EXPECT_NE(error.find("100000 entries"), std::string::npos) << error;
  EXPECT_LT(refuse, 1.0);

  many.resize(45000);
  const Tree tree = Dir("", {Dir("SUB", many)});
  Tree back;
  double pack = SecondsOf([&] { ASSERT_TRUE(fat12::Pack(tree, nullptr, &image, &error)) << error; });
  double unpack = SecondsOf([&] { ASSERT_TRUE(fat12::Unpack(image, &back, &error)) << error; });
  ASSERT_EQ(back.children.size(), 1u);
  EXPECT_EQ(back.children[0].children.size(), 45000u);
  EXPECT_LT(pack, 3.0);
  EXPECT_LT(unpack, 3.0);

  // The same names twice, far apart, are still found.
  std::string twice = image;
  const unsigned sub = Get16(twice, kRoot + 26);
  const std::size_t last = ClusterAt(sub) + (2 + 44999) * 32;
  twice.replace(last, 11, twice.substr(ClusterAt(sub) + 64, 11));
  EXPECT_FALSE(fat12::Unpack(twice, &back, &error));
  EXPECT_NE(error.find("twice"), std::string::npos) << error;
}

// DOS reaches 32 levels below the top and no further: such a tree packs and
// unpacks; one level more is refused by the packer, and an image holding it
// by the unpacker.
TEST(Unpack, NestingDeeperThanDosReachesIsRefused) {
  std::string image, error;
  Tree back;
  EXPECT_FALSE(fat12::Pack(Nested(33), nullptr, &image, &error));
  EXPECT_NE(error.find("deeper than DOS"), std::string::npos) << error;
  image = PackOrDie(Nested(32));
  EXPECT_EQ(TreeDifference(Nested(32), UnpackOrDie(image)), "");

  // The 32-level image with its X.TXT turned into an (empty) 33rd directory.
  unsigned cluster = Get16(image, kRoot + 26);
  for (int i = 1; i < 32; ++i) cluster = Get16(image, ClusterAt(cluster) + 64 + 26);
  const std::size_t x = ClusterAt(cluster) + 64;
  ASSERT_EQ(image.substr(x, 11), "X       TXT");
  image[x + 11] = 0x10;
  image[ClusterAt(Get16(image, x + 26))] = '\0';
  EXPECT_FALSE(fat12::Unpack(image, &back, &error));
  EXPECT_NE(error.find("deeper than DOS"), std::string::npos) << error;
}

// Whichever allocation fails, packing and unpacking refuse with a message and
// give back nothing; the failure never escapes as an exception.
TEST(Unpack, RunningOutOfMemoryIsAnError) {
  const Tree tree = Dir("", {File("IO.SYS", Pattern(3000, 1)),
                             Dir("SUB", {File("A.TXT", "a"), Dir("DEEP", {File("B.TXT", "b")})}),
                             File("C.TXT", Pattern(700, 2))});
  const std::string good = PackOrDie(tree);
  const Tree want = UnpackOrDie(good);
  Tree back;
  std::string image, error;
  // Each step runs one call; `output` says what it gave back: "whole" (what
  // an undisturbed call gives), "" (nothing) or "part".
  const struct {
    const char* what;
    std::function<bool(std::string*)> run;
    std::function<std::string()> output;
  } steps[] = {
      {"unpack", [&](std::string* e) { return fat12::Unpack(good, &back, e); },
       [&] { return back.children.empty() ? "" : TreeDifference(back, want).empty() ? "whole" : "part"; }},
      {"pack", [&](std::string* e) { return fat12::Pack(tree, nullptr, &image, e); },
       [&] { return image.empty() ? "" : image == good ? "whole" : "part"; }},
  };
  for (const auto& step : steps) {
    bool finished = false;
    for (long n = 1; n < 100000 && !finished; ++n) {
      error.clear();
      error.reserve(200);
      g_allocations_left = n;
      bool ok = false;
      bool escaped = false;
      try {
        ok = step.run(&error);
      } catch (const std::bad_alloc&) {
        escaped = true;
      }
      finished = g_allocations_left > 0;  // the planned failure never came
      g_allocations_left = 0;
      ASSERT_FALSE(escaped) << step.what << ": allocation " << n;
      if (ok) {
        // Done without the failed allocation (a sort that makes do without
        // its buffer), or not reached: the output must be whole.
        EXPECT_EQ(step.output(), "whole") << step.what << ": allocation " << n;
      } else {
        EXPECT_FALSE(finished) << step.what << ": " << error;
        EXPECT_NE(error.find("memory"), std::string::npos) << step.what << ": " << error;
        EXPECT_EQ(step.output(), "") << step.what << ": allocation " << n;
      }
    }
    EXPECT_TRUE(finished) << step.what;
  }
}

}  // namespace
