// The four per-user settings, read from settings.ini in the application-data
// folder.
#pragma once

#include <cstdint>
#include <string>

namespace ordvale {

// fileConflict: 0 Rename, 1 Overwrite, 2 Ask, any other as Rename.
// folderConflict: 0 Rename, 1 Merge, 2 Ask, any other as Merge.
struct OrdvaleSettings {
    wchar_t profileFile[260];
    bool showSystemProgress;
    int32_t fileConflict;
    int32_t folderConflict;
};

enum ConflictChoice : int32_t { kConflictRename = 0, kConflictOverwrite = 1, kConflictAsk = 2 };

constexpr const wchar_t* kSectionProfile = L"Profile";
constexpr const wchar_t* kKeyFileName = L"FileName";
constexpr const wchar_t* kSectionFileOperation = L"FileOperation";
constexpr const wchar_t* kKeyShowSystemProgress = L"ShowSystemProgress";
constexpr const wchar_t* kKeyFileConflict = L"FileConflict";
constexpr const wchar_t* kKeyFolderConflict = L"FolderConflict";

void InitSettings(OrdvaleSettings* settings);

// Fills all four fields; false (record untouched) only when the
// application-data folder cannot be determined.
bool LoadSettings(OrdvaleSettings* settings);

// The same with the application-data folder given.
void LoadSettingsIn(const std::wstring& appData, OrdvaleSettings* settings);

// Writes one value, creating the file as UTF-16 when it does not exist yet,
// so that paths in any script survive a later read.
bool WriteSettingsValue(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                        const std::wstring& value);

}  // namespace ordvale
