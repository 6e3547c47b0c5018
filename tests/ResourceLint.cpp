#include "ResourceLint.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <set>

#include "common/win/Handle.h"

namespace testing_support {

namespace {

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

bool IsRadio(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    return lstrcmpiW(name, L"Button") == 0 && (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
}

bool IsStatic(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    return lstrcmpiW(name, L"Static") == 0;
}

bool StartsGroup(HWND control) {
    return (GetWindowLongW(control, GWL_STYLE) & WS_GROUP) != 0;
}

std::wstring Describe(HWND control) {
    wchar_t text[128] = {};
    GetWindowTextW(control, text, 128);
    return L"control " + std::to_wstring(GetDlgCtrlID(control)) + L" \"" + text + L"\"";
}

// The faults of one dialog's children, in tab order.
void CheckRadioRuns(HWND dialog, const std::wstring& name, std::vector<std::wstring>* faults) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    HWND lastRadio = nullptr;  // of the run being read
    for (std::size_t i = 0; i < children.size(); ++i) {
        HWND control = children[i];
        if (IsRadio(control)) {
            if (!lastRadio && !StartsGroup(control))
                faults->push_back(name + L": " + Describe(control) + L" does not start its group");
            if (lastRadio && StartsGroup(control))
                faults->push_back(name + L": " + Describe(control) + L" starts a group of its own");
            lastRadio = control;
            continue;
        }
        if (!lastRadio) continue;
        if (IsStatic(control)) {
            // A text between two choices must not start a group; after the
            // last choice one must (or a control after it).
            HWND nextNonStatic = nullptr;
            for (std::size_t j = i + 1; j < children.size() && !nextNonStatic; ++j)
                if (!IsStatic(children[j])) nextNonStatic = children[j];
            const bool between = nextNonStatic && IsRadio(nextNonStatic);
            if (between && StartsGroup(control))
                faults->push_back(name + L": " + Describe(control) + L" between two choices starts a group");
            if (!between && StartsGroup(control)) lastRadio = nullptr;
            if (!between && !StartsGroup(control) && !nextNonStatic) lastRadio = nullptr;
            continue;
        }
        if (!StartsGroup(control))
            faults->push_back(name + L": " + Describe(control) + L" joins the group of " + Describe(lastRadio));
        lastRadio = nullptr;
    }
}

BOOL CALLBACK CollectDialogName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR data) {
    auto* names = reinterpret_cast<std::vector<std::wstring>*>(data);
    names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : name);
    return TRUE;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}


// Every dialog template of the module, created hidden one at a time (child
// templates under a hidden parent) and handed to `visit`; how many there are.
template <class Visit>
std::size_t ForEachDialog(HINSTANCE module, std::vector<std::wstring>* faults, Visit visit) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_LINK_CLASS |
                                                           ICC_DATE_CLASSES | ICC_USEREX_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&controls);
    std::vector<std::wstring> names;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, CollectDialogName,
                       reinterpret_cast<LONG_PTR>(&names));
    HWND host = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (const std::wstring& name : names) {
        LPCWSTR id = name[0] == L'#' ? MAKEINTRESOURCEW(std::stoi(name.substr(1))) : name.c_str();
        HWND dialog = CreateDialogParamW(module, id, host, QuietDialog, 0);
        if (!dialog) {
            faults->push_back(L"dialog " + name + L" cannot be created");
            continue;
        }
        visit(name, dialog);
        DestroyWindow(dialog);
    }
    DestroyWindow(host);
    return names.size();
}

// A control whose caption the dialog manager reads for a mnemonic: buttons
// (group boxes too) and texts that show their caption with prefixes.
bool CarriesMnemonic(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (lstrcmpiW(name, L"Button") == 0) return (style & BS_TYPEMASK) != BS_OWNERDRAW;
    if (lstrcmpiW(name, L"Static") != 0 || (style & SS_NOPREFIX)) return false;
    switch (style & SS_TYPEMASK) {
        case SS_LEFT: case SS_CENTER: case SS_RIGHT: case SS_SIMPLE: case SS_LEFTNOWORDWRAP:
            return true;
        default:
            return false;
    }
}

struct Mnemonic {
    wchar_t letter;
    std::wstring where;
};

void CheckLetters(const std::wstring& name, const std::vector<Mnemonic>& mnemonics, std::vector<std::wstring>* faults) {
    std::map<wchar_t, std::vector<std::wstring>> byLetter;
    for (const Mnemonic& m : mnemonics) byLetter[m.letter].push_back(m.where);
    for (const auto& [letter, places] : byLetter) {
        if (places.size() < 2) continue;
        std::wstring fault = name + L": &" + std::wstring(1, letter) + L" is used by";
        for (std::size_t i = 0; i < places.size(); ++i) fault += (i ? L" and " : L" ") + places[i];
        faults->push_back(fault);
    }
}

void CheckMenu(HMENU menu, const std::wstring& name, std::vector<std::wstring>* faults) {
    std::vector<Mnemonic> mnemonics;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, i, text, 256, MF_BYPOSITION);
        if (const wchar_t letter = MnemonicOf(text)) mnemonics.push_back({letter, L"\"" + std::wstring(text) + L"\""});
        if (HMENU sub = GetSubMenu(menu, i)) CheckMenu(sub, name + L" > " + text, faults);
    }
    CheckLetters(name, mnemonics, faults);
}

BOOL CALLBACK CollectMenuName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR data) {
    auto* names = reinterpret_cast<std::vector<LPCWSTR>*>(data);
    if (IS_INTRESOURCE(name)) names->push_back(name);
    return TRUE;
}

// Each menu resource of the module, loaded, with its name.
template <typename Visit>
void ForEachMenu(HINSTANCE module, std::vector<std::wstring>* faults, Visit visit) {
    std::vector<LPCWSTR> menus;
    EnumResourceNamesW(module, MAKEINTRESOURCEW(4) /* RT_MENU */, CollectMenuName, reinterpret_cast<LONG_PTR>(&menus));
    for (LPCWSTR id : menus) {
        const std::wstring name = L"menu #" + std::to_wstring(reinterpret_cast<ULONG_PTR>(id));
        const ordvale::win::UniqueMenu menu(LoadMenuW(module, id));
        if (!menu) {
            faults->push_back(name + L" cannot be loaded");
            continue;
        }
        visit(name, menu.Get());
    }
}

void CheckPopupLetters(HMENU popup, const std::wstring& name, std::vector<std::wstring>* faults) {
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        if (GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR) continue;
        wchar_t text[256] = {};
        GetMenuStringW(popup, i, text, 256, MF_BYPOSITION);
        if (!MnemonicOf(text)) faults->push_back(name + L": \"" + text + L"\" has no mnemonic");
        if (HMENU sub = GetSubMenu(popup, i)) CheckPopupLetters(sub, name + L" > " + text, faults);
    }
}

}  // namespace

std::vector<std::wstring> RadioGroupFaults(HINSTANCE module) {
    std::vector<std::wstring> faults;
    const std::size_t dialogs = ForEachDialog(
        module, &faults, [&](const std::wstring& name, HWND dialog) { CheckRadioRuns(dialog, L"dialog " + name, &faults); });
    if (dialogs == 0) faults.push_back(L"the module has no dialogs");
    return faults;
}

wchar_t MnemonicOf(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return static_cast<wchar_t>(towupper(caption[i + 1]));
    }
    return 0;
}

std::vector<std::wstring> MnemonicClashes(HINSTANCE module, const std::vector<ShownTogether>& together) {
    std::vector<std::wstring> faults;
    std::map<std::wstring, std::vector<Mnemonic>> byDialog;
    ForEachDialog(module, &faults, [&](const std::wstring& name, HWND dialog) {
        std::vector<Mnemonic>& mnemonics = byDialog[name];
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM data) -> BOOL {
                if (!CarriesMnemonic(child)) return TRUE;
                if (const wchar_t letter = MnemonicOf(WindowText(child)))
                    reinterpret_cast<std::vector<Mnemonic>*>(data)->push_back({letter, Describe(child)});
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&mnemonics));
    });
    std::set<std::wstring> inSets;
    for (const ShownTogether& set : together) {
        std::wstring name;
        std::vector<Mnemonic> mnemonics;
        for (int id : set) {
            const std::wstring dialog = L"#" + std::to_wstring(id);
            const auto found = byDialog.find(dialog);
            if (found == byDialog.end()) {
                faults.push_back(L"dialog " + dialog + L" is not in the module");
                continue;
            }
            inSets.insert(dialog);
            name += (name.empty() ? L"dialogs " : L" + ") + dialog;
            for (Mnemonic m : found->second) {
                m.where = dialog + L" " + m.where;
                mnemonics.push_back(m);
            }
        }
        CheckLetters(name, mnemonics, &faults);
    }
    for (const auto& [dialog, mnemonics] : byDialog)
        if (!inSets.count(dialog)) CheckLetters(L"dialog " + dialog, mnemonics, &faults);

    ForEachMenu(module, &faults, [&](const std::wstring& name, HMENU menu) { CheckMenu(menu, name, &faults); });
    return faults;
}

std::vector<std::wstring> MenuItemsWithoutMnemonic(HINSTANCE module) {
    std::vector<std::wstring> faults;
    ForEachMenu(module, &faults, [&](const std::wstring& name, HMENU bar) {
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            wchar_t text[256] = {};
            GetMenuStringW(bar, i, text, 256, MF_BYPOSITION);
            if (HMENU popup = GetSubMenu(bar, i)) CheckPopupLetters(popup, name + L" " + text, &faults);
        }
    });
    return faults;
}

}  // namespace testing_support
