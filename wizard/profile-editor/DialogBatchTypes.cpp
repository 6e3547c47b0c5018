#include "DialogBatchTypes.h"

#include <commctrl.h>

#include "RuleBatches.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogBatchTypes::CDialogBatchTypes() : CDialogEx(IDD_BATCH_TYPES) {}

BOOL CDialogBatchTypes::OnInitDialog() {
    CDialogEx::OnInitDialog();
    list_.Attach(Item(IDC_BATCH_TYPES_LIST));
    CheckDlgButton(Handle(), IDC_BATCH_TYPES_SELECT_ALL, BST_CHECKED);
    EnableWindow(Item(IDC_BATCH_TYPES_ADD), FALSE);
    EnableWindow(Item(IDC_BATCH_TYPES_DELETE), FALSE);
    return TRUE;
}

BOOL CDialogBatchTypes::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_BATCH_TYPES_INPUT:
            if (code == EN_CHANGE)
                EnableWindow(Item(IDC_BATCH_TYPES_ADD), !TrimBlanks(ItemText(IDC_BATCH_TYPES_INPUT)).empty());
            return TRUE;
        case IDC_BATCH_TYPES_ADD:
            if (code == BN_CLICKED) AddTyped();
            return TRUE;
        case IDC_BATCH_TYPES_DELETE:
            if (code == BN_CLICKED) {
                list_.DeleteSelected();
                UpdateDelete();
            }
            return TRUE;
        case IDC_BATCH_TYPES_CLEAR:
            if (code == BN_CLICKED) {
                list_.ResetContent();
                UpdateDelete();
            }
            return TRUE;
        case IDC_BATCH_TYPES_SELECT_ALL:
            if (code == BN_CLICKED) {
                const bool checked = IsDlgButtonChecked(Handle(), IDC_BATCH_TYPES_SELECT_ALL) == BST_CHECKED;
                for (int i = 0; i < list_.GetCount(); ++i) list_.SetCheck(i, checked);
            }
            return TRUE;
        case IDOK:
            // Enter in the input adds what was typed; elsewhere it closes.
            if (GetFocus() == Item(IDC_BATCH_TYPES_INPUT)) {
                AddTyped();
            } else {
                OnOK();
            }
            return TRUE;
        default:
            return CDialogEx::OnCommand(id, code, control);
    }
}

BOOL CDialogBatchTypes::OnNotify(NMHDR* header, LRESULT*) {
    if (header->idFrom == IDC_BATCH_TYPES_LIST && header->code == LVN_ITEMCHANGED) UpdateDelete();
    return FALSE;
}

void CDialogBatchTypes::UpdateDelete() {
    EnableWindow(Item(IDC_BATCH_TYPES_DELETE), list_.GetSelCount() > 0);
}

void CDialogBatchTypes::AddTyped() {
    for (const std::wstring& extension : editor::SplitBatchExtensions(ItemText(IDC_BATCH_TYPES_INPUT))) {
        bool listed = false;
        for (int i = 0; i < list_.GetCount() && !listed; ++i) listed = EqualsNoCase(list_.GetText(i), extension);
        if (!listed) list_.AddString(extension, true);
    }
    SetItemText(IDC_BATCH_TYPES_INPUT, L"");
    SetFocus(Item(IDC_BATCH_TYPES_INPUT));
}

void CDialogBatchTypes::OnOK() {
    std::vector<std::wstring> checked;
    for (int i = 0; i < list_.GetCount(); ++i)
        if (list_.GetCheck(i)) checked.push_back(list_.GetText(i));
    if (checked.empty()) {
        win::ShowMessageBox(Handle(), LoadText(IDS_NO_SELECTED_EXTENSIONS), Title(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    extensions = checked;
    End(IDOK);
}

}  // namespace ordvale::wizard
