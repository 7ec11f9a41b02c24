// The program's own pictures: the small two-state pictures of the buttons,
// the pictures of list items (folders and drives) and the window icon, as
// 16 x 16 pixel maps. Each letter of a row is one pixel,
// coloured by the palette below; '.' lets the background show through. The
// front end draws them, in colour for an enabled button and as a grey relief
// for a disabled one.
#pragma once

#include <string>
#include <vector>

namespace look {

constexpr int kPictureSize = 16;

struct Picture {
  const char* name;  // the name a control's layout gives in its `picture` field
  const char* rows[kPictureSize];
};

struct Rgb {
  unsigned char r, g, b;
};

// The colour of a pixel letter; false for '.' (transparent) and for a letter
// outside the palette.
bool PictureColour(char pixel, Rgb* colour);

// Every picture, and the one of a name (nullptr when there is none).
const std::vector<Picture>& Pictures();
const Picture* FindPicture(const std::string& name);

// The picture the window icon is made of.
extern const char kIconPicture[];

}  // namespace look
