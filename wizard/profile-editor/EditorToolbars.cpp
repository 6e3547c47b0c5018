#include "EditorToolbars.h"

#include <vector>

#include "EditorIcons.h"
#include "common/Text.h"
#include "common/win/Dialog.h"
#include "common/win/Dpi.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

constexpr int kPathBoxWidth = 250;

// The toolbars' icons: profile commands, navigation, new items.
const std::vector<int> kToolbarIcons[3] = {
    {IDI_TB_RELOAD, IDI_TB_NEW, IDI_TB_SAVE, IDI_TB_SAVE_AS, IDI_TB_RENAME, IDI_TB_DELETE},
    {IDI_TB_UPWARD, IDI_TB_VIEW},
    {IDI_TB_NEW_ITEM}};
enum Bar { kProfileBar, kNavigationBar, kNewItemsBar };

TBBUTTON Button(int image, int command, BYTE style = BTNS_BUTTON, INT_PTR text = -1) {
    TBBUTTON button = {};
    button.iBitmap = image;
    button.idCommand = command;
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = style;
    button.iString = text;
    return button;
}

TBBUTTON Separator(int width = 0) {
    TBBUTTON button = {};
    button.iBitmap = width;
    button.fsStyle = BTNS_SEP;
    return button;
}

void EnableButton(HWND toolbar, int command, bool enable) {
    SendMessageW(toolbar, TB_ENABLEBUTTON, command, MAKELPARAM(enable, 0));
}

}  // namespace

HWND CEditorToolbars::Make(int id, int slot, DWORD style, HIMAGELIST images, const std::vector<TBBUTTON>& buttons) {
    HWND placeholder = GetDlgItem(page_, slot);
    RECT place = {};
    GetWindowRect(placeholder, &place);
    MapWindowPoints(nullptr, page_, reinterpret_cast<POINT*>(&place), 2);
    ShowWindow(placeholder, SW_HIDE);
    HWND toolbar = CreateWindowExW(0, TOOLBARCLASSNAMEW, nullptr,
                                   WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS |
                                       TBSTYLE_TRANSPARENT | CCS_NODIVIDER | CCS_NORESIZE | CCS_NOPARENTALIGN | style,
                                   place.left, place.top, place.right - place.left, place.bottom - place.top, page_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), module_, nullptr);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SetWindowPos(toolbar, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return toolbar;
}

void CEditorToolbars::Create(HWND page, HINSTANCE module, const std::wstring& newItemLabel, CPathBox* pathBox) {
    page_ = page;
    module_ = module;
    const UINT dpi = win::WindowDpi(page);
    const int small = win::SmallIconSize(dpi);
    images_[kProfileBar] = IconList(module, small, kToolbarIcons[kProfileBar]);
    toolbars_[kProfileBar] =
        Make(IDC_PROFILE_TOOLBAR, IDC_PROFILE_TOOLBAR_SLOT, 0, images_[kProfileBar].Get(),
             {Button(0, ID_RELOAD_PROFILE), Separator(), Button(1, ID_NEW_PROFILE), Button(2, ID_SAVE_PROFILE),
              Button(3, ID_SAVE_PROFILE_AS), Separator(), Button(4, ID_RENAME_PROFILE), Button(5, ID_DELETE_PROFILE)});

    images_[kNavigationBar] = IconList(module, small, kToolbarIcons[kNavigationBar]);
    HWND navigation = Make(IDC_NAVIGATION_TOOLBAR, IDC_NAVIGATION_TOOLBAR_SLOT, 0, images_[kNavigationBar].Get(),
                           {Button(0, ID_UPWARD), Separator(), Separator(win::ScaleForDpi(kPathBoxWidth, dpi)),
                            Separator(), Button(1, ID_VIEW, BTNS_WHOLEDROPDOWN)});
    toolbars_[kNavigationBar] = navigation;
    RECT slot = {};
    SendMessageW(navigation, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&slot));
    pathBox->Create(navigation, IDC_PATH_BOX, slot, module,
                    reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0)));

    images_[kNewItemsBar] = IconList(module, small, kToolbarIcons[kNewItemsBar]);
    HWND items =
        Make(IDC_NEW_ITEMS_TOOLBAR, IDC_NEW_ITEMS_TOOLBAR_SLOT, TBSTYLE_LIST, images_[kNewItemsBar].Get(), {});
    toolbars_[kNewItemsBar] = items;
    std::wstring label = newItemLabel;
    label.push_back(L'\0');
    const INT_PTR text = SendMessageW(items, TB_ADDSTRINGW, 0, reinterpret_cast<LPARAM>(label.c_str()));
    TBBUTTON newItem = Button(0, ID_NEW_ITEMS, BTNS_WHOLEDROPDOWN | BTNS_AUTOSIZE, text);
    SendMessageW(items, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&newItem));
}

HWND CEditorToolbars::ToolbarOf(int command) const {
    return toolbars_[command == ID_VIEW ? kNavigationBar : kNewItemsBar];
}

void CEditorToolbars::EnableProfileCommands(bool enable) {
    for (int command : {ID_RELOAD_PROFILE, ID_SAVE_PROFILE_AS, ID_RENAME_PROFILE, ID_DELETE_PROFILE})
        EnableButton(toolbars_[kProfileBar], command, enable);
}

void CEditorToolbars::EnableSave(bool enable) {
    EnableButton(toolbars_[kProfileBar], ID_SAVE_PROFILE, enable);
}

void CEditorToolbars::EnableNavigation(bool enable) {
    EnableWindow(toolbars_[kNavigationBar], enable);
    EnableWindow(toolbars_[kNewItemsBar], enable);
    for (HWND toolbar : {toolbars_[kNavigationBar], toolbars_[kNewItemsBar]})
        for (int command : {ID_UPWARD, ID_VIEW, ID_NEW_ITEMS}) EnableButton(toolbar, command, enable);
}

void CEditorToolbars::RebuildImages() {
    const int small = win::SmallIconSize(win::WindowDpi(page_));
    for (int i = 0; i < 3; ++i) {
        images_[i] = IconList(module_, small, kToolbarIcons[i]);
        SendMessageW(toolbars_[i], TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images_[i].Get()));
    }
}

bool CEditorToolbars::OnTooltip(NMHDR* header) const {
    if (header->code != TTN_GETDISPINFOW) return false;
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(header);
    std::wstring text = win::LoadModuleText(module_, static_cast<UINT>(header->idFrom));
    const std::size_t line = text.find(L'\n');
    if (line != std::wstring::npos) text = text.substr(line + 1);
    StoreText(info->szText, text.substr(0, 79));
    info->lpszText = info->szText;
    info->hinst = nullptr;
    SetWindowPos(header->hwndFrom, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return true;
}

}  // namespace ordvale::wizard
