#include "base/names.h"

#include <gtest/gtest.h>

namespace {

// The share name is the shared directory from its 4th byte on, at most 20
// bytes of code page 936 and never half a character: each limit is met by
// one row taken whole and one row cut.
TEST(ShareName, TakesAtMostTwentyBytesOfCodePage936FromTheFourthOnNeverHalfACharacter) {
  struct Case {
    const char* dir;
    const char* share;
  } cases[] = {
      {"D:\\PVDROOT", "PVDROOT"},
      {"D:\\", ""},
      {"", ""},
      {"D:", ""},
      {"D:\\ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNOPQRST"},   // 20 bytes: whole
      {"D:\\ABCDEFGHIJKLMNOPQRSTU", "ABCDEFGHIJKLMNOPQRST"},  // 21: cut to 20
      {"D:\\一二三四五六七八九十", "一二三四五六七八九十"},      // 10 characters, 20 bytes: whole
      {"D:\\一二三四五六七八九十一", "一二三四五六七八九十"},    // the 11th cut
      // 1 + 9 x 2 = 19 bytes; the tenth character would need bytes 20 and 21.
      {"D:\\A一二三四五六七八九十", "A一二三四五六七八九"},
      {"D:\\AB一二三四五六七八九十", "AB一二三四五六七八九"},  // 2 + 9 x 2 = 20 bytes kept
  };
  for (const Case& c : cases) EXPECT_EQ(base::ShareName(c.dir), c.share) << c.dir;
}

}  // namespace
