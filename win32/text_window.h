// A window of one multi-line text area: the help and statement windows.
#pragma once

#include "platform/win32/win32_host.h"

#include "look/layout.h"

namespace win32 {

// The text area is the layout's one multi-line text area, at the place and
// size the layout gives it, whatever size the window takes later.
struct TextWindowSpec {
  const wchar_t* class_name;
  const look::WindowLayout* layout;
  DWORD style;
  bool client_size;              // the layout gives the client area
  int outer_width, outer_height; // otherwise: the whole window
  bool read_only;
  const char* text;
};

// A multi-line text area takes Esc for itself; after this it lets Esc go to
// the dialog keys, which close its window (IDCANCEL).
void LetEscapeClose(HWND memo);

// A read-only text area keeps the look of a text area, not of a label: the
// answer to WM_CTLCOLORSTATIC (wparam, lparam) when it comes from `memo`,
// otherwise null.
HBRUSH TextAreaColours(HWND memo, WPARAM wparam, LPARAM lparam);

// Creates the window, hidden, with the text shown from its top. Its close
// box, Esc and Alt+F4 close it; it ends its modal run (RunModal) then.
HWND CreateTextWindow(const TextWindowSpec& look, HWND owner);

}  // namespace win32
