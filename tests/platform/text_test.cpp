// Text on disk: code page 936 in, UTF-8 inside, the same bytes out.
#include <gtest/gtest.h>

#include "platform/encoding.h"
#include "platform/textfile.h"

namespace {

TEST(Encoding, ConvertsBothWays) {
  struct Case {
    std::string utf8, cp936;
  } cases[] = {
      {"net group PXEUSERS /add", "net group PXEUSERS /add"},
      {"进程提示", "\xBD\xF8\xB3\xCC\xCC\xE1\xCA\xBE"},
      {"D:\\无盘", "D:\\\xCE\xDE\xC5\xCC"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::ToCodePage(c.utf8), c.cp936) << c.utf8;
    EXPECT_EQ(platform::FromCodePage(c.cp936), c.utf8) << c.utf8;
  }
}

TEST(Encoding, BytesThatAreNotCodePage936SurviveTheRoundTrip) {
  const std::string samples[] = {
      "\xFF",              // a byte that starts nothing
      "abc\x81",           // a lead byte at the end
      "\x81\x30xyz",       // a lead byte before a byte that cannot trail
      "\x80\xD6\xD0\xFF",  // mixed with a real character
  };
  for (const std::string& raw : samples) {
    std::string inside = platform::FromCodePage(raw);
    EXPECT_EQ(platform::ToCodePage(inside), raw);
  }
  EXPECT_EQ(platform::FromCodePage("\x80\xD6\xD0\xFF").substr(3, 3), "中");
}

TEST(Encoding, TheLastLeadByteStartsACharacterToo) {
  // 0xFE is the highest lead byte: FE 40 is U+FA0C, not two stray bytes.
  EXPECT_EQ(platform::FromCodePage("a\xFE\x40z"), "a\xEF\xA8\x8Cz");
  EXPECT_EQ(platform::ToCodePage("a\xEF\xA8\x8Cz"), "a\xFE\x40z");
}

TEST(Encoding, CharactersWithoutACodePage936FormBecomeQuestionMarks) {
  EXPECT_EQ(platform::ToCodePage("a\xF0\x9F\x98\x80z"), "a?z");  // an emoji
}

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
      {"Chinese", "\xD6\xD0\xCE\xC4\r\n", {"中文"}},
  };
  for (const Case& c : cases) EXPECT_EQ(platform::SplitLines(c.bytes), c.lines) << c.name;
}

TEST(TextFile, JoinsEveryLineWithCrLf) {
  EXPECT_EQ(platform::JoinLines({"a", "", "中"}), "a\r\n\r\n\xD6\xD0\r\n");
  EXPECT_EQ(platform::JoinLines({}), "");
}

}  // namespace
