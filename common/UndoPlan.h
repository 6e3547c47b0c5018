// Taking a run back: from its journal to the steps that put every item it
// moved back where it was, under its original name. Only an item that still
// stands where the run put it, unchanged (same size and last-write time),
// goes back; an item whose original place is taken now is kept beside what
// stands there under a numbered name, never over it. Folders the run made
// are removed when nothing is left in them, folders it removed are made
// again. Nothing changes on disk here; the steps predict what the engine
// will meet when it carries them out.
#pragma once

#include <string>
#include <vector>

#include "Journal.h"

namespace ordvale {

enum class UndoAction {
    MoveBack,      // from -> to (arriving as `arrival`)
    DeleteCopy,    // a copy the run made goes to the recycle bin
    CreateFolder,  // from: a folder the run removed, or the place an item goes back into
    RemoveFolder,  // from: a folder the run made, removed when it is empty
};

enum class UndoReason {
    Missing,   // nothing stands where the run put it any more
    Changed,   // it stands there, but its size or last-write time differ
    Recycled,  // the run deleted it into the recycle bin
    NoFolder,  // a file stands where the folder it goes back into should be
};

// Appended to an arriving file's path while its copy across volumes is
// being written; renamed into place once whole.
constexpr wchar_t kPartialSuffix[] = L".ordvale-partial";

// The temporary name beside `arrival` that a copy tries on its `attempt`
// (0 first; the next when one is taken): "a.jpg.ordvale-partial",
// "a.jpg.1.ordvale-partial", ... Empty when the path would be too long.
std::wstring PartialCopyName(const std::wstring& arrival, int attempt);
constexpr int kPartialCopyAttempts = 20;

struct UndoStep {
    UndoAction action = UndoAction::MoveBack;
    std::wstring from;     // the item (or the folder) as it stands now
    std::wstring to;       // MoveBack: its full path before the run
    std::wstring arrival;  // MoveBack: the full path it will arrive under; differs from `to` when that is taken
    bool isFolder = false;
    bool replaced = false;   // MoveBack: the run's move had replaced a file, which is gone
    bool willEmpty = true;   // RemoveFolder: nothing is expected to be left in it
    // MoveBack, DeleteCopy: the size and last-write time the item had when
    // the run left it, checked again just before it is moved.
    uint64_t size = 0;
    uint64_t lastWrite = 0;
};

// The temporary file of a copy across volumes that a run cut short left
// beside the copy's destination, or the copy itself standing whole there
// while its source still stands, with its size and last-write time as the
// undo found it: deleted (for good) when it is still so.
struct UndoPartial {
    std::wstring path;
    uint64_t size = 0;
    uint64_t lastWrite = 0;
};

struct UndoLeftItem {
    std::wstring path;      // where the run put it
    std::wstring original;  // where it came from
    UndoReason reason = UndoReason::Missing;
};

struct UndoPlan {
    std::wstring runId;        // the run taken back
    std::wstring undoneRunId;  // what that run itself took back, if it was an undo
    std::vector<UndoStep> steps;  // in the order to carry them out
    std::vector<UndoLeftItem> left;
    std::vector<UndoPartial> partials;
};

// What the run did, oldest first: the entries it recorded and, for a run
// that ended before it recorded everything, each planned move whose item
// has left its source and stands at its destination as planned (same size
// and last-write time), and each planned folder that stands now.
// `partials`, when given, gets each temporary file that a planned move
// across volumes without its completion left beside its destination, under
// the name it was to arrive under or the numbered one it got, or inside
// the folder it was moving item by item: one the run made (written since
// the run began, or as whole as the source, which still stands), never
// larger than the item, never a folder or a link. It also gets a copy left
// whole under such a name while its source still stands: hidden as a copy
// is before it takes its source's attributes, of the source's size, times
// and bytes, and changed since the run began. A file of any of those names
// that stood there before the run is left alone.
std::vector<JournalEntry> EntriesToTakeBack(const RunJournal& journal,
                                            std::vector<UndoPartial>* partials = nullptr);

// The steps for those entries, newest first, as the disk stands now.
UndoPlan PlanUndo(const RunJournal& journal);

// The folders taking the run back puts items into: where each item it moved
// or renamed was, done or planned, and a folder tidy's own folder (each
// once, in the order met). Its undo holds their locks, as a tidy holds the
// folder it tidies.
std::vector<std::wstring> FoldersTakenBackInto(const RunJournal& journal);

// How many items the steps move back.
std::size_t ItemsMovedBack(const UndoPlan& plan);

// The items that runs taking others back have put into the top level of
// `folder`, and that still stand there as they were put (folded full paths):
// a user took them back, so the watcher's runs leave them where they are.
std::vector<std::wstring> ItemsTakenBackInto(const std::wstring& historyFolder, const std::wstring& folder);

}  // namespace ordvale
