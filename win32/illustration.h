// The pictures drawn whole rather than from a pixel map: the PXE page's
// illustration of a boot server and its workstations.
#pragma once

#include <windows.h>

namespace win32 {

// Draws the illustration of a name ("pxe") into `area`; an unknown name
// leaves a plain frame.
void DrawIllustration(HDC dc, const RECT& area, const char* name);

}  // namespace win32
