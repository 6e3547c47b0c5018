// Carrying out one operation. Name conflicts are settled here, before the
// shell is called, so that nothing that exists is lost and no move is
// reported as done unless the item has left its source and stands at its
// destination.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "common/Journal.h"
#include "common/RealPath.h"
#include "common/Settings.h"
#include "engine/ClashRule.h"
#include "engine/Messages.h"
#include "engine/Operation.h"
#include "engine/ShellItemShell.h"

namespace ordvale {

// Appended to an item's full path while it is probed for being in use.
constexpr const wchar_t* kProbeSuffix = L"{AB025B2A-B9AC-47A6-A683-43408E63A988}";

// What UM_ASK_CONFLICT carries to the progress dialog (lParam).
struct ConflictQuestion {
    const wchar_t* sourcePath;       // the arriving item
    const wchar_t* destinationPath;  // the item of the same name already there
    bool isFolder;
    uint64_t sourceSize;
    uint64_t destinationSize;
    FILETIME sourceTime;             // last write, UTC
    FILETIME destinationTime;
};

// The answer (UM_ASK_CONFLICT's result); kAnswerForAll may be or-ed in when
// the user ticked "Do this for all conflicts".
enum ConflictAnswer : int {
    kAnswerReplace = 1,   // replace the file / merge into the folder
    kAnswerKeepBoth = 2,  // the arriving item takes a free new name
    kAnswerSkip = 3,      // leave it (status None)
    kAnswerCancel = 4,    // stop this operation (status Pended, then the continue question)
};
constexpr int kAnswerForAll = 0x100;

// The names in one folder as read once, kept up to date with what this run
// puts there. Under Wine every lookup of a name that does not exist scans
// the whole folder, so name clashes are settled from here. A name found free
// here is believed only until the file system says otherwise: items are put
// under it with calls that never replace, and fail when it was taken.
class FolderNames {
public:
    struct Entry {
        bool folder = false;
        bool linked = false;  // a link to a folder elsewhere
    };
    // Reads the folder; false when it cannot be listed (nothing is known then).
    bool Read(const std::wstring& folder);
    const Entry* Find(const std::wstring& name) const;
    void Add(const std::wstring& name, Entry entry);
    void Remove(const std::wstring& name);
    // "a (2).jpg", "a (3).jpg", ... / "F (2)": the first not known here;
    // empty when none is found.
    std::wstring FreeName(const std::wstring& name, bool isFolder) const;
    std::size_t Size() const { return names_.size(); }

private:
    std::unordered_map<std::wstring, Entry> names_;  // by folded name
};

// Faults a test injects into a run, to see that nothing is lost or cut
// short when they strike.
struct ExecutorFaults {
    // A copy of a file fails as on a full disk once it has written this many
    // bytes of the file; negative: never.
    int64_t copyFailsAfterBytes = -1;
    // Once the run's plan is on the disk, every write and flush of its
    // journal fails, as when the disk fills up.
    bool journalFailsAfterPlan = false;
    // The run dies once a copy has written this many bytes of a file, as
    // when the process is killed: nothing after that point is done (the
    // copy is left as it is, its operation ends Failed); negative: never.
    int64_t runDiesAfterCopiedBytes = -1;
    // The run dies as above once a file's copy to another volume stands
    // whole under its name, before the moved file leaves its source.
    bool runDiesOnceCopyArrives = false;
};

// State that lives across the operations of one run.
struct ExecutionState {
    int fileAnswerForAll = 0;    // a ConflictAnswer the user chose for every file conflict
    int folderAnswerForAll = 0;  // the same for folders
    // Which file types are shortcuts, asked once per run.
    ShortcutClasses shortcuts;
    // Destination folders already found usable in this pass (folded case).
    std::unordered_set<std::wstring> usableFolders;
    // Destination folders read in this pass, by folded path: read when a
    // name clash first needs one.
    std::unordered_map<std::wstring, FolderNames> listings;
    // Where destination folders and the folders items come from really
    // are, looked up once in a pass.
    path::RealFolders realDestinations, realSources;

    // How operations are announced (UM_OPERATION_BEGIN and _END): 0, every
    // one; otherwise those that may take long, and of the quick ones one
    // every so many milliseconds, which is all a person can follow.
    DWORD announceEveryMs = 0;
    DWORD lastAnnounced = 0;

    // Whether moves done by one rename are checked all at once at the end
    // of the pass (VerifyMoves) rather than one by one.
    bool verifyInBulk = false;
    struct Arrival {
        Operation* operation;
        std::wstring source;
        std::wstring arrival;
    };
    std::vector<Arrival> unverified;

    void BeginPass() {
        usableFolders.clear();
        listings.clear();
        realDestinations.Clear();
        realSources.Clear();
        unverified.clear();
    }
    // The folder's names, read now if this pass has not read them yet.
    FolderNames& Names(const std::wstring& folder);
    // The folder's names if this pass has read them, else null.
    FolderNames* KnownNames(const std::wstring& folder);
    // Where every change this run makes on disk is recorded the moment it
    // has been made; none when null.
    JournalWriter* journal = nullptr;
    // The operation under way as the journal's plan has it (index -1 when
    // it is not planned): a record of exactly that is a planned line done.
    struct PlannedStep {
        int32_t index = -1;
        JournalKind kind = JournalKind::Move;
        std::wstring source;
        std::wstring destination;
    };
    PlannedStep planned;
    // None in a real run.
    const ExecutorFaults* faults = nullptr;
    void Record(JournalKind kind, const std::wstring& source, const std::wstring& destination = std::wstring());
    // A move by a rename, with the size and time the item had just before
    // it (a rename does not change them).
    void RecordRenamed(const std::wstring& source, const std::wstring& destination, uint64_t size,
                       uint64_t lastWrite);

    // Whether this run has put an item at the full path. An item of the run
    // never replaces another the run brought; a later one keeps both.
    bool Brought(const std::wstring& path) const;
    void NoteBrought(const std::wstring& path);

private:
    // Hashes of the folded paths (a collision only keeps one more pair of
    // files side by side).
    std::unordered_set<uint64_t> brought_;
};

// Checks the moves kept for it in one listing per folder: an item that does
// not stand at its arrival, or still stands at its source, ends Failed.
void VerifyMoves(ExecutionState* state);

// Runs the operation, sets its status, and reports it to the sink with
// UM_OPERATION_BEGIN / UM_OPERATION_END (and UM_ENABLE_CANCEL,
// UM_OPERATION_ABORTED, UM_ASK_CONFLICT where they apply).
void RunOperation(const OrdvaleSettings& settings, Operation* operation, ProgressSink* sink,
                  ExecutionState* state);

// True when the item could be renamed to its probe name and back.
bool ProbeNotInUse(ShellItem* item);

// Gives every item of the folder that still carries the probe suffix its
// name back (when that name is free).
void RestoreProbeLeftovers(const std::wstring& folder);

// For a name that is taken: "a (2).jpg", "a (3).jpg", ... / "F (2)", the
// first such name not taken in the folder (case-insensitively); empty when
// none is found.
std::wstring FreeName(const std::wstring& folder, const std::wstring& name, bool isFolder);

}  // namespace ordvale
