#include "DialogTimeProperty.h"

#include <commctrl.h>

#include "EditorContext.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogTimeProperty::CDialogTimeProperty()
    : CProfilePane(IDD_TIME_PROPERTY, UM_TIME_CHANGED, UM_TIME_UPDATE, IDC_TIME_PANE_UPDATE) {}

BOOL CDialogTimeProperty::OnInitDialog() {
    CProfilePane::OnInitDialog();
    begin_ = editor::DateBound(Item(IDC_TIME_PANE_FROM_DATE), Item(IDC_TIME_PANE_LONG_AGO),
                               Item(IDC_TIME_PANE_FROM_PICKER));
    end_ = editor::DateBound(Item(IDC_TIME_PANE_TO_DATE), Item(IDC_TIME_PANE_NOW), Item(IDC_TIME_PANE_TO_PICKER));
    begin_.Prepare();
    end_.Prepare();
    Clear();
    return TRUE;
}

void CDialogTimeProperty::Clear() {
    FillScope scope(*this);
    begin_.Show(FILETIME{});
    end_.Show(FILETIME{});
    EnableUpdate(false);
    SetIcon(IDC_TIME_PANE_ICON, nullptr);
}

void CDialogTimeProperty::Fill(const TimePaneFill& fill) {
    FillScope scope(*this);
    begin_.Show(fill.begin);
    end_.Show(fill.end);
    EnableUpdate(false);
    SetIcon(IDC_TIME_PANE_ICON, fill.icon);
}

editor::TimePaneValues CDialogTimeProperty::Values() const {
    return {begin_.Read(), end_.Read()};
}

void CDialogTimeProperty::FocusFirstField() {
    FocusControl(begin_.DateChosen() ? IDC_TIME_PANE_FROM_PICKER : IDC_TIME_PANE_LONG_AGO);
}

void CDialogTimeProperty::FocusEnd() {
    FocusControl(end_.DateChosen() ? IDC_TIME_PANE_TO_PICKER : IDC_TIME_PANE_NOW);
}

BOOL CDialogTimeProperty::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_TIME_PANE_FROM_DATE:
        case IDC_TIME_PANE_LONG_AGO:
        case IDC_TIME_PANE_TO_DATE:
        case IDC_TIME_PANE_NOW:
            if (code == BN_CLICKED) {
                begin_.FollowOption();
                end_.FollowOption();
                ReportChange();
            }
            return TRUE;
        default:
            return CProfilePane::OnCommand(id, code, control);
    }
}

BOOL CDialogTimeProperty::OnNotify(NMHDR* header, LRESULT*) {
    if (header->code == DTN_DATETIMECHANGE &&
        (header->idFrom == IDC_TIME_PANE_FROM_PICKER || header->idFrom == IDC_TIME_PANE_TO_PICKER))
        ReportChange();
    return FALSE;
}

PaneBinding BindTimePane(EditorContext& context, CDialogTimeProperty& pane) {
    PaneBinding binding;
    binding.fill = [&context, &pane](const ProfileItemRef& item) {
        const auto& rule = static_cast<const TimeEntry&>(*item.Rule());
        TimePaneFill fill;
        fill.begin = rule.begin;
        fill.end = rule.end;
        fill.icon = context.LargeIcon(rule.iconIndex);
        pane.Fill(fill);
    };
    binding.differs = [&pane](const ProfileItemRef& item) {
        return editor::TimePaneDiffers(static_cast<const TimeEntry&>(*item.Rule()), pane.Values());
    };
    binding.apply = [&context, &pane](const ProfileItemRef& item) {
        const editor::RuleEdit edit =
            editor::ApplyTimePane(context.Placement(), item.folder, item.ruleIndex, pane.Values());
        if (edit.applied) {
            context.Changed(EditorChange::Edited(item, true));
        } else if (edit.focus == editor::PaneFocus::Second) {
            pane.FocusEnd();
        } else if (edit.focus == editor::PaneFocus::First) {
            pane.FocusFirstField();
        }
    };
    return binding;
}

}  // namespace ordvale::wizard
