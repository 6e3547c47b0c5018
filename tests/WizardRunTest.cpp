// The built wizard started as a program and driven by control id the way a
// person would: the typical run (Desktop, By File Type, the default profile,
// Finish), first with a stand-in runner to check the job file byte by byte,
// then with the real runner tidying the prefix's desktop.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <iterator>
#include <vector>

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

std::wstring DesktopFolder() {
    wchar_t buffer[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer)) ? buffer : L"";
}

bool CopyInto(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

// The method page's choices in page order, with what the summary and the job
// file carry for each and the shipped default profile of the method.
struct MethodChoice {
    int radio;
    int32_t code;
    const wchar_t* summary;
    const wchar_t* profileId;
};
const MethodChoice kMethodChoices[] = {
    {IDC_METHOD_TYPE, 1, L"<a>File Type</a>", L"Type1"},
    {IDC_METHOD_NAME, 4, L"<a>File Name</a>", L"Name1"},
    {IDC_METHOD_SIZE, 3, L"<a>File Size</a>", L"Size1"},
    {IDC_METHOD_TIME, 2, L"<a>File Time</a>", L"Time1"},
};

// The method page's radio buttons that are checked, in page order.
std::vector<int> CheckedMethods(HWND frame) {
    std::vector<int> checked;
    for (const MethodChoice& choice : kMethodChoices) {
        HWND radio = VisibleControl(frame, choice.radio);
        if (radio && SendMessageW(radio, BM_GETCHECK, 0, 0) == BST_CHECKED) checked.push_back(choice.radio);
    }
    return checked;
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
    DWORD TypicalRun(const std::wstring& wizardExe) {
        Program wizard(L"\"" + wizardExe + L"\"");
        EXPECT_TRUE(wizard.Started());
        HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
        EXPECT_NE(frame, nullptr);
        if (!frame) return STILL_ACTIVE;
        EXPECT_EQ(ControlText(frame, IDC_BUTTON_RIGHT), L"Exit");
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(frame, IDC_BUTTON_LEFT)));
        if (!OpenMethodPage(wizard)) return STILL_ACTIVE;
        EXPECT_EQ(CheckedMethods(frame), std::vector<int>{IDC_METHOD_TYPE}) << "By File Type comes chosen";
        FinishFromMethodPage(frame, L"<a>File Type</a>", L"<a>By kind of file</a>");
        return wizard.Wait(60000);
    }

    // The wizard beside the shipped profiles and a stand-in runner that
    // records its command line.
    static void InstallWithStandInRunner(const TempDir& app) {
        ASSERT_TRUE(CopyInto(BinFolder() + L"\\OrdvaleWizard.exe", app / L"OrdvaleWizard.exe"));
        ASSERT_TRUE(CopyInto(BinFolder() + L"\\DefaultProfiles.xml", app / L"DefaultProfiles.xml"));
        ASSERT_TRUE(CopyInto(TestProgramFolder() + L"\\record_args.exe", app / L"qz.exe"));
    }

    // The job file the wizard handed to the stand-in runner (removed once read).
    std::vector<unsigned char> HandedOverJob(const TempDir& app) {
        EXPECT_TRUE(WaitUntil([&] { return FileExists(app / L"args.txt"); }));
        const std::string args = ReadUtf8(app / L"args.txt");
        const std::size_t brace = args.rfind('{');
        EXPECT_NE(brace, std::string::npos) << args;
        EXPECT_NE(args.find(" /s {"), std::string::npos) << args;
        if (brace == std::string::npos) return {};
        const std::wstring jobFile = JobFileIn(appData, FromUtf8(args.substr(brace)));
        std::vector<unsigned char> job = ReadBytes(jobFile);
        DeleteFileW(jobFile.c_str());
        return job;
    }

    static std::vector<unsigned char> DesktopJob(int32_t method, const wchar_t* profileId) {
        std::vector<unsigned char> job;
        AppendInt32(&job, 0);  // Desktop
        AppendInt32(&job, method);
        AppendText(&job, profileId);
        AppendText(&job, L"");  // the default destination
        return job;
    }

    TempDir dir;
    std::wstring appData, settingsFile, profileFile;
};

}  // namespace

TEST_F(WizardRun, TypicalRunWritesTheJobAndStartsTheRunner) {
    TempDir app;
    InstallWithStandInRunner(app);
    ASSERT_FALSE(FileExists(profileFile));

    EXPECT_EQ(TypicalRun(app / L"OrdvaleWizard.exe"), 0u);
    EXPECT_EQ(ReadUtf8(profileFile), ReadUtf8(app / L"DefaultProfiles.xml"))
        << "a missing profile document is made from the shipped one";
    EXPECT_EQ(HandedOverJob(app), DesktopJob(1, L"Type1"));
}

// Each method clicked in turn: exactly the clicked choice is checked after
// every click, and the last one reaches the summary and the job file.
TEST_F(WizardRun, MethodClickedIsTheOneCheckedSummedUpAndHandedOver) {
    const int count = static_cast<int>(std::size(kMethodChoices));
    for (int last = 0; last < count; ++last) {
        const MethodChoice& chosen = kMethodChoices[last];
        SCOPED_TRACE(Narrow(chosen.summary));
        TempDir app;
        InstallWithStandInRunner(app);
        Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
        ASSERT_TRUE(wizard.Started());
        HWND frame = OpenMethodPage(wizard);
        ASSERT_NE(frame, nullptr);
        for (int step = 1; step <= count; ++step) {
            const int radio = kMethodChoices[(last + step) % count].radio;
            PressButton(VisibleControl(frame, radio));
            EXPECT_TRUE(WaitUntil([&] {
                return SendMessageW(VisibleControl(frame, radio), BM_GETCHECK, 0, 0) == BST_CHECKED;
            })) << "radio " << radio;
            EXPECT_EQ(CheckedMethods(frame), std::vector<int>{radio}) << "only the clicked choice is checked";
        }
        FinishFromMethodPage(frame, chosen.summary);
        EXPECT_EQ(wizard.Wait(60000), 0u);
        EXPECT_EQ(HandedOverJob(app), DesktopJob(chosen.code, chosen.profileId));
    }
}

// The method page takes the keyboard when it shows, on the checked choice,
// and the arrow keys move the choice within the group, wrapping at its ends.
TEST_F(WizardRun, MethodChosenWithTheArrowKeys) {
    TempDir app;
    InstallWithStandInRunner(app);
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    ASSERT_TRUE(wizard.Started());
    HWND frame = OpenMethodPage(wizard);
    ASSERT_NE(frame, nullptr);
    HWND type = VisibleControl(frame, IDC_METHOD_TYPE);
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(frame) == type; }))
        << "the focus left behind on the hidden target page moves to the checked choice";

    struct Step {
        UINT key;
        int checked;
    };
    const Step steps[] = {
        {VK_DOWN, IDC_METHOD_NAME}, {VK_DOWN, IDC_METHOD_SIZE}, {VK_RIGHT, IDC_METHOD_TIME},
        {VK_DOWN, IDC_METHOD_TYPE}, {VK_UP, IDC_METHOD_TIME},   {VK_LEFT, IDC_METHOD_SIZE},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.checked);
        ASSERT_TRUE(PressKey(frame, step.key));
        ASSERT_TRUE(WaitUntil([&] { return CheckedMethods(frame) == std::vector<int>{step.checked}; }))
            << "checked: " << CheckedMethods(frame).size();
        EXPECT_EQ(FocusOf(frame), VisibleControl(frame, step.checked)) << "the focus moves with the choice";
    }
    FinishFromMethodPage(frame, L"<a>File Size</a>");
    EXPECT_EQ(wizard.Wait(60000), 0u);
    EXPECT_EQ(HandedOverJob(app), DesktopJob(3, L"Size1"));
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
    ExpectTypicalRunTidiesTheDesktop([&] { return TypicalRun(BinFolder() + L"\\OrdvaleWizard.exe"); });
}

// Each method chosen by a click, through the real runner, with the shipped
// default profiles: every item of the desktop ends up where the method's
// default profile puts it.
TEST_F(WizardRun, EveryMethodTidiesTheDesktopByItsDefaultProfile) {
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer)));
    const std::wstring desktop = buffer;
    SYSTEMTIME now = {};
    GetSystemTime(&now);  // creation dates count in UTC
    const std::wstring thisYear = now.wYear > 2030 ? L"2031 and later" : std::to_wstring(now.wYear);
    const std::wstring tiny = L"Tiny (under 100 KB)";

    const wchar_t* const files[] = {L"holiday.jpg", L"2019 report.pdf", L"_draft.mp3"};
    const wchar_t* const folder = L"Old projects";  // holds plan.txt
    struct Case {
        int radio;
        const wchar_t* link;
        std::wstring into[4];  // for the three files and the folder, in order
    };
    const Case cases[] = {
        {IDC_METHOD_TYPE, L"<a>File Type</a>", {L"Pictures", L"Documents", L"Music", L"Folders"}},
        {IDC_METHOD_NAME, L"<a>File Name</a>", {L"G-L", L"0-9", L"Others", L"M-R"}},
        {IDC_METHOD_SIZE, L"<a>File Size</a>", {tiny, tiny, tiny, L"Folders"}},
        {IDC_METHOD_TIME, L"<a>File Time</a>", {thisYear, thisYear, thisYear, thisYear}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.link));
        for (const wchar_t* file : files) ASSERT_TRUE(WriteText(desktop + L"\\" + file, "sample"));
        ASSERT_TRUE(MakeFolder(desktop + L"\\" + folder));
        ASSERT_TRUE(WriteText(desktop + L"\\" + folder + L"\\plan.txt", "sample"));

        Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
        ASSERT_TRUE(wizard.Started());
        HWND frame = OpenMethodPage(wizard);
        ASSERT_NE(frame, nullptr);
        PressButton(VisibleControl(frame, c.radio));
        EXPECT_TRUE(WaitUntil([&] { return CheckedMethods(frame) == std::vector<int>{c.radio}; }));
        FinishFromMethodPage(frame, c.link);
        EXPECT_EQ(wizard.Wait(60000), 0u);

        std::vector<std::wstring> moved;
        for (int i = 0; i < 3; ++i) moved.push_back(desktop + L"\\" + c.into[i] + L"\\" + files[i]);
        moved.push_back(desktop + L"\\" + c.into[3] + L"\\" + folder + L"\\plan.txt");
        WaitForProcessesNamed(L"qz.exe");  // started before the wizard ended
        for (const std::wstring& path : moved) EXPECT_TRUE(FileExists(path)) << Narrow(path);
        for (const wchar_t* file : files) EXPECT_FALSE(FileExists(desktop + L"\\" + file)) << Narrow(file);
        EXPECT_FALSE(FolderExists(desktop + L"\\" + folder));
        for (const std::wstring& into : c.into) RemoveTree(desktop + L"\\" + into);
        for (const wchar_t* file : files) DeleteFileW((desktop + L"\\" + file).c_str());
        RemoveTree(desktop + L"\\" + folder);
    }
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

// A profile edited on the profile page and saved there is the one the run
// uses: a new folder Logs, with the catch-all for unmatched files, takes the
// log file; the Docs folder, in the profile already, takes the text file.
TEST_F(WizardRun, ARunUsesTheProfileAsEditedOnThePage) {
    ASSERT_TRUE(WriteText(profileFile, "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"T1\">"
                                       "<TypeConfigure id=\"T1\" displayname=\"Home\">"
                                       "<Folder displayname=\"Docs\"><Ext t=\".txt\"/></Folder>"
                                       "</TypeConfigure></TypeProfiles></Ordvale>"));
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    ASSERT_TRUE(WriteText(desktop + L"\\notes.txt", "notes"));
    ASSERT_TRUE(WriteText(desktop + L"\\server.log", "log"));

    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = OpenMethodPage(wizard);
    ASSERT_NE(frame, nullptr);
    Press(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] {
        HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
        return combo && WindowText(combo) == L"Home";
    }));
    HWND page = GetParent(VisibleControl(frame, IDC_PROFILE_COMBO));
    HWND list = GetDlgItem(page, IDC_PROFILE_LIST);

    // "&Folder" of the Add menu, and the New Folder dialog.
    PostMessageW(page, WM_COMMAND, ID_ADD_FOLDER, 0);
    HWND dialog = WaitForWindow(wizard.Id(), L"New Folder");
    ASSERT_NE(dialog, nullptr);
    for (wchar_t c : std::wstring(L"Logs")) PostMessageW(GetDlgItem(dialog, IDC_NEW_FOLDER_NAME), WM_CHAR, c, 1);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && ListView_GetItemCount(list) == 2; }));

    // Into Logs (the last item) with the keyboard, then the unmatched-files catch-all.
    PostMessageW(list, WM_KEYDOWN, VK_END, 1);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 0; })) << "Logs is empty";
    PostMessageW(page, WM_COMMAND, ID_ADD_UNMATCHED_SPECIAL, 0);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 1; }));
    PostMessageW(page, WM_COMMAND, ID_SAVE_PROFILE, 0);

    Press(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    Press(frame, IDC_BUTTON_RIGHT);
    EXPECT_EQ(wizard.Wait(60000), 0u);

    for (const wchar_t* moved : {L"\\Docs\\notes.txt", L"\\Logs\\server.log"})
        EXPECT_TRUE(WaitUntil([&] { return FileExists(desktop + moved); }, 120000)) << Narrow(moved);
    WaitForProcessesNamed(L"qz.exe");
    EXPECT_NE(ReadUtf8(profileFile).find("<Folder displayname=\"Logs\" location=\"\"><Ext ti=\"3\"/></Folder>"),
              std::string::npos)
        << ReadUtf8(profileFile);
    RemoveTree(desktop + L"\\Docs");
    RemoveTree(desktop + L"\\Logs");
}
