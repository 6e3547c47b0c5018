// "Add Watched Folder": the folder, the method, a profile of that method
// from the profile document, and the destination (empty: the default one).
// OK checks the values and ends the dialog with IDOK, the folder in
// `result`; Cancel ends it with IDCANCEL.
#pragma once

#include <string>
#include <vector>

#include "common/MethodProfile.h"
#include "common/WatchedFolders.h"
#include "common/win/Dialog.h"

namespace ordvale {

class CDialogWatchedFolder : public win::CDialog {
public:
    CDialogWatchedFolder();

    // Inputs.
    std::wstring profileFile;
    std::vector<WatchedFolder> existing;  // a folder among them is not taken twice
    // Output.
    WatchedFolder result;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;

private:
    void FillProfiles();
    void Browse(int editId);
    void Accept();

    std::vector<ProfileEntry> profiles_;
};

}  // namespace ordvale
