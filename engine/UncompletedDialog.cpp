#include "engine/UncompletedDialog.h"

#include <shellapi.h>

#include "common/win/MessageBox.h"
#include "engine/resource.h"

namespace ordvale {

CDialogUncompleted::CDialogUncompleted(EngineContext* context)
    : CDialog(IDD_UNCOMPLETED), context_(context) {}

CDialogUncompleted::~CDialogUncompleted() {
    if (images_) ImageList_Destroy(images_);
}

BOOL CDialogUncompleted::OnInitDialog() {
    HICON warning = static_cast<HICON>(LoadImageW(Module(), MAKEINTRESOURCEW(IDI_UNCOMPLETED),
                                                  IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    SendDlgItemMessageW(Handle(), IDC_UNCOMPLETED_ICON, STM_SETICON, reinterpret_cast<WPARAM>(warning), 0);

    HWND list = Item(IDC_UNCOMPLETED_LIST);
    std::wstring fileObject = LoadText(IDS_COLUMN_FILE_OBJECT);
    std::wstring operation = LoadText(IDS_COLUMN_OPERATION);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = &fileObject[0];
    column.cx = 295;
    ListView_InsertColumn(list, 0, &column);
    column.pszText = &operation[0];
    column.cx = 65;
    ListView_InsertColumn(list, 1, &column);
    ListView_SetExtendedListViewStyle(
        list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_LABELTIP);

    images_ = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8);
    ListView_SetImageList(list, images_, LVSIL_SMALL);
    Fill();
    return TRUE;
}

void CDialogUncompleted::Fill() {
    filling_ = true;
    HWND list = Item(IDC_UNCOMPLETED_LIST);
    ListView_DeleteAllItems(list);
    ImageList_RemoveAll(images_);
    rows_.clear();
    for (const auto& op : context_->operations) {
        if (Is(*op, OperationStatus::Succeeded)) continue;
        SHFILEINFOW info = {};
        int image = -1;
        if (SHGetFileInfoW(op->source.path, 0, &info, sizeof(info), SHGFI_ICON | SHGFI_SMALLICON) && info.hIcon) {
            image = ImageList_AddIcon(images_, info.hIcon);
            DestroyIcon(info.hIcon);
        }
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = static_cast<int>(rows_.size());
        item.pszText = op->source.path;
        item.iImage = image;
        item.lParam = reinterpret_cast<LPARAM>(op.get());
        int row = ListView_InsertItem(list, &item);
        std::wstring kind = LoadText(KindNameId(op->kind));
        ListView_SetItemText(list, row, 1, &kind[0]);
        ListView_SetCheckState(list, row, FALSE);
        rows_.push_back(op.get());
    }
    CheckDlgButton(Handle(), IDC_IGNORE_ALL, BST_UNCHECKED);
    filling_ = false;
}

void CDialogUncompleted::SyncIgnoreAll() {
    HWND list = Item(IDC_UNCOMPLETED_LIST);
    bool allTicked = true;
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row)
        if (!ListView_GetCheckState(list, row)) allTicked = false;
    CheckDlgButton(Handle(), IDC_IGNORE_ALL, allTicked ? BST_CHECKED : BST_UNCHECKED);
}

void CDialogUncompleted::AskToCancel() {
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
            if (code == BN_CLICKED) {
                BOOL ticked = IsDlgButtonChecked(Handle(), IDC_IGNORE_ALL) == BST_CHECKED;
                HWND list = Item(IDC_UNCOMPLETED_LIST);
                for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
                    ListView_SetCheckState(list, row, ticked);
                    SetStatus(rows_[row], ticked ? OperationStatus::Succeeded : OperationStatus::Unknown);
                }
            }
            return TRUE;
    }
    return FALSE;
}

BOOL CDialogUncompleted::OnNotify(NMHDR* header, LRESULT*) {
    if (header->idFrom != IDC_UNCOMPLETED_LIST) return FALSE;
    if (header->code == LVN_ITEMCHANGED) {
        auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (filling_ || !(change->uChanged & LVIF_STATE) ||
            ((change->uNewState ^ change->uOldState) & LVIS_STATEIMAGEMASK) == 0 ||
            change->iItem < 0 || change->iItem >= static_cast<int>(rows_.size()))
            return FALSE;
        bool ticked = ListView_GetCheckState(header->hwndFrom, change->iItem) != 0;
        SetStatus(rows_[change->iItem], ticked ? OperationStatus::Succeeded : OperationStatus::Unknown);
        SyncIgnoreAll();
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
