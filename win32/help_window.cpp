// The help window (Form5): an ordinary sizeable window; its read-only text
// area keeps the size of the first client area (521 x 401) whatever size the
// window takes.
#include "app/help_window.h"

#include "win32/forms.h"

namespace win32 {

platform::ModalResult ShowTForm5(HWND owner, app::TForm5&) {
  // The whole window is 529 x 428; its first client area is the layout's.
  return ShowTextWindow(owner, app::TForm5::Layout(), {L"TForm5", WS_OVERLAPPEDWINDOW, 0, 529, 428},
                        /*read_only=*/true, app::TForm5::Text());
}

}  // namespace win32
