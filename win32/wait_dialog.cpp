// The wait dialog (Form2) while the boot image is unpacked: teal ground, a
// yellow message, a white count on the desktop's colour and a bar. It has no
// title-bar buttons and no system menu, takes no Esc, and closes itself when
// its countdown ends; Timer2 ticks from its creation.
#include "pxe/wait_dialog.h"

#include "win32/dialog.h"
#include "win32/forms.h"

namespace win32 {
namespace {

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

}  // namespace

platform::ModalResult ShowTForm2(HWND owner, pxe::TForm2& form) { return Form2Dialog(form).ShowModal(owner); }

}  // namespace win32
