// The built wizard started as a program and driven by control id the way a
// person would: the typical run (Desktop, By File Type, the default profile,
// Finish), first with a stand-in runner to check the job file byte by byte,
// then with the real runner tidying the prefix's desktop.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"
#include "WizardDriver.h"

using namespace ordvale;
using namespace testing_support;

namespace {

bool CopyInto(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

class WizardRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetAppDataFolder(&appData));
        settingsFile = SettingsFileIn(appData);
        SHCreateDirectoryExW(nullptr, SettingsFolderIn(appData).c_str(), nullptr);
        profileFile = dir / L"profile.xml";
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, profileFile));
    }
    void TearDown() override { WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L""); }

    // Desktop, By File Type, the default profile, Finish; returns the wizard's exit code.
    DWORD TypicalRun(const std::wstring& wizardExe) { return ClickThroughTypicalRun(L"\"" + wizardExe + L"\""); }

    TempDir dir;
    std::wstring appData, settingsFile, profileFile;
};

}  // namespace

TEST_F(WizardRun, TypicalRunWritesTheJobAndStartsTheRunner) {
    TempDir app;
    ASSERT_TRUE(CopyInto(BinFolder() + L"\\OrdvaleWizard.exe", app / L"OrdvaleWizard.exe"));
    ASSERT_TRUE(CopyInto(BinFolder() + L"\\DefaultProfiles.xml", app / L"DefaultProfiles.xml"));
    ASSERT_TRUE(CopyInto(TestProgramFolder() + L"\\record_args.exe", app / L"qz.exe"));
    ASSERT_FALSE(FileExists(profileFile));

    EXPECT_EQ(TypicalRun(app / L"OrdvaleWizard.exe"), 0u);
    EXPECT_EQ(ReadUtf8(profileFile), ReadUtf8(app / L"DefaultProfiles.xml"))
        << "a missing profile document is made from the shipped one";

    ASSERT_TRUE(WaitUntil([&] { return FileExists(app / L"args.txt"); }));
    const std::string args = ReadUtf8(app / L"args.txt");
    const std::size_t brace = args.rfind('{');
    ASSERT_NE(brace, std::string::npos) << args;
    const std::wstring jobName = FromUtf8(args.substr(brace));
    EXPECT_NE(args.find(" /s {"), std::string::npos) << args;
    const std::wstring jobFile = JobFileIn(appData, jobName);
    std::vector<unsigned char> expected;
    AppendInt32(&expected, 0);  // Desktop
    AppendInt32(&expected, 1);  // By type
    AppendText(&expected, L"Type1");
    AppendText(&expected, L"");  // the default destination
    EXPECT_EQ(ReadBytes(jobFile), expected);
    DeleteFileW(jobFile.c_str());
}

TEST_F(WizardRun, ExistingProfileDocumentIsKept) {
    TempDir app;
    ASSERT_TRUE(CopyInto(BinFolder() + L"\\OrdvaleWizard.exe", app / L"OrdvaleWizard.exe"));
    ASSERT_TRUE(CopyInto(BinFolder() + L"\\DefaultProfiles.xml", app / L"DefaultProfiles.xml"));
    ASSERT_TRUE(WriteText(profileFile, ""));
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(ReadUtf8(profileFile), "");
    Press(frame, IDC_BUTTON_RIGHT);  // Exit
    EXPECT_EQ(wizard.Wait(), 0u);
}

TEST_F(WizardRun, TypicalRunTidiesTheDesktop) {
    ExpectTypicalRunTidiesTheDesktop(BinFolder() + L"\\OrdvaleWizard.exe");
}

// Options: the wizard hides while the settings editor runs and reads the
// settings again afterwards, so a new profile document shows on the profile page.
TEST_F(WizardRun, OptionsHideTheWizardAndReReadTheSettings) {
    const std::wstring other = dir / L"other.xml";
    ASSERT_TRUE(WriteText(other, "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"X\">"
                                 "<TypeConfigure id=\"X\" displayname=\"Other profile\"/></TypeProfiles></Ordvale>"));
    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    ASSERT_TRUE(wizard.Started());
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(ID_MENU_OPTIONS, 0), 0);

    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        editor = FindWindowW(nullptr, L"Ordvale Options");
        return editor && IsWindowVisible(editor);
    })) << "the settings editor starts";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(frame); })) << "the wizard hides meanwhile";
    SetDlgItemTextW(editor, 1002, other.c_str());  // the profile document's path
    Click(editor, IDOK);

    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(frame); })) << "and shows again";
    Press(frame, IDC_LINK_DESKTOP);
    ASSERT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE));
    Press(frame, IDC_BUTTON_RIGHT);
    EXPECT_TRUE(WaitUntil([&] {
        HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
        return combo && WindowText(combo) == L"Other profile";
    })) << "the profile page reads the document the settings now name";
    // The editor wrote every value; the other tests expect the defaults.
    WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyShowSystemProgress, L"0");
    WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFileConflict, L"0");
    WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFolderConflict, L"3");
}
