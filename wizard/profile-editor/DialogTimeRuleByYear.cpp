#include "DialogTimeRuleByYear.h"

#include <utility>

#include "FieldControls.h"
#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogTimeRuleByYear::CDialogTimeRuleByYear()
    : CTimeBatchDialog(IDD_TIME_BY_YEAR, IDC_YEAR_FOLDERS, IDC_YEAR_FORMAT_GROUP, {IDC_YEAR_SHORT, IDC_YEAR_FULL},
                       true, editor::kYearShort) {}

BOOL CDialogTimeRuleByYear::OnInitDialog() {
    CTimeBatchDialog::OnInitDialog();
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    for (int id : {IDC_YEAR_FROM, IDC_YEAR_TO})
        editor::FillNumberCombo(Item(id), now.wYear - 20, now.wYear + 20, L"%04d", now.wYear);
    return TRUE;
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
    StoreFolderChoice();
    End(IDOK);
}

}  // namespace ordvale::wizard
