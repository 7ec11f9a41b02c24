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

std::string PathKey(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  while (path.size() > 3 && path.back() == '\\') path.pop_back();
  return path;
}

bool PathWithin(const std::string& path, const std::string& place) {
  const std::string p = PathKey(path), in = PathKey(place);
  if (in.empty()) return false;
  return p == in ||
         (p.size() > in.size() && p.compare(0, in.size(), in) == 0 && (p[in.size()] == '\\' || in.back() == '\\'));
}

}  // namespace platform
