#include "win32/window_class.h"

#include <map>
#include <vector>

#include "look/pictures.h"
#include "win32/keyboard.h"

namespace win32 {

using platform::Widen;

namespace {

// Window properties of a top-level window.
const wchar_t kFocusProp[] = L"KorrinFocus";  // the control that had the focus

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

WindowHandler* HandlerOf(HWND hwnd) {
  return reinterpret_cast<WindowHandler*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

// The control of `window` to give the focus to: the one it had when it was
// deactivated, while it can still take it, otherwise the first tab stop.
HWND FocusTarget(HWND window) {
  HWND saved = static_cast<HWND>(GetPropW(window, kFocusProp));
  if (saved && IsWindow(saved) && IsChild(window, saved) && IsWindowVisible(saved) &&
      IsWindowEnabled(saved))
    return saved;
  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  if (first && IsChild(window, first) && (GetWindowLongW(first, GWL_STYLE) & WS_TABSTOP))
    return first;
  return nullptr;
}

// The answer to DM_GETDEFID, which the dialog keys ask on Enter: the push
// button that has the focus (the main window has no default button).
LRESULT FocusedPushButton(HWND window) {
  HWND focus = GetFocus();
  HWND button = focus && IsChild(window, focus) && IsPushButton(focus) ? focus : nullptr;
  if (!button || !IsWindowEnabled(button) || !IsWindowVisible(button)) return 0;
  return MAKELONG(GetDlgCtrlID(button), DC_HASDEFID);
}

LRESULT CALLBACK HandlerProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WindowHandler* handler;
  if (message == WM_NCCREATE) {
    handler = static_cast<WindowHandler*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(handler));
  } else {
    handler = HandlerOf(hwnd);
  }
  switch (message) {
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) SetPropW(hwnd, kFocusProp, focus);
      }
      break;
    case WM_SETFOCUS:
      if (HWND target = FocusTarget(hwnd)) {
        SetFocus(target);
        return 0;
      }
      break;
    case DM_GETDEFID:
      return FocusedPushButton(hwnd);
    case WM_NCDESTROY:
      RemovePropW(hwnd, kFocusProp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return handler ? handler->Handle(hwnd, message, wparam, lparam)
                 : DefWindowProcW(hwnd, message, wparam, lparam);
}

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

void RegisterHandlerClass(const wchar_t* class_name) {
  WNDCLASSEXW wc;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(Instance(), class_name, &wc)) return;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = HandlerProc;
  wc.hInstance = Instance();
  wc.hIcon = ProgramIcon(32);
  wc.hIconSm = ProgramIcon(16);
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = class_name;
  RegisterClassExW(&wc);
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

HWND CreateFrame(const FrameSpec& frame) {
  const look::WindowLayout& layout = *frame.layout;
  int width = frame.outer_width, height = frame.outer_height;
  if (frame.client_size) {
    RECT rc = {0, 0, layout.client_width, layout.client_height};
    AdjustWindowRectEx(&rc, frame.style, frame.menu != nullptr, frame.ex_style);
    width = rc.right - rc.left;
    height = rc.bottom - rc.top;
  }
  return CreateWindowExW(frame.ex_style, frame.class_name, Widen(layout.caption).c_str(), frame.style,
                         layout.left, layout.top, width, height, frame.owner, frame.menu, Instance(),
                         frame.handler);
}

bool DialogKeys(HWND window, MSG* msg) {
  if (msg->hwnd != window && !IsChild(window, msg->hwnd)) return false;
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) == HandlerProc)
    if (WindowHandler* handler = HandlerOf(window))
      if (handler->PreTranslate(*msg)) return true;
  return IsDialogMessageW(window, msg) != 0;
}

}  // namespace win32
