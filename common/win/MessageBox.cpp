#include "MessageBox.h"

namespace ordvale::win {

namespace {
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

int ShowMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
    if (Handler()) return Handler()(MessageBoxCall{owner, text, caption, type});
    return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

ScopedMessageBoxHandler::ScopedMessageBoxHandler(MessageBoxHandler handler)
    : previous_(std::move(Handler())) {
    Handler() = std::move(handler);
}

ScopedMessageBoxHandler::~ScopedMessageBoxHandler() {
    Handler() = std::move(previous_);
}

}  // namespace ordvale::win
