// The vendor-prefix dialog (Form3): made at its first showing and kept, so
// that its field keeps the last prefix entered.
#include "rpl/vendor_prefix_dialog.h"

#include "win32/forms.h"
#include "win32/kept_dialog.h"

namespace win32 {
namespace {

class Form3Window : public KeptDialog {
 protected:
  void Notify(const look::ControlLayout&, int) override {}  // the field needs nothing
};

Form3Window form3_window;

}  // namespace

platform::ModalResult ShowTForm3(HWND owner, rpl::TForm3& form) {
  if (!form3_window.Made()) form3_window.Create(L"TForm3", rpl::TForm3::Layout(), owner, {&form.MAC}, "Button1");
  return form3_window.Show();
}

}  // namespace win32
