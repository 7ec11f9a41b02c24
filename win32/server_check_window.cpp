// The check window: the report in a read-only text area, the line that sums
// it up, the copy button and the close button. Esc, the close button and the
// close box close it; Tab goes round the text and the two buttons.
#include "app/server_check_window.h"

#include "win32/forms.h"

namespace win32 {
namespace {

class CheckDialog : public Dialog {
 public:
  explicit CheckDialog(app::TCheckForm& form)
      : Dialog(app::TCheckForm::Layout(), {L"TCheckForm", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0},
               form.Controls()) {
    default_id_ = IDCANCEL;  // Enter closes it, as the close button does
  }

 protected:
  void Started() override {
    HWND memo = window_.OfKind(look::Kind::kMemo);
    if (!memo) return;
    SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
    LeaveKeysToDialog(memo);
    SendMessageW(memo, EM_SETSEL, 0, 0);  // shown from its top
  }
  INT_PTR Message(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<INT_PTR>(TextAreaColours(window_.OfKind(look::Kind::kMemo), wparam, lparam));
    return FALSE;
  }
};

}  // namespace

platform::ModalResult ShowTCheckForm(HWND owner, app::TCheckForm& form) { return CheckDialog(form).ShowModal(owner); }

}  // namespace win32
