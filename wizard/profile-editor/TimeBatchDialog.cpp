#include "TimeBatchDialog.h"

namespace ordvale::wizard {

CTimeBatchDialog::CTimeBatchDialog(UINT templateId, int foldersBox, int formatGroup, std::vector<int> formatOptions,
                                   bool foldersByDefault, int defaultFormat)
    : CDialogEx(templateId), makeFolders(foldersByDefault), format(defaultFormat), foldersBox_(foldersBox),
      formatGroup_(formatGroup), formatOptions_(std::move(formatOptions)) {}

BOOL CTimeBatchDialog::OnInitDialog() {
    CDialogEx::OnInitDialog();
    CheckDlgButton(Handle(), foldersBox_, makeFolders ? BST_CHECKED : BST_UNCHECKED);
    if (format >= 0 && format < static_cast<int>(formatOptions_.size()))
        CheckRadioButton(Handle(), formatOptions_.front(), formatOptions_.back(), formatOptions_[format]);
    FollowFolders();
    return TRUE;
}

void CTimeBatchDialog::FollowFolders() {
    const bool on = IsDlgButtonChecked(Handle(), foldersBox_) == BST_CHECKED;
    EnableWindow(Item(formatGroup_), on);
    for (int id : formatOptions_) EnableWindow(Item(id), on);
}

void CTimeBatchDialog::StoreFolderChoice() {
    makeFolders = IsDlgButtonChecked(Handle(), foldersBox_) == BST_CHECKED;
    for (std::size_t i = 0; i < formatOptions_.size(); ++i)
        if (IsDlgButtonChecked(Handle(), formatOptions_[i]) == BST_CHECKED) format = static_cast<int>(i);
}

BOOL CTimeBatchDialog::OnCommand(WORD id, WORD code, HWND control) {
    if (id == foldersBox_) {
        if (code == BN_CLICKED) FollowFolders();
        return TRUE;
    }
    if (id == IDOK) {
        OnOK();
        return TRUE;
    }
    return CDialogEx::OnCommand(id, code, control);
}

}  // namespace ordvale::wizard
