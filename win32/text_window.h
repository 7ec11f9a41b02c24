// The windows of one multi-line text area: the help and statement windows,
// and the text area's keys in any dialog.
#pragma once

#include "platform/win32/win32_host.h"

#include "look/layout.h"
#include "win32/dialog.h"

namespace win32 {

// A multi-line text area takes every key it is given; after this it leaves
// Esc, and when read-only also Tab and Shift+Tab, to the dialog manager,
// which close the dialog and move on from it as from a single-line field.
void LeaveKeysToDialog(HWND memo);

// A read-only text area keeps the look of a text area, not of a label: the
// answer to WM_CTLCOLORSTATIC (wparam, lparam) when it comes from `memo`,
// otherwise null.
HBRUSH TextAreaColours(HWND memo, WPARAM wparam, LPARAM lparam);

// A dialog of one text area, the layout's one multi-line control, at the
// place and size the layout gives it whatever size the window takes later,
// showing `text` from its top. Its close box and Esc close it.
platform::ModalResult ShowTextWindow(HWND owner, const look::WindowLayout& layout, const DialogFrame& frame,
                                     bool read_only, const char* text);

}  // namespace win32
