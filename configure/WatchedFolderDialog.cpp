#include "configure/WatchedFolderDialog.h"

#include <shlobj.h>

#include "WizardLogic.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "configure/WatchedFolderList.h"
#include "configure/resource.h"

namespace ordvale {

namespace {

constexpr UINT kMethodTexts[] = {IDS_METHOD_TYPE, IDS_METHOD_TIME, IDS_METHOD_SIZE, IDS_METHOD_NAME};

int CurrentIndex(HWND dialog, int comboId) {
    return static_cast<int>(SendDlgItemMessageW(dialog, comboId, CB_GETCURSEL, 0, 0));
}

}  // namespace

CDialogWatchedFolder::CDialogWatchedFolder() : CDialog(IDD_WATCHED_FOLDER) {}

BOOL CDialogWatchedFolder::OnInitDialog() {
    for (UINT text : kMethodTexts)
        SendDlgItemMessageW(Handle(), IDC_WF_METHOD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LoadText(text).c_str()));
    SendDlgItemMessageW(Handle(), IDC_WF_METHOD, CB_SETCURSEL, 0, 0);
    FillProfiles();
    return TRUE;
}

void CDialogWatchedFolder::FillProfiles() {
    const int method = MethodAtPosition(CurrentIndex(Handle(), IDC_WF_METHOD));
    profiles_ = wizard::LoadProfileList(profileFile.c_str(), method);
    SendDlgItemMessageW(Handle(), IDC_WF_PROFILE, CB_RESETCONTENT, 0, 0);
    for (const ProfileEntry& entry : profiles_)
        SendDlgItemMessageW(Handle(), IDC_WF_PROFILE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.displayName));
    const int chosen = wizard::DefaultEntryIndex(profiles_);
    SendDlgItemMessageW(Handle(), IDC_WF_PROFILE, CB_SETCURSEL, static_cast<WPARAM>(chosen >= 0 ? chosen : 0), 0);
}

void CDialogWatchedFolder::Browse(int editId) {
    const std::wstring title = LoadText(editId == IDC_WF_FOLDER ? IDS_WATCHED_BROWSE_FOLDER : IDS_WATCHED_BROWSE_DESTINATION);
    BROWSEINFOW info = {};
    info.hwndOwner = Handle();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
    if (!chosen) return;
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(chosen, path)) SetItemText(editId, path);
    CoTaskMemFree(chosen);
}

void CDialogWatchedFolder::Accept() {
    WatchedFolder folder;
    folder.folder = TrimBlanks(ItemText(IDC_WF_FOLDER));
    folder.method = MethodAtPosition(CurrentIndex(Handle(), IDC_WF_METHOD));
    const int profile = CurrentIndex(Handle(), IDC_WF_PROFILE);
    if (profile >= 0 && profile < static_cast<int>(profiles_.size())) folder.profileId = FieldText(profiles_[profile].id);
    folder.destination = TrimBlanks(ItemText(IDC_WF_DESTINATION));
    if (UINT problem = ValidateWatchedFolder(folder, existing)) {
        win::ShowMessageBox(Handle(), LoadText(problem), Title(), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    result = folder;
    End(IDOK);
}

BOOL CDialogWatchedFolder::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDOK:
            Accept();
            return TRUE;
        case IDCANCEL:
            End(IDCANCEL);
            return TRUE;
        case IDC_WF_METHOD:
            if (code == CBN_SELCHANGE) FillProfiles();
            return TRUE;
        case IDC_WF_FOLDER_BROWSE:
        case IDC_WF_DESTINATION_BROWSE:
            if (code == BN_CLICKED) Browse(id == IDC_WF_FOLDER_BROWSE ? IDC_WF_FOLDER : IDC_WF_DESTINATION);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace ordvale
