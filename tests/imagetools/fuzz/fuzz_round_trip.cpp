// Fuzz target: unpack -> pack -> unpack. Whatever the unpacker takes and the
// packer accepts must come back the same (names but for case, contents, dates),
// and packing that again must give the same image byte for byte.
#include <cstdlib>

#include "imagetools/fat12.h"
#include "tests/imagetools/image_test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::string image = imagetest::ImageOf(data, size);
  fat12::Tree tree;
  std::string error;
  if (!fat12::Unpack(image, &tree, &error)) return 0;
  // The boot sector goes along as undisk keeps it; one the packer cannot
  // keep is left out, as a fresh one is written then.
  std::string boot_sector = image.substr(0, fat12::kSectorSize);
  std::string packed;
  if (!fat12::Pack(tree, &boot_sector, &packed, &error) &&
      !fat12::Pack(tree, nullptr, &packed, &error))
    return 0;  // long names, names equal but for case, ...: refused with a reason
  // An image of another size than a floppy's is refused here too.
  const fat12::Tree back = imagetest::UnpackOrDie(packed);
  if (!imagetest::TreeDifference(tree, back).empty()) std::abort();
  std::string kept = packed.substr(0, fat12::kSectorSize);
  std::string again;
  if (!fat12::Pack(back, &kept, &again, &error) || again != packed) std::abort();
  return 0;
}
