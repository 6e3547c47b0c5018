// The window a user sees while a job runs, driven by the worker's messages.
#pragma once

#include <windows.h>

#include <string>

#include "common/win/Dialog.h"
#include "common/win/Handle.h"
#include "engine/RunSlot.h"
#include "engine/TypeIcons.h"

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
    void SetGroupText(const std::wstring& text) { wanted_.group = text; }
    void SetPathText(const std::wstring& text) { wanted_.item = text; }
    // Puts what the dialog wants to show on the screen: at once, or at most
    // every few tenths of a second while operations stream by.
    void Present(bool now);
    void Apply();
    void ShowPhase(WPARAM begins, UINT beginText, UINT endText);
    void AskToCancel();
    void AskToContinue();
    void ShowCanceling();
    void Finish(UINT textId = 0);

    RunSlot* slot_;
    win::UniqueHandle startupEvent_;
    struct View {
        std::wstring group;  // caption of the operation group
        std::wstring item;   // phase text or path
        int percent = 0;
        HICON icon = nullptr;
        bool iconOwned = false;
    };
    View wanted_;
    View shown_;
    DWORD lastPresent_ = 0;
    bool presentTimer_ = false;
    bool finishing_ = false;
    bool activityTimer_ = false;  // the activity timer is running
    bool activityShown_ = false;  // the activity bar is on the screen
    // Large icons of the items' types.
    CTypeIcons typeIcons_{false};
};

}  // namespace ordvale
