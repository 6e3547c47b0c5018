// Icons and image lists of the profile page and its parts: the program's
// icons at a size, the shell's icons of folders and extensions.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "common/win/Handle.h"

namespace ordvale::wizard {

HICON LoadIconSized(HINSTANCE module, int id, int size);
// Adds a copy of the icon to the list; -1 without an icon.
int AddIcon(HIMAGELIST list, const win::UniqueIcon& icon);
int AddIcon(HIMAGELIST list, HINSTANCE module, int id, int size);
// A list of icons of the size in this order.
win::UniqueImageList IconList(HINSTANCE module, int size, const std::vector<int>& icons);
// The shell's icon of a path (SHGetFileInfo with SHGFI_ICON and the flags).
win::UniqueIcon ShellIcon(const wchar_t* path, DWORD attributes, UINT flags);
std::wstring WindowsFolder();

}  // namespace ordvale::wizard
