#include "UndoPlan.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <unordered_map>
#include <unordered_set>

#include "PlannedNames.h"
#include "PathText.h"
#include "Text.h"

namespace ordvale {

namespace {

struct Standing {
    bool exists = false;
    bool isFolder = false;
    uint64_t size = 0;
    uint64_t lastWrite = 0;
};

Standing WhatStandsAt(const std::wstring& path) {
    Standing s;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return s;
    s.exists = true;
    s.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    s.lastWrite = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    if (!s.isFolder) s.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return s;
}

// The start of the run the id names, as a FILETIME; 0 when it names none.
uint64_t RunStart(const std::wstring& runId) {
    if (!IsRunId(runId)) return 0;
    SYSTEMTIME utc = {};
    unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    if (swscanf(runId.c_str(), L"%4u%2u%2u-%2u%2u%2u-%3u", &year, &month, &day, &hour, &minute, &second, &ms) != 7)
        return 0;
    utc.wYear = static_cast<WORD>(year);
    utc.wMonth = static_cast<WORD>(month);
    utc.wDay = static_cast<WORD>(day);
    utc.wHour = static_cast<WORD>(hour);
    utc.wMinute = static_cast<WORD>(minute);
    utc.wSecond = static_cast<WORD>(second);
    utc.wMilliseconds = static_cast<WORD>(ms);
    FILETIME time = {};
    if (!SystemTimeToFileTime(&utc, &time)) return 0;
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool OnOtherDrives(const std::wstring& a, const std::wstring& b) {
    return a.size() >= 2 && b.size() >= 2 && a[1] == L':' && b[1] == L':' && towupper(a[0]) != towupper(b[0]);
}

// The temporary files that the planned move `planned`, whose source still
// stands, left beside its destination when its run ended in the middle of
// the copy. A copy takes the first of its names that is free, so the names
// are looked at in turn until one is free; a name taken by anything the run
// did not make is passed over, never removed.
void PartialsLeftBy(const JournalEntry& planned, const Standing& source, uint64_t runStart,
                    std::vector<UndoPartial>* partials) {
    if (planned.destination.empty() || !OnOtherDrives(planned.source, planned.destination)) return;
    for (int attempt = 0; attempt < kPartialCopyAttempts; ++attempt) {
        const std::wstring name = PartialCopyName(planned.destination, attempt);
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (name.empty() || !GetFileAttributesExW(name.c_str(), GetFileExInfoStandard, &data)) return;
        if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        const uint64_t size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        const uint64_t written =
            (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
        const uint64_t created =
            (static_cast<uint64_t>(data.ftCreationTime.dwHighDateTime) << 32) | data.ftCreationTime.dwLowDateTime;
        if (size > planned.size) continue;
        // A copy that was whole and given the source's times just before
        // its rename no longer shows when it was written; the source it
        // copies still stands as planned.
        const bool whole = size == planned.size && written == planned.lastWrite && planned.lastWrite != 0 &&
                           source.size == planned.size && source.lastWrite == planned.lastWrite;
        // Made and written since the run began (its id names the
        // millisecond it began in).
        const bool sinceRun = runStart != 0 && created >= runStart && written >= runStart;
        if (!whole && !sinceRun) continue;
        partials->push_back(UndoPartial{name, size, written});
    }
}

class Planner {
public:
    explicit Planner(UndoPlan* plan) : plan_(plan) {}

    // `pairing`: for a SetAside, whether a replacement followed it; for a
    // Replace, whether what it replaced was set aside first.
    struct Pairing {
        bool replaced = false;
        bool setAside = false;
    };

    void Take(const JournalEntry& e, Pairing pairing) {
        switch (e.kind) {
            case JournalKind::CreateFolder: RemoveIfMade(e.source); break;
            case JournalKind::RemoveFolder: MakeAgain(e.source); break;
            case JournalKind::Move:
            case JournalKind::Rename: MoveBack(e, false); break;
            case JournalKind::Replace: MoveBack(e, !pairing.setAside); break;
            case JournalKind::Copy: DeleteCopy(e); break;
            case JournalKind::Delete: Leave(e.source, e.source, UndoReason::Recycled); break;
            // Taken after the file that replaced it has gone back. One
            // that nothing replaced was put back by the run itself, unless
            // the run ended before it could (then it is still aside).
            case JournalKind::SetAside:
                if (pairing.replaced || names_.Taken(e.destination)) MoveBack(e, false);
                break;
        }
    }

private:
    void RemoveIfMade(const std::wstring& folder) {
        if (!names_.IsFolder(folder)) return;  // gone already
        UndoStep step;
        step.action = UndoAction::RemoveFolder;
        step.from = folder;
        step.isFolder = true;
        step.willEmpty = names_.Empty(folder);
        if (step.willEmpty) names_.Leave(folder);
        plan_->steps.push_back(std::move(step));
    }

    void MakeAgain(const std::wstring& folder) {
        if (names_.IsFolder(folder) || names_.Taken(folder)) return;
        AddCreateFolder(folder);
    }

    void AddCreateFolder(const std::wstring& folder) {
        UndoStep step;
        step.action = UndoAction::CreateFolder;
        step.from = folder;
        step.isFolder = true;
        names_.Arrive(folder, true);
        plan_->steps.push_back(std::move(step));
    }

    // Whether the item stands where the run put it, as the run left it.
    bool Unchanged(const JournalEntry& e, Standing* now) {
        *now = WhatStandsAt(e.destination);
        if (!now->exists || !names_.Taken(e.destination)) {
            Leave(e.destination, e.source, UndoReason::Missing);
            return false;
        }
        if (e.lastWrite == 0 || now->lastWrite != e.lastWrite || now->size != e.size) {
            Leave(e.destination, e.source, UndoReason::Changed);
            return false;
        }
        return true;
    }

    // `replacedGone`: the run's move replaced a file that was not kept.
    void MoveBack(const JournalEntry& e, bool replacedGone) {
        Standing now;
        if (e.destination.empty() || !Unchanged(e, &now)) return;
        const std::wstring folder = path::ParentOf(e.source);
        if (!names_.IsFolder(folder)) {
            if (names_.Taken(folder)) {
                Leave(e.destination, e.source, UndoReason::NoFolder);
                return;
            }
            AddCreateFolder(folder);
        }
        names_.Leave(e.destination);
        const std::wstring name = names_.FreeNameIn(folder, path::LastComponent(e.source), now.isFolder);
        UndoStep step;
        step.action = UndoAction::MoveBack;
        step.from = e.destination;
        step.to = e.source;
        step.arrival = name.empty() ? e.source : path::Join(folder, name);
        step.isFolder = now.isFolder;
        step.replaced = replacedGone;
        step.size = e.size;
        step.lastWrite = e.lastWrite;
        names_.Arrive(step.arrival, now.isFolder);
        plan_->steps.push_back(std::move(step));
    }

    void DeleteCopy(const JournalEntry& e) {
        Standing now;
        if (e.destination.empty() || !Unchanged(e, &now)) return;
        UndoStep step;
        step.action = UndoAction::DeleteCopy;
        step.from = e.destination;
        step.to = e.source;
        step.isFolder = now.isFolder;
        step.size = e.size;
        step.lastWrite = e.lastWrite;
        names_.Leave(e.destination);
        plan_->steps.push_back(std::move(step));
    }

    void Leave(const std::wstring& path, const std::wstring& original, UndoReason reason) {
        plan_->left.push_back(UndoLeftItem{path, original, reason});
    }

    UndoPlan* plan_;
    PlannedNames names_;
};

}  // namespace

std::wstring PartialCopyName(const std::wstring& arrival, int attempt) {
    std::wstring name = arrival;
    if (attempt > 0) name += L"." + std::to_wstring(attempt);
    name += kPartialSuffix;
    return name.size() >= kTextUnits ? std::wstring() : name;
}

namespace {

// What the run did, oldest first, as EntriesToTakeBack tells it: the
// journal's own entries referred to, not copied, and the planned
// operations found carried out, in `found` (which the result refers to).
std::vector<const JournalEntry*> EntriesDone(const RunJournal& journal, std::vector<JournalEntry>* found,
                                             std::vector<UndoPartial>* partials) {
    std::vector<const JournalEntry*> entries;
    entries.reserve(journal.entries.size());
    for (const JournalEntry& e : journal.entries) entries.push_back(&e);
    if (journal.ended || journal.planned.empty()) return entries;
    const uint64_t runStart = partials ? RunStart(journal.runId) : 0;
    // Planned operations that went otherwise were recorded as whole entries.
    std::unordered_set<std::wstring> recorded;
    for (const JournalEntry& e : journal.entries) recorded.insert(path::FoldCase(e.source));
    std::vector<std::size_t> foundAt;  // where each found one goes in the order of the run
    for (std::size_t i = 0; i < journal.planned.size(); ++i) {
        if (i < journal.plannedDone.size() && journal.plannedDone[i]) continue;
        const JournalEntry& planned = journal.planned[i];
        if (recorded.count(path::FoldCase(planned.source))) continue;
        const Standing source = WhatStandsAt(planned.source);
        switch (planned.kind) {
            case JournalKind::CreateFolder:
                if (source.exists && source.isFolder) found->push_back(planned);
                break;
            case JournalKind::Move: {
                if (source.exists) {
                    // Still there: its copy to another volume may have
                    // been cut short.
                    if (partials && !source.isFolder) PartialsLeftBy(planned, source, runStart, partials);
                    break;
                }
                const Standing there = WhatStandsAt(planned.destination);
                if (!there.exists) break;
                if (there.isFolder) {
                    // A folder's time changes as items arrive in it or leave.
                    JournalEntry moved = planned;
                    moved.size = 0;
                    moved.lastWrite = there.lastWrite;
                    found->push_back(std::move(moved));
                } else if (there.size == planned.size && there.lastWrite == planned.lastWrite &&
                           planned.lastWrite != 0) {
                    found->push_back(planned);
                }
                break;
            }
            default: break;
        }
    }
    for (const JournalEntry& e : *found) entries.push_back(&e);
    return entries;
}

}  // namespace

std::vector<JournalEntry> EntriesToTakeBack(const RunJournal& journal, std::vector<UndoPartial>* partials) {
    std::vector<JournalEntry> found;
    std::vector<JournalEntry> entries;
    for (const JournalEntry* e : EntriesDone(journal, &found, partials)) entries.push_back(*e);
    return entries;
}

UndoPlan PlanUndo(const RunJournal& journal) {
    UndoPlan plan;
    plan.runId = journal.runId;
    plan.undoneRunId = journal.undoneRunId;
    Planner planner(&plan);
    // Which file set aside was replaced: the next Replace (or Copy) onto
    // its place, before it is set aside again.
    std::vector<JournalEntry> carriedOut;
    const std::vector<const JournalEntry*> entries = EntriesDone(journal, &carriedOut, &plan.partials);
    std::vector<Planner::Pairing> pairings(entries.size());
    std::unordered_map<std::wstring, std::size_t> pending;  // folded place -> its SetAside
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const JournalEntry& e = *entries[i];
        if (e.kind == JournalKind::SetAside) {
            pending[path::FoldCase(e.source)] = i;
        } else if (e.kind == JournalKind::Replace || e.kind == JournalKind::Copy) {
            const auto found = pending.find(path::FoldCase(e.destination));
            if (found == pending.end()) continue;
            pairings[found->second].replaced = true;
            pairings[i].setAside = true;
            pending.erase(found);
        }
    }
    for (std::size_t i = entries.size(); i-- > 0;) planner.Take(*entries[i], pairings[i]);
    return plan;
}

std::size_t ItemsMovedBack(const UndoPlan& plan) {
    std::size_t n = 0;
    for (const UndoStep& step : plan.steps)
        if (step.action == UndoAction::MoveBack) ++n;
    return n;
}

std::vector<std::wstring> FoldersTakenBackInto(const RunJournal& journal) {
    std::vector<std::wstring> folders;
    auto add = [&](const std::wstring& folder) {
        if (folder.empty()) return;
        for (const std::wstring& f : folders)
            if (path::SamePath(f, folder)) return;
        folders.push_back(path::WithoutTrailingSeparator(folder));
    };
    add(journal.run.folder);
    for (const auto* entries : {&journal.entries, &journal.planned})
        for (const JournalEntry& e : *entries)
            if (e.kind == JournalKind::Move || e.kind == JournalKind::Replace || e.kind == JournalKind::Rename)
                add(path::ParentOf(path::WithoutTrailingSeparator(e.source)));
    return folders;
}

std::vector<std::wstring> ItemsTakenBackInto(const std::wstring& historyFolder, const std::wstring& folder) {
    std::vector<std::wstring> items;
    for (const std::wstring& runId : ListRunIds(historyFolder)) {
        RunJournal journal;
        if (!ReadJournalFile(historyFolder, runId, &journal) || journal.undoneRunId.empty()) continue;
        for (const JournalEntry& e : journal.entries) {
            const bool arrived = e.kind == JournalKind::Move || e.kind == JournalKind::Rename ||
                                 e.kind == JournalKind::Replace;
            const std::wstring& at = arrived ? e.destination : e.source;
            if (!(arrived || e.kind == JournalKind::CreateFolder) || !path::SamePath(path::ParentOf(at), folder))
                continue;
            if (arrived) {
                uint64_t size = 0, lastWrite = 0;
                ReadSizeAndLastWrite(at, &size, &lastWrite);
                if (lastWrite == 0 || size != e.size || lastWrite != e.lastWrite) continue;
            } else if (GetFileAttributesW(at.c_str()) == INVALID_FILE_ATTRIBUTES) {
                continue;
            }
            items.push_back(path::FoldCase(path::WithoutTrailingSeparator(at)));
        }
    }
    return items;
}

}  // namespace ordvale
