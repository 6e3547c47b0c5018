// The folders the watcher keeps tidy, kept in settings.ini beside the four
// settings, one section each, numbered from 1 without gaps:
//
//   [WatchedFolder1]
//   Folder=C:\Users\u\Downloads
//   Method=1
//   Profile=Type1
//   Destination=
//   Paused=0
//
// Method is the job's method (1 Type, 2 Time, 3 Size, 4 Name); Profile a
// profile id of that method; an empty Destination means the default one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ordvale {

struct WatchedFolder {
    std::wstring folder;
    int32_t method = 1;
    std::wstring profileId;
    std::wstring destination;
    bool paused = false;
};

constexpr const wchar_t* kWatchedFolderSectionPrefix = L"WatchedFolder";
constexpr const wchar_t* kKeyWatchedFolder = L"Folder";
constexpr const wchar_t* kKeyWatchedMethod = L"Method";
constexpr const wchar_t* kKeyWatchedProfile = L"Profile";
constexpr const wchar_t* kKeyWatchedDestination = L"Destination";
constexpr const wchar_t* kKeyWatchedPaused = L"Paused";

// "WatchedFolder<n>", n from 1.
std::wstring WatchedFolderSection(std::size_t n);

// The watched folders of a settings file, in section order. Reading stops at
// the first missing section; a section without a folder is skipped, and the
// texts are trimmed and cut to 259 characters as every stored path is.
std::vector<WatchedFolder> LoadWatchedFolders(const std::wstring& settingsFile);

// Writes the list as sections 1 to n and removes the sections after them;
// the four settings are left as they are. False when a value could not be
// written.
bool SaveWatchedFolders(const std::wstring& settingsFile, const std::vector<WatchedFolder>& folders);

// The same folder, as Windows compares paths: letter case and a trailing
// backslash do not count.
bool SameWatchedFolder(const std::wstring& a, const std::wstring& b);

// Whether an automatic run of `tidied` leaves the item (a full path) where
// it is: another watched folder, another's destination, or a folder that
// holds one of them, paused or not. Carried off, its runs would lose their
// folder, or have their output tidied away by this one.
bool HoldsWatchedPlace(const std::wstring& item, const std::vector<WatchedFolder>& folders,
                       const std::wstring& tidied);

}  // namespace ordvale
