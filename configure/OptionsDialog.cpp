#include "configure/OptionsDialog.h"

#include <cderr.h>
#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/AppPaths.h"
#include "common/WatchedFolderEdits.h"
#include "common/Text.h"
#include "common/win/ListView.h"
#include "common/win/MessageBox.h"
#include "configure/WatchedFolderDialog.h"
#include "configure/WatchedFolderList.h"
#include "configure/resource.h"

namespace ordvale {

CDialogOptions::CDialogOptions(const OptionValues& initial, std::wstring settingsFile)
    : CDialog(IDD_OPTIONS), initial_(initial), settingsFile_(std::move(settingsFile)) {}

BOOL CDialogOptions::OnInitDialog() {
    SetItemText(IDC_PROFILE_PATH, initial_.profileFile);
    CheckDlgButton(Handle(), IDC_SHOW_PROGRESS, initial_.showSystemProgress ? BST_CHECKED : BST_UNCHECKED);
    FillChoices(IDC_FILE_CONFLICT, kFileConflictChoices, initial_.fileConflict);
    FillChoices(IDC_FOLDER_CONFLICT, kFolderConflictChoices, initial_.folderConflict);

    win::SetUpReportList(Handle(), Module(), IDC_WATCHED_LIST,
                         {{IDS_WATCHED_COLUMN_FOLDER, 110},
                          {IDS_WATCHED_COLUMN_METHOD, 42},
                          {IDS_WATCHED_COLUMN_PROFILE, 46},
                          {IDS_WATCHED_COLUMN_STATE, 166}});
    watched_ = LoadWatchedFolders(settingsFile_);
    FillWatched(watched_.empty() ? -1 : 0);
    return TRUE;
}

std::wstring CDialogOptions::StateText(const WatchedFolder& folder) const {
    const std::wstring profileFile = TrimBlanks(ItemText(IDC_PROFILE_PATH));
    const WatchedFolderStatus status = DecideWatchedFolderState(folder, ReadWatchedFolderFacts(folder, profileFile));
    switch (status.problem) {
        case WatchedFolderProblem::FolderMissing: return LoadText(IDS_STATE_FOLDER_MISSING);
        case WatchedFolderProblem::MethodUnknown: return LoadText(IDS_STATE_METHOD_UNKNOWN);
        case WatchedFolderProblem::DocumentMissing: return LoadText(IDS_STATE_DOCUMENT_MISSING);
        case WatchedFolderProblem::ProfileNotFound:
            return FillTemplate(LoadText(IDS_STATE_PROFILE_NOT_FOUND).c_str(), {folder.profileId.c_str()});
        case WatchedFolderProblem::None: break;
    }
    return LoadText(status.state == WatchedFolderState::Paused ? IDS_STATE_PAUSED : IDS_STATE_WATCHING);
}

void CDialogOptions::FillWatched(int select) {
    HWND list = Item(IDC_WATCHED_LIST);
    ListView_DeleteAllItems(list);
    for (int row = 0; row < static_cast<int>(watched_.size()); ++row) {
        const WatchedFolder& folder = watched_[row];
        win::AppendListRow(list, folder.folder);
        const int position = PositionOfMethod(folder.method);
        win::SetListCell(list, row, 1, position >= 0 ? LoadText(IDS_METHOD_TYPE + position) : std::to_wstring(folder.method));
        win::SetListCell(list, row, 2, folder.profileId);
        win::SetListCell(list, row, 3, StateText(folder));
    }
    if (select >= static_cast<int>(watched_.size())) select = static_cast<int>(watched_.size()) - 1;
    if (select >= 0) {
        ListView_SetItemState(list, select, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(list, select, FALSE);
    }
    UpdateWatchedButtons();
}

int CDialogOptions::SelectedWatched() const {
    const int row = ListView_GetNextItem(Item(IDC_WATCHED_LIST), -1, LVNI_SELECTED);
    return row >= 0 && row < static_cast<int>(watched_.size()) ? row : -1;
}

void CDialogOptions::UpdateWatchedButtons() const {
    const int row = SelectedWatched();
    EnableWindow(Item(IDC_WATCHED_REMOVE), row >= 0);
    EnableWindow(Item(IDC_WATCHED_PAUSE), row >= 0);
    SetItemText(IDC_WATCHED_PAUSE, LoadText(row >= 0 && watched_[row].paused ? IDS_WATCHED_RESUME : IDS_WATCHED_PAUSE));
}

void CDialogOptions::AddWatched() {
    CDialogWatchedFolder add;
    add.profileFile = TrimBlanks(ItemText(IDC_PROFILE_PATH));
    add.existing = watched_;
    if (add.DoModal(Module(), Handle()) != IDOK) return;
    AddWatchedFolder(&watched_, add.result);
    FillWatched(static_cast<int>(watched_.size()) - 1);
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_WATCHED_LIST)), TRUE);
}

void CDialogOptions::RemoveWatched() {
    const int row = SelectedWatched();
    if (row < 0) return;
    watched_.erase(watched_.begin() + row);
    FillWatched(row);
}

void CDialogOptions::TogglePaused() {
    const int row = SelectedWatched();
    if (row < 0) return;
    watched_[row].paused = !watched_[row].paused;
    FillWatched(row);
}

BOOL CDialogOptions::OnNotify(NMHDR* header, LRESULT* result) {
    if (header->idFrom != IDC_WATCHED_LIST) return FALSE;
    if (header->code == LVN_ITEMCHANGED) {
        UpdateWatchedButtons();
        return TRUE;
    }
    if (header->code == LVN_KEYDOWN) {
        const WORD key = reinterpret_cast<NMLVKEYDOWN*>(header)->wVKey;
        if (key == VK_DELETE) RemoveWatched();
        if (key == VK_SPACE) TogglePaused();
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

void CDialogOptions::FillChoices(int comboId, const ConflictChoices& choices, int32_t stored) const {
    for (UINT label : choices.labels)
        SendDlgItemMessageW(Handle(), comboId, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(LoadText(label).c_str()));
    SendDlgItemMessageW(Handle(), comboId, CB_SETCURSEL, static_cast<WPARAM>(PositionOf(choices, stored)), 0);
}

OptionValues CDialogOptions::ReadControls() const {
    OptionValues values;
    values.profileFile = TrimBlanks(ItemText(IDC_PROFILE_PATH));
    values.showSystemProgress = IsDlgButtonChecked(Handle(), IDC_SHOW_PROGRESS) == BST_CHECKED;
    values.fileConflict = ValueAt(
        kFileConflictChoices, static_cast<int>(SendDlgItemMessageW(Handle(), IDC_FILE_CONFLICT, CB_GETCURSEL, 0, 0)));
    values.folderConflict = ValueAt(
        kFolderConflictChoices,
        static_cast<int>(SendDlgItemMessageW(Handle(), IDC_FOLDER_CONFLICT, CB_GETCURSEL, 0, 0)));
    return values;
}

BOOL CDialogOptions::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDOK:
            Save();
            return TRUE;
        case IDCANCEL:
            End(IDCANCEL);
            return TRUE;
        case IDC_BROWSE:
            if (code == BN_CLICKED) Browse();
            return TRUE;
        case IDC_WATCHED_ADD:
            if (code == BN_CLICKED) AddWatched();
            return TRUE;
        case IDC_WATCHED_REMOVE:
            if (code == BN_CLICKED) RemoveWatched();
            return TRUE;
        case IDC_WATCHED_PAUSE:
            if (code == BN_CLICKED) TogglePaused();
            return TRUE;
        default:
            return FALSE;
    }
}

void CDialogOptions::Save() {
    const OptionValues values = ReadControls();
    if (UINT problem = Validate(values)) {
        std::wstring text = LoadText(problem);
        if (problem == IDS_PATH_NO_FOLDER)
            text = FillTemplate(text.c_str(), {ProfileFolderOf(values.profileFile).c_str()});
        Warn(text);
        FocusPath();
        return;
    }
    if (!SaveOptionValues(settingsFile_, values) || !SaveWatchedFolders(settingsFile_, watched_)) {
        Warn(FillTemplate(LoadText(IDS_SAVE_FAILED).c_str(), {settingsFile_.c_str()}));
        return;
    }
    // A watcher that runs reads the file again by itself; one that does not
    // is started when there is a folder to watch.
    if (std::any_of(watched_.begin(), watched_.end(), [](const WatchedFolder& w) { return !w.paused; }))
        StartWatcher(ModuleFolder());
    End(IDOK);
}

void CDialogOptions::Warn(const std::wstring& text) const {
    win::ShowMessageBox(Handle(), text, Title(), MB_OK | MB_ICONEXCLAMATION);
}

void CDialogOptions::FocusPath() const {
    SendMessageW(Handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDC_PROFILE_PATH)), TRUE);
}

void CDialogOptions::Browse() {
    const std::wstring current = TrimBlanks(ItemText(IDC_PROFILE_PATH));
    // The dialog starts in the folder of the current path, with its name
    // filled in, when that folder exists.
    std::wstring folder, name;
    if (FolderExists(current)) {
        folder = current;
    } else if (FolderExists(ProfileFolderOf(current))) {
        folder = ProfileFolderOf(current);
        name = current.substr(current.find_last_of(L"\\/") + 1);
    }
    std::vector<wchar_t> file(32768, L'\0');
    std::copy_n(name.begin(), std::min(name.size(), file.size() - 1), file.begin());

    std::wstring filter = LoadText(IDS_BROWSE_FILTER);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    const std::wstring title = LoadText(IDS_BROWSE_TITLE);

    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Handle();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = L"xml";
    // An existing document is chosen to be used, not replaced, and a new one
    // is created later by the wizard: no overwrite question, no test file.
    ofn.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                OFN_NOTESTFILECREATE;
    BOOL chosen = GetSaveFileNameW(&ofn);
    if (!chosen && CommDlgExtendedError() == FNERR_INVALIDFILENAME) {
        // A name the dialog does not accept: start without one.
        file[0] = L'\0';
        chosen = GetSaveFileNameW(&ofn);
    }
    if (chosen) SetItemText(IDC_PROFILE_PATH, file.data());
    FocusPath();
}

}  // namespace ordvale
