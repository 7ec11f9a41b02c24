#include "base/names.h"

#include "platform/encoding.h"

namespace base {

std::string ShareName(const std::string& shared_directory) {
  const std::size_t kFirst = 3, kMaxBytes = 20;
  std::string bytes = platform::ToCodePage(shared_directory);
  // Walk the characters: skip those before the 4th byte, then keep whole
  // characters while they fit in 20 bytes.
  std::size_t i = 0, begin = 0, end = 0;
  while (i < bytes.size()) {
    std::size_t n = platform::CodePageCharLength(bytes, i);
    if (n == 0) n = 1;  // a byte of no character counts alone
    if (i < kFirst) {
      begin = end = i + n;
    } else if (i + n - begin <= kMaxBytes) {
      end = i + n;
    } else {
      break;
    }
    i += n;
  }
  if (begin > bytes.size()) return "";
  return platform::FromCodePage(bytes.substr(begin, end - begin));
}

std::string NameList(const std::vector<std::string>& names, size_t shown) {
  std::string text;
  for (size_t i = 0; i < names.size() && i < shown; ++i) text += (i ? "、" : "") + names[i];
  if (names.size() > shown) text += " 等 " + std::to_string(names.size()) + " 个";
  return text;
}

}  // namespace base
