// Push buttons the program paints itself, to the dialog manager: they answer
// Enter as any push button does, and show the heavy frame of the button
// Enter presses: the focused push button, else the dialog's default
// (DM_SETDEFID).
#pragma once

#include <windows.h>

namespace win32 {

// The top-level window a control lies in.
HWND TopWindow(HWND control);

// Makes an owner-drawn button a push button to the dialog manager: it answers
// WM_GETDLGCODE as a push button (the default one while it has the focus, or
// while it is its dialog's default and no other push button has the focus),
// keeps BS_OWNERDRAW when the dialog manager sets BS_DEFPUSHBUTTON or
// BS_PUSHBUTTON, and repaints its dialog's default button as the focus moves.
void MakePushButton(HWND button);

// True for a push button (one of the system or one made by MakePushButton).
bool IsPushButton(HWND control);

// The identifier of a window's default button (DM_GETDEFID), or 0.
int DefaultId(HWND window);

// True when Enter would press this push button now: it is drawn with the
// heavy frame of a default button.
bool LooksDefault(HWND button);

}  // namespace win32
