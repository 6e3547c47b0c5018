// The folder of the loaded profile that the profile page shows, and the
// moves between folders: into a subfolder (the first selected one, or a
// path-box entry), up to the parent, or staying to list again. Each move
// lists the folder (subfolders, then rules), puts the path box on it and
// shows the pane of the selection. Nothing moves while no profile is loaded.
#pragma once

#include "EditorTexts.h"
#include "PathBox.h"
#include "ProfileItemRef.h"
#include "ProfileList.h"
#include "ProfileSession.h"
#include "SelectionPane.h"

namespace ordvale::wizard {

class CFolderLocation {
public:
    CFolderLocation(const editor::ProfileSession& session, const editor::TextSource& texts, CProfileList& list,
                    CPathBox& pathBox, CSelectionPane& pane)
        : session_(session), texts_(texts), list_(list), pathBox_(pathBox), pane_(pane) {}
    CFolderLocation(const CFolderLocation&) = delete;
    CFolderLocation& operator=(const CFolderLocation&) = delete;

    // The folder shown; nullptr while no profile is loaded.
    FolderNode* Folder() const;
    // The loaded profile from its root.
    void ShowRoot(FolderNode* root);
    // No folder (the profile is gone).
    void Forget() { current_ = ProfileItemRef{}; }

    enum class Go { Enter, Up, Refresh };
    // Enter needs a folder of the loaded model; Up stays at the root.
    void Navigate(Go go, const ProfileItemRef* folder = nullptr);
    // Enter into the first selected item when it is a folder.
    void OpenSelected();
    // Enter into the folder of the path box's chosen entry.
    void OpenPathEntry();
    // Lists the current folder again and shows the pane.
    void Refresh();

private:
    const editor::ProfileSession& session_;
    const editor::TextSource& texts_;
    CProfileList& list_;
    CPathBox& pathBox_;
    CSelectionPane& pane_;
    ProfileItemRef current_;
};

}  // namespace ordvale::wizard
