#include "EditorIcons.h"


namespace ordvale::wizard {

HICON LoadIconSized(HINSTANCE module, int id, int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

int AddIcon(HIMAGELIST list, const win::UniqueIcon& icon) {
    return icon ? ImageList_AddIcon(list, icon.Get()) : -1;
}

int AddIcon(HIMAGELIST list, HINSTANCE module, int id, int size) {
    return AddIcon(list, win::UniqueIcon(LoadIconSized(module, id, size)));
}

win::UniqueImageList IconList(HINSTANCE module, std::initializer_list<int> icons) {
    win::UniqueImageList list(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, static_cast<int>(icons.size()), 0));
    for (int id : icons) AddIcon(list.Get(), module, id, 16);
    return list;
}

win::UniqueIcon ShellIcon(const wchar_t* path, DWORD attributes, UINT flags) {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, attributes, &info, sizeof(info), SHGFI_ICON | flags)) return {};
    return win::UniqueIcon(info.hIcon);
}

std::wstring WindowsFolder() {
    wchar_t folder[MAX_PATH] = {};
    GetWindowsDirectoryW(folder, MAX_PATH);
    return folder;
}

}  // namespace ordvale::wizard
