#include "platform/text.h"

namespace platform {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool SameName(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead >> 5) == 6) return 2;
  if ((lead >> 4) == 14) return 3;
  if ((lead >> 3) == 30) return 4;
  return 0;
}

}  // namespace platform
