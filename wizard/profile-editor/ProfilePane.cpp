#include "ProfilePane.h"

#include <commctrl.h>

namespace ordvale::wizard {

CProfilePane::~CProfilePane() {
    if (icon_) DestroyIcon(icon_);
}

void CProfilePane::SetIcon(int staticId, HICON icon) {
    SendDlgItemMessageW(Handle(), staticId, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (icon_ && icon_ != icon) DestroyIcon(icon_);
    icon_ = icon;
}

namespace {

// What Enter does in one control of a pane (the subclass's data).
struct EnterTarget {
    HWND pane;
    int button;    // the update button
    bool updates;  // Enter here presses it
};

constexpr UINT_PTR kEnterSubclass = 0x454E;

bool IsEnter(LPARAM message) {
    const MSG* msg = reinterpret_cast<const MSG*>(message);
    return msg && (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) &&
           (msg->wParam == VK_RETURN || msg->wParam == L'\r');
}

bool DroppedDown(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    return lstrcmpiW(name, WC_COMBOBOXW) == 0 && SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0);
}

}  // namespace

void CProfilePane::TakeEnter(std::initializer_list<int> updating, int updateButton) {
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const int id = GetDlgCtrlID(child);
        bool updates = updating.size() == 0 || id == updateButton;
        for (int named : updating) updates |= named == id;
        SetWindowSubclass(child, EnterProc, kEnterSubclass,
                          reinterpret_cast<DWORD_PTR>(new EnterTarget{Handle(), updateButton, updates}));
    }
}

LRESULT CALLBACK CProfilePane::EnterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR data) {
    auto* target = reinterpret_cast<EnterTarget*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            if (IsEnter(lParam) && !DroppedDown(hwnd))
                return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, message, wParam, lParam);
            break;
        case WM_KEYDOWN:
            if (wParam != VK_RETURN || DroppedDown(hwnd)) break;
            if (target->updates) {
                HWND button = GetDlgItem(target->pane, target->button);
                if (button && IsWindowEnabled(button))
                    SendMessageW(target->pane, WM_COMMAND, MAKEWPARAM(target->button, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(button));
            }
            return 0;
        case WM_CHAR:
            if (wParam == L'\r') return 0;
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, EnterProc, kEnterSubclass);
            delete target;
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace ordvale::wizard
