#include "Icons.h"

#include <shellapi.h>

namespace ordvale::wizard {

HICON LoadSizedIcon(HINSTANCE module, int id, int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

win::UniqueIcon ShellSmallIcon(const wchar_t* path) {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) return {};
    return win::UniqueIcon(info.hIcon);
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
