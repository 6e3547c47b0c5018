// Questions must not wait unseen behind other windows.
#pragma once

#include <windows.h>

namespace ordvale {

// Brings the window's top-level window to the front; where the system does
// not allow that (another program has the user's attention), its taskbar
// button flashes until the user comes to it.
void BringToFront(HWND window);

}  // namespace ordvale
