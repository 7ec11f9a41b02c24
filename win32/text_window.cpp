#include "win32/text_window.h"

#include "win32/window_builder.h"
#include "win32/window_class.h"

namespace win32 {

using platform::Widen;

namespace {

const wchar_t kOldProcProp[] = L"KorrinMemoProc";

// A multi-line text area takes every key it is given, Esc too; this one lets
// Esc go to the dialog keys, which close its window (IDCANCEL).
LRESULT CALLBACK MemoProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  if (message == WM_GETDLGCODE && wparam == VK_ESCAPE) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    if (msg && msg->message == WM_KEYDOWN)
      return CallWindowProcW(old, hwnd, message, wparam, lparam) & ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE);
  }
  if (message == WM_NCDESTROY) RemovePropW(hwnd, kOldProcProp);
  return CallWindowProcW(old, hwnd, message, wparam, lparam);
}

}  // namespace

HBRUSH TextAreaColours(HWND memo, WPARAM wparam, LPARAM lparam) {
  if (!memo || reinterpret_cast<HWND>(lparam) != memo) return nullptr;
  HDC dc = reinterpret_cast<HDC>(wparam);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}

namespace {

class TextWindow : public WindowHandler {
 public:
  explicit TextWindow(HWND owner) : owner_(owner) {}
  BuiltWindow& window() { return window_; }

  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = TextAreaColours(window_.OfKind(look::Kind::kMemo), wparam, lparam))
          return reinterpret_cast<LRESULT>(brush);
        break;
      case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL) {  // Esc
          EndModal(owner_, hwnd);
          return 0;
        }
        break;
      case WM_CLOSE:
        EndModal(owner_, hwnd);
        return 0;
      case WM_NCDESTROY:
        delete this;
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

 private:
  HWND owner_;
  BuiltWindow window_;
};

}  // namespace

void LetEscapeClose(HWND memo) {
  SetPropW(memo, kOldProcProp,
           reinterpret_cast<HANDLE>(SetWindowLongPtrW(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MemoProc))));
}

HWND CreateTextWindow(const TextWindowSpec& look, HWND owner) {
  RegisterHandlerClass(look.class_name);
  TextWindow* handler = new TextWindow(owner);
  handler->window().layout = look.layout;
  FrameSpec frame;
  frame.class_name = look.class_name;
  frame.layout = look.layout;
  frame.style = look.style;
  frame.owner = owner;
  frame.client_size = look.client_size;
  frame.outer_width = look.outer_width;
  frame.outer_height = look.outer_height;
  frame.handler = handler;
  HWND hwnd = CreateFrame(frame);
  if (!hwnd) {
    delete handler;
    return nullptr;
  }
  handler->window().hwnd = hwnd;
  BuildControls(&handler->window());
  if (HWND memo = handler->window().OfKind(look::Kind::kMemo)) {
    LetEscapeClose(memo);
    if (look.read_only) SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
    SetWindowTextW(memo, Widen(look.text).c_str());
    SendMessageW(memo, EM_SETSEL, 0, 0);
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
  }
  return hwnd;
}

}  // namespace win32
