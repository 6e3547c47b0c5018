// Batch Adding File Type Rules (dialog 142): extensions typed on a line are
// added to a check list; OK gives the checked ones.
#pragma once
#include <string>
#include <vector>

#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogBatchTypes : public CDialogEx {
public:
    CDialogBatchTypes();
    // Output on OK: the checked extensions, in list order.
    std::vector<std::wstring> extensions;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void AddTyped();
    void OnOK();
    void UpdateDelete();
    CCheckListBox list_;
};

}  // namespace ordvale::wizard
