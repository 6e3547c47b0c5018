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
#include "common/UndoPlan.h"
#include "common/win/Com.h"
#include "engine/EngineContext.h"
#include "engine/Executor.h"
#include "engine/FolderLock.h"
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

// The same for the folders the run moves items into: a replacement across
// volumes puts the file standing there aside under its probe name until the
// new one has arrived.
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

// The folders a job tidies, whose locks its run holds: the folder, the
// desktop, or the folders the selected items lie in. An undo puts items back
// wherever they came from and takes none.
std::vector<std::wstring> TidiedFolders(const TidyJob& job) {
    std::vector<std::wstring> folders;
    if (IsUndoJob(job)) return folders;
    switch (static_cast<TidyTarget>(job.target)) {
        case TidyTarget::Folder:
            folders.push_back(FieldText(job.folder));
            break;
        case TidyTarget::Selection:
            for (int32_t i = 0; i < job.itemCount; ++i) folders.push_back(ParentFolder(job.items[i].text));
            break;
        default: {
            ShellItem desktop;
            SetPath(&desktop, nullptr);
            folders.push_back(GetPath(&desktop));
            break;
        }
    }
    return folders;
}

// Where a run no one watches sends what it would show: nothing waits for an
// answer. A name clash keeps both, the Uncompleted Operations dialog is not
// shown (what is left waits for the next run), a cut-short operation lets
// the others go on.
class QuietSink : public ProgressSink {
public:
    LRESULT Send(UINT message, WPARAM, LPARAM) override {
        switch (message) {
            case UM_ASK_CONFLICT: return kAnswerKeepBoth;
            case UM_SHOW_UNCOMPLETED: return IDCANCEL;
            default: return 0;
        }
    }
};

// What no one is there to answer is settled the quiet way: a name clash
// under "Ask" keeps both, as Rename does, and the shell shows no progress.
void MakeUnattended(OrdvaleSettings* settings) {
    if (settings->fileConflict == kConflictAsk) settings->fileConflict = kConflictRename;
    if (settings->folderConflict == kConflictAsk) settings->folderConflict = kConflictRename;
    settings->showSystemProgress = false;
}

// What a user took back into the folder stays where they put it: a run no
// one watches does not carry it out again (nor make folders only it needed).
void LeaveWhatWasTakenBack(EngineContext* context, const std::wstring& history, const TidyJob& job) {
    if (static_cast<TidyTarget>(job.target) != TidyTarget::Folder || history.empty()) return;
    const std::vector<std::wstring> takenBack = ItemsTakenBackInto(history, FieldText(job.folder));
    if (takenBack.empty()) return;
    const std::unordered_set<std::wstring> leave(takenBack.begin(), takenBack.end());
    auto& ops = context->operations;
    auto carries = [](const Operation& op) { return Is(op, OperationKind::Move) || Is(op, OperationKind::Copy); };
    ops.erase(std::remove_if(ops.begin(), ops.end(),
                             [&](const std::unique_ptr<Operation>& op) {
                                 return carries(*op) &&
                                        leave.count(path::FoldCase(path::WithoutTrailingSeparator(op->source.path.str())));
                             }),
              ops.end());
    std::vector<std::wstring> needed;
    for (const auto& op : ops)
        if (carries(*op)) needed.push_back(path::WithoutTrailingSeparator(op->destination.path.str()));
    ops.erase(std::remove_if(ops.begin(), ops.end(),
                             [&](const std::unique_ptr<Operation>& op) {
                                 if (!Is(*op, OperationKind::CreateDirectory)) return false;
                                 const std::wstring made = path::WithoutTrailingSeparator(op->source.path.str());
                                 return std::none_of(needed.begin(), needed.end(), [&](const std::wstring& to) {
                                     return path::SamePath(to, made) || path::IsInside(to, made);
                                 });
                             }),
              ops.end());
}

bool NeedsNoAttention(const Operation& op) {
    return Is(op, OperationStatus::Succeeded) || Is(op, OperationStatus::Pended) ||
           Is(op, OperationStatus::None);
}

void RunWorker(RunSlot* slot, const TidyJob* job) {
    win::ComInit com;
    EngineContext context;
    context.unattended = slot->unattended;
    LoadSettings(&context.settings);
    if (context.unattended) MakeUnattended(&context.settings);
    WorkerSink windowSink(slot);
    QuietSink quietSink;
    ProgressSink& sink = context.unattended ? static_cast<ProgressSink&>(quietSink) : windowSink;

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

        // Another run tidying the same folder is waited for, the progress
        // window showing; a run no one watches leaves the folder for its
        // next round instead.
        FolderLocks locks;
        if (!locks.Take(TidiedFolders(*job), !context.unattended,
                        [slot] { return slot->control.Stopped(); })) {
            if (context.unattended) slot->folderBusy = true;
            return;
        }

        sink.Send(UM_CALCULATING, 1, 0);
        if (slot->control.Stopped()) return;
        if (undoing)
            PlanUndoOperations(&context, history, FieldText(job->profileId), &undo);
        else
            PlanOperations(&context);
        if (!undoing && context.unattended) LeaveWhatWasTakenBack(&context, history, *job);
        RestoreLeftoversOfDestinations(context);
        sink.Send(UM_CALCULATING, 0, 100);

        // Every operation that succeeds is recorded the moment it has, so
        // that even a run cut short can be taken back.
        JournalWriter journal(history, NewRunId(), undo.undoneRunId);
        JournalRunInfo info;
        if (!undoing) {
            info.target = job->target;
            if (static_cast<TidyTarget>(job->target) == TidyTarget::Folder) info.folder = FieldText(job->folder);
            info.method = job->method;
        }
        info.automatic = context.unattended;
        journal.Describe(info);
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
