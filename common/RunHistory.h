// The history of runs, as the History window lists it: one line per journal
// kept in the History folder, newest first, with what the run tidied, how
// many items it moved, whether the watcher started it, and whether another
// run has taken it back since.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "Journal.h"

namespace ordvale {

struct RunSummary {
    std::wstring runId;
    std::wstring undoneRunId;  // set when the run took another run back
    JournalRunInfo run;        // target, folder, method, automatic
    std::size_t itemsMoved = 0;
    bool takenBack = false;    // a later run's journal says it undoes this one
};

// One run's line, from its journal (takenBack is left false: only the other
// journals can tell).
RunSummary SummarizeRun(const RunJournal& journal);

// Marks every run that another line undoes as taken back.
void MarkTakenBack(std::vector<RunSummary>* runs);

// Every journal of the History folder that can be read, newest first, the
// runs taken back marked.
std::vector<RunSummary> ReadRunHistory(const std::wstring& historyFolder);

}  // namespace ordvale
