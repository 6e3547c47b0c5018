#include "DialogBatchNameRules.h"

#include <utility>

#include "FieldControls.h"
#include "FieldFormats.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogBatchNameRules::CDialogBatchNameRules() : CDialogEx(IDD_BATCH_NAME_RULES) {}

BOOL CDialogBatchNameRules::OnInitDialog() {
    CDialogEx::OnInitDialog();
    const struct {
        int id;
        wchar_t c;
    } combos[] = {{IDC_BATCH_NAME_FIRST, first}, {IDC_BATCH_NAME_LAST, last}};
    for (const auto& combo : combos) {
        editor::FillCharCombo(Item(combo.id));
        editor::SelectCharInCombo(Item(combo.id), combo.c);
    }
    SetItemText(IDC_BATCH_NAME_PARTS, std::to_wstring(parts));
    CheckDlgButton(Handle(), IDC_BATCH_NAME_FOLDERS, createFolders ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

BOOL CDialogBatchNameRules::OnCommand(WORD id, WORD code, HWND control) {
    if (id != IDOK) return CDialogEx::OnCommand(id, code, control);
    OnOK();
    return TRUE;
}

void CDialogBatchNameRules::OnOK() {
    int count = 0;
    if (const UINT problem = editor::ReadPartCount(ItemText(IDC_BATCH_NAME_PARTS), &count)) {
        win::ShowMessageBox(Handle(), LoadText(problem), LoadText(IDS_PRODUCT_NAME), MB_OK | MB_ICONEXCLAMATION);
        SendDlgItemMessageW(Handle(), IDC_BATCH_NAME_PARTS, EM_SETSEL, 0, -1);
        SetFocus(Item(IDC_BATCH_NAME_PARTS));
        return;
    }
    parts = count;
    // A list without a selection keeps the character it started with.
    editor::ComboChar(Item(IDC_BATCH_NAME_FIRST), &first);
    editor::ComboChar(Item(IDC_BATCH_NAME_LAST), &last);
    if (last < first) std::swap(first, last);
    createFolders = IsDlgButtonChecked(Handle(), IDC_BATCH_NAME_FOLDERS) == BST_CHECKED;
    End(IDOK);
}

}  // namespace ordvale::wizard
