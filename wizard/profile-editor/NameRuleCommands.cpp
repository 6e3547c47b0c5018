#include "NameRuleCommands.h"

#include "DialogBatchNameRules.h"
#include "DialogNewNameNormal.h"
#include "DialogNewNameRegExp.h"
#include "PageProfile.h"
#include "RuleBatches.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

// One rule placed in the current folder; the failure message otherwise.
void PlaceOne(CPageProfile& page, FolderNode* folder, int kind, wchar_t first, wchar_t last,
              const std::wstring& expression, UINT failure) {
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceNameRule(page, &mode, folder, kind, first, last, expression.c_str())) {
        page.Message(page.Text(failure), MB_OK | MB_ICONERROR);
        return;
    }
    page.UpdateSaveButton();
    page.RefreshList();
    if (editor::RuleCount(*folder) > before) page.SelectItem(RuleRef(folder, before));
}

}  // namespace

void AddNameRangeCommand(CPageProfile& page) {
    FolderNode* folder = page.CurrentFolder();
    if (!folder) return;
    CDialogNewNameNormal dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    PlaceOne(page, folder, kNameRange, dialog.first, dialog.last, std::wstring(), IDS_ADD_NAME_RULE_FAILED);
}

void AddNameRegExpCommand(CPageProfile& page) {
    FolderNode* folder = page.CurrentFolder();
    if (!folder) return;
    CDialogNewNameRegExp dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    PlaceOne(page, folder, kNameRegExp, 0, 0, dialog.expression, IDS_ADD_REGEXP_RULE_FAILED);
}

void AddNameBatchCommand(CPageProfile& page) {
    FolderNode* folder = page.CurrentFolder();
    if (!folder) return;
    CDialogBatchNameRules dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    // Finished or aborted, what was made so far shows.
    editor::PlaceNameRangeBatch(page, folder, dialog.first, dialog.last, dialog.parts, dialog.createFolders);
    page.RefreshList();
    page.UpdateSaveButton();
}

}  // namespace ordvale::wizard
