#include "UiDriver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace testing_support {

UiDriver::UiDriver(HWND top, std::vector<HWND> alsoWatch) : top_(top), watched_(std::move(alsoWatch)) {
    watched_.push_back(top);
    for (HWND window : watched_) SetWindowSubclass(window, WatchProc, 77, reinterpret_cast<DWORD_PTR>(this));
    SetSettler(this);
}

UiDriver::~UiDriver() {
    RemoveSettler(this);
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

void UiDriver::Settle(HWND) {
    if (!running_) Pump();
}

void UiDriver::ChooseFromOpenMenu(HWND menuWindow, UINT command) {
    HMENU menu = MenuOf(menuWindow);
    const UINT state = MenuState(menu, command);
    if (state == static_cast<UINT>(-1) || (state & MF_GRAYED)) {
        ADD_FAILURE() << "the command " << command << " is " << (state & MF_GRAYED ? "grey" : "not") << " in the menu";
        EndMenu();
        return;
    }
    ChooseMenuItem(menuWindow, menu, command);
}

}  // namespace testing_support
