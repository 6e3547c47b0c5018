#include "Driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "common/win/Handle.h"

namespace testing_support {

namespace {

thread_local Settler* settler = nullptr;

void Settle(HWND window) {
    if (settler && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) settler->Settle(window);
}

bool IsClass(HWND window, const wchar_t* name) {
    wchar_t found[64] = {};
    GetClassNameW(window, found, 64);
    return lstrcmpiW(found, name) == 0;
}

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

// Where the keys pressed "in" the window go.
HWND KeyTarget(HWND window) {
    if (GetAncestor(window, GA_ROOT) != window) return window;
    HWND focus = Focus(window);
    if (!focus) ADD_FAILURE() << "a key in a window whose thread has no focus";
    return focus;
}

void PostKeyStrokes(HWND target, UINT key, bool alt, int times) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM down = 1 | scan | (alt ? (1 << 29) : 0);
    const LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    for (int i = 0; i < times; ++i) {
        PostMessageW(target, alt ? WM_SYSKEYDOWN : WM_KEYDOWN, key, down);
        PostMessageW(target, alt ? WM_SYSKEYUP : WM_KEYUP, key, up);
    }
}

}  // namespace

void SetSettler(Settler* s) {
    settler = s;
}

void RemoveSettler(Settler* s) {
    if (settler == s) settler = nullptr;
}

void Click(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
    Settle(button);
}

void Click(HWND window, int id) {
    HWND control = GetDlgItem(window, id);
    if (!control) control = VisibleControl(window, id);
    if (!control) {
        ADD_FAILURE() << "no control " << id << " to click";
        return;
    }
    Click(control);
}

namespace {

// A toolbar button's rectangle, also when the toolbar belongs to another
// process (asked through memory of that process: the message carries a
// pointer that is not carried across).
bool ButtonRect(HWND toolbar, int command, RECT* rect) {
    DWORD processId = 0;
    GetWindowThreadProcessId(toolbar, &processId);
    if (processId == GetCurrentProcessId())
        return SendMessageW(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(rect)) != 0;
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return false;
    bool found = false;
    if (void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE)) {
        found = SendMessageW(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(remote)) != 0 &&
                ReadProcessMemory(process, remote, rect, sizeof(RECT), nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return found;
}

}  // namespace

void ClickToolbarButton(HWND toolbar, int command) {
    RECT rect = {};
    if (!ButtonRect(toolbar, command, &rect)) {
        ADD_FAILURE() << "no toolbar button " << command;
        return;
    }
    const POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    // The pointer is where the click is: a menu the button opens takes the
    // button's release at the pointer's place, which must not be over the
    // menu (it would pick the item there).
    POINT screen = at;
    ClientToScreen(toolbar, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(toolbar, WM_MOUSEMOVE, 0, Point(at));
    PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    PostMessageW(toolbar, WM_LBUTTONUP, 0, Point(at));
    Settle(toolbar);
}

void ClickListItem(HWND list, int index, UINT keys) {
    const POINT at = ItemPoint(list, index);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON | keys, Point(at));
    PostMessageW(list, WM_LBUTTONUP, keys, Point(at));
    Settle(list);
}

void DoubleClickListItem(HWND list, int index) {
    const POINT at = ItemPoint(list, index);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, Point(at));
    PostMessageW(list, WM_LBUTTONUP, 0, Point(at));
    PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, Point(at));
    PostMessageW(list, WM_LBUTTONUP, 0, Point(at));
    Settle(list);
}

void RightClickListItem(HWND list, int index) {
    const POINT at = ItemPoint(list, index);
    POINT screen = at;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, Point(at));
    PostMessageW(list, WM_RBUTTONUP, 0, Point(at));
    Settle(list);
}

void Press(HWND window, UINT key, Held held, int times) {
    HWND target = KeyTarget(window);
    if (!target) return;
    const bool modifiers = Holds(held, Held::Shift) || Holds(held, Held::Control);
    const bool here = GetWindowThreadProcessId(target, nullptr) == GetCurrentThreadId();
    if (modifiers && !here) {
        ADD_FAILURE() << "Shift and Control can be held only for this thread's windows";
        return;
    }
    BYTE keys[256] = {};
    if (modifiers) {
        GetKeyboardState(keys);
        if (Holds(held, Held::Shift)) keys[VK_SHIFT] |= 0x80;
        if (Holds(held, Held::Control)) keys[VK_CONTROL] |= 0x80;
        SetKeyboardState(keys);
    }
    PostKeyStrokes(target, key, Holds(held, Held::Alt), times);
    Settle(target);
    if (modifiers) {
        keys[VK_SHIFT] &= 0x7F;
        keys[VK_CONTROL] &= 0x7F;
        SetKeyboardState(keys);
    }
}

namespace {

// The mnemonic of a menu item's text; 0 without one.
wchar_t Mnemonic(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    for (const wchar_t* p = text; *p; ++p) {
        if (*p != L'&') continue;
        if (p[1] != L'&') return p[1];
        ++p;  // "&&" is an ampersand
    }
    return 0;
}

// The positions leading to the command's item, submenus first.
bool PathTo(HMENU menu, UINT command, std::vector<std::pair<HMENU, int>>* path) {
    for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
        path->push_back({menu, i});
        if (HMENU sub = GetSubMenu(menu, i)) {
            if (PathTo(sub, command, path)) return true;
        } else if (GetMenuItemID(menu, i) == command) {
            return true;
        }
        path->pop_back();
    }
    return false;
}

}  // namespace

void ChooseMenuItem(HWND window, HMENU layout, UINT command) {
    std::vector<std::pair<HMENU, int>> path;
    if (!PathTo(layout, command, &path)) {
        ADD_FAILURE() << "no menu item for the command " << command;
        return;
    }
    std::vector<UINT> keys;
    for (const auto& [menu, position] : path) {
        const wchar_t letter = Mnemonic(menu, position);
        const SHORT key = letter ? VkKeyScanW(letter) : -1;
        if (key == -1) {
            wchar_t text[256] = {};
            GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
            ADD_FAILURE() << "the menu item \"" << std::wstring(text)
                          << "\" on the way to the command " << command << " has no mnemonic";
            return;
        }
        keys.push_back(LOBYTE(key));
    }
    for (UINT key : keys) Press(window, key);
}

HMENU MenuOf(HWND menuWindow) {
    return reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
}

ProgramMenu::ProgramMenu(const std::wstring& program, int menuId) {
    const std::unique_ptr<std::remove_pointer_t<HMODULE>, decltype(&FreeLibrary)> module(
        LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE), &FreeLibrary);
    if (!module) {
        ADD_FAILURE() << "the program's resources cannot be read";
        return;
    }
    menu_.Reset(LoadMenuW(module.get(), MAKEINTRESOURCEW(menuId)));
    if (!menu_) ADD_FAILURE() << "the program has no menu " << menuId;
}

UINT MenuState(HMENU menu, UINT command) {
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

void Type(HWND window, const std::wstring& text) {
    HWND target = window;
    if (IsClass(window, WC_COMBOBOXEXW))
        target = reinterpret_cast<HWND>(SendMessageW(window, CBEM_GETCOMBOCONTROL, 0, 0));
    if (IsClass(target, L"Edit")) {
        PostKeyStrokes(target, VK_END, false, 1);
        // Asked of the edit itself: its text as another process sees it may be stale.
        const LRESULT length = SendMessageW(target, WM_GETTEXTLENGTH, 0, 0);
        for (LRESULT i = 0; i < length; ++i) PostMessageW(target, WM_CHAR, VK_BACK, 1);
    }
    for (wchar_t c : text) PostMessageW(target, WM_CHAR, c, 1);
    Settle(target);
}

void Paste(HWND edit, const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    PostMessageW(edit, EM_SETSEL, 0, -1);
    PostMessageW(edit, WM_PASTE, 0, 0);
    Settle(edit);
}

std::wstring Text(HWND window) {
    wchar_t text[2048] = {};
    SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring Text(HWND dialog, int id) {
    wchar_t text[2048] = {};
    GetDlgItemTextW(dialog, id, text, 2048);
    return text;
}

std::wstring MessageBoxText(HWND box) {
    return Text(box, 0xFFFF);
}

HWND Focus(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

int RowCount(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring Cell(HWND list, int row, int column) {
    constexpr int kUnits = 1024;
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return std::wstring();
    std::wstring text;
    const SIZE_T bytes = sizeof(LVITEMW) + kUnits * sizeof(wchar_t);
    auto* remote = static_cast<unsigned char*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        item.cchTextMax = kUnits;
        std::vector<wchar_t> buffer(kUnits, L'\0');
        if (WriteProcessMemory(process, remote, &item, sizeof(item), nullptr)) {
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
            if (ReadProcessMemory(process, remote + sizeof(LVITEMW), buffer.data(), kUnits * sizeof(wchar_t), nullptr)) {
                buffer[kUnits - 1] = L'\0';
                text = buffer.data();
            }
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}

std::vector<std::wstring> Rows(HWND list, int columns) {
    std::vector<std::wstring> rows;
    for (int i = 0; i < RowCount(list); ++i) {
        std::wstring row;
        for (int c = 0; c < columns; ++c) {
            if (c) row += L" | ";
            row += Cell(list, i, c);
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

HWND VisibleControl(HWND top, int id) {
    struct Search {
        int id;
        HWND found;
    } search = {id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) == s->id && IsWindowVisible(child)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int IconWidth(HICON icon) {
    ICONINFO info = {};
    if (!icon || !GetIconInfo(icon, &info)) return 0;
    const ordvale::win::UniqueBitmap colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bitmap = {};
    GetObjectW(colour ? colour.Get() : mask.Get(), sizeof(bitmap), &bitmap);
    return bitmap.bmWidth;
}

}  // namespace testing_support
