#include "NameRuleCommands.h"

#include "DialogBatchNameRules.h"
#include "DialogNewNameNormal.h"
#include "DialogNewNameRegExp.h"
#include "EditorContext.h"
#include "RuleBatches.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

// One rule placed in the current folder; the failure message otherwise.
void PlaceOne(EditorContext& context, FolderNode* folder, int kind, wchar_t first, wchar_t last,
              const std::wstring& expression, UINT failure) {
    editor::PlacementHost& host = context.Placement();
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceNameRule(host, &mode, folder, kind, first, last, expression.c_str())) {
        host.Message(host.Text(failure), MB_OK | MB_ICONERROR);
        return;
    }
    context.Changed(EditorChange::Listed(editor::RuleCount(*folder) > before ? RuleRef(folder, before)
                                                                            : ProfileItemRef{}));
}

}  // namespace

void AddNameRangeCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    CDialogNewNameNormal dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    PlaceOne(context, folder, kNameRange, dialog.first, dialog.last, std::wstring(), IDS_ADD_NAME_RULE_FAILED);
}

void AddNameRegExpCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    CDialogNewNameRegExp dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    PlaceOne(context, folder, kNameRegExp, 0, 0, dialog.expression, IDS_ADD_REGEXP_RULE_FAILED);
}

void AddNameBatchCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    CDialogBatchNameRules dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    // Finished or aborted, what was made so far shows.
    editor::PlaceNameRangeBatch(context.Placement(), folder, dialog.first, dialog.last, dialog.parts,
                                dialog.createFolders);
    context.Changed(EditorChange::Listed());
}

}  // namespace ordvale::wizard
