#include "TypeRuleCommands.h"

#include "DialogBatchTypes.h"
#include "DialogNewType.h"
#include "PageProfile.h"
#include "RuleBatches.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

void AddTypeRuleCommand(CPageProfile& page) {
    FolderNode* folder = page.CurrentFolder();
    if (!folder) return;
    CDialogNewType dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceTypeRule(page, folder, dialog.extension, &mode, kTypeExtension)) {
        page.Message(CutToField(FillTemplate(page.Text(IDS_FAILED_TYPE_RULE).c_str(), {dialog.extension.c_str()})),
                     MB_OK | MB_ICONERROR);
        return;
    }
    page.UpdateSaveButton();
    page.RefreshList();
    if (editor::RuleCount(*folder) > before) page.SelectItem(RuleRef(folder, before));
}

void AddTypeBatchCommand(CPageProfile& page) {
    FolderNode* folder = page.CurrentFolder();
    if (!folder) return;
    CDialogBatchTypes dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    if (editor::PlaceTypeRuleBatch(page, folder, dialog.extensions) == 0) return;
    page.UpdateSaveButton();
    page.RefreshList();
}

}  // namespace ordvale::wizard
