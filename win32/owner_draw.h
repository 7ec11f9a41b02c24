// The controls the program paints itself: the picture buttons (raised push
// buttons and flat toolbar buttons), the illustration, and the lists that show
// each item indented with its small picture before the text, as the drive and
// directory lists of a file chooser do. Picture push buttons are push buttons
// to the dialog manager: they answer Enter as any push button does, and show
// the heavy frame of the button Enter presses (the focused push button, else
// the dialog's default, DM_SETDEFID).
#pragma once

#include <windows.h>

#include "platform/controls.h"
#include "win32/window_builder.h"

namespace win32 {

// Paints an owner-drawn control of the window; false for a control it does
// not know.
bool DrawControl(const BuiltWindow& window, const DRAWITEMSTRUCT& item);

// A flat toolbar button: its edge rises while the mouse is over it.
void MakeFlatButton(HWND button);

// The item data of a list item that carries its look (indent and picture);
// a picture name that is not known gives no picture.
LPARAM ItemLookData(const platform::ItemLook& look);

// How far each indent step moves an item to the right, in pixels.
constexpr int kIndentStep = 8;

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
