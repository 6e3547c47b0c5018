// Create Date Time Rule By Day (dialog 172): days of one month, one rule a
// day, optionally one folder a day named in one of four formats. The day
// lists follow the year and month chosen.
#pragma once
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogTimeRuleByDay : public CDialogEx {
public:
    CDialogTimeRuleByDay();
    // Outputs; no day is made when firstDay is after lastDay.
    int year = 0;
    int month = 1;
    int firstDay = 1;
    int lastDay = 31;
    bool makeFolders = false;
    int format = 2;  // editor::DayFormat

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void FollowFolders();
    // Both day lists for the month chosen: From at 1, To at its last day.
    void FillDays(int forYear, int forMonth);
    void OnYearOrMonthChosen(bool quietly);
    void OnOK();
    int shownYear_ = 0;
    int shownMonth_ = 0;
};

}  // namespace ordvale::wizard
