#include "engine/Engine.h"

#include <commctrl.h>

#include "common/win/Dialog.h"
#include "common/win/MessageBox.h"
#include "engine/ProgressDialog.h"
#include "engine/RunSlot.h"
#include "engine/resource.h"

namespace ordvale {

namespace {

int ShowError(HMODULE module, HWND owner, UINT textId) {
    wchar_t caption[260] = {};
    if (owner) GetWindowTextW(owner, caption, 260);
    return win::ShowMessageBox(owner, win::LoadModuleText(module, textId), caption,
                               MB_OK | MB_ICONERROR);
}

}  // namespace

int ExecuteJob(HMODULE module, HWND owner, const TidyJob* job) {
    try {
        if (!job) return ShowError(module, owner, IDS_WRONG_PARAMETERS);

        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);

        RunSlot slot;
        WorkerStart start = {&slot, job};
        win::UniqueHandle worker(CreateThread(nullptr, 0, OperationThread, &start, 0, nullptr));
        if (!worker) return ShowError(module, owner, IDS_INTERNAL_ERROR);
        slot.worker = worker.Get();

        CDialogProgress dialog(&slot);
        if (dialog.DoModal(module, owner) == -1) {
            // Without its dialog the worker would wait for the start-up signal forever.
            slot.control.Stop();
            win::UniqueHandle startup(CreateEventW(nullptr, TRUE, FALSE, kStartupEventName));
            if (startup) SetEvent(startup.Get());
        }
        WaitForSingleObject(worker.Get(), INFINITE);
        return 0;
    } catch (...) {
        return ShowError(module, owner, IDS_INTERNAL_ERROR);
    }
}

}  // namespace ordvale
