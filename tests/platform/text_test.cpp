// Text on disk: code page 936 in, UTF-8 inside, the same bytes out.
#include <gtest/gtest.h>

#include <memory>


#include "platform/encoding.h"
#include "platform/textfile.h"
#include "tests/near_converter.h"

namespace {

// Each row: text inside, its bytes on disk, and whether it is code page 936
// text; but for a "?" written for what has no form, the bytes read back as
// the text. The same with the machine's converter and with one that writes
// a near character where the code page lacks one, as Windows' does: a
// character is never written as another.
TEST(Encoding, WritesTextAsTheHostDoesAndTellsCodePageTextApart) {
  struct Case {
    std::string utf8, cp936;
    bool text;
  } cases[] = {
      {"net group PXEUSERS /add", "net group PXEUSERS /add", true},
      {"进程提示", "\xBD\xF8\xB3\xCC\xCC\xE1\xCA\xBE", true},
      {"D:\\无盘", "D:\\\xCE\xDE\xC5\xCC", true},
      {"", "", true},
      {"a\xEF\xA8\x8Cz", "a\xFE\x40z", true},     // FE is the last lead byte
      {"a\xF0\x9F\x98\x80z", "a?z", false},       // an emoji has no form: "?"
      {"a\xFFz", "a?z", false},                   // not UTF-8
      {"a\xED\xB3\xBFz", "a\xFFz", false},        // the escape of a byte FF
      {"\xED\xB2\xA1\xED\xB1\x84", "\xA1\x44", false},  // A1 44, two bytes of no character
      {"a\xE2\x82\xACz", "a?z", false},       // the euro sign: the converter's 0x80 reads as no character
      {"\xED\xB2\x80", "\x80", false},          // the escape of a byte 80, read from a file
      {"\xED\xB2\x81\x7F", "\x81\x7F", false},  // a lead byte before 7F (DEL), which is no trail byte
      {"D:\\À", "D:\\?", false},              // not "D:\A"
      {"Ç中", "?\xD6\xD0", false},
  };
  for (bool near : {false, true}) {
    std::unique_ptr<NearConverter> converter(near ? new NearConverter : nullptr);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.utf8 + (near ? " near" : ""));
      EXPECT_EQ(platform::ToCodePage(c.utf8), c.cp936);
      EXPECT_EQ(platform::IsCodePageText(c.utf8), c.text);
      std::string strict;
      if (c.text) {
        EXPECT_TRUE(platform::StrictUtf8ToCodePage(c.utf8, &strict));
      }
      if (c.cp936.find('?') == std::string::npos) {
        EXPECT_EQ(platform::FromCodePage(c.cp936), c.utf8);
      }
    }
    // The strict converter takes no near character for the one asked.
    std::string strict;
    EXPECT_FALSE(platform::StrictUtf8ToCodePage("D:\\À", &strict)) << strict;
  }
}

// Whatever the bytes, they come back the same: every pair of bytes alone and
// all of them in one text, and bytes of no character between characters.
TEST(Encoding, EveryByteSequenceComesBackTheSame) {
  std::string all;
  int characters = 0;
  for (int a = 0; a < 256; ++a) {
    for (int b = 0; b < 256; ++b) {
      const std::string pair = {static_cast<char>(a), static_cast<char>(b)};
      const std::string inside = platform::FromCodePage(pair);
      ASSERT_EQ(platform::ToCodePage(inside), pair) << std::hex << a << " " << b;
      characters += platform::IsCodePageText(inside);
      all += pair;
    }
  }
  EXPECT_EQ(platform::ToCodePage(platform::FromCodePage(all)), all);
  EXPECT_GT(characters, 128 * 128 + 20000);  // ASCII pairs, and GBK's two-byte characters
  for (const std::string raw : {"\xFF", "abc\x81", "\x81\x30xyz", "\x80\xD6\xD0\xFF", "\xA1\x44\xD6\xD0"})
    EXPECT_EQ(platform::ToCodePage(platform::FromCodePage(raw)), raw);
  EXPECT_EQ(platform::FromCodePage("\x80\xD6\xD0\xFF").substr(3, 3), "中");
}

// Every character of the Basic Multilingual Plane in one text: each is
// written as code page 936 bytes that read back as that very character, or
// as "?"; none as bytes that read back as something else.
TEST(Encoding, EveryCharacterWrittenReadsBackAsItselfOrIsRefused) {
  std::vector<std::string> characters;
  for (unsigned cp = 0x80; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp < 0xE000) continue;  // surrogates, no characters
    characters.push_back(cp < 0x800 ? std::string{char(0xC0 | cp >> 6), char(0x80 | (cp & 0x3F))}
                                    : std::string{char(0xE0 | cp >> 12), char(0x80 | (cp >> 6 & 0x3F)),
                                                  char(0x80 | (cp & 0x3F))});
  }
  std::string all;
  for (const std::string& c : characters) all += c;
  const std::string back = platform::FromCodePage(platform::ToCodePage(all));
  std::string wrong;
  size_t same = 0, at = 0;
  for (const std::string& c : characters) {
    const size_t n = back[at] == '?' ? 1 : c.size();
    if (back.compare(at, n, c) == 0) ++same;
    else if (back[at] != '?') wrong += c + " ";
    at += n;
  }
  EXPECT_EQ(wrong, "");
  EXPECT_EQ(at, back.size());
  EXPECT_GT(same, 21000u);  // GBK's two-byte characters
}

// Each line is read as code page 936 text: the stand-ins' tests read every
// record file and database through it, Chinese records among them.
TEST(TextFile, SplitsLinesAsTheHostReadsThem) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"CR LF", "one\r\ntwo\r\n", {"one", "two"}},
      {"CR alone", "one\rtwo\r", {"one", "two"}},
      {"LF alone stays in the line", "one\ntwo\r\n", {"one\ntwo"}},
      {"last line without end", "one\r\ntwo", {"one", "two"}},
      {"empty first line", "\r\nsecond\r\n", {"", "second"}},
      {"Ctrl-Z ends the file", "one\r\n\x1Atwo\r\n", {"one"}},
      {"Ctrl-Z inside a line", "on\x1A" "e\r\n", {"on"}},
      {"empty file", "", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SplitLines(c.bytes), c.lines) << c.name;
}

}  // namespace
