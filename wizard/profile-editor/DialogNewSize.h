// New File Size Rule (dialog 177): a lower bound ("Larger than") and an
// upper bound ("Smaller than"), each a number with its unit or "Unlimited".
#pragma once
#include <cstdint>

#include "FieldControls.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogNewSize : public CDialogEx {
public:
    CDialogNewSize();
    // Inputs and outputs (bytes, 0 unlimited); both start unlimited.
    int64_t lower = 0;
    int64_t upper = 0;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void OnOK();
    editor::SizeField lower_, upper_;
};

}  // namespace ordvale::wizard
