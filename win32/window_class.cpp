#include "win32/window_class.h"

#include <map>

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
// button that has the focus, otherwise the window's default button.
LRESULT DefaultId(HWND window) {
  HWND focus = GetFocus();
  HWND button = focus && IsChild(window, focus) && IsPushButton(focus) ? focus : DefaultButton(window);
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
      return DefaultId(hwnd);
    case WM_NCDESTROY:
      RemovePropW(hwnd, kFocusProp);
      ForgetDefaultButton(hwnd);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return handler ? handler->Handle(hwnd, message, wparam, lparam)
                 : DefWindowProcW(hwnd, message, wparam, lparam);
}

// The icon drawn from its picture, each pixel a square of size / 16.
HICON MakeIcon(int size) {
  const look::Picture* picture = look::FindPicture(look::kIconPicture);
  if (!picture) return nullptr;
  int scale = size / look::kPictureSize;
  if (scale < 1) scale = 1;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP colour = CreateCompatibleBitmap(screen, size, size);
  HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
  ReleaseDC(nullptr, screen);
  // Colour: the pixels on black; mask: white where the background shows.
  RECT all = {0, 0, size, size};
  HGDIOBJ old = SelectObject(dc, colour);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectObject(dc, mask);
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int row = 0; row < look::kPictureSize; ++row)
    for (int col = 0; col < look::kPictureSize; ++col) {
      look::Rgb rgb;
      if (!look::PictureColour(picture->rows[row][col], &rgb)) continue;
      RECT px = {col * scale, row * scale, (col + 1) * scale, (row + 1) * scale};
      SelectObject(dc, colour);
      HBRUSH brush = CreateSolidBrush(RGB(rgb.r, rgb.g, rgb.b));
      FillRect(dc, &px, brush);
      DeleteObject(brush);
      SelectObject(dc, mask);
      FillRect(dc, &px, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
  SelectObject(dc, old);
  DeleteDC(dc);
  ICONINFO info = {TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
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

namespace {
// How each modal window still running ended, set by EndModal.
std::map<HWND, platform::ModalResult> modal_results;
}  // namespace

platform::ModalResult RunModal(HWND owner, HWND window) {
  modal_results[window] = platform::kMrCancel;
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  // A window kept for the whole run ends its modal time by hiding.
  while (IsWindow(window) && IsWindowVisible(window)) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the main loop
      break;
    }
    if (got < 0) break;
    if (!DialogKeys(window, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) EnableWindow(owner, TRUE);
  platform::ModalResult result = modal_results[window];
  modal_results.erase(window);
  return result;
}

void EndModal(HWND owner, HWND window, platform::ModalResult result, bool keep) {
  modal_results[window] = result;
  // The owner takes input again before the window goes, so that it becomes
  // the active window.
  if (owner) EnableWindow(owner, TRUE);
  if (keep)
    ShowWindow(window, SW_HIDE);
  else
    DestroyWindow(window);
}

}  // namespace win32
