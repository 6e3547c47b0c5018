// Shows the wizard on one page with sample content, for screenshots:
//   wizard_showcase.exe target|items|method|profile|summary|about|menu
//   wizard_showcase.exe preview|undo|history
//     (the preview of the typical run; taking back a run of a sample folder;
//     the History window over a few sample runs)
//   wizard_showcase.exe profile-type|profile-time|profile-size|profile-name
//     (the profile page of that method, one folder opened and one item selected)
//   wizard_showcase.exe profile-new|profile-context
//     (the New Profile dialog; the list's context menu)
//   wizard_showcase.exe pane-folder|pane-regexp
//     (the folder pane of a type profile's first folder; the name pane of a
//     regular expression)
//   wizard_showcase.exe new-folder|new-type|batch-types|new-name|new-regexp|batch-names
//     (the dialogs of the Add menus, from a type or a name profile)
//   wizard_showcase.exe size-new|size-batch|time-new|time-year|time-month|time-day
//     (the dialogs of the size and time Add menus, over the profile page of
//     the method with one folder opened and its rule selected)
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <string>

#include "PageProfile.h"
#include "WizardDlg.h"
#include "WizardLogic.h"
#include "common/AppPaths.h"
#include "common/Journal.h"
#include "resource.h"

using namespace ordvale;
using namespace ordvale::wizard;

namespace {

// A tidied sample folder with the journal of the run that tidied it, filed
// as the last run, for the undo window to show: most items go back, one
// was changed since and one is gone; one place is taken now.
void MakeTidiedSample() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring root = std::wstring(temp) + L"Tidy sample";
    std::wstring appData;
    if (!GetAppDataFolder(&appData)) return;
    const std::wstring history = HistoryFolderIn(appData);
    struct Moved {
        const wchar_t* from;
        const wchar_t* to;
    };
    const Moved moved[] = {
        {L"holiday.jpg", L"Pictures\\holiday.jpg"},   {L"beach.png", L"Pictures\\beach.png"},
        {L"notes.txt", L"Documents\\notes.txt"},      {L"report.pdf", L"Documents\\report.pdf"},
        {L"song.mp3", L"Music\\song.mp3"},            {L"backup.zip", L"Archives\\backup.zip"},
        {L"draft.txt", L"Documents\\draft.txt"},      {L"old.mp3", L"Music\\old.mp3"},
    };
    SHCreateDirectoryExW(nullptr, root.c_str(), nullptr);
    JournalWriter journal(history, L"20261209-101500-042");
    journal.Describe({1, root, 1, false});
    for (const wchar_t* folder : {L"Pictures", L"Documents", L"Music", L"Archives"}) {
        CreateDirectoryW((root + L"\\" + folder).c_str(), nullptr);
        journal.Record(JournalKind::CreateFolder, root + L"\\" + folder);
    }
    for (const Moved& m : moved) {
        const std::wstring to = root + L"\\" + m.to;
        HANDLE h = CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(h, "sample", 6, &written, nullptr);
        CloseHandle(h);
        journal.Record(JournalKind::Move, root + L"\\" + m.from, to);
    }
    // Since the run: one changed, one deleted, one place taken.
    HANDLE h = CreateFileW((root + L"\\Documents\\draft.txt").c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, " and more", 9, &written, nullptr);
    CloseHandle(h);
    DeleteFileW((root + L"\\Music\\old.mp3").c_str());
    h = CreateFileW((root + L"\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    CloseHandle(h);
}

// Journals of a few more runs around the tidied sample: the watcher's runs
// of a downloads folder, a tidy of the desktop and its take-back.
void MakeHistorySample() {
    MakeTidiedSample();
    std::wstring appData;
    if (!GetAppDataFolder(&appData)) return;
    const std::wstring history = HistoryFolderIn(appData);
    const std::wstring downloads = L"C:\\users\\me\\Downloads";
    struct Run {
        const wchar_t* id;
        JournalRunInfo info;
        int moves;
        const wchar_t* undoes;
    } runs[] = {
        {L"20261207-181000-000", {1, downloads, 1, true}, 3, L""},
        {L"20261208-090000-000", {0, L"", 2, false}, 6, L""},
        {L"20261208-093000-000", {0, L"", 0, false}, 6, L"20261208-090000-000"},
        {L"20261210-071500-000", {1, downloads, 1, true}, 2, L""},
    };
    for (const Run& run : runs) {
        JournalWriter journal(history, run.id, run.undoes);
        journal.Describe(run.info);
        for (int i = 0; i < run.moves; ++i)
            journal.Record(JournalKind::Move, downloads + L"\\file" + std::to_wstring(i) + L".pdf",
                           downloads + L"\\Documents\\file" + std::to_wstring(i) + L".pdf");
    }
}

void WriteSample(const std::wstring& path, bool settled) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(h, "sample", 6, &written, nullptr);
    if (settled) {
        // Saved a day ago, not a moment ago.
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t;
        t.LowPart = now.dwLowDateTime;
        t.HighPart = now.dwHighDateTime;
        t.QuadPart -= 24ull * 3600 * 10000000;
        const FILETIME then = {t.LowPart, t.HighPart};
        SetFileTime(h, nullptr, nullptr, &then);
    }
    CloseHandle(h);
}

// Items on the (sandbox's) desktop for the preview to show: some move, one
// meets a file of its name, one is a download in progress.
void MakeDesktopSample() {
    wchar_t buffer[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, buffer))) return;
    const std::wstring desktop = buffer;
    for (const wchar_t* name : {L"holiday.jpg", L"beach.png", L"notes.txt", L"report.pdf", L"song.mp3",
                                L"backup.zip", L"setup.exe"})
        WriteSample(desktop + L"\\" + name, true);
    WriteSample(desktop + L"\\film.mp4.crdownload", true);
    CreateDirectoryW((desktop + L"\\Pictures").c_str(), nullptr);
    WriteSample(desktop + L"\\Pictures\\holiday.jpg", true);
}

class CShowcase : public COrdvaleWizardDlg {
public:
    explicit CShowcase(std::wstring page) : page_(std::move(page)) {}

protected:
    BOOL OnInitDialog() override {
        COrdvaleWizardDlg::OnInitDialog();
        if (page_ == L"items") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 2, 0);
            const std::wstring windows = L"C:\\windows";
            for (const wchar_t* name : {L"notepad.exe", L"system32", L"win.ini", L"regedit.exe"})
                ItemsPage().AddPath((windows + L"\\" + name).c_str());
        } else if (page_ == L"method") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
        } else if (page_ == L"profile") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
            ShowPage(Page::Profile);
        } else if (page_ == L"profile-new" || page_ == L"profile-context") {
            ShowProfilePage(L"type");
            OpenLater();
        } else if (page_.rfind(L"profile-", 0) == 0) {
            ShowProfilePage(page_.substr(8));
        } else if (page_ == L"pane-folder") {
            ShowProfilePage(L"type", false);
            ListView_SetItemState(ProfilePage().List(), 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        } else if (page_ == L"pane-regexp") {
            ShowProfilePage(L"name", false);
            ordvale::editor::PlacementMode mode = ordvale::editor::PlaceSingle;
            FolderNodeRef root = ProfilePage().CurrentFolder();
            ordvale::editor::PlaceNameRule(ProfilePage().Editor().Placement(), &mode, root, 1, 0, 0, L"^Report \\d+");
            using ordvale::wizard::EditorChange;
            ProfilePage().Editor().Changed(EditorChange::Listed(ordvale::wizard::RuleRef(root, 0)));
        } else if (AddCommand() != 0 && (page_.rfind(L"size-", 0) == 0 || page_.rfind(L"time-", 0) == 0)) {
            ShowProfilePage(page_.substr(0, 4));
            OpenLater();
        } else if (AddCommand() != 0) {
            ShowProfilePage(page_ == L"new-name" || page_ == L"new-regexp" || page_ == L"batch-names" ? L"name" : L"type",
                            false);
            OpenLater();
        } else if (page_ == L"summary" || page_ == L"preview") {
            SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
            ShowPage(Page::Profile);
            SendMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_BUTTON_RIGHT, BN_CLICKED), 0);
            if (page_ == L"preview") {
                MakeDesktopSample();
                OpenLater();
            }
        } else if (page_ == L"about" || page_ == L"menu" || page_ == L"undo" || page_ == L"history") {
            if (page_ == L"undo") MakeTidiedSample();
            if (page_ == L"history") MakeHistorySample();
            OpenLater();
        }
        return TRUE;
    }

    // Dialogs and menus open once the wizard is up and active: opened from
    // here, they would come before the wizard is shown (and a menu would
    // close when the wizard became active).
    void OpenLater() { SetTimer(Handle(), kOpenTimer, 700, nullptr); }

    BOOL OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override {
        if (message == WM_TIMER && wParam == kTypeTimer) {
            KillTimer(Handle(), kTypeTimer);
            // Some extensions typed and added, one of them unchecked.
            HWND dialog = FindWindowW(nullptr, L"Batch Adding File Type Rules");
            HWND input = GetDlgItem(dialog, IDC_BATCH_TYPES_INPUT);
            for (wchar_t c : std::wstring(L".txt doc .pdf readme.md .odt")) PostMessageW(input, WM_CHAR, c, 1);
            PostMessageW(GetDlgItem(dialog, IDC_BATCH_TYPES_ADD), BM_CLICK, 0, 0);
            PostMessageW(input, WM_CHAR, L'.', 1);
            PostMessageW(input, WM_CHAR, L'x', 1);
            return TRUE;
        }
        if (message != WM_TIMER || wParam != kOpenTimer) return COrdvaleWizardDlg::OnMessage(message, wParam, lParam, result);
        KillTimer(Handle(), kOpenTimer);
        if (page_ == L"about") {
            PostMessageW(Handle(), WM_COMMAND, ID_MENU_ABOUT, 0);
        } else if (page_ == L"preview") {
            PostMessageW(SummaryPage().Item(IDC_PREVIEW_BUTTON), BM_CLICK, 0, 0);
        } else if (page_ == L"undo") {
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(ID_MENU_UNDO_LAST, 0), 0);
        } else if (page_ == L"history") {
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(ID_MENU_HISTORY, 0), 0);
        } else if (page_ == L"menu") {
            PostMessageW(Handle(), WM_COMMAND, MAKEWPARAM(IDC_MENU_BUTTON, BN_CLICKED), 0);
        } else if (page_ == L"profile-new") {
            PostMessageW(ProfilePage().Handle(), WM_COMMAND, ID_NEW_PROFILE, 0);
        } else if (AddCommand() != 0) {
            PostMessageW(ProfilePage().Handle(), WM_COMMAND, AddCommand(), 0);
            if (page_ == L"batch-types") SetTimer(Handle(), kTypeTimer, 700, nullptr);
        } else if (page_ == L"profile-context") {
            RECT item = {};
            ListView_GetItemRect(ProfilePage().List(), 0, &item, LVIR_LABEL);
            POINT at = {item.left + 20, item.bottom};
            ClientToScreen(ProfilePage().List(), &at);
            PostMessageW(ProfilePage().Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ProfilePage().List()),
                         MAKELPARAM(at.x, at.y));
        }
        return TRUE;
    }

private:
    static constexpr UINT_PTR kOpenTimer = 1;
    static constexpr UINT_PTR kTypeTimer = 2;
    using FolderNodeRef = ordvale::FolderNode*;

    // The Add command whose dialog the page shows, or 0.
    WORD AddCommand() const {
        const struct {
            const wchar_t* page;
            WORD command;
        } commands[] = {{L"new-folder", ID_ADD_FOLDER},  {L"new-type", ID_ADD_TYPE_RULE},
                        {L"batch-types", ID_ADD_TYPE_BATCH}, {L"new-name", ID_ADD_NAME_RULE},
                        {L"new-regexp", ID_ADD_NAME_REGEXP}, {L"batch-names", ID_ADD_NAME_BATCH},
                        {L"size-new", ID_ADD_SIZE_RULE},     {L"size-batch", ID_ADD_SIZE_BATCH},
                        {L"time-new", ID_ADD_TIME_RULE},     {L"time-year", ID_ADD_TIME_BY_YEAR},
                        {L"time-month", ID_ADD_TIME_BY_MONTH}, {L"time-day", ID_ADD_TIME_BY_DAY}};
        for (const auto& c : commands)
            if (page_ == c.page) return c.command;
        return 0;
    }

    void ShowProfilePage(const std::wstring& method, bool openSecondFolder = true) {
        static const wchar_t* const positions[] = {L"type", L"name", L"size", L"time"};
        for (WPARAM i = 0; i < 4; ++i)
            if (method == positions[i]) SendMessageW(Handle(), WM_METHOD_CHOSEN, i, 0);
        SendMessageW(Handle(), WM_TARGET_CHOSEN, 0, 0);
        ShowPage(Page::Profile);
        if (!openSecondFolder) return;
        // Into the second folder, with its first rule selected.
        HWND list = ProfilePage().List();
        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        SendMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }

    std::wstring page_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    if (!CWinAppEx::InitInstance()) return 1;
    {
        CShowcase dialog(commandLine ? commandLine : L"target");
        dialog.DoModal(instance, nullptr);
    }
    CWinAppEx::ExitInstance();
    return 0;
}
