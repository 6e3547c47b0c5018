#include "Icons.h"

#include <shellapi.h>

namespace ordvale::wizard {

HICON LoadSizedIcon(HINSTANCE module, int id, int size) {
    return win::LoadIconAtSize(module, MAKEINTRESOURCEW(id), size);
}

win::UniqueIcon ShellSmallIcon(const wchar_t* path, int size) {
    SHFILEINFOW info = {};
    // The shell's small icons have the system's size; a larger one is taken
    // from its large icon rather than stretched.
    const UINT which = size > GetSystemMetrics(SM_CXSMICON) ? SHGFI_LARGEICON : SHGFI_SMALLICON;
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | which)) return {};
    return win::UniqueIcon(win::IconAtSize(info.hIcon, size));
}

win::UniqueImageList MakeImageList(HINSTANCE module, int size, std::initializer_list<int> icons, int grow) {
    win::UniqueImageList list(
        ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(icons.size()), grow));
    for (int id : icons) {
        const win::UniqueIcon icon(LoadSizedIcon(module, id, size));
        if (icon) ImageList_AddIcon(list.Get(), icon.Get());
    }
    return list;
}

}  // namespace ordvale::wizard
