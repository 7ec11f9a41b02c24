// The modal windows, each a dialog made at every showing: the wait dialog
// (Form2), the vendor-prefix dialog (Form3), the statement (Form4) and help
// (Form5) windows, the driver chooser (GetNetDrv) and the check window. A form
// keeps what its window showed from one showing to the next.
#include "app/help_window.h"
#include "app/server_check_window.h"
#include "app/statement_window.h"
#include "app/undo_window.h"
#include "pxe/wait_dialog.h"
#include "rpl/driver_chooser.h"
#include "rpl/vendor_prefix_dialog.h"
#include "win32/forms.h"

namespace win32 {

using platform::Widen;

namespace {

const wchar_t kOldProcProp[] = L"KorrinMemoProc";

// A multi-line text area takes every key it is given; this one leaves Esc,
// and when read-only also Tab and Shift+Tab, to the dialog manager, which
// close the dialog and move on from it as from a single-line field.
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

void LeaveKeysToDialog(HWND memo) {
  SetPropW(memo, kOldProcProp,
           reinterpret_cast<HANDLE>(SetWindowLongPtrW(memo, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MemoProc))));
}

// A read-only text area keeps the look of a text area, not of a label: the
// answer to WM_CTLCOLORSTATIC (wparam, lparam) when it comes from `memo`,
// otherwise null.
HBRUSH TextAreaColours(HWND memo, WPARAM wparam, LPARAM lparam) {
  if (!memo || reinterpret_cast<HWND>(lparam) != memo) return nullptr;
  HDC dc = reinterpret_cast<HDC>(wparam);
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}

// A dialog of one text area, the layout's one multi-line control, at the
// place and size the layout gives it whatever size the window takes later,
// showing `text` from its top. Its close box and Esc close it.
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

// The wait dialog: teal ground, a yellow message, a white count on the
// desktop's colour and a bar. No title-bar buttons, no system menu, no Esc;
// it closes itself when its countdown ends. Timer2 ticks from its creation.
const COLORREF kTeal = RGB(0, 128, 128);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const UINT_PTR kTimer2 = 2;

class Form2Dialog : public Dialog {
 public:
  explicit Form2Dialog(pxe::TForm2& form)
      : Dialog(pxe::TForm2::Layout(), {L"TForm2", WS_POPUP | WS_CAPTION, 0}, form.Controls()), form_(form) {
    cancels_ = false;  // only the countdown closes it: the unpacking needs its time
    default_id_ = 0;
  }
  ~Form2Dialog() override {
    form_.on_close = nullptr;
    if (teal_) DeleteObject(teal_);
  }

 protected:
  void Started() override {
    teal_ = CreateSolidBrush(kTeal);
    form_.on_close = [this] { End(platform::kMrCancel); };
    SetTimer(window_.hwnd, kTimer2, form_.Timer2.interval, nullptr);
  }

  INT_PTR Message(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_TIMER:
        if (wparam == kTimer2) form_.Timer2.Tick();
        return TRUE;
      case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(teal_);
      case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wparam);
        if (reinterpret_cast<HWND>(lparam) == peers_.HwndOf(form_.Label2)) {
          SetTextColor(dc, kWhite);
          SetBkColor(dc, GetSysColor(COLOR_BACKGROUND));
          return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BACKGROUND));
        }
        SetTextColor(dc, kYellow);
        SetBkColor(dc, kTeal);
        return reinterpret_cast<INT_PTR>(teal_);
      }
      case WM_DESTROY:
        KillTimer(window_.hwnd, kTimer2);
        form_.on_close = nullptr;
        break;
    }
    return FALSE;
  }

 private:
  pxe::TForm2& form_;
  HBRUSH teal_ = nullptr;
};

// A window whose text area is read-only: the check window (the report, the
// line that sums it up, the copy button and the close button) and the undo
// window (the sessions and their steps in a list, the chosen one's undo in
// the text area, the undo button and the close button). Esc, the close
// button and the close box close it; Tab goes round its controls; Enter
// closes it, as the close button does, so that nothing is taken back by a
// stray key. The text is shown from its top.
class ReadOnlyTextDialog : public Dialog {
 public:
  ReadOnlyTextDialog(const look::WindowLayout& layout, const wchar_t* class_name,
                     std::vector<platform::Control*> controls)
      : Dialog(layout, {class_name, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0}, std::move(controls)) {
    default_id_ = IDCANCEL;
  }

 protected:
  void Started() override {
    HWND memo = window_.OfKind(look::Kind::kMemo);
    if (!memo) return;
    SendMessageW(memo, EM_SETREADONLY, TRUE, 0);
    LeaveKeysToDialog(memo);
    SendMessageW(memo, EM_SETSEL, 0, 0);
  }
  INT_PTR Message(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<INT_PTR>(TextAreaColours(window_.OfKind(look::Kind::kMemo), wparam, lparam));
    return FALSE;
  }
};

}  // namespace

platform::ModalResult ShowTUndoForm(HWND owner, app::TUndoForm& form) {
  return ReadOnlyTextDialog(app::TUndoForm::Layout(), L"TUndoForm", form.Controls()).ShowModal(owner);
}

platform::ModalResult ShowTForm2(HWND owner, pxe::TForm2& form) { return Form2Dialog(form).ShowModal(owner); }

platform::ModalResult ShowTForm3(HWND owner, rpl::TForm3& form) {
  return Dialog(rpl::TForm3::Layout(), {L"TForm3", kFixedDialog, WS_EX_DLGMODALFRAME}, form.Controls())
      .ShowModal(owner);
}

platform::ModalResult ShowTGetNetDrv(HWND owner, rpl::TGetNetDrv& form) {
  return Dialog(rpl::TGetNetDrv::Layout(), {L"TGetNetDrv", kFixedDialog, WS_EX_DLGMODALFRAME}, form.Controls())
      .ShowModal(owner);
}

platform::ModalResult ShowTForm4(HWND owner, app::TForm4&) {
  // Fixed single border, system menu and close box only; what is typed is not kept.
  return TextDialog(app::TForm4::Layout(), {L"TForm4", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0},
                    /*read_only=*/false, app::TForm4::Text())
      .ShowModal(owner);
}

platform::ModalResult ShowTForm5(HWND owner, app::TForm5&) {
  // Sizeable; the whole window is 529 x 428, its first client area the layout's.
  return TextDialog(app::TForm5::Layout(), {L"TForm5", WS_OVERLAPPEDWINDOW, 0, 529, 428},
                    /*read_only=*/true, app::TForm5::Text())
      .ShowModal(owner);
}

platform::ModalResult ShowTCheckForm(HWND owner, app::TCheckForm& form) {
  return ReadOnlyTextDialog(app::TCheckForm::Layout(), L"TCheckForm", form.Controls()).ShowModal(owner);
}

}  // namespace win32
