// Where the per-user files live: the folder "Pelvantor\Ordvale" under the
// roaming application-data folder holds settings.ini, profile.xml and the
// job files.
#pragma once

#include <string>

namespace ordvale {

constexpr const wchar_t* kAppRelativeFolder = L"Pelvantor\\Ordvale";
constexpr const wchar_t* kSettingsFileName = L"settings.ini";
constexpr const wchar_t* kDefaultProfileFileName = L"profile.xml";

// The current path of the user's roaming application-data folder.
bool GetAppDataFolder(std::wstring* folder);

// Each of these is cut to 259 characters.
std::wstring SettingsFolderIn(const std::wstring& appData);
std::wstring SettingsFileIn(const std::wstring& appData);
std::wstring DefaultProfileFileIn(const std::wstring& appData);
std::wstring JobFileIn(const std::wstring& appData, const std::wstring& jobName);

// The folder that holds the running program (first 259 characters).
std::wstring ModuleFolder(void* module = nullptr);

// The folder part of a path: everything before its last backslash.
std::wstring ParentFolder(const std::wstring& path);

bool FileExists(const std::wstring& path);    // a file, not a folder
bool FolderExists(const std::wstring& path);  // a folder, not a file

}  // namespace ordvale
