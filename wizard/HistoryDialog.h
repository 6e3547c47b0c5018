// The History window (dialog 211): the runs kept in the History folder,
// newest first, with when each started, what it tidied, by which method,
// how many items it moved, whether the watcher started it and whether it has
// been taken back. "Take Back..." (or a double click) shows what taking the
// chosen run back would do, in the undo preview; its "Take Back" closes this
// window with the run chosen, for the caller to hand over.
//
// Inputs are set before it opens, outputs read after it closes.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "common/RunHistory.h"
#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogHistory : public CDialogEx {
public:
    CDialogHistory();

    // Input: the History folder.
    std::wstring historyFolder;
    // Output: the run to take back, once its preview was accepted; empty
    // when the window was closed without.
    std::wstring takeBackRunId;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void Fill();
    int SelectedRun() const;
    void ShowTakeBack();
    std::wstring TargetText(const RunSummary& run) const;
    std::wstring MethodText(int32_t method) const;

    std::vector<RunSummary> runs_;
};

// OrdvaleWizard.exe /history: the History window alone, with no owner; a run
// taken back there is handed to the runner as the wizard hands over a job.
void RunHistoryAlone(HINSTANCE instance);

}  // namespace ordvale::wizard
