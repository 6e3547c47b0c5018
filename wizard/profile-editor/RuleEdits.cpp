#include "RuleEdits.h"

#include "FieldFormats.h"
#include "RuleDisplay.h"
#include "SizeRules.h"
#include "TimeRules.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "resource.h"

namespace ordvale::editor {

int MessageTarget::Show(const std::wstring& text, UINT type) const {
    return win::ShowMessageBox(owner, text, caption, type);
}

bool ConfirmExtension(const MessageTarget& target, const std::wstring& typed, std::wstring* normalized) {
    std::wstring extension;
    switch (NormalizeExtension(typed, &extension)) {
        case kExtensionInvalid:
            target.Show(target.texts.Text(IDS_INVALID_EXTENSION), MB_OK | MB_ICONEXCLAMATION);
            return false;
        case kExtensionSuggestion: {
            const std::wstring question =
                CutToField(FillTemplate(target.texts.Text(IDS_EXTENSION_SUGGESTION).c_str(), {extension.c_str()}));
            if (target.Show(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
            break;
        }
        default:
            break;
    }
    if (normalized) *normalized = extension;
    return true;
}

// ---- Folder property pane ----

namespace {

std::wstring PaneLocation(const FolderPaneValues& values) {
    return values.absolute ? TrimBlanks(values.location) : std::wstring();
}

}  // namespace

FolderPaneChanges CompareFolderPane(const FolderNode& folder, const FolderPaneValues& values) {
    FolderPaneChanges changes;
    changes.name = !EqualsNoCase(TrimBlanks(values.name), FieldText(folder.displayName));
    // The location as it would be stored: "D:\\Out" is "D:\\Out\\" unchanged.
    changes.location = !EqualsNoCase(FolderNode::StoredLocation(PaneLocation(values)), FieldText(folder.location));
    return changes;
}

FolderEdit ApplyFolderPane(PlacementHost& host, FolderNode* folder, const FolderPaneValues& values,
                           const FolderPaneChanges& changes) {
    FolderEdit edit;
    if (!folder) return edit;
    if (changes.name) {
        const std::wstring name = TrimBlanks(CutToField(values.name));
        if (!ValidateFolderName(name)) {
            host.Message(host.Text(IDS_FOLDER_NAME_INVALID), MB_OK | MB_ICONEXCLAMATION);
            edit.focus = PaneFocus::First;
            return edit;
        }
        switch (RenameFolder(folder, name)) {
            case RenameResult::Renamed:
                edit.renamed = true;
                break;
            case RenameResult::Duplicate:
                host.Message(CutToField(FillTemplate(host.Text(IDS_FOLDER_EXISTS).c_str(), {name.c_str()})),
                             MB_OK | MB_ICONEXCLAMATION);
                edit.focus = PaneFocus::First;
                break;
            default:
                host.Message(host.Text(IDS_UPDATE_FOLDER_FAILED), MB_OK | MB_ICONEXCLAMATION);
                edit.focus = PaneFocus::First;
                break;
        }
    }
    if (changes.location) {
        const std::wstring location = PaneLocation(values);
        if (values.absolute && (location.empty() || !IsAbsoluteDrivePath(location))) {
            host.Message(host.Text(location.empty() ? IDS_NEW_FOLDER_PATH_EMPTY : IDS_NOT_ABSOLUTE_PATH),
                         MB_OK | MB_ICONEXCLAMATION);
            edit.focus = PaneFocus::Second;
            return edit;
        }
        SetFolderLocation(folder, location);
        edit.relocated = true;
    }
    return edit;
}

// ---- Rule panes ----

bool TypePaneDiffers(const TypeEntry& rule, const std::wstring& typed) {
    return !EqualsNoCase(TrimBlanks(typed), FieldText(rule.extension));
}

RuleEdit ApplyTypePane(PlacementHost& host, FolderNode* folder, int index, const std::wstring& typed) {
    RuleEdit edit;
    edit.focus = PaneFocus::First;
    const RuleEntry* entry = folder && folder->Method() == ModelMethod::Type ? RuleAt(*folder, index) : nullptr;
    if (!entry) return edit;
    const auto& rule = static_cast<const TypeEntry&>(*entry);
    if (rule.kind != kTypeExtension) {
        host.Message(host.Text(IDS_SPECIAL_NOT_EDITABLE), MB_OK | MB_ICONEXCLAMATION);
        AnyRule special = RuleCopy(ModelMethod::Type, rule);
        PrepareRuleTexts(host, ModelMethod::Type, &special.type);  // the special's name
        edit.setText = true;
        edit.text = FieldText(special.type.extension);
        return edit;
    }
    std::wstring extension;
    if (!ConfirmExtension({host, host.Owner(), AppTitle(host)}, typed, &extension)) return edit;
    edit.setText = true;
    edit.text = extension;
    AnyRule values = CopyRule(*folder, index);
    StoreText(values.type.extension, extension);
    edit.applied = ReplaceEditedRule(host, folder, index, values.type);
    if (edit.applied) edit.focus = PaneFocus::None;
    return edit;
}

bool NamePaneDiffers(const NameEntry& rule, const NamePaneValues& values) {
    if (rule.kind == kNameRegExp) {
        const std::wstring expression = TrimBlanks(values.expression);
        return !expression.empty() && expression != FieldText(rule.pattern);
    }
    return (values.hasFirst && values.first != rule.first) || (values.hasLast && values.last != rule.last);
}

RuleEdit ApplyNamePane(PlacementHost& host, FolderNode* folder, int index, const NamePaneValues& values) {
    RuleEdit edit;
    const RuleEntry* entry = folder && folder->Method() == ModelMethod::Name ? RuleAt(*folder, index) : nullptr;
    if (!entry) return edit;
    AnyRule changed = CopyRule(*folder, index);
    NameEntry& rule = changed.name;
    const bool expression = rule.kind == kNameRegExp;
    if (expression) {
        const std::wstring text = TrimBlanks(values.expression);
        if (const UINT problem = ExpressionProblem(text)) {
            host.Message(host.Text(problem), MB_OK | MB_ICONEXCLAMATION);
            edit.focus = PaneFocus::Second;
            return edit;
        }
        StoreText(rule.pattern, text);
    } else {
        if (values.hasFirst) rule.first = values.first;
        if (values.hasLast) rule.last = values.last;
        if (rule.last < rule.first) std::swap(rule.first, rule.last);
    }
    edit.applied = ReplaceEditedRule(host, folder, index, rule);
    if (!edit.applied) {
        host.Message(host.Text(IDS_UPDATE_NAME_RULE_FAILED), MB_OK | MB_ICONERROR);
        edit.focus = expression ? PaneFocus::Second : PaneFocus::First;
    }
    return edit;
}

// ---- Size and time rule panes ----

bool SizePaneDiffers(const SizeEntry& rule, const SizePaneValues& values) {
    if (rule.kind != kSizeRange) return false;
    return !values.lowerRead || !values.upperRead || values.lower != rule.lower || values.upper != rule.upper;
}

RuleEdit ApplySizePane(PlacementHost& host, FolderNode* folder, int index, const SizePaneValues& values) {
    RuleEdit edit;
    const RuleEntry* entry = folder && folder->Method() == ModelMethod::Size ? RuleAt(*folder, index) : nullptr;
    if (!entry || entry->kind != kSizeRange) return edit;
    switch (CheckSizeRange(values.lowerRead, values.lower, values.upperRead, values.upper)) {
        case kSizeRangeOk:
            break;
        case kSizeLowerAboveUpper:
            host.Message(host.Text(IDS_SIZE_RANGE_INVALID), MB_OK | MB_ICONEXCLAMATION);
            edit.focus = PaneFocus::First;
            return edit;
        case kSizeUpperUnreadable:
            host.Message(host.Text(IDS_SIZE_INVALID), MB_OK | MB_ICONEXCLAMATION);
            edit.focus = PaneFocus::Second;
            return edit;
        default:
            host.Message(host.Text(IDS_SIZE_INVALID), MB_OK | MB_ICONEXCLAMATION);
            edit.focus = PaneFocus::First;
            return edit;
    }
    AnyRule changed = CopyRule(*folder, index);
    changed.size.lower = values.lower;
    changed.size.upper = values.upper;
    edit.applied = ReplaceEditedRule(host, folder, index, changed.size);
    if (!edit.applied) {
        host.Message(host.Text(IDS_UPDATE_SIZE_FAILED), MB_OK | MB_ICONERROR);
        edit.focus = PaneFocus::First;
    }
    return edit;
}

namespace {

bool EndDiffers(const FILETIME& chosen, const FILETIME& stored) {
    if (IsZeroTime(chosen) || IsZeroTime(stored)) return IsZeroTime(chosen) != IsZeroTime(stored);
    return CompareDate(&chosen, &stored) != 0;
}

}  // namespace

bool TimePaneDiffers(const TimeEntry& rule, const TimePaneValues& values) {
    return EndDiffers(values.begin, rule.begin) || EndDiffers(values.end, rule.end);
}

RuleEdit ApplyTimePane(PlacementHost& host, FolderNode* folder, int index, const TimePaneValues& values) {
    RuleEdit edit;
    const RuleEntry* entry = folder && folder->Method() == ModelMethod::Time ? RuleAt(*folder, index) : nullptr;
    if (!entry) return edit;
    // A range that ends before it begins would take nothing.
    if (EndsBeforeBegin(values.begin, values.end)) {
        host.Message(host.Text(IDS_TIME_END_BEFORE_BEGIN), MB_OK | MB_ICONEXCLAMATION);
        edit.focus = PaneFocus::Second;
        return edit;
    }
    AnyRule changed = CopyRule(*folder, index);
    changed.time.begin = values.begin;
    changed.time.end = values.end;
    edit.applied = ReplaceEditedRule(host, folder, index, changed.time);
    if (!edit.applied) {
        host.Message(host.Text(IDS_UPDATE_TIME_FAILED), MB_OK | MB_ICONERROR);
        edit.focus = PaneFocus::First;
    }
    return edit;
}

}  // namespace ordvale::editor
