#include "watch/WatchSchedule.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <functional>

#include "common/BeingWritten.h"
#include "common/PathText.h"
#include "common/RealPath.h"
#include "common/Text.h"
#include "common/win/Handle.h"

namespace ordvale::watch {

Timing TimingForSettle(uint64_t settle) {
    Timing timing;
    timing.settle = settle / 10000 + 250;
    return timing;
}

namespace {

// Where a folder's runs put its items: its destination, or the folder itself.
std::wstring ItemsGoTo(const WatchedFolder& f) { return f.destination.empty() ? f.folder : f.destination; }

// A watched folder and where its runs put items, as written and as the
// file system reaches them (a link or a mapped drive can lead one into
// another).
struct Places {
    std::wstring from, to, realFrom, realTo;
};

Places PlacesOf(const WatchedFolder& f) {
    Places p;
    p.from = path::WithoutTrailingSeparator(TrimBlanks(f.folder));
    p.to = path::WithoutTrailingSeparator(TrimBlanks(ItemsGoTo(f)));
    p.realFrom = path::RealPath(p.from);
    p.realTo = path::RealPath(p.to);
    return p;
}

// Whether a's runs put items where b's runs take them from.
bool Feeds(const WatchedFolder& a, const Places& pa, const WatchedFolder& b, const Places& pb) {
    if (SameWatchedFolder(a.folder, b.folder)) return false;
    return path::SamePath(pa.to, pb.from) || path::IsInside(pa.to, pb.from) ||
           (!path::SamePath(pa.realFrom, pb.realFrom) &&
            (path::SamePath(pa.realTo, pb.realFrom) || path::IsInside(pa.realTo, pb.realFrom)));
}

}  // namespace

std::vector<bool> FindLooping(const std::vector<WatchedFolder>& folders) {
    const std::size_t n = folders.size();
    std::vector<bool> looping(n, false), kept(n, false);
    std::vector<Places> places;
    for (const WatchedFolder& f : folders) places.push_back(PlacesOf(f));
    auto feeds = [&](std::size_t a, std::size_t b) { return Feeds(folders[a], places[a], folders[b], places[b]); };
    // Whether `to` can be reached from `from` through kept folders.
    std::function<bool(std::size_t, std::size_t, std::vector<bool>&)> reaches =
        [&](std::size_t from, std::size_t to, std::vector<bool>& seen) {
            if (from == to) return true;
            seen[from] = true;
            for (std::size_t k = 0; k < n; ++k)
                if (kept[k] && !seen[k] && feeds(from, k) && reaches(k, to, seen)) return true;
            return false;
        };
    for (std::size_t i = 0; i < n; ++i) {
        if (folders[i].paused) continue;
        bool ring = false;
        for (std::size_t k = 0; k < n && !ring; ++k) {
            if (!kept[k] || !feeds(i, k)) continue;
            std::vector<bool> seen(n, false);
            // i feeds k; a way from k back to i closes a ring.
            kept[i] = true;
            ring = reaches(k, i, seen);
            kept[i] = false;
        }
        if (ring)
            looping[i] = true;
        else
            kept[i] = true;
    }
    return looping;
}

void Schedule::SetFolders(const std::vector<WatchedFolder>& folders, Tick now) {
    std::vector<Entry> next;
    const std::vector<bool> looping = FindLooping(folders);
    for (std::size_t i = 0; i < folders.size(); ++i) {
        Entry entry;
        auto old = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
            return SameWatchedFolder(e.config.folder, folders[i].folder);
        });
        if (old != entries_.end()) {
            entry = *old;
        } else {
            entry.quietUntil = now + timing_.settle;
            entry.rescanAt = now + timing_.rescan;
        }
        // A folder paused or its job changed is looked at afresh when it runs again.
        const bool resumed = old != entries_.end() && old->config.paused && !folders[i].paused;
        entry.config = folders[i];
        entry.looping = looping[i];
        if (resumed) {
            entry.pending = true;
            entry.quietUntil = now;
        }
        next.push_back(std::move(entry));
    }
    entries_ = std::move(next);
}

FolderState Schedule::StateOf(std::size_t i) const {
    const Entry& e = entries_[i];
    if (e.missing) return FolderState::Missing;
    if (e.config.paused || pausedAll_) return FolderState::Paused;
    if (e.looping) return FolderState::Looping;
    return FolderState::Watching;
}

void Schedule::Changed(std::size_t i, Tick now) {
    if (i >= entries_.size()) return;
    entries_[i].pending = true;
    entries_[i].quietUntil = now + timing_.settle;
}

void Schedule::LookAgainAt(std::size_t i, Tick at) {
    if (i < entries_.size()) entries_[i].laterAt = std::min(entries_[i].laterAt, at);
}

void Schedule::SetMissing(std::size_t i, bool missing, Tick now) {
    if (i >= entries_.size() || entries_[i].missing == missing) return;
    entries_[i].missing = missing;
    // A folder back may still be coming (copied back, say): it settles first.
    if (!missing) {
        Changed(i, now);
        entries_[i].rescanAt = now + timing_.rescan;
    }
}

void Schedule::TidyNow(Tick now) {
    for (Entry& e : entries_) {
        e.pending = true;
        e.quietUntil = now;
    }
}

Tick Schedule::DueAt(const Entry& e) const {
    Tick at = std::min(e.laterAt, e.rescanAt);
    if (e.pending) at = std::min(at, e.quietUntil);
    return at;
}

std::optional<std::size_t> Schedule::TakeDue(Tick now) {
    if (Running()) return std::nullopt;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        if (!Active(e) || DueAt(e) > now) continue;
        e.running = true;
        // A round taken early (to look again, or the rescan) may find what
        // arrived last still being written: that arrival keeps its own round.
        e.pending = e.pending && e.quietUntil > now;
        e.laterAt = kNever;
        e.rescanAt = now + timing_.rescan;
        return i;
    }
    return std::nullopt;
}

std::optional<std::size_t> Schedule::Running() const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].running) return i;
    return std::nullopt;
}

void Schedule::Finished(RunOutcome outcome, Tick now) {
    for (Entry& e : entries_) {
        if (!e.running) continue;
        e.running = false;
        if (outcome == RunOutcome::FolderBusy) e.laterAt = std::min(e.laterAt, now + timing_.busyRetry);
        // A run that failed (its program ended before it could start, say)
        // is tried once more soon; one that keeps failing waits for the rescan.
        if (outcome == RunOutcome::Failed && !e.failedLast) e.laterAt = std::min(e.laterAt, now + timing_.busyRetry);
        e.failedLast = outcome == RunOutcome::Failed;
    }
}

Tick Schedule::WaitTime(Tick now) const {
    if (Running()) return kNever;
    Tick soonest = kNever;
    for (const Entry& e : entries_)
        if (Active(e)) soonest = std::min(soonest, DueAt(e));
    if (soonest == kNever) return kNever;
    return soonest <= now ? 0 : soonest - now;
}

void MakeWatchJob(const WatchedFolder& folder, TidyJob* job) {
    ResetTidyJob(job);
    job->target = static_cast<int32_t>(TidyTarget::Folder);
    job->method = folder.method;
    StoreText(job->folder, folder.folder);
    StoreText(job->profileId, folder.profileId);
    StoreText(job->destination, folder.destination);
}

std::size_t ItemsMoved(const RunJournal& journal) {
    std::size_t n = 0;
    for (const JournalEntry& e : journal.entries)
        if (e.kind == JournalKind::Move || e.kind == JournalKind::Replace || e.kind == JournalKind::Copy) ++n;
    return n;
}

std::wstring TidiedText(std::size_t items, const std::wstring& folder) {
    std::wstring name = path::LastComponent(path::WithoutTrailingSeparator(folder));
    if (name.empty()) name = folder;
    return L"Tidied " + std::to_wstring(items) + (items == 1 ? L" item in " : L" items in ") + name;
}

std::wstring FindAutomaticRun(const std::wstring& historyFolder, const std::wstring& afterRunId,
                              const std::wstring& folder) {
    const std::vector<std::wstring> ids = ListRunIds(historyFolder);
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        if (!afterRunId.empty() && *it <= afterRunId) break;
        RunJournal journal;
        if (!ReadJournalFile(historyFolder, *it, &journal)) continue;
        if (journal.run.automatic && SameWatchedFolder(journal.run.folder, folder)) return *it;
    }
    return std::wstring();
}

uint64_t WhenSettled(const std::wstring& folder, uint64_t since, uint64_t now, uint64_t settle) {
    if (settle == 0) return 0;
    // Whatever was still being written at any moment of the run may have
    // been left by it, though it has settled since.
    const uint64_t window = settle + (now > since ? now - since : 0);
    std::vector<ListedItem> files;
    std::vector<std::wstring> paths, folders;  // the files' paths, which `files` refer to
    WIN32_FIND_DATAW data;
    win::UniqueFind find(FindFirstFileExW((path::WithTrailingSeparator(folder) + L"*").c_str(), FindExInfoBasic,
                                          &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) return 0;
    do {
        if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
        const std::wstring path = path::Join(folder, data.cFileName);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            folders.push_back(path);
            continue;
        }
        ListedItem item;
        item.isFile = true;
        item.lastWrite = (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
        paths.push_back(path);
        files.push_back(item);
    } while (FindNextFileW(find.Get(), &data));
    for (std::size_t i = 0; i < files.size(); ++i) files[i].path = paths[i];

    uint64_t soonest = 0;
    auto note = [&](uint64_t at) {
        if (soonest == 0 || at < soonest) soonest = at;
    };
    const std::vector<WriteState> states = FindBeingWritten(files, now, window);
    for (std::size_t i = 0; i < files.size(); ++i)
        if (states[i] == WriteState::RecentlyWritten)
            note(files[i].lastWrite == kUnknownTime ? now + settle : std::max(files[i].lastWrite + settle, now));
    // A folder being filled is looked at again once a settle time has passed.
    for (const std::wstring& f : folders)
        if (FolderBeingFilled(f, now, window)) {
            note(now + settle);
            break;
        }
    return soonest;
}

}  // namespace ordvale::watch

namespace ordvale::watch {

bool ChangesMayHaveArrived(const void* records, unsigned long bytes, std::size_t* count, std::wstring* seen) {
    const auto* base = static_cast<const BYTE*>(records);
    const DWORD header = offsetof(FILE_NOTIFY_INFORMATION, FileName);
    bool arrived = false, renameOpen = false;
    std::size_t n = 0;
    for (DWORD at = 0; at + header <= bytes;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(base + at);
        const DWORD nameBytes = std::min<DWORD>(record->FileNameLength, bytes - at - header);
        switch (record->Action) {
            case FILE_ACTION_REMOVED: break;
            case FILE_ACTION_RENAMED_OLD_NAME: renameOpen = true; break;
            case FILE_ACTION_RENAMED_NEW_NAME:
                renameOpen = false;
                arrived = true;
                break;
            default: arrived = true; break;  // added, modified, or not known here
        }
        if (++n <= 8 && seen)
            *seen += L" " + std::to_wstring(record->Action) + L":" +
                     std::wstring(record->FileName, nameBytes / sizeof(wchar_t));
        if (record->NextEntryOffset == 0) break;
        at += record->NextEntryOffset;
    }
    if (count) *count = n;
    return arrived || renameOpen;
}

}  // namespace ordvale::watch
