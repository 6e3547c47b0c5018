#include "DialogTimeRuleByMonth.h"

#include <utility>

#include "FieldControls.h"
#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogTimeRuleByMonth::CDialogTimeRuleByMonth()
    : CTimeBatchDialog(IDD_TIME_BY_MONTH, IDC_MONTH_FOLDERS, IDC_MONTH_FORMAT_GROUP,
                       {IDC_MONTH_NUMBER, IDC_MONTH_NAME, IDC_MONTH_YEAR_NUMBER, IDC_MONTH_YEAR_NAME}, true,
                       editor::kMonthYearNumber) {}

BOOL CDialogTimeRuleByMonth::OnInitDialog() {
    CTimeBatchDialog::OnInitDialog();
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    editor::FillNumberCombo(Item(IDC_MONTH_YEAR), now.wYear - 20, now.wYear + 20, L"%4d", now.wYear);
    editor::FillNumberCombo(Item(IDC_MONTH_FROM), 1, 12, L"%2d", 1);
    editor::FillNumberCombo(Item(IDC_MONTH_TO), 1, 12, L"%2d", 12);
    return TRUE;
}

void CDialogTimeRuleByMonth::OnOK() {
    int chosenYear = 0;
    if (!editor::ReadYearField(Handle(), Item(IDC_MONTH_YEAR), editor::ModuleTexts(Module()), &chosenYear)) return;
    int first = editor::ComboNumber(Item(IDC_MONTH_FROM), 1), last = editor::ComboNumber(Item(IDC_MONTH_TO), 12);
    if (last < first) std::swap(first, last);
    year = chosenYear;
    firstMonth = first;
    lastMonth = last;
    StoreFolderChoice();
    End(IDOK);
}

}  // namespace ordvale::wizard
