#include "engine/ProgressDialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

#include "common/RunTrace.h"
#include "common/Text.h"
#include "common/win/Dpi.h"
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
constexpr UINT_PTR kPresentTimer = 102;
constexpr DWORD kPresentEveryMs = 150;
}  // namespace

CDialogProgress::CDialogProgress(RunSlot* slot) : CDialog(IDD_PROGRESS), slot_(slot) {}

CDialogProgress::~CDialogProgress() {
    if (wanted_.iconOwned && wanted_.icon && wanted_.icon != shown_.icon) DestroyIcon(wanted_.icon);
    if (shown_.iconOwned && shown_.icon) DestroyIcon(shown_.icon);
}

BOOL CDialogProgress::OnInitDialog() {
    trace::Mark("dialog: made");
    HWND activity = Item(IDC_ACTIVITY);
    SetWindowLongPtrW(activity, GWL_STYLE, GetWindowLongPtrW(activity, GWL_STYLE) | PBS_MARQUEE);
    SendMessageW(Item(IDC_TOTAL_PROGRESS), PBM_SETRANGE32, 0, 100);
    slot_->dialog = Handle();
    startupEvent_.Reset(CreateEventW(nullptr, TRUE, FALSE, kStartupEventName));
    // Ready by the time the first item shows, while the worker lists and plans.
    typeIcons_.PrepareInBackground();
    return TRUE;
}

void CDialogProgress::OnDestroy() {
    KillTimer(Handle(), IDT_ACTIVITY);
    KillTimer(Handle(), kPresentTimer);
    KillTimer(Handle(), kCloseTimer);
    startupEvent_.Reset();
}

void CDialogProgress::SetItemIcon(HICON icon, bool owned) {
    if (wanted_.iconOwned && wanted_.icon && wanted_.icon != shown_.icon && wanted_.icon != icon)
        DestroyIcon(wanted_.icon);
    wanted_.icon = icon;
    wanted_.iconOwned = owned;
}

void CDialogProgress::Present(bool now) {
    const DWORD elapsed = GetTickCount() - lastPresent_;
    if (now || elapsed >= kPresentEveryMs) {
        Apply();
    } else if (!presentTimer_) {
        SetTimer(Handle(), kPresentTimer, kPresentEveryMs - elapsed, nullptr);
        presentTimer_ = true;
    }
}

void CDialogProgress::Apply() {
    if (presentTimer_) KillTimer(Handle(), kPresentTimer);
    presentTimer_ = false;
    lastPresent_ = GetTickCount();
    if (wanted_.group != shown_.group) SetItemText(IDC_OPERATION_GROUP, wanted_.group);
    if (wanted_.item != shown_.item) SetItemText(IDC_ITEM_TEXT, wanted_.item);
    if (wanted_.percent != shown_.percent) {
        SendMessageW(Item(IDC_TOTAL_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(wanted_.percent), 0);
        wchar_t percent[16];
        swprintf(percent, 16, L"%3d%%", wanted_.percent);
        SetItemText(IDC_PERCENT, percent);
    }
    if (wanted_.icon != shown_.icon) {
        SendMessageW(Item(IDC_ITEM_ICON), STM_SETICON, reinterpret_cast<WPARAM>(wanted_.icon), 0);
        if (shown_.iconOwned && shown_.icon) DestroyIcon(shown_.icon);
    }
    shown_ = wanted_;
}

void CDialogProgress::StartActivity() {
    SetTimer(Handle(), IDT_ACTIVITY, 1000, nullptr);
    activityTimer_ = true;
}

// Quick operations come by the thousand: only what is running is stopped.
void CDialogProgress::StopActivity() {
    if (activityTimer_) KillTimer(Handle(), IDT_ACTIVITY);
    activityTimer_ = false;
    if (!activityShown_) return;
    SendMessageW(Item(IDC_ACTIVITY), PBM_SETMARQUEE, FALSE, 0);
    ShowWindow(Item(IDC_ACTIVITY), SW_HIDE);
    activityShown_ = false;
}

void CDialogProgress::ShowPhase(WPARAM begins, UINT beginText, UINT endText) {
    if (begins) {
        SetPathText(LoadText(beginText));
        SetItemIcon(nullptr, false);
        StartActivity();
    } else {
        SetPathText(LoadText(endText));
        StopActivity();
    }
    Present(true);
}

void CDialogProgress::ShowCanceling() {
    SetPathText(LoadText(IDS_CANCELING));
    SetGroupText(L"");
    SetItemIcon(nullptr, false);
    Present(true);
}

void CDialogProgress::Finish(UINT textId) {
    if (finishing_) return;
    finishing_ = true;
    trace::Mark("dialog: finishing");
    SetPathText(LoadText(textId ? textId : IDS_FINISHED));
    HICON done = win::LoadIconAtSize(Module(), MAKEINTRESOURCEW(IDI_FINISHED),
                                     win::LargeIconSize(win::WindowDpi(Handle())));
    SetItemIcon(done, true);
    Present(true);
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
            if (wParam) {
                trace::Mark("dialog: shown");
                if (startupEvent_) SetEvent(startupEvent_.Get());
                slot_->DialogShown();
            }
            return FALSE;
        case WM_TIMER:
            if (wParam == IDT_ACTIVITY) {
                KillTimer(Handle(), IDT_ACTIVITY);
                activityTimer_ = false;
                ShowWindow(Item(IDC_ACTIVITY), SW_SHOW);
                SendMessageW(Item(IDC_ACTIVITY), PBM_SETMARQUEE, TRUE, 60);
                activityShown_ = true;
                return TRUE;
            }
            if (wParam == kPresentTimer) {
                Apply();
                return TRUE;
            }
            if (wParam == kCloseTimer) {
                trace::Mark("dialog: closing");
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
        case UM_PROGRESS:
            wanted_.percent = static_cast<int>(lParam);
            // The end of the run shows at once.
            Present(lParam >= 100);
            return TRUE;
        case UM_OPERATION_BEGIN: {
            SetGroupText(LoadText(KindNameId(static_cast<int32_t>(wParam))));
            std::wstring path = lParam ? CutToField(reinterpret_cast<const wchar_t*>(lParam)) : L"";
            SetPathText(path);
            win::UniqueIcon own;
            HICON icon = path.empty() ? nullptr : typeIcons_.IconFor(path, &own);
            const bool owned = own.Valid();
            SetItemIcon(owned ? own.Release() : icon, owned);
            StartActivity();
            Present(false);
            return TRUE;
        }
        case UM_OPERATION_END:
            SetGroupText(L"");
            StopActivity();
            Present(false);
            return TRUE;
        case UM_FINISHED:
            Finish(static_cast<UINT>(wParam));
            return TRUE;
        case UM_TELL_USER: {
            StopActivity();
            const auto* told = reinterpret_cast<const UserMessage*>(lParam);
            *result = told ? win::ShowMessageBox(Handle(), told->text, Title(), told->type) : 0;
            return TRUE;
        }
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
