// The button pictures and the icon: every picture a window asks for exists,
// and each is a whole 16 x 16 map in the palette's colours.
#include "look/pictures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "app/server.h"
#include "app/statement_window.h"
#include "app/help_window.h"

namespace {

TEST(Pictures, EveryPictureAWindowOrAListAsksForExists) {
  const look::WindowLayout* windows[] = {&app::TForm1::Layout(), &app::TForm4::Layout(),
                                        &app::TForm5::Layout()};
  int named = 0;
  for (const look::WindowLayout* w : windows) {
    for (const look::ControlLayout& c : *w->controls) {
      if (!*c.picture || c.kind == look::Kind::kImage) continue;  // images are drawn whole
      ++named;
      EXPECT_NE(look::FindPicture(c.picture), nullptr) << c.name << " wants " << c.picture;
    }
  }
  EXPECT_GE(named, 13);
  // The icon, and the pictures the drive and directory lists give their items
  // (platform/file_lists.cpp): an item whose picture is missing shows none.
  for (const char* name : {look::kIconPicture, "folder", "folder-open", "harddisk", "floppy", "drive"})
    EXPECT_NE(look::FindPicture(name), nullptr) << name;
  EXPECT_EQ(look::FindPicture("no such picture"), nullptr);
}

TEST(Pictures, EachIsAWholeMapInThePalette) {
  std::set<std::string> seen;
  for (const look::Picture& p : look::Pictures()) {
    EXPECT_TRUE(seen.insert(p.name).second) << "twice: " << p.name;
    int painted = 0;
    std::string all;
    for (int y = 0; y < look::kPictureSize; ++y) {
      ASSERT_NE(p.rows[y], nullptr) << p.name << " row " << y;
      ASSERT_EQ(std::strlen(p.rows[y]), static_cast<size_t>(look::kPictureSize))
          << p.name << " row " << y;
      for (int x = 0; x < look::kPictureSize; ++x) {
        char c = p.rows[y][x];
        look::Rgb rgb;
        if (c == '.') continue;
        EXPECT_TRUE(look::PictureColour(c, &rgb)) << p.name << " pixel '" << c << "'";
        ++painted;
      }
      all += p.rows[y];
    }
    // A picture a person can recognise covers a fair part of its square.
    EXPECT_GE(painted, 40) << p.name;
    EXPECT_TRUE(seen.insert(all).second) << p.name << " repeats another picture";
  }
}

}  // namespace
