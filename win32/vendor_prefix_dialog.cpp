// The vendor-prefix dialog (Form3): made at each showing; its field shows the
// prefix the form kept from the last.
#include "rpl/vendor_prefix_dialog.h"

#include "win32/dialog.h"
#include "win32/forms.h"

namespace win32 {

platform::ModalResult ShowTForm3(HWND owner, rpl::TForm3& form) {
  return Dialog(rpl::TForm3::Layout(), {L"TForm3", kFixedDialog, WS_EX_DLGMODALFRAME}, form.Controls())
      .ShowModal(owner);
}

}  // namespace win32
