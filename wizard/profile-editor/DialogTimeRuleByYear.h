// Create Date Time Rule By Year (dialog 170): a span of years, one rule a
// year, optionally one folder a year named "2012" or "Year 2012".
#pragma once
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogTimeRuleByYear : public CDialogEx {
public:
    CDialogTimeRuleByYear();
    // Outputs: first <= last, at most 80 years apart.
    int firstYear = 0;
    int lastYear = 0;
    bool makeFolders = true;
    int format = 0;  // editor::YearFormat

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void FollowFolders();
    void OnOK();
};

}  // namespace ordvale::wizard
