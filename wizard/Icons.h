// Icons and image lists of the wizard's pages.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

#include "common/win/Dpi.h"
#include "common/win/Handle.h"

namespace ordvale::wizard {

// Loads an icon resource of the module at the given size, from the image it
// carries at that size; the caller owns it.
HICON LoadSizedIcon(HINSTANCE module, int id, int size);
// The shell's small icon of a path at the given size (none when it has none).
win::UniqueIcon ShellSmallIcon(const wchar_t* path, int size);
// An image list (32-bit colour with mask) of the module's icons at one size.
win::UniqueImageList MakeImageList(HINSTANCE module, int size, std::initializer_list<int> icons, int grow = 0);

}  // namespace ordvale::wizard
