// The worker: builds the context, plans, runs, verifies and offers retries,
// reporting every step to the progress dialog.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <unordered_set>

#include "common/AppPaths.h"
#include "common/Journal.h"
#include "common/PathText.h"
#include "common/RunTrace.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/UndoPlan.h"
#include "common/WatchedFolders.h"
#include "common/win/Com.h"
#include "common/win/Dialog.h"
#include "engine/EngineContext.h"
#include "engine/Executor.h"
#include "engine/FolderLock.h"
#include "engine/Planner.h"
#include "engine/RunSlot.h"
#include "engine/ShellItemShell.h"
#include "engine/UndoRun.h"
#include "engine/resource.h"

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

// The folders a job tidies, whose locks its run holds: the folder, the
// desktop, or the folders the selected items lie in; for an undo, the
// folders it puts items back into.
std::vector<std::wstring> TidiedFolders(const TidyJob& job, const std::wstring& history) {
    std::vector<std::wstring> folders;
    if (IsUndoJob(job)) {
        RunJournal journal;
        if (ReadJournalFile(history, FieldText(job.profileId), &journal)) folders = FoldersTakenBackInto(journal);
        return folders;
    }
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

// Leaves the items `stays` names (by their paths) where they are, and the
// folders only their moves needed unmade.
void LeaveItems(EngineContext* context, const std::function<bool(const std::wstring&)>& stays) {
    auto& ops = context->operations;
    auto carries = [](const Operation& op) { return Is(op, OperationKind::Move) || Is(op, OperationKind::Copy); };
    ops.erase(std::remove_if(ops.begin(), ops.end(),
                             [&](const std::unique_ptr<Operation>& op) {
                                 return carries(*op) && stays(path::WithoutTrailingSeparator(op->source.path.str()));
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

// What a user took back into the folder stays where they put it: a run no
// one watches does not carry it out again (nor make folders only it needed).
void LeaveWhatWasTakenBack(EngineContext* context, const std::wstring& history, const TidyJob& job) {
    if (static_cast<TidyTarget>(job.target) != TidyTarget::Folder || history.empty()) return;
    const std::vector<std::wstring> takenBack = ItemsTakenBackInto(history, FieldText(job.folder));
    if (takenBack.empty()) return;
    const std::unordered_set<std::wstring> leave(takenBack.begin(), takenBack.end());
    LeaveItems(context, [&](const std::wstring& item) { return leave.count(path::FoldCase(item)) > 0; });
}

// Nor does it carry off another watched folder, or the folder another's
// runs put their items into, or what holds one of them.
void LeaveWatchedPlaces(EngineContext* context, const TidyJob& job) {
    std::wstring appData;
    if (static_cast<TidyTarget>(job.target) != TidyTarget::Folder || !GetAppDataFolder(&appData)) return;
    const std::vector<WatchedFolder> watched = LoadWatchedFolders(SettingsFileIn(appData));
    if (watched.empty()) return;
    const std::wstring tidied = FieldText(job.folder);
    LeaveItems(context, [&](const std::wstring& item) { return HoldsWatchedPlace(item, watched, tidied); });
}

bool NeedsNoAttention(const Operation& op) {
    return Is(op, OperationStatus::Succeeded) || Is(op, OperationStatus::Pended) ||
           Is(op, OperationStatus::None);
}

// The engine's texts come from the module that holds this code.
std::wstring EngineText(UINT id) {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OperationThread), &module);
    return win::LoadModuleText(module, id);
}

// A message box through the progress dialog; 0, asking no one, in a run no
// one watches.
int Tell(ProgressSink* sink, const EngineContext& context, std::wstring text, UINT type) {
    if (context.unattended) return 0;
    UserMessage message{std::move(text), type};
    return static_cast<int>(sink->Send(UM_TELL_USER, 0, reinterpret_cast<LPARAM>(&message)));
}

uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The line of the journal's plan for an operation: the folders to make and
// the moves, each with where it is to arrive and the size and time of the
// item as planning found it.
bool PlannedEntryOf(const Operation& op, JournalEntry* entry) {
    entry->source = path::WithoutTrailingSeparator(op.source.path.str());
    entry->destination.clear();
    entry->size = 0;
    entry->lastWrite = 0;
    if (Is(op, OperationKind::CreateDirectory)) {
        entry->kind = JournalKind::CreateFolder;
        return true;
    }
    if (!Is(op, OperationKind::Move)) return false;
    entry->kind = JournalKind::Move;
    const std::wstring name = op.NewName().empty() ? path::LastComponent(entry->source) : op.NewName().str();
    entry->destination = path::Join(path::WithoutTrailingSeparator(op.destination.path.str()), name);
    const bool folder = IsFolder(op.source) && !IsFile(op.source);
    entry->size = folder ? 0 : op.source.size;
    entry->lastWrite = FileTimeValue(op.source.lastWriteTime);
    return true;
}

// Opens the journal and writes the run's plan, on the disk before the first
// operation; false when it cannot be kept.
bool WritePlan(JournalWriter* journal, EngineContext* context) {
    if (!journal->Begin()) return false;
    JournalEntry entry;
    for (const auto& op : context->operations) {
        op->planIndex = -1;
        if (PlannedEntryOf(*op, &entry)) op->planIndex = journal->Plan(entry);
    }
    return journal->CommitPlan();
}

void SetPlannedStep(ExecutionState* state, const Operation& op) {
    state->planned.index = -1;
    if (op.planIndex < 0) return;
    JournalEntry entry;
    if (!PlannedEntryOf(op, &entry)) return;
    state->planned.index = op.planIndex;
    state->planned.kind = entry.kind;
    state->planned.source = std::move(entry.source);
    state->planned.destination = std::move(entry.destination);
}

// While the run waits on the user the journal holds everything done so far:
// what is kept back is handed over before every question.
class JournalledSink : public ProgressSink {
public:
    JournalledSink(ProgressSink* inner, JournalWriter* journal) : inner_(inner), journal_(journal) {}
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (journal_ && (message == UM_ASK_CONFLICT || message == UM_SHOW_UNCOMPLETED ||
                         message == UM_OPERATION_ABORTED || message == UM_TELL_USER))
            journal_->Flush();
        return inner_->Send(message, wParam, lParam);
    }
    HWND Owner() const override { return inner_->Owner(); }

private:
    ProgressSink* inner_;
    JournalWriter* journal_;
};

// Tests stop the process before its operation number K (counted from 0 over
// the run) with ORDVALE_KILL_AT_OPERATION=K, as a crash or a power cut
// would: no destructor runs, nothing more is written.
long KillAtOperation() {
    wchar_t value[16];
    const DWORD n = GetEnvironmentVariableW(L"ORDVALE_KILL_AT_OPERATION", value, 16);
    if (n == 0 || n >= 16) return -1;
    return wcstol(value, nullptr, 10);
}
constexpr UINT kKilledExitCode = 75;

UINT ReasonTextId(UndoReason reason) {
    switch (reason) {
        case UndoReason::Changed: return IDS_REASON_CHANGED;
        case UndoReason::Missing: return IDS_REASON_MISSING;
        case UndoReason::Recycled: return IDS_REASON_RECYCLED;
        case UndoReason::NoFolder: return IDS_REASON_NO_FOLDER;
    }
    return IDS_REASON_MISSING;
}

// The end of a list shown in a box: at most so many lines, then how many more.
void AddLines(std::wstring* text, const std::vector<std::wstring>& lines, std::size_t total) {
    constexpr std::size_t kShown = 20;
    for (std::size_t i = 0; i < lines.size() && i < kShown; ++i) *text += L"\n" + lines[i];
    const std::size_t shown = std::min(lines.size(), kShown);
    if (total > shown) {
        wchar_t more[64];
        swprintf(more, 64, EngineText(IDS_AND_MORE).c_str(), static_cast<unsigned>(total - shown));
        *text += L"\n";
        *text += more;
    }
}

// What an undo says at its end instead of "Operation Finished.", with a box
// listing what it left where it is and the journal lines it did not use;
// 0 when everything went back.
UINT ReportUndo(ProgressSink* sink, const EngineContext& context, const UndoRun& undo) {
    std::vector<std::wstring> left;
    for (const UndoLeftItem& item : undo.left) left.push_back(item.path + L": " + EngineText(ReasonTextId(item.reason)));
    for (const auto& op : context.operations)
        left.push_back(op->source.path.str() + L": " + EngineText(IDS_REASON_FAILED));
    for (const std::wstring& partial : undo.partialsKept)
        left.push_back(partial + L": " + EngineText(IDS_REASON_FAILED));
    if (undo.steps > 0 && left.empty() && undo.skippedLines == 0) return 0;
    const UINT ending = undo.steps == 0 ? IDS_UNDO_NOTHING : IDS_UNDO_SOME_LEFT;
    std::wstring text = EngineText(ending);
    if (!left.empty()) {
        text += L"\n\n" + EngineText(IDS_UNDO_LEFT_HEAD);
        AddLines(&text, left, left.size());
    }
    if (undo.skippedLines > 0) {
        text += L"\n\n" + EngineText(IDS_UNDO_SKIPPED_HEAD);
        AddLines(&text, undo.skippedSamples, undo.skippedLines);
    }
    Tell(sink, context, text, MB_OK | (left.empty() && undo.skippedLines == 0 ? MB_ICONINFORMATION : MB_ICONWARNING));
    return ending;
}

UINT UnreadableUndoText(JournalReadError error) {
    switch (error) {
        case JournalReadError::NotARunId: return IDS_UNDO_NOT_A_RUN;
        case JournalReadError::NotFound: return IDS_UNDO_NOT_FOUND;
        case JournalReadError::TooLarge: return IDS_UNDO_TOO_LARGE;
        default: return IDS_UNDO_UNREADABLE;
    }
}

// The run; how it ended when that is not "Operation Finished.".
UINT RunWorker(RunSlot* slot, const TidyJob* job) {
    trace::Mark("worker: started");
    win::ComInit com;
    EngineContext context;
    context.unattended = slot->unattended;
    trace::Mark("worker: COM");
    LoadSettings(&context.settings);
    trace::Mark("worker: settings read");
    if (context.unattended) MakeUnattended(&context.settings);
    WorkerSink windowSink(slot);
    QuietSink quietSink;
    ProgressSink& sink = context.unattended ? static_cast<ProgressSink&>(quietSink) : windowSink;
    UINT ending = 0;

    if (job) {
        // No message is sent before this run's own dialog is on the screen.
        slot->WaitUntilDialogShown(INFINITE);
        trace::Mark("worker: dialog is up");

        // A run that takes another back plans from that run's journal.
        const bool undoing = IsUndoJob(*job);
        const std::wstring history = HistoryFolder();
        UndoRun undo;

        sink.Send(UM_INITIALIZING, 1, 0);
        if (slot->control.Stopped()) return 0;
        if (!undoing) {
            RestoreLeftoversOfTarget(*job);
            trace::Mark("worker: leftovers of the target restored");
            InitializeFromJob(&context, job);
        }
        trace::Mark("worker: target listed, profile loaded");
        sink.Send(UM_INITIALIZING, 0, 100);

        // Another run tidying the same folder is waited for, the progress
        // window showing; a run no one watches leaves the folder for its
        // next round instead.
        FolderLocks locks;
        if (!locks.Take(TidiedFolders(*job, history), !context.unattended,
                        [slot] { return slot->control.Stopped(); })) {
            if (context.unattended) slot->folderBusy = true;
            return 0;
        }

        trace::Mark("worker: folders locked");
        sink.Send(UM_CALCULATING, 1, 0);
        if (slot->control.Stopped()) return 0;
        bool undoPlanned = false;
        if (undoing)
            undoPlanned = PlanUndoOperations(&context, history, FieldText(job->profileId), &undo);
        else
            PlanOperations(&context);
        if (!undoing && context.unattended) {
            LeaveWhatWasTakenBack(&context, history, *job);
            LeaveWatchedPlaces(&context, *job);
        }
        trace::Mark("worker: planned");
        RestoreLeftoversOfDestinations(context);
        trace::Mark("worker: leftovers of the destinations restored");
        sink.Send(UM_CALCULATING, 0, 100);

        if (undoing && !undoPlanned) {
            // Nothing is known of the run: nothing moves, and the user is told.
            ending = UnreadableUndoText(undo.readError);
            Tell(&sink, context, EngineText(ending), MB_OK | MB_ICONERROR);
            slot->result = 1;
            return ending;
        }

        // The plan is on the disk before the first operation, and every
        // operation that succeeds is recorded, so that even a run cut short
        // can be taken back.
        JournalWriter journal(history, NewRunId(), undo.undoneRunId);
        JournalRunInfo info;
        if (!undoing) {
            info.target = job->target;
            if (static_cast<TidyTarget>(job->target) == TidyTarget::Folder) info.folder = FieldText(job->folder);
            info.method = job->method;
        }
        info.automatic = context.unattended;
        journal.Describe(info);
        bool journalKept = true;
        const bool planWritten = context.operations.empty() || WritePlan(&journal, &context);
        trace::Mark("worker: journal plan written");
        if (!planWritten) {
            journalKept = false;
            // Without a journal the run cannot be taken back: never
            // unattended, and only when the user says so.
            if (context.unattended) {
                context.operations.clear();
                ending = IDS_NO_JOURNAL_UNATTENDED;
                slot->result = 1;
            } else if (Tell(&sink, context, EngineText(IDS_NO_JOURNAL_QUESTION),
                            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES) {
                context.operations.clear();
                ending = IDS_NOTHING_TIDIED;
            }
        }
        if (journalKept && slot->faults && slot->faults->journalFailsAfterPlan) journal.FailFromNowOn();
        ExecutionState state;
        state.journal = journalKept ? &journal : nullptr;
        state.faults = slot->faults;
        JournalledSink runSink(&sink, state.journal);
        state.announceEveryMs = slot->announceEveryMs;
        state.verifyInBulk = true;
        const long killAt = KillAtOperation();
        long started = 0;
        // Once the journal cannot be written, nothing more is moved: what
        // would be done from then on could not be taken back.
        bool journalLost = false;
        std::size_t moved = 0;
        auto& operations = context.operations;
        static trace::Total running("operations"), progressSends("progress sends");
        while (!operations.empty()) {
            trace::Mark("worker: pass begins");
            state.BeginPass();
            const std::size_t n = operations.size();
            // The bar moves in whole percents: a value it already shows is
            // not sent again, and in a run of quick operations a new one is
            // sent once in so many milliseconds, as the operations are
            // announced (the bar shows 100 at the end in any case).
            LPARAM shown = -1;
            DWORD shownAt = 0;
            for (std::size_t k = 0; k < n; ++k) {
                if (!slot->control.WaitUntilRunning()) return 0;
                Operation* op = operations[k].get();
                if (Is(*op, OperationStatus::Succeeded)) continue;
                if (killAt >= 0 && started++ == killAt) TerminateProcess(GetCurrentProcess(), kKilledExitCode);
                UndoReason reason = UndoReason::Changed;
                if (undoing && !StillAsTheRunLeftIt(undo, *op, &reason)) {
                    // Changed since the undo was planned: it stays.
                    undo.left.push_back(UndoLeftItem{op->source.path.str(), L"", reason});
                    SetStatus(op, OperationStatus::None);
                } else {
                    SetPlannedStep(&state, *op);
                    trace::Span span(running);
                    RunOperation(context.settings, op, &runSink, &state);
                    state.planned.index = -1;
                    if (Is(*op, OperationKind::Move) && Is(*op, OperationStatus::Succeeded)) ++moved;
                    if (state.journal && state.journal->Failing()) {
                        journalLost = true;
                        break;
                    }
                }
                const auto percent = static_cast<LPARAM>(100 * k / n);
                if (percent != shown) {
                    const DWORD now = state.announceEveryMs ? GetTickCount() : 0;
                    if (shown < 0 || !state.announceEveryMs || now - shownAt >= state.announceEveryMs) {
                        trace::Span span(progressSends);
                        sink.Send(UM_PROGRESS, 0, percent);
                        shown = percent;
                        shownAt = now;
                    }
                }
            }
            if (journalLost) break;
            if (!slot->control.WaitUntilRunning()) return 0;
            trace::Mark("worker: pass ends");
            trace::ReportAll();
            VerifyMoves(&state);
            trace::Mark("worker: moves verified");

            sink.Send(UM_VERIFYING, 1, 0);
            operations.erase(std::remove_if(operations.begin(), operations.end(),
                                            [](const std::unique_ptr<Operation>& op) {
                                                return NeedsNoAttention(*op);
                                            }),
                             operations.end());
            sink.Send(UM_VERIFYING, 0, 100);
            if (operations.empty() || slot->control.Stopped()) break;
            if (runSink.Send(UM_SHOW_UNCOMPLETED, 1, reinterpret_cast<LPARAM>(&context)) != IDRETRY)
                break;
        }
        if (slot->control.Stopped()) return 0;
        trace::Mark("worker: passes over");
        if (journalLost) {
            wchar_t told[512];
            swprintf(told, 512, EngineText(IDS_JOURNAL_LOST_TOLD).c_str(), static_cast<unsigned>(moved));
            Tell(&sink, context, told, MB_OK | MB_ICONWARNING);
            if (context.unattended) slot->result = 1;
            return IDS_JOURNAL_LOST;
        }
        if (undoing) {
            RemoveEmptiedFolders(&undo, journalKept ? &journal : nullptr);
            ending = ReportUndo(&runSink, context, undo);
        }
    }
    return ending;
}

}  // namespace

DWORD WINAPI OperationThread(LPVOID parameter) {
    auto* start = static_cast<WorkerStart*>(parameter);
    if (!start || !start->slot) return 0;
    try {
        const UINT ending = RunWorker(start->slot, start->job);
        if (!start->slot->control.Stopped()) {
            WorkerSink sink(start->slot);
            trace::Mark("worker: context torn down, journal ended");
            sink.Send(UM_PROGRESS, 0, 100);
            sink.Send(UM_FINISHED, ending, 0);
            trace::Mark("worker: finished sent");
        }
    } catch (...) {
        // The dialog must not wait for a worker that is gone, also when the
        // worker failed before the dialog was up (it is waited for; one that
        // cannot be made lets the worker go with the run stopped).
        start->slot->WaitUntilDialogShown(INFINITE);
        if (!start->slot->control.Stopped() && start->slot->dialog)
            SendMessageW(start->slot->dialog, UM_FINISHED, 0, 0);
    }
    return 0;
}

}  // namespace ordvale
