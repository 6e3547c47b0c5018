// Whole runs through qz.exe: the fixture writes settings.ini, profile.xml
// and a job file into the prefix's application data, starts the runner and
// lets the test answer its windows.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/TidyJob.h"
#include "TestSupport.h"
#include "WindowDriver.h"

namespace testing_support {

using namespace ordvale;

inline const char kTypeProfile[] =
    "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>"
    "<Folder displayname=\"Documents\"><Ext t=\".txt\"/><Folder displayname=\"Sheets\"><Ext t=\".csv\"/></Folder></Folder>"
    "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder>"
    "<Folder displayname=\"Shortcuts\"><Ext ti=\"2\"/></Folder>"
    "<Folder displayname=\"Others\"><Ext ti=\"3\"/></Folder>";

class EndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetAppDataFolder(&appData));
        OrdvaleSettings settings;
        ASSERT_TRUE(LoadSettings(&settings));
        settingsFile = SettingsFileIn(appData);
        target = dir / L"Target";
        ASSERT_TRUE(MakeFolder(target));
        job.target = static_cast<int32_t>(TidyTarget::Folder);
        StoreText(job.folder, target);
        SetSettings(0, 3);
    }
    void TearDown() override {
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
        WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFileConflict, L"0");
        WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFolderConflict, L"3");
    }

    void SetSettings(int fileConflict, int folderConflict) {
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, dir / L"profile.xml"));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFileConflict, std::to_wstring(fileConflict)));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFolderConflict, std::to_wstring(folderConflict)));
    }
    void WriteProfile(const char* method, const std::string& body) {
        std::string m(method);
        ASSERT_TRUE(WriteText(dir / L"profile.xml",
                              "<?xml version=\"1.0\"?><Ordvale><" + m + "Profiles default=\"P\"><" + m +
                                  "Configure id=\"P\" displayname=\"Test\">" + body + "</" + m +
                                  "Configure></" + m + "Profiles></Ordvale>"));
    }
    std::wstring WriteJob() {
        uint32_t size = 0;
        SerializeTidyJob(&job, nullptr, &size);
        std::vector<unsigned char> bytes(size);
        SerializeTidyJob(&job, bytes.data(), &size);
        const std::wstring name = NewJobName();
        EXPECT_TRUE(WriteBytes(JobFileIn(appData, name), bytes));
        return name;
    }
    std::wstring Runner() const { return BinFolder() + L"\\qz.exe"; }

    // Runs the job; `drive` answers the windows while it runs.
    DWORD RunJob(const std::function<void(DWORD)>& drive = nullptr) {
        const std::wstring name = WriteJob();
        Program runner(Runner() + L" /s " + name);
        EXPECT_TRUE(runner.Started());
        if (drive) drive(runner.Id());
        DWORD code = runner.Wait(120000);
        EXPECT_FALSE(FileExists(JobFileIn(appData, name))) << "the runner deletes the job file";
        return code;
    }
    void File(const std::wstring& path, const std::string& content = "x") { ASSERT_TRUE(WriteText(path, content)); }

    TempDir dir;
    std::wstring appData, settingsFile, target;
    TidyJob job;
};

}  // namespace testing_support
