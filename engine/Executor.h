// Carrying out one operation. Name conflicts are settled here, before the
// shell is called, so that nothing that exists is lost and no move is
// reported as done unless the item has left its source and stands at its
// destination.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_set>

#include "common/Journal.h"
#include "common/Settings.h"
#include "engine/Messages.h"
#include "engine/Operation.h"

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

// State that lives across the operations of one run.
struct ExecutionState {
    int fileAnswerForAll = 0;    // a ConflictAnswer the user chose for every file conflict
    int folderAnswerForAll = 0;  // the same for folders
    // Destination folders already found usable in this pass (folded case).
    std::unordered_set<std::wstring> usableFolders;
    void BeginPass() { usableFolders.clear(); }
    // Where every change this run makes on disk is recorded the moment it
    // has been made; none when null.
    JournalWriter* journal = nullptr;
    void Record(JournalKind kind, const std::wstring& source, const std::wstring& destination = std::wstring());
};

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

// The shell's flags for a copy or move of the source under the settings.
unsigned CopyMoveFlags(const OrdvaleSettings& settings, const ShellItem& source);

}  // namespace ordvale
