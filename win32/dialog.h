// The program's windows are dialogs of the system's dialog manager: a
// class of their own on DefDlgProc, a template in memory holding only the
// frame (style, class, caption; no items, no font of its own), and the
// controls made from the layout's rows when the dialog starts
// (WM_INITDIALOG), with their fonts, places and tab order. One dialog
// procedure serves them all; its object is kept in DWLP_USER. The main
// window is modeless, with its menu bar and its keys (an accelerator table),
// the others modal.
//
// Which mechanism gives each keyboard behaviour:
//   Tab, Shift+Tab, arrows        the dialog manager, over WS_TABSTOP in
//                                 creation order (containers WS_EX_CONTROLPARENT)
//   Enter                         the dialog manager: the focused push button,
//                                 else the default id (DM_SETDEFID)
//   Enter on a picture button     owner_draw.cpp: it answers WM_GETDLGCODE as a push button
//   Esc, the close box, Alt+F4    the dialog manager: IDCANCEL
//   the focus kept and given back DefDlgProc, on deactivation and activation
//   Esc, Tab in a text area       text_window.cpp: the area leaves them to the
//                                 dialog manager, as a single-line field does
//   Enter on a directory tree     Dialog: IDOK with the focus in the tree opens
//                                 the chosen directory, as a double click does
//   Ctrl+Tab, Ctrl+Shift+Tab      the main window's accelerator table: the next
//                                 and the previous page of its notebook
//   Alt+letter                    the main window's menu bar
//   Esc, Enter in the main window nothing: it has no OK or Cancel (no ids 1, 2)
#pragma once

#include "platform/win32/win32_host.h"

#include <vector>

#include "look/layout.h"
#include "platform/controls.h"
#include "win32/peers.h"
#include "win32/window_builder.h"

namespace win32 {

// The menu bar of a layout, each item with its identifier.
HMENU BuildMenu(const std::vector<look::MenuLayout>& menu);

// The program's icon, 32 or 16 pixels square: made once, freed at exit.
HICON ProgramIcon(int size);

// A fixed dialog border with the close box and no other title-bar button.
constexpr DWORD kFixedDialog = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;

// How a dialog is framed.
struct DialogFrame {
  const wchar_t* class_name;
  DWORD style;
  DWORD ex_style;
  // 0 x 0: the layout's size is the client area; otherwise the whole window's.
  int outer_width = 0, outer_height = 0;
};

class Dialog {
 public:
  Dialog(const look::WindowLayout& layout, const DialogFrame& frame, std::vector<platform::Control*> controls);
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Makes the dialog and shows it modally over `owner`; returns how it ended:
  // OK by the control of identifier IDOK, otherwise Cancel.
  platform::ModalResult ShowModal(HWND owner);
  // Makes the dialog modeless, hidden; nullptr when it cannot be made.
  HWND Create(HWND owner);

 protected:
  // The controls are made and bound; the focus goes to the first tab stop.
  virtual void Started() {}
  // A command before the controls' (WM_COMMAND): true when taken.
  virtual bool Command(int, int) { return false; }
  // A message the dialog procedure leaves to the window: its answer, or
  // FALSE for the dialog manager's.
  virtual INT_PTR Message(UINT, WPARAM, LPARAM) { return FALSE; }
  void End(platform::ModalResult result) { EndDialog(window_.hwnd, result); }

  bool cancels_ = true;         // Esc and IDCANCEL end the dialog
  int default_id_ = IDOK;       // the button Enter presses
  BuiltWindow window_;
  Peers peers_;

 private:
  static INT_PTR CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  INT_PTR Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Start();

  DialogFrame frame_;
  std::vector<platform::Control*> controls_;
};

}  // namespace win32
