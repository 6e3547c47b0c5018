#include "DialogSizeProperty.h"

#include <commctrl.h>

#include "EditorContext.h"
#include "common/ConfigureType.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogSizeProperty::CDialogSizeProperty()
    : CProfilePane(IDD_SIZE_PROPERTY, UM_SIZE_CHANGED, UM_SIZE_UPDATE, IDC_SIZE_PANE_UPDATE) {}

BOOL CDialogSizeProperty::OnInitDialog() {
    CProfilePane::OnInitDialog();
    lower_ = editor::SizeField(Item(IDC_SIZE_PANE_LOWER), Item(IDC_SIZE_PANE_LOWER_SPIN), Item(IDC_SIZE_PANE_LOWER_UNIT));
    upper_ = editor::SizeField(Item(IDC_SIZE_PANE_UPPER), Item(IDC_SIZE_PANE_UPPER_SPIN), Item(IDC_SIZE_PANE_UPPER_UNIT));
    const editor::ModuleTexts texts(Module());
    FillScope scope(*this);
    lower_.Prepare(texts, true);
    upper_.Prepare(texts, true);
    Clear();
    return TRUE;
}

void CDialogSizeProperty::Clear() {
    FillScope scope(*this);
    for (editor::SizeField* field : {&lower_, &upper_}) {
        SetWindowTextW(field->Edit(), L"0");
        SendMessageW(field->Unit(), CB_SETCURSEL, 0, 0);
        field->Enable(false);
    }
    EnableUpdate(false);
    SetIcon(IDC_SIZE_PANE_ICON, nullptr);
}

void CDialogSizeProperty::Fill(const SizePaneFill& fill) {
    FillScope scope(*this);
    if (fill.kind == kSizeRange) {
        lower_.Show(fill.lower, L"0");
        upper_.Show(fill.upper, L"0");
        lower_.Enable(true);
        upper_.Enable(true);
    } else {
        Clear();
    }
    EnableUpdate(false);
    SetIcon(IDC_SIZE_PANE_ICON, fill.icon);
}

editor::SizePaneValues CDialogSizeProperty::Values() const {
    editor::SizePaneValues values;
    values.lowerRead = lower_.Read(&values.lower);
    values.upperRead = upper_.Read(&values.upper);
    return values;
}

void CDialogSizeProperty::FocusFirstField() {
    FocusControl(IsWindowEnabled(lower_.Edit()) ? IDC_SIZE_PANE_LOWER : IDC_SIZE_PANE_LOWER_UNIT);
}

void CDialogSizeProperty::FocusUpperBound() {
    FocusControl(IsWindowEnabled(upper_.Edit()) ? IDC_SIZE_PANE_UPPER : IDC_SIZE_PANE_UPPER_UNIT);
}

bool CDialogSizeProperty::EnterUpdatesIn(int controlId) const {
    return controlId == IDC_SIZE_PANE_LOWER || controlId == IDC_SIZE_PANE_UPPER || controlId == IDC_SIZE_PANE_UPDATE;
}

BOOL CDialogSizeProperty::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_SIZE_PANE_LOWER:
        case IDC_SIZE_PANE_UPPER:
            if (code == EN_CHANGE) ReportChange();
            return TRUE;
        case IDC_SIZE_PANE_LOWER_UNIT:
        case IDC_SIZE_PANE_UPPER_UNIT:
            if (code == CBN_SELCHANGE) {
                (id == IDC_SIZE_PANE_LOWER_UNIT ? lower_ : upper_).FollowUnit();
                ReportChange();
            }
            return TRUE;
        default:
            return CProfilePane::OnCommand(id, code, control);
    }
}

BOOL CDialogSizeProperty::OnNotify(NMHDR* header, LRESULT* result) {
    // A step changes the number, which reports the change.
    return lower_.OnNotify(header, result) || upper_.OnNotify(header, result);
}

PaneBinding BindSizePane(EditorContext& context, CDialogSizeProperty& pane) {
    PaneBinding binding;
    binding.fill = [&context, &pane](const ProfileItemRef& item) {
        const auto& rule = static_cast<const SizeEntry&>(*item.Rule());
        SizePaneFill fill;
        fill.kind = rule.kind;
        fill.lower = rule.lower;
        fill.upper = rule.upper;
        fill.icon = context.LargeIcon(rule.iconIndex);
        pane.Fill(fill);
    };
    binding.differs = [&pane](const ProfileItemRef& item) {
        return editor::SizePaneDiffers(static_cast<const SizeEntry&>(*item.Rule()), pane.Values());
    };
    binding.apply = [&context, &pane](const ProfileItemRef& item) {
        const editor::RuleEdit edit =
            editor::ApplySizePane(context.Placement(), item.folder, item.ruleIndex, pane.Values());
        if (edit.applied) {
            context.Changed(EditorChange::Edited(item, true));
        } else if (edit.focus == editor::PaneFocus::Second) {
            pane.FocusUpperBound();
        } else if (edit.focus == editor::PaneFocus::First) {
            pane.FocusFirstField();
        }
    };
    return binding;
}

}  // namespace ordvale::wizard
