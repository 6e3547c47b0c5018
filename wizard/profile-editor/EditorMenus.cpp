#include "EditorMenus.h"

#include <commctrl.h>

#include <string>

#include "EditorContext.h"
#include "FolderCommands.h"
#include "NameRuleCommands.h"
#include "SizeTimeCommands.h"
#include "TypeRuleCommands.h"
#include "resource.h"

namespace ordvale::wizard {

namespace {

// The positions of the context menu's items.
constexpr int kViewPosition = 3;
constexpr int kAddPosition = 5;
constexpr int kDeletePosition = 6;
constexpr int kEditPosition = 8;
// The View menu's commands, in the order of ListMode.
const UINT kViewCommands[] = {ID_LIST_ICON, ID_LIST_SMALL_ICON, ID_LIST_LIST, ID_LIST_DETAILS};

// A menu of a window in the background would close at once.
void BringToFront(HWND page) {
    SetForegroundWindow(GetAncestor(page, GA_ROOT));
}

}  // namespace

CEditorMenus::CEditorMenus(EditorContext& context) {
    Register(ID_ADD_FOLDER, [&context] { AddFolderCommand(context); });
    // Type rules.
    Register(ID_ADD_TYPE_RULE, [&context] { AddTypeRuleCommand(context); });
    Register(ID_ADD_TYPE_BATCH, [&context] { AddTypeBatchCommand(context); });
    // Name rules.
    Register(ID_ADD_NAME_RULE, [&context] { AddNameRangeCommand(context); });
    Register(ID_ADD_NAME_REGEXP, [&context] { AddNameRegExpCommand(context); });
    Register(ID_ADD_NAME_BATCH, [&context] { AddNameBatchCommand(context); });
    Register(ID_ADD_SHORTCUTS_SPECIAL,
             [&context] { AddTypeSpecialCommand(context, kTypeShortcuts, editor::kShortcutsSpecialName); });
    Register(ID_ADD_FOLDERS_SPECIAL,
             [&context] { AddTypeSpecialCommand(context, kTypeFolders, editor::kFoldersSpecialName); });
    Register(ID_ADD_UNMATCHED_SPECIAL,
             [&context] { AddTypeSpecialCommand(context, kTypeOtherFiles, editor::kUnmatchedSpecialName); });
    Register(ID_ADD_SIZE_FOLDERS, [&context] { AddSizeFoldersCommand(context); });
    // Size and time rules.
    Register(ID_ADD_SIZE_RULE, [&context] { AddSizeRuleCommand(context); });
    Register(ID_ADD_SIZE_BATCH, [&context] { AddSizeBatchCommand(context); });
    Register(ID_ADD_TIME_RULE, [&context] { AddTimeRuleCommand(context); });
    for (WORD command : {ID_ADD_TIME_BY_YEAR, ID_ADD_TIME_BY_MONTH, ID_ADD_TIME_BY_DAY})
        Register(command, [&context, command] { AddTimeBatchCommand(context, command); });
}

void CEditorMenus::Attach(HWND page, HINSTANCE module) {
    page_ = page;
    module_ = module;
}

ListMode CEditorMenus::ViewOf(UINT command) {
    for (int i = 0; i < 4; ++i)
        if (kViewCommands[i] == command) return static_cast<ListMode>(i);
    return ListMode::Details;
}

bool CEditorMenus::RunAddCommand(WORD id) {
    const auto command = addCommands_.find(id);
    if (command == addCommands_.end()) return false;
    command->second();
    return true;
}

win::UniqueMenu CEditorMenus::LoadAddMenu(ModelMethod method) const {
    int menu = 0;
    switch (method) {
        case ModelMethod::Type: menu = IDR_NEW_TYPE_ITEMS; break;
        case ModelMethod::Time: menu = IDR_NEW_TIME_ITEMS; break;
        case ModelMethod::Size: menu = IDR_NEW_SIZE_ITEMS; break;
        case ModelMethod::Name: menu = IDR_NEW_NAME_ITEMS; break;
        default: return {};
    }
    return win::UniqueMenu(LoadMenuW(module_, MAKEINTRESOURCEW(menu)));
}

void CEditorMenus::GreyUnhandled(HMENU menu) const {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            GreyUnhandled(sub);
            continue;
        }
        const UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != static_cast<UINT>(-1) && !addCommands_.count(static_cast<WORD>(id)))
            EnableMenuItem(menu, i, MF_BYPOSITION | MF_GRAYED);
    }
}

void CEditorMenus::ShowContextMenu(POINT at, const State& state) {
    const win::UniqueMenu menu(LoadMenuW(module_, MAKEINTRESOURCEW(IDR_PROFILE_LIST_MENU)));
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (!popup) return;
    if (!state.loaded) {
        for (int i = 0; i < GetMenuItemCount(popup); ++i) EnableMenuItem(popup, i, MF_BYPOSITION | MF_GRAYED);
    } else {
        CheckMenuRadioItem(GetSubMenu(popup, kViewPosition), 0, 3, static_cast<UINT>(state.view), MF_BYPOSITION);
        if (const win::UniqueMenu bar = LoadAddMenu(state.method)) {
            win::UniqueMenu add(GetSubMenu(bar.Get(), 0));
            RemoveMenu(bar.Get(), 0, MF_BYPOSITION);  // the popup outlives its bar
            GreyUnhandled(add.Get());
            std::wstring label(64, L'\0');
            label.resize(GetMenuStringW(popup, kAddPosition, &label[0], 64, MF_BYPOSITION));
            if (ModifyMenuW(popup, kAddPosition, MF_BYPOSITION | MF_POPUP | MF_STRING,
                            reinterpret_cast<UINT_PTR>(add.Get()), label.c_str()))
                add.Release();  // the context menu's now
        }
        EnableMenuItem(popup, kDeletePosition, MF_BYPOSITION | (state.selected >= 1 ? MF_ENABLED : MF_GRAYED));
        EnableMenuItem(popup, kEditPosition, MF_BYPOSITION | (state.selected == 1 ? MF_ENABLED : MF_GRAYED));
    }
    BringToFront(page_);
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, page_, nullptr);
}

void CEditorMenus::ShowDropDown(HWND toolbar, int command, const State& state) {
    if (!state.loaded) return;
    RECT button = {};
    SendMessageW(toolbar, TB_GETRECT, command, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&button), 2);
    const win::UniqueMenu menu = command == ID_VIEW
                                     ? win::UniqueMenu(LoadMenuW(module_, MAKEINTRESOURCEW(IDR_PROFILE_LIST_MENU)))
                                     : LoadAddMenu(state.method);
    HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
    if (popup && command == ID_VIEW) {
        popup = GetSubMenu(popup, kViewPosition);
        CheckMenuRadioItem(popup, 0, 3, static_cast<UINT>(state.view), MF_BYPOSITION);
    } else if (popup) {
        GreyUnhandled(popup);
    }
    BringToFront(page_);
    // The button's tooltip would stay over the menu, or come back while the
    // pointer rests on the button: it is quiet while the menu is open.
    HWND tips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
    if (tips) {
        SendMessageW(tips, TTM_POP, 0, 0);
        SendMessageW(tips, TTM_ACTIVATE, FALSE, 0);
    }
    if (popup)
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL, button.left, button.bottom, 0, page_,
                       nullptr);
    if (tips) SendMessageW(tips, TTM_ACTIVATE, TRUE, 0);
}

}  // namespace ordvale::wizard
