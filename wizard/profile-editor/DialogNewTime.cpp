#include "DialogNewTime.h"

#include "TimeRules.h"
#include "resource.h"

namespace ordvale::wizard {

CDialogNewTime::CDialogNewTime() : CDialogEx(IDD_NEW_TIME) {}

BOOL CDialogNewTime::OnInitDialog() {
    CDialogEx::OnInitDialog();
    begin_ = editor::DateBound(Item(IDC_NEW_TIME_FROM_DATE), Item(IDC_NEW_TIME_LONG_AGO), Item(IDC_NEW_TIME_FROM_PICKER));
    end_ = editor::DateBound(Item(IDC_NEW_TIME_TO_DATE), Item(IDC_NEW_TIME_NOW), Item(IDC_NEW_TIME_TO_PICKER));
    // Dates count in UTC, and so does "now".
    SYSTEMTIME now = {};
    GetSystemTime(&now);
    FILETIME present = {};
    SystemTimeToFileTime(&now, &present);
    for (editor::DateBound* bound : {&begin_, &end_}) {
        bound->Prepare();
        bound->Show(present);
    }
    return TRUE;
}

BOOL CDialogNewTime::OnCommand(WORD id, WORD code, HWND control) {
    switch (id) {
        case IDC_NEW_TIME_FROM_DATE:
        case IDC_NEW_TIME_LONG_AGO:
        case IDC_NEW_TIME_TO_DATE:
        case IDC_NEW_TIME_NOW:
            if (code == BN_CLICKED) {
                begin_.FollowOption();
                end_.FollowOption();
            }
            return TRUE;
        case IDOK:
            OnOK();
            return TRUE;
        default:
            return CDialogEx::OnCommand(id, code, control);
    }
}

void CDialogNewTime::OnOK() {
    const FILETIME first = begin_.Read(), last = end_.Read();
    if (editor::EndsBeforeBegin(first, last)) {
        editor::RefuseField(Handle(), end_.Picker(), LoadText(IDS_TIME_END_BEFORE_BEGIN),
                            editor::AppTitle(editor::ModuleTexts(Module())));
        return;
    }
    begin = first;
    end = last;
    End(IDOK);
}

}  // namespace ordvale::wizard
