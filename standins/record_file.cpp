#include "standins/record_file.h"

#include "platform/encoding.h"
#include "platform/text.h"
#include "platform/textfile.h"

namespace standins {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

std::string DamageText(const RecordFileError& error) {
  const char* why = "";
  switch (error.damage) {
    case Damage::kNone: break;
    case Damage::kFirstLine: why = "the file does not begin with its format line"; break;
    case Damage::kCtrlZ: why = "a Ctrl-Z before the end of the file"; break;
    case Damage::kCutShort: why = "the last line has no line end: the file is cut short"; break;
    case Damage::kControlCharacter: why = "a control character inside the line"; break;
    case Damage::kNotCodePage936: why = "bytes that are not code page 936 text"; break;
    case Damage::kRecord: why = "not a record of this file"; break;
    case Damage::kName: why = "a record name that is not valid"; break;
  }
  return "line " + std::to_string(error.line) + ": " + why;
}

ReadResult ReadRecordFile(platform::Host& host, const std::string& path, const char* first_line,
                          std::vector<std::string>* lines, RecordFileError* error) {
  lines->clear();
  *error = RecordFileError();
  if (!host.FileExists(path)) return ReadResult::kAbsent;
  std::string bytes;
  if (!host.ReadFile(path, &bytes)) return ReadResult::kUnreadable;
  return ParseRecordBytes(bytes, first_line, lines, error);
}

ReadResult ParseRecordBytes(std::string bytes, const char* first_line, std::vector<std::string>* lines,
                            RecordFileError* error) {
  lines->clear();
  *error = RecordFileError();
  auto damaged = [&](int line, Damage damage) {
    lines->clear();
    *error = {line, damage};
    return ReadResult::kDamaged;
  };
  if (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();  // the end of a text file
  if (first_line && bytes.substr(0, bytes.find("\r\n")) != first_line) return damaged(1, Damage::kFirstLine);
  int number = 0;
  for (size_t start = 0; start < bytes.size();) {
    ++number;
    size_t end = bytes.find("\r\n", start);
    std::string raw = bytes.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // No byte of a code page 936 character is a control byte, so they are
    // looked for in the bytes.
    if (raw.find('\x1A') != std::string::npos) return damaged(number, Damage::kCtrlZ);
    for (unsigned char c : raw)
      if (IsControl(c) && c != '\t') return damaged(number, Damage::kControlCharacter);
    if (end == std::string::npos) return damaged(number, Damage::kCutShort);
    std::string text = platform::FromCodePage(raw);
    if (!platform::IsCodePageText(text)) return damaged(number, Damage::kNotCodePage936);
    lines->push_back(text);
    start = end + 2;
  }
  return ReadResult::kRead;
}

bool ReadsBack(const std::vector<std::string>& lines, const char* first_line) {
  std::vector<std::string> back;
  RecordFileError error;
  return ParseRecordBytes(platform::JoinLines(lines), first_line, &back, &error) == ReadResult::kRead &&
         back == lines;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool HasControlCharacter(const std::string& s) {
  for (unsigned char c : s)
    if (IsControl(c)) return true;
  return false;
}

bool PlainField(const std::string& s) { return !HasControlCharacter(s) && platform::IsCodePageText(s); }

bool SafeComponent(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ' || !PlainField(name)) return false;
  if (name.find_first_of("\\/:*?\"<>|") != std::string::npos) return false;
  std::string base = platform::Lower(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul"})
    if (base == device) return false;
  bool numbered = base.size() == 4 && base[3] >= '1' && base[3] <= '9';
  return !(numbered && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0));
}

}  // namespace standins
