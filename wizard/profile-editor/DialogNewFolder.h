// New Folder (dialog 139): a folder name and, for a folder outside the
// profile's tree, a full path to place it in (an absolute path on a drive).
#pragma once
#include <string>

#include "framework/Framework.h"

namespace ordvale::wizard {

class CDialogNewFolder : public CDialogEx {
public:
    CDialogNewFolder();
    // Outputs on OK.
    std::wstring name;      // as typed
    std::wstring location;  // the path with "Full Path", else empty

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void OnOK();
    // The message (captioned with the dialog's title), then the focus on the field.
    void Refuse(UINT message, int field);
    CMFCEditBrowseCtrl browse_;
};

}  // namespace ordvale::wizard
