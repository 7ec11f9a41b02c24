// The fuzz targets' input: a 1.44 MB floppy image with its trailing zero
// bytes left off, so that the fuzzer works on the part that holds something
// (boot sector, FATs, directories and the first clusters). An input longer
// than a floppy is handed on as it is, to be refused for its size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imagetools/fat12.h"

namespace imagefuzz {

inline std::string ImageOf(const std::uint8_t* data, size_t size) {
  std::string image(reinterpret_cast<const char*>(data), size);
  if (image.size() < fat12::kImageSize) image.resize(fat12::kImageSize, '\0');
  return image;
}

}  // namespace imagefuzz
