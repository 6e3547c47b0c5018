// Create Date Time Rule By Day (dialog 172): days of one month, one rule a
// day, optionally one folder a day named in one of four formats. The day
// lists follow the year and month chosen.
#pragma once
#include "TimeBatchDialog.h"

namespace ordvale::wizard {

class CDialogTimeRuleByDay : public CTimeBatchDialog {
public:
    CDialogTimeRuleByDay();
    // Outputs; no day is made when firstDay is after lastDay. Format
    // editor::DayFormat.
    int year = 0;
    int month = 1;
    int firstDay = 1;
    int lastDay = 31;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    void OnOK() override;

private:
    // Both day lists for the month: From at 1, To at its last day.
    void FillDays(int forYear, int forMonth);
    void OnYearOrMonthChosen(bool quietly);
    int shownYear_ = 0;
    int shownMonth_ = 0;
};

}  // namespace ordvale::wizard
