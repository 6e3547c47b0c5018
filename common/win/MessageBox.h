// Every question and message box goes through ShowMessageBox, so tests can
// answer them; real runs show the real box.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace ordvale::win {

struct MessageBoxCall {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT type;
};

using MessageBoxHandler = std::function<int(const MessageBoxCall&)>;

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

// Replaces the real box for the lifetime of the returned scope (tests).
class ScopedMessageBoxHandler {
public:
    explicit ScopedMessageBoxHandler(MessageBoxHandler handler);
    ~ScopedMessageBoxHandler();
    ScopedMessageBoxHandler(const ScopedMessageBoxHandler&) = delete;
    ScopedMessageBoxHandler& operator=(const ScopedMessageBoxHandler&) = delete;

private:
    MessageBoxHandler previous_;
};

}  // namespace ordvale::win
