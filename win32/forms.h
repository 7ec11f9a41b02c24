// The windows of the front end: the main window (server.cpp) and the modal
// windows (windows.cpp), each shown by the function of its class.
#pragma once

#include <memory>
#include <vector>

#include "app/server.h"
#include "app/statement_window.h"
#include "app/help_window.h"
#include "app/server_check_window.h"
#include "app/undo_window.h"
#include "pxe/wait_dialog.h"
#include "rpl/vendor_prefix_dialog.h"
#include "rpl/driver_chooser.h"
#include "platform/win32/win32_host.h"
#include "win32/dialog.h"

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

// The statement window, Form4, a fresh one shown modally at every opening.
platform::ModalResult ShowTForm4(HWND owner, app::TForm4& window);

// The boot image's wait dialog, Form2, shown modally at every run.
platform::ModalResult ShowTForm2(HWND owner, pxe::TForm2& window);

// The vendor-prefix dialog, Form3, shown modally at each registration of a
// Realtek card.
platform::ModalResult ShowTForm3(HWND owner, rpl::TForm3& window);

// The driver chooser, GetNetDrv, shown modally at each registration of a
// custom card.
platform::ModalResult ShowTGetNetDrv(HWND owner, rpl::TGetNetDrv& window);

// The help window, Form5, shown modally at every opening.
platform::ModalResult ShowTForm5(HWND owner, app::TForm5& window);

// The check window, shown modally at every opening.
platform::ModalResult ShowTCheckForm(HWND owner, app::TCheckForm& window);

// The undo window, shown modally from the menu "系统".
platform::ModalResult ShowTUndoForm(HWND owner, app::TUndoForm& window);

}  // namespace win32
