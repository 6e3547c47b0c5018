#include "DialogNewFolder.h"

#include "Placement.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogNewFolder::CDialogNewFolder() : CDialogEx(IDD_NEW_FOLDER) {}

BOOL CDialogNewFolder::OnInitDialog() {
    CDialogEx::OnInitDialog();
    browse_.Attach(Item(IDC_NEW_FOLDER_LOCATION), Item(IDC_NEW_FOLDER_BROWSE));
    CheckRadioButton(Handle(), IDC_NEW_FOLDER_RELATIVE, IDC_NEW_FOLDER_FULL, IDC_NEW_FOLDER_RELATIVE);
    EnableWindow(Item(IDC_NEW_FOLDER_LOCATION), FALSE);
    EnableWindow(Item(IDC_NEW_FOLDER_BROWSE), FALSE);
    return TRUE;
}

BOOL CDialogNewFolder::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_NEW_FOLDER_RELATIVE:
        case IDC_NEW_FOLDER_FULL:
            if (code == BN_CLICKED) {
                const bool full = id == IDC_NEW_FOLDER_FULL;
                EnableWindow(Item(IDC_NEW_FOLDER_LOCATION), full);
                EnableWindow(Item(IDC_NEW_FOLDER_BROWSE), full);
            }
            return TRUE;
        case IDC_NEW_FOLDER_BROWSE:
            if (code == BN_CLICKED) browse_.OnBrowse();
            return TRUE;
        case IDOK:
            OnOK();
            return TRUE;
        default:
            return CDialogEx::OnCommand(id, code, control);
    }
}

void CDialogNewFolder::OnOK() {
    const std::wstring typed = ItemText(IDC_NEW_FOLDER_NAME);
    if (!editor::ValidateFolderName(typed)) {
        win::ShowMessageBox(Handle(), LoadText(IDS_FOLDER_NAME_INVALID), Title(), MB_OK | MB_ICONEXCLAMATION);
        SetFocus(Item(IDC_NEW_FOLDER_NAME));
        return;
    }
    const bool full = IsDlgButtonChecked(Handle(), IDC_NEW_FOLDER_FULL) == BST_CHECKED;
    const std::wstring path = TrimBlanks(browse_.Text());
    if (full && path.empty()) {
        win::ShowMessageBox(Handle(), LoadText(IDS_NEW_FOLDER_PATH_EMPTY), Title(), MB_OK | MB_ICONEXCLAMATION);
        SetFocus(Item(IDC_NEW_FOLDER_LOCATION));
        return;
    }
    name = typed;
    location = full ? browse_.Text() : std::wstring();
    End(IDOK);
}

}  // namespace ordvale::wizard
