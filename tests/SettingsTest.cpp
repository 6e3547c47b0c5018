#include <gtest/gtest.h>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/WatchedFolders.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

class SettingsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        appData = dir / L"Roaming";
        ASSERT_TRUE(MakeFolder(appData));
        folder = appData + L"\\Pelvantor\\Ordvale";
        file = folder + L"\\settings.ini";
        InitSettings(&settings);
    }
    void WriteSettingsFile(const std::string& text) {
        ASSERT_TRUE(MakeFolder(appData + L"\\Pelvantor"));
        ASSERT_TRUE(MakeFolder(folder));
        ASSERT_TRUE(WriteText(file, text));
    }
    std::wstring Read(const wchar_t* section, const wchar_t* key) {
        wchar_t buf[260] = {};
        GetPrivateProfileStringW(section, key, L"<missing>", buf, 260, file.c_str());
        return buf;
    }

    TempDir dir;
    std::wstring appData, folder, file;
    OrdvaleSettings settings;
};

}  // namespace

TEST(Settings, InitialValues) {
    OrdvaleSettings s;
    s.fileConflict = 9;
    s.showSystemProgress = true;
    StoreText(s.profileFile, L"x");
    InitSettings(&s);
    EXPECT_STREQ(s.profileFile, L"");
    EXPECT_FALSE(s.showSystemProgress);
    EXPECT_EQ(s.fileConflict, 0);
    EXPECT_EQ(s.folderConflict, 3);
}

TEST_F(SettingsFixture, NewUserGetsFolderFileAndDefaults) {
    LoadSettingsIn(appData, &settings);
    EXPECT_TRUE(FolderExists(folder));
    const std::wstring defaultProfile = folder + L"\\profile.xml";
    EXPECT_EQ(std::wstring(settings.profileFile), defaultProfile);
    EXPECT_FALSE(settings.showSystemProgress);
    EXPECT_EQ(settings.fileConflict, 0);
    EXPECT_EQ(settings.folderConflict, 3);
    EXPECT_EQ(Read(L"Profile", L"FileName"), defaultProfile);
}

TEST_F(SettingsFixture, ReadsValuesAsTheyStand) {
    struct Case {
        const char* file;
        const wchar_t* profile;
        bool progress;
        int fileConflict, folderConflict;
    };
    const Case cases[] = {
        {"[Profile]\r\nFileName=D:\\p.xml\r\n[FileOperation]\r\nShowSystemProgress=7\r\nFileConflict=2\r\nFolderConflict=1\r\n",
         L"D:\\p.xml", true, 2, 1},
        {"[profile]\r\nfilename=D:\\missing\\none.xml\r\n[FILEOPERATION]\r\nShowSystemProgress=abc\r\nFileConflict=-4\r\n",
         L"D:\\missing\\none.xml", false, -4, 3},
        {"[Profile]\r\nFileName=D:\\q.xml\r\n[FileOperation]\r\nShowSystemProgress=0\r\nFolderConflict=12x\r\n[Other]\r\nKey=1\r\n",
         L"D:\\q.xml", false, 0, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        WriteSettingsFile(c.file);
        LoadSettingsIn(appData, &settings);
        EXPECT_STREQ(settings.profileFile, c.profile);
        EXPECT_EQ(settings.showSystemProgress, c.progress);
        EXPECT_EQ(settings.fileConflict, c.fileConflict);
        EXPECT_EQ(settings.folderConflict, c.folderConflict);
    }
    EXPECT_EQ(Read(L"Other", L"Key"), L"1") << "other sections stay in place";
}

TEST_F(SettingsFixture, EmptyFileNameIsReplacedByTheDefault) {
    WriteSettingsFile("[Profile]\r\nFileName=\r\n[FileOperation]\r\nFileConflict=1\r\n");
    LoadSettingsIn(appData, &settings);
    EXPECT_EQ(std::wstring(settings.profileFile), folder + L"\\profile.xml");
    EXPECT_EQ(Read(L"Profile", L"FileName"), folder + L"\\profile.xml");
    EXPECT_EQ(settings.fileConflict, 1);
}

TEST_F(SettingsFixture, NonAsciiProfilePathSurvivesWriteAndRead) {
    const std::wstring profile = L"C:\\Users\\J\u00fcrgen\\\u6587\u6863\\\u0161\u010d profile.xml";
    LoadSettingsIn(appData, &settings);  // creates the file
    ASSERT_TRUE(WriteSettingsValue(file, L"Profile", L"FileName", profile));
    OrdvaleSettings again;
    InitSettings(&again);
    LoadSettingsIn(appData, &again);
    EXPECT_EQ(std::wstring(again.profileFile), profile);
}

TEST_F(SettingsFixture, FolderThatCannotBeCreatedGivesDefaults) {
    // A file where the settings folder should be.
    ASSERT_TRUE(WriteText(appData + L"\\Pelvantor", "blocker"));
    LoadSettingsIn(appData, &settings);
    EXPECT_EQ(std::wstring(settings.profileFile), folder + L"\\profile.xml");
    EXPECT_FALSE(settings.showSystemProgress);
    EXPECT_EQ(settings.fileConflict, 0);
    EXPECT_EQ(settings.folderConflict, 3);
}

// The watched folders round-trip through settings.ini beside the four
// settings; a shorter list removes the sections after it, and paths keep
// every character.
TEST_F(SettingsFixture, WatchedFoldersRoundTripBesideTheSettings) {
    WriteSettingsFile("");
    ASSERT_TRUE(DeleteFileW(file.c_str()));  // written new, as the system makes it
    ASSERT_TRUE(WriteSettingsValue(file, kSectionFileOperation, kKeyFileConflict, L"1"));
    std::vector<WatchedFolder> three = {
        {L"C:\\Users\\u\\Downloads", 1, L"Type1", L"", false},
        {L"C:\\Users\\u\\\u00c9t\u00e9 \u65e5\u672c", 3, L"Size2", L"D:\\Sorted", true},
        {L"C:\\Users\\u\\Desktop", 4, L"Name1", L"", false},
    };
    ASSERT_TRUE(SaveWatchedFolders(file, three));
    std::vector<WatchedFolder> back = LoadWatchedFolders(file);
    ASSERT_EQ(back.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].folder, three[i].folder) << i;
        EXPECT_EQ(back[i].method, three[i].method) << i;
        EXPECT_EQ(back[i].profileId, three[i].profileId) << i;
        EXPECT_EQ(back[i].destination, three[i].destination) << i;
        EXPECT_EQ(back[i].paused, three[i].paused) << i;
    }
    three.erase(three.begin());
    ASSERT_TRUE(SaveWatchedFolders(file, three));
    back = LoadWatchedFolders(file);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].profileId, L"Size2");
    EXPECT_EQ(Read(L"WatchedFolder3", L"Folder"), L"<missing>");
    EXPECT_EQ(Read(kSectionFileOperation, kKeyFileConflict), L"1");
    EXPECT_TRUE(SameWatchedFolder(L"c:\\users\\U\\Desktop\\", L"C:\\Users\\u\\Desktop"));
    EXPECT_FALSE(SameWatchedFolder(L"C:\\Users\\u\\Desktop2", L"C:\\Users\\u\\Desktop"));
}
