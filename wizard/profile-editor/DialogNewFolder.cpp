#include "DialogNewFolder.h"

#include "FieldFormats.h"
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
        Refuse(IDS_FOLDER_NAME_INVALID, IDC_NEW_FOLDER_NAME);
        return;
    }
    const bool full = IsDlgButtonChecked(Handle(), IDC_NEW_FOLDER_FULL) == BST_CHECKED;
    const std::wstring path = TrimBlanks(browse_.Text());
    // A full location is used by a tidy run only when it is an absolute path on a drive.
    if (full && (path.empty() || !editor::IsAbsoluteDrivePath(path))) {
        Refuse(path.empty() ? IDS_NEW_FOLDER_PATH_EMPTY : IDS_NOT_ABSOLUTE_PATH, IDC_NEW_FOLDER_LOCATION);
        return;
    }
    name = typed;
    location = full ? browse_.Text() : std::wstring();
    End(IDOK);
}

void CDialogNewFolder::Refuse(UINT message, int field) {
    win::ShowMessageBox(Handle(), LoadText(message), Title(), MB_OK | MB_ICONEXCLAMATION);
    SendDlgItemMessageW(Handle(), field, EM_SETSEL, 0, -1);
    SetFocus(Item(field));
}

}  // namespace ordvale::wizard
