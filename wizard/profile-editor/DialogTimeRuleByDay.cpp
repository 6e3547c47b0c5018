#include "DialogTimeRuleByDay.h"

#include "FieldControls.h"
#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogTimeRuleByDay::CDialogTimeRuleByDay()
    : CTimeBatchDialog(IDD_TIME_BY_DAY, IDC_DAY_FOLDERS, IDC_DAY_FORMAT_GROUP,
                       {IDC_DAY_NUMBER, IDC_DAY_MONTH_DAY, IDC_DAY_FULL_NUMBER, IDC_DAY_FULL_NAME}, false,
                       editor::kDayFullNumber) {}

BOOL CDialogTimeRuleByDay::OnInitDialog() {
    CTimeBatchDialog::OnInitDialog();
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    editor::FillNumberCombo(Item(IDC_DAY_YEAR), now.wYear - 20, now.wYear + 20, L"%4d", now.wYear);
    editor::FillNumberCombo(Item(IDC_DAY_MONTH), 1, 12, L"%2d", now.wMonth);
    FillDays(now.wYear, now.wMonth);
    return TRUE;
}

void CDialogTimeRuleByDay::FillDays(int forYear, int forMonth) {
    const int days = editor::DaysInMonth(forYear, forMonth);
    editor::FillNumberCombo(Item(IDC_DAY_FROM), 1, days, L"%2d", 1);
    editor::FillNumberCombo(Item(IDC_DAY_TO), 1, days, L"%2d", days);
    shownYear_ = forYear;
    shownMonth_ = forMonth;
}

void CDialogTimeRuleByDay::OnYearOrMonthChosen(bool quietly) {
    int chosenYear = 0;
    if (quietly) {
        // A year being typed: the lists follow once it reads.
        if (editor::ReadYear(ItemText(IDC_DAY_YEAR), &chosenYear) != editor::kYearRead) return;
    } else if (!editor::ReadYearField(Handle(), Item(IDC_DAY_YEAR), editor::ModuleTexts(Module()), &chosenYear)) {
        return;
    }
    const int chosenMonth = editor::ComboNumber(Item(IDC_DAY_MONTH), 1);
    if (chosenYear == shownYear_ && chosenMonth == shownMonth_) return;
    FillDays(chosenYear, chosenMonth);
}

BOOL CDialogTimeRuleByDay::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_DAY_YEAR:
            // A pick from the list shows in the edit only after this notice.
            if (code == CBN_SELCHANGE) {
                const int index = static_cast<int>(SendMessageW(control, CB_GETCURSEL, 0, 0));
                if (index >= 0) {
                    wchar_t text[32] = {};
                    SendMessageW(control, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
                    SetWindowTextW(control, text);
                }
                OnYearOrMonthChosen(false);
            }
            if (code == CBN_EDITCHANGE) OnYearOrMonthChosen(true);
            return TRUE;
        case IDC_DAY_MONTH:
            if (code == CBN_SELCHANGE) OnYearOrMonthChosen(false);
            return TRUE;
        default:
            return CTimeBatchDialog::OnCommand(id, code, control);
    }
}

void CDialogTimeRuleByDay::OnOK() {
    int chosenYear = 0;
    if (!editor::ReadYearField(Handle(), Item(IDC_DAY_YEAR), editor::ModuleTexts(Module()), &chosenYear)) return;
    year = chosenYear;
    month = editor::ComboNumber(Item(IDC_DAY_MONTH), 1);
    firstDay = editor::ComboNumber(Item(IDC_DAY_FROM), 1);
    lastDay = editor::ComboNumber(Item(IDC_DAY_TO), editor::DaysInMonth(year, month));
    StoreFolderChoice();
    End(IDOK);
}

}  // namespace ordvale::wizard
