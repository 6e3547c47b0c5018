#include "DialogTimeRuleByMonth.h"

#include <utility>

#include "FieldControls.h"
#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {
const int kFormats[] = {IDC_MONTH_NUMBER, IDC_MONTH_NAME, IDC_MONTH_YEAR_NUMBER, IDC_MONTH_YEAR_NAME};
}

CDialogTimeRuleByMonth::CDialogTimeRuleByMonth() : CDialogEx(IDD_TIME_BY_MONTH) {}

BOOL CDialogTimeRuleByMonth::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    editor::FillNumberCombo(Item(IDC_MONTH_YEAR), now.wYear - 20, now.wYear + 20, L"%4d", now.wYear);
    editor::FillNumberCombo(Item(IDC_MONTH_FROM), 1, 12, L"%2d", 1);
    editor::FillNumberCombo(Item(IDC_MONTH_TO), 1, 12, L"%2d", 12);
    CheckDlgButton(Handle(), IDC_MONTH_FOLDERS, BST_CHECKED);
    CheckRadioButton(Handle(), IDC_MONTH_NUMBER, IDC_MONTH_YEAR_NAME, IDC_MONTH_YEAR_NUMBER);
    FollowFolders();
    return TRUE;
}

void CDialogTimeRuleByMonth::FollowFolders() {
    const bool on = IsDlgButtonChecked(Handle(), IDC_MONTH_FOLDERS) == BST_CHECKED;
    EnableWindow(Item(IDC_MONTH_FORMAT_GROUP), on);
    for (int id : kFormats) EnableWindow(Item(id), on);
}

BOOL CDialogTimeRuleByMonth::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_MONTH_FOLDERS:
            if (code == BN_CLICKED) FollowFolders();
            return TRUE;
        case IDOK:
            OnOK();
            return TRUE;
        default:
            return CDialogEx::OnCommand(id, code, control);
    }
}

void CDialogTimeRuleByMonth::OnOK() {
    int chosenYear = 0;
    if (!editor::ReadYearField(Handle(), Item(IDC_MONTH_YEAR), editor::ModuleTexts(Module()), &chosenYear)) return;
    int first = editor::ComboNumber(Item(IDC_MONTH_FROM), 1), last = editor::ComboNumber(Item(IDC_MONTH_TO), 12);
    if (last < first) std::swap(first, last);
    year = chosenYear;
    firstMonth = first;
    lastMonth = last;
    makeFolders = IsDlgButtonChecked(Handle(), IDC_MONTH_FOLDERS) == BST_CHECKED;
    for (int i = 0; i < 4; ++i)
        if (IsDlgButtonChecked(Handle(), kFormats[i]) == BST_CHECKED) format = i;
    End(IDOK);
}

}  // namespace ordvale::wizard
