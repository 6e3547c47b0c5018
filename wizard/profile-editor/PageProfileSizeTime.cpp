// The profile page's size and time rules: the two rule panes (filling them,
// the change tests that enable "&Update", applying a change through
// placement) and the commands of the size and time Add menus.
#include "PageProfile.h"

#include <commctrl.h>

#include "DialogBatchSizeRules.h"
#include "DialogNewSize.h"
#include "DialogNewTime.h"
#include "DialogTimeRuleByDay.h"
#include "DialogTimeRuleByMonth.h"
#include "DialogTimeRuleByYear.h"
#include "SizeRules.h"
#include "TimeRules.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

using editor::PlacementMode;

void CPageProfile::RegisterSizeTimeCommands() {
    RegisterAddCommand(ID_ADD_SIZE_RULE, [this] { AddSizeRuleCommand(); });
    RegisterAddCommand(ID_ADD_SIZE_BATCH, [this] { AddSizeBatchCommand(); });
    RegisterAddCommand(ID_ADD_TIME_RULE, [this] { AddTimeRuleCommand(); });
    for (WORD command : {ID_ADD_TIME_BY_YEAR, ID_ADD_TIME_BY_MONTH, ID_ADD_TIME_BY_DAY})
        RegisterAddCommand(command, [this, command] { AddTimeBatchCommand(command); });
}

// ---- Shared by the rule panes ----

const ProfileItemRef* CPageProfile::FirstSelectedRule(int kind, int* index) const {
    FolderNode* folder = CurrentFolder();
    const int first = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
    const ProfileItemRef* ref = first >= 0 ? ItemRefAt(first) : nullptr;
    if (!folder || !ref || ref->kind != kind || ref->folder != folder || !ref->Rule()) return nullptr;
    if (index) *index = first;
    return ref;
}

void CPageProfile::ShowChangedRule(int index, const ProfileItemRef& ref) {
    const RuleEntry* rule = ref.Rule();
    if (!rule) return;
    std::wstring name = editor::RuleName(ref.method, *rule), detail = editor::RuleDetail(ref.method, *rule);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = index;
    item.pszText = &name[0];
    item.iImage = rule->iconIndex;
    ListView_SetItem(List(), &item);
    ListView_SetItemText(List(), index, 2, &detail[0]);
}

void CPageProfile::ShowAddedRules(FolderNode* folder, int rulesBefore) {
    UpdateSaveButton();
    RefreshList();
    if (folder && editor::RuleCount(*folder) > rulesBefore) SelectItem(RuleRef(folder, rulesBefore));
}

// ---- The size rule pane ----

bool CPageProfile::FillSizePane(const ProfileItemRef& item) {
    const auto* rule = static_cast<const SizeEntry*>(item.Rule());
    if (!rule || item.kind != ItemSizeRule) return false;
    SizePaneFill fill;
    fill.icon = ImageList_GetIcon(large_, rule->iconIndex, ILD_NORMAL);
    fill.kind = rule->kind;
    fill.lower = rule->lower;
    fill.upper = rule->upper;
    sizePane_.SetPage(Handle());
    sizePane_.Fill(fill);
    return true;
}

void CPageProfile::OnSizeChanged() {
    const ProfileItemRef* ref = FirstSelectedRule(ItemSizeRule, nullptr);
    const auto* rule = ref ? static_cast<const SizeEntry*>(ref->Rule()) : nullptr;
    bool differs = false;
    if (rule && rule->kind == kSizeRange) {
        int64_t lower = 0, upper = 0;
        differs = !sizePane_.ReadLower(&lower) || !sizePane_.ReadUpper(&upper) || lower != rule->lower ||
                  upper != rule->upper;
    }
    sizePane_.EnableUpdate(differs);
}

void CPageProfile::OnSizeUpdate() {
    int index = -1;
    const ProfileItemRef* selected = FirstSelectedRule(ItemSizeRule, &index);
    if (!selected || selected->Rule()->kind != kSizeRange) {
        Message(LoadText(IDS_INTERNAL_ERROR), MB_OK | MB_ICONERROR);
        return;
    }
    const ProfileItemRef ref = *selected;
    int64_t lower = 0, upper = 0;
    const bool lowerRead = sizePane_.ReadLower(&lower);
    const bool upperRead = lowerRead && sizePane_.ReadUpper(&upper);
    const int check = editor::CheckSizeRange(lowerRead, lower, upperRead, upper);
    if (check != editor::kSizeRangeOk) {
        Message(LoadText(check == editor::kSizeLowerAboveUpper ? IDS_SIZE_RANGE_INVALID : IDS_SIZE_INVALID),
                MB_OK | MB_ICONEXCLAMATION);
        sizePane_.FocusBound(check != editor::kSizeUpperUnreadable);
        return;
    }
    editor::AnyRule values = editor::CopyRule(*ref.folder, ref.ruleIndex);
    values.size.lower = lower;
    values.size.upper = upper;
    if (!editor::ReplaceEditedRule(*this, ref.folder, ref.ruleIndex, *values.Get())) {
        Message(LoadText(IDS_UPDATE_SIZE_FAILED), MB_OK | MB_ICONERROR);
        sizePane_.FocusFirstField();
        return;
    }
    ShowChangedRule(index, ref);
    FillSizePane(ref);
    UpdateSaveButton();
}

// ---- The time rule pane ----

bool CPageProfile::FillTimePane(const ProfileItemRef& item) {
    const auto* rule = static_cast<const TimeEntry*>(item.Rule());
    if (!rule || item.kind != ItemTimeRule) return false;
    TimePaneFill fill;
    fill.icon = ImageList_GetIcon(large_, rule->iconIndex, ILD_NORMAL);
    fill.begin = rule->begin;
    fill.end = rule->end;
    timePane_.SetPage(Handle());
    timePane_.Fill(fill);
    return true;
}

void CPageProfile::OnTimeChanged() {
    const ProfileItemRef* ref = FirstSelectedRule(ItemTimeRule, nullptr);
    const auto* rule = ref ? static_cast<const TimeEntry*>(ref->Rule()) : nullptr;
    timePane_.EnableUpdate(rule && timePane_.Differs(rule->begin, rule->end));
}

void CPageProfile::OnTimeUpdate() {
    int index = -1;
    const ProfileItemRef* selected = FirstSelectedRule(ItemTimeRule, &index);
    if (!selected) {
        Message(LoadText(IDS_INTERNAL_ERROR), MB_OK | MB_ICONERROR);
        return;
    }
    const ProfileItemRef ref = *selected;
    editor::AnyRule values = editor::CopyRule(*ref.folder, ref.ruleIndex);
    values.time.begin = timePane_.Begin();
    values.time.end = timePane_.End();
    // A range that ends before it begins would take nothing.
    if (editor::EndsBeforeBegin(values.time.begin, values.time.end)) {
        Message(LoadText(IDS_TIME_END_BEFORE_BEGIN), MB_OK | MB_ICONEXCLAMATION);
        timePane_.FocusEnd();
        return;
    }
    if (!editor::ReplaceEditedRule(*this, ref.folder, ref.ruleIndex, *values.Get())) {
        Message(LoadText(IDS_UPDATE_TIME_FAILED), MB_OK | MB_ICONERROR);
        timePane_.FocusFirstField();
        return;
    }
    ShowChangedRule(index, ref);
    FillTimePane(ref);
    UpdateSaveButton();
}

// ---- The size Add menu ----

void CPageProfile::AddSizeRuleCommand() {
    FolderNode* folder = CurrentFolder();
    if (!folder) return;
    CDialogNewSize dialog;
    if (dialog.DoModal(Module(), Handle()) != IDOK) return;
    PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceSizeRule(*this, &mode, folder, kSizeRange, &dialog.lower, &dialog.upper)) {
        Message(LoadText(IDS_ADD_SIZE_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    ShowAddedRules(folder, before);
}

void CPageProfile::AddSizeBatchCommand() {
    if (!CurrentFolder()) return;
    CDialogBatchSizeRules dialog;
    if (dialog.DoModal(Module(), Handle()) != IDOK) return;
    FolderNode* folder = CurrentFolder();
    const std::vector<editor::SizeRange> ranges = editor::SizeBatchSteps(dialog.from, dialog.to, dialog.step);
    if (!editor::PlaceSizeBatch(*this, folder, ranges, dialog.makeFolders))
        Message(LoadText(IDS_BATCH_ABORTED), MB_OK | MB_ICONERROR);
    RefreshList();
    UpdateSaveButton();
}

// ---- The time Add menu ----

void CPageProfile::AddTimeRuleCommand() {
    FolderNode* folder = CurrentFolder();
    if (!folder) return;
    CDialogNewTime dialog;
    if (dialog.DoModal(Module(), Handle()) != IDOK) return;
    PlacementMode mode = editor::PlaceSingle;
    const int before = editor::RuleCount(*folder);
    if (!editor::PlaceTimeRule(*this, &mode, folder, &dialog.begin, &dialog.end)) {
        Message(LoadText(IDS_ADD_TIME_RULE_FAILED), MB_OK | MB_ICONERROR);
        return;
    }
    ShowAddedRules(folder, before);
}

void CPageProfile::AddTimeBatchCommand(WORD command) {
    if (!CurrentFolder()) return;
    const editor::ModuleTexts texts(Module());
    std::vector<editor::TimeBatchRule> rules;
    bool makeFolders = false;
    if (command == ID_ADD_TIME_BY_YEAR) {
        CDialogTimeRuleByYear dialog;
        if (dialog.DoModal(Module(), Handle()) != IDOK) return;
        rules = editor::RulesByYear(texts, dialog.firstYear, dialog.lastYear, dialog.format);
        makeFolders = dialog.makeFolders;
    } else if (command == ID_ADD_TIME_BY_MONTH) {
        CDialogTimeRuleByMonth dialog;
        if (dialog.DoModal(Module(), Handle()) != IDOK) return;
        rules = editor::RulesByMonth(texts, dialog.year, dialog.firstMonth, dialog.lastMonth, dialog.format);
        makeFolders = dialog.makeFolders;
    } else {
        CDialogTimeRuleByDay dialog;
        if (dialog.DoModal(Module(), Handle()) != IDOK) return;
        rules = editor::RulesByDay(texts, dialog.year, dialog.month, dialog.firstDay, dialog.lastDay, dialog.format);
        makeFolders = dialog.makeFolders;
    }
    if (!editor::PlaceTimeBatch(*this, CurrentFolder(), rules, makeFolders))
        Message(LoadText(IDS_BATCH_ABORTED), MB_OK | MB_ICONERROR);
    RefreshList();
    UpdateSaveButton();
}

}  // namespace ordvale::wizard
