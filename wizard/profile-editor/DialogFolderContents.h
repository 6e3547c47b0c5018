// The folder-contents pane (dialog 137): what the current folder holds, or
// how many folders and rules are selected.
#pragma once
#include <string>

#include "ProfilePane.h"

namespace ordvale::wizard {

struct FolderContentsFill {
    bool selection = false;  // counts of the selected items, not of the folder
    std::wstring name;       // "." for the root
    std::wstring path;       // the folder's effective path
    int folders = 0;
    int rules = 0;
    HICON icon = nullptr;    // handed over to the pane
};

class CDialogFolderContents : public CProfilePane {
public:
    CDialogFolderContents();
    void Fill(const FolderContentsFill& fill);
    void Clear() override;
};

}  // namespace ordvale::wizard
