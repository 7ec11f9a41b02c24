// The statement window (Form4): fixed single border, system menu and close box
// only; the text area can be typed into, and nothing typed is kept.
#include "app/statement_window.h"

#include "win32/forms.h"

namespace win32 {

HWND CreateForm4(HWND owner) {
  TextWindowSpec look = {L"TForm4", &app::TForm4::Layout(),
                         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                         /*client_size=*/true, 0, 0,
                         /*read_only=*/false, app::TForm4::Text()};
  return CreateTextWindow(look, owner);
}

platform::ModalResult ShowTForm4(HWND owner, app::TForm4&) {
  HWND window = CreateForm4(owner);
  return window ? RunModal(owner, window) : platform::kMrCancel;
}

}  // namespace win32
