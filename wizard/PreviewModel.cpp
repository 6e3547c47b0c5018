#include "PreviewModel.h"

#include <windows.h>

#include <algorithm>
#include <unordered_set>

#include "common/FreeName.h"
#include "common/Journal.h"
#include "common/PlannedNames.h"
#include "engine/ClashRule.h"
#include "engine/EngineContext.h"
#include "engine/Planner.h"
#include "common/PathText.h"
#include "common/win/Handle.h"

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

// Whether another program holds the file open so that it cannot be moved:
// a handle asking for delete access is refused then. Unlike the engine's
// probe this renames nothing, so looking changes nothing on disk.
bool HeldOpen(const std::wstring& path) {
    win::UniqueHandle h(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!h) {
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    }
    return false;
}

// A symbolic link or junction, as the file system sees it.
bool IsLinked(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

Arrival ArrivalOfVerdict(ItemVerdict verdict) {
    switch (verdict) {
        case ItemVerdict::ProfileFolder: return Arrival::ProfileFolder;
        case ItemVerdict::AlreadyThere: return Arrival::AlreadyThere;
        case ItemVerdict::BeingWritten: return Arrival::BeingWritten;
        default: return Arrival::NoRule;
    }
}

// What the executor will meet when the item arrives in the folder, as the
// names there will stand by then, following the same conflict settings.
class ArrivalForecast {
public:
    explicit ArrivalForecast(const OrdvaleSettings& settings) : settings_(settings) {}

    PreviewRow Forecast(const ShellItem& item, const std::wstring& folder) {
        PreviewRow row;
        row.item = item.path;
        row.folder = folder;
        const std::wstring name = path::LastComponent(row.item);
        const bool isFolder = IsFolder(item) && !IsFile(item);
        if (!isFolder && HeldOpen(row.item)) {
            row.arrival = Arrival::InUse;
            row.folder.clear();
            return row;
        }
        const std::wstring arrival = path::Join(folder, name);
        std::wstring arrivedAs = arrival;
        row.arrival = Arrival::Moved;
        if (names_.Taken(arrival)) {
            // The executor's own rule.
            Clash clash;
            clash.arrivingFolder = isFolder;
            clash.arrivingLinked = isFolder && IsLinked(row.item);
            clash.standingFolder = names_.IsFolder(arrival);
            clash.standingLinked = clash.standingFolder && IsLinked(arrival);
            clash.standingBrought = names_.Arrived(arrival);
            switch (DecideClash(settings_, clash)) {
                case ClashOutcome::KeepBoth: row.arrival = Arrival::Renamed; break;
                case ClashOutcome::Replace: row.arrival = Arrival::Replaced; break;
                case ClashOutcome::Merge: row.arrival = Arrival::Merged; break;
                case ClashOutcome::Ask: row.arrival = Arrival::Asked; break;
            }
            if (row.arrival == Arrival::Renamed) {
                row.newName = names_.FreeNameIn(folder, name, isFolder);
                arrivedAs = path::Join(folder, row.newName);
            }
        }
        names_.Leave(row.item);
        // A file that replaces another is one this run brought; a folder
        // merged into stays the one that stood there.
        if (row.arrival != Arrival::Merged && row.arrival != Arrival::Asked) names_.Arrive(arrivedAs, isFolder);
        return row;
    }

private:
    const OrdvaleSettings& settings_;
    PlannedNames names_;
};

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
    return path::LastComponent(row.item);
}

std::wstring RowFrom(const PreviewRow& row) {
    return path::ParentOf(row.item);
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
                row.folder = path::ParentOf(step.to);
                const std::wstring arrivalName = path::LastComponent(step.arrival);
                if (CompareNoCase(arrivalName, path::LastComponent(step.to)) != 0) {
                    row.arrival = Arrival::MovedBackRenamed;
                    row.newName = arrivalName;
                } else {
                    row.arrival = step.replaced ? Arrival::MovedBackReplaced : Arrival::MovedBack;
                }
                break;
            }
            case UndoAction::DeleteCopy: row.arrival = Arrival::CopyRecycled; break;
            case UndoAction::CreateFolder:
                row.folder = path::ParentOf(step.from);
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
    // The engine's own planning, on a context of our own: nothing is
    // created or moved, only looked at.
    EngineContext context;
    context.settings = settings;
    InitializeFromJob(&context, &job);
    ArrivalForecast forecast(settings);
    std::size_t looked = 0;
    // The plan asks for a folder before each item that goes into it while
    // it is missing; it is made once.
    std::unordered_set<std::wstring> made;
    PlanOperations(&context, [&](const PlannedItem& planned) {
        if (work.Stopped()) return false;
        work.Looked(++looked);
        if (planned.item->isVirtual) return true;
        if (planned.verdict != ItemVerdict::Move) {
            PreviewRow row;
            row.item = planned.item->path;
            row.arrival = ArrivalOfVerdict(planned.verdict);
            work.rows.push_back(std::move(row));
            return true;
        }
        if (planned.makesFolder && made.insert(path::FoldCase(planned.folder)).second) {
            PreviewRow made;
            made.item = planned.folder;
            made.folder = path::ParentOf(planned.folder);
            made.arrival = Arrival::FolderMade;
            work.rows.push_back(std::move(made));
        }
        work.rows.push_back(forecast.Forecast(*planned.item, planned.folder));
        return true;
    });
    work.canAccept = true;
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
