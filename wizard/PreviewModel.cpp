#include "PreviewModel.h"

#include <windows.h>

#include <algorithm>

#include "common/Journal.h"
#include "common/PlannedNames.h"

namespace ordvale::wizard {

namespace {

int CompareNoCase(const std::wstring& a, const std::wstring& b) {
    const int r = CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), TRUE);
    return r == CSTR_LESS_THAN ? -1 : r == CSTR_GREATER_THAN ? 1 : 0;
}

// Rows that stay have no folder; they sort after every folder.
int CompareFolders(const std::wstring& a, const std::wstring& b) {
    if (a.empty() != b.empty()) return a.empty() ? 1 : -1;
    return CompareNoCase(a, b);
}

}  // namespace

bool StaysPut(Arrival arrival) {
    switch (arrival) {
        case Arrival::NoRule:
        case Arrival::InUse:
        case Arrival::BeingWritten:
        case Arrival::AlreadyThere:
        case Arrival::ProfileFolder:
        case Arrival::FolderKept:
        case Arrival::LeftChanged:
        case Arrival::LeftMissing:
        case Arrival::LeftRecycled:
        case Arrival::LeftNoFolder:
            return true;
        default:
            return false;
    }
}

bool IsFolderStep(Arrival arrival) {
    switch (arrival) {
        case Arrival::FolderMade:
        case Arrival::FolderMadeAgain:
        case Arrival::FolderRemoved:
        case Arrival::FolderKept:
            return true;
        default:
            return false;
    }
}

std::wstring RowName(const PreviewRow& row) {
    return NameOfPath(row.item);
}

std::wstring RowFrom(const PreviewRow& row) {
    return FolderOfPath(row.item);
}

std::vector<FolderCount> CountByFolder(const std::vector<PreviewRow>& rows) {
    std::vector<FolderCount> counts;
    std::vector<const PreviewRow*> sorted;
    sorted.reserve(rows.size());
    for (const PreviewRow& row : rows) sorted.push_back(&row);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const PreviewRow* a, const PreviewRow* b) { return CompareFolders(a->folder, b->folder) < 0; });
    for (const PreviewRow* row : sorted) {
        if (counts.empty() || CompareFolders(counts.back().folder, row->folder) != 0)
            counts.push_back(FolderCount{row->folder, 0});
        ++counts.back().items;
    }
    return counts;
}

std::vector<std::size_t> SortRows(const std::vector<PreviewRow>& rows, int column, bool ascending, bool onlyFolder,
                                  const std::wstring& folder) {
    std::vector<std::size_t> order;
    order.reserve(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (!onlyFolder || CompareFolders(rows[i].folder, folder) == 0) order.push_back(i);
    // The names are taken apart once, not at every comparison.
    std::vector<std::wstring> names(rows.size()), froms;
    for (std::size_t i : order) names[i] = RowName(rows[i]);
    if (column == kColumnFrom) {
        froms.resize(rows.size());
        for (std::size_t i : order) froms[i] = RowFrom(rows[i]);
    }
    auto compare = [&](std::size_t a, std::size_t b) {
        int r = 0;
        switch (column) {
            case kColumnFrom: r = CompareNoCase(froms[a], froms[b]); break;
            case kColumnArrival: r = static_cast<int>(rows[a].arrival) - static_cast<int>(rows[b].arrival); break;
            case kColumnName: r = CompareNoCase(names[a], names[b]); break;
            default: break;
        }
        if (!ascending) r = -r;
        if (r == 0) r = CompareFolders(rows[a].folder, rows[b].folder);
        if (r == 0) r = CompareNoCase(names[a], names[b]);
        return r < 0;
    };
    std::stable_sort(order.begin(), order.end(), compare);
    return order;
}

std::vector<PreviewRow> RowsOfUndo(const UndoPlan& plan) {
    std::vector<PreviewRow> rows;
    for (const UndoStep& step : plan.steps) {
        PreviewRow row;
        row.item = step.from;
        switch (step.action) {
            case UndoAction::MoveBack: {
                row.folder = FolderOfPath(step.to);
                const std::wstring arrivalName = NameOfPath(step.arrival);
                if (CompareNoCase(arrivalName, NameOfPath(step.to)) != 0) {
                    row.arrival = Arrival::MovedBackRenamed;
                    row.newName = arrivalName;
                } else {
                    row.arrival = step.replaced ? Arrival::MovedBackReplaced : Arrival::MovedBack;
                }
                break;
            }
            case UndoAction::DeleteCopy: row.arrival = Arrival::CopyRecycled; break;
            case UndoAction::CreateFolder:
                row.folder = FolderOfPath(step.from);
                row.arrival = Arrival::FolderMadeAgain;
                break;
            case UndoAction::RemoveFolder: row.arrival = step.willEmpty ? Arrival::FolderRemoved : Arrival::FolderKept; break;
        }
        rows.push_back(std::move(row));
    }
    for (const UndoLeftItem& left : plan.left) {
        PreviewRow row;
        row.item = left.path;
        switch (left.reason) {
            case UndoReason::Missing: row.arrival = Arrival::LeftMissing; break;
            case UndoReason::Changed: row.arrival = Arrival::LeftChanged; break;
            case UndoReason::Recycled: row.arrival = Arrival::LeftRecycled; break;
            case UndoReason::NoFolder: row.arrival = Arrival::LeftNoFolder; break;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

PreviewTotals Totals(const std::vector<PreviewRow>& rows) {
    PreviewTotals totals;
    for (const PreviewRow& row : rows)
        if (!IsFolderStep(row.arrival)) (StaysPut(row.arrival) ? totals.staying : totals.moving)++;
    return totals;
}

void PreviewWork::Looked(std::size_t items) {
    looked_.store(items);
    if (onProgress && !progressPending_.exchange(true)) onProgress();
}

void BuildTidyPreview(const TidyJob& job, const OrdvaleSettings& settings, PreviewWork& work) {
    (void)job;
    (void)settings;
    (void)work;
}

void BuildUndoPreview(const std::wstring& historyFolder, const std::wstring& runId, PreviewWork& work) {
    RunJournal journal;
    if (!ReadJournalFile(historyFolder, runId, &journal)) return;
    work.Looked(journal.entries.size());
    const UndoPlan plan = PlanUndo(journal);
    work.rows = RowsOfUndo(plan);
    for (const UndoStep& step : plan.steps)
        if (step.action != UndoAction::RemoveFolder || step.willEmpty) work.canAccept = true;
}

}  // namespace ordvale::wizard
