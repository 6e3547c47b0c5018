// Taking a run back as a run of the engine: the steps that put back what the
// run did become operations the executor carries out like any others (with
// its progress, its conflict safety and its retries), and the folders the
// run made are removed once everything has left them.
#pragma once

#include <string>
#include <vector>

#include "common/Journal.h"
#include "common/UndoPlan.h"
#include "engine/EngineContext.h"

namespace ordvale {

struct UndoRun {
    std::wstring undoneRunId;                 // the run taken back
    std::vector<std::wstring> foldersToRemove;  // in the order to try them
    std::vector<UndoLeftItem> left;             // what cannot be taken back
};

// Reads the run's journal from the History folder and plans taking it back
// into the context's operations. An item whose old place is taken comes
// back beside what stands there, whatever the settings say. False when the
// journal cannot be read.
bool PlanUndoOperations(EngineContext* context, const std::wstring& historyFolder, const std::wstring& runId,
                        UndoRun* run);

// The same for a plan already made.
void AddUndoOperations(EngineContext* context, const UndoPlan& plan, UndoRun* run);

// Removes each folder of the list that is empty by now (a folder that still
// holds something stays), recording every removal in the journal.
void RemoveEmptiedFolders(const UndoRun& run, JournalWriter* journal);

}  // namespace ordvale
