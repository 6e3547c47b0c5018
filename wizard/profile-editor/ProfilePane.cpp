#include "ProfilePane.h"

#include <commctrl.h>

namespace ordvale::wizard {

namespace {

constexpr UINT_PTR kEnterSubclass = 7;

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t actual[64] = {};
    GetClassNameW(window, actual, 64);
    return lstrcmpiW(actual, name) == 0;
}

// An open drop-down list or calendar takes Enter for itself.
bool IsDroppedDown(HWND control) {
    if (IsClass(control, WC_COMBOBOXW)) return SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (IsClass(control, DATETIMEPICK_CLASSW)) {
        // Some pickers keep their calendar window, hidden, while it is closed.
        HWND calendar = reinterpret_cast<HWND>(SendMessageW(control, DTM_GETMONTHCAL, 0, 0));
        return calendar && IsWindowVisible(calendar);
    }
    return false;
}

bool IsEnterDown(const MSG* msg) {
    return msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN;
}

}  // namespace

CProfilePane::~CProfilePane() = default;

BOOL CProfilePane::OnInitDialog() {
    CDialogEx::OnInitDialog();
    if (updateButton_) {
        EnumChildWindows(
            Handle(),
            [](HWND child, LPARAM data) -> BOOL {
                SetWindowSubclass(child, ControlProc, kEnterSubclass, static_cast<DWORD_PTR>(data));
                return TRUE;
            },
            reinterpret_cast<LPARAM>(this));
        EnableUpdate(false);
    }
    return TRUE;
}

BOOL CProfilePane::OnCommand(WORD id, WORD code, HWND control) {
    if (updateButton_ && id == updateButton_) {
        if (code == BN_CLICKED && UpdateEnabled()) Notify(update_);
        return TRUE;
    }
    if (id == IDOK || id == IDCANCEL) return TRUE;
    return CDialogEx::OnCommand(id, code, control);
}

void CProfilePane::EnableUpdate(bool enable) {
    if (updateButton_) EnableWindow(Item(updateButton_), enable);
}

bool CProfilePane::UpdateEnabled() const {
    return updateButton_ && IsWindowEnabled(Item(updateButton_));
}

void CProfilePane::FocusControl(int id) {
    HWND control = Item(id);
    if (!control) return;
    if (IsClass(control, WC_EDITW)) SendMessageW(control, EM_SETSEL, 0, -1);
    SetFocus(control);
}

bool CProfilePane::KeepsEnter(HWND control) const {
    return !IsDroppedDown(control);
}

void CProfilePane::OnEnter(HWND control) {
    if (EnterUpdatesIn(GetDlgCtrlID(control)) && UpdateEnabled()) Notify(update_);
}

// Enter inside a pane belongs to the pane: it never reaches the wizard's
// default button.
LRESULT CALLBACK CProfilePane::ControlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
    auto* pane = reinterpret_cast<CProfilePane*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            if (IsEnterDown(reinterpret_cast<const MSG*>(lParam)) && pane->KeepsEnter(hwnd))
                return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, message, wParam, lParam);
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN && pane->KeepsEnter(hwnd)) {
                pane->OnEnter(hwnd);
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' && pane->KeepsEnter(hwnd)) return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, ControlProc, kEnterSubclass);
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void CProfilePane::SetIcon(int staticId, HICON icon) {
    SendDlgItemMessageW(Handle(), staticId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (icon_.Get() != icon) icon_.Reset(icon);
}

}  // namespace ordvale::wizard
