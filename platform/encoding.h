// Text inside the program is UTF-8; on disk and in command lines it is code
// page 936. The conversion is lossless for any bytes: a byte that is not part
// of a code page 936 character is carried inside as an escape (U+DC00 + byte,
// as three UTF-8 bytes) and written back as the same byte, so a line read from
// a file and written back unchanged stays byte for byte the same. A character
// counts as code page 936 only when the machine's converter gives it back as
// the same bytes, and those bytes are whole characters when read: a lead byte
// (0x81 to 0xFE) with a trail byte (0x40 to 0xFE but 0x7F), or ASCII. So a
// character the converter writes as a single byte above 0x7F (U+20AC as 0x80)
// has no form: it is refused, as 0x80 read is a byte of no character. A lead
// byte with a trail byte that form no such character are both escaped.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Length of the code page 936 character that starts at s[i]: 1 for ASCII,
// 2 for a lead byte followed by a trail byte, 0 for a byte that starts nothing.
std::size_t CodePageCharLength(const std::string& s, std::size_t i);

std::string FromCodePage(const std::string& cp936);
// A character without a code page 936 form, and a byte that is not UTF-8,
// becomes "?", as the host writes it.
std::string ToCodePage(const std::string& utf8);

// True when `utf8` is code page 936 text: it holds no escaped byte, and every
// character has a code page 936 form that reads back as that character, so
// that what is accepted as text is read back as the same text on any host.
bool IsCodePageText(const std::string& utf8);

// The machine's converter, strict: false on any byte sequence it cannot
// convert, and on any text that does not convert back to itself. Windows'
// converter, unless told otherwise, writes a near character for one the
// code page lacks ("A" or "à" for "À") and does not say so; only the way
// back shows it.
bool StrictCodePageToUtf8(const std::string& in, std::string* out);
bool StrictUtf8ToCodePage(const std::string& in, std::string* out);

// A converter between code page 936 and UTF-8, both ways: false when it
// cannot convert. The functions above use the machine's (iconv on Linux,
// Windows' own tables: encoding_*.cpp); a test puts another in its place,
// with another machine's habits, and back again.
struct Converter {
  bool (*to_utf8)(const std::string& cp936, std::string* utf8);
  bool (*to_code_page)(const std::string& utf8, std::string* cp936);
};
Converter MachineConverter();
// Puts `converter` in use and returns the one that was.
Converter UseConverter(Converter converter);

}  // namespace platform
