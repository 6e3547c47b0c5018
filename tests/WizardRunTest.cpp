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
#include "common/Journal.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/WatchedFolders.h"
#include "PreviewModel.h"
#include "resource.h"
#include "TestSupport.h"
#include "WindowDriver.h"
#include "WizardDriver.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// The wizard's program file, whose resources lay out its menus.
std::wstring WizardFile() {
    return BinFolder() + L"\\OrdvaleWizard.exe";
}

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
    void TearDown() override {
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
        // Journals filed as newer than any run would stand before the next
        // test's own runs.
        for (const std::wstring& runId : recorded_) DeleteFileW(JournalFileIn(HistoryFolderIn(appData), runId).c_str());
    }

    // Desktop, By File Type, the default profile, Finish; returns the wizard's exit code.
    DWORD TypicalRun(const std::wstring& wizardExe) {
        Program wizard(L"\"" + wizardExe + L"\"");
        EXPECT_TRUE(wizard.Started());
        HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
        EXPECT_NE(frame, nullptr);
        if (!frame) return STILL_ACTIVE;
        EXPECT_EQ(Text(frame, IDC_BUTTON_RIGHT), L"Exit");
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

    // A tidied folder and the journal of the run that tidied it, filed as
    // the newest run; returns its id.
    std::wstring RecordTidiedFolder(const TempDir& folder) {
        SYSTEMTIME now = {};
        GetSystemTime(&now);
        now.wYear = static_cast<WORD>(now.wYear + 1);  // newer than any run the other tests left
        JournalWriter journal(HistoryFolderIn(appData), RunIdAt(now));
        EXPECT_TRUE(MakeFolder(folder / L"Pictures"));
        journal.Record(JournalKind::CreateFolder, folder / L"Pictures");
        EXPECT_TRUE(WriteText(folder / L"Pictures\\a.jpg", "sample"));
        journal.Record(JournalKind::Move, folder / L"a.jpg", folder / L"Pictures\\a.jpg");
        recorded_.push_back(journal.RunId());
        return journal.RunId();
    }

    // Menu, History...: the History window over the wizard.
    static HWND OpenHistory(const Program& wizard, HWND frame) {
        if (!ChooseWizardMenu(wizard, frame, ID_MENU_HISTORY, WizardFile())) return nullptr;
        return WaitForWindow(wizard.Id(), L"History");
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

private:
    std::vector<std::wstring> recorded_;
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
            Click(VisibleControl(frame, radio));
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
    ASSERT_TRUE(WaitUntil([&] { return Focus(frame) == type; }))
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
        Press(frame, step.key);
        ASSERT_TRUE(WaitUntil([&] { return CheckedMethods(frame) == std::vector<int>{step.checked}; }))
            << "checked: " << CheckedMethods(frame).size();
        EXPECT_EQ(Focus(frame), VisibleControl(frame, step.checked)) << "the focus moves with the choice";
    }
    FinishFromMethodPage(frame, L"<a>File Size</a>");
    EXPECT_EQ(wizard.Wait(60000), 0u);
    EXPECT_EQ(HandedOverJob(app), DesktopJob(3, L"Size1"));
}

// The wizard opens with the keyboard on the Desktop link: Enter there
// chooses it, as Space and a click do, instead of pressing Exit.
TEST_F(WizardRun, EnterOnACommandLinkChoosesIt) {
    TempDir app;
    InstallWithStandInRunner(app);
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    ASSERT_TRUE(wizard.Started());
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForControl(frame, IDC_LINK_DESKTOP));
    ASSERT_TRUE(WaitUntil([&] { return Focus(frame) == VisibleControl(frame, IDC_LINK_DESKTOP); }))
        << "the Desktop link has the keyboard at start";
    Press(frame, VK_RETURN);
    EXPECT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE)) << "the method page follows Desktop";
    EXPECT_EQ(wizard.Wait(500), static_cast<DWORD>(STILL_ACTIVE)) << "the wizard stays open";
    FinishFromMethodPage(frame, L"<a>File Type</a>");
    EXPECT_EQ(wizard.Wait(60000), 0u);
    EXPECT_EQ(HandedOverJob(app), DesktopJob(1, L"Type1"));
}

// The id of the control that has the keyboard in the wizard (0: none).
int FocusId(HWND frame) {
    HWND focus = Focus(frame);
    return focus ? GetDlgCtrlID(focus) : 0;
}

std::string CaptureNote(HWND frame) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(frame, nullptr), &info) || !info.hwndCapture) return "";
    return " (the mouse is held by " + std::to_string(GetDlgCtrlID(info.hwndCapture)) + ")";
}

// A key pressed in the wizard; the keyboard must then be on the control
// with that id, visible and enabled (the id alone says nothing of the page:
// the caller knows the page it is on).
::testing::AssertionResult PressTo(HWND frame, UINT key, int focusId, Held held = Held::Nothing) {
    Press(frame, key, held);
    if (!WaitUntil([&] { return FocusId(frame) == focusId; }, 10000))
        return ::testing::AssertionFailure() << "key " << key << ": the focus is on " << FocusId(frame)
                                             << ", not on " << focusId << CaptureNote(frame);
    HWND focus = Focus(frame);
    if (!IsWindowVisible(focus) || !IsWindowEnabled(focus))
        return ::testing::AssertionFailure() << "key " << key << ": the focus is on a hidden or grey control";
    return ::testing::AssertionSuccess();
}

// Tab pressed until the keyboard is on the control with that id; every
// stop on the way must be a visible, enabled control, and the order the
// one given (the ids of the stops before it).
::testing::AssertionResult TabTo(HWND frame, const std::vector<int>& stopsOnTheWay, int focusId) {
    for (int stop : stopsOnTheWay)
        if (auto result = PressTo(frame, VK_TAB, stop); !result) return result;
    return PressTo(frame, VK_TAB, focusId);
}

TEST_F(WizardRun, AWholeTidyByTheKeyboardAlone) {
    ExpectTypicalRunTidiesTheDesktop([&]() -> DWORD {
        // Each step must hold for the next to mean anything: the first that
        // does not ends the walk.
        const auto held = [](const ::testing::AssertionResult& result) {
            EXPECT_TRUE(result);
            return static_cast<bool>(result);
        };
        Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
        HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
        EXPECT_NE(frame, nullptr);
        if (!frame || !WaitUntil([&] { return FocusId(frame) == IDC_LINK_DESKTOP; })) {
            ADD_FAILURE() << "the Desktop link has the keyboard at start";
            return STILL_ACTIVE;
        }
        // The target page: Tab goes round its links and the frame's buttons,
        // the arrows move between the links as in a group, wrapping at its
        // ends, and Space chooses the link that has the keyboard.
        if (!held(TabTo(frame, {IDC_LINK_FOLDER, IDC_LINK_SELECTION, IDC_MENU_BUTTON, IDC_BUTTON_RIGHT},
                          IDC_LINK_DESKTOP))) return STILL_ACTIVE;
        const struct {
            UINT key;
            int focus;
        } arrows[] = {{VK_DOWN, IDC_LINK_FOLDER},   {VK_DOWN, IDC_LINK_SELECTION}, {VK_DOWN, IDC_LINK_DESKTOP},
                      {VK_UP, IDC_LINK_SELECTION},  {VK_LEFT, IDC_LINK_FOLDER},    {VK_RIGHT, IDC_LINK_SELECTION},
                      {VK_UP, IDC_LINK_FOLDER},     {VK_UP, IDC_LINK_DESKTOP}};
        for (const auto& arrow : arrows)
            if (!held(PressTo(frame, arrow.key, arrow.focus))) return STILL_ACTIVE;
        if (!held(PressTo(frame, VK_SPACE, IDC_METHOD_TYPE))) return STILL_ACTIVE;
        // The method page: the arrows move within the choices, Enter is Next.
        if (!held(PressTo(frame, VK_DOWN, IDC_METHOD_NAME))) return STILL_ACTIVE;
        EXPECT_EQ(CheckedMethods(frame), std::vector<int>{IDC_METHOD_NAME}) << "the arrow checks the choice it moves to";
        if (!held(PressTo(frame, VK_UP, IDC_METHOD_TYPE))) return STILL_ACTIVE;
        EXPECT_EQ(CheckedMethods(frame), std::vector<int>{IDC_METHOD_TYPE});
        if (!held(PressTo(frame, VK_RETURN, IDC_PROFILE_COMBO))) return STILL_ACTIVE;  // Enter is Next; the profile selector comes first
        EXPECT_TRUE(WaitUntil([&] { return Text(VisibleControl(frame, IDC_PROFILE_COMBO)) == L"By kind of file"; }));
        // The profile page: Tab to Next, Space presses it.
        if (!held(TabTo(frame, {IDC_PROFILE_TOOLBAR, IDC_NAVIGATION_TOOLBAR, IDC_NEW_ITEMS_TOOLBAR, IDC_PROFILE_LIST,
                                  IDC_MENU_BUTTON, IDC_BUTTON_LEFT},
                          IDC_BUTTON_RIGHT))) return STILL_ACTIVE;
        if (!held(PressTo(frame, VK_SPACE, IDC_BUTTON_RIGHT))) return STILL_ACTIVE;
        EXPECT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
        // The summary: round to the destination, Alt+V shows the preview
        // (the dialog manager gives its button the keyboard on the way),
        // Escape closes it, and on round to Finish.
        if (!held(TabTo(frame, {IDC_TARGET_LINK, IDC_METHOD_LINK, IDC_PROFILE_LINK}, IDC_DESTINATION))) return STILL_ACTIVE;
        Press(frame, L'V', Held::Alt);
        HWND preview = WaitForWindow(wizard.Id(), L"Preview");
        if (!preview) {
            ADD_FAILURE() << "Alt+V is Preview...";
            return STILL_ACTIVE;
        }
        if (!WaitUntil([&] { return GetAncestor(Focus(frame), GA_ROOT) == preview; }, 10000)) {
            ADD_FAILURE() << "the preview takes the keyboard";
            return STILL_ACTIVE;
        }
        Press(frame, VK_ESCAPE);
        if (!WaitUntil([&] { return !IsWindow(preview); }, 10000)) {
            ADD_FAILURE() << "Escape closes the preview";
            return STILL_ACTIVE;
        }
        if (!held(PressTo(frame, VK_TAB, IDC_MENU_BUTTON))) return STILL_ACTIVE;  // on from the Preview button
        if (!held(TabTo(frame, {IDC_BUTTON_LEFT}, IDC_BUTTON_RIGHT))) return STILL_ACTIVE;
        Press(frame, VK_RETURN);
        return wizard.Wait(60000);
    });
}

// Whether a menu of the process is open.
bool MenuShown(DWORD processId) {
    struct Search {
        DWORD processId;
        bool found;
    } search = {processId, false};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            wchar_t name[16] = {};
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            GetClassNameW(window, name, 16);
            if (owner == s->processId && IsWindowVisible(window) && lstrcmpW(name, L"#32768") == 0) s->found = true;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The profile editor by the keyboard alone: the list's context menu (the
// Application key) adds a folder and, inside it, a rule; leaving the page
// saves them when asked.
TEST_F(WizardRun, AProfileEditedByTheKeyboardAlone) {
    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return FocusId(frame) == IDC_LINK_DESKTOP; }));
    ASSERT_TRUE(PressTo(frame, VK_RETURN, IDC_METHOD_TYPE));
    ASSERT_TRUE(PressTo(frame, VK_RETURN, IDC_PROFILE_COMBO));
    ASSERT_TRUE(WaitUntil([&] { return Text(VisibleControl(frame, IDC_PROFILE_COMBO)) == L"By kind of file"; }));
    ASSERT_TRUE(TabTo(frame, {IDC_PROFILE_TOOLBAR, IDC_NAVIGATION_TOOLBAR, IDC_NEW_ITEMS_TOOLBAR}, IDC_PROFILE_LIST));
    HWND list = VisibleControl(frame, IDC_PROFILE_LIST);
    const int rootItems = RowCount(list);

    // A menu command by its letters: the Application key, then each letter.
    const auto menu = [&](const std::wstring& letters) {
        Press(frame, VK_APPS);
        if (!WaitUntil([&] { return MenuShown(wizard.Id()); }, 10000)) {
            ADD_FAILURE() << "the Application key opens no menu";
            return false;
        }
        for (wchar_t letter : letters) Press(frame, letter);
        return WaitUntil([&] { return !MenuShown(wizard.Id()); }, 10000);
    };
    // Typed into the dialog of that title, where its keyboard is; Enter then.
    const auto answer = [&](const wchar_t* title, const std::wstring& text) {
        HWND dialog = WaitForWindow(wizard.Id(), title, 10000);
        if (!dialog || !WaitUntil([&] { return GetAncestor(Focus(frame), GA_ROOT) == dialog; }, 10000)) return false;
        Type(Focus(frame), text);
        Press(frame, VK_RETURN);
        return WaitUntil([&] { return !IsWindow(dialog); }, 10000);
    };
    ASSERT_TRUE(menu(L"AF")) << "Add > Folder";
    ASSERT_TRUE(answer(L"New Folder", L"Keys"));
    ASSERT_TRUE(WaitUntil([&] { return RowCount(list) == rootItems + 1; }));
    Press(frame, L'K');  // the list's own search selects Keys
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetNextItem(list, -1, LVNI_SELECTED) >= 0; }));
    Press(frame, VK_RETURN);  // opens it
    ASSERT_TRUE(WaitUntil([&] { return RowCount(list) == 0; })) << "Enter opens the folder chosen";
    ASSERT_TRUE(menu(L"AT")) << "Add > File Type Rule";
    ASSERT_TRUE(answer(L"New File Type", L".xyz"));
    ASSERT_TRUE(WaitUntil([&] { return RowCount(list) == 1 && Cell(list, 0, 0) == L".xyz"; }));

    // Round to Next; leaving the page asks to save, Enter says Yes.
    bool onNext = false;
    for (int stop = 0; stop < 12 && !onNext; ++stop) {
        const int before = FocusId(frame);
        Press(frame, VK_TAB);
        ASSERT_TRUE(WaitUntil([&] { return FocusId(frame) != before; }, 10000)) << "Tab moves on from " << before;
        HWND focus = Focus(frame);
        ASSERT_TRUE(IsWindowVisible(focus) && IsWindowEnabled(focus)) << "stop " << FocusId(frame);
        onNext = FocusId(frame) == IDC_BUTTON_RIGHT;
    }
    ASSERT_TRUE(onNext) << "Tab reaches Next";
    Press(frame, VK_SPACE);
    HWND box = WaitForMessageBox(wizard.Id(), 10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"Save Changes to Profile \"By kind of file\"?");
    ASSERT_TRUE(WaitUntil([&] { return GetAncestor(Focus(frame), GA_ROOT) == box; }, 10000)) << "the question has the keyboard";
    Press(frame, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    EXPECT_NE(ReadUtf8(profileFile).find("<Folder displayname=\"Keys\" location=\"\"><Ext t=\".xyz\"/></Folder>"),
              std::string::npos)
        << ReadUtf8(profileFile);
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
    Click(frame, IDC_BUTTON_RIGHT);  // Exit
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
        Click(VisibleControl(frame, c.radio));
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
    ASSERT_TRUE(ChooseWizardMenu(wizard, frame, ID_MENU_OPTIONS, WizardFile()));

    HWND editor = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        editor = FindWindowW(nullptr, L"Ordvale Options");
        return editor && IsWindowVisible(editor);
    })) << "the settings editor starts";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(frame); })) << "the wizard hides meanwhile";
    Type(GetDlgItem(editor, 1002), other);  // the profile document's path
    Click(editor, IDOK);

    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(frame); })) << "and shows again";
    Click(frame, IDC_LINK_DESKTOP);
    ASSERT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE));
    Click(frame, IDC_BUTTON_RIGHT);
    EXPECT_TRUE(WaitUntil([&] {
        HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
        return combo && Text(combo) == L"Other profile";
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
    Click(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] {
        HWND combo = VisibleControl(frame, IDC_PROFILE_COMBO);
        return combo && Text(combo) == L"Home";
    }));
    HWND page = GetParent(VisibleControl(frame, IDC_PROFILE_COMBO));
    HWND list = GetDlgItem(page, IDC_PROFILE_LIST);

    // "&Folder" of the Add menu, and the New Folder dialog.
    ASSERT_TRUE(ChooseAddMenu(wizard, page, ID_ADD_FOLDER, WizardFile()));
    HWND dialog = WaitForWindow(wizard.Id(), L"New Folder");
    ASSERT_NE(dialog, nullptr);
    Type(GetDlgItem(dialog, IDC_NEW_FOLDER_NAME), L"Logs");
    Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && ListView_GetItemCount(list) == 2; }));

    // Into Logs (the last item) with the keyboard, then the unmatched-files catch-all.
    Press(list, VK_END);
    Press(list, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 0; })) << "Logs is empty";
    ASSERT_TRUE(ChooseAddMenu(wizard, page, ID_ADD_UNMATCHED_SPECIAL, WizardFile()));
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 1; }));
    ClickToolbarButton(GetDlgItem(page, IDC_PROFILE_TOOLBAR), ID_SAVE_PROFILE);

    Click(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    Click(frame, IDC_BUTTON_RIGHT);
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
    // A command of the profile toolbar (New, Save) by a click on its
    // button, or of the method's Add menu picked from the New Items drop-down.
    void Command(WORD id) {
        if (id == ID_NEW_PROFILE || id == ID_SAVE_PROFILE) {
            ClickToolbarButton(GetDlgItem(page_, IDC_PROFILE_TOOLBAR), id);
            return;
        }
        ChooseAddMenu(wizard_, page_, id, WizardFile());
    }
    HWND Dialog(const wchar_t* title) { return WaitForWindow(wizard_.Id(), title); }
    // Types into a control of the dialog.
    static void Type(HWND dialog, int id, const std::wstring& text) {
        testing_support::Type(GetDlgItem(dialog, id), text);
    }
    bool WaitForCount(int count) {
        return WaitUntil([&] { return Count() == count; });
    }
    // Into the last folder of the list, by the keyboard; it holds `count` items.
    bool OpenLast(int count) {
        Press(list_, VK_END);
        Press(list_, VK_RETURN);
        return WaitForCount(count);
    }
    bool Up(int count) {
        Press(list_, VK_BACK);
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
        Click(GetDlgItem(dialog, IDOK));
        return WaitUntil([&] { return Text(GetDlgItem(page_, IDC_PROFILE_COMBO)) == name; });
    }
    // "&Folder" of the Add menu; the list then holds `count` items.
    bool AddFolder(const std::wstring& name, int count) {
        Command(ID_ADD_FOLDER);
        HWND dialog = Dialog(L"New Folder");
        if (!dialog) return false;
        Type(dialog, IDC_NEW_FOLDER_NAME, name);
        Click(GetDlgItem(dialog, IDOK));
        return WaitForCount(count);
    }
    // Chooses the first item of the list by the keyboard and waits until its
    // pane's field shows the text; returns the field.
    HWND ChooseFirst(int field, const std::wstring& shows) {
        Press(list_, VK_HOME);
        if (!WaitForControl(frame_, field)) return nullptr;
        HWND control = VisibleControl(frame_, field);
        return WaitUntil([&] { return Text(control) == shows; }) ? control : nullptr;
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
    Click(VisibleControl(frame, methodChoice));
    if (!WaitUntil([&] { return CheckedMethods(frame) == std::vector<int>{methodChoice}; })) return nullptr;
    Click(frame, IDC_BUTTON_RIGHT);
    return WaitForControl(frame, IDC_PROFILE_COMBO) ? frame : nullptr;
}

void CheckTidied(const std::wstring& desktop, const std::vector<Expected>& files) {
    for (const Expected& f : files) {
        const std::wstring where = *f.into ? desktop + L"\\" + f.into + L"\\" + f.file : desktop + L"\\" + f.file;
        EXPECT_TRUE(WaitUntil([&] { return FileExists(where); }, 120000)) << Narrow(where);
    }
    WaitForProcessesNamed(L"qz.exe");
    for (const Expected& f : files) {
        if (*f.into) {
            EXPECT_FALSE(FileExists(desktop + L"\\" + f.file)) << Narrow(f.file);
        }
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
    Click(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    Click(frame, IDC_BUTTON_RIGHT);
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
    Click(GetDlgItem(dialog, IDOK));
    EXPECT_EQ(editor.Answer(IDYES), L"File extension in wrong format, do you mean \".txt\"?");
    ASSERT_TRUE(editor.WaitForCount(1));
    ASSERT_TRUE(editor.Up(1));

    ASSERT_TRUE(editor.AddFolder(L"Pictures", 2));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_TYPE_BATCH);
    dialog = editor.Dialog(L"Batch Adding File Type Rules");
    ASSERT_NE(dialog, nullptr);
    EditorDriver::Type(dialog, IDC_BATCH_TYPES_INPUT, L".jpg png");
    Press(GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT), VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetItemCount(GetDlgItem(dialog, IDC_BATCH_TYPES_LIST)) == 2; }));
    Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(editor.WaitForCount(2));
    ASSERT_TRUE(editor.Up(2));

    // Texts renamed in its pane: the first item chosen with the keyboard.
    HWND name = editor.ChooseFirst(IDC_FOLDER_PANE_NAME, L"Texts");
    ASSERT_NE(name, nullptr);
    Type(name, L"Notes");
    Press(name, VK_RETURN);
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
    Press(GetDlgItem(dialog, IDC_BATCH_NAME_PARTS), VK_RETURN);
    ASSERT_TRUE(editor.WaitForCount(4));

    ASSERT_TRUE(editor.AddFolder(L"Reports", 5));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_NAME_REGEXP);
    dialog = editor.Dialog(L"New Regular Expression Rule");
    ASSERT_NE(dialog, nullptr);
    EditorDriver::Type(dialog, IDC_NEW_REGEXP_EXPRESSION, L"^Report");
    Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(editor.WaitForCount(1));

    // The expression corrected in its pane: names begin with a small r.
    HWND expression = editor.ChooseFirst(IDC_NAME_PANE_EXPRESSION, L"^Report");
    ASSERT_NE(expression, nullptr);
    Type(expression, L"^report");
    Press(expression, VK_RETURN);
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

// Menu, "Undo Last Tidy...": the window lists what goes back and what goes,
// and "Take Back" hands the runner a job that takes that run back.
TEST_F(WizardRun, UndoLastTidyShowsWhatGoesBackAndHandsOverTheUndo) {
    TempDir app, folder;
    InstallWithStandInRunner(app);
    const std::wstring runId = RecordTidiedFolder(folder);
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(ChooseWizardMenu(wizard, frame, ID_MENU_UNDO_LAST, WizardFile()));
    HWND undo = WaitForWindow(wizard.Id(), L"Undo Last Tidy");
    ASSERT_NE(undo, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(undo, IDOK)); })) << "Take Back once the list is ready";
    EXPECT_EQ(Text(undo, IDOK), L"Take Back");
    EXPECT_EQ(Text(undo, IDC_PREVIEW_STATUS), L"1 items go back where they were; 0 cannot be taken back.");
    HWND items = GetDlgItem(undo, IDC_PREVIEW_ITEMS);
    ASSERT_EQ(RowCount(items), 2) << "a.jpg back, Pictures removed";
    EXPECT_EQ(Cell(items, 0, wizard::kColumnName), L"a.jpg");
    EXPECT_TRUE(ShownAsPath(Cell(items, 0, wizard::kColumnTo), folder.Path()))
        << Narrow(Cell(items, 0, wizard::kColumnTo));
    EXPECT_EQ(Cell(items, 0, wizard::kColumnArrival), L"moved back");
    EXPECT_EQ(Cell(items, 1, wizard::kColumnName), L"Pictures");
    EXPECT_EQ(Cell(items, 1, wizard::kColumnArrival), L"folder removed");
    Click(undo, IDOK);
    EXPECT_EQ(wizard.Wait(60000), 0u) << "the wizard ends once the undo is handed over, as after Finish";

    std::vector<unsigned char> expected;
    AppendInt32(&expected, 0);      // Desktop, and nothing of it read
    AppendInt32(&expected, 0x100);  // the method of a job that takes a run back
    AppendText(&expected, runId);
    AppendText(&expected, L"");
    EXPECT_EQ(HandedOverJob(app), expected);
    EXPECT_TRUE(FileExists(folder / L"Pictures\\a.jpg")) << "nothing moved before the runner runs";
}

// Cancel leaves everything as it was; with no run recorded, the menu
// command says so.
TEST_F(WizardRun, UndoLastTidyCancelledOrWithNothingToTakeBack) {
    TempDir app, folder;
    InstallWithStandInRunner(app);
    RecordTidiedFolder(folder);
    {
        Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
        HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(ChooseWizardMenu(wizard, frame, ID_MENU_UNDO_LAST, WizardFile()));
        HWND undo = WaitForWindow(wizard.Id(), L"Undo Last Tidy");
        ASSERT_NE(undo, nullptr);
        Click(undo, IDCANCEL);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(undo); }));
        EXPECT_TRUE(IsWindowVisible(frame)) << "the wizard goes on";
        Click(frame, IDC_BUTTON_RIGHT);  // Exit
        EXPECT_EQ(wizard.Wait(), 0u);
        EXPECT_FALSE(FileExists(app / L"args.txt")) << "no runner was started";
    }

    // No journal at all: the History folder moved aside for the while.
    const std::wstring history = HistoryFolderIn(appData);
    const std::wstring aside = history + L" aside";
    ASSERT_TRUE(MoveFileW(history.c_str(), aside.c_str()));
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    EXPECT_NE(frame, nullptr);
    if (frame) {
        EXPECT_TRUE(ChooseWizardMenu(wizard, frame, ID_MENU_UNDO_LAST, WizardFile()));
        HWND box = WaitForMessageBox(wizard.Id());
        EXPECT_NE(box, nullptr);
        if (box) {
            EXPECT_EQ(MessageBoxText(box), L"There is no tidy to take back: no run has moved anything yet.");
            Click(box, IDOK);
        }
        Click(frame, IDC_BUTTON_RIGHT);
        EXPECT_EQ(wizard.Wait(), 0u);
    }
    RemoveTree(history);
    ASSERT_TRUE(MoveFileW(aside.c_str(), history.c_str()));
}

// What the issue calls done: from the wizard, a user sees the run in the
// summary's Preview, tidies with Finish, and takes the run back with Menu,
// Undo Last Tidy and Take Back; every file ends where it was.
TEST_F(WizardRun, PreviewTidyAndTakeBackFromTheWizard) {
    const std::wstring desktop = DesktopFolder();
    const std::pair<const wchar_t*, const wchar_t*> files[] = {{L"holiday.jpg", L"Pictures"}, {L"notes.txt", L"Documents"}};
    for (const auto& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.first, Narrow(f.first)));
    const auto before = FolderTree(desktop);
    {
        Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
        HWND frame = OpenMethodPage(wizard);
        ASSERT_NE(frame, nullptr);
        Click(frame, IDC_BUTTON_RIGHT);
        ASSERT_TRUE(WaitUntil([&] { return VisibleControl(frame, IDC_PROFILE_COMBO) != nullptr; }));
        Click(frame, IDC_BUTTON_RIGHT);
        ASSERT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));

        Click(frame, IDC_PREVIEW_BUTTON);
        HWND preview = WaitForWindow(wizard.Id(), L"Preview");
        ASSERT_NE(preview, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return Text(preview, IDC_PREVIEW_STATUS).find(L"to be moved") != std::wstring::npos; }))
            << Narrow(Text(preview, IDC_PREVIEW_STATUS));
        HWND items = GetDlgItem(preview, IDC_PREVIEW_ITEMS);
        for (const auto& f : files) {
            int row = 0;
            while (row < RowCount(items) && Cell(items, row, wizard::kColumnName) != f.first) ++row;
            ASSERT_LT(row, RowCount(items)) << Narrow(f.first);
            const std::wstring to = Cell(items, row, wizard::kColumnTo);
            EXPECT_TRUE(ShownAsPath(to, desktop + L"\\" + f.second)) << Narrow(to);
            EXPECT_EQ(Cell(items, row, wizard::kColumnArrival), L"moved");
        }
        EXPECT_EQ(ShowTree(FolderTree(desktop)), ShowTree(before)) << "the preview changes nothing";
        Click(preview, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(preview); }));

        Click(frame, IDC_BUTTON_RIGHT);  // Finish
        EXPECT_EQ(wizard.Wait(60000), 0u);
        WaitForProcessesNamed(L"qz.exe");
    }
    for (const auto& f : files)
        EXPECT_TRUE(FileExists(desktop + L"\\" + f.second + L"\\" + f.first)) << Narrow(f.first);
    {
        Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
        HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
        ASSERT_NE(frame, nullptr);
        ASSERT_TRUE(ChooseWizardMenu(wizard, frame, ID_MENU_UNDO_LAST, WizardFile()));
        HWND undo = WaitForWindow(wizard.Id(), L"Undo Last Tidy");
        ASSERT_NE(undo, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(undo, IDOK)); }));
        Click(undo, IDOK);
        EXPECT_EQ(wizard.Wait(60000), 0u);
        WaitForProcessesNamed(L"qz.exe");
    }
    EXPECT_EQ(ShowTree(FolderTree(desktop)), ShowTree(before));
    for (const auto& f : files) DeleteFileW((desktop + L"\\" + f.first).c_str());
}

// A size profile made from nothing in the editor: files of 1 KB and more in
// Large (its lower limit raised in the size pane), folders in Dirs, then
// eleven steps of 100 B up to 1 KB by the batch, each in its own folder. An
// empty file is larger than no lower limit and stays.
TEST_F(WizardRun, ASizeProfileMadeInTheEditorTidies) {
    ASSERT_TRUE(WriteText(profileFile, "<?xml version=\"1.0\"?><Ordvale/>"));
    const std::wstring desktop = DesktopFolder();
    const struct {
        Expected expected;
        std::size_t size;
    } files[] = {
        {{L"tiny.txt", L"Unlimited ~ 100.00B"}, 50}, {{L"mid.txt", L"200.00B ~ 300.00B"}, 250},
        {{L"kilo.txt", L"1000.00B ~ 1.00KB"}, 1024},  {{L"big.bin", L"Large"}, 5000},
        {{L"middle.bin", L""}, 1500},                 {{L"empty.txt", L""}, 0},
    };
    std::vector<Expected> expected;
    for (const auto& f : files) {
        ASSERT_TRUE(WriteText(desktop + L"\\" + f.expected.file, std::string(f.size, 'x')));
        expected.push_back(f.expected);
    }
    // A folder goes whole, with what it holds.
    ASSERT_TRUE(MakeFolder(desktop + L"\\Old projects"));
    ASSERT_TRUE(WriteText(desktop + L"\\Old projects\\plan.txt", "plan"));
    expected.push_back({L"plan.txt", L"Dirs\\Old projects"});

    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = OpenProfilePage(wizard, IDC_METHOD_SIZE);
    ASSERT_NE(frame, nullptr);
    EditorDriver editor(wizard, frame);
    ASSERT_TRUE(editor.Ready());
    ASSERT_TRUE(editor.NewProfile(L"Mine"));

    ASSERT_TRUE(editor.AddFolder(L"Large", 1));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_SIZE_RULE);
    HWND dialog = editor.Dialog(L"New File Size Rule");
    ASSERT_NE(dialog, nullptr);
    Type(GetDlgItem(dialog, IDC_NEW_SIZE_LOWER_UNIT), std::wstring(1, L'K'));
    EditorDriver::Type(dialog, IDC_NEW_SIZE_LOWER, L"1");
    Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(editor.WaitForCount(1));
    // 1 KB and more, then in the pane from 2 KB on: a file of 1,500 B stays.
    HWND lower = editor.ChooseFirst(IDC_SIZE_PANE_LOWER, L"1.00");
    ASSERT_NE(lower, nullptr);
    Type(lower, L"2");
    Press(lower, VK_RETURN);
    ASSERT_TRUE(editor.Up(1));

    ASSERT_TRUE(editor.AddFolder(L"Dirs", 2));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_SIZE_FOLDERS);
    ASSERT_TRUE(editor.WaitForCount(1));
    ASSERT_TRUE(editor.Up(2));

    editor.Command(ID_ADD_SIZE_BATCH);
    dialog = editor.Dialog(L"Batch Adding File Size Rules");
    ASSERT_NE(dialog, nullptr);
    Click(GetDlgItem(dialog, IDOK));  // 0 B to 1 KB every 100 B, a folder for each
    ASSERT_TRUE(editor.WaitForCount(13));
    ASSERT_TRUE(editor.Save(profileFile, "<Folder displayname=\"Large\" location=\"\">"
                                         "<Size lower=\"2048\" upper=\"0\"/></Folder>"))
        << ReadUtf8(profileFile);

    FinishAndExpectTidied(wizard, frame, desktop, expected);
    RemoveTree(desktop + L"\\Dirs");
}

// A time profile made from nothing in the editor: everything up to 2001 in
// Old, then last year and this one by the year batch, each in its folder.
// Wine keeps no creation time a test could set: the files made here are
// created now and go to this year's folder.
TEST_F(WizardRun, ATimeProfileMadeInTheEditorTidies) {
    ASSERT_TRUE(WriteText(profileFile, "<?xml version=\"1.0\"?><Ordvale/>"));
    const std::wstring desktop = DesktopFolder();
    SYSTEMTIME now = {};
    GetSystemTime(&now);  // creation dates count in UTC
    const std::wstring thisYear = std::to_wstring(now.wYear), lastYear = std::to_wstring(now.wYear - 1);
    const std::wstring folderInto = thisYear + L"\\Old projects";  // a folder goes by its own date
    const std::vector<Expected> files = {
        {L"notes.txt", thisYear.c_str()}, {L"photo.jpg", thisYear.c_str()}, {L"plan.txt", folderInto.c_str()}};
    for (const wchar_t* file : {L"notes.txt", L"photo.jpg"}) ASSERT_TRUE(WriteText(desktop + L"\\" + file, "sample"));

    Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
    HWND frame = OpenProfilePage(wizard, IDC_METHOD_TIME);
    ASSERT_NE(frame, nullptr);
    EditorDriver editor(wizard, frame);
    ASSERT_TRUE(editor.Ready());
    ASSERT_TRUE(editor.NewProfile(L"Years"));

    ASSERT_TRUE(editor.AddFolder(L"Old", 1));
    ASSERT_TRUE(editor.OpenLast(0));
    editor.Command(ID_ADD_TIME_RULE);
    HWND dialog = editor.Dialog(L"New DateTime Rule");
    ASSERT_NE(dialog, nullptr);
    Click(GetDlgItem(dialog, IDC_NEW_TIME_LONG_AGO));
    // The year of "To": a click on it once the picker has been painted (it
    // places its fields then), and the digits.
    HWND to = GetDlgItem(dialog, IDC_NEW_TIME_TO_PICKER);
    ASSERT_TRUE(WaitUntil([&] { return !GetUpdateRect(to, nullptr, FALSE); }));
    RECT client = {};
    GetClientRect(to, &client);
    PostMessageW(to, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, client.bottom / 2));
    PostMessageW(to, WM_LBUTTONUP, 0, MAKELPARAM(8, client.bottom / 2));
    Type(to, L"2001");
    Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(editor.WaitForCount(1));
    ASSERT_TRUE(editor.Up(1));

    editor.Command(ID_ADD_TIME_BY_YEAR);
    dialog = editor.Dialog(L"Create Date Time Rule By Year");
    ASSERT_NE(dialog, nullptr);
    Type(GetWindow(GetDlgItem(dialog, IDC_YEAR_FROM), GW_CHILD), lastYear);
    Type(GetWindow(GetDlgItem(dialog, IDC_YEAR_TO), GW_CHILD), thisYear);
    Click(GetDlgItem(dialog, IDOK));
    ASSERT_TRUE(editor.WaitForCount(3));
    ASSERT_TRUE(editor.Save(profileFile, "<Time begin=\"1601-01-01 00:00:00\" end=\"2001-")) << ReadUtf8(profileFile);
    EXPECT_NE(ReadUtf8(profileFile).find("<Folder displayname=\"" + Narrow(lastYear) + "\""), std::string::npos);

    ASSERT_TRUE(MakeFolder(desktop + L"\\Old projects"));
    ASSERT_TRUE(WriteText(desktop + L"\\Old projects\\plan.txt", "plan"));
    FinishAndExpectTidied(wizard, frame, desktop, files);
}

// Menu, "History...": the runs newest first; an older run chosen with the
// arrow key, its take-back shown with Enter and accepted, hands the runner a job that
// takes exactly that run back.
TEST_F(WizardRun, HistoryFromTheMenuTakesBackTheRunChosen) {
    TempDir app, older, newer;
    InstallWithStandInRunner(app);
    const std::wstring olderId = RecordTidiedFolder(older);
    const std::wstring newerId = RecordTidiedFolder(newer);
    ASSERT_NE(olderId, newerId);
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    HWND history = OpenHistory(wizard, frame);
    ASSERT_NE(history, nullptr);
    HWND list = GetDlgItem(history, IDC_HISTORY_LIST);
    ASSERT_GE(RowCount(list), 2);
    EXPECT_EQ(Cell(list, 0, 0), RunIdToLocalText(newerId)) << "newest first";
    EXPECT_EQ(Cell(list, 1, 0), RunIdToLocalText(olderId));
    EXPECT_EQ(Cell(list, 1, 3), L"1") << "items moved";
    EXPECT_EQ(Cell(list, 1, 4), L"You");
    EXPECT_EQ(Cell(list, 1, 5), L"") << "not taken back";

    ASSERT_EQ(Focus(history), list);
    Press(list, VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetNextItem(list, -1, LVNI_SELECTED) == 1; }));
    Press(list, VK_RETURN);  // Take Back..., the default button
    HWND undo = WaitForWindow(wizard.Id(), L"Take Back a Run");
    ASSERT_NE(undo, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(undo, IDOK)); }));
    EXPECT_NE(Text(undo, IDC_PREVIEW_HEADING).find(RunIdToLocalText(olderId)), std::wstring::npos);
    HWND items = GetDlgItem(undo, IDC_PREVIEW_ITEMS);
    ASSERT_EQ(RowCount(items), 2);
    EXPECT_TRUE(ShownAsPath(Cell(items, 0, wizard::kColumnTo), older.Path()))
        << Narrow(Cell(items, 0, wizard::kColumnTo));
    Click(undo, IDOK);
    EXPECT_EQ(wizard.Wait(60000), 0u) << "the wizard ends once the undo is handed over";

    std::vector<unsigned char> expected;
    AppendInt32(&expected, 0);
    AppendInt32(&expected, 0x100);  // the method of a job that takes a run back
    AppendText(&expected, olderId);
    AppendText(&expected, L"");
    EXPECT_EQ(HandedOverJob(app), expected);
}

// Closing the History, or its take-back preview, changes nothing; the
// wizard goes on.
TEST_F(WizardRun, HistoryClosedHandsNothingOver) {
    TempDir app, folder;
    InstallWithStandInRunner(app);
    RecordTidiedFolder(folder);
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    HWND history = OpenHistory(wizard, frame);
    ASSERT_NE(history, nullptr);
    Click(history, IDOK);
    HWND undo = WaitForWindow(wizard.Id(), L"Take Back a Run");
    ASSERT_NE(undo, nullptr);
    Click(undo, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(undo); }));
    EXPECT_TRUE(IsWindowVisible(history)) << "back in the History";
    Click(history, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(history); }));
    EXPECT_TRUE(IsWindowVisible(frame));
    Click(frame, IDC_BUTTON_RIGHT);  // Exit
    EXPECT_EQ(wizard.Wait(), 0u);
    EXPECT_FALSE(FileExists(app / L"args.txt")) << "no runner was started";
    EXPECT_TRUE(FileExists(folder / L"Pictures\\a.jpg"));
}

// What the issue calls done for the history: a run the watcher made (here a
// real tidy whose journal says it was automatic) is listed as automatic in
// "OrdvaleWizard.exe /history", the History window alone, and taken back
// from it by clicks: every file ends where it was, and the run then shows as
// taken back below the take-back itself.
TEST_F(WizardRun, AnAutomaticRunTakenBackFromTheHistoryAlone) {
    const std::wstring desktop = DesktopFolder();
    const std::pair<const wchar_t*, const wchar_t*> files[] = {{L"trip.jpg", L"Pictures"}, {L"letter.txt", L"Documents"}};
    for (const auto& f : files) ASSERT_TRUE(WriteText(desktop + L"\\" + f.first, Narrow(f.first)));
    const auto before = FolderTree(desktop);
    const std::wstring history = HistoryFolderIn(appData);
    const std::wstring previous = LastRunId(history);
    {
        Program wizard(L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\"");
        HWND frame = OpenMethodPage(wizard);
        ASSERT_NE(frame, nullptr);
        FinishFromMethodPage(frame, L"<a>File Type</a>");
        EXPECT_EQ(wizard.Wait(60000), 0u);
        WaitForProcessesNamed(L"qz.exe");
    }
    for (const auto& f : files) ASSERT_TRUE(FileExists(desktop + L"\\" + f.second + L"\\" + f.first)) << Narrow(f.first);
    const std::wstring runId = LastRunId(history);
    ASSERT_NE(runId, previous) << "the tidy kept a journal";
    // The run, as the watcher would have started it.
    const std::wstring journalFile = JournalFileIn(history, runId);
    std::string journal = ReadUtf8(journalFile);
    const std::size_t head = journal.find('\n');
    ASSERT_NE(head, std::string::npos);
    journal.insert(head + 1, "Automatic\t1\n");
    ASSERT_TRUE(WriteText(journalFile, journal));

    const std::wstring command = L"\"" + BinFolder() + L"\\OrdvaleWizard.exe\" /history";
    {
        Program alone(command);
        HWND window = WaitForWindow(alone.Id(), L"History");
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WaitForWindow(alone.Id(), L"Ordvale Wizard", 500), nullptr) << "no wizard beside it";
        HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
        ASSERT_GE(RowCount(list), 1);
        EXPECT_EQ(Cell(list, 0, 0), RunIdToLocalText(runId));
        EXPECT_EQ(Cell(list, 0, 1), L"Desktop");
        EXPECT_EQ(Cell(list, 0, 2), L"File Type");
        EXPECT_EQ(Cell(list, 0, 3), L"2");
        EXPECT_EQ(Cell(list, 0, 4), L"Automatic");
        EXPECT_EQ(Cell(list, 0, 5), L"");
        Click(window, IDOK);  // Take Back... on the newest run, chosen as the window opens
        HWND undo = WaitForWindow(alone.Id(), L"Take Back a Run");
        ASSERT_NE(undo, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(GetDlgItem(undo, IDOK)); }));
        EXPECT_EQ(Text(undo, IDC_PREVIEW_STATUS), L"2 items go back where they were; 0 cannot be taken back.");
        Click(undo, IDOK);
        EXPECT_EQ(alone.Wait(60000), 0u) << "the program ends with its window";
        WaitForProcessesNamed(L"qz.exe");
    }
    EXPECT_EQ(ShowTree(FolderTree(desktop)), ShowTree(before)) << "every file where it was";

    Program alone(command);
    HWND window = WaitForWindow(alone.Id(), L"History");
    ASSERT_NE(window, nullptr);
    HWND list = GetDlgItem(window, IDC_HISTORY_LIST);
    ASSERT_GE(RowCount(list), 2);
    EXPECT_EQ(Cell(list, 0, 1), L"Taking back the run of " + RunIdToLocalText(runId));
    EXPECT_EQ(Cell(list, 0, 4), L"You");
    EXPECT_EQ(Cell(list, 1, 0), RunIdToLocalText(runId));
    EXPECT_EQ(Cell(list, 1, 5), L"Yes") << "taken back";
    Click(window, IDCANCEL);
    EXPECT_EQ(alone.Wait(), 0u);
    for (const auto& f : files) DeleteFileW((desktop + L"\\" + f.first).c_str());
}

// "Keep this folder tidy automatically" on the summary page: Finish saves
// the desktop as a watched folder with the job's method and profile, and
// starts the watcher from the wizard's folder when it is there; ticked
// again, the folder is not added twice. For a Selection the box is hidden.
TEST_F(WizardRun, KeepThisFolderTidySavesTheWatchedFolder) {
    struct Cleanup {
        std::wstring file;
        ~Cleanup() { SaveWatchedFolders(file, {}); }
    } cleanup{settingsFile};
    ASSERT_TRUE(SaveWatchedFolders(settingsFile, {}));
    const std::wstring desktop = DesktopFolder();
    // The desktop by File Size, the box ticked, Finish.
    auto finishKeepingTidy = [&](const Program& wizard) {
        HWND frame = OpenMethodPage(wizard);
        ASSERT_NE(frame, nullptr);
        Click(VisibleControl(frame, IDC_METHOD_SIZE));
        ASSERT_TRUE(WaitUntil([&] { return CheckedMethods(frame) == std::vector<int>{IDC_METHOD_SIZE}; }));
        Click(frame, IDC_BUTTON_RIGHT);
        ASSERT_TRUE(WaitUntil([&] { return VisibleControl(frame, IDC_PROFILE_COMBO) != nullptr; }));
        Click(frame, IDC_BUTTON_RIGHT);
        ASSERT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
        HWND keep = VisibleControl(frame, IDC_KEEP_TIDY);
        ASSERT_NE(keep, nullptr);
        EXPECT_EQ(Text(keep), L"&Keep this folder tidy automatically");
        Click(keep);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(keep, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        Click(frame, IDC_BUTTON_RIGHT);  // Finish
    };
    {
        TempDir app;  // no watcher beside the wizard: nothing is said
        InstallWithStandInRunner(app);
        Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
        finishKeepingTidy(wizard);
        EXPECT_EQ(wizard.Wait(60000), 0u);
        HandedOverJob(app);
    }
    std::vector<WatchedFolder> watched = LoadWatchedFolders(settingsFile);
    ASSERT_EQ(watched.size(), 1u);
    EXPECT_TRUE(SameWatchedFolder(watched[0].folder, desktop)) << Narrow(watched[0].folder);
    EXPECT_EQ(watched[0].method, 3);
    EXPECT_EQ(watched[0].profileId, L"Size1");
    EXPECT_EQ(watched[0].destination, L"");
    EXPECT_FALSE(watched[0].paused);
    wchar_t folder[MAX_PATH] = {};
    GetPrivateProfileStringW(L"WatchedFolder1", L"Folder", L"", folder, MAX_PATH, settingsFile.c_str());
    EXPECT_TRUE(SameWatchedFolder(folder, desktop)) << "in section WatchedFolder1: " << Narrow(folder);

    {
        // A stand-in watcher that records how it was started, and no runner:
        // the hand-off then fails and says so.
        TempDir app;
        ASSERT_TRUE(CopyInto(BinFolder() + L"\\OrdvaleWizard.exe", app / L"OrdvaleWizard.exe"));
        ASSERT_TRUE(CopyInto(BinFolder() + L"\\DefaultProfiles.xml", app / L"DefaultProfiles.xml"));
        ASSERT_TRUE(CopyInto(TestProgramFolder() + L"\\record_args.exe", app / L"OrdvaleWatch.exe"));
        Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
        finishKeepingTidy(wizard);
        HWND box = WaitForMessageBox(wizard.Id());
        ASSERT_NE(box, nullptr);
        Click(box, IDOK);
        EXPECT_EQ(wizard.Wait(60000), 0u);
        ASSERT_TRUE(WaitUntil([&] { return FileExists(app / L"args.txt"); })) << "the watcher was started";
        EXPECT_NE(ReadUtf8(app / L"args.txt").find("OrdvaleWatch.exe"), std::string::npos);
    }
    EXPECT_EQ(LoadWatchedFolders(settingsFile).size(), 1u) << "the same folder is not added twice";

    // A Selection: the box is not offered.
    TempDir app;
    InstallWithStandInRunner(app);
    Program wizard(L"\"" + (app / L"OrdvaleWizard.exe") + L"\"");
    HWND frame = WaitForWindow(wizard.Id(), L"Ordvale Wizard");
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(WaitForControl(frame, IDC_LINK_SELECTION));
    Click(frame, IDC_LINK_SELECTION);
    ASSERT_TRUE(WaitForControl(frame, IDC_ADD_FILES));
    Click(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitForControl(frame, IDC_METHOD_TYPE));
    Click(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return VisibleControl(frame, IDC_PROFILE_COMBO) != nullptr; }));
    Click(frame, IDC_BUTTON_RIGHT);
    ASSERT_TRUE(WaitUntil([&] { return Text(frame, IDC_BUTTON_RIGHT) == L"Finish"; }));
    EXPECT_EQ(VisibleControl(frame, IDC_KEEP_TIDY), nullptr);
    Click(frame, IDC_BUTTON_RIGHT);  // Finish
    EXPECT_EQ(wizard.Wait(60000), 0u);
    HandedOverJob(app);
    EXPECT_EQ(LoadWatchedFolders(settingsFile).size(), 1u);
}
