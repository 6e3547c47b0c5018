// New DateTime Rule (dialog 167): the first and the last day of a range,
// each a date or open ("Long ago", "Now").
#pragma once
#include <windows.h>

#include "FieldControls.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogNewTime : public CDialogEx {
public:
    CDialogNewTime();
    // Outputs (UTC file times, the zero time when open). Both pickers start
    // at the present date and time; their time of day is kept.
    FILETIME begin = {};
    FILETIME end = {};

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnOK();
    editor::DateBound begin_, end_;
};

}  // namespace ordvale::wizard
