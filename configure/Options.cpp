#include "configure/Options.h"

#include <shellapi.h>

#include <algorithm>

#include "common/AppPaths.h"
#include "common/Text.h"
#include "configure/resource.h"

namespace ordvale {

const ConflictChoices kFileConflictChoices = {
    {IDS_CHOICE_RENAME, IDS_CHOICE_OVERWRITE, IDS_CHOICE_ASK},
    {kConflictRename, kConflictOverwrite, kConflictAsk},
    0};

const ConflictChoices kFolderConflictChoices = {
    {IDS_CHOICE_RENAME, IDS_CHOICE_MERGE, IDS_CHOICE_ASK},
    {kConflictRename, kFolderConflictMerge, kConflictAsk},
    1};

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool StartsWithDrive(const std::wstring& path) {
    return path.size() >= 2 && IsLetter(path[0]) && path[1] == L':';
}

bool HasBadCharacter(const std::wstring& path) {
    for (std::size_t i = 0; i < path.size(); ++i) {
        wchar_t c = path[i];
        if (c < 32 || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*')
            return true;
        if (c == L':' && !(i == 1 && StartsWithDrive(path))) return true;
    }
    return false;
}

}  // namespace

bool IsFullPath(const std::wstring& path) {
    if (StartsWithDrive(path)) return path.size() >= 3 && IsSeparator(path[2]);
    return path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
}

OptionValues OptionValuesFrom(const OrdvaleSettings& settings) {
    OptionValues values;
    values.profileFile = std::wstring(settings.profileFile, BoundedLength(settings.profileFile, kTextUnits));
    values.showSystemProgress = settings.showSystemProgress;
    values.fileConflict = settings.fileConflict;
    values.folderConflict = settings.folderConflict;
    return values;
}

std::wstring ProfileFolderOf(const std::wstring& path) {
    std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    std::wstring folder = path.substr(0, slash);
    // "C:" alone is the current folder of drive C, not its root.
    if (folder.size() == 2 && StartsWithDrive(folder)) folder += L'\\';
    return folder;
}

UINT Validate(const OptionValues& values) {
    const std::wstring path = TrimBlanks(values.profileFile);
    if (path.empty()) return IDS_PATH_EMPTY;
    if (path.size() > kMaxProfilePath) return IDS_PATH_TOO_LONG;
    if (!IsFullPath(path)) return IDS_PATH_NOT_FULL;
    if (HasBadCharacter(path)) return IDS_PATH_BAD_CHARACTER;
    if (FolderExists(path)) return IDS_PATH_IS_FOLDER;
    if (!FolderExists(ProfileFolderOf(path))) return IDS_PATH_NO_FOLDER;
    return 0;
}

int PositionOf(const ConflictChoices& choices, int32_t stored) {
    for (int i = 0; i < 3; ++i)
        if (choices.values[i] == stored) return i;
    return choices.fallback;
}

int32_t ValueAt(const ConflictChoices& choices, int position) {
    if (position < 0 || position >= 3) position = choices.fallback;
    return choices.values[position];
}

namespace {

std::wstring ReadProfilePath(const std::wstring& settingsFile) {
    wchar_t text[kTextUnits + 1] = {};
    GetPrivateProfileStringW(kSectionProfile, kKeyFileName, L"", text, kTextUnits + 1, settingsFile.c_str());
    return text;
}

}  // namespace

bool SaveOptionValues(const std::wstring& settingsFile, const OptionValues& values) {
    // A settings file kept in the ANSI code page loses what that code page
    // cannot spell: such a path is taken back and nothing else is written.
    const std::wstring path = TrimBlanks(values.profileFile);
    const std::wstring previous = ReadProfilePath(settingsFile);
    if (!WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, path)) return false;
    if (ReadProfilePath(settingsFile) != path) {
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, previous);
        return false;
    }
    return WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyShowSystemProgress,
                              values.showSystemProgress ? L"1" : L"0") &&
           WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFileConflict,
                              IntToText(values.fileConflict)) &&
           WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFolderConflict,
                              IntToText(values.folderConflict));
}

bool IsOptionsCommand(const wchar_t* commandLine, const std::wstring& programPath) {
    std::wstring line = commandLine ? commandLine : L"";
    line.erase(0, std::min(line.size(), line.find_first_not_of(L" \t")));
    // The program's own name first: quoted, or as the program's path even
    // when that holds spaces and was not quoted, or else up to a blank.
    std::size_t end = 0;
    if (!line.empty() && line[0] == L'"') {
        end = line.find(L'"', 1);
        end = end == std::wstring::npos ? line.size() : end + 1;
    } else if (!programPath.empty() && line.size() >= programPath.size() &&
               EqualsNoCase(line.substr(0, programPath.size()), programPath) &&
               (line.size() == programPath.size() || line[programPath.size()] == L' ' ||
                line[programPath.size()] == L'\t')) {
        end = programPath.size();
    } else {
        end = std::min(line.size(), line.find_first_of(L" \t"));
    }
    // The rest split the way every program splits its arguments.
    const std::wstring arguments = L"x " + line.substr(end);
    int count = 0;
    wchar_t** args = CommandLineToArgvW(arguments.c_str(), &count);
    if (!args) return false;
    const bool options = count == 2 && EqualsNoCase(args[1], L"options");
    LocalFree(args);
    return options;
}

}  // namespace ordvale
