#include "base/names.h"

#include <gtest/gtest.h>

namespace {

TEST(ShareName, TakesAtMostTwentyBytesOfCodePage936FromTheFourthOnNeverHalfACharacter) {
  struct Case {
    const char* dir;
    const char* share;
  } cases[] = {
      {"D:\\PVDROOT", "PVDROOT"},
      {"D:\\", ""},
      {"", ""},
      {"D:", ""},
      {"E:\\DISKLESS", "DISKLESS"},
      {"D:\\ABCDEFGHIJKLMNOPQRSTUVWXYZ", "ABCDEFGHIJKLMNOPQRST"},  // cut to 20
      {"D:\\12345678901234567890", "12345678901234567890"},       // exactly 23
      {"D:\\无盘工作站", "无盘工作站"},                              // 10 bytes
      // Two bytes a Chinese character: ten of them fill the 20 bytes.
      {"D:\\一二三四五六七八九十一二三", "一二三四五六七八九十"},
      // 1 + 9 x 2 = 19 bytes; the tenth character would need bytes 20 and 21.
      {"D:\\A一二三四五六七八九十", "A一二三四五六七八九"},
      {"D:\\AB一二三四五六七八九十", "AB一二三四五六七八九"},  // exactly 20
  };
  for (const Case& c : cases) EXPECT_EQ(base::ShareName(c.dir), c.share) << c.dir;
}

}  // namespace
