// What the preview window lists, without the window: one row per item with
// the folder it goes to and what happens when it arrives, the rows in the
// order a column sorts them, and how many items each folder receives.
#pragma once
#include <atomic>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "common/Settings.h"
#include "common/TidyJob.h"
#include "common/UndoPlan.h"

namespace ordvale::wizard {

// What happens to an item; each has its text in the string table.
enum class Arrival {
    // A tidy.
    Moved,          // arrives under its own name
    Renamed,        // its name is taken there: arrives under newName ("a (2).jpg")
    Merged,         // a folder of that name is there: the two are merged
    Replaced,       // a file of that name is there and is replaced
    Asked,          // its name is taken there: the user is asked
    NoRule,         // no rule of the profile takes it
    InUse,          // another program holds it open
    BeingWritten,   // a download in progress, or written a moment ago
    AlreadyThere,   // it stands in the folder it belongs in
    ProfileFolder,  // it is one of the profile's destination folders
    FolderMade,     // a folder the run makes
    // Taking a run back.
    MovedBack,            // back under its name
    MovedBackRenamed,     // its place is taken: back under newName beside what stands there
    MovedBackReplaced,    // back; the file it replaced in the tidy is gone for good
    CopyRecycled,         // a copy the run made goes to the recycle bin
    FolderMadeAgain,      // a folder the run removed is made again
    FolderRemoved,        // a folder the run made goes, being empty
    FolderKept,           // a folder the run made stays: something is left in it
    LeftChanged,          // changed since the run
    LeftMissing,          // no longer where the run put it
    LeftRecycled,         // the run deleted it into the recycle bin
    LeftNoFolder,         // a file stands where its folder should be
    Count
};

// Whether an item with this outcome stays where it is.
bool StaysPut(Arrival arrival);
// Whether the row stands for a folder the run makes or removes, not an item.
bool IsFolderStep(Arrival arrival);

struct PreviewRow {
    std::wstring item;     // full path of the item as it stands now
    std::wstring folder;   // the folder it goes to; empty when it stays
    std::wstring newName;  // Renamed, MovedBackRenamed: the name it arrives under
    Arrival arrival = Arrival::Moved;
};

// The columns: the item's name, the folder it is in, the folder it goes to,
// what happens on arrival.
enum PreviewColumn : int { kColumnName = 0, kColumnFrom = 1, kColumnTo = 2, kColumnArrival = 3, kColumnCount = 4 };

std::wstring RowName(const PreviewRow& row);
std::wstring RowFrom(const PreviewRow& row);

struct FolderCount {
    std::wstring folder;  // empty: the items that stay where they are
    std::size_t items = 0;
};

// Folders in path order (letter case aside), those that stay last.
std::vector<FolderCount> CountByFolder(const std::vector<PreviewRow>& rows);

// Row numbers in the column's order (ties by destination, then by name),
// only rows going to `folder` when onlyFolder is set.
std::vector<std::size_t> SortRows(const std::vector<PreviewRow>& rows, int column, bool ascending,
                                  bool onlyFolder = false, const std::wstring& folder = std::wstring());

// The rows of taking a run back, in the order its steps run, then what stays.
std::vector<PreviewRow> RowsOfUndo(const UndoPlan& plan);

// Items only; rows of folders made or removed do not count.
struct PreviewTotals {
    std::size_t moving = 0;   // items that go somewhere
    std::size_t staying = 0;  // items that stay
};
PreviewTotals Totals(const std::vector<PreviewRow>& rows);

// Working out the rows, on a thread of its own: where they go, how far the
// work has got, and whether the one waiting for it still wants it.
class PreviewWork {
public:
    // True once the result is no longer wanted (the window is closing).
    bool Stopped() const { return stop_.load(); }
    void Stop() { stop_.store(true); }
    // How many items have been looked at so far.
    void Looked(std::size_t items);
    std::size_t LookedSoFar() const { return looked_.load(); }
    // Called (on the worker's thread) when the count has changed and the
    // last call has been taken up (TakeProgress), so a fast worker never
    // piles up calls.
    std::function<void()> onProgress;
    void TakeProgress() { progressPending_.store(false); }

    std::vector<PreviewRow> rows;
    bool canAccept = false;  // taking a run back: there is something to do

private:
    std::atomic<bool> stop_{false};
    std::atomic<std::size_t> looked_{0};
    std::atomic<bool> progressPending_{false};
};

// The rows of the run the job describes, as the engine would plan it.
void BuildTidyPreview(const TidyJob& job, const OrdvaleSettings& settings, PreviewWork& work);

// The rows of taking the run back, from its journal in the History folder.
void BuildUndoPreview(const std::wstring& historyFolder, const std::wstring& runId, PreviewWork& work);

}  // namespace ordvale::wizard
