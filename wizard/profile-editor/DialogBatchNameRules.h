// Batch Adding File Name Rules (dialog 186): a range of first characters,
// the number of parts to divide it into, and whether each part gets a
// folder of its own.
#pragma once
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogBatchNameRules : public CDialogEx {
public:
    CDialogBatchNameRules();
    // Inputs (shown first) and outputs on OK; the characters in order.
    wchar_t first = L'!';
    wchar_t last = L'~';
    int parts = 5;
    bool createFolders = true;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnOK();
};

}  // namespace ordvale::wizard
