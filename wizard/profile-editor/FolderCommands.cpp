#include "FolderCommands.h"

#include "DialogNewFolder.h"
#include "EditorContext.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

void AddFolderCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    editor::PlacementHost& host = context.Placement();
    CDialogNewFolder dialog;
    if (dialog.DoModal(context.Resources(), host.Owner()) != IDOK) return;
    FolderNode* added = editor::AddFolder(host, folder, dialog.name, dialog.location);
    if (!added) {
        host.Message(host.Text(IDS_ADD_FOLDER_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    context.Changed(EditorChange::Listed(FolderRef(added)));
}

void DeleteItemsCommand(EditorContext& context, const std::vector<ProfileItemRef>& items,
                        const std::function<void(FolderNode*)>& beforeFolderGoes) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    editor::PlacementHost& host = context.Placement();
    const ItemCounts counts = CountItems(items);
    const std::wstring question =
        FillTemplate(host.Text(IDS_DELETE_ITEMS_QUESTION).c_str(),
                     {std::to_wstring(counts.folders).c_str(), std::to_wstring(counts.rules).c_str()});
    if (host.Message(question, MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return;
    bool removed = false;
    // From the last item to the first: rules go by position, and the
    // positions of the ones still to go do not move.
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        const ProfileItemRef& item = *it;
        if (item.method != folder->Method()) continue;
        if (item.IsFolder() && item.folder->parent == folder) {
            beforeFolderGoes(item.folder);
            removed |= editor::DeleteChildFolder(folder, item.folder) == editor::DeleteResult::Deleted;
        } else if (item.IsRule() && item.folder == folder && item.kind == RuleItemKind(folder->Method())) {
            removed |= editor::RemoveRuleAt(folder, item.ruleIndex);
        }
    }
    if (removed) context.Changed(EditorChange::Listed());
}

}  // namespace ordvale::wizard
