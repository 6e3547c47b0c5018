// The settings editor's list of watched folders, apart from any window: the
// state each folder is in, with the reason when it cannot be watched, and
// the checks of a folder being added.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/MethodProfile.h"
#include "common/WatchedFolders.h"

namespace ordvale {

enum class WatchedFolderState { Watching, Paused, FolderMissing, ProfileMissing };

// Why a folder cannot be watched; None when it can.
enum class WatchedFolderProblem {
    None,
    FolderMissing,      // the folder is not there (removed, renamed, or its drive is away)
    MethodUnknown,      // Method is not 1 to 4
    DocumentMissing,    // the profile document is not there
    ProfileNotFound,    // the document has no profile of that id for the method
};

struct WatchedFolderStatus {
    WatchedFolderState state = WatchedFolderState::Watching;
    WatchedFolderProblem problem = WatchedFolderProblem::None;
};

// What the disk says about one watched folder.
struct WatchedFolderFacts {
    bool folderExists = false;
    bool documentExists = false;
    std::vector<ProfileEntry> methodProfiles;  // the profiles of the folder's method in the document
};

// A folder that cannot be watched shows why, paused or not (a paused folder
// that is missing would not be watched when resumed either); otherwise it is
// paused or watching.
WatchedFolderStatus DecideWatchedFolderState(const WatchedFolder& folder, const WatchedFolderFacts& facts);

// Looks at the disk and the profile document for the folder.
WatchedFolderFacts ReadWatchedFolderFacts(const WatchedFolder& folder, const std::wstring& profileFile);

// 0 when the folder can be added to the list; otherwise the string id of the
// message that says what is wrong (IDS_WATCHED_...). Paths are judged
// trimmed; an empty destination is the default one.
UINT ValidateWatchedFolder(const WatchedFolder& folder, const std::vector<WatchedFolder>& existing);

// Method codes in the order the editor's method list offers them (Type,
// Time, Size, Name), and back.
int MethodAtPosition(int position);
int PositionOfMethod(int method);

}  // namespace ordvale
