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

// ---- Profiles made in the editor, then a tidy run ----

namespace {

// The profile page of a running wizard, driven as a person would: menu and
// toolbar commands as the page receives them, typing and keys in its
// controls and dialogs, real message boxes answered by their buttons.
class EditorDriver {
public:
    EditorDriver(const Program& wizard, HWND frame) : wizard_(wizard), frame_(frame) {
        HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
        page_ = combo ? GetParent(combo) : nullptr;
        list_ = page_ ? GetDlgItem(page_, IDC_PROFILE_LIST) : nullptr;
    }
    bool Ready() const { return list_ != nullptr; }
    HWND List() const { return list_; }
    int Count() const { return ListView_GetItemCount(list_); }
    // A command of the toolbars or of an Add menu, as picking it sends it.
    void Command(WORD id) { PostMessageW(page_, WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    HWND Dialog(const wchar_t* title) { return WaitForWindow(wizard_.Id(), title); }
    // Types into a control and presses a button of the dialog.
    static void Type(HWND dialog, int id, const std::wstring& text) {
        PostTyping(GetDlgItem(dialog, id), text);
    }
    void Key(HWND window, UINT key) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    }
    bool WaitForCount(int count) {
        return WaitUntil([&] { return Count() == count; });
    }
    // Into the last folder of the list, by the keyboard; it holds `count` items.
    bool OpenLast(int count) {
        Key(list_, VK_END);
        Key(list_, VK_RETURN);
        return WaitForCount(count);
    }
    bool Up(int count) {
        Key(list_, VK_BACK);
        return WaitForCount(count);
    }
    // The message box the wizard shows: its text, answered by the button.
    std::wstring Answer(int button) {
        HWND box = WaitForMessageBox(wizard_.Id());
        if (!box) return L"(no message box)";
        const std::wstring text = MessageBoxText(box);
        Click(box, button);
        return text;
    }
    // A new blank profile of that name, by the profile toolbar's New.
    bool NewProfile(const std::wstring& name) {
        Command(ID_NEW_PROFILE);
        HWND dialog = Dialog(L"New Profile");
        if (!dialog) return false;
        Type(dialog, IDC_PROFILE_NAME, name);
        PressButton(GetDlgItem(dialog, IDOK));
        return WaitUntil([&] { return WindowText(GetDlgItem(page_, IDC_PROFILE_COMBO)) == name; });
    }
    // "&Folder" of the Add menu; the list then holds `count` items.
    bool AddFolder(const std::wstring& name, int count) {
        Command(ID_ADD_FOLDER);
        HWND dialog = Dialog(L"New Folder");
        if (!dialog) return false;
        Type(dialog, IDC_NEW_FOLDER_NAME, name);
        PressButton(GetDlgItem(dialog, IDOK));
        return WaitForCount(count);
    }
    // Chooses the first item of the list by the keyboard and waits until its
    // pane's field shows the text; returns the field.
    HWND ChooseFirst(int field, const std::wstring& shows) {
        Key(list_, VK_HOME);
        if (!WaitForControl(frame_, field)) return nullptr;
        HWND control = VisibleControl(frame_, field);
        return WaitUntil([&] { return WindowText(control) == shows; }) ? control : nullptr;
    }
    // Saves: once Save is grey again, the profile file is read (not while
    // the wizard replaces it) and must hold the text.
    bool Save(const std::wstring& profileFile, const std::string& expected) {
        HWND toolbar = GetDlgItem(page_, IDC_PROFILE_TOOLBAR);
        if (!SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_SAVE_PROFILE, 0)) return false;
        Command(ID_SAVE_PROFILE);
        if (!WaitUntil([&] { return !SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_SAVE_PROFILE, 0); })) return false;
        return ReadUtf8(profileFile).find(expected) != std::string::npos;
    }

private:
    const Program& wizard_;
    HWND frame_;
    HWND page_ = nullptr;
    HWND list_ = nullptr;
};

// Desktop files and the folders the run must move them into ("" stays).
struct Expected {
    const wchar_t* file;
    const wchar_t* into;
};

// The started wizard on the profile page of the method whose choice that is.
HWND OpenProfilePage(const Program& wizard, int methodChoice) {
    HWND frame = OpenMethodPage(wizard);
    if (!frame) return nullptr;
    PressButton(VisibleControl(frame, methodChoice));
    if (!WaitUntil([&] { return CheckedMethods(frame) == std::vector<int>{methodChoice}; })) return nullptr;
    Press(frame, IDC_BUTTON_RIGHT);
    return WaitForControl(frame, IDC_PROFILE_COMBO) ? frame : nullptr;
}

void CheckTidied(const std::wstring& desktop, const std::vector<Expected>& files) {
    for (const Expected& f : files) {
        const std::wstring where = *f.into ? desktop + L"\\" + f.into + L"\\" + f.file : desktop + L"\\" + f.file;
        EXPECT_TRUE(WaitUntil([&] { return FileExists(where); }, 120000)) << Narrow(where);
    }
    WaitForProcessesNamed(L"qz.exe");
    for (const Expected& f : files) {
        if (*f.into) EXPECT_FALSE(FileExists(desktop + L"\\" + f.file)) << Narrow(f.file);
    }
}

void CleanDesktop(const std::wstring& desktop, const std::vector<Expected>& files) {
    for (const Expected& f : files) {
        if (*f.into) RemoveTree(desktop + L"\\" + f.into);
        DeleteFileW((desktop + L"\\" + f.file).c_str());
    }
}

// Next to the summary, Finish; the run must leave each file where expected.
void FinishAndExpectTidied(Program& wizard, HWND frame, const std::wstring& desktop,
                           const std::vector<Expected>& files) {
    Press(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    Press(frame, IDC_BUTTON_RIGHT);
    EXPECT_EQ(wizard.Wait(60000), 0u);
    CheckTidied(desktop, files);
    CleanDesktop(desktop, files);
}

}  // namespace

// A type profile made from nothing in the editor: a new profile, a folder
// with a rule typed without its dot, a folder with a batch of two, a rename
// in the folder pane; saved, and the run moves the files as its rules say.
TEST_F(WizardRun, ATypeProfileMadeInTheEditorTidies) {
    ASSERT_TRUE(WriteText(profileFile, "<?xml version=\"1.0\"?><Ordvale/>"));
    const std::wstring desktop = DesktopFolder();
    const std::vector<Expected> files = {
        {L"notes.txt", L"Notes"}, {L"photo.jpg", L"Pictures"}, {L"shot.PNG", L"Pictures"}, {L"data.bin", L""}};
    for (const Expected& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.file, "sample"));

    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = OpenProfilePage(wizard, IDC_METHOD_TYPE);
    ASSERT_NE(frame, nullptr);
    EditorDriver editor(wizard, frame);
    ASSERT_TRUE(editor.Ready());
    ASSERT_TRUE(editor.NewProfile(L"Mine"));

    ASSERT_TRUE(editor.AddFolder(L"Texts", 1));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_TYPE_RULE);
    HWND dialog = editor.Dialog(L"New File Type");
    ASSERT_NE(dialog, nullptr);
    EditorDriver::Type(dialog, IDC_NEW_TYPE_EXTENSION, L"txt");
    PressButton(GetDlgItem(dialog, IDOK));
    EXPECT_EQ(editor.Answer(IDYES), L"File extension in wrong format, do you mean \".txt\"?");
    ASSERT_TRUE(editor.WaitForCount(1));
    ASSERT_TRUE(editor.Up(1));

    ASSERT_TRUE(editor.AddFolder(L"Pictures", 2));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_TYPE_BATCH);
    dialog = editor.Dialog(L"Batch Adding File Type Rules");
    ASSERT_NE(dialog, nullptr);
    EditorDriver::Type(dialog, IDC_BATCH_TYPES_INPUT, L".jpg png");
    editor.Key(GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT), VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(GetDlgItem(dialog, IDC_BATCH_TYPES_LIST)) == 2; }));
    PressButton(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(editor.WaitForCount(2));
    ASSERT_TRUE(editor.Up(2));

    // Texts renamed in its pane: the first item chosen with the keyboard.
    HWND name = editor.ChooseFirst(IDC_FOLDER_PANE_NAME, L"Texts");
    ASSERT_NE(name, nullptr);
    PostTyping(name, L"Notes");
    editor.Key(name, VK_RETURN);
    ASSERT_TRUE(editor.Save(profileFile, "<TypeConfigure displayname=\"Mine\" id=\"Type1\">"
                                         "<Folder displayname=\"Notes\" location=\"\"><Ext t=\".txt\"/></Folder>"
                                         "<Folder displayname=\"Pictures\" location=\"\"><Ext t=\".jpg\"/><Ext t=\".png\"/>"
                                         "</Folder></TypeConfigure>"))
        << ReadUtf8(profileFile);

    FinishAndExpectTidied(wizard, frame, desktop, files);
}

// A name profile made from nothing in the editor: a batch of four ranges,
// each with its folder, and a folder with a regular expression corrected
// in the name pane; saved, and the run moves the files as its rules say.
TEST_F(WizardRun, ANameProfileMadeInTheEditorTidies) {
    ASSERT_TRUE(WriteText(profileFile, "<?xml version=\"1.0\"?><Ordvale/>"));
    const std::wstring desktop = DesktopFolder();
    // Four parts of "!" to "~": ! - 8, 9 - P, Q - h, i - ~.
    const std::vector<Expected> files = {
        {L"report 2020.txt", L"Reports"}, {L"Report.txt", L"Q - h"}, {L"apple.txt", L"Q - h"},
        {L"1.txt", L"! - 8"},             {L"Banana.txt", L"9 - P"}, {L"moon.txt", L"i - ~"}};
    for (const Expected& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.file, "sample"));

    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = OpenProfilePage(wizard, IDC_METHOD_NAME);
    ASSERT_NE(frame, nullptr);
    EditorDriver editor(wizard, frame);
    ASSERT_TRUE(editor.Ready());
    ASSERT_TRUE(editor.NewProfile(L"Letters"));

    editor.Command(ID_ADD_NAME_BATCH);
    HWND dialog = editor.Dialog(L"Batch Adding File Name Rules");
    ASSERT_NE(dialog, nullptr);
    EditorDriver::Type(dialog, IDC_BATCH_NAME_PARTS, L"4");
    editor.Key(GetDlgItem(dialog, IDC_BATCH_NAME_PARTS), VK_RETURN);
    ASSERT_TRUE(editor.WaitForCount(4));

    ASSERT_TRUE(editor.AddFolder(L"Reports", 5));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_NAME_REGEXP);
    dialog = editor.Dialog(L"New Regular Expression Rule");
    ASSERT_NE(dialog, nullptr);
    EditorDriver::Type(dialog, IDC_NEW_REGEXP_EXPRESSION, L"^Report");
    PressButton(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(editor.WaitForCount(1));

    // The expression corrected in its pane: names begin with a small r.
    HWND expression = editor.ChooseFirst(IDC_NAME_PANE_EXPRESSION, L"^Report");
    ASSERT_NE(expression, nullptr);
    PostTyping(expression, L"^report");
    editor.Key(expression, VK_RETURN);
    ASSERT_TRUE(editor.Save(profileFile, "<NameConfigure displayname=\"Letters\" id=\"Name1\">"
                                         "<Folder displayname=\"! - 8\" location=\"\"><Name from=\"!\" to=\"8\"/></Folder>"
                                         "<Folder displayname=\"9 - P\" location=\"\"><Name from=\"9\" to=\"P\"/></Folder>"
                                         "<Folder displayname=\"Q - h\" location=\"\"><Name from=\"Q\" to=\"h\"/></Folder>"
                                         "<Folder displayname=\"i - ~\" location=\"\"><Name from=\"i\" to=\"~\"/></Folder>"
                                         "<Folder displayname=\"Reports\" location=\"\"><Name ni=\"1\" regexp=\"^report\"/>"
                                         "</Folder></NameConfigure>"))
        << ReadUtf8(profileFile);

    FinishAndExpectTidied(wizard, frame, desktop, files);
}
