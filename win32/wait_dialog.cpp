// The wait dialog (Form2) while the boot image is unpacked: teal ground, a
// yellow message, a white count on the desktop's colour and a bar. It has no
// title-bar buttons and no system menu, and closes itself when its countdown
// ends; Timer2 ticks every second from its creation.
#include "pxe/wait_dialog.h"

#include <memory>
#include <vector>

#include "win32/forms.h"

namespace win32 {
namespace {

const COLORREF kTeal = RGB(0, 128, 128);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const UINT_PTR kTimer2 = 2;

class Form2Window : public WindowHandler {
 public:
  Form2Window(pxe::TForm2& form, HWND owner) : form_(form), owner_(owner) {}
  // The form outlives its window: its controls go back to memory with the peers.
  ~Form2Window() override {
    if (teal_) DeleteObject(teal_);
  }

  HWND Create() {
    const look::WindowLayout& layout = pxe::TForm2::Layout();
    RegisterHandlerClass(L"TForm2");
    window_.layout = &layout;
    FrameSpec frame;
    frame.class_name = L"TForm2";
    frame.layout = &layout;
    // A caption but no system menu: no close box, no other title-bar button.
    frame.style = WS_POPUP | WS_CAPTION;
    frame.owner = owner_;
    frame.handler = this;
    HWND hwnd = CreateFrame(frame);
    if (!hwnd) return nullptr;
    window_.hwnd = hwnd;
    teal_ = CreateSolidBrush(kTeal);
    BuildControls(&window_);
    peers_.Bind(window_, form_.Controls());
    form_.on_close = [this] {
      KillTimer(window_.hwnd, kTimer2);
      EndModal(owner_, window_.hwnd);
    };
    SetTimer(hwnd, kTimer2, form_.Timer2.interval, nullptr);
    return hwnd;
  }

  LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_TIMER:
        if (wparam == kTimer2) form_.Timer2.Tick();
        return 0;
      case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(hwnd, &rc);
        FillRect(reinterpret_cast<HDC>(wparam), &rc, teal_);
        return 1;
      }
      case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wparam);
        if (reinterpret_cast<HWND>(lparam) == peers_.HwndOf(form_.Label2)) {
          SetTextColor(dc, kWhite);
          SetBkColor(dc, GetSysColor(COLOR_BACKGROUND));
          return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BACKGROUND));
        }
        SetTextColor(dc, kYellow);
        SetBkColor(dc, kTeal);
        return reinterpret_cast<LRESULT>(teal_);
      }
      case WM_CLOSE:
        return 0;  // only the countdown closes it: the unpacking needs its time
      case WM_DESTROY:
        KillTimer(hwnd, kTimer2);
        peers_.Unbind();
        form_.on_close = nullptr;
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }

 private:
  pxe::TForm2& form_;
  HWND owner_;
  BuiltWindow window_;
  Peers peers_;
  HBRUSH teal_ = nullptr;
};

}  // namespace

platform::ModalResult ShowTForm2(HWND owner, pxe::TForm2& window) {
  Form2Window form2(window, owner);
  HWND hwnd = form2.Create();
  return hwnd ? RunModal(owner, hwnd) : platform::kMrCancel;
}

}  // namespace win32
