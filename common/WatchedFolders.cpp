#include "WatchedFolders.h"

#include <windows.h>

#include "PathText.h"
#include "Settings.h"
#include "Text.h"

namespace ordvale {

namespace {

// Longer than any value a section holds may be (a 259-character path), so a
// value that is too long is seen and cut rather than read in part.
constexpr DWORD kValueBuffer = 1024;

std::wstring ReadValue(const std::wstring& file, const std::wstring& section, const wchar_t* key) {
    wchar_t buffer[kValueBuffer] = {};
    GetPrivateProfileStringW(section.c_str(), key, L"", buffer, kValueBuffer, file.c_str());
    return CutToField(TrimBlanks(buffer));
}

bool SectionExists(const std::wstring& file, const std::wstring& section) {
    wchar_t buffer[16] = {};
    // With no key given the call lists the section's keys; an absent section
    // lists none.
    return GetPrivateProfileStringW(section.c_str(), nullptr, L"", buffer, 16, file.c_str()) > 0;
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

std::wstring WatchedFolderSection(std::size_t n) {
    return std::wstring(kWatchedFolderSectionPrefix) + std::to_wstring(n);
}

std::vector<WatchedFolder> LoadWatchedFolders(const std::wstring& settingsFile) {
    std::vector<WatchedFolder> folders;
    for (std::size_t n = 1;; ++n) {
        const std::wstring section = WatchedFolderSection(n);
        if (!SectionExists(settingsFile, section)) break;
        WatchedFolder w;
        w.folder = ReadValue(settingsFile, section, kKeyWatchedFolder);
        if (w.folder.empty()) continue;
        w.method = static_cast<int32_t>(
            GetPrivateProfileIntW(section.c_str(), kKeyWatchedMethod, 0, settingsFile.c_str()));
        w.profileId = ReadValue(settingsFile, section, kKeyWatchedProfile);
        w.destination = ReadValue(settingsFile, section, kKeyWatchedDestination);
        w.paused = GetPrivateProfileIntW(section.c_str(), kKeyWatchedPaused, 0, settingsFile.c_str()) != 0;
        folders.push_back(std::move(w));
    }
    return folders;
}

bool SaveWatchedFolders(const std::wstring& settingsFile, const std::vector<WatchedFolder>& folders) {
    bool ok = true;
    for (std::size_t i = 0; i < folders.size(); ++i) {
        const WatchedFolder& w = folders[i];
        const std::wstring section = WatchedFolderSection(i + 1);
        ok &= WriteSettingsValue(settingsFile, section.c_str(), kKeyWatchedFolder, CutToField(w.folder));
        ok &= WriteSettingsValue(settingsFile, section.c_str(), kKeyWatchedMethod, std::to_wstring(w.method));
        ok &= WriteSettingsValue(settingsFile, section.c_str(), kKeyWatchedProfile, CutToField(w.profileId));
        ok &= WriteSettingsValue(settingsFile, section.c_str(), kKeyWatchedDestination, CutToField(w.destination));
        ok &= WriteSettingsValue(settingsFile, section.c_str(), kKeyWatchedPaused, w.paused ? L"1" : L"0");
    }
    // Sections past the new end, left by a longer list, go.
    for (std::size_t n = folders.size() + 1; SectionExists(settingsFile, WatchedFolderSection(n)); ++n)
        ok &= WritePrivateProfileStringW(WatchedFolderSection(n).c_str(), nullptr, nullptr, settingsFile.c_str()) !=
              FALSE;
    return ok;
}

bool SameWatchedFolder(const std::wstring& a, const std::wstring& b) {
    return EqualsNoCase(WithoutTrailingBackslash(TrimBlanks(a)), WithoutTrailingBackslash(TrimBlanks(b)));
}

bool HoldsWatchedPlace(const std::wstring& item, const std::vector<WatchedFolder>& folders,
                       const std::wstring& tidied) {
    auto holds = [&](const std::wstring& place) {
        return !place.empty() && (path::SamePath(place, item) || path::IsInside(place, item));
    };
    for (const WatchedFolder& f : folders) {
        if (SameWatchedFolder(f.folder, tidied)) continue;
        if (holds(f.folder) || holds(f.destination)) return true;
    }
    return false;
}

}  // namespace ordvale
