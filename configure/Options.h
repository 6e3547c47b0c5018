// The values the Options dialog edits, apart from any window: checking a
// profile path, mapping stored conflict values to list positions and back,
// writing the settings file, and reading the command line.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Settings.h"

namespace ordvale {

struct OptionValues {
    std::wstring profileFile;
    bool showSystemProgress = false;
    int32_t fileConflict = kConflictRename;
    int32_t folderConflict = 3;  // what LoadSettings gives when nothing is stored: Merge
};

constexpr int32_t kFolderConflictMerge = 1;

OptionValues OptionValuesFrom(const OrdvaleSettings& settings);

// The longest profile path the settings can keep.
constexpr std::size_t kMaxProfilePath = 259;

// 0 when the values can be saved; otherwise the string id of the message
// that says what is wrong (IDS_PATH_...). The path is judged with spaces and
// tabs at both ends removed.
UINT Validate(const OptionValues& values);

// "C:\..." or "\\server\share\...": a path that means the same in every
// program, whatever its current folder.
bool IsFullPath(const std::wstring& path);

// The folder a profile path lies in, as it is checked ("C:\" for "C:\p.xml").
std::wstring ProfileFolderOf(const std::wstring& path);

// The entries of one conflict list, top to bottom: their text and the value
// stored for them. A stored value none of them has shows as `fallback`.
struct ConflictChoices {
    UINT labels[3];
    int32_t values[3];
    int fallback;
};

extern const ConflictChoices kFileConflictChoices;    // Rename, Overwrite, Ask
extern const ConflictChoices kFolderConflictChoices;  // Rename, Merge, Ask

int PositionOf(const ConflictChoices& choices, int32_t stored);
// The value to store for a list position; no valid position stores the fallback's value.
int32_t ValueAt(const ConflictChoices& choices, int position);

// Writes all four values (the path trimmed) into the settings file; false
// when one could not be written, or when the file cannot keep the path as it
// is (then the file is left as it was).
bool SaveOptionValues(const std::wstring& settingsFile, const OptionValues& values);

// True when the command line carries exactly the one argument "options".
// programPath is the running program's full path, so that a command line
// that names it unquoted, spaces and all, is still read right.
bool IsOptionsCommand(const wchar_t* commandLine, const std::wstring& programPath);

}  // namespace ordvale
