#include "Settings.h"

#include <windows.h>
#include <shlobj.h>

#include "AppPaths.h"
#include "Text.h"
#include "win/Handle.h"

namespace ordvale {

namespace {

// The profile functions write an existing file in the encoding it has, and a
// new one in the ANSI code page; a file that starts as an empty UTF-16 text
// keeps every character.
void CreateUnicodeFileIfMissing(const std::wstring& file) {
    win::UniqueHandle h(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h) return;
    static const unsigned char kBom[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(h.Get(), kBom, sizeof(kBom), &written, nullptr);
}

}  // namespace

void InitSettings(OrdvaleSettings* s) {
    s->profileFile[0] = L'\0';
    s->showSystemProgress = false;
    s->fileConflict = 0;
    s->folderConflict = 3;
}

bool WriteSettingsValue(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                        const std::wstring& value) {
    CreateUnicodeFileIfMissing(file);
    return WritePrivateProfileStringW(section, key, value.c_str(), file.c_str()) != FALSE;
}

void LoadSettingsIn(const std::wstring& appData, OrdvaleSettings* s) {
    const std::wstring folder = SettingsFolderIn(appData);
    const std::wstring file = SettingsFileIn(appData);
    const std::wstring defaultProfile = DefaultProfileFileIn(appData);

    if (!FileExists(file) && !FolderExists(folder))
        SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);

    wchar_t buf[260] = {};
    GetPrivateProfileStringW(kSectionProfile, kKeyFileName, L"", buf, 260, file.c_str());
    StoreText(s->profileFile, buf);
    if (s->profileFile[0] == L'\0') {
        StoreText(s->profileFile, defaultProfile);
        WriteSettingsValue(file, kSectionProfile, kKeyFileName, defaultProfile);
    }
    s->showSystemProgress =
        GetPrivateProfileIntW(kSectionFileOperation, kKeyShowSystemProgress, 0, file.c_str()) != 0;
    s->fileConflict = static_cast<int32_t>(
        GetPrivateProfileIntW(kSectionFileOperation, kKeyFileConflict, 0, file.c_str()));
    s->folderConflict = static_cast<int32_t>(
        GetPrivateProfileIntW(kSectionFileOperation, kKeyFolderConflict, 3, file.c_str()));
}

bool LoadSettings(OrdvaleSettings* s) {
    std::wstring appData;
    if (!GetAppDataFolder(&appData)) return false;
    LoadSettingsIn(appData, s);
    return true;
}

}  // namespace ordvale
