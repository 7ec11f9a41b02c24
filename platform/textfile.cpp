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
  return WriteFileWhole(host, path, JoinLines(lines));
}

namespace {

// The new file's place beside the old one, and its move into the old one's.
bool PutInPlace(Host& host, bool written, const std::string& fresh, const std::string& path) {
  if (written && host.ReplaceFile(fresh, path)) return true;
  host.DeleteFile(fresh);
  return false;
}

}  // namespace

bool WriteFileWhole(Host& host, const std::string& path, const std::string& bytes) {
  const std::string fresh = path + ".new";
  return PutInPlace(host, host.WriteFile(fresh, bytes), fresh, path);
}

bool CopyFileWhole(Host& host, const std::string& from, const std::string& to) {
  const std::string fresh = to + ".new";
  // The copy takes its source's attributes; a release copied from a CD is
  // read-only. The file brought here is the program's own: it is made an
  // ordinary file, so that it can be removed when it cannot take the old
  // one's place, and replaced by the next run.
  const bool copied = host.CopyFile(from, fresh, false) && host.SetFileAttributes(fresh, kAttrArchive);
  return PutInPlace(host, copied, fresh, to);
}

}  // namespace platform
