#include "configure/OptionsDialog.h"

#include <cderr.h>
#include <commdlg.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "common/AppPaths.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "configure/resource.h"

namespace ordvale {

CDialogOptions::CDialogOptions(const OptionValues& initial, std::wstring settingsFile)
    : CDialog(IDD_OPTIONS), initial_(initial), settingsFile_(std::move(settingsFile)) {}

BOOL CDialogOptions::OnInitDialog() {
    SetItemText(IDC_PROFILE_PATH, initial_.profileFile);
    CheckDlgButton(Handle(), IDC_SHOW_PROGRESS, initial_.showSystemProgress ? BST_CHECKED : BST_UNCHECKED);
    FillChoices(IDC_FILE_CONFLICT, kFileConflictChoices, initial_.fileConflict);
    FillChoices(IDC_FOLDER_CONFLICT, kFolderConflictChoices, initial_.folderConflict);
    return TRUE;
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
    if (!SaveOptionValues(settingsFile_, values)) {
        Warn(FillTemplate(LoadText(IDS_SAVE_FAILED).c_str(), {settingsFile_.c_str()}));
        return;
    }
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
