// The driver chooser (GetNetDrv): made at each showing, with the lists the
// form has filled from the current directory (FormShow) and the fields it
// kept from the last. The window passes on the administrator's choices: a
// drive chosen in the drop-down, a directory opened by a double click or
// Enter, a file chosen in the file list.
#include "rpl/driver_chooser.h"

#include "win32/dialog.h"
#include "win32/forms.h"

namespace win32 {

platform::ModalResult ShowTGetNetDrv(HWND owner, rpl::TGetNetDrv& form) {
  return Dialog(rpl::TGetNetDrv::Layout(), {L"TGetNetDrv", kFixedDialog, WS_EX_DLGMODALFRAME}, form.Controls())
      .ShowModal(owner);
}

}  // namespace win32
