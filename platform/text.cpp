#include "platform/text.h"

#include <algorithm>

#include "platform/platform.h"

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

std::vector<std::string> FullPath(platform::Host& host, std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  const std::string here = host.CurrentDirectory();
  if (path.rfind("\\\\", 0) == 0) {
    // A network path: the server and share stand as they are.
  } else if (path.size() >= 2 && path[1] == ':') {
    if (path.size() == 2 || path[2] != '\\')  // "D:name": from that drive's current folder
      path = (platform::SameName(here.substr(0, 2), path.substr(0, 2)) ? here : path.substr(0, 2)) + "\\" +
             path.substr(2);
  } else if (!path.empty() && path[0] == '\\') {
    path = here.substr(0, 2) + path;
  } else {
    path = here + "\\" + path;
  }
  std::vector<std::string> names;
  size_t begin = 0;
  while (begin <= path.size()) {
    size_t end = path.find('\\', begin);
    if (end == std::string::npos) end = path.size();
    std::string name = path.substr(begin, end - begin);
    if (name != "." && name != "..")
      while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name == "..") {
      if (names.size() > 1) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    begin = end + 1;
  }
  return names;
}

bool SameFilePath(platform::Host& host, const std::string& a, const std::string& b) {
  const std::vector<std::string> x = FullPath(host, a), y = FullPath(host, b);
  if (x.size() != y.size()) return false;
  for (size_t i = 0; i < x.size(); ++i)
    if (!platform::SameName(x[i], y[i])) return false;
  return true;
}

}  // namespace platform
