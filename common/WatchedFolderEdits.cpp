#include "WatchedFolderEdits.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>

#include "AppPaths.h"
#include "Text.h"

namespace ordvale {

bool AddWatchedFolder(std::vector<WatchedFolder>* folders, const WatchedFolder& folder) {
    auto same = std::find_if(folders->begin(), folders->end(),
                             [&folder](const WatchedFolder& w) { return SameWatchedFolder(w.folder, folder.folder); });
    if (same == folders->end()) {
        folders->push_back(folder);
        return true;
    }
    same->method = folder.method;
    same->profileId = folder.profileId;
    same->destination = folder.destination;
    same->paused = folder.paused;
    return false;
}

WatchedFolder WatchedFolderOfJob(const TidyJob& job, const std::wstring& desktopFolder) {
    WatchedFolder w;
    switch (static_cast<TidyTarget>(job.target)) {
        case TidyTarget::Desktop: w.folder = desktopFolder; break;
        case TidyTarget::Folder: w.folder = FieldText(job.folder); break;
        default: break;
    }
    w.method = job.method;
    w.profileId = FieldText(job.profileId);
    w.destination = FieldText(job.destination);
    return w;
}

bool KeepJobFolderWatched(const std::wstring& settingsFile, const TidyJob& job, const std::wstring& desktopFolder) {
    const WatchedFolder folder = WatchedFolderOfJob(job, desktopFolder);
    if (TrimBlanks(folder.folder).empty()) return false;
    std::vector<WatchedFolder> folders = LoadWatchedFolders(settingsFile);
    AddWatchedFolder(&folders, folder);
    return SaveWatchedFolders(settingsFile, folders);
}

std::wstring DesktopDirectory() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return std::wstring();
    return buffer;
}

bool StartWatcher(const std::wstring& programFolder) {
    const std::wstring program = programFolder + L"\\OrdvaleWatch.exe";
    if (!FileExists(program)) return false;
    std::wstring command = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, programFolder.c_str(),
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

}  // namespace ordvale
