// The Options dialog's values apart from the window: which profile paths are
// refused and why, how stored conflict values show in the lists and what the
// lists store, the settings file written, and the command line.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "configure/Options.h"
#include "configure/resource.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

OptionValues WithPath(const std::wstring& path) {
    OptionValues values;
    values.profileFile = path;
    return values;
}

}  // namespace

TEST(ConfigureValidation, ProfilePaths) {
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / L"exists.xml", "<Ordvale/>"));
    ASSERT_TRUE(MakeFolder(dir / L"Sub"));
    const std::wstring nonAscii = dir / L"J\u00fcrgen";
    ASSERT_TRUE(MakeFolder(nonAscii));
    ASSERT_TRUE(MakeFolder(nonAscii + L"\\\u6587\u6863"));

    // A name that brings the whole path to exactly the longest length kept.
    const std::wstring prefix = dir.Path() + L"\\";
    ASSERT_LT(prefix.size(), kMaxProfilePath - 10);
    const std::wstring longest = prefix + std::wstring(kMaxProfilePath - prefix.size() - 4, L'n') + L".xml";
    ASSERT_EQ(longest.size(), kMaxProfilePath);

    std::wstring forwardSlash = dir / L"new.xml";
    forwardSlash[forwardSlash.find_last_of(L'\\')] = L'/';

    struct Case {
        std::wstring path;
        UINT expected;
    };
    const Case cases[] = {
        {L"", IDS_PATH_EMPTY},
        {L"  \t \t", IDS_PATH_EMPTY},
        {dir.Path(), IDS_PATH_IS_FOLDER},
        {dir.Path() + L"\\", IDS_PATH_IS_FOLDER},
        {L" \t" + (dir / L"Sub") + L"  ", IDS_PATH_IS_FOLDER},
        {L"C:\\", IDS_PATH_IS_FOLDER},
        {dir / L"missing\\p.xml", IDS_PATH_NO_FOLDER},
        {dir / L"exists.xml\\p.xml", IDS_PATH_NO_FOLDER},  // the "folder" is a file
        {longest + L"x", IDS_PATH_TOO_LONG},
        {prefix + std::wstring(400, L'a'), IDS_PATH_TOO_LONG},
        {L"p.xml", IDS_PATH_NOT_FULL},
        {L"..\\p.xml", IDS_PATH_NOT_FULL},
        {L"C:p.xml", IDS_PATH_NOT_FULL},
        {L"\\Users\\p.xml", IDS_PATH_NOT_FULL},
        {dir / L"what?.xml", IDS_PATH_BAD_CHARACTER},
        {dir / L"a*.xml", IDS_PATH_BAD_CHARACTER},
        {dir / L"a:b.xml", IDS_PATH_BAD_CHARACTER},
        {dir / L"a|b.xml", IDS_PATH_BAD_CHARACTER},
        {dir / L"new.xml", 0},
        {dir / L"exists.xml", 0},
        {L"\t " + (dir / L"new.xml") + L" \t", 0},
        {forwardSlash, 0},
        {longest, 0},
        {nonAscii + L"\\\u6587\u6863\\p.xml", 0},
        {L"C:\\p.xml", 0},  // the folder of a file at a drive's root is the root
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Validate(WithPath(c.path)), c.expected) << "path \"" << Narrow(c.path) << "\"";
    }
}

TEST(ConfigureValidation, FolderOfAPath) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\Users\\p.xml", L"C:\\Users"},
        {L"C:\\p.xml", L"C:\\"},
        {L"C:/Users/p.xml", L"C:/Users"},
        {L"\\\\server\\share\\p.xml", L"\\\\server\\share"},
        {L"p.xml", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(ProfileFolderOf(c.first), c.second) << Narrow(c.first);
}

TEST(ConfigureChoices, StoredValuesToListPositions) {
    struct Case {
        int32_t stored;
        int filePosition;    // Rename, Overwrite, Ask
        int folderPosition;  // Rename, Merge, Ask
    };
    const Case cases[] = {
        {0, 0, 0},
        {1, 1, 1},
        {2, 2, 2},
        {3, 0, 1},  // nothing stored gives 3 for folders: Merge
        {4, 0, 1},
        {-1, 0, 1},
        {INT_MAX, 0, 1},
        {INT_MIN, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PositionOf(kFileConflictChoices, c.stored), c.filePosition) << "file conflict " << c.stored;
        EXPECT_EQ(PositionOf(kFolderConflictChoices, c.stored), c.folderPosition) << "folder conflict " << c.stored;
    }
}

TEST(ConfigureChoices, ListPositionsToStoredValues) {
    struct Case {
        int position;
        int32_t fileValue;
        int32_t folderValue;
    };
    const Case cases[] = {
        {0, kConflictRename, kConflictRename},
        {1, kConflictOverwrite, kFolderConflictMerge},
        {2, kConflictAsk, kConflictAsk},
        {-1, kConflictRename, kFolderConflictMerge},  // CB_ERR: nothing selected
        {3, kConflictRename, kFolderConflictMerge},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ValueAt(kFileConflictChoices, c.position), c.fileValue) << "position " << c.position;
        EXPECT_EQ(ValueAt(kFolderConflictChoices, c.position), c.folderValue) << "position " << c.position;
    }
}

TEST(ConfigureSave, WritesAllFourValuesReadBackByLoadSettings) {
    TempDir appData;
    ASSERT_TRUE(MakeFolder(appData / L"Pelvantor"));
    ASSERT_TRUE(MakeFolder(SettingsFolderIn(appData.Path())));
    const std::wstring file = SettingsFileIn(appData.Path());
    const std::wstring nonAscii = appData / L"J\u00fcrgen\\\u6587\u6863\\p.xml";

    struct Case {
        const wchar_t* path;  // saved
        bool progress;
        int32_t fileConflict;
        int32_t folderConflict;
        std::wstring readPath;
    };
    const Case cases[] = {
        {nonAscii.c_str(), true, kConflictAsk, kConflictRename, nonAscii},
        {L" \tC:\\Profiles\\mine.xml\t ", false, kConflictOverwrite, kFolderConflictMerge, L"C:\\Profiles\\mine.xml"},
        {L"C:\\p.xml", true, kConflictRename, kConflictAsk, L"C:\\p.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.readPath));
        OptionValues saved;
        saved.profileFile = c.path;
        saved.showSystemProgress = c.progress;
        saved.fileConflict = c.fileConflict;
        saved.folderConflict = c.folderConflict;
        ASSERT_TRUE(SaveOptionValues(file, saved));
        OrdvaleSettings read;
        InitSettings(&read);
        LoadSettingsIn(appData.Path(), &read);
        EXPECT_EQ(std::wstring(read.profileFile), c.readPath);
        EXPECT_EQ(read.showSystemProgress, c.progress);
        EXPECT_EQ(read.fileConflict, c.fileConflict);
        EXPECT_EQ(read.folderConflict, c.folderConflict);
    }
}

TEST(ConfigureCommandLine, OnlyTheOptionsArgumentOpensTheDialog) {
    const std::wstring spaced = L"C:\\Program Files\\Ordvale\\OrdvaleConfigure.exe";
    struct Case {
        std::wstring line;
        bool options;
    };
    const Case cases[] = {
        {L"OrdvaleConfigure.exe options", true},
        {L"\"" + spaced + L"\" options", true},
        {L"\"" + spaced + L"\"options", true},
        {spaced + L" options", true},  // unquoted, spaces and all
        {L"c:\\program files\\ordvale\\ordvaleconfigure.exe options", true},
        {L"  OrdvaleConfigure.exe OPTIONS", true},
        {L"OrdvaleConfigure.exe \"options\"", true},
        {L"OrdvaleConfigure.exe \t options  ", true},
        {L"OrdvaleConfigure.exe", false},
        {spaced, false},
        {L"\"" + spaced + L"\"", false},
        {L"\"C:\\options\\OrdvaleConfigure.exe\"", false},
        {spaced + L" options extra", false},
        {L"OrdvaleConfigure.exe options extra", false},
        {L"OrdvaleConfigure.exe /options", false},
        {L"OrdvaleConfigure.exe option", false},
        {L"OrdvaleConfigure.exe \"options \"", false},
        {L"OrdvaleConfigure.exe settings", false},
        {L"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsOptionsCommand(c.line.c_str(), spaced), c.options) << Narrow(c.line);
}

TEST(ConfigureSave, RefusedWhenTheFileCannotKeepThePath) {
    TempDir dir;
    const std::string ansi = "[Profile]\r\nFileName=C:\\old.xml\r\n";
    const std::wstring nonAscii = L"C:\\J\u00fcrgen\\\u6587\u6863\\p.xml";
    // Only a UTF-8 code page spells the Chinese folder name.
    const bool ansiKeepsIt = GetACP() == CP_UTF8;
    struct Case {
        const wchar_t* file;
        const wchar_t* path;
        bool saved;
    };
    const Case cases[] = {
        {L"ansi.ini", L"C:\\plain\\p.xml", true},
        {L"ansi.ini", nonAscii.c_str(), ansiKeepsIt},
        {L"new.ini", nonAscii.c_str(), true},  // made as UTF-16
        {L"missing\\settings.ini", L"C:\\plain\\p.xml", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.file) + " " + Narrow(c.path));
        const std::wstring file = dir / c.file;
        DeleteFileW(file.c_str());
        if (std::wstring(c.file) == L"ansi.ini") {
            ASSERT_TRUE(WriteText(file, ansi));
        }
        const std::vector<unsigned char> before = ReadBytes(file);
        OptionValues values;
        values.profileFile = c.path;
        values.fileConflict = kConflictAsk;
        EXPECT_EQ(SaveOptionValues(file, values), c.saved);
        if (!c.saved) {
            EXPECT_EQ(ReadBytes(file), before) << "a refused save leaves the file as it was";
        }
    }
}
