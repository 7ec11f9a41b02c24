#include "win32/text_window.h"

namespace win32 {

using platform::Widen;

namespace {

const wchar_t kOldProcProp[] = L"KorrinMemoProc";

LRESULT CALLBACK MemoProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  WNDPROC old = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOldProcProp));
  if (message == WM_GETDLGCODE && (wparam == VK_ESCAPE || wparam == VK_TAB)) {
    const MSG* msg = reinterpret_cast<const MSG*>(lparam);
    const bool read_only = (GetWindowLongW(hwnd, GWL_STYLE) & ES_READONLY) != 0;
    if (msg && msg->message == WM_KEYDOWN && (wparam == VK_ESCAPE || read_only))
      return CallWindowProcW(old, hwnd, message, wparam, lparam) & ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
  }
  if (message == WM_NCDESTROY) RemovePropW(hwnd, kOldProcProp);
  return CallWindowProcW(old, hwnd, message, wparam, lparam);
}

class TextDialog : public Dialog {
 public:
  TextDialog(const look::WindowLayout& layout, const DialogFrame& frame, bool read_only, const char* text)
      : Dialog(layout, frame, {}), read_only_(read_only), text_(text) {
    default_id_ = 0;
  }

 protected:
  void Started() override {
    HWND memo = window_.OfKind(look::Kind::kMemo);
    if (!memo) return;
    LeaveKeysToDialog(memo);
    if (read_only_) SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
    SetWindowTextW(memo, Widen(text_).c_str());
    SendMessageW(memo, EM_SETSEL, 0, 0);
    SendMessageW(memo, EM_SCROLLCARET, 0, 0);
  }
  INT_PTR Message(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<INT_PTR>(TextAreaColours(window_.OfKind(look::Kind::kMemo), wparam, lparam));
    return FALSE;
  }

 private:
  bool read_only_;
  const char* text_;
};

}  // namespace

void LeaveKeysToDialog(HWND memo) {
  SetPropW(memo, kOldProcProp,
           reinterpret_cast<HANDLE>(SetWindowLongPtrW(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MemoProc))));
}

HBRUSH TextAreaColours(HWND memo, WPARAM wparam, LPARAM lparam) {
  if (!memo || reinterpret_cast<HWND>(lparam) != memo) return nullptr;
  HDC dc = reinterpret_cast<HDC>(wparam);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}

platform::ModalResult ShowTextWindow(HWND owner, const look::WindowLayout& layout, const DialogFrame& frame,
                                     bool read_only, const char* text) {
  return TextDialog(layout, frame, read_only, text).ShowModal(owner);
}

}  // namespace win32
