// Taking a run back as a run of the engine: the steps that put back what the
// run did become operations the executor carries out like any others (with
// its progress, its conflict safety and its retries), and the folders the
// run made are removed once everything has left them.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/Journal.h"
#include "common/UndoPlan.h"
#include "engine/EngineContext.h"

namespace ordvale {

struct UndoRun {
    std::wstring undoneRunId;                 // the run taken back
    std::vector<std::wstring> foldersToRemove;  // in the order to try them
    std::vector<UndoLeftItem> left;             // what cannot be taken back
    std::vector<UndoPartial> partials;          // copies the run left unfinished
    std::vector<std::wstring> partialsKept;     // those that could not be deleted
    std::size_t steps = 0;                      // what the plan found to do, those copies too
    JournalReadError readError = JournalReadError::None;
    std::size_t skippedLines = 0;               // journal lines not used
    std::vector<std::wstring> skippedSamples;
    // What each item put back had when the run left it.
    struct Expected {
        bool isFolder = false;
        uint64_t size = 0;
        uint64_t lastWrite = 0;
    };
    std::unordered_map<const Operation*, Expected> expected;
};

// Reads the run's journal from the History folder and plans taking it back
// into the context's operations. An item whose old place is taken comes
// back beside what stands there, whatever the settings say. False when the
// journal cannot be read (`readError` says why); a run id that is not one
// is refused unread.
bool PlanUndoOperations(EngineContext* context, const std::wstring& historyFolder, const std::wstring& runId,
                        UndoRun* run);

// The same for a plan already made.
void AddUndoOperations(EngineContext* context, const UndoPlan& plan, UndoRun* run);

// Whether the operation's item still stands as the run left it: a file of
// the same size and last-write time, or a folder (whose time changes as
// items are taken back out of it). Checked just before it is moved, on
// every pass; what no longer is gets `reason`.
bool StillAsTheRunLeftIt(const UndoRun& run, const Operation& op, UndoReason* reason);

// Deletes the unfinished copies the run left that are still as the undo
// found them (one that cannot be deleted goes to `partialsKept`), then
// removes each folder of the list that is empty by now (a folder that still
// holds something stays), recording every folder removed in the journal.
void RemoveEmptiedFolders(UndoRun* run, JournalWriter* journal);

}  // namespace ordvale
