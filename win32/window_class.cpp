#include "win32/window_class.h"

#include <map>
#include <vector>

#include "look/pictures.h"

namespace win32 {

using platform::Widen;

namespace {

// The icon drawn from its picture, each pixel a square of size / 16. Both
// bitmaps are filled in memory and handed over in one call each: a GDI call
// per pixel took a noticeable part of the program's start.
HICON MakeIcon(int size) {
  const look::Picture* picture = look::FindPicture(look::kIconPicture);
  if (!picture || size <= 0) return nullptr;
  int scale = size / look::kPictureSize;
  if (scale < 1) scale = 1;
  // Colour: the pixels on black, 32 bits each, top row first. Mask: one bit
  // a pixel, set where the background shows; each row on a 16-bit boundary.
  std::vector<DWORD> colour_bits(static_cast<size_t>(size) * size, 0);
  const int mask_row = (size + 15) / 16 * 2;
  std::vector<BYTE> mask_bits(static_cast<size_t>(mask_row) * size, 0xFF);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int row = y / scale, col = x / scale;
      look::Rgb rgb;
      if (row >= look::kPictureSize || col >= look::kPictureSize ||
          !look::PictureColour(picture->rows[row][col], &rgb))
        continue;
      colour_bits[static_cast<size_t>(y) * size + x] = (rgb.r << 16) | (rgb.g << 8) | rgb.b;
      mask_bits[static_cast<size_t>(y) * mask_row + x / 8] &= static_cast<BYTE>(~(0x80 >> (x % 8)));
    }
  HDC screen = GetDC(nullptr);
  HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
  BITMAPINFO info;
  ZeroMemory(&info, sizeof info);
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  if (colour) SetDIBits(screen, colour, 0, size, colour_bits.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, mask_bits.data());
  HICON icon = nullptr;
  if (colour && mask) {
    ICONINFO icon_info = {TRUE, 0, 0, mask, colour};
    icon = CreateIconIndirect(&icon_info);
  }
  if (colour) DeleteObject(colour);
  if (mask) DeleteObject(mask);
  return icon;
}

// The icons made so far, by size; destroyed when the program ends.
class Icons {
 public:
  ~Icons() {
    for (auto& icon : icons_)
      if (icon.second) DestroyIcon(icon.second);
  }
  HICON Get(int size) {
    auto it = icons_.find(size);
    if (it != icons_.end()) return it->second;
    return icons_[size] = MakeIcon(size);
  }

 private:
  std::map<int, HICON> icons_;
};

}  // namespace

HICON ProgramIcon(int size) {
  static Icons icons;
  return icons.Get(size);
}

HMENU BuildMenu(const std::vector<look::MenuLayout>& menu) {
  HMENU bar = CreateMenu();
  for (const look::MenuLayout& top : menu) {
    if (*top.parent) continue;
    HMENU popup = CreatePopupMenu();
    for (const look::MenuLayout& item : menu) {
      if (std::string(item.parent) != top.name) continue;
      if (std::string(item.caption) == "-")
        AppendMenuW(popup, MF_SEPARATOR, item.id, nullptr);
      else
        AppendMenuW(popup, MF_STRING, item.id, Widen(item.caption).c_str());
    }
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), Widen(top.caption).c_str());
  }
  return bar;
}

}  // namespace win32
