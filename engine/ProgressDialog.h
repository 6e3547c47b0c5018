// The window a user sees while a job runs, driven by the worker's messages.
#pragma once

#include <windows.h>

#include "common/win/Dialog.h"
#include "common/win/Handle.h"
#include "engine/RunSlot.h"

namespace ordvale {

class CDialogProgress : public win::CDialog {
public:
    explicit CDialogProgress(RunSlot* slot);
    ~CDialogProgress() override;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void OnDestroy() override;

private:
    void StartActivity();
    void StopActivity();
    void SetItemIcon(HICON icon, bool owned);
    void ShowPhase(WPARAM begins, UINT beginText, UINT endText);
    void AskToCancel();
    void AskToContinue();
    void ShowCanceling();
    void Finish();

    RunSlot* slot_;
    win::UniqueHandle startupEvent_;
    HICON itemIcon_ = nullptr;
    bool itemIconOwned_ = false;
    bool finishing_ = false;
};

}  // namespace ordvale
