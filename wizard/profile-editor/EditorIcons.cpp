#include "EditorIcons.h"

#include "common/win/Dpi.h"


namespace ordvale::wizard {

HICON LoadIconSized(HINSTANCE module, int id, int size) {
    return win::LoadIconAtSize(module, MAKEINTRESOURCEW(id), size);
}

int AddIcon(HIMAGELIST list, const win::UniqueIcon& icon) {
    return icon ? ImageList_AddIcon(list, icon.Get()) : -1;
}

int AddIcon(HIMAGELIST list, HINSTANCE module, int id, int size) {
    return AddIcon(list, win::UniqueIcon(LoadIconSized(module, id, size)));
}

win::UniqueImageList IconList(HINSTANCE module, int size, const std::vector<int>& icons) {
    win::UniqueImageList list(ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(icons.size()), 0));
    for (int id : icons) AddIcon(list.Get(), module, id, size);
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
