// OrdvaleConfigure.exe run for real against the prefix's settings file and
// driven by control id: what the dialog shows, what OK saves, that every way
// of leaving without OK saves nothing, the refusals, and the usage box.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <dlgs.h>

#include <map>
#include <set>
#include <utility>
#include <vector>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/WatchedFolders.h"
#include "configure/resource.h"
#include "TestSupport.h"
#include "ResourceLint.h"
#include "WindowDriver.h"

using namespace ordvale;
using namespace testing_support;

namespace {

constexpr wchar_t kTitle[] = L"Ordvale Options";
constexpr DWORD kCancelled = 2;

struct Stored {
    Stored(std::wstring p, bool showProgress, int32_t file, int32_t folder)
        : path(std::move(p)), progress(showProgress), fileConflict(file), folderConflict(folder) {}
    std::wstring path;
    bool progress;
    int32_t fileConflict;
    int32_t folderConflict;
};

class ConfigureSystem : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(GetAppDataFolder(&appData));
        OrdvaleSettings settings;
        ASSERT_TRUE(LoadSettings(&settings));  // makes the settings folder
        settingsFile = SettingsFileIn(appData);
    }
    void TearDown() override {
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
        WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyShowSystemProgress, L"0");
        WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFileConflict, L"0");
        WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFolderConflict, L"3");
    }

    void Store(const Stored& s) {
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, s.path));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyShowSystemProgress,
                                       s.progress ? L"1" : L"0"));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFileConflict,
                                       std::to_wstring(s.fileConflict)));
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFolderConflict,
                                       std::to_wstring(s.folderConflict)));
    }
    static std::wstring Command(const std::wstring& arguments) {
        return L"\"" + BinFolder() + L"\\OrdvaleConfigure.exe\"" + arguments;
    }

    std::wstring appData, settingsFile;
    TempDir dir;
};

LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(GetDlgItem(dialog, id), message, wParam, lParam);
}
// The path typed into its box, as the user types it (pasted when it holds
// a tab, which a single-line box does not take from the keyboard).
void SetPath(HWND dialog, const std::wstring& path) {
    if (path.find(L'\t') != std::wstring::npos) Paste(GetDlgItem(dialog, IDC_PROFILE_PATH), path);
    else Type(GetDlgItem(dialog, IDC_PROFILE_PATH), path);
    EXPECT_TRUE(WaitUntil([&] { return Text(dialog, IDC_PROFILE_PATH) == path; }));
}
// The check box clicked when it does not show the state wanted.
void SetCheck(HWND dialog, int id, bool checked) {
    if ((Send(dialog, id, BM_GETCHECK) == BST_CHECKED) == checked) return;
    Click(GetDlgItem(dialog, id));
    EXPECT_TRUE(WaitUntil([&] { return (Send(dialog, id, BM_GETCHECK) == BST_CHECKED) == checked; }));
}
// An entry of a drop-down list chosen from the keyboard: Home, then Down
// until it is reached.
void Choose(HWND dialog, int id, int position) {
    HWND combo = GetDlgItem(dialog, id);
    Press(combo, VK_HOME);
    Press(combo, VK_DOWN, Held::Nothing, position);
    EXPECT_TRUE(WaitUntil([&] { return Send(dialog, id, CB_GETCURSEL) == position; }));
}
bool ProgressChecked(HWND dialog) {
    return Send(dialog, IDC_SHOW_PROGRESS, BM_GETCHECK) == BST_CHECKED;
}
std::wstring Caption(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

}  // namespace

TEST_F(ConfigureSystem, ShowsTheStoredSettings) {
    const std::wstring nonAscii = dir / L"J\u00fcrgen\\\u6587\u6863\\p.xml";
    struct Case {
        Stored stored;
        std::wstring path;  // shown
        const wchar_t* fileChoice;
        const wchar_t* folderChoice;
    };
    const Case cases[] = {
        {{dir / L"a.xml", true, 2, 3}, dir / L"a.xml", L"Ask", L"Merge"},
        {{nonAscii, false, 1, 0}, nonAscii, L"Overwrite", L"Rename"},
        {{dir / L"c.xml", false, 0, 2}, dir / L"c.xml", L"Rename", L"Ask"},
        {{dir / L"d.xml", true, 7, 1}, dir / L"d.xml", L"Rename", L"Merge"},
        {{dir / L"e.xml", false, -1, -5}, dir / L"e.xml", L"Rename", L"Merge"},
        // Nothing stored: the document beside the settings.
        {{L"", false, 0, 3}, DefaultProfileFileIn(appData), L"Rename", L"Merge"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        Store(c.stored);
        Program program(Command(L" options"));
        ASSERT_TRUE(program.Started());
        HWND dialog = WaitForWindow(program.Id(), kTitle);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Text(dialog, IDC_PROFILE_PATH), c.path);
        EXPECT_EQ(ProgressChecked(dialog), c.stored.progress);
        EXPECT_EQ(Text(dialog, IDC_FILE_CONFLICT), c.fileChoice);
        EXPECT_EQ(Text(dialog, IDC_FOLDER_CONFLICT), c.folderChoice);
        EXPECT_EQ(Send(dialog, IDC_FILE_CONFLICT, CB_GETCOUNT), 3);
        EXPECT_EQ(Send(dialog, IDC_FOLDER_CONFLICT, CB_GETCOUNT), 3);
        Click(dialog, IDCANCEL);
        EXPECT_EQ(program.Wait(), kCancelled);
    }
}

TEST_F(ConfigureSystem, OkSavesWhatTheControlsShow) {
    const std::wstring folder = dir / L"J\u00fcrgen";
    ASSERT_TRUE(MakeFolder(folder));
    ASSERT_TRUE(MakeFolder(folder + L"\\\u6587\u6863"));
    const std::wstring nonAscii = folder + L"\\\u6587\u6863\\p.xml";
    ASSERT_TRUE(WriteText(dir / L"exists.xml", "<Ordvale/>"));

    const std::wstring padded = L"  " + (dir / L"exists.xml") + L"\t ";
    struct Case {
        Stored before;
        const wchar_t* typed;  // nullptr: left as shown
        int check;             // BST_..., or -1 to leave
        int filePosition;      // -1 to leave
        int folderPosition;
        Stored saved;
    };
    const Case cases[] = {
        {{dir / L"old.xml", false, 0, 3}, nonAscii.c_str(), BST_CHECKED, 1, 2, {nonAscii, true, 1, 2}},
        {{dir / L"old.xml", true, 2, 2}, nullptr, BST_UNCHECKED, 0, 0, {dir / L"old.xml", false, 0, 0}},
        {{dir / L"old.xml", false, 1, 0}, nullptr, -1, 2, 1, {dir / L"old.xml", false, 2, 1}},
        // Untouched out-of-range values are saved as the entries they showed as.
        {{dir / L"old.xml", true, 9, 3}, nullptr, -1, -1, -1, {dir / L"old.xml", true, 0, 1}},
        {{dir / L"old.xml", false, 0, 0}, padded.c_str(), -1, -1, -1, {dir / L"exists.xml", false, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.saved.path));
        Store(c.before);
        Program program(Command(L" options"));
        ASSERT_TRUE(program.Started());
        HWND dialog = WaitForWindow(program.Id(), kTitle);
        ASSERT_NE(dialog, nullptr);
        if (c.typed) SetPath(dialog, c.typed);
        if (c.check >= 0) SetCheck(dialog, IDC_SHOW_PROGRESS, c.check == BST_CHECKED);
        if (c.filePosition >= 0) Choose(dialog, IDC_FILE_CONFLICT, c.filePosition);
        if (c.folderPosition >= 0) Choose(dialog, IDC_FOLDER_CONFLICT, c.folderPosition);
        Click(dialog, IDOK);
        ASSERT_EQ(program.Wait(), 0u);

        OrdvaleSettings read;
        InitSettings(&read);
        ASSERT_TRUE(LoadSettings(&read));
        EXPECT_EQ(std::wstring(read.profileFile), c.saved.path);
        EXPECT_EQ(read.showSystemProgress, c.saved.progress);
        EXPECT_EQ(read.fileConflict, c.saved.fileConflict);
        EXPECT_EQ(read.folderConflict, c.saved.folderConflict);
    }
}

TEST_F(ConfigureSystem, LeavingWithoutOkSavesNothing) {
    struct Way {
        const char* name;
        void (*leave)(HWND dialog);
    };
    const Way ways[] = {
        {"Cancel button", [](HWND dialog) { Click(dialog, IDCANCEL); }},
        {"Escape key",
         [](HWND dialog) { Press(GetDlgItem(dialog, IDC_PROFILE_PATH), VK_ESCAPE); }},
        {"close button", [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    Store({dir / L"kept.xml", true, 2, 0});
    const std::vector<unsigned char> before = ReadBytes(settingsFile);
    ASSERT_FALSE(before.empty());
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        Program program(Command(L" options"));
        ASSERT_TRUE(program.Started());
        HWND dialog = WaitForWindow(program.Id(), kTitle);
        ASSERT_NE(dialog, nullptr);
        SetPath(dialog, dir / L"other.xml");
        SetCheck(dialog, IDC_SHOW_PROGRESS, false);
        Choose(dialog, IDC_FILE_CONFLICT, 1);
        Choose(dialog, IDC_FOLDER_CONFLICT, 2);
        way.leave(dialog);
        EXPECT_EQ(program.Wait(), kCancelled);
        EXPECT_EQ(ReadBytes(settingsFile), before);
    }
}

TEST_F(ConfigureSystem, RefusesABadPathAndStaysOpen) {
    Store({dir / L"kept.xml", false, 1, 1});
    const std::vector<unsigned char> before = ReadBytes(settingsFile);
    ASSERT_TRUE(WriteText(dir / L"file", "x"));

    struct Case {
        std::wstring path;
        const char* problem;  // cases with the same problem get the same message
    };
    const Case cases[] = {
        {L"", "empty"},
        {L" \t  ", "empty"},
        {dir.Path(), "folder"},
        {dir / L"missing\\p.xml", "no folder"},
        {dir / L"file\\p.xml", "no folder"},
        {dir / std::wstring(300, L'x'), "too long"},
        {L"p.xml", "not full"},
        {dir / L"a?.xml", "character"},
    };
    Program program(Command(L" options"));
    ASSERT_TRUE(program.Started());
    HWND dialog = WaitForWindow(program.Id(), kTitle);
    ASSERT_NE(dialog, nullptr);

    std::map<std::string, std::wstring> messages;
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.path));
        SetPath(dialog, c.path);
        // As after a click on OK: the focus is away from the path.
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
        ASSERT_TRUE(WaitUntil([&] { return Focus(dialog) == GetDlgItem(dialog, IDOK); }));
        Click(dialog, IDOK);
        HWND box = WaitForMessageBox(program.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Caption(box), kTitle);
        EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
        const std::wstring text = MessageBoxText(box);
        EXPECT_FALSE(text.empty());
        if (std::string(c.problem) == "no folder") {
            EXPECT_NE(text.find(c.path.substr(0, c.path.rfind(L'\\'))), std::wstring::npos) << Narrow(text);
        } else if (messages.count(c.problem)) {
            EXPECT_EQ(text, messages[c.problem]);
        }
        messages.emplace(c.problem, text);
        Click(box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

        EXPECT_EQ(program.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_TRUE(WaitUntil([&] { return Focus(dialog) == GetDlgItem(dialog, IDC_PROFILE_PATH); }))
            << "the path is ready to be corrected";
    }
    std::set<std::wstring> distinct;
    for (const auto& m : messages) distinct.insert(m.second);
    EXPECT_EQ(distinct.size(), messages.size()) << "each problem has its own message";

    Click(dialog, IDCANCEL);
    EXPECT_EQ(program.Wait(), kCancelled);
    EXPECT_EQ(ReadBytes(settingsFile), before);
}

TEST_F(ConfigureSystem, OtherCommandLinesShowTheUsage) {
    Store({dir / L"kept.xml", false, 1, 1});
    const std::vector<unsigned char> before = ReadBytes(settingsFile);
    for (const wchar_t* arguments : {L"", L" settings", L" options extra", L" /options"}) {
        SCOPED_TRACE(Narrow(arguments));
        Program program(Command(arguments));
        ASSERT_TRUE(program.Started());
        HWND box = WaitForMessageBox(program.Id());
        ASSERT_NE(box, nullptr);
        EXPECT_NE(MessageBoxText(box).find(L"OrdvaleConfigure.exe options"), std::wstring::npos)
            << Narrow(MessageBoxText(box));
        Click(box, IDOK);
        const DWORD code = program.Wait();
        EXPECT_NE(code, 0u);
        EXPECT_NE(code, static_cast<DWORD>(STILL_ACTIVE));
    }
    EXPECT_EQ(ReadBytes(settingsFile), before);
}

TEST_F(ConfigureSystem, BrowseFillsInTheChosenDocument) {
    ASSERT_TRUE(WriteText(dir / L"exists.xml", "<Ordvale/>"));
    struct Case {
        const char* name;
        std::wstring typed;  // into the file dialog; empty: the file dialog is cancelled
        std::wstring shown;  // in the path box afterwards
    };
    const Case cases[] = {
        {"a document still to be made", dir / L"new.xml", dir / L"new.xml"},
        {"an existing document, without an overwrite question", dir / L"exists.xml", dir / L"exists.xml"},
        {"a name without extension", dir / L"plain", dir / L"plain.xml"},
        {"nothing chosen", L"", dir / L"kept.xml"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store({dir / L"kept.xml", false, 0, 3});
        Program program(Command(L" options"));
        ASSERT_TRUE(program.Started());
        HWND dialog = WaitForWindow(program.Id(), kTitle);
        ASSERT_NE(dialog, nullptr);
        Click(dialog, IDC_BROWSE);
        HWND picker = WaitForWindow(program.Id(), L"Profile Document");
        ASSERT_NE(picker, nullptr);
        EXPECT_EQ(GetWindow(picker, GW_OWNER), dialog);
        if (c.typed.empty()) {
            Click(picker, IDCANCEL);
        } else {
            // The file-name box of the explorer-style dialog, edit or combo box.
            HWND name = GetDlgItem(picker, cmb13) ? GetDlgItem(picker, cmb13) : GetDlgItem(picker, edt1);
            ASSERT_NE(name, nullptr);
            // The explorer-style box is a ComboBoxEx: the typing goes to its edit.
            if (HWND edit = reinterpret_cast<HWND>(SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0))) name = edit;
            Type(name, c.typed);
            EXPECT_TRUE(WaitUntil([&] { return Text(name) == c.typed; })) << Narrow(Text(name));
            Click(picker, IDOK);
        }
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(picker); }));
        EXPECT_TRUE(WaitUntil([&] { return Text(dialog, IDC_PROFILE_PATH) == c.shown; }))
            << Narrow(Text(dialog, IDC_PROFILE_PATH));
        EXPECT_FALSE(FileExists(dir / L"new.xml")) << "choosing a document makes no file";
        Click(dialog, IDCANCEL);
        EXPECT_EQ(program.Wait(), kCancelled);
    }
}

// The watched folders: each listed with its state and the reason it cannot
// be watched; Pause and Resume by click, Space and Delete from the keyboard,
// a folder added through "Add Watched Folder" with a profile of the method
// chosen; OK saves the list, sections renumbered without gaps.
TEST_F(ConfigureSystem, WatchedFoldersAddedRemovedPausedAndResumed) {
    struct Cleanup {
        std::wstring file;
        ~Cleanup() { SaveWatchedFolders(file, {}); }
    } cleanup{settingsFile};
    const std::wstring document = dir / L"profile.xml";
    ASSERT_TRUE(WriteText(document,
                          "<Ordvale><TypeProfiles default=\"Type1\">"
                          "<TypeConfigure id=\"Type1\" displayname=\"By kind\" rootpath=\"\"/></TypeProfiles>"
                          "<TimeProfiles default=\"Time2\">"
                          "<TimeConfigure id=\"Time1\" displayname=\"By year\" rootpath=\"\"/>"
                          "<TimeConfigure id=\"Time2\" displayname=\"By month\" rootpath=\"\"/></TimeProfiles>"
                          "</Ordvale>"));
    Store({document, false, 0, 3});
    const std::wstring downloads = dir / L"Downloads", inbox = dir / L"Inbox", scans = dir / L"Scans";
    ASSERT_TRUE(MakeFolder(downloads));
    ASSERT_TRUE(MakeFolder(scans));
    std::vector<WatchedFolder> stored(3);
    stored[0].folder = downloads;
    stored[0].profileId = L"Type1";
    stored[1].folder = inbox;  // not there
    stored[1].profileId = L"Type1";
    stored[2].folder = scans;
    stored[2].profileId = L"Type7";  // no such profile
    stored[2].paused = true;
    ASSERT_TRUE(SaveWatchedFolders(settingsFile, stored));

    // A copy of the program, so that no watcher beside the built one starts.
    TempDir app;
    ASSERT_TRUE(CopyFileW((BinFolder() + L"\\OrdvaleConfigure.exe").c_str(), (app / L"OrdvaleConfigure.exe").c_str(), FALSE));
    Program program(L"\"" + (app / L"OrdvaleConfigure.exe") + L"\" options");
    HWND dialog = WaitForWindow(program.Id(), kTitle);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_WATCHED_LIST);
    ASSERT_EQ(RowCount(list), 3);
    EXPECT_EQ(Cell(list, 0, 0), downloads);
    EXPECT_EQ(Cell(list, 0, 1), L"File Type");
    EXPECT_EQ(Cell(list, 0, 2), L"Type1");
    EXPECT_EQ(Cell(list, 0, 3), L"Watching");
    EXPECT_EQ(Cell(list, 1, 3).rfind(L"Folder missing: ", 0), 0u) << Narrow(Cell(list, 1, 3));
    EXPECT_EQ(Cell(list, 2, 3), L"Profile missing: no profile \"Type7\" of this method");
    EXPECT_EQ(WaitForMessageBox(program.Id(), 300), nullptr) << "no message box waits";

    // The first row comes chosen: Pause by click, then Space resumes it.
    EXPECT_EQ(Text(dialog, IDC_WATCHED_PAUSE), L"Pa&use");
    Click(dialog, IDC_WATCHED_PAUSE);
    ASSERT_TRUE(WaitUntil([&] { return Cell(list, 0, 3) == L"Paused"; }));
    EXPECT_EQ(Text(dialog, IDC_WATCHED_PAUSE), L"Res&ume");
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    Press(list, VK_SPACE);
    ASSERT_TRUE(WaitUntil([&] { return Cell(list, 0, 3) == L"Watching"; }));
    Click(dialog, IDC_WATCHED_PAUSE);
    ASSERT_TRUE(WaitUntil([&] { return Cell(list, 0, 3) == L"Paused"; }));
    // The missing folder removed with Delete.
    Press(list, VK_DOWN);
    ASSERT_TRUE(WaitUntil([&] { return ListView_GetNextItem(list, -1, LVNI_SELECTED) == 1; }));
    Press(list, VK_DELETE);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(list) == 2; }));
    EXPECT_EQ(Cell(list, 1, 0), scans);

    // Added: Inbox, made now, by File Time with the method's default profile.
    ASSERT_TRUE(MakeFolder(inbox));
    Click(dialog, IDC_WATCHED_ADD);
    HWND add = WaitForWindow(program.Id(), L"Add Watched Folder");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(Text(add, IDC_WF_PROFILE), L"By kind");
    Type(GetDlgItem(add, IDC_WF_FOLDER), downloads);
    ASSERT_TRUE(WaitUntil([&] { return Text(add, IDC_WF_FOLDER) == downloads; }));
    Click(add, IDOK);
    HWND box = WaitForMessageBox(program.Id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), L"That folder is watched already.");
    Click(box, IDOK);
    Type(GetDlgItem(add, IDC_WF_FOLDER), inbox);
    ASSERT_TRUE(WaitUntil([&] { return Text(add, IDC_WF_FOLDER) == inbox; }));
    Choose(add, IDC_WF_METHOD, 1);
    ASSERT_TRUE(WaitUntil([&] { return Text(add, IDC_WF_PROFILE) == L"By month"; })) << "the default time profile";
    EXPECT_EQ(Send(add, IDC_WF_PROFILE, CB_GETCOUNT), 2);
    Click(add, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(add); }));
    ASSERT_EQ(RowCount(list), 3);
    EXPECT_EQ(Cell(list, 2, 0), inbox);
    EXPECT_EQ(Cell(list, 2, 1), L"File Time");
    EXPECT_EQ(Cell(list, 2, 2), L"Time2");
    EXPECT_EQ(Cell(list, 2, 3), L"Watching");

    Click(dialog, IDOK);
    ASSERT_EQ(program.Wait(), 0u);
    const std::vector<WatchedFolder> saved = LoadWatchedFolders(settingsFile);
    ASSERT_EQ(saved.size(), 3u);
    EXPECT_EQ(saved[0].folder, downloads);
    EXPECT_TRUE(saved[0].paused);
    EXPECT_EQ(saved[1].folder, scans);
    EXPECT_EQ(saved[1].profileId, L"Type7");
    EXPECT_EQ(saved[2].folder, inbox);
    EXPECT_EQ(saved[2].method, 2);
    EXPECT_EQ(saved[2].profileId, L"Time2");
    EXPECT_EQ(saved[2].destination, L"");
    EXPECT_FALSE(saved[2].paused);
    wchar_t keys[64] = {};
    EXPECT_EQ(GetPrivateProfileStringW(L"WatchedFolder4", nullptr, L"", keys, 64, settingsFile.c_str()), 0u)
        << "the section of the folder removed is gone";
}

// Cancel leaves the watched folders as they were.
TEST_F(ConfigureSystem, WatchedFoldersCancelledSaveNothing) {
    struct Cleanup {
        std::wstring file;
        ~Cleanup() { SaveWatchedFolders(file, {}); }
    } cleanup{settingsFile};
    std::vector<WatchedFolder> stored(1);
    stored[0].folder = dir.Path();
    stored[0].profileId = L"Type1";
    ASSERT_TRUE(SaveWatchedFolders(settingsFile, stored));
    Program program(Command(L" options"));
    HWND dialog = WaitForWindow(program.Id(), kTitle);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_WATCHED_LIST);
    ASSERT_EQ(RowCount(list), 1);
    Click(dialog, IDC_WATCHED_REMOVE);
    ASSERT_TRUE(WaitUntil([&] { return RowCount(list) == 0; }));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_WATCHED_REMOVE))) << "nothing left to remove";
    Click(dialog, IDCANCEL);
    EXPECT_EQ(program.Wait(), kCancelled);
    const std::vector<WatchedFolder> after = LoadWatchedFolders(settingsFile);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0].folder, dir.Path());
}

TEST(ConfigureDialogs, RadioChoicesFormOneGroupEach) {
    HMODULE program = LoadLibraryExW((BinFolder() + L"\\OrdvaleConfigure.exe").c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(program, nullptr);
    for (const std::wstring& fault : RadioGroupFaults(program)) ADD_FAILURE() << Narrow(fault);
    FreeLibrary(program);
}
