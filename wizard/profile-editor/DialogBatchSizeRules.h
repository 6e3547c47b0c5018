// Batch Adding File Size Rules (dialog 178): a span of sizes (From, To) cut
// into steps (Every), optionally one folder per step.
#pragma once
#include <cstdint>

#include "FieldControls.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogBatchSizeRules : public CDialogEx {
public:
    CDialogBatchSizeRules();
    // Inputs and outputs, in bytes; on OK from < to (swapped when typed the
    // other way round), step > 0, and at most the batch limit of steps.
    int64_t from = 0;
    int64_t to = 1024;
    int64_t step = 100;
    bool makeFolders = true;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void OnOK();
    editor::SizeField from_, to_, every_;
};

}  // namespace ordvale::wizard
