#include "engine/ProgressDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "engine/Messages.h"
#include "engine/Operation.h"
#include "engine/UncompletedDialog.h"
#include "engine/ConflictDialog.h"
#include "engine/resource.h"

namespace ordvale {

namespace {
constexpr UINT_PTR kCloseTimer = 101;
constexpr UINT kCloseDelayMs = 100;
}  // namespace

CDialogProgress::CDialogProgress(RunSlot* slot) : CDialog(IDD_PROGRESS), slot_(slot) {}

CDialogProgress::~CDialogProgress() {
    SetItemIcon(nullptr, false);
}

BOOL CDialogProgress::OnInitDialog() {
    HWND activity = Item(IDC_ACTIVITY);
    SetWindowLongPtrW(activity, GWL_STYLE, GetWindowLongPtrW(activity, GWL_STYLE) | PBS_MARQUEE);
    SendMessageW(Item(IDC_TOTAL_PROGRESS), PBM_SETRANGE32, 0, 100);
    slot_->dialog = Handle();
    startupEvent_.Reset(CreateEventW(nullptr, TRUE, FALSE, kStartupEventName));
    return TRUE;
}

void CDialogProgress::OnDestroy() {
    KillTimer(Handle(), IDT_ACTIVITY);
    KillTimer(Handle(), kCloseTimer);
    startupEvent_.Reset();
}

void CDialogProgress::SetItemIcon(HICON icon, bool owned) {
    if (Handle()) SendMessageW(Item(IDC_ITEM_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (itemIcon_ && itemIconOwned_) DestroyIcon(itemIcon_);
    itemIcon_ = icon;
    itemIconOwned_ = owned;
}

void CDialogProgress::StartActivity() {
    SetTimer(Handle(), IDT_ACTIVITY, 1000, nullptr);
}

void CDialogProgress::StopActivity() {
    KillTimer(Handle(), IDT_ACTIVITY);
    SendMessageW(Item(IDC_ACTIVITY), PBM_SETMARQUEE, FALSE, 0);
    ShowWindow(Item(IDC_ACTIVITY), SW_HIDE);
}

void CDialogProgress::ShowPhase(WPARAM begins, UINT beginText, UINT endText) {
    if (begins) {
        SetItemText(IDC_ITEM_TEXT, LoadText(beginText));
        SetItemIcon(nullptr, false);
        StartActivity();
    } else {
        SetItemText(IDC_ITEM_TEXT, LoadText(endText));
        StopActivity();
    }
}

void CDialogProgress::ShowCanceling() {
    SetItemText(IDC_ITEM_TEXT, LoadText(IDS_CANCELING));
    SetItemText(IDC_OPERATION_GROUP, L"");
    SetItemIcon(nullptr, false);
}

void CDialogProgress::Finish() {
    if (finishing_) return;
    finishing_ = true;
    SetItemText(IDC_ITEM_TEXT, LoadText(IDS_FINISHED));
    HICON done = static_cast<HICON>(
        LoadImageW(Module(), MAKEINTRESOURCEW(IDI_FINISHED), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    SetItemIcon(done, true);
    startupEvent_.Reset();
    StopActivity();
    // The finished state stays on the screen for a moment before the dialog closes.
    SetTimer(Handle(), kCloseTimer, kCloseDelayMs, nullptr);
}

void CDialogProgress::AskToCancel() {
    if (finishing_) return;
    if (slot_->worker) {
        StopActivity();
        slot_->control.Pause();
        int answer = win::ShowMessageBox(Handle(), LoadText(IDS_ABORT_QUESTION), Title(),
                                         MB_YESNO | MB_ICONWARNING);
        if (answer != IDYES) {
            slot_->control.Resume();
            StartActivity();
            return;
        }
        ShowCanceling();
        EnableWindow(Item(IDCANCEL), FALSE);
        slot_->control.Stop();
    }
    Finish();
}

void CDialogProgress::AskToContinue() {
    ShowCanceling();
    if (!slot_->worker) return;
    StopActivity();
    slot_->control.Pause();
    int answer = win::ShowMessageBox(Handle(), LoadText(IDS_CONTINUE_QUESTION), Title(),
                                     MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) {
        slot_->control.Resume();
        StartActivity();
        return;
    }
    slot_->control.Stop();
    Finish();
}

BOOL CDialogProgress::OnCommand(WORD id, WORD, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        AskToCancel();
        return TRUE;
    }
    return FALSE;
}

BOOL CDialogProgress::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (message) {
        case WM_SHOWWINDOW:
            if (wParam && startupEvent_) SetEvent(startupEvent_.Get());
            return FALSE;
        case WM_TIMER:
            if (wParam == IDT_ACTIVITY) {
                KillTimer(Handle(), IDT_ACTIVITY);
                ShowWindow(Item(IDC_ACTIVITY), SW_SHOW);
                SendMessageW(Item(IDC_ACTIVITY), PBM_SETMARQUEE, TRUE, 60);
                return TRUE;
            }
            if (wParam == kCloseTimer) {
                KillTimer(Handle(), kCloseTimer);
                End(0);
                return TRUE;
            }
            return FALSE;
        case UM_INITIALIZING:
            ShowPhase(wParam, IDS_INITIALIZING, IDS_INITIALIZED);
            return TRUE;
        case UM_CALCULATING:
            ShowPhase(wParam, IDS_CALCULATING, IDS_CALCULATED);
            return TRUE;
        case UM_VERIFYING:
            ShowPhase(wParam, IDS_VERIFYING, IDS_VERIFIED);
            return TRUE;
        case UM_PROGRESS: {
            SendMessageW(Item(IDC_TOTAL_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(lParam), 0);
            wchar_t percent[16];
            swprintf(percent, 16, L"%3d%%", static_cast<int>(lParam));
            SetItemText(IDC_PERCENT, percent);
            return TRUE;
        }
        case UM_OPERATION_BEGIN: {
            SetItemText(IDC_OPERATION_GROUP, LoadText(KindNameId(static_cast<int32_t>(wParam))));
            std::wstring path = lParam ? CutToField(reinterpret_cast<const wchar_t*>(lParam)) : L"";
            SetItemText(IDC_ITEM_TEXT, path);
            SHFILEINFOW info = {};
            HICON icon = nullptr;
            if (!path.empty() && SHGetFileInfoW(path.c_str(), 0, &info, sizeof(info), SHGFI_ICON | SHGFI_LARGEICON))
                icon = info.hIcon;
            SetItemIcon(icon, icon != nullptr);
            StartActivity();
            return TRUE;
        }
        case UM_OPERATION_END:
            SetItemText(IDC_OPERATION_GROUP, L"");
            StopActivity();
            return TRUE;
        case UM_FINISHED:
            Finish();
            return TRUE;
        case UM_SHOW_UNCOMPLETED: {
            ShowWindow(Handle(), SW_HIDE);
            CDialogUncompleted uncompleted(reinterpret_cast<EngineContext*>(lParam));
            *result = uncompleted.DoModal(Module(), Handle());
            ShowWindow(Handle(), SW_SHOW);
            return TRUE;
        }
        case UM_OPERATION_ABORTED:
            AskToContinue();
            return TRUE;
        case UM_ENABLE_CANCEL:
            EnableWindow(Item(IDCANCEL), wParam ? TRUE : FALSE);
            return TRUE;
        case UM_ASK_CONFLICT: {
            StopActivity();
            CDialogConflict conflict(reinterpret_cast<const ConflictQuestion*>(lParam));
            conflict.DoModal(Module(), Handle());
            *result = conflict.answer;
            StartActivity();
            return TRUE;
        }
    }
    return FALSE;
}

}  // namespace ordvale
