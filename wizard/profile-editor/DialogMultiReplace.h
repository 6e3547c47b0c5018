// Confirm Item Replacement (dialog 143): whether a rule found in another
// folder is to be moved here. Four buttons for batches (Yes, Yes to all, No,
// Cancel), two for single rules (Yes and No, in the places of the last two).
#pragma once
#include <string>

#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogMultiReplace : public CDialogEx {
public:
    CDialogMultiReplace();
    // Inputs. DoModal returns IDYES, 1005 (Yes to all), IDNO or IDCANCEL
    // (also when the dialog is closed).
    std::wstring question;  // at most 1040 characters are shown
    std::wstring caption;   // replaces the title when not empty
    bool fourButtons = true;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
};

}  // namespace ordvale::wizard
