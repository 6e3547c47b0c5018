// Drives windows of this process the way a person would: mouse clicks and
// keys posted to the controls and dispatched through the dialog manager,
// BM_CLICK on buttons, and answers to modal dialogs and menus as they come
// up. Menus and modal dialogs run their own message loops; the script of
// `whenIdle` actions is played while they wait for input, one action each
// time they fall idle.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "WindowDriver.h"  // WindowText

namespace testing_support {

class UiDriver {
public:
    // top: the top-level window whose dialog manager handles keys; watched
    // (with `alsoWatch`) for the idle notices of modal dialogs and menus.
    UiDriver(HWND top, std::vector<HWND> alsoWatch = {});
    ~UiDriver();
    UiDriver(const UiDriver&) = delete;
    UiDriver& operator=(const UiDriver&) = delete;

    // Dispatches every pending message.
    void Pump();
    void ClickButton(HWND button);
    void ClickToolbarButton(HWND toolbar, int command);
    // A click on the item's label (index -1: the empty space below the items).
    void ClickListItem(HWND list, int index, UINT keys = 0);
    void DoubleClickListItem(HWND list, int index);
    void RightClickListItem(HWND list, int index);
    // A key pressed (and released) in the window, with Control held when asked.
    void PressKey(HWND window, UINT key, bool control = false);
    // Characters typed into the window (PostTyping), then taken.
    void Type(HWND window, const std::wstring& text);
    // Picks an entry of a drop-down list by its first letter.
    void PickByLetter(HWND combo, wchar_t letter);

    // The next action runs when a modal dialog or menu is idle; it gets the
    // dialog's or the menu's window. With none left, the dialog or menu is
    // closed and the test fails.
    void WhenIdle(std::function<void(HWND window)> action) { actions_.push_back(std::move(action)); }
    bool AllActionsDone() const { return actions_.empty(); }

    // Actions for modal dialogs and menus.
    static void PressDialogButton(HWND dialog, int id);
    static HMENU MenuOf(HWND menuWindow);
    // The state (MF_GRAYED and others) of a menu item by command, searched in submenus too.
    static UINT MenuState(HMENU menu, UINT command);
    // Closes the menu and sends its owner the command, as picking the item does.
    static void PickMenuCommand(HWND owner, UINT command);

private:
    static LRESULT CALLBACK WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);
    void OnIdle(HWND window, bool menu);

    HWND top_;
    std::vector<HWND> watched_;
    std::deque<std::function<void(HWND)>> actions_;
    bool running_ = false;
};

// The texts of a list view's rows, the columns joined by " | ".
std::vector<std::wstring> ListRows(HWND list, int columns = 1);
// The texts of a combo box's entries (ComboBoxEx too).
std::vector<std::wstring> ComboEntries(HWND combo);
bool ToolbarButtonEnabled(HWND toolbar, int command);

}  // namespace testing_support
