// Runs the windows of this thread for a test: what the acts of Driver.h post
// to them is dispatched through the dialog manager of the top-level window
// at once, and modal dialogs and menus, which run their own message loops,
// get the answers of a script (`WhenIdle`) as they wait for input, one
// action each time they fall idle.
#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "Driver.h"

namespace testing_support {

class UiDriver : public Settler {
public:
    // top: the top-level window whose dialog manager handles keys; watched
    // (with `alsoWatch`) for the idle notices of modal dialogs and menus.
    UiDriver(HWND top, std::vector<HWND> alsoWatch = {});
    ~UiDriver() override;
    UiDriver(const UiDriver&) = delete;
    UiDriver& operator=(const UiDriver&) = delete;

    // Dispatches every pending message.
    void Pump();

    // The next action runs when a modal dialog or menu is idle; it gets the
    // dialog's or the menu's window. With none left, the dialog or menu is
    // closed and the test fails. What an action does is dispatched by the
    // loop of the dialog or menu.
    void WhenIdle(std::function<void(HWND window)> action) { actions_.push_back(std::move(action)); }
    bool AllActionsDone() const { return actions_.empty(); }
    // An action for an open menu: picks the command's item by its
    // mnemonics (Driver.h, ChooseMenuItem); it must not be grey.
    static void ChooseFromOpenMenu(HWND menuWindow, UINT command);

private:
    void Settle(HWND window) override;
    static LRESULT CALLBACK WatchProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR data);
    void OnIdle(HWND window, bool menu);

    HWND top_;
    std::vector<HWND> watched_;
    std::deque<std::function<void(HWND)>> actions_;
    bool running_ = false;
};

}  // namespace testing_support
