#include "platform/encoding.h"

#include "platform/text.h"

namespace platform {

// Length of the code page 936 character that starts at s[i]: 1 for ASCII,
// 2 for a lead byte followed by a trail byte, 0 for a byte that starts nothing.
size_t CodePageCharLength(const std::string& s, size_t i) {
  unsigned char b = s[i];
  if (b < 0x80) return 1;
  if (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) {
    unsigned char t = s[i + 1];
    if (t >= 0x40 && t <= 0xFE && t != 0x7F) return 2;
  }
  return 0;
}

namespace {


void AppendEscape(unsigned char b, std::string* out) {
  unsigned cp = 0xDC00 + b;
  out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
  out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
  out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}

// Length of the UTF-8 sequence at s[i], or 0 when it is not valid.
size_t Utf8Length(const std::string& s, size_t i) {
  unsigned char b = s[i];
  size_t n = Utf8SequenceLength(b);
  if (n == 0 || i + n > s.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
  return n;
}

bool IsEscape(const std::string& s, size_t i) {
  return i + 2 < s.size() && static_cast<unsigned char>(s[i]) == 0xED &&
         (static_cast<unsigned char>(s[i + 1]) & 0xFE) == 0xB2;
}

unsigned char EscapedByte(const std::string& s, size_t i) {
  return static_cast<unsigned char>(0x80 | ((s[i + 1] & 1) << 6) | (s[i + 2] & 0x3F));
}

}  // namespace

std::string FromCodePage(const std::string& in) {
  std::string out, converted;
  size_t i = 0;
  while (i < in.size()) {
    // Gather a run of well-formed characters and convert it in one call.
    size_t start = i, n;
    while (i < in.size() && (n = CodePageCharLength(in, i)) != 0) i += n;
    std::string run = in.substr(start, i - start);
    if (StrictCodePageToUtf8(run, &converted)) {
      out += converted;
    } else {
      // Some pair is unmapped: convert one character at a time.
      for (size_t k = 0; k < run.size(); k += CodePageCharLength(run, k)) {
        std::string one = run.substr(k, CodePageCharLength(run, k));
        if (StrictCodePageToUtf8(one, &converted))
          out += converted;
        else
          for (unsigned char b : one) AppendEscape(b, &out);
      }
    }
    if (i < in.size()) AppendEscape(static_cast<unsigned char>(in[i++]), &out);
  }
  return out;
}

std::string ToCodePage(const std::string& in) {
  std::string out, converted;
  size_t i = 0;
  while (i < in.size()) {
    size_t start = i, n;
    while (i < in.size() && !IsEscape(in, i) && (n = Utf8Length(in, i)) != 0) i += n;
    std::string run = in.substr(start, i - start);
    if (StrictUtf8ToCodePage(run, &converted)) {
      out += converted;
    } else {
      // A character without a code page 936 form becomes '?', as the host does.
      for (size_t k = 0; k < run.size(); k += Utf8Length(run, k)) {
        std::string one = run.substr(k, Utf8Length(run, k));
        out += StrictUtf8ToCodePage(one, &converted) ? converted : "?";
      }
    }
    if (i < in.size()) {
      if (IsEscape(in, i)) {
        out.push_back(static_cast<char>(EscapedByte(in, i)));
        i += 3;
      } else {
        out.push_back('?');  // a byte that is not UTF-8
        ++i;
      }
    }
  }
  return out;
}

}  // namespace platform
