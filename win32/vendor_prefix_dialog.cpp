// The vendor-prefix dialog (Form3): made at its first showing and kept, so
// that its field keeps the last prefix entered.
#include "rpl/vendor_prefix_dialog.h"

#include "win32/forms.h"
#include "win32/kept_dialog.h"

namespace win32 {

platform::ModalResult ShowTForm3(HWND owner, rpl::TForm3& form) {
  static KeptDialog form3_window;
  if (!form3_window.Made()) form3_window.Create(L"TForm3", rpl::TForm3::Layout(), owner, form.Controls());
  return form3_window.Show();
}

}  // namespace win32
