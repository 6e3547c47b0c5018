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

// ---- Size and time profiles made in the editor, then a tidy run ----

namespace {

// The profile page of a wizard that shows it, and what a person does there:
// a toolbar button or menu command (the command it sends), its dialog
// answered by clicks and keys.
class EditorSteps {
public:
    EditorSteps(const Program& wizard, HWND frame)
        : wizard_(wizard), page_(GetParent(VisibleControl(frame, IDC_PROFILE_COMBO))),
          list_(GetDlgItem(page_, IDC_PROFILE_LIST)) {}

    HWND Page() const { return page_; }
    int Rows() const { return ListView_GetItemCount(list_); }
    bool WaitForRows(int rows) const { return WaitUntil([&] { return Rows() == rows; }); }
    // The command, and the dialog it opens (nullptr when none came up).
    HWND Command(WORD command, const wchar_t* dialogTitle) const {
        PostMessageW(page_, WM_COMMAND, command, 0);
        return WaitForWindow(wizard_.Id(), dialogTitle);
    }
    static void Type(HWND dialog, int id, const std::wstring& text) {
        PostTyping(GetDlgItem(dialog, id), text);
    }
    static void TypeInCombo(HWND dialog, int id, const std::wstring& text) {
        PostTyping(GetWindow(GetDlgItem(dialog, id), GW_CHILD), text);
    }
    static void Pick(HWND dialog, int id, wchar_t letter) { PostMessageW(GetDlgItem(dialog, id), WM_CHAR, letter, 1); }
    static void Click(HWND dialog, int id) { PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static bool Closed(HWND dialog) { return WaitUntil([&] { return !IsWindow(dialog); }); }
    // A new blank profile of the page's method.
    void NewProfile(const std::wstring& name) const {
        HWND dialog = Command(ID_NEW_PROFILE, L"New Profile");
        ASSERT_NE(dialog, nullptr);
        Type(dialog, IDC_PROFILE_NAME, name);
        Click(dialog, IDOK);
        ASSERT_TRUE(Closed(dialog));
        HWND combo = GetDlgItem(page_, IDC_PROFILE_COMBO);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(combo) == name; })) << Narrow(WindowText(combo));
    }
    void AddFolder(const std::wstring& name) const {
        const int before = Rows();
        HWND dialog = Command(ID_ADD_FOLDER, L"New Folder");
        ASSERT_NE(dialog, nullptr);
        Type(dialog, IDC_NEW_FOLDER_NAME, name);
        Click(dialog, IDOK);
        ASSERT_TRUE(Closed(dialog));
        ASSERT_TRUE(WaitForRows(before + 1));
    }
    // Into the last item (a folder just made), with the keyboard.
    void OpenLast(int rowsInside) const {
        PostMessageW(list_, WM_KEYDOWN, VK_END, 1);
        PostMessageW(list_, WM_KEYDOWN, VK_RETURN, 1);
        ASSERT_TRUE(WaitForRows(rowsInside));
    }
    void Back(int rows) const {
        PostMessageW(list_, WM_KEYDOWN, VK_BACK, 1);
        ASSERT_TRUE(WaitForRows(rows));
    }
    void Save() const {
        PostMessageW(page_, WM_COMMAND, ID_SAVE_PROFILE, 0);
        HWND toolbar = GetDlgItem(page_, IDC_PROFILE_TOOLBAR);
        ASSERT_TRUE(WaitUntil([&] { return !SendMessageW(toolbar, TB_ISBUTTONENABLED, ID_SAVE_PROFILE, 0); }));
    }

private:
    const Program& wizard_;
    HWND page_;
    HWND list_;
};

// From the method page, the method chosen by its radio button, Next to the
// profile page; false on failure.
bool ChooseMethodAndNext(HWND frame, int methodRadio) {
    if (!frame) return false;
    PressButton(VisibleControl(frame, methodRadio));
    if (!WaitUntil([&] { return CheckedMethods(frame) == std::vector<int>{methodRadio}; })) return false;
    Press(frame, IDC_BUTTON_RIGHT);
    return WaitForControl(frame, IDC_PROFILE_COMBO);
}

// Next to the summary, Finish, and the runner's work waited for.
void FinishFromProfilePage(Program& wizard, HWND frame) {
    Press(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return ControlText(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    Press(frame, IDC_BUTTON_RIGHT);
    EXPECT_EQ(wizard.Wait(60000), 0u);
    WaitForProcessesNamed(L"qz.exe");
}

}  // namespace

// A size profile made in the editor: eleven steps of 100 B up to 1 KB, each
// in its own folder, files of 1 KB and more in Large, folders in Dirs. An
// empty file is larger than no range's lower bound and stays.
TEST_F(WizardRun, ASizeProfileMadeInTheEditorTidies) {
    ASSERT_TRUE(WriteText(profileFile, "<?xml version=\"1.0\"?><Ordvale/>"));
    const std::wstring desktop = DesktopFolder();
    const struct {
        const wchar_t* name;
        std::size_t size;
        const wchar_t* into;  // nullptr: stays
    } files[] = {
        {L"tiny.txt", 50, L"Unlimited ~ 100.00B"}, {L"mid.txt", 250, L"200.00B ~ 300.00B"},
        {L"kilo.txt", 1024, L"1000.00B ~ 1.00KB"},  {L"big.bin", 5000, L"Large"},
        {L"empty.txt", 0, nullptr},
    };
    for (const auto& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.name, std::string(f.size, 'x')));
    ASSERT_TRUE(MakeFolder(desktop + L"\\Old projects"));

    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = OpenMethodPage(wizard);
    ASSERT_TRUE(ChooseMethodAndNext(frame, IDC_METHOD_SIZE));
    EditorSteps editor(wizard, frame);
    editor.NewProfile(L"Mine");

    editor.AddFolder(L"Large");
    editor.OpenLast(0);
    HWND dialog = editor.Command(ID_ADD_SIZE_RULE, L"New File Size Rule");
    ASSERT_NE(dialog, nullptr);
    EditorSteps::Pick(dialog, IDC_NEW_SIZE_LOWER_UNIT, L'K');
    EditorSteps::Type(dialog, IDC_NEW_SIZE_LOWER, L"1");
    EditorSteps::Click(dialog, IDOK);
    ASSERT_TRUE(editor.WaitForRows(1));
    editor.Back(1);

    editor.AddFolder(L"Dirs");
    editor.OpenLast(0);
    PostMessageW(editor.Page(), WM_COMMAND, ID_ADD_SIZE_FOLDERS, 0);
    ASSERT_TRUE(editor.WaitForRows(1));
    editor.Back(2);

    dialog = editor.Command(ID_ADD_SIZE_BATCH, L"Batch Adding File Size Rules");
    ASSERT_NE(dialog, nullptr);
    EditorSteps::Click(dialog, IDOK);  // 0 B to 1 KB every 100 B, a folder for each
    ASSERT_TRUE(editor.WaitForRows(13));
    editor.Save();

    FinishFromProfilePage(wizard, frame);
    for (const auto& f : files) {
        const std::wstring at = desktop + L"\\" + (f.into ? std::wstring(f.into) + L"\\" : L"") + f.name;
        EXPECT_TRUE(FileExists(at)) << Narrow(at);
    }
    EXPECT_TRUE(FolderExists(desktop + L"\\Dirs\\Old projects"));
    EXPECT_NE(ReadUtf8(profileFile).find("<Size lower=\"1024\" upper=\"0\"/>"), std::string::npos);
    for (const auto& f : files) {
        if (f.into) RemoveTree(desktop + L"\\" + f.into);
        DeleteFileW((desktop + L"\\" + f.name).c_str());
    }
    RemoveTree(desktop + L"\\Dirs");
}

// A time profile made in the editor: last year and this one by the year
// batch, each in its folder, and everything up to 2001 in Old. Wine keeps no
// creation time that a test could set: the files and the folder made here
// are created now and go to this year's folder.
TEST_F(WizardRun, ATimeProfileMadeInTheEditorTidies) {
    ASSERT_TRUE(WriteText(profileFile, "<?xml version=\"1.0\"?><Ordvale/>"));
    const std::wstring desktop = DesktopFolder();
    SYSTEMTIME now = {};
    GetSystemTime(&now);  // creation dates count in UTC
    const std::wstring thisYear = std::to_wstring(now.wYear), lastYear = std::to_wstring(now.wYear - 1);
    for (const wchar_t* name : {L"notes.txt", L"photo.jpg"}) ASSERT_TRUE(WriteText(desktop + L"\\" + name, "sample"));
    ASSERT_TRUE(MakeFolder(desktop + L"\\Old projects"));

    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = OpenMethodPage(wizard);
    ASSERT_TRUE(ChooseMethodAndNext(frame, IDC_METHOD_TIME));
    EditorSteps editor(wizard, frame);
    editor.NewProfile(L"Years");

    editor.AddFolder(L"Old");
    editor.OpenLast(0);
    HWND dialog = editor.Command(ID_ADD_TIME_RULE, L"New DateTime Rule");
    ASSERT_NE(dialog, nullptr);
    EditorSteps::Click(dialog, IDC_NEW_TIME_LONG_AGO);
    // The year of "To": a click on it once the picker has been painted (it
    // places its fields then), and the digits.
    HWND to = GetDlgItem(dialog, IDC_NEW_TIME_TO_PICKER);
    ASSERT_TRUE(WaitUntil([&] { return !GetUpdateRect(to, nullptr, FALSE); }));
    RECT client = {};
    GetClientRect(to, &client);
    PostMessageW(to, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, client.bottom / 2));
    PostMessageW(to, WM_LBUTTONUP, 0, MAKELPARAM(8, client.bottom / 2));
    for (wchar_t c : std::wstring(L"2001")) PostMessageW(to, WM_CHAR, c, 1);
    EditorSteps::Click(dialog, IDOK);
    ASSERT_TRUE(editor.WaitForRows(1));
    editor.Back(1);

    dialog = editor.Command(ID_ADD_TIME_BY_YEAR, L"Create Date Time Rule By Year");
    ASSERT_NE(dialog, nullptr);
    EditorSteps::TypeInCombo(dialog, IDC_YEAR_FROM, lastYear);
    EditorSteps::TypeInCombo(dialog, IDC_YEAR_TO, thisYear);
    EditorSteps::Click(dialog, IDOK);
    ASSERT_TRUE(editor.WaitForRows(3));
    editor.Save();

    FinishFromProfilePage(wizard, frame);
    for (const wchar_t* moved : {L"notes.txt", L"photo.jpg"})
        EXPECT_TRUE(FileExists(desktop + L"\\" + thisYear + L"\\" + moved)) << Narrow(moved);
    EXPECT_TRUE(FolderExists(desktop + L"\\" + thisYear + L"\\Old projects"));
    const std::string stored = ReadUtf8(profileFile);
    EXPECT_NE(stored.find("<Folder displayname=\"" + Narrow(lastYear) + "\""), std::string::npos) << stored;
    EXPECT_NE(stored.find("begin=\"1601-01-01 00:00:00\" end=\"2001-"), std::string::npos) << stored;
    RemoveTree(desktop + L"\\" + thisYear);
}
