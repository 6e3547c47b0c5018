// New Regular Expression Rule (dialog 185): an expression names must match,
// in the rules' own dialect; one that would match nothing is refused.
#pragma once
#include <string>

#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogNewNameRegExp : public CDialogEx {
public:
    CDialogNewNameRegExp();
    // Output on OK: the expression, trimmed, at most 259 characters.
    std::wstring expression;

protected:
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
};

}  // namespace ordvale::wizard
