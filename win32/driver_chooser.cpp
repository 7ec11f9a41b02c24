// The driver chooser (GetNetDrv): made at its first showing and kept. Its lists
// are the form's portable drive, directory and file lists; the window passes
// on the administrator's choices: a drive chosen in the drop-down, a
// directory opened by a double click or Enter, a file chosen in the file list.
#include "rpl/driver_chooser.h"

#include "win32/forms.h"
#include "win32/kept_dialog.h"

namespace win32 {
namespace {

class GetNetDrvWindow : public KeptDialog {
 public:
  void SetForm(rpl::TGetNetDrv* form) { form_ = form; }

  // Enter on the directory tree opens the chosen directory, as a double
  // click does, rather than pressing the OK button.
  bool PreTranslate(const MSG& msg) override {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN) return false;
    if (GetFocus() != window_.Control("DirectoryListBox1")) return false;
    form_->DirectoryListBox1.Changed();
    return true;
  }

 protected:
  void Notify(const look::ControlLayout& c, int code) override {
    const std::string name = c.name;
    if (name == "DriveComboBox1" && code == CBN_SELCHANGE) form_->DriveComboBox1.Changed();
    if (name == "DirectoryListBox1" && code == LBN_DBLCLK) form_->DirectoryListBox1.Changed();
    if (name == "FileListBox1" && code == LBN_SELCHANGE) form_->FileListBox1.Changed();
    // The filter list has one entry and changes nothing.
  }

 private:
  rpl::TGetNetDrv* form_ = nullptr;
};

GetNetDrvWindow get_net_drv_window;

}  // namespace

// The form has filled its lists from the current directory (FormShow) before
// this runs; a dialog made now takes them over.
platform::ModalResult ShowTGetNetDrv(HWND owner, rpl::TGetNetDrv& form) {
  if (!get_net_drv_window.Made()) {
    get_net_drv_window.SetForm(&form);
    get_net_drv_window.Create(L"TGetNetDrv", rpl::TGetNetDrv::Layout(), owner,
                              {&form.DriveComboBox1, &form.DirectoryListBox1, &form.FileListBox1,
                               &form.FilterComboBox1, &form.NDISTALK, &form.MACTALK},
                              "BitBtn1");
  }
  return get_net_drv_window.Show();
}

}  // namespace win32
