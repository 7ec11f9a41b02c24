// The program's icon and the main window's menu bar.
#pragma once

#include "platform/win32/win32_host.h"

#include <vector>

#include "look/layout.h"

namespace win32 {

// The menu bar of a layout, each item with its identifier.
HMENU BuildMenu(const std::vector<look::MenuLayout>& menu);

// The program's icon, 32 or 16 pixels square: made once, freed at exit.
HICON ProgramIcon(int size);

}  // namespace win32
