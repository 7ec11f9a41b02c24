// The windows of the front end, one file each, named after the window's module.
#pragma once

#include <memory>
#include <vector>

#include "app/server.h"
#include "app/statement_window.h"
#include "app/help_window.h"
#include "app/server_check_window.h"
#include "pxe/wait_dialog.h"
#include "rpl/vendor_prefix_dialog.h"
#include "rpl/driver_chooser.h"
#include "platform/win32/win32_host.h"
#include "win32/dialog.h"
#include "win32/text_window.h"

namespace win32 {

// server.cpp: the main window, Form1, a modeless dialog.
class Form1Window : public Dialog {
 public:
  Form1Window(app::TForm1& form, platform::Win32Ui& ui);
  ~Form1Window() override;
  // Creates the window and its controls, binds the form's controls to them and
  // runs FormCreate. The window stays hidden.
  HWND Create();
  // Passes a message of the loop to the window's keys and the dialog manager;
  // false when it must be dispatched.
  bool Translate(MSG* msg);

 protected:
  void Started() override;
  bool Command(int id, int code) override;
  INT_PTR Message(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void ShowPage(int index);
  void TurnPage(int step);

  app::TForm1& form_;
  platform::Win32Ui& ui_;
  std::vector<HWND> pages_;
  HBRUSH silver_ = nullptr;
  HACCEL keys_ = nullptr;
};

// statement_window.cpp: the statement window, Form4, a fresh one shown modally at every opening.
platform::ModalResult ShowTForm4(HWND owner, app::TForm4& window);

// wait_dialog.cpp: the boot image's wait dialog, Form2, shown modally at every run.
platform::ModalResult ShowTForm2(HWND owner, pxe::TForm2& window);

// vendor_prefix_dialog.cpp: the vendor-prefix dialog, Form3, shown modally at each
// registration of a Realtek card; made at the first, then kept hidden for the run.
platform::ModalResult ShowTForm3(HWND owner, rpl::TForm3& window);

// driver_chooser.cpp: the driver chooser, GetNetDrv, shown modally at each registration
// of a custom card; made at the first, then kept hidden for the run.
platform::ModalResult ShowTGetNetDrv(HWND owner, rpl::TGetNetDrv& window);

// help_window.cpp: the help window, Form5, shown modally at every opening.
platform::ModalResult ShowTForm5(HWND owner, app::TForm5& window);

// server_check_window.cpp: the check window, shown modally at every opening.
platform::ModalResult ShowTCheckForm(HWND owner, app::TCheckForm& window);

}  // namespace win32
