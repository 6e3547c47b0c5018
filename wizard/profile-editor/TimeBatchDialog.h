// What the three time batch dialogs (by year, by month, by day) share: the
// check box "Create Folder For Each Rule" with its group of folder-name
// formats, enabled exactly while the box is checked, and OK, which each
// dialog checks in its own way.
#pragma once
#include <vector>

#include "framework/Framework.h"

namespace ordvale::wizard {

class CTimeBatchDialog : public CDialogEx {
public:
    // Inputs and outputs: a folder for each rule, named in this format (the
    // index of its option, in the order of the dialog's options).
    bool makeFolders;
    int format;

protected:
    CTimeBatchDialog(UINT templateId, int foldersBox, int formatGroup, std::vector<int> formatOptions,
                     bool foldersByDefault, int defaultFormat);
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    // OK: read and check the dialog's own fields; store them, then the
    // folder choices (StoreFolderChoice), and close; or refuse and stay.
    virtual void OnOK() = 0;
    void StoreFolderChoice();

private:
    void FollowFolders();
    int foldersBox_;
    int formatGroup_;
    std::vector<int> formatOptions_;
};

}  // namespace ordvale::wizard
