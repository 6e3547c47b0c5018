#include "UndoPlan.h"

#include <windows.h>

#include <cwchar>
#include <cwctype>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "ConfigureType.h"
#include "PlannedNames.h"
#include "PathText.h"
#include "Text.h"
#include "common/win/Handle.h"

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
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, ms = 0;
    if (swscanf(runId.c_str(), L"%4d%2d%2d-%2d%2d%2d-%3d", &year, &month, &day, &hour, &minute, &second, &ms) != 7)
        return 0;
    FILETIME time = {};
    if (!UtcFileTime(year, month, day, hour, minute, second, ms, &time)) return 0;
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool OnOtherDrives(const std::wstring& a, const std::wstring& b) {
    return a.size() >= 2 && b.size() >= 2 && a[1] == L':' && b[1] == L':' && towupper(a[0]) != towupper(b[0]);
}

uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The name an item called so would have had before it was given a
// numbered one ("a.jpg" for "a (2).jpg", "F" for "F (3)"); empty when the
// name is no numbered form.
std::wstring UnnumberedName(const std::wstring& name, bool isFolder) {
    std::size_t stemEnd = name.size();
    if (!isFolder) {
        const std::size_t dot = name.rfind(L'.');
        if (dot != std::wstring::npos && dot > 0) stemEnd = dot;
    }
    // "<stem> (<n>)" with n from 2 on, written without leading zeros.
    if (stemEnd < 5 || name[stemEnd - 1] != L')') return std::wstring();
    std::size_t open = stemEnd - 1;
    while (open > 0 && iswdigit(name[open - 1])) --open;
    const std::size_t digits = stemEnd - 1 - open;
    if (digits == 0 || digits > 6 || open < 3 || name[open - 1] != L'(' || name[open - 2] != L' ')
        return std::wstring();
    if (name[open] == L'0' || (digits == 1 && name[open] == L'1')) return std::wstring();
    return name.substr(0, open - 2) + name.substr(stemEnd);
}

// The names the item that a copy's temporary file of this name stands for
// was to arrive under: the name without the suffix, and without the
// attempt's number too when it has one ("a.jpg" and "a.jpg.1" both for
// "a.jpg.1.ordvale-partial", since "a.jpg.1" is a name too).
std::vector<std::wstring> ArrivalsOfPartial(const std::wstring& name) {
    std::vector<std::wstring> arrivals;
    const std::size_t suffix = wcslen(kPartialSuffix);
    if (name.size() <= suffix || !EqualsNoCase(name.substr(name.size() - suffix), kPartialSuffix)) return arrivals;
    const std::wstring arrival = name.substr(0, name.size() - suffix);
    arrivals.push_back(arrival);
    const std::size_t dot = arrival.rfind(L'.');
    if (dot == std::wstring::npos || dot == 0 || dot + 1 == arrival.size() || arrival[dot + 1] == L'0') return arrivals;
    int attempt = 0;
    for (std::size_t i = dot + 1; i < arrival.size(); ++i) {
        if (!iswdigit(arrival[i]) || attempt >= kPartialCopyAttempts) return arrivals;
        attempt = attempt * 10 + (arrival[i] - L'0');
    }
    if (attempt >= 1 && attempt < kPartialCopyAttempts) arrivals.push_back(arrival.substr(0, dot));
    return arrivals;
}

// Whether an item called `item` may have arrived as `arrival`: under its
// own name, or under a numbered one when its own was taken.
bool MayArriveAs(const std::wstring& arrival, const std::wstring& item, bool isFolder) {
    return EqualsNoCase(arrival, item) || EqualsNoCase(UnnumberedName(arrival, isFolder), item);
}

// When the file's name, attributes or content last changed (which no one
// sets by hand as a copy sets its times); 0 when it cannot be read.
uint64_t ChangeTimeOf(const std::wstring& file) {
    win::UniqueHandle handle(CreateFileW(file.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_BASIC_INFO info = {};
    if (!handle || !GetFileInformationByHandleEx(handle.Get(), FileBasicInfo, &info, sizeof(info))) return 0;
    return static_cast<uint64_t>(info.ChangeTime.QuadPart);
}

// Whether the two files hold the same bytes.
bool SameBytes(const std::wstring& a, const std::wstring& b) {
    win::UniqueHandle first(CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    win::UniqueHandle second(CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!first || !second) return false;
    constexpr DWORD kChunk = 1 << 20;
    std::vector<char> one(kChunk), other(kChunk);
    for (;;) {
        DWORD got = 0, gotToo = 0;
        if (!ReadFile(first.Get(), one.data(), kChunk, &got, nullptr) ||
            !ReadFile(second.Get(), other.data(), kChunk, &gotToo, nullptr) || got != gotToo)
            return false;
        if (got == 0) return true;
        if (memcmp(one.data(), other.data(), got) != 0) return false;
    }
}

// What the undo of a run cut short looks at to find what its copies across
// volumes left while their sources still stand: temporary files, and
// copies that stood whole under their names before their sources went.
// Each folder is listed once, however many of the planned items were to
// arrive in it, and every file is taken once.
class PartialFinder {
public:
    PartialFinder(uint64_t runStart, std::vector<UndoPartial>* partials) : runStart_(runStart), partials_(partials) {}

    // The planned move of a file, whose source still stands, to another
    // volume: its copy's temporary file stands beside where it was to
    // arrive, under its own name or the numbered one it got; or the copy
    // stands there whole, when the run ended before the source went.
    void FileMove(const JournalEntry& planned, const Standing& source) {
        const std::wstring name = path::LastComponent(planned.destination);
        const Listing& listing = ListingOf(path::ParentOf(planned.destination));
        for (const Found& found : listing.partials)
            for (const std::wstring& arrival : ArrivalsOfPartial(found.name))
                if (MayArriveAs(arrival, name, false) && Take(found, planned.size, planned.lastWrite, source)) break;
        if (source.size != planned.size || source.lastWrite != planned.lastWrite) return;
        for (const Found& found : listing.hidden)
            if (MayArriveAs(found.name, name, false)) TakeWhole(found, planned.source, source);
    }

    // The planned move of a folder, which still stands, to another volume:
    // it goes item by item into a folder of its name (or a numbered one)
    // made there or merged into, and the file whose copy was cut short
    // left its temporary file (or itself, whole) somewhere in there. The
    // files moved before it are in the journal, and so are the folders
    // made. Only folders that stand on both sides are looked into.
    void FolderMove(const JournalEntry& planned) {
        const std::wstring name = path::LastComponent(planned.destination);
        const std::wstring parent = path::ParentOf(planned.destination);
        std::vector<std::pair<std::wstring, std::wstring>> pending;  // source folder, the folder it went into
        for (const std::wstring& folder : ListingOf(parent).folders)
            if (MayArriveAs(folder, name, true)) pending.emplace_back(planned.source, path::Join(parent, folder));
        while (!pending.empty()) {
            const auto [from, into] = pending.back();
            pending.pop_back();
            const Listing& listing = ListingOf(into);
            for (const Found& found : listing.partials) {
                bool taken = false;
                for (const std::wstring& arrival : ArrivalsOfPartial(found.name)) {
                    for (const std::wstring& item : {arrival, UnnumberedName(arrival, false)}) {
                        if (item.empty()) continue;
                        const Standing source = WhatStandsAt(path::Join(from, item));
                        if (!source.exists || source.isFolder) continue;
                        taken = Take(found, source.size, source.lastWrite, source);
                        if (taken) break;
                    }
                    if (taken) break;
                }
            }
            for (const Found& found : listing.hidden) {
                for (const std::wstring& item : {found.name, UnnumberedName(found.name, false)}) {
                    if (item.empty()) continue;
                    const std::wstring original = path::Join(from, item);
                    const Standing source = WhatStandsAt(original);
                    if (source.exists && !source.isFolder && TakeWhole(found, original, source)) break;
                }
            }
            for (const std::wstring& folder : listing.folders) {
                for (const std::wstring& item : {folder, UnnumberedName(folder, true)}) {
                    if (item.empty()) continue;
                    const Standing source = WhatStandsAt(path::Join(from, item));
                    if (!source.exists || !source.isFolder) continue;
                    pending.emplace_back(path::Join(from, item), path::Join(into, folder));
                    break;
                }
            }
        }
    }

private:
    struct Found {
        std::wstring path;
        std::wstring name;
        uint64_t size = 0;
        uint64_t written = 0;
        uint64_t created = 0;
    };
    struct Listing {
        std::vector<Found> partials;       // plain files named as a copy's temporary file is
        // The other plain files that are hidden, as a copy is until it has
        // taken its name and, with it, its source's attributes.
        std::vector<Found> hidden;
        std::vector<std::wstring> folders; // the folders in it (not links)
    };

    const Listing& ListingOf(const std::wstring& folder) {
        const std::wstring key = path::FoldCase(folder);
        const auto known = listings_.find(key);
        if (known != listings_.end()) return known->second;
        Listing& listing = listings_[key];
        const std::wstring pattern = path::Join(folder, L"*");
        WIN32_FIND_DATAW data;
        if (pattern.size() >= kTextUnits) return listing;
        win::UniqueFind find(
            FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
        if (!find) return listing;
        const std::size_t suffix = wcslen(kPartialSuffix);
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                listing.folders.push_back(name);
                continue;
            }
            Found found;
            found.path = path::Join(folder, name);
            found.name = name;
            found.size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
            found.written = FileTimeValue(data.ftLastWriteTime);
            found.created = FileTimeValue(data.ftCreationTime);
            if (name.size() > suffix && EqualsNoCase(name.substr(name.size() - suffix), kPartialSuffix))
                listing.partials.push_back(std::move(found));
            else if (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN)
                listing.hidden.push_back(std::move(found));
        } while (FindNextFileW(find.Get(), &data));
        return listing;
    }

    // Takes the temporary file when it is the copy's own: never larger than
    // the item it copies (`size` and `lastWrite`: the item as the run
    // planned it, or as it stands), and made and written since the run
    // began, or as whole as the source, which still stands so. A file that
    // stood there before the run is left alone.
    bool Take(const Found& found, uint64_t size, uint64_t lastWrite, const Standing& source) {
        if (found.size > size || taken_.count(path::FoldCase(found.path))) return false;
        // A copy that was whole and given the source's times just before
        // its rename no longer shows when it was written.
        const bool whole = found.size == size && found.written == lastWrite && lastWrite != 0 &&
                           source.size == size && source.lastWrite == lastWrite;
        // The run's id names the millisecond it began in.
        const bool sinceRun = runStart_ != 0 && found.created >= runStart_ && found.written >= runStart_;
        if (!whole && !sinceRun) return false;
        taken_.insert(path::FoldCase(found.path));
        partials_->push_back(UndoPartial{found.path, found.size, found.written});
        return true;
    }

    // Takes the file when it is a whole copy of `source`, which still
    // stands: given the source's size and times as a copy is, changed (by
    // taking its name) since the run began, and holding the same bytes.
    // Nothing is lost with it.
    bool TakeWhole(const Found& found, const std::wstring& sourcePath, const Standing& source) {
        if (found.size != source.size || found.written != source.lastWrite || source.lastWrite == 0 ||
            runStart_ == 0 || taken_.count(path::FoldCase(found.path)) || ChangeTimeOf(found.path) < runStart_ ||
            !SameBytes(found.path, sourcePath))
            return false;
        taken_.insert(path::FoldCase(found.path));
        partials_->push_back(UndoPartial{found.path, found.size, found.written});
        return true;
    }

    uint64_t runStart_;
    std::vector<UndoPartial>* partials_;
    std::unordered_map<std::wstring, Listing> listings_;  // by folded folder path
    std::unordered_set<std::wstring> taken_;
};

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

    // The temporary files of copies cut short, removed before the folders
    // the run made are: they leave those folders too.
    void Removing(const std::vector<UndoPartial>& partials) {
        for (const UndoPartial& partial : partials) names_.Leave(partial.path);
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
    PartialFinder partialsLeft(partials ? RunStart(journal.runId) : 0, partials);
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
                    if (partials && OnOtherDrives(planned.source, planned.destination)) {
                        if (source.isFolder)
                            partialsLeft.FolderMove(planned);
                        else
                            partialsLeft.FileMove(planned, source);
                    }
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
    planner.Removing(plan.partials);
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
