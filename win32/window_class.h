// The main window's class and frame, the program's icon, and the keyboard of
// the main window (the focus it keeps, Enter on its focused push button).
#pragma once

#include "platform/win32/win32_host.h"

#include "look/layout.h"

namespace win32 {

// What a window procedure of the program answers to: the window's object.
class WindowHandler {
 public:
  virtual ~WindowHandler() = default;
  virtual LRESULT Handle(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // A key the window handles itself before the dialog keys (Tab, Enter,
  // Esc) are looked at; true when it has handled the message.
  virtual bool PreTranslate(const MSG&) { return false; }
};

// Registers a window class whose windows pass every message to the
// WindowHandler given as the creation parameter. Registering twice is
// harmless. Every window of such a class keeps the control that had the
// focus when it was deactivated and gives it back (the first tab stop the
// first time), and names its focused push button to the dialog keys.
void RegisterHandlerClass(const wchar_t* class_name);

// How a top-level window is framed.
struct FrameSpec {
  const wchar_t* class_name = nullptr;  // registered with RegisterHandlerClass
  const look::WindowLayout* layout = nullptr;  // caption and place
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  DWORD ex_style = 0;
  HWND owner = nullptr;
  HMENU menu = nullptr;
  // The layout's size is the client area (the frame and the menu bar are
  // added); otherwise outer_width x outer_height is the whole window.
  bool client_size = true;
  int outer_width = 0, outer_height = 0;
  WindowHandler* handler = nullptr;
};

// The menu bar of a layout, each item with its identifier.
HMENU BuildMenu(const std::vector<look::MenuLayout>& menu);

// Creates the window, hidden.
HWND CreateFrame(const FrameSpec& frame);

// The program's icon, 32 or 16 pixels square: made once, freed at exit.
HICON ProgramIcon(int size);

// Passes a message of the loop to `window` as keyboard input of a dialog
// (the window's own keys first, then Tab, Enter, Esc, arrows); false when it
// is no such message and must be dispatched.
bool DialogKeys(HWND window, MSG* msg);

}  // namespace win32
