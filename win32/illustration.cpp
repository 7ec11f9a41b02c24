#include "win32/illustration.h"

#include <cstring>

namespace win32 {
namespace {

void Box(HDC dc, int left, int top, int right, int bottom, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ old_brush = SelectObject(dc, brush), old_pen = SelectObject(dc, pen);
  Rectangle(dc, left, top, right, bottom);
  SelectObject(dc, old_brush);
  SelectObject(dc, old_pen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF colour, int width) {
  HPEN pen = CreatePen(PS_SOLID, width, colour);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Text(HDC dc, int x, int y, const wchar_t* text, int height, int weight, COLORREF colour) {
  HFONT font = CreateFontW(-height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           VARIABLE_PITCH | FF_SWISS, L"Arial");
  HGDIOBJ old = SelectObject(dc, font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  TextOutW(dc, x, y, text, lstrlenW(text));
  SelectObject(dc, old);
  DeleteObject(font);
}

const COLORREF kBlack = RGB(0, 0, 0), kGrey = RGB(128, 128, 128), kSilver = RGB(192, 192, 192),
               kWhite = RGB(255, 255, 255), kNavy = RGB(0, 0, 128), kGreen = RGB(0, 192, 0),
               kScreen = RGB(0, 128, 128), kCable = RGB(0, 64, 160);

// A tower server, its top-left corner at x, y: 34 x 62.
void Server(HDC dc, int x, int y) {
  Box(dc, x, y, x + 34, y + 62, kSilver, kBlack);
  Line(dc, x + 1, y + 1, x + 32, y + 1, kWhite, 1);
  Line(dc, x + 1, y + 1, x + 1, y + 60, kWhite, 1);
  for (int i = 0; i < 3; ++i) Box(dc, x + 6, y + 8 + i * 9, x + 28, y + 14 + i * 9, kGrey, kBlack);
  Box(dc, x + 22, y + 44, x + 27, y + 48, kGreen, kBlack);
  Box(dc, x + 6, y + 52, x + 28, y + 55, kGrey, kGrey);
}

// A workstation: a monitor on a small base, without a disk, 36 x 34.
void Workstation(HDC dc, int x, int y) {
  Box(dc, x, y, x + 36, y + 26, kSilver, kBlack);
  Box(dc, x + 4, y + 4, x + 32, y + 21, kScreen, kBlack);
  Line(dc, x + 7, y + 8, x + 18, y + 8, kWhite, 1);
  Line(dc, x + 7, y + 12, x + 24, y + 12, kWhite, 1);
  Box(dc, x + 14, y + 26, x + 22, y + 29, kGrey, kBlack);
  Box(dc, x + 6, y + 29, x + 30, y + 34, kSilver, kBlack);
}

void DrawPxe(HDC dc, const RECT& r) {
  int x = r.left, y = r.top;
  Box(dc, r.left, r.top, r.right, r.bottom, RGB(236, 244, 252), kGrey);
  Text(dc, x + 10, y + 6, L"PXE", 28, FW_BOLD, kNavy);
  Text(dc, x + 76, y + 12, L"Remote Boot", 13, FW_NORMAL, kNavy);
  Text(dc, x + 76, y + 26, L"Diskless Win98", 13, FW_NORMAL, kNavy);
  // The server and its label.
  Server(dc, x + 14, y + 50);
  Text(dc, x + 10, y + 114, L"Server", 12, FW_NORMAL, kBlack);
  // The network: a line from the server to each workstation.
  int bus = y + 140;
  Line(dc, x + 31, y + 112, x + 31, bus, kCable, 3);
  Line(dc, x + 31, bus, x + 196, bus, kCable, 3);
  const int stations[] = {x + 66, x + 112, x + 158};
  for (int i = 0; i < 3; ++i) {
    int sx = stations[i];
    int sy = y + 64 + (i == 1 ? -12 : 0);
    Workstation(dc, sx, sy);
    Line(dc, sx + 18, sy + 34, sx + 18, bus, kCable, 2);
    // The boot image travels down the line to the station.
    Box(dc, sx + 14, bus - 14, sx + 23, bus - 6, kNavy, kNavy);
    Box(dc, sx + 16, bus - 14, sx + 21, bus - 11, kSilver, kSilver);
  }
  Text(dc, x + 120, y + 144, L"LAN  PXE Boot", 12, FW_NORMAL, kBlack);
}

}  // namespace

void DrawIllustration(HDC dc, const RECT& area, const char* name) {
  if (std::strcmp(name, "pxe") == 0) {
    DrawPxe(dc, area);
    return;
  }
  Box(dc, area.left, area.top, area.right, area.bottom, GetSysColor(COLOR_BTNFACE), RGB(128, 128, 128));
}

}  // namespace win32
