#include "RunHistory.h"

#include <algorithm>

#include "Text.h"

namespace ordvale {

RunSummary SummarizeRun(const RunJournal& journal) {
    RunSummary summary;
    summary.runId = journal.runId;
    summary.undoneRunId = journal.undoneRunId;
    summary.run = journal.run;
    // An item that moved (or replaced what stood there) counts once; folders
    // made or removed, copies and renames are not items moved.
    summary.itemsMoved = static_cast<std::size_t>(
        std::count_if(journal.entries.begin(), journal.entries.end(), [](const JournalEntry& entry) {
            return entry.kind == JournalKind::Move || entry.kind == JournalKind::Replace;
        }));
    return summary;
}

void MarkTakenBack(std::vector<RunSummary>* runs) {
    for (RunSummary& run : *runs) {
        run.takenBack = std::any_of(runs->begin(), runs->end(), [&run](const RunSummary& other) {
            return &other != &run && !other.undoneRunId.empty() && EqualsNoCase(other.undoneRunId, run.runId);
        });
    }
}

std::vector<RunSummary> ReadRunHistory(const std::wstring& historyFolder) {
    std::vector<RunSummary> runs;
    const std::vector<std::wstring> ids = ListRunIds(historyFolder);  // oldest first
    for (auto id = ids.rbegin(); id != ids.rend(); ++id) {
        RunJournal journal;
        if (ReadJournalFile(historyFolder, *id, &journal)) runs.push_back(SummarizeRun(journal));
    }
    MarkTakenBack(&runs);
    return runs;
}

}  // namespace ordvale
