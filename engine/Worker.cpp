// The worker: builds the context, plans, runs, verifies and offers retries,
// reporting every step to the progress dialog.
#include <windows.h>

#include <algorithm>
#include <unordered_set>

#include "common/AppPaths.h"
#include "common/Journal.h"
#include "common/PathText.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "engine/EngineContext.h"
#include "engine/Executor.h"
#include "engine/Planner.h"
#include "engine/RunSlot.h"
#include "engine/ShellItemShell.h"
#include "engine/UndoRun.h"

namespace ordvale {

namespace {

// Items left under their probe name by an interrupted run get their names
// back before anything is listed.
void RestoreLeftoversOfTarget(const TidyJob& job) {
    switch (static_cast<TidyTarget>(job.target)) {
        case TidyTarget::Folder:
            RestoreProbeLeftovers(job.folder);
            break;
        case TidyTarget::Selection: {
            std::vector<std::wstring> done;
            for (int32_t i = 0; i < job.itemCount; ++i) {
                std::wstring folder = ParentFolder(job.items[i].text);
                if (std::find(done.begin(), done.end(), folder) != done.end()) continue;
                RestoreProbeLeftovers(folder);
                done.push_back(folder);
            }
            break;
        }
        default: {
            ShellItem desktop;
            SetPath(&desktop, nullptr);
            RestoreProbeLeftovers(GetPath(&desktop));
            break;
        }
    }
}

// The same for the folders the run moves items into (earlier versions put a
// file being replaced aside under its probe name there).
void RestoreLeftoversOfDestinations(const EngineContext& context) {
    std::unordered_set<std::wstring> done;
    for (const auto& op : context.operations) {
        if (!Is(*op, OperationKind::Move) && !Is(*op, OperationKind::Copy)) continue;
        const std::wstring folder = path::WithoutTrailingSeparator(op->destination.path.str());
        if (folder.empty() || !done.insert(path::FoldCase(folder)).second) continue;
        RestoreProbeLeftovers(folder);
    }
}

// The History folder of this user's journals; empty when it is unknown.
std::wstring HistoryFolder() {
    std::wstring appData;
    return GetAppDataFolder(&appData) ? HistoryFolderIn(appData) : std::wstring();
}

std::wstring NewRunId() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    return RunIdAt(now);
}

bool NeedsNoAttention(const Operation& op) {
    return Is(op, OperationStatus::Succeeded) || Is(op, OperationStatus::Pended) ||
           Is(op, OperationStatus::None);
}

void RunWorker(RunSlot* slot, const TidyJob* job) {
    win::ComInit com;
    EngineContext context;
    LoadSettings(&context.settings);
    WorkerSink sink(slot);

    if (job) {
        // No message is sent before this run's own dialog is on the screen.
        slot->WaitUntilDialogShown(INFINITE);

        // A run that takes another back plans from that run's journal.
        const bool undoing = IsUndoJob(*job);
        const std::wstring history = HistoryFolder();
        UndoRun undo;

        sink.Send(UM_INITIALIZING, 1, 0);
        if (slot->control.Stopped()) return;
        if (!undoing) {
            RestoreLeftoversOfTarget(*job);
            InitializeFromJob(&context, job);
        }
        sink.Send(UM_INITIALIZING, 0, 100);

        sink.Send(UM_CALCULATING, 1, 0);
        if (slot->control.Stopped()) return;
        if (undoing)
            PlanUndoOperations(&context, history, FieldText(job->profileId), &undo);
        else
            PlanOperations(&context);
        RestoreLeftoversOfDestinations(context);
        sink.Send(UM_CALCULATING, 0, 100);

        // Every operation that succeeds is recorded the moment it has, so
        // that even a run cut short can be taken back.
        JournalWriter journal(history, NewRunId(), undo.undoneRunId);
        ExecutionState state;
        state.journal = &journal;
        state.announceEveryMs = slot->announceEveryMs;
        state.verifyInBulk = true;
        auto& operations = context.operations;
        while (!operations.empty()) {
            state.BeginPass();
            const std::size_t n = operations.size();
            // The bar moves in whole percents: a value it already shows is
            // not sent again.
            LPARAM shown = -1;
            for (std::size_t k = 0; k < n; ++k) {
                if (!slot->control.WaitUntilRunning()) return;
                Operation* op = operations[k].get();
                if (Is(*op, OperationStatus::Succeeded)) continue;
                RunOperation(context.settings, op, &sink, &state);
                const auto percent = static_cast<LPARAM>(100 * k / n);
                if (percent != shown) sink.Send(UM_PROGRESS, 0, percent);
                shown = percent;
            }
            if (!slot->control.WaitUntilRunning()) return;
            VerifyMoves(&state);

            sink.Send(UM_VERIFYING, 1, 0);
            operations.erase(std::remove_if(operations.begin(), operations.end(),
                                            [](const std::unique_ptr<Operation>& op) {
                                                return NeedsNoAttention(*op);
                                            }),
                             operations.end());
            sink.Send(UM_VERIFYING, 0, 100);
            if (operations.empty() || slot->control.Stopped()) break;
            if (sink.Send(UM_SHOW_UNCOMPLETED, 1, reinterpret_cast<LPARAM>(&context)) != IDRETRY)
                break;
        }
        if (undoing && !slot->control.Stopped()) RemoveEmptiedFolders(undo, &journal);
    }
    sink.Send(UM_PROGRESS, 0, 100);
    sink.Send(UM_FINISHED, 0, 0);
}

}  // namespace

DWORD WINAPI OperationThread(LPVOID parameter) {
    auto* start = static_cast<WorkerStart*>(parameter);
    if (!start || !start->slot) return 0;
    try {
        RunWorker(start->slot, start->job);
    } catch (...) {
        // The dialog must not wait for a worker that is gone.
        if (!start->slot->control.Stopped()) SendMessageW(start->slot->dialog, UM_FINISHED, 0, 0);
    }
    return 0;
}

}  // namespace ordvale
