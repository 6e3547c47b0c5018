#include "DialogTimeProperty.h"

#include <commctrl.h>

#include "resource.h"

namespace ordvale::wizard {

CDialogTimeProperty::CDialogTimeProperty() : CProfilePane(IDD_TIME_PROPERTY) {}

BOOL CDialogTimeProperty::OnInitDialog() {
    CDialogEx::OnInitDialog();
    begin_ = editor::DateBound(Item(IDC_TIME_PANE_FROM_DATE), Item(IDC_TIME_PANE_LONG_AGO),
                               Item(IDC_TIME_PANE_FROM_PICKER));
    end_ = editor::DateBound(Item(IDC_TIME_PANE_TO_DATE), Item(IDC_TIME_PANE_NOW), Item(IDC_TIME_PANE_TO_PICKER));
    begin_.Prepare();
    end_.Prepare();
    TakeEnter({}, IDC_TIME_PANE_UPDATE);
    Clear();
    return TRUE;
}

void CDialogTimeProperty::Clear() {
    filling_ = true;
    begin_.Show(FILETIME{});
    end_.Show(FILETIME{});
    EnableUpdate(false);
    filling_ = false;
}

void CDialogTimeProperty::Fill(const TimePaneFill& fill) {
    filling_ = true;
    SetIcon(IDC_TIME_PANE_ICON, fill.icon);
    begin_.Show(fill.begin);
    end_.Show(fill.end);
    EnableUpdate(false);
    filling_ = false;
}

bool CDialogTimeProperty::Differs(const FILETIME& begin, const FILETIME& end) const {
    return begin_.Differs(begin) || end_.Differs(end);
}

void CDialogTimeProperty::EnableUpdate(bool enable) const {
    EnableWindow(Item(IDC_TIME_PANE_UPDATE), enable);
}

void CDialogTimeProperty::FocusFirstField() const {
    SetFocus(begin_.DateChosen() ? begin_.Picker() : begin_.OpenOption());
}

void CDialogTimeProperty::FocusEnd() const {
    SetFocus(end_.DateChosen() ? end_.Picker() : end_.OpenOption());
}

BOOL CDialogTimeProperty::OnCommand(WORD id, WORD code, HWND) {
    switch (id) {
        case IDC_TIME_PANE_FROM_DATE:
        case IDC_TIME_PANE_LONG_AGO:
        case IDC_TIME_PANE_TO_DATE:
        case IDC_TIME_PANE_NOW:
            if (code == BN_CLICKED && !filling_) {
                begin_.FollowOption();
                end_.FollowOption();
                Notify(UM_TIME_CHANGED);
            }
            return TRUE;
        case IDC_TIME_PANE_UPDATE:
            if (code == BN_CLICKED) Notify(UM_TIME_UPDATE);
            return TRUE;
        default:
            return FALSE;
    }
}

BOOL CDialogTimeProperty::OnNotify(NMHDR* header, LRESULT*) {
    if (header->code != DTN_DATETIMECHANGE || filling_) return FALSE;
    if (header->idFrom == IDC_TIME_PANE_FROM_PICKER || header->idFrom == IDC_TIME_PANE_TO_PICKER)
        Notify(UM_TIME_CHANGED);
    return FALSE;
}

}  // namespace ordvale::wizard
