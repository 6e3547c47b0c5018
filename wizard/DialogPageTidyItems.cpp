#include "DialogPageTidyItems.h"

#include <shlobj.h>
#include <shobjidl.h>

#include "Icons.h"
#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogPageTidyItems::CDialogPageTidyItems() : CDialogEx(IDD_PAGE_ITEMS, true, IDC_ITEMS_TITLE) {}

CDialogPageTidyItems::~CDialogPageTidyItems() = default;

BOOL CDialogPageTidyItems::OnInitDialog() {
    CDialogEx::OnInitDialog();
    HWND list = List();
    // The list view owns its small images (it does not share them) and
    // destroys them with itself; the page only adds to them.
    const UINT dpi = Dpi();
    iconSize_ = win::SmallIconSize(dpi);
    smallImages_ = ImageList_Create(iconSize_, iconSize_, ILC_COLOR32 | ILC_MASK, 0, 4);
    RECT client = {};
    GetClientRect(list, &client);
    std::wstring caption = LoadText(IDS_FILES_COLUMN);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = &caption[0];
    // As wide as the list leaves beside a vertical scroll bar.
    column.cx = client.right - client.left - win::SystemMetricForDpi(SM_CXVSCROLL, dpi) - 1;
    ListView_InsertColumn(list, 0, &column);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
    ListView_SetImageList(list, smallImages_, LVSIL_SMALL);
    dropTarget_.Attach(list, this);
    EnableWindow(Item(IDC_DELETE), FALSE);
    return TRUE;
}

std::vector<std::wstring> CDialogPageTidyItems::Rows() const {
    std::vector<std::wstring> rows;
    HWND list = List();
    int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        wchar_t text[260] = {};
        ListView_GetItemText(list, i, 0, text, 260);
        rows.push_back(text);
    }
    return rows;
}

void CDialogPageTidyItems::AddPath(const wchar_t* path) {
    if (!path || !*path) return;
    if (ContainsRow(Rows(), path)) return;
    std::wstring text = CutToField(path);
    const win::UniqueIcon icon = ShellSmallIcon(text.c_str(), iconSize_);
    const int image = icon ? ImageList_AddIcon(smallImages_, icon.Get()) : -1;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(List());
    item.pszText = &text[0];
    item.iImage = image;
    ListView_InsertItem(List(), &item);
}

void CDialogPageTidyItems::ReloadIcons() {
    iconSize_ = win::SmallIconSize(Dpi());
    smallImages_ = ImageList_Create(iconSize_, iconSize_, ILC_COLOR32 | ILC_MASK, 0, 4);
    // The list gives back the list it showed, which is then no one's but ours.
    win::UniqueImageList before(ListView_SetImageList(List(), smallImages_, LVSIL_SMALL));
    const std::vector<std::wstring> rows = Rows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        const win::UniqueIcon icon = ShellSmallIcon(rows[i].c_str(), iconSize_);
        LVITEMW item = {};
        item.mask = LVIF_IMAGE;
        item.iItem = i;
        item.iImage = icon ? ImageList_AddIcon(smallImages_, icon.Get()) : -1;
        ListView_SetItem(List(), &item);
    }
}

void CDialogPageTidyItems::ApplyDpi(UINT dpi) {
    if (dpi == Dpi()) return;
    CDialogEx::ApplyDpi(dpi);
    ReloadIcons();
}

void CDialogPageTidyItems::AddFolderContents(const std::wstring& picked) {
    std::wstring folder = picked;
    while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    const std::wstring pattern = CutToField(FillTemplate(L"%s\\*", {folder.c_str()}));
    WIN32_FIND_DATAW found = {};
    HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
        AddPath(CutToField(FillTemplate(L"%s\\%s", {folder.c_str(), found.cFileName})).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
}

void CDialogPageTidyItems::DeleteSelected() {
    HWND list = List();
    if (ListView_GetSelectedCount(list) == 0) return;
    for (int i = ListView_GetItemCount(list) - 1; i >= 0; --i)
        if (ListView_GetItemState(list, i, LVIS_SELECTED) & LVIS_SELECTED) ListView_DeleteItem(list, i);
    UpdateDeleteButton();
}

void CDialogPageTidyItems::DeleteAll() {
    ListView_DeleteAllItems(List());
    UpdateDeleteButton();
}

void CDialogPageTidyItems::SelectAll() {
    ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
}

void CDialogPageTidyItems::UpdateDeleteButton() {
    EnableWindow(Item(IDC_DELETE), ListView_GetSelectedCount(List()) > 0);
}

void CDialogPageTidyItems::AddFiles() {
    win::ComPtr<IFileOpenDialog> dialog;
    if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(dialog.Put()))))
        return;
    DWORD options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_NODEREFERENCELINKS | FOS_FORCEFILESYSTEM);
    COMDLG_FILTERSPEC filter = {L"*.*", L"*.*"};
    dialog->SetFileTypes(1, &filter);
    if (FAILED(dialog->Show(Handle()))) return;
    win::ComPtr<IShellItemArray> items;
    if (FAILED(dialog->GetResults(items.Put()))) return;
    DWORD count = 0;
    items->GetCount(&count);
    for (DWORD i = 0; i < count; ++i) {
        win::ComPtr<IShellItem> item;
        if (FAILED(items->GetItemAt(i, item.Put()))) continue;
        PWSTR path = nullptr;
        if (SUCCEEDED(item->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
            AddPath(path);
            CoTaskMemFree(path);
        }
    }
}

BOOL CDialogPageTidyItems::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
        case IDC_ADD_FILES:
            AddFiles();
            return TRUE;
        case IDC_ADD_FOLDER: {
            std::wstring folder = BrowseForFolder(Handle(), std::wstring());
            if (!folder.empty() && FolderExists(folder)) AddFolderContents(folder);
            return TRUE;
        }
        case IDC_DELETE:
            DeleteSelected();
            return TRUE;
        case IDC_DELETE_ALL:
            DeleteAll();
            return TRUE;
    }
    return FALSE;
}

BOOL CDialogPageTidyItems::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_ITEMS_LIST) return FALSE;
    switch (header->code) {
        case LVN_ITEMCHANGED:
            UpdateDeleteButton();
            return FALSE;
        case LVN_KEYDOWN: {
            auto* key = reinterpret_cast<NMLVKEYDOWN*>(header);
            if (key->wVKey == VK_DELETE) DeleteSelected();
            if (key->wVKey == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) SelectAll();
            return FALSE;
        }
        case LVN_GETINFOTIPW: {
            auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
            LVHITTESTINFO hit = {};
            GetCursorPos(&hit.pt);
            ScreenToClient(List(), &hit.pt);
            int row = ListView_HitTest(List(), &hit);
            if (row >= 0 && tip->pszText && tip->cchTextMax > 0) {
                wchar_t text[260] = {};
                ListView_GetItemText(List(), row, 0, text, 260);
                lstrcpynW(tip->pszText, text, tip->cchTextMax);
            }
            *result = 0;
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace ordvale::wizard
