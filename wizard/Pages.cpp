#include "Pages.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "resource.h"

namespace ordvale::wizard {

HICON LoadSizedIcon(HINSTANCE module, int id, int size) {
    return static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

HICON ShellSmallIcon(const wchar_t* path) {
    SHFILEINFOW info = {};
    if (!SHGetFileInfoW(path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON)) return nullptr;
    return info.hIcon;
}

namespace {
HIMAGELIST MakeImageList(HINSTANCE module, int size, std::initializer_list<int> icons, int grow = 0) {
    HIMAGELIST list = ImageList_Create(size, size, ILC_COLOR32 | ILC_MASK, static_cast<int>(icons.size()), grow);
    for (int id : icons) {
        HICON icon = LoadSizedIcon(module, id, size);
        ImageList_AddIcon(list, icon);
        if (icon) DestroyIcon(icon);
    }
    return list;
}
}  // namespace

// ---- Target page ----

CDialogPageTidyTarget::CDialogPageTidyTarget() : CDialogEx(IDD_PAGE_TARGET, true, IDC_TARGET_TITLE) {}

CDialogPageTidyTarget::~CDialogPageTidyTarget() {
    if (images_) ImageList_Destroy(images_);
}

BOOL CDialogPageTidyTarget::OnInitDialog() {
    CDialogEx::OnInitDialog();
    images_ = MakeImageList(Module(), 64, {IDI_LINK_DESKTOP, IDI_LINK_FOLDER, IDI_LINK_SELECTION});
    static const int notes[] = {IDS_NOTE_DESKTOP, IDS_NOTE_FOLDER, IDS_NOTE_SELECTION};
    for (int i = 0; i < 3; ++i) {
        links_[i].Attach(Item(IDC_LINK_DESKTOP + i));
        links_[i].SetIcon(ImageList_GetIcon(images_, i, ILD_NORMAL));
        links_[i].SetIconSize(64);
        links_[i].SetNote(LoadText(notes[i]).c_str());
    }
    return TRUE;
}

BOOL CDialogPageTidyTarget::OnCommand(WORD id, WORD code, HWND) {
    if (code == BN_CLICKED && id >= IDC_LINK_DESKTOP && id <= IDC_LINK_SELECTION) {
        SendMessageW(GetParent(Handle()), WM_TARGET_CHOSEN, id - IDC_LINK_DESKTOP, 0);
        return TRUE;
    }
    return FALSE;
}

BOOL CDialogPageTidyTarget::OnMessage(UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
    if (message == WM_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        for (auto& link : links_) {
            if (link.Handle() == item->hwndItem) {
                link.DrawItem(item);
                *result = TRUE;
                return TRUE;
            }
        }
    }
    return FALSE;
}

// ---- Items page ----

void CDragDropListCtrl::Attach(HWND list, CDialogPageTidyItems* page) {
    page_ = page;
    DragAcceptFiles(list, TRUE);
    SetWindowSubclass(list, ListProc, 1, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK CDragDropListCtrl::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                             DWORD_PTR data) {
    auto* self = reinterpret_cast<CDragDropListCtrl*>(data);
    if (message == WM_DROPFILES) {
        HDROP drop = reinterpret_cast<HDROP>(wParam);
        UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            wchar_t path[260] = {};
            DragQueryFileW(drop, i, path, 260);
            if (self->page_) self->page_->AddPath(path);
        }
        DragFinish(drop);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, ListProc, 1);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

CDialogPageTidyItems::CDialogPageTidyItems() : CDialogEx(IDD_PAGE_ITEMS, true, IDC_ITEMS_TITLE) {}

CDialogPageTidyItems::~CDialogPageTidyItems() {
    if (smallImages_) ImageList_Destroy(smallImages_);
}

BOOL CDialogPageTidyItems::OnInitDialog() {
    CDialogEx::OnInitDialog();
    HWND list = List();
    smallImages_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 4);
    RECT client = {};
    GetClientRect(list, &client);
    std::wstring caption = LoadText(IDS_FILES_COLUMN);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = &caption[0];
    column.cx = client.right - client.left - 18;
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
    HICON icon = ShellSmallIcon(text.c_str());
    int image = ImageList_AddIcon(smallImages_, icon);
    if (icon) DestroyIcon(icon);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = ListView_GetItemCount(List());
    item.pszText = &text[0];
    item.iImage = image;
    ListView_InsertItem(List(), &item);
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

// ---- Method page ----

CDialogPageTidyMethod::CDialogPageTidyMethod() : CDialogEx(IDD_PAGE_METHOD, true, IDC_METHOD_TITLE) {}

CDialogPageTidyMethod::~CDialogPageTidyMethod() {
    if (images_) ImageList_Destroy(images_);
}

BOOL CDialogPageTidyMethod::OnInitDialog() {
    CDialogEx::OnInitDialog();
    images_ = MakeImageList(Module(), 32, {IDI_METHOD_TYPE, IDI_METHOD_NAME, IDI_METHOD_SIZE, IDI_METHOD_TIME});
    for (int i = 0; i < 4; ++i)
        SendDlgItemMessageW(Handle(), IDC_METHOD_ICON_FIRST + i, STM_SETICON,
                            reinterpret_cast<WPARAM>(ImageList_GetIcon(images_, i, ILD_NORMAL)), 0);
    return TRUE;
}

void CDialogPageTidyMethod::CheckMethod(int method) {
    const int position = PositionForMethod(method);
    for (int i = 0; i < 4; ++i) CheckDlgButton(Handle(), IDC_METHOD_TYPE + i, i == position ? BST_CHECKED : BST_UNCHECKED);
}

BOOL CDialogPageTidyMethod::OnCommand(WORD id, WORD code, HWND) {
    if (code != BN_CLICKED || id < IDC_METHOD_TYPE || id > IDC_METHOD_TIME) return FALSE;
    int position = 0;
    for (int i = 0; i < 4; ++i) {
        if (IsDlgButtonChecked(Handle(), IDC_METHOD_TYPE + i) == BST_CHECKED) {
            position = i;
            break;
        }
    }
    SendMessageW(GetParent(Handle()), WM_METHOD_CHOSEN, position, 0);
    return TRUE;
}

// ---- Summary page ----

CDialogPageTidySummary::CDialogPageTidySummary() : CDialogEx(IDD_PAGE_SUMMARY, true, IDC_SUMMARY_TITLE) {}

CDialogPageTidySummary::~CDialogPageTidySummary() {
    if (images_) ImageList_Destroy(images_);
}

BOOL CDialogPageTidySummary::OnInitDialog() {
    CDialogEx::OnInitDialog();
    images_ = MakeImageList(Module(), 16, {IDI_METHOD_TYPE, IDI_METHOD_NAME, IDI_METHOD_SIZE, IDI_METHOD_TIME});
    destination_.Attach(Item(IDC_DESTINATION), Item(IDC_DESTINATION_BROWSE));
    return TRUE;
}

void CDialogPageTidySummary::SetIcon(int id, HICON icon) {
    HICON old = reinterpret_cast<HICON>(SendDlgItemMessageW(Handle(), id, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
    if (old && old != icon) DestroyIcon(old);
}

void CDialogPageTidySummary::RefreshSummary(const TidyJob& job) {
    auto link = [](const std::wstring& text) { return FillTemplate(L"<a>%s</a>", {text.c_str()}).substr(0, 291); };
    switch (static_cast<TidyTarget>(job.target)) {
        case TidyTarget::Desktop: {
            SetItemText(IDC_TARGET_LINK, link(LoadText(IDS_DESKTOP)));
            SHFILEINFOW info = {};
            PIDLIST_ABSOLUTE desktop = nullptr;
            if (SUCCEEDED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop))) {
                if (SHGetFileInfoW(reinterpret_cast<LPCWSTR>(desktop), 0, &info, sizeof(info),
                                   SHGFI_PIDL | SHGFI_ICON | SHGFI_SMALLICON))
                    SetIcon(IDC_TARGET_ICON, info.hIcon);
                CoTaskMemFree(desktop);
            }
            break;
        }
        case TidyTarget::Folder:
            SetItemText(IDC_TARGET_LINK, link(job.folder));
            SetIcon(IDC_TARGET_ICON, ShellSmallIcon(job.folder));
            break;
        case TidyTarget::Selection:
            SetItemText(IDC_TARGET_LINK, link(LoadText(IDS_CUSTOM)));
            if (job.itemCount > 0) SetIcon(IDC_TARGET_ICON, ShellSmallIcon(job.items[0].text));
            break;
        default:
            break;
    }
    int image = -1;
    UINT text = 0;
    switch (job.method) {
        case 1: text = IDS_FILE_TYPE; image = 0; break;
        case 2: text = IDS_FILE_TIME; image = 3; break;
        case 3: text = IDS_FILE_SIZE; image = 2; break;
        case 4: text = IDS_FILE_NAME; image = 1; break;
    }
    SetItemText(IDC_METHOD_LINK, link(text ? LoadText(text) : std::wstring()));
    SetIcon(IDC_METHOD_ICON, image >= 0 ? ImageList_GetIcon(images_, image, ILD_NORMAL) : nullptr);
    SetItemText(IDC_PROFILE_LINK, link(job.profileName));
    SetIcon(IDC_PROFILE_ICON, LoadSizedIcon(Module(), IDI_PROFILE, 16));
    destination_.SetText(job.destination[0] ? std::wstring(job.destination) : DefaultDestination(&job));
}

BOOL CDialogPageTidySummary::OnCommand(WORD id, WORD code, HWND) {
    if (id == IDC_DESTINATION_BROWSE && code == BN_CLICKED) {
        destination_.OnBrowse();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialogPageTidySummary::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->code != NM_CLICK && header->code != NM_RETURN) return FALSE;
    HWND frame = GetParent(Handle());
    switch (header->idFrom) {
        case IDC_TARGET_LINK: SendMessageW(frame, WM_GO_TO_PAGE, 0, 0); break;
        case IDC_METHOD_LINK: SendMessageW(frame, WM_GO_TO_PAGE, 2, 0); break;
        case IDC_PROFILE_LINK: SendMessageW(frame, WM_GO_TO_PAGE, 3, 0); break;
        case IDC_RESET_LINK: SendMessageW(frame, WM_RESET_DESTINATION, 0, 0); break;
        default: return FALSE;
    }
    *result = TRUE;
    return TRUE;
}

}  // namespace ordvale::wizard
