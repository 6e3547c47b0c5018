#include "FolderCommands.h"

#include "DialogNewFolder.h"
#include "EditorContext.h"
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

}  // namespace ordvale::wizard
