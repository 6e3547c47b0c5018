#include "DialogTypeProperty.h"

#include <commctrl.h>

#include "EditorContext.h"
#include "RuleEdits.h"
#include "common/Text.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogTypeProperty::CDialogTypeProperty()
    : CProfilePane(IDD_TYPE_PROPERTY, UM_TYPE_CHANGED, UM_TYPE_UPDATE, IDC_TYPE_PANE_UPDATE) {}

void CDialogTypeProperty::Fill(const TypePropertyFill& fill) {
    FillScope scope(*this);
    SetItemText(IDC_TYPE_PANE_EXTENSION, fill.extension);
    SetItemText(IDC_TYPE_PANE_TYPE_TEXT, fill.typeText);
    SetItemText(IDC_TYPE_PANE_DESCRIPTION, fill.description);
    EnableUpdate(false);
    SetIcon(IDC_TYPE_PANE_ICON, fill.icon);
}

void CDialogTypeProperty::Clear() {
    FillScope scope(*this);
    for (int id : {IDC_TYPE_PANE_EXTENSION, IDC_TYPE_PANE_TYPE_TEXT, IDC_TYPE_PANE_DESCRIPTION}) SetItemText(id, L"");
    EnableUpdate(false);
    SetIcon(IDC_TYPE_PANE_ICON, nullptr);
}

void CDialogTypeProperty::FocusFirstField() {
    FocusControl(IDC_TYPE_PANE_EXTENSION);
}

std::wstring CDialogTypeProperty::Extension() const {
    return ItemText(IDC_TYPE_PANE_EXTENSION);
}

void CDialogTypeProperty::SetExtension(const std::wstring& text) {
    SetItemText(IDC_TYPE_PANE_EXTENSION, text);
}

bool CDialogTypeProperty::EnterUpdatesIn(int controlId) const {
    return controlId == IDC_TYPE_PANE_EXTENSION;
}

BOOL CDialogTypeProperty::OnCommand(WORD id, WORD code, HWND control) {
    if (id == IDC_TYPE_PANE_EXTENSION) {
        if (code == EN_CHANGE) ReportChange();
        return TRUE;
    }
    return CProfilePane::OnCommand(id, code, control);
}

PaneBinding BindTypePane(EditorContext& context, CDialogTypeProperty& pane) {
    PaneBinding binding;
    binding.fill = [&context, &pane](const ProfileItemRef& item) {
        const auto& rule = static_cast<const TypeEntry&>(*item.Rule());
        TypePropertyFill fill;
        fill.extension = editor::RuleName(ModelMethod::Type, rule);
        fill.typeText = FieldText(rule.typeText);
        fill.description = FieldText(rule.description);
        fill.icon = context.LargeIcon(rule.iconIndex);
        pane.Fill(fill);
    };
    binding.differs = [&pane](const ProfileItemRef& item) {
        return editor::TypePaneDiffers(static_cast<const TypeEntry&>(*item.Rule()), pane.Extension());
    };
    binding.apply = [&context, &pane](const ProfileItemRef& item) {
        const editor::RuleEdit edit = editor::ApplyTypePane(context.Placement(), item.folder, item.ruleIndex, pane.Extension());
        if (edit.setText) pane.SetExtension(edit.text);
        if (edit.applied) {
            context.Changed(EditorChange::Edited(item, true));
        } else if (edit.focus != editor::PaneFocus::None) {
            pane.FocusControl(IDC_TYPE_PANE_EXTENSION);
        }
    };
    return binding;
}

}  // namespace ordvale::wizard
