// Create Date Time Rule By Year (dialog 170): a span of years, one rule a
// year, optionally one folder a year named "2012" or "Year 2012".
#pragma once
#include "TimeBatchDialog.h"

namespace ordvale::wizard {

class CDialogTimeRuleByYear : public CTimeBatchDialog {
public:
    CDialogTimeRuleByYear();
    // Outputs: first <= last, at most 80 years apart; format editor::YearFormat.
    int firstYear = 0;
    int lastYear = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};

}  // namespace ordvale::wizard
