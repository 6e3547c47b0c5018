#include "DialogNewType.h"

#include "RuleEdits.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogNewType::CDialogNewType() : CDialogEx(IDD_NEW_TYPE) {}

BOOL CDialogNewType::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    return CDialogEx::OnCommand(id, code, control);
}

void CDialogNewType::OnOK() {
    const editor::ModuleTexts texts(Module());
    std::wstring normalized;
    if (!editor::ConfirmExtension({texts, Handle(), Title()}, ItemText(IDC_NEW_TYPE_EXTENSION), &normalized)) {
        SendDlgItemMessageW(Handle(), IDC_NEW_TYPE_EXTENSION, EM_SETSEL, 0, -1);
        SetFocus(Item(IDC_NEW_TYPE_EXTENSION));
        return;
    }
    extension = normalized;
    End(IDOK);
}

}  // namespace ordvale::wizard
