#include "SelectionPane.h"

#include "EditorIcons.h"
#include "RuleDisplay.h"
#include "common/win/Dpi.h"
#include "resource.h"

namespace ordvale::wizard {

bool CSelectionPane::PaneItem(PaneKind kind, ProfileItemRef* item) const {
    FolderNode* folder = context_.CurrentFolder();
    const int first = ListView_GetNextItem(list_.Handle(), -1, LVNI_SELECTED);
    const ProfileItemRef* ref = folder && first >= 0 ? list_.ItemRefAt(first) : nullptr;
    if (!ref || ref->kind != CPaneHost::ItemKindOf(kind) || ref->method != folder->Method()) return false;
    if (ref->IsFolder() ? ref->folder->parent != folder : (ref->folder != folder || !ref->Rule())) return false;
    *item = *ref;
    return true;
}

void CSelectionPane::OnChanged(PaneKind kind) {
    const PaneBinding& binding = panes_.Binding(kind);
    ProfileItemRef item;
    panes_.Pane(kind)->EnableUpdate(PaneItem(kind, &item) && binding.differs && binding.differs(item));
}

void CSelectionPane::Update(PaneKind kind) {
    ProfileItemRef item;
    if (!PaneItem(kind, &item)) {
        editor::PlacementHost& host = context_.Placement();
        host.Message(host.Text(IDS_INTERNAL_ERROR), MB_OK | MB_ICONERROR);
        return;
    }
    panes_.Binding(kind).apply(item);
}

void CSelectionPane::FillAgain(const ProfileItemRef& item) {
    ProfileItemRef shown;
    const PaneKind kind = CPaneHost::PaneOf(item.kind);
    if (PaneItem(kind, &shown) && shown == item) panes_.Fill(kind, item);
}

void CSelectionPane::Show() {
    FolderNode* folder = context_.CurrentFolder();
    if (!folder) {
        panes_.HideAll();
        return;
    }
    const std::vector<int> selected = list_.SelectedIndexes();
    if (selected.size() == 1) {
        const ProfileItemRef* ref = list_.ItemRefAt(selected[0]);
        if (ref) {
            const PaneKind kind = CPaneHost::PaneOf(ref->kind);
            if (panes_.Fill(kind, *ref)) {
                panes_.Show(kind);
                return;
            }
        }
    }
    ShowSummary(folder, selected);
}

void CSelectionPane::ShowSummary(FolderNode* folder, const std::vector<int>& selected) {
    FolderContentsFill fill;
    fill.name = folder->parent ? std::wstring(folder->displayName) : L".";
    fill.path = folder->effectivePath;
    if (selected.empty()) {
        fill.folders = static_cast<int>(folder->children.size());
        fill.rules = editor::RuleCount(*folder);
        fill.icon = context_.LargeIcon(editor::kIconFolder);
    } else {
        fill.selection = true;
        const ItemCounts counts = CountItems(list_.SelectedItems());
        fill.folders = counts.folders;
        fill.rules = counts.rules;
        // One item: its own icon; several: the selection's.
        const int image = selected.size() == 1 ? list_.ImageAt(selected[0]) : -1;
        fill.icon = image >= 0 ? context_.LargeIcon(image)
                               : LoadIconSized(context_.Resources(), IDI_MULTI_SELECTION,
                                               win::LargeIconSize(win::WindowDpi(page_)));
    }
    CDialogFolderContents& contents = panes_.Contents();
    contents.SetPage(page_);
    contents.Fill(fill);
    panes_.Show(PaneKind::FolderContents);
}

}  // namespace ordvale::wizard
