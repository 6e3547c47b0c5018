// Create Date Time Rule By Month (dialog 171): months of one year, one rule
// a month, optionally one folder a month named in one of four formats.
#pragma once
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogTimeRuleByMonth : public CDialogEx {
public:
    CDialogTimeRuleByMonth();
    // Outputs: firstMonth <= lastMonth, 1 to 12.
    int year = 0;
    int firstMonth = 1;
    int lastMonth = 12;
    bool makeFolders = true;
    int format = 2;  // editor::MonthFormat

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void FollowFolders();
    void OnOK();
};

}  // namespace ordvale::wizard
