#include "PathBox.h"

#include <commctrl.h>

#include "EditorIcons.h"
#include "Placement.h"
#include "common/Text.h"
#include "common/win/Dpi.h"

namespace ordvale::wizard {

void CPathBox::Create(HWND toolbar, int id, const RECT& slot, HINSTANCE module, HFONT font) {
    HWND pathBox = CreateWindowExW(0, WC_COMBOBOXEXW, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST | CBS_AUTOHSCROLL,
                                   slot.left, slot.top, slot.right - slot.left, slot.bottom - slot.top + 100,
                                   toolbar, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module, nullptr);
    SendMessageW(pathBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    box_ = pathBox;
    RebuildImages();
}

void CPathBox::RebuildImages() {
    const int small = win::SmallIconSize(win::WindowDpi(box_));
    win::UniqueImageList images(ImageList_Create(small, small, ILC_COLOR32 | ILC_MASK, 1, 0));
    AddIcon(images.Get(), ShellIcon(WindowsFolder().c_str(), 0, SHGFI_SMALLICON));
    SendMessageW(box_, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
    images_ = std::move(images);
}

CPathBox::Entry CPathBox::EntryAt(int index) const {
    wchar_t text[260] = {};
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT | CBEIF_LPARAM;
    item.iItem = index;
    item.pszText = text;
    item.cchTextMax = 260;
    if (!SendMessageW(box_, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return {std::wstring(), nullptr};
    const auto ref = refs_.find(item.lParam);
    return {text, ref != refs_.end() ? &ref->second : nullptr};
}

void CPathBox::Remove(int index) {
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_LPARAM;
    item.iItem = index;
    if (SendMessageW(box_, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) refs_.erase(item.lParam);
    SendMessageW(box_, CBEM_DELETEITEM, index, 0);
}

void CPathBox::Clear() {
    if (box_)
        for (int i = static_cast<int>(SendMessageW(box_, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i)
            SendMessageW(box_, CBEM_DELETEITEM, i, 0);
    refs_.clear();
}

void CPathBox::Select(FolderNode* folder) {
    const std::wstring path = TrimBlanks(folder->displayPath);
    const int count = static_cast<int>(SendMessageW(box_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const Entry entry = EntryAt(i);
        if ((entry.ref && entry.ref->folder == folder) || EqualsNoCase(TrimBlanks(entry.text), path)) {
            SendMessageW(box_, CB_SETCURSEL, i, 0);
            return;
        }
    }
    std::wstring text = path;
    const LPARAM key = nextKey_++;
    COMBOBOXEXITEMW item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM;
    item.iItem = -1;
    item.pszText = &text[0];
    item.lParam = key;
    const int at = static_cast<int>(SendMessageW(box_, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (at < 0) return;
    refs_[key] = FolderRef(folder);
    SendMessageW(box_, CB_SETCURSEL, at, 0);
}

bool CPathBox::TakeChosen(const ProfileItemRef& current, ProfileItemRef* folder) {
    const int index = static_cast<int>(SendMessageW(box_, CB_GETCURSEL, 0, 0));
    const Entry entry = index >= 0 ? EntryAt(index) : Entry{};
    if (!entry.ref || !entry.ref->IsFolder()) return false;
    const ProfileItemRef target = *entry.ref;
    if (target == current) return false;
    if (!EqualsNoCase(TrimBlanks(entry.text), TrimBlanks(target.folder->displayPath))) Remove(index);
    *folder = target;
    return true;
}

void CPathBox::RemoveEntries(FolderNode* folder) {
    for (int i = static_cast<int>(SendMessageW(box_, CB_GETCOUNT, 0, 0)) - 1; i >= 0; --i) {
        const Entry entry = EntryAt(i);
        if (entry.ref && editor::IsSameOrInside(entry.ref->folder, folder)) Remove(i);
    }
}

void CPathBox::UpdateEntries(FolderNode* folder) {
    const int count = static_cast<int>(SendMessageW(box_, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const Entry entry = EntryAt(i);
        if (!entry.ref || !editor::IsSameOrInside(entry.ref->folder, folder)) continue;
        std::wstring path = TrimBlanks(entry.ref->folder->displayPath);
        if (EqualsNoCase(TrimBlanks(entry.text), path)) continue;
        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = &path[0];
        SendMessageW(box_, CBEM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
}

}  // namespace ordvale::wizard
