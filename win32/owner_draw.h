// The controls the program paints itself: the picture buttons (raised push
// buttons and flat toolbar buttons), the illustration, and the lists that show
// each item indented with its small picture before the text, as the drive and
// directory lists of a file chooser do.
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

}  // namespace win32
