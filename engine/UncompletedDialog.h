// Lists the operations a pass left undone; the user ticks those to ignore
// and retries the rest, or cancels.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "common/win/Dialog.h"
#include "engine/EngineContext.h"

namespace ordvale {

class CDialogUncompleted : public win::CDialog {
public:
    explicit CDialogUncompleted(EngineContext* context);
    ~CDialogUncompleted() override;

    // The rows' operations, in list order (after the dialog has initialised).
    const std::vector<Operation*>& Rows() const { return rows_; }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnNotify(NMHDR* header, LRESULT* result) override;

private:
    void Fill();
    void SyncIgnoreAll();
    void AskToCancel();

    EngineContext* context_;
    HIMAGELIST images_ = nullptr;
    std::vector<Operation*> rows_;
    bool filling_ = false;
};

}  // namespace ordvale
