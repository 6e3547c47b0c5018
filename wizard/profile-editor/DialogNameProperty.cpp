#include "DialogNameProperty.h"

#include <commctrl.h>
#include <windowsx.h>

#include "EditorContext.h"
#include "FieldControls.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {
const int kFields[] = {IDC_NAME_PANE_RANGE, IDC_NAME_PANE_REGEXP, IDC_NAME_PANE_FIRST, IDC_NAME_PANE_LAST,
                       IDC_NAME_PANE_EXPRESSION};
}  // namespace

CDialogNameProperty::CDialogNameProperty()
    : CProfilePane(IDD_NAME_PROPERTY, UM_NAME_CHANGED, UM_NAME_UPDATE, IDC_NAME_PANE_UPDATE) {}

BOOL CDialogNameProperty::OnInitDialog() {
    CProfilePane::OnInitDialog();
    editor::FillCharCombo(Item(IDC_NAME_PANE_FIRST));
    editor::FillCharCombo(Item(IDC_NAME_PANE_LAST));
    Reset();
    return TRUE;
}

void CDialogNameProperty::Reset() {
    FillScope scope(*this);
    CheckDlgButton(Handle(), IDC_NAME_PANE_RANGE, BST_CHECKED);
    CheckDlgButton(Handle(), IDC_NAME_PANE_REGEXP, BST_UNCHECKED);
    ComboBox_SetCurSel(Item(IDC_NAME_PANE_FIRST), -1);
    ComboBox_SetCurSel(Item(IDC_NAME_PANE_LAST), -1);
    SetItemText(IDC_NAME_PANE_EXPRESSION, L"");
    for (int id : kFields) EnableWindow(Item(id), FALSE);
    EnableUpdate(false);
}

void CDialogNameProperty::Fill(const NamePropertyFill& fill) {
    Reset();
    FillScope scope(*this);
    if (fill.kind == kNameRegExp) {
        CheckDlgButton(Handle(), IDC_NAME_PANE_RANGE, BST_UNCHECKED);
        CheckDlgButton(Handle(), IDC_NAME_PANE_REGEXP, BST_CHECKED);
        SetItemText(IDC_NAME_PANE_EXPRESSION, fill.expression);
        for (int id : {IDC_NAME_PANE_REGEXP, IDC_NAME_PANE_EXPRESSION}) EnableWindow(Item(id), TRUE);
    } else {
        editor::SelectCharInCombo(Item(IDC_NAME_PANE_FIRST), fill.first);
        editor::SelectCharInCombo(Item(IDC_NAME_PANE_LAST), fill.last);
        for (int id : {IDC_NAME_PANE_RANGE, IDC_NAME_PANE_FIRST, IDC_NAME_PANE_LAST}) EnableWindow(Item(id), TRUE);
    }
    SetIcon(IDC_NAME_PANE_ICON, fill.icon);
}

void CDialogNameProperty::Clear() {
    Reset();
    SetIcon(IDC_NAME_PANE_ICON, nullptr);
}

void CDialogNameProperty::FocusFirstField() {
    const bool expression = IsDlgButtonChecked(Handle(), IDC_NAME_PANE_REGEXP) == BST_CHECKED;
    FocusControl(expression ? IDC_NAME_PANE_EXPRESSION : IDC_NAME_PANE_FIRST);
}

editor::NamePaneValues CDialogNameProperty::Values() const {
    editor::NamePaneValues values;
    values.hasFirst = editor::ComboChar(Item(IDC_NAME_PANE_FIRST), &values.first);
    values.hasLast = editor::ComboChar(Item(IDC_NAME_PANE_LAST), &values.last);
    values.expression = ItemText(IDC_NAME_PANE_EXPRESSION);
    return values;
}

BOOL CDialogNameProperty::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_NAME_PANE_FIRST:
        case IDC_NAME_PANE_LAST:
            if (code == CBN_SELCHANGE) ReportChange();
            return TRUE;
        case IDC_NAME_PANE_EXPRESSION:
            if (code == EN_CHANGE) ReportChange();
            return TRUE;
        default:
            return CProfilePane::OnCommand(id, code, control);
    }
}

PaneBinding BindNamePane(EditorContext& context, CDialogNameProperty& pane) {
    PaneBinding binding;
    binding.fill = [&context, &pane](const ProfileItemRef& item) {
        const auto& rule = static_cast<const NameEntry&>(*item.Rule());
        NamePropertyFill fill;
        fill.kind = rule.kind;
        fill.first = rule.first;
        fill.last = rule.last;
        fill.expression = FieldText(rule.pattern);
        fill.description = FieldText(rule.description);
        fill.icon = context.LargeIcon(rule.iconIndex);
        pane.Fill(fill);
    };
    binding.differs = [&pane](const ProfileItemRef& item) {
        return editor::NamePaneDiffers(static_cast<const NameEntry&>(*item.Rule()), pane.Values());
    };
    binding.apply = [&context, &pane](const ProfileItemRef& item) {
        const editor::RuleEdit edit =
            editor::ApplyNamePane(context.Placement(), item.folder, item.ruleIndex, pane.Values());
        if (edit.applied) {
            context.Changed(EditorChange::Edited(item, true));
        } else if (edit.focus == editor::PaneFocus::First) {
            pane.FocusControl(IDC_NAME_PANE_FIRST);
        } else if (edit.focus == editor::PaneFocus::Second) {
            pane.FocusControl(IDC_NAME_PANE_EXPRESSION);
        }
    };
    return binding;
}

}  // namespace ordvale::wizard
