// The panes under the profile page's list, on the rectangle of static 1016:
// the folder-contents summary and the property panes, each property pane
// with its binding (ProfilePane.h). One pane shows at a time.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "DialogFolderContents.h"
#include "EditorContext.h"
#include "ProfilePane.h"

namespace ordvale::wizard {

class CPaneHost {
public:
    // The kind of item each property pane shows (ItemKind::None for the summary).
    static ItemKind ItemKindOf(PaneKind kind);
    // The pane that shows an item of this kind (the summary for ItemKind::None).
    static PaneKind PaneOf(ItemKind itemKind);

    // Makes a pane the host owns and registers it with bind(context, pane).
    template <class Pane, class Bind>
    void AddPane(PaneKind kind, EditorContext& context, Bind bind) {
        auto pane = std::make_unique<Pane>();
        Register(kind, pane.get(), bind(context, *pane));
        owned_.push_back(std::move(pane));
    }
    void Register(PaneKind kind, CProfilePane* pane, PaneBinding binding = {});
    // Creates every registered pane over the area (hidden) and hides the area.
    void Create(HINSTANCE module, HWND page, HWND area);
    // Registers the summary and the property panes of the profile editor,
    // each with its binding to the context, and creates them.
    void CreateEditorPanes(EditorContext& context, HINSTANCE module, HWND page, HWND area);

    CProfilePane* Pane(PaneKind kind) const { return Slot(kind).pane; }
    const PaneBinding& Binding(PaneKind kind) const { return Slot(kind).binding; }
    CDialogFolderContents& Contents() { return contents_; }
    PaneKind Shown() const { return shown_; }
    void Show(PaneKind kind);
    void HideAll();
    // Fills the property pane of the item's kind from it and returns true,
    // or false when there is no such pane. A pane filled again after
    // "&Update" keeps the keyboard focus.
    bool Fill(PaneKind kind, const ProfileItemRef& item);
    // Edit (F2): the focus into the shown pane's first field.
    void FocusShown();
    // The property pane whose changed or update message this is.
    enum class PaneMessage { None, Changed, Update };
    PaneMessage Classify(UINT message, PaneKind* kind) const;

private:
    struct PaneSlot {
        CProfilePane* pane = nullptr;
        PaneBinding binding;
    };
    const PaneSlot& Slot(PaneKind kind) const { return slots_[static_cast<int>(kind)]; }
    PaneSlot slots_[kPaneKinds];
    std::vector<std::unique_ptr<CProfilePane>> owned_;
    CDialogFolderContents contents_;
    PaneKind shown_ = PaneKind::FolderContents;
    HWND page_ = nullptr;
};

}  // namespace ordvale::wizard
