// The watcher's decisions, without a window: when a watched folder has
// settled and is due for a run, which folders would tidy each other in a
// ring, the job handed to the engine, what a run's journal says it did.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Journal.h"
#include "common/TidyJob.h"
#include "common/WatchedFolders.h"

namespace ordvale::watch {

using Tick = uint64_t;  // milliseconds from any fixed start
constexpr Tick kNever = ~0ull;

struct Timing {
    Tick settle = 5000;             // quiet after the last arrival before a run
    Tick rescan = 3 * 60 * 1000;    // every folder is looked at again this often
    Tick busyRetry = 30 * 1000;     // after finding another run tidying the folder, or a failed run
};

// The timing for a settle time in FILETIME units (SettleTime()), with a
// little more than the engine's own wait, so a file that has just settled
// for the watcher has for the engine too.
Timing TimingForSettle(uint64_t settle);

enum class FolderState {
    Watching,
    Paused,   // its Paused=1, or watching paused from the menu
    Missing,  // the folder is not there (removed, renamed, its drive gone)
    Looping,  // its runs and another folder's would move items round a ring
};

enum class RunOutcome { Done, FolderBusy, Failed };

// For each folder, whether it is left out to break a ring: A's items going
// into B (B's folder, or a folder inside it) while B's go, directly or by
// way of others, back into A. Of each ring the folder listed first is kept.
// Paused folders tidy nothing and take no part.
std::vector<bool> FindLooping(const std::vector<WatchedFolder>& folders);

class Schedule {
public:
    explicit Schedule(Timing timing) : timing_(timing) {}

    // The folders as the settings list them now. A folder listed before
    // keeps its state; a new one is looked at once it has settled.
    void SetFolders(const std::vector<WatchedFolder>& folders, Tick now);
    std::size_t Count() const { return entries_.size(); }
    const WatchedFolder& Folder(std::size_t i) const { return entries_[i].config; }
    FolderState StateOf(std::size_t i) const;

    // Something arrived or left: a run once nothing has for the settle time.
    void Changed(std::size_t i, Tick now);
    // Items of the folder still being written settle at `at`.
    void LookAgainAt(std::size_t i, Tick at);
    // The folder went away, or is back (which counts as a change).
    void SetMissing(std::size_t i, bool missing, Tick now);
    void SetPausedAll(bool paused) { pausedAll_ = paused; }
    bool PausedAll() const { return pausedAll_; }
    // Every folder that is watched is run as soon as it may.
    void TidyNow(Tick now);

    // The folder to run now, if any; it counts as running until Finished.
    // One run at a time.
    std::optional<std::size_t> TakeDue(Tick now);
    std::optional<std::size_t> Running() const;
    void Finished(RunOutcome outcome, Tick now);

    // How long until TakeDue may give a folder (0: now); kNever when nothing
    // is waiting, or a run is on (its end wakes the watcher).
    Tick WaitTime(Tick now) const;

private:
    struct Entry {
        WatchedFolder config;
        bool missing = false;
        bool looping = false;
        bool pending = true;
        Tick quietUntil = 0;
        Tick laterAt = kNever;
        Tick rescanAt = 0;
        bool running = false;
        bool failedLast = false;  // the last run failed
    };
    bool Active(const Entry& e) const { return !pausedAll_ && !e.config.paused && !e.missing && !e.looping; }
    Tick DueAt(const Entry& e) const;

    Timing timing_;
    std::vector<Entry> entries_;
    bool pausedAll_ = false;
};

// The job of one round: a Folder tidy of the watched folder with its method,
// profile and destination.
void MakeWatchJob(const WatchedFolder& folder, TidyJob* job);

// How many items a run moved (or copied) into place.
std::size_t ItemsMoved(const RunJournal& journal);
// "Tidied 3 items in Downloads"; "Tidied 1 item in Downloads".
std::wstring TidiedText(std::size_t items, const std::wstring& folder);

// The newest automatic run of `folder` kept in History after `afterRunId`
// (empty: any); empty when there is none.
std::wstring FindAutomaticRun(const std::wstring& historyFolder, const std::wstring& afterRunId,
                              const std::wstring& folder);

// After a run that started at `since`, when the items it may have left for
// still being written settle, as a FILETIME: the earliest of them, `now`
// for one that has settled during the run; 0 when none waits for time (a
// download in progress waits for its final rename, which is an arrival of
// its own).
uint64_t WhenSettled(const std::wstring& folder, uint64_t since, uint64_t now, uint64_t settle);

// What a buffer of directory change records (FILE_NOTIFY_INFORMATION, as
// ReadDirectoryChangesW fills it) says: whether something may have arrived.
// Items leaving need no round (our own runs cause most of those). A rename
// counts once its new name is there, and also when the record of the new
// name is missing or unreadable (Wine at times reports the old name with an
// empty record of no action beside it); so does any record of an action not
// known here. `seen` gets the first records, for the log.
bool ChangesMayHaveArrived(const void* records, unsigned long bytes, std::size_t* count, std::wstring* seen);

}  // namespace ordvale::watch
