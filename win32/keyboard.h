// The keyboard of the program's windows beyond what the system's dialog keys
// give: push buttons the program paints itself answer Enter as any push button
// does, and a window may name a default button that Enter presses wherever the
// focus is (unless the focus is on another push button, which Enter presses).
#pragma once

#include <windows.h>

namespace win32 {

// The top-level window a control lies in.
HWND TopWindow(HWND control);

// Makes an owner-drawn button a push button to the dialog keys: it answers
// WM_GETDLGCODE as a push button (the default one while it has the focus, or
// while it is its window's default button and no other push button has the
// focus), keeps its owner-drawn style when the dialog keys change its
// default state, and repaints its window's default button as the focus moves.
void MakePushButton(HWND button);

// True for a push button (one of the system or one made by MakePushButton).
bool IsPushButton(HWND control);

// The default button of a top-level window, or nullptr.
void SetDefaultButton(HWND window, HWND button);
HWND DefaultButton(HWND window);
void ForgetDefaultButton(HWND window);

// True when Enter would press this push button now: it is drawn with the
// heavy frame of a default button.
bool LooksDefault(HWND button);

}  // namespace win32
