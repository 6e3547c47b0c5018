// Which pane the profile page shows under its list, and the property panes'
// hold on the item they show. One selected folder or rule shows its
// property pane; no selection, several items, or an item without a pane
// show the summary of the current folder or of the selection.
#pragma once
#include <windows.h>

#include "EditorContext.h"
#include "PaneHost.h"
#include "ProfileList.h"

namespace ordvale::wizard {

class CSelectionPane {
public:
    CSelectionPane(const CProfileList& list, CPaneHost& panes, EditorContext& context)
        : list_(list), panes_(panes), context_(context) {}
    CSelectionPane(const CSelectionPane&) = delete;
    CSelectionPane& operator=(const CSelectionPane&) = delete;

    // The page the summary belongs to (its DPI sizes the summary's icon).
    void Attach(HWND page) { page_ = page; }

    // Fills and shows the pane of the selection, or the folder's summary;
    // hides every pane while no folder is shown.
    void Show();
    // The first selected item, when it is a folder or rule of the pane's
    // kind in the loaded model, shown in the current folder.
    bool PaneItem(PaneKind kind, ProfileItemRef* item) const;
    // A field of the pane changed: Update is on when the pane's values
    // differ from its item's.
    void OnChanged(PaneKind kind);
    // The pane's "&Update": its values go to its item (an item gone is an
    // internal error).
    void Update(PaneKind kind);
    // The item's pane takes its values again, when the item is the one shown.
    void FillAgain(const ProfileItemRef& item);

private:
    void ShowSummary(FolderNode* folder, const std::vector<int>& selected);

    const CProfileList& list_;
    CPaneHost& panes_;
    EditorContext& context_;
    HWND page_ = nullptr;
};

}  // namespace ordvale::wizard
