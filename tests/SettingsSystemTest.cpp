// Settings and hand-off against the prefix's real application-data folder.
#include <gtest/gtest.h>

#include "common/AppPaths.h"
#include "common/Text.h"
#include "common/JobHandOff.h"
#include "common/Settings.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

std::wstring SettingsFolder() {
    std::wstring appData;
    EXPECT_TRUE(GetAppDataFolder(&appData));
    return SettingsFolderIn(appData);
}

}  // namespace

TEST(SettingsSystem, LoadSettingsUsesTheApplicationDataFolder) {
    OrdvaleSettings settings;
    InitSettings(&settings);
    ASSERT_TRUE(LoadSettings(&settings));
    EXPECT_TRUE(FolderExists(SettingsFolder()));
    EXPECT_EQ(std::wstring(settings.profileFile), SettingsFolder() + L"\\profile.xml");
}

TEST(SettingsSystem, LaunchThreadHandsOffAndReportsAMissingFolderAsThree) {
    OrdvaleSettings settings;
    ASSERT_TRUE(LoadSettings(&settings));  // makes the settings folder
    TempDir program;
    ASSERT_TRUE(CopyFileW((TestProgramFolder() + L"\\record_args.exe").c_str(),
                          (program / L"qz.exe").c_str(), FALSE));
    TidyJob job;
    LaunchParams params = {};
    params.job = &job;
    StoreText(params.wizardFolder, program.Path());

    HANDLE thread = CreateThread(nullptr, 0, LaunchThread, &params, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(params.result, 0);

    // The runner got the name of a job file in the settings folder.
    std::string args;
    for (int i = 0; i < 200 && args.empty(); ++i, Sleep(50))
        if (FileExists(program / L"args.txt")) args = ReadUtf8(program / L"args.txt");
    const std::string prefix = Narrow(program / L"qz.exe /s ");
    ASSERT_EQ(args.rfind(prefix, 0), 0u) << args;
    const std::wstring jobFile = SettingsFolder() + L"\\" + FromUtf8(args.substr(prefix.size()));
    EXPECT_EQ(ReadBytes(jobFile).size(), 12u);
    DeleteFileW(jobFile.c_str());

    // Without the settings folder the job file cannot be created.
    const std::wstring aside = SettingsFolder() + L".aside";
    ASSERT_TRUE(MoveFileW(SettingsFolder().c_str(), aside.c_str()));
    params.result = 0;
    LaunchThread(&params);
    MoveFileW(aside.c_str(), SettingsFolder().c_str());
    EXPECT_EQ(params.result, 3);
}
