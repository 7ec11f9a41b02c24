// Writes the seed images of the fuzz targets into a directory: the trees of
// the unit tests packed, with their trailing zero bytes left off.
//   fuzz_seeds DIR
#include <cstdio>
#include <string>
#include <vector>

#include "imagetools/fat12.h"
#include "tests/imagetools/image_test_util.h"

namespace {

using namespace imagetest;

bool WriteSeed(const std::string& path, const Tree& tree) {
  const std::string image = PackOrDie(tree);
  size_t end = image.find_last_not_of('\0') + 1;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  bool ok = f && std::fwrite(image.data(), 1, end, f) == end;
  if (f && std::fclose(f) != 0) ok = false;
  if (!ok) std::fprintf(stderr, "fuzz_seeds: cannot write %s\n", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  std::vector<Tree> many;
  for (int i = 0; i < 300; ++i) many.push_back(File("F" + std::to_string(i), Pattern(i % 7, i)));
  bool ok = WriteSeed(dir + "/sample.img", Sample()) &&
            WriteSeed(dir + "/nested.img", Nested(32)) &&
            WriteSeed(dir + "/many.img", Dir("", {Dir("MANY", many), File("A.TXT", "a")})) &&
            WriteSeed(dir + "/chains.img", Chains());
  return ok ? 0 : 1;
}
