// The profile page's menus: the list's context menu, the View and New Item
// drop-downs of the toolbars, and the Add commands behind the method's New
// Item menu. An Add command without a handler shows grey.
#pragma once
#include <windows.h>

#include <cstddef>
#include <functional>
#include <map>

#include "ProfileList.h"
#include "common/win/Handle.h"

namespace ordvale::wizard {

class EditorContext;

class CEditorMenus {
public:
    // The Add commands run on the context.
    explicit CEditorMenus(EditorContext& context);
    CEditorMenus(const CEditorMenus&) = delete;
    CEditorMenus& operator=(const CEditorMenus&) = delete;

    // The menus open over the page and send their commands to it.
    void Attach(HWND page, HINSTANCE module);

    // What the menus show of the page when they open.
    struct State {
        bool loaded = false;
        ModelMethod method = ModelMethod::None;  // the loaded profile's
        ListMode view = ListMode::Details;
        std::size_t selected = 0;  // items selected in the list
    };
    // The list's menu at a point of the screen: all grey while no profile is
    // loaded; else the view checked, the method's Add menu, Delete for a
    // selection and Edit for one item.
    void ShowContextMenu(POINT at, const State& state);
    // The drop-down of View or New Item under its button (nothing while no
    // profile is loaded).
    void ShowDropDown(HWND toolbar, int command, const State& state);
    // The view a command of the View menu chooses.
    static ListMode ViewOf(UINT command);
    // Runs the Add command with this id; false when there is none.
    bool RunAddCommand(WORD id);

private:
    void Register(WORD id, std::function<void()> command) { addCommands_[id] = std::move(command); }
    // The method's Add menu (a menu bar; its first popup is the menu).
    win::UniqueMenu LoadAddMenu(ModelMethod method) const;
    // Greys the Add commands without a handler; recursive into submenus.
    void GreyUnhandled(HMENU menu) const;

    HWND page_ = nullptr;
    HINSTANCE module_ = nullptr;
    std::map<WORD, std::function<void()>> addCommands_;
};

}  // namespace ordvale::wizard
