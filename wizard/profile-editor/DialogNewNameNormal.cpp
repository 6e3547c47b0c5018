#include "DialogNewNameNormal.h"

#include <utility>

#include "FieldControls.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogNewNameNormal::CDialogNewNameNormal() : CDialogEx(IDD_NEW_NAME_NORMAL) {}

BOOL CDialogNewNameNormal::OnInitDialog() {
    CDialogEx::OnInitDialog();
    const struct {
        int id;
        wchar_t c;
    } combos[] = {{IDC_NEW_NAME_FIRST, first}, {IDC_NEW_NAME_LAST, last}};
    for (const auto& combo : combos) {
        editor::FillCharCombo(Item(combo.id));
        editor::SelectCharInCombo(Item(combo.id), combo.c);
    }
    return TRUE;
}

BOOL CDialogNewNameNormal::OnCommand(WORD id, WORD code, HWND control) {
    if (id != IDOK) return CDialogEx::OnCommand(id, code, control);
    // A list without a selection keeps the character it started with.
    editor::ComboChar(Item(IDC_NEW_NAME_FIRST), &first);
    editor::ComboChar(Item(IDC_NEW_NAME_LAST), &last);
    if (last < first) std::swap(first, last);
    End(IDOK);
    return TRUE;
}

}  // namespace ordvale::wizard
