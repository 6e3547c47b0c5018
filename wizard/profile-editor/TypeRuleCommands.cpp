#include "TypeRuleCommands.h"

#include "DialogBatchTypes.h"
#include "DialogNewType.h"
#include "EditorContext.h"
#include "RuleBatches.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

// One rule placed in the current folder, and selected when it is new there;
// the failure message with the rule's name otherwise.
void PlaceOne(EditorContext& context, FolderNode* folder, const std::wstring& name, int kind) {
    editor::PlacementHost& host = context.Placement();
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceTypeRule(host, folder, name, &mode, kind)) {
        host.Message(CutToField(FillTemplate(host.Text(IDS_FAILED_TYPE_RULE).c_str(), {name.c_str()})),
                     MB_OK | MB_ICONERROR);
        return;
    }
    context.Changed(EditorChange::Listed(editor::RuleCount(*folder) > before ? RuleRef(folder, before)
                                                                            : ProfileItemRef{}));
}

}  // namespace

void AddTypeRuleCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    CDialogNewType dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    PlaceOne(context, folder, dialog.extension, kTypeExtension);
}

void AddTypeSpecialCommand(EditorContext& context, int kind, const wchar_t* name) {
    if (FolderNode* folder = context.CurrentFolder()) PlaceOne(context, folder, name, kind);
}

void AddTypeBatchCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    CDialogBatchTypes dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    if (editor::PlaceTypeRuleBatch(context.Placement(), folder, dialog.extensions) == 0) return;
    context.Changed(EditorChange::Listed());
}

}  // namespace ordvale::wizard
