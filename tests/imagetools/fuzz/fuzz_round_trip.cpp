// Fuzz target: unpack -> pack -> unpack. Whatever the unpacker takes and the
// packer accepts must come back the same (names but for case, contents, dates),
// and packing that again must give the same image byte for byte.
#include <algorithm>
#include <cstdlib>

#include "imagetools/fat12.h"
#include "tests/imagetools/fuzz/fuzz_input.h"

namespace {

void ExpectSame(const fat12::Tree& a, const fat12::Tree& b) {
  if (a.children.size() != b.children.size()) std::abort();
  std::vector<const fat12::Tree*> x, y;
  for (const fat12::Tree& c : a.children) x.push_back(&c);
  for (const fat12::Tree& c : b.children) y.push_back(&c);
  auto by_name = [](const fat12::Tree* p, const fat12::Tree* q) {
    return fat12::AsciiUpper(p->name) < fat12::AsciiUpper(q->name);
  };
  std::sort(x.begin(), x.end(), by_name);
  std::sort(y.begin(), y.end(), by_name);
  for (size_t i = 0; i < x.size(); ++i) {
    if (fat12::AsciiUpper(x[i]->name) != fat12::AsciiUpper(y[i]->name) ||
        x[i]->is_directory != y[i]->is_directory || x[i]->data != y[i]->data ||
        x[i]->dos_date != y[i]->dos_date || x[i]->dos_time != y[i]->dos_time)
      std::abort();
    ExpectSame(*x[i], *y[i]);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::string image = imagefuzz::ImageOf(data, size);
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
  if (packed.size() != fat12::kImageSize) std::abort();
  fat12::Tree back;
  if (!fat12::Unpack(packed, &back, &error)) std::abort();
  ExpectSame(tree, back);
  std::string kept = packed.substr(0, fat12::kSectorSize);
  std::string again;
  if (!fat12::Pack(back, &kept, &again, &error) || again != packed) std::abort();
  return 0;
}
