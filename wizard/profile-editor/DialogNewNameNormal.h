// New Name Rule (dialog 184): the first and the last character of a range
// of first characters, picked from "!" to "~".
#pragma once
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogNewNameNormal : public CDialogEx {
public:
    CDialogNewNameNormal();
    // Inputs (the characters shown first) and outputs on OK, in order.
    wchar_t first = L'!';
    wchar_t last = L'~';

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
};

}  // namespace ordvale::wizard
