#include "engine/UncompletedDialog.h"

#include <algorithm>
#include <cwchar>

#include "common/win/Dpi.h"
#include "common/win/MessageBox.h"
#include "engine/Foreground.h"
#include "engine/TypeIcons.h"
#include "engine/resource.h"

namespace ordvale {

CDialogUncompleted::CDialogUncompleted(EngineContext* context)
    : CDialog(IDD_UNCOMPLETED), context_(context) {}

BOOL CDialogUncompleted::OnInitDialog() {
    const UINT dpi = win::WindowDpi(Handle());
    warning_.Reset(win::LoadIconAtSize(Module(), MAKEINTRESOURCEW(IDI_UNCOMPLETED), win::LargeIconSize(dpi)));
    SendDlgItemMessageW(Handle(), IDC_UNCOMPLETED_ICON, STM_SETICON, reinterpret_cast<WPARAM>(warning_.Get()), 0);

    HWND list = Item(IDC_UNCOMPLETED_LIST);
    std::wstring fileObject = LoadText(IDS_COLUMN_FILE_OBJECT);
    std::wstring operation = LoadText(IDS_COLUMN_OPERATION);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = &fileObject[0];
    column.cx = win::ScaleForDpi(295, dpi);
    ListView_InsertColumn(list, 0, &column);
    column.pszText = &operation[0];
    column.cx = win::ScaleForDpi(65, dpi);
    ListView_InsertColumn(list, 1, &column);
    ListView_SetExtendedListViewStyle(
        list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP);

    const int small = win::SmallIconSize(dpi);
    images_.Reset(ImageList_Create(small, small, ILC_COLOR32 | ILC_MASK, 8, 8));
    ListView_SetImageList(list, images_.Get(), LVSIL_SMALL);
    Fill();
    BringToFront(Handle());
    return TRUE;
}

int CDialogUncompleted::ImageFor(const ShellItem& item) {
    const std::wstring key = IconTypeKey(item);
    if (!key.empty()) {
        auto found = imageOfType_.find(key);
        if (found != imageOfType_.end()) return found->second;
    }
    win::UniqueIcon icon(LoadShellIcon(item.path.str(), key, true));
    const int image = icon ? ImageList_AddIcon(images_.Get(), icon.Get()) : -1;
    if (!key.empty()) imageOfType_.emplace(key, image);
    return image;
}

std::wstring CDialogUncompleted::KindName(int32_t kind) const {
    return LoadText(KindNameId(kind));
}

void CDialogUncompleted::Fill() {
    bulkChange_ = true;
    HWND list = Item(IDC_UNCOMPLETED_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ListView_DeleteAllItems(list);
    ImageList_RemoveAll(images_.Get());
    imageOfType_.clear();
    rows_.clear();
    ListView_SetItemCount(list, static_cast<int>(context_->operations.size()));
    for (const auto& op : context_->operations) {
        if (Is(*op, OperationStatus::Succeeded)) continue;
        // Rows start unticked; the texts are asked for when shown.
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE | LVIF_STATE;
        item.iItem = static_cast<int>(rows_.size());
        item.pszText = LPSTR_TEXTCALLBACKW;
        item.iImage = ImageFor(op->source);
        item.lParam = reinterpret_cast<LPARAM>(op.get());
        item.state = INDEXTOSTATEIMAGEMASK(1);
        item.stateMask = LVIS_STATEIMAGEMASK;
        const int row = ListView_InsertItem(list, &item);
        ListView_SetItemText(list, row, 1, LPSTR_TEXTCALLBACKW);
        rows_.push_back(op.get());
    }
    CheckDlgButton(Handle(), IDC_IGNORE_ALL, BST_UNCHECKED);
    SizeColumns();
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    bulkChange_ = false;
}

// The operation column as wide as its widest text, header included; the
// path column takes the rest of the list, or more for a longer path.
void CDialogUncompleted::SizeColumns() {
    HWND list = Item(IDC_UNCOMPLETED_LIST);
    constexpr int kTextMargin = 16;  // the list's own padding around a text
    std::wstring header = LoadText(IDS_COLUMN_OPERATION);
    int operation = ListView_GetStringWidth(list, header.c_str()) + kTextMargin;
    std::vector<int32_t> kinds;
    for (const Operation* op : rows_)
        if (std::find(kinds.begin(), kinds.end(), op->kind) == kinds.end()) kinds.push_back(op->kind);
    for (int32_t kind : kinds) {
        const std::wstring name = KindName(kind);
        operation = std::max(operation, ListView_GetStringWidth(list, name.c_str()) + kTextMargin);
    }
    ListView_SetColumnWidth(list, 1, operation);

    // The longest path measured, with room for the check box and the icon.
    const Operation* longest = nullptr;
    for (const Operation* op : rows_)
        if (!longest || wcslen(op->source.path) > wcslen(longest->source.path)) longest = op;
    int path = 0;
    if (longest) {
        const UINT dpi = win::WindowDpi(list);
        const int boxAndIcon = 2 * win::SmallIconSize(dpi) + win::ScaleForDpi(8, dpi);
        path = ListView_GetStringWidth(list, longest->source.path) + kTextMargin + boxAndIcon;
    }
    RECT client = {};
    GetClientRect(list, &client);
    ListView_SetColumnWidth(list, 0, std::max<int>(path, client.right - client.left - operation));
}

void CDialogUncompleted::SetAllTicked(bool ticked) {
    bulkChange_ = true;
    HWND list = Item(IDC_UNCOMPLETED_LIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    // One change for every row at once (item -1).
    ListView_SetCheckState(list, -1, ticked ? TRUE : FALSE);
    for (Operation* op : rows_) SetStatus(op, ticked ? OperationStatus::Succeeded : OperationStatus::Unknown);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    bulkChange_ = false;
    SyncIgnoreAll();
}

void CDialogUncompleted::SyncIgnoreAll() {
    HWND list = Item(IDC_UNCOMPLETED_LIST);
    bool allTicked = true;
    for (int row = 0; row < static_cast<int>(rows_.size()) && allTicked; ++row)
        if (!ListView_GetCheckState(list, row)) allTicked = false;
    CheckDlgButton(Handle(), IDC_IGNORE_ALL, allTicked ? BST_CHECKED : BST_UNCHECKED);
}

void CDialogUncompleted::AskToCancel() {
    BringToFront(Handle());
    if (win::ShowMessageBox(Handle(), LoadText(IDS_ABORT_QUESTION), Title(),
                            MB_YESNO | MB_ICONWARNING) == IDYES)
        End(IDCANCEL);
}

BOOL CDialogUncompleted::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDRETRY:
            End(IDRETRY);
            return TRUE;
        case IDCANCEL:
            AskToCancel();
            return TRUE;
        case IDC_IGNORE_ALL:
            if (code == BN_CLICKED) SetAllTicked(IsDlgButtonChecked(Handle(), IDC_IGNORE_ALL) == BST_CHECKED);
            return TRUE;
    }
    return FALSE;
}

BOOL CDialogUncompleted::OnNotify(NMHDR* header, LRESULT*) {
    if (header->idFrom != IDC_UNCOMPLETED_LIST) return FALSE;
    if (header->code == LVN_ITEMCHANGED) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (bulkChange_ || !(change->uChanged & LVIF_STATE) ||
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) == 0 ||
            change->iItem < 0 || change->iItem >= static_cast<int>(rows_.size()))
            return FALSE;
        bool ticked = ListView_GetCheckState(header->hwndFrom, change->iItem) != 0;
        SetStatus(rows_[change->iItem], ticked ? OperationStatus::Succeeded : OperationStatus::Unknown);
        SyncIgnoreAll();
        return TRUE;
    }
    if (header->code == LVN_GETDISPINFOW) {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
        const int row = info->item.iItem;
        if (!(info->item.mask & LVIF_TEXT) || row < 0 || row >= static_cast<int>(rows_.size()) ||
            info->item.cchTextMax <= 0)
            return TRUE;
        const std::wstring text =
            info->item.iSubItem == 0 ? std::wstring(rows_[row]->source.path) : KindName(rows_[row]->kind);
        lstrcpynW(info->item.pszText, text.c_str(), info->item.cchTextMax);
        return TRUE;
    }
    if (header->code == LVN_GETINFOTIPW) {
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(header);
        if (tip->iItem >= 0 && tip->iItem < static_cast<int>(rows_.size()) && tip->cchTextMax > 0) {
            lstrcpynW(tip->pszText, rows_[tip->iItem]->source.path, tip->cchTextMax);
        }
        return TRUE;
    }
    return FALSE;
}

}  // namespace ordvale
