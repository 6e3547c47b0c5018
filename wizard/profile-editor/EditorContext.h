// What the profile editor's commands and panes see of the page: the folder
// the list shows, the host of every placement (its questions, messages and
// rule display), and one call after an edit that says what to show again.
//
// Changes made while a command runs are gathered and shown once when it
// ends, always in the same order: the path box, then the list (or the one
// changed row and its pane), then the selection, then Save, which follows
// the profile's modified flag alone.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "Placement.h"
#include "ProfileItemRef.h"

namespace ordvale::wizard {

// What the page shows again after an edit. Refreshes grow in this order:
// a later, larger one takes the place of a smaller one.
enum class Refresh {
    None,        // nothing listed changed (Save follows the profile all the same)
    Row,         // the item's row: its name, image and description
    RowAndPane,  // the row, and the item's pane filled again
    List,        // the current folder listed again (its pane shown anew)
};

struct EditorChange {
    Refresh refresh = Refresh::None;
    // Row and RowAndPane: the changed item.
    ProfileItemRef item;
    // Selected alone afterwards; ItemKind::None keeps what the refresh leaves.
    ProfileItemRef select;
    // Folders whose name or location changed: their path-box entries, and
    // those of the folders below them, show their paths again.
    std::vector<FolderNode*> renamed;

    // The current folder listed again, then `select` selected (when given).
    static EditorChange Listed(const ProfileItemRef& select = {});
    // One item changed in place; withPane also fills its pane again.
    static EditorChange Edited(const ProfileItemRef& item, bool withPane);
    // A folder item renamed or relocated: its row and path entries follow.
    static EditorChange Renamed(const ProfileItemRef& folder);

    // Takes a later change in: the larger refresh (two different rows make
    // a listing), the later selection, every renamed folder.
    void Merge(const EditorChange& later);
};

// The page's side of showing a change.
class ChangeView {
public:
    virtual ~ChangeView() = default;
    virtual void ShowPathsOf(FolderNode* folder) = 0;
    virtual void ListAgain() = 0;
    virtual void ShowRow(const ProfileItemRef& item) = 0;
    virtual void FillPaneAgain(const ProfileItemRef& item) = 0;
    virtual void SelectAlone(const ProfileItemRef& item) = 0;
    virtual void ShowSaveState() = 0;
};

// Gathers the changes of one command and shows them once, in one order.
class ChangeQueue {
public:
    explicit ChangeQueue(ChangeView& view) : view_(view) {}
    ChangeQueue(const ChangeQueue&) = delete;
    ChangeQueue& operator=(const ChangeQueue&) = delete;

    // Shown at once outside a Hold; gathered inside one.
    void Add(const EditorChange& change);
    // While one lives, changes wait; the last one to end shows them.
    class Hold {
    public:
        explicit Hold(ChangeQueue& queue) : queue_(queue) { ++queue_.holds_; }
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        ChangeQueue& queue_;
    };

private:
    void Show();

    ChangeView& view_;
    EditorChange pending_;
    bool hasPending_ = false;
    int holds_ = 0;
};

class EditorContext {
public:
    virtual ~EditorContext() = default;
    // The folder the list shows; nullptr while no profile is loaded.
    virtual FolderNode* CurrentFolder() const = 0;
    // Questions, messages and rule display of the placements; its Owner()
    // owns the dialogs the commands run.
    virtual editor::PlacementHost& Placement() = 0;
    // The module holding the dialogs' templates.
    virtual HINSTANCE Resources() const = 0;
    // A copy of the list's large icon at this image index (the caller owns it).
    virtual HICON LargeIcon(int image) const = 0;
    // After an edit: what to show again (see ChangeQueue).
    virtual void Changed(const EditorChange& change) = 0;
};

}  // namespace ordvale::wizard
