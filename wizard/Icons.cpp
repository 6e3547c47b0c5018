#include "Icons.h"

#include <shellapi.h>

namespace ordvale::wizard {

HICON LoadSizedIcon(HINSTANCE module, int id, int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HICON ShellSmallIcon(const wchar_t* path) {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) return nullptr;
    return info.hIcon;
}

HIMAGELIST MakeImageList(HINSTANCE module, int size, std::initializer_list<int> icons, int grow) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(icons.size()), grow);
    for (int id : icons) {
        HICON icon = LoadSizedIcon(module, id, size);
        ImageList_AddIcon(list, icon);
        if (icon) DestroyIcon(icon);
    }
    return list;
}

}  // namespace ordvale::wizard
