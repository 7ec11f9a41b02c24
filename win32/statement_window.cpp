// The statement window (Form4): fixed single border, system menu and close box
// only; the text area can be typed into, and nothing typed is kept.
#include "app/statement_window.h"

#include "win32/forms.h"

namespace win32 {

platform::ModalResult ShowTForm4(HWND owner, app::TForm4&) {
  TextWindowSpec look = {L"TForm4", &app::TForm4::Layout(),
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                         /*client_size=*/true, 0, 0,
                         /*read_only=*/false, app::TForm4::Text()};
  HWND window = CreateTextWindow(look, owner);
  return window ? RunModal(owner, window) : platform::kMrCancel;
}

}  // namespace win32
