#include "DialogMultiReplace.h"

#include "resource.h"

namespace ordvale::wizard {

namespace {
RECT ClientRectOf(HWND dialog, int id) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
}  // namespace

CDialogMultiReplace::CDialogMultiReplace() : CDialogEx(IDD_MULTI_REPLACE) {}

BOOL CDialogMultiReplace::OnInitDialog() {
    CDialogEx::OnInitDialog();
    SetItemText(IDC_REPLACE_TEXT, question.substr(0, 1040));
    if (!caption.empty()) SetWindowTextW(Handle(), caption.c_str());
    if (!fourButtons) {
        const struct {
            int button, place;
        } moves[] = {{IDYES, IDC_REPLACE_YES_TO_ALL}, {IDNO, IDCANCEL}};
        for (const auto& move : moves) {
            const RECT place = ClientRectOf(Handle(), move.place);
            SetWindowPos(Item(move.button), nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
            ShowWindow(Item(move.place), SW_HIDE);
        }
    }
    return TRUE;
}

BOOL CDialogMultiReplace::OnCommand(WORD id, WORD, HWND) {
    switch (id) {
        case IDYES:
        case IDNO:
        case IDCANCEL:
        case IDC_REPLACE_YES_TO_ALL:
            End(id);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace ordvale::wizard
