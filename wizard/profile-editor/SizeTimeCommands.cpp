#include "SizeTimeCommands.h"

#include <vector>

#include "DialogBatchSizeRules.h"
#include "DialogNewSize.h"
#include "DialogNewTime.h"
#include "DialogTimeRuleByDay.h"
#include "DialogTimeRuleByMonth.h"
#include "DialogTimeRuleByYear.h"
#include "PageProfile.h"
#include "SizeRules.h"
#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

// After a single rule was placed: the list again, Save, the new rule selected.
void ShowPlacedRule(CPageProfile& page, FolderNode* folder, int rulesBefore) {
    page.UpdateSaveButton();
    page.RefreshList();
    if (editor::RuleCount(*folder) > rulesBefore) page.SelectItem(RuleRef(folder, rulesBefore));
}

// After a batch: the abort message when it stopped on the way; the list
// again and Save either way (what was made before stays).
void ShowBatch(CPageProfile& page, bool placed) {
    if (!placed) page.Message(page.Text(IDS_BATCH_ABORTED), MB_OK | MB_ICONERROR);
    page.RefreshList();
    page.UpdateSaveButton();
}

}  // namespace

void AddSizeRuleCommand(CPageProfile& page) {
    FolderNode* folder = page.CurrentFolder();
    if (!folder) return;
    CDialogNewSize dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceSizeRule(page, &mode, folder, kSizeRange, &dialog.lower, &dialog.upper)) {
        page.Message(page.Text(IDS_ADD_SIZE_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    ShowPlacedRule(page, folder, before);
}

void AddSizeBatchCommand(CPageProfile& page) {
    if (!page.CurrentFolder()) return;
    CDialogBatchSizeRules dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    const std::vector<editor::SizeRange> ranges = editor::SizeBatchSteps(dialog.from, dialog.to, dialog.step);
    ShowBatch(page, editor::PlaceSizeBatch(page, page.CurrentFolder(), ranges, dialog.makeFolders));
}

void AddTimeRuleCommand(CPageProfile& page) {
    FolderNode* folder = page.CurrentFolder();
    if (!folder) return;
    CDialogNewTime dialog;
    if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
    editor::PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceTimeRule(page, &mode, folder, &dialog.begin, &dialog.end)) {
        page.Message(page.Text(IDS_ADD_TIME_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    ShowPlacedRule(page, folder, before);
}

void AddTimeBatchCommand(CPageProfile& page, WORD command) {
    if (!page.CurrentFolder()) return;
    const editor::ModuleTexts texts(page.Module());
    std::vector<editor::TimeBatchRule> rules;
    bool makeFolders = false;
    if (command == ID_ADD_TIME_BY_YEAR) {
        CDialogTimeRuleByYear dialog;
        if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
        rules = editor::RulesByYear(texts, dialog.firstYear, dialog.lastYear, dialog.format);
        makeFolders = dialog.makeFolders;
    } else if (command == ID_ADD_TIME_BY_MONTH) {
        CDialogTimeRuleByMonth dialog;
        if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
        rules = editor::RulesByMonth(texts, dialog.year, dialog.firstMonth, dialog.lastMonth, dialog.format);
        makeFolders = dialog.makeFolders;
    } else {
        CDialogTimeRuleByDay dialog;
        if (dialog.DoModal(page.Module(), page.Handle()) != IDOK) return;
        rules = editor::RulesByDay(texts, dialog.year, dialog.month, dialog.firstDay, dialog.lastDay, dialog.format);
        makeFolders = dialog.makeFolders;
    }
    ShowBatch(page, editor::PlaceTimeBatch(page, page.CurrentFolder(), rules, makeFolders));
}

}  // namespace ordvale::wizard
