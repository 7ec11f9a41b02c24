// A floppy image as its files: what two packings of the same tree share.
#pragma once

#include <functional>
#include <string>

#include "imagetools/fat12.h"

// The names and bytes of a 1.44 MB image's files, without the time stamps
// its entries carry (no two packings share them); `bytes` themselves when
// they are no image.
inline std::string ImageFiles(const std::string& bytes) {
  fat12::Tree image;
  std::string error, files;
  std::function<void(const fat12::Tree&, const std::string&)> walk = [&](const fat12::Tree& t, const std::string& at) {
    files += at + t.name + (t.is_directory ? "/\n" : "\n" + t.data + "\n");
    for (const fat12::Tree& child : t.children) walk(child, at + t.name + "/");
  };
  if (bytes.size() == fat12::kImageSize && fat12::Unpack(bytes, &image, &error)) walk(image, "image ");
  return files.empty() ? bytes : files;
}
