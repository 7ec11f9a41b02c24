// The driver chooser (GetNetDrv): made at its first showing and kept. Its lists
// are the form's portable drive, directory and file lists; the window passes
// on the administrator's choices: a drive chosen in the drop-down, a
// directory opened by a double click or Enter, a file chosen in the file list.
#include "rpl/driver_chooser.h"

#include "win32/forms.h"
#include "win32/kept_dialog.h"

namespace win32 {

// The form has filled its lists from the current directory (FormShow) before
// this runs; a dialog made now takes them over.
platform::ModalResult ShowTGetNetDrv(HWND owner, rpl::TGetNetDrv& form) {
  static KeptDialog get_net_drv_window;
  if (!get_net_drv_window.Made())
    get_net_drv_window.Create(L"TGetNetDrv", rpl::TGetNetDrv::Layout(), owner, form.Controls());
  return get_net_drv_window.Show();
}

}  // namespace win32
