// The check window: the report in a read-only text area, the line that sums
// it up, the copy button and the close button. Esc, the close button and the
// close box close it; Tab goes round the text and the two buttons.
#include "app/server_check_window.h"

#include "win32/forms.h"

namespace win32 {
namespace {

class CheckWindow : public WindowHandler {
 public:
  CheckWindow(HWND owner, app::TCheckForm& form) : owner_(owner), form_(form) {}

  // Creates the window, hidden, with the form's report and summary in it.
  HWND Create() {
    const look::WindowLayout& layout = app::TCheckForm::Layout();
    RegisterHandlerClass(L"TCheckForm");
    window_.layout = &layout;
    window_.default_id = IDCANCEL;  // the close button
    FrameSpec frame;
    frame.class_name = L"TCheckForm";
    frame.layout = &layout;
    frame.owner = owner_;
    frame.handler = this;
    HWND hwnd = CreateFrame(frame);
    if (!hwnd) return nullptr;
    window_.hwnd = hwnd;
    BuildControls(&window_);
    HWND memo = window_.OfKind(look::Kind::kMemo);
    if (memo) {
      SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
      SendMessageW(memo, EM_SETLIMITTEXT, 0, 0);  // a report of many profiles is long
      LetEscapeClose(memo);
    }
    peers_.Bind(window_, form_.Controls());
    if (memo) SendMessageW(memo, EM_SETSEL, 0, 0);  // shown from its top
    return hwnd;
  }

  // A multi-line text area keeps Tab for itself; from the report Tab and
  // Shift+Tab go on to the buttons, as from any other control.
  bool PreTranslate(const MSG& msg) override {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || msg.hwnd != window_.OfKind(look::Kind::kMemo)) return false;
    if (HWND next = GetNextDlgTabItem(window_.hwnd, msg.hwnd, (GetKeyState(VK_SHIFT) & 0x8000) != 0)) SetFocus(next);
    return true;
  }

  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_CTLCOLORSTATIC:
        if (HBRUSH brush = TextAreaColours(window_.OfKind(look::Kind::kMemo), wparam, lparam))
          return reinterpret_cast<LRESULT>(brush);
        break;
      case WM_COMMAND:
        if (LOWORD(wparam) == IDCANCEL)  // the close button and Esc
          EndModal(owner_, hwnd);
        else
          peers_.Notify(LOWORD(wparam), HIWORD(wparam));
        return 0;
      case WM_CLOSE:
        EndModal(owner_, hwnd);
        return 0;
      case WM_DESTROY:
        peers_.Unbind();
        break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

 private:
  HWND owner_;
  app::TCheckForm& form_;
  BuiltWindow window_;
  Peers peers_;
};

}  // namespace

platform::ModalResult ShowTCheckForm(HWND owner, app::TCheckForm& form) {
  CheckWindow window(owner, form);
  HWND hwnd = window.Create();
  if (!hwnd) return platform::kMrCancel;
  platform::ModalResult result = RunModal(owner, hwnd);
  // The program may be ending with the window still there; it goes with its handler.
  if (IsWindow(hwnd)) DestroyWindow(hwnd);
  return result;
}

}  // namespace win32
