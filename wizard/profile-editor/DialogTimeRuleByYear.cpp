#include "DialogTimeRuleByYear.h"

#include <utility>

#include "FieldControls.h"
#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogTimeRuleByYear::CDialogTimeRuleByYear() : CDialogEx(IDD_TIME_BY_YEAR) {}

BOOL CDialogTimeRuleByYear::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    for (int id : {IDC_YEAR_FROM, IDC_YEAR_TO})
        editor::FillNumberCombo(Item(id), now.wYear - 20, now.wYear + 20, L"%04d", now.wYear);
    CheckDlgButton(Handle(), IDC_YEAR_FOLDERS, BST_CHECKED);
    CheckRadioButton(Handle(), IDC_YEAR_SHORT, IDC_YEAR_FULL, IDC_YEAR_SHORT);
    FollowFolders();
    return TRUE;
}

void CDialogTimeRuleByYear::FollowFolders() {
    const bool on = IsDlgButtonChecked(Handle(), IDC_YEAR_FOLDERS) == BST_CHECKED;
    for (int id : {IDC_YEAR_FORMAT_GROUP, IDC_YEAR_SHORT, IDC_YEAR_FULL}) EnableWindow(Item(id), on);
}

BOOL CDialogTimeRuleByYear::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_YEAR_FOLDERS:
            if (code == BN_CLICKED) FollowFolders();
            return TRUE;
        case IDOK:
            OnOK();
            return TRUE;
        default:
            return CDialogEx::OnCommand(id, code, control);
    }
}

void CDialogTimeRuleByYear::OnOK() {
    const editor::ModuleTexts texts(Module());
    int first = 0, last = 0;
    if (!editor::ReadYearField(Handle(), Item(IDC_YEAR_FROM), texts, &first)) return;
    if (!editor::ReadYearField(Handle(), Item(IDC_YEAR_TO), texts, &last)) return;
    if (last < first) std::swap(first, last);
    if (last - first > editor::kMaxYearSpan) {
        editor::RefuseField(Handle(), Item(IDC_YEAR_FROM), LoadText(IDS_YEAR_RANGE_TOO_LARGE), editor::AppTitle(texts));
        return;
    }
    firstYear = first;
    lastYear = last;
    makeFolders = IsDlgButtonChecked(Handle(), IDC_YEAR_FOLDERS) == BST_CHECKED;
    format = IsDlgButtonChecked(Handle(), IDC_YEAR_SHORT) == BST_CHECKED ? editor::kYearShort : editor::kYearFull;
    End(IDOK);
}

}  // namespace ordvale::wizard
