// Create Date Time Rule By Month (dialog 171): months of one year, one rule
// a month, optionally one folder a month named in one of four formats.
#pragma once
#include "TimeBatchDialog.h"

namespace ordvale::wizard {

class CDialogTimeRuleByMonth : public CTimeBatchDialog {
public:
    CDialogTimeRuleByMonth();
    // Outputs: firstMonth <= lastMonth, 1 to 12; format editor::MonthFormat.
    int year = 0;
    int firstMonth = 1;
    int lastMonth = 12;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};

}  // namespace ordvale::wizard
