#include "UiDriver.h"

#include "WindowDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace testing_support {

namespace {
LPARAM Point(const POINT& at) {
    return MAKELPARAM(at.x, at.y);
}

POINT ItemPoint(HWND list, int index) {
    RECT rect = {};
    if (index < 0) {
        GetClientRect(list, &rect);
        return {rect.right - 4, rect.bottom - 4};
    }
    ListView_GetItemRect(list, index, &rect, LVIR_LABEL);
    return {rect.left + 4, (rect.top + rect.bottom) / 2};
}
}  // namespace

UiDriver::UiDriver(HWND top, std::vector<HWND> alsoWatch) : top_(top), watched_(std::move(alsoWatch)) {
    watched_.push_back(top);
    for (HWND window : watched_) SetWindowSubclass(window, WatchProc, 77, reinterpret_cast<DWORD_PTR>(this));
}

UiDriver::~UiDriver() {
    for (HWND window : watched_)
        if (IsWindow(window)) RemoveWindowSubclass(window, WatchProc, 77);
    EXPECT_TRUE(actions_.empty()) << actions_.size() << " scripted actions never ran";
}

LRESULT CALLBACK UiDriver::WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR data) {
    if (message == WM_ENTERIDLE) {
        reinterpret_cast<UiDriver*>(data)->OnIdle(reinterpret_cast<HWND>(lParam), wParam == MSGF_MENU);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, WatchProc, 77);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

void UiDriver::OnIdle(HWND window, bool menu) {
    if (running_) return;
    if (actions_.empty()) {
        ADD_FAILURE() << "a " << (menu ? "menu" : "dialog") << " came up that the test did not expect: "
                      << (window ? "" : "(no window)");
        if (menu) {
            EndMenu();
        } else if (window) {
            PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
        }
        return;
    }
    auto action = std::move(actions_.front());
    actions_.pop_front();
    running_ = true;
    action(window);
    running_ = false;
}

void UiDriver::Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (IsWindow(top_) && IsDialogMessageW(top_, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void UiDriver::ClickButton(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
    Pump();
}

void UiDriver::ClickToolbarButton(HWND toolbar, int command) {
    RECT rect = {};
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&rect))) << "button " << command;
    const POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    PostMessageW(toolbar, WM_MOUSEMOVE, 0, Point(at));
    PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    PostMessageW(toolbar, WM_LBUTTONUP, 0, Point(at));
    Pump();
}

void UiDriver::ClickListItem(HWND list, int index, UINT keys) {
    const POINT at = ItemPoint(list, index);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, Point(at));
    PostMessageW(list, WM_LBUTTONUP, keys, Point(at));
    Pump();
}

void UiDriver::DoubleClickListItem(HWND list, int index) {
    const POINT at = ItemPoint(list, index);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    PostMessageW(list, WM_LBUTTONUP, 0, Point(at));
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(at));
    PostMessageW(list, WM_LBUTTONUP, 0, Point(at));
    Pump();
}

void UiDriver::RightClickListItem(HWND list, int index) {
    const POINT at = ItemPoint(list, index);
    POINT screen = at;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, Point(at));
    PostMessageW(list, WM_RBUTTONUP, 0, Point(at));
    Pump();
}

void UiDriver::PressKey(HWND window, UINT key, bool control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    if (control) {
        keys[VK_CONTROL] |= 0x80;
        SetKeyboardState(keys);
    }
    const LPARAM down = 1 | (MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16);
    PostMessageW(window, WM_KEYDOWN, key, down);
    PostMessageW(window, WM_KEYUP, key, down | 0xC0000000);
    Pump();
    if (control) {
        keys[VK_CONTROL] &= 0x7F;
        SetKeyboardState(keys);
    }
}

void UiDriver::Type(HWND window, const std::wstring& text) {
    PostTyping(window, text);
    Pump();
}


void UiDriver::PickByLetter(HWND combo, wchar_t letter) {
    wchar_t name[32] = {};
    GetClassNameW(combo, name, 32);
    HWND target = combo;
    if (lstrcmpiW(name, WC_COMBOBOXEXW) == 0) target = reinterpret_cast<HWND>(SendMessageW(combo, CBEM_GETCOMBOCONTROL, 0, 0));
    SetFocus(target);
    PostMessageW(target, WM_CHAR, letter, 1);
    Pump();
}

void UiDriver::PressDialogButton(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

HMENU UiDriver::MenuOf(HWND menuWindow) {
    return reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
}

UINT UiDriver::MenuState(HMENU menu, UINT command) {
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            const UINT state = MenuState(sub, command);
            if (state != static_cast<UINT>(-1)) return state;
        } else if (GetMenuItemID(menu, i) == command) {
            return GetMenuState(menu, i, MF_BYPOSITION);
        }
    }
    return static_cast<UINT>(-1);
}

void UiDriver::PickMenuCommand(HWND owner, UINT command) {
    EndMenu();
    PostMessageW(owner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

std::vector<std::wstring> ListRows(HWND list, int columns) {
    std::vector<std::wstring> rows;
    for (int i = 0; i < ListView_GetItemCount(list); ++i) {
        std::wstring row;
        for (int c = 0; c < columns; ++c) {
            wchar_t text[260] = {};
            ListView_GetItemText(list, i, c, text, 260);
            if (c) row += L" | ";
            row += text;
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::wstring> ComboEntries(HWND combo) {
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[260] = {};
        COMBOBOXEXITEMW item = {};
        item.mask = CBEIF_TEXT;
        item.iItem = i;
        item.pszText = text;
        item.cchTextMax = 260;
        if (!SendMessageW(combo, CBEM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)))
            SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(text);
    }
    return entries;
}

bool ToolbarButtonEnabled(HWND toolbar, int command) {
    return SendMessageW(toolbar, TB_ISBUTTONENABLED, command, 0) != 0 && IsWindowEnabled(toolbar);
}

}  // namespace testing_support
