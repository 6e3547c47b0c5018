#include "engine/Engine.h"

#include <commctrl.h>

#include "common/RunTrace.h"
#include "common/win/Dialog.h"
#include "common/win/MessageBox.h"
#include "engine/ProgressDialog.h"
#include "engine/RunSlot.h"
#include "engine/resource.h"

namespace ordvale {

namespace {

// The box's result, never 0: the caller must not take the error for a run.
int ShowError(HMODULE module, HWND owner, UINT textId) {
    wchar_t caption[260] = {};
    if (owner && !IsWindow(owner)) owner = nullptr;
    if (owner) GetWindowTextW(owner, caption, 260);
    const int result = win::ShowMessageBox(owner, win::LoadModuleText(module, textId), caption,
                                           MB_OK | MB_ICONERROR);
    return result != 0 ? result : IDOK;
}

}  // namespace

int ExecuteJob(HMODULE module, HWND owner, const TidyJob* job) {
    if (!job) return ShowError(module, owner, IDS_WRONG_PARAMETERS);
    trace::Mark("engine: called");

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    trace::Mark("engine: common controls");

    RunSlot slot;
    WorkerStart start = {&slot, job};
    win::UniqueHandle worker(CreateThread(nullptr, 0, OperationThread, &start, 0, nullptr));
    if (!worker) return ShowError(module, owner, IDS_INTERNAL_ERROR);
    slot.worker = worker.Get();

    try {
        CDialogProgress dialog(&slot);
        dialog.DoModal(module, owner);
    } catch (...) {
    }
    trace::Mark("engine: dialog ended");
    // A dialog that never came up (it could not be made, or the owner was
    // refused, for which Wine returns 0 rather than -1) leaves the worker
    // waiting before it has touched anything: it is let go with the run
    // stopped, so it ends having done nothing.
    const bool shown = slot.WaitUntilDialogShown(0);
    if (!shown) {
        slot.control.Stop();
        slot.DialogShown();
    }
    // The slot and the job must outlive the worker.
    WaitForSingleObject(worker.Get(), INFINITE);
    trace::Mark("engine: worker ended");
    if (!shown) return ShowError(module, owner, IDS_NO_PROGRESS_WINDOW);
    return slot.result;
}

UnattendedResult ExecuteJobUnattended(const TidyJob* job) {
    if (!job) return UnattendedResult::Failed;
    RunSlot slot;
    slot.unattended = true;
    slot.DialogShown();  // there is no window to wait for
    WorkerStart start = {&slot, job};
    win::UniqueHandle worker(CreateThread(nullptr, 0, OperationThread, &start, 0, nullptr));
    if (!worker) return UnattendedResult::Failed;
    slot.worker = worker.Get();
    WaitForSingleObject(worker.Get(), INFINITE);
    if (slot.folderBusy) return UnattendedResult::FolderBusy;
    // A run that refused to start (no journal could be kept) did not run.
    return slot.result == 0 ? UnattendedResult::Done : UnattendedResult::Failed;
}

}  // namespace ordvale
