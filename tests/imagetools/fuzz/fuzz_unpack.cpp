// Fuzz target: the unpacker on any image. It must refuse with a reason and an
// empty tree, or give a tree whose names are safe as host names.
#include <cstdlib>

#include "imagetools/fat12.h"
#include "tests/imagetools/image_test_util.h"

namespace {

void CheckNames(const fat12::Tree& dir, int depth) {
  if (depth > fat12::kMaxDepth + 1) std::abort();
  for (const fat12::Tree& child : dir.children) {
    const std::string& name = child.name;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
        name.find('\\') != std::string::npos || name.find('\0') != std::string::npos)
      std::abort();
    if (!child.is_directory && !child.children.empty()) std::abort();
    CheckNames(child, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::string image = imagetest::ImageOf(data, size);
  fat12::Tree tree;
  std::string error;
  if (fat12::Unpack(image, &tree, &error)) {
    CheckNames(tree, 0);
  } else if (error.empty() || !tree.children.empty()) {
    std::abort();
  }
  return 0;
}
