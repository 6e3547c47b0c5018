// The folder property pane (dialog 134): the selected folder's name and,
// with "Absolute Path", the full path it is placed at instead of inside its
// parent.
#pragma once
#include <string>

#include "ProfilePane.h"
#include "RuleEdits.h"

namespace ordvale::wizard {

class EditorContext;

struct FolderPropertyFill {
    bool hasLocation = false;
    std::wstring name;
    std::wstring displayPath;  // the folder's place in the profile (.\Docs\Letters\ for one)
    std::wstring location;
    HICON icon = nullptr;      // handed over to the pane
};

class CDialogFolderProperty : public CProfilePane {
public:
    CDialogFolderProperty();
    void Fill(const FolderPropertyFill& fill);
    void Clear() override;
    // The name edit, all of it selected.
    void FocusFirstField() override;
    editor::FolderPaneValues Values() const;
    void ShowDisplayPath(const std::wstring& path);

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WORD id, WORD code, HWND control) override;
    bool EnterUpdatesIn(int controlId) const override;

private:
    // The browse edit and its button: shown and enabled with "Absolute Path".
    void ShowLocation(bool shown);
    CMFCEditBrowseCtrl browse_;
};

// How the page fills this pane from a folder, tests it and applies it.
PaneBinding BindFolderPane(EditorContext& context, CDialogFolderProperty& pane);

}  // namespace ordvale::wizard
