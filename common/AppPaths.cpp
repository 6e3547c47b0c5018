#include "AppPaths.h"

#include <windows.h>
#include <shlobj.h>

#include "Text.h"

namespace ordvale {

bool GetAppDataFolder(std::wstring* folder) {
    wchar_t buf[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, buf)))
        return false;
    *folder = buf;
    return true;
}

std::wstring SettingsFolderIn(const std::wstring& appData) {
    return CutToField(appData + L"\\" + kAppRelativeFolder);
}

std::wstring SettingsFileIn(const std::wstring& appData) {
    return CutToField(appData + L"\\" + kAppRelativeFolder + L"\\" + kSettingsFileName);
}

std::wstring DefaultProfileFileIn(const std::wstring& appData) {
    return CutToField(appData + L"\\" + kAppRelativeFolder + L"\\" + kDefaultProfileFileName);
}

std::wstring JobFileIn(const std::wstring& appData, const std::wstring& jobName) {
    return CutToField(appData + L"\\" + kAppRelativeFolder + L"\\" + jobName);
}

std::wstring ModuleFolder(void* module) {
    std::wstring path(32768, L'\0');
    DWORD n = GetModuleFileNameW(static_cast<HMODULE>(module), &path[0],
                                 static_cast<DWORD>(path.size()));
    path.resize(n);
    return CutToField(ParentFolder(path));
}

std::wstring ParentFolder(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool FileExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& path) {
    DWORD a = GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace ordvale
