// The built wizard started as a program and driven by control id the way a
// person would: the typical run (Desktop, By File Type, the default profile,
// Finish), first with a stand-in runner to check the job file byte by byte,
// then with the real runner tidying the prefix's desktop.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// The visible control with this id anywhere below the window.
HWND VisibleControl(HWND top, int id) {
    struct Search {
        int id;
        HWND found;
    } search = {id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) == s->id && IsWindowVisible(child)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitForControl(HWND top, int id) {
    return WaitUntil([&] { return VisibleControl(top, id) != nullptr; });
}

void Press(HWND top, int id) {
    HWND control = VisibleControl(top, id);
    ASSERT_NE(control, nullptr) << "control " << id;
    Click(GetParent(control), id);
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring DesktopFolder() {
    wchar_t buffer[MAX_PATH] = {};
    return SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer)) ? buffer : L"";
}

bool CopyInto(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) != FALSE;
}

// Waits for every process of that file name to end.
void WaitForProcessesNamed(const wchar_t* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, name) != 0) continue;
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (process) {
            WaitForSingleObject(process, 120000);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
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
        EXPECT_TRUE(WaitForControl(frame, IDC_LINK_DESKTOP));
        Press(frame, IDC_LINK_DESKTOP);
        EXPECT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE)) << "the method page follows Desktop";
        EXPECT_EQ(SendMessageW(VisibleControl(frame, IDC_METHOD_TYPE), BM_GETCHECK, 0, 0), BST_CHECKED);
        Press(frame, IDC_BUTTON_RIGHT);
        EXPECT_TRUE(WaitUntil([&] {
            HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
            return combo && GetDlgItem(GetParent(combo), IDC_PROFILE_TITLE) && !WindowText(combo).empty();
        })) << "the default type profile is selected";
        Press(frame, IDC_BUTTON_RIGHT);
        EXPECT_TRUE(WaitUntil([&] { return ControlText(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
        HWND link = VisibleControl(frame, IDC_TARGET_LINK);
        EXPECT_EQ(link ? WindowText(link) : L"", L"<a>Desktop</a>");
        HWND profile = VisibleControl(frame, IDC_PROFILE_LINK);
        EXPECT_EQ(profile ? WindowText(profile) : L"", L"<a>By kind of file</a>");
        Press(frame, IDC_BUTTON_RIGHT);
        return wizard.Wait(60000);
    }

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
    const std::wstring desktop = DesktopFolder();
    ASSERT_FALSE(desktop.empty());
    const std::pair<const wchar_t*, const wchar_t*> files[] = {
        {L"holiday.jpg", L"Pictures"}, {L"notes.txt", L"Documents"}, {L"song.mp3", L"Music"}, {L"backup.zip", L"Archives"}};
    for (const auto& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.first, "sample"));

    EXPECT_EQ(TypicalRun(BinFolder() + L"\\OrdvaleWizard.exe"), 0u);
    for (const auto& f : files) {
        const std::wstring moved = desktop + L"\\" + f.second + L"\\" + f.first;
        EXPECT_TRUE(WaitUntil([&] { return FileExists(moved); }, 120000)) << Narrow(moved);
    }
    WaitForProcessesNamed(L"qz.exe");
    for (const auto& f : files) {
        EXPECT_FALSE(FileExists(desktop + L"\\" + f.first));
        RemoveTree(desktop + L"\\" + f.second);
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
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForControl(frame, IDC_LINK_DESKTOP));
    Press(frame, IDC_LINK_DESKTOP);
    ASSERT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE));
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
