#include "EnterSubclass.h"

#include <commctrl.h>

#include <algorithm>

#include "common/win/Keys.h"

namespace ordvale::wizard {

namespace {

// The subclass ids: a drop-down list, or another control.
constexpr UINT_PTR kControlSubclass = 1;
constexpr UINT_PTR kComboSubclass = 2;

}  // namespace

CEnterSubclass::~CEnterSubclass() {
    for (HWND control : controls_) {
        RemoveWindowSubclass(control, Proc, kControlSubclass);
        RemoveWindowSubclass(control, Proc, kComboSubclass);
    }
}

void CEnterSubclass::Add(HWND control, Control kind) {
    if (!control) return;
    const UINT_PTR id = kind == Control::DropDownList ? kComboSubclass : kControlSubclass;
    if (SetWindowSubclass(control, Proc, id, reinterpret_cast<DWORD_PTR>(this))) controls_.push_back(control);
}

void CEnterSubclass::AddList(HWND list, HWND page) {
    list_ = list;
    page_ = page;
    Add(list, Control::Plain);
}

void CEnterSubclass::Forget(HWND hwnd) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), hwnd), controls_.end());
}

LRESULT CALLBACK CEnterSubclass::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data) {
    auto* self = reinterpret_cast<CEnterSubclass*>(data);
    const bool keyboard = message == WM_GETDLGCODE || message == WM_KEYDOWN || message == WM_CHAR;
    const bool dropped = keyboard && id == kComboSubclass && SendMessageW(hwnd, CB_GETDROPPEDSTATE, 0, 0);
    switch (message) {
        case WM_GETDLGCODE:
            // Enter opens the selected folder instead of pressing the frame's default button.
            if (!dropped && win::IsEnterKey(reinterpret_cast<const MSG*>(lParam)))
                return DLGC_WANTMESSAGE | DefSubclassProc(hwnd, message, wParam, lParam);
            break;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN && !dropped) {
                // No exception leaves a window procedure.
                try {
                    self->onEnter_();
                } catch (...) {
                }
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == L'\r' && !dropped) return 0;
            break;
        case WM_KEYUP:
            if (wParam == VK_APPS && hwnd == self->list_) {
                PostMessageW(self->page_, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
                return 0;
            }
            break;
        case WM_NCDESTROY:
            RemoveWindowSubclass(hwnd, Proc, id);
            self->Forget(hwnd);
            break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace ordvale::wizard
