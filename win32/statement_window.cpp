// The statement window (Form4): fixed single border, system menu and close box
// only; the text area can be typed into, and nothing typed is kept.
#include "app/statement_window.h"

#include "win32/forms.h"

namespace win32 {

platform::ModalResult ShowTForm4(HWND owner, app::TForm4&) {
  return ShowTextWindow(owner, app::TForm4::Layout(), {L"TForm4", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 0},
                        /*read_only=*/false, app::TForm4::Text());
}

}  // namespace win32
