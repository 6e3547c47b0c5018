#include "configure/WatchedFolderList.h"

#include <algorithm>
#include <iterator>

#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "configure/Options.h"
#include "common/Text.h"
#include "configure/resource.h"

namespace ordvale {

namespace {

constexpr int kMethodsInListOrder[] = {1, 2, 3, 4};

}  // namespace

WatchedFolderStatus DecideWatchedFolderState(const WatchedFolder& folder, const WatchedFolderFacts& facts) {
    WatchedFolderStatus status;
    auto missing = [&status](WatchedFolderState state, WatchedFolderProblem problem) {
        status.state = state;
        status.problem = problem;
        return status;
    };
    if (!facts.folderExists) return missing(WatchedFolderState::FolderMissing, WatchedFolderProblem::FolderMissing);
    if (folder.method < 1 || folder.method > 4)
        return missing(WatchedFolderState::ProfileMissing, WatchedFolderProblem::MethodUnknown);
    if (!facts.documentExists)
        return missing(WatchedFolderState::ProfileMissing, WatchedFolderProblem::DocumentMissing);
    const bool found = std::any_of(facts.methodProfiles.begin(), facts.methodProfiles.end(),
                                   [&folder](const ProfileEntry& e) { return EqualsNoCase(e.id, folder.profileId); });
    if (!found) return missing(WatchedFolderState::ProfileMissing, WatchedFolderProblem::ProfileNotFound);
    status.state = folder.paused ? WatchedFolderState::Paused : WatchedFolderState::Watching;
    return status;
}

WatchedFolderFacts ReadWatchedFolderFacts(const WatchedFolder& folder, const std::wstring& profileFile) {
    WatchedFolderFacts facts;
    facts.folderExists = FolderExists(folder.folder);
    facts.documentExists = FileExists(profileFile);
    if (facts.documentExists) facts.methodProfiles = wizard::LoadProfileList(profileFile.c_str(), folder.method);
    return facts;
}

UINT ValidateWatchedFolder(const WatchedFolder& folder, const std::vector<WatchedFolder>& existing) {
    const std::wstring path = TrimBlanks(folder.folder);
    if (path.empty()) return IDS_WATCHED_FOLDER_EMPTY;
    if (!IsFullPath(path)) return IDS_WATCHED_FOLDER_NOT_FULL;
    if (!FolderExists(path)) return IDS_WATCHED_FOLDER_MISSING;
    if (std::any_of(existing.begin(), existing.end(),
                    [&path](const WatchedFolder& w) { return SameWatchedFolder(w.folder, path); }))
        return IDS_WATCHED_FOLDER_TWICE;
    if (TrimBlanks(folder.profileId).empty()) return IDS_WATCHED_NO_PROFILE;
    const std::wstring destination = TrimBlanks(folder.destination);
    if (!destination.empty() && (!IsFullPath(destination) || !FolderExists(destination)))
        return IDS_WATCHED_DESTINATION_MISSING;
    return 0;
}

int MethodAtPosition(int position) {
    return position >= 0 && position < static_cast<int>(std::size(kMethodsInListOrder)) ? kMethodsInListOrder[position]
                                                                                        : kMethodsInListOrder[0];
}

int PositionOfMethod(int method) {
    for (int i = 0; i < static_cast<int>(std::size(kMethodsInListOrder)); ++i)
        if (kMethodsInListOrder[i] == method) return i;
    return -1;
}

}  // namespace ordvale
