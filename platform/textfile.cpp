#include "platform/textfile.h"

#include "platform/encoding.h"

namespace platform {

std::vector<std::string> SplitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  bool open = false;  // a line has begun and not yet ended
  for (size_t i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\x1A') break;
    if (c == '\r') {
      lines.push_back(FromCodePage(line));
      line.clear();
      open = false;
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      continue;
    }
    line += c;
    open = true;
  }
  if (open) lines.push_back(FromCodePage(line));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += ToCodePage(line) + "\r\n";
  return bytes;
}

bool ReadTextLines(Host& host, const std::string& path, std::vector<std::string>* lines) {
  std::string bytes;
  lines->clear();
  if (!host.ReadFile(path, &bytes)) return false;
  *lines = SplitLines(bytes);
  return true;
}

bool WriteTextLines(Host& host, const std::string& path, const std::vector<std::string>& lines) {
  return host.WriteFile(path, JoinLines(lines));
}

}  // namespace platform
