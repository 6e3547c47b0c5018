#include "SizeTimeCommands.h"

#include <vector>

#include "DialogBatchSizeRules.h"
#include "DialogNewSize.h"
#include "DialogNewTime.h"
#include "DialogTimeRuleByDay.h"
#include "DialogTimeRuleByMonth.h"
#include "DialogTimeRuleByYear.h"
#include "EditorContext.h"
#include "SizeRules.h"
#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

// After a single rule was placed: the list again, the new rule selected.
void ShowPlacedRule(EditorContext& context, FolderNode* folder, int rulesBefore) {
    context.Changed(EditorChange::Listed(editor::RuleCount(*folder) > rulesBefore ? RuleRef(folder, rulesBefore)
                                                                                 : ProfileItemRef{}));
}

// After a batch: the abort message when it stopped on the way; the list
// again either way (what was made before stays).
void ShowBatch(EditorContext& context, bool placed) {
    editor::PlacementHost& host = context.Placement();
    if (!placed) host.Message(host.Text(IDS_BATCH_ABORTED), MB_OK | MB_ICONERROR);
    context.Changed(EditorChange::Listed());
}

}  // namespace

void AddSizeRuleCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    CDialogNewSize dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceSizeRule(context.Placement(), &mode, folder, kSizeRange, &dialog.lower, &dialog.upper)) {
        context.Placement().Message(context.Placement().Text(IDS_ADD_SIZE_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    ShowPlacedRule(context, folder, before);
}

void AddSizeBatchCommand(EditorContext& context) {
    if (!context.CurrentFolder()) return;
    CDialogBatchSizeRules dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    const std::vector<editor::SizeRange> ranges = editor::SizeBatchSteps(dialog.from, dialog.to, dialog.step);
    ShowBatch(context,
              editor::PlaceSizeBatch(context.Placement(), context.CurrentFolder(), ranges, dialog.makeFolders));
}

void AddSizeFoldersCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceSizeRule(context.Placement(), &mode, folder, kSizeFolders, nullptr, nullptr)) {
        context.Placement().Message(context.Placement().Text(IDS_ADD_SIZE_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    ShowPlacedRule(context, folder, before);
}

void AddTimeRuleCommand(EditorContext& context) {
    FolderNode* folder = context.CurrentFolder();
    if (!folder) return;
    CDialogNewTime dialog;
    if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceTimeRule(context.Placement(), &mode, folder, &dialog.begin, &dialog.end)) {
        context.Placement().Message(context.Placement().Text(IDS_ADD_TIME_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    ShowPlacedRule(context, folder, before);
}

void AddTimeBatchCommand(EditorContext& context, WORD command) {
    if (!context.CurrentFolder()) return;
    const editor::ModuleTexts texts(context.Resources());
    std::vector<editor::TimeBatchRule> rules;
    bool makeFolders = false;
    if (command == ID_ADD_TIME_BY_YEAR) {
        CDialogTimeRuleByYear dialog;
        if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
        rules = editor::RulesByYear(texts, dialog.firstYear, dialog.lastYear, dialog.format);
        makeFolders = dialog.makeFolders;
    } else if (command == ID_ADD_TIME_BY_MONTH) {
        CDialogTimeRuleByMonth dialog;
        if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
        rules = editor::RulesByMonth(texts, dialog.year, dialog.firstMonth, dialog.lastMonth, dialog.format);
        makeFolders = dialog.makeFolders;
    } else {
        CDialogTimeRuleByDay dialog;
        if (dialog.DoModal(context.Resources(), context.Placement().Owner()) != IDOK) return;
        rules = editor::RulesByDay(texts, dialog.year, dialog.month, dialog.firstDay, dialog.lastDay, dialog.format);
        makeFolders = dialog.makeFolders;
    }
    ShowBatch(context, editor::PlaceTimeBatch(context.Placement(), context.CurrentFolder(), rules, makeFolders));
}

}  // namespace ordvale::wizard
