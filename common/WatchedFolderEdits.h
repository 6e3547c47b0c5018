// Changes to the list of watched folders that the wizard and the settings
// editor make, and starting the watcher.
#pragma once

#include <string>
#include <vector>

#include "TidyJob.h"
#include "WatchedFolders.h"

namespace ordvale {

// Adds the folder to the list; a folder the list holds already (as
// SameWatchedFolder compares) is not added again: that entry takes the new
// method, profile and destination and is watched again if it was paused.
// True when a new entry was added.
bool AddWatchedFolder(std::vector<WatchedFolder>* folders, const WatchedFolder& folder);

// The watched folder a tidy job stands for: its folder (the desktop folder
// given for a Desktop job), method, profile and destination. The folder is
// empty for a Selection, which no folder stands for.
WatchedFolder WatchedFolderOfJob(const TidyJob& job, const std::wstring& desktopFolder);

// Adds the job's folder to the watched folders of the settings file. False
// when the job stands for no folder or the file could not be written.
bool KeepJobFolderWatched(const std::wstring& settingsFile, const TidyJob& job, const std::wstring& desktopFolder);

// The user's desktop directory; empty when it cannot be determined.
std::wstring DesktopDirectory();

// Starts "OrdvaleWatch.exe" from the folder, without waiting for it; a
// watcher that is running already ends the new one at once. False when the
// program is not there or cannot be started (nothing is said).
bool StartWatcher(const std::wstring& programFolder);

}  // namespace ordvale
