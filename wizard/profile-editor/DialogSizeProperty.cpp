#include "DialogSizeProperty.h"

#include "common/ConfigureType.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogSizeProperty::CDialogSizeProperty() : CProfilePane(IDD_SIZE_PROPERTY) {}

BOOL CDialogSizeProperty::OnInitDialog() {
    CDialogEx::OnInitDialog();
    lower_ = editor::SizeField(Item(IDC_SIZE_PANE_LOWER), Item(IDC_SIZE_PANE_LOWER_SPIN), Item(IDC_SIZE_PANE_LOWER_UNIT));
    upper_ = editor::SizeField(Item(IDC_SIZE_PANE_UPPER), Item(IDC_SIZE_PANE_UPPER_SPIN), Item(IDC_SIZE_PANE_UPPER_UNIT));
    const editor::ModuleTexts texts(Module());
    filling_ = true;
    lower_.Prepare(texts, true);
    upper_.Prepare(texts, true);
    filling_ = false;
    TakeEnter({IDC_SIZE_PANE_LOWER, IDC_SIZE_PANE_UPPER}, IDC_SIZE_PANE_UPDATE);
    Clear();
    return TRUE;
}

void CDialogSizeProperty::Clear() {
    filling_ = true;
    for (editor::SizeField* field : {&lower_, &upper_}) {
        SetWindowTextW(field->Edit(), L"0");
        SendMessageW(field->Unit(), CB_SETCURSEL, 0, 0);
        field->Enable(false);
    }
    EnableUpdate(false);
    filling_ = false;
}

void CDialogSizeProperty::Fill(const SizePaneFill& fill) {
    Clear();
    filling_ = true;
    SetIcon(IDC_SIZE_PANE_ICON, fill.icon);
    if (fill.kind == kSizeRange) {
        lower_.Show(fill.lower, L"0");
        upper_.Show(fill.upper, L"0");
        lower_.Enable(true);
        upper_.Enable(true);
    }
    filling_ = false;
}

void CDialogSizeProperty::EnableUpdate(bool enable) const {
    EnableWindow(Item(IDC_SIZE_PANE_UPDATE), enable);
}

void CDialogSizeProperty::FocusFirstField() const {
    if (!IsWindowEnabled(lower_.Edit())) {
        SetFocus(lower_.Unit());
        return;
    }
    FocusBound(true);
}

void CDialogSizeProperty::FocusBound(bool lower) const {
    HWND edit = (lower ? lower_ : upper_).Edit();
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
}

BOOL CDialogSizeProperty::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDC_SIZE_PANE_LOWER:
        case IDC_SIZE_PANE_UPPER:
            if (code == EN_CHANGE && !filling_) Notify(UM_SIZE_CHANGED);
            return TRUE;
        case IDC_SIZE_PANE_LOWER_UNIT:
        case IDC_SIZE_PANE_UPPER_UNIT:
            if (code == CBN_SELCHANGE && !filling_) {
                (id == IDC_SIZE_PANE_LOWER_UNIT ? lower_ : upper_).FollowUnit();
                Notify(UM_SIZE_CHANGED);
            }
            return TRUE;
        case IDC_SIZE_PANE_UPDATE:
            if (code == BN_CLICKED) Notify(UM_SIZE_UPDATE);
            return TRUE;
        default:
            return FALSE;  // Enter and Escape do not close the pane
    }
}

BOOL CDialogSizeProperty::OnNotify(NMHDR* header, LRESULT* result) {
    for (const editor::SizeField* field : {&lower_, &upper_}) {
        if (!field->OnNotify(header, result)) continue;
        // The step changed the text, which reported the change already.
        return TRUE;
    }
    return FALSE;
}

}  // namespace ordvale::wizard
