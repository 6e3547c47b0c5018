// Private messages from the worker to the progress dialog, all sent
// synchronously.
#pragma once

#include <windows.h>

#include <string>

namespace ordvale {

constexpr UINT UM_CALCULATING = WM_USER + 800;        // wParam 1 begins / 0 ends
constexpr UINT UM_PROGRESS = WM_USER + 801;           // lParam percentage
constexpr UINT UM_OPERATION_BEGIN = WM_USER + 802;    // wParam kind, lParam source path
constexpr UINT UM_OPERATION_END = WM_USER + 804;      // wParam status
constexpr UINT UM_FINISHED = WM_USER + 805;
constexpr UINT UM_INITIALIZING = WM_USER + 806;       // wParam 1 begins / 0 ends
constexpr UINT UM_VERIFYING = WM_USER + 807;          // wParam 1 begins / 0 ends
constexpr UINT UM_SHOW_UNCOMPLETED = WM_USER + 808;   // lParam EngineContext*; result 4 Retry, 2 Cancel
constexpr UINT UM_OPERATION_ABORTED = WM_USER + 809;
constexpr UINT UM_ENABLE_CANCEL = WM_USER + 810;      // wParam 1 enable / 0 disable
// The engine's own name-conflict question: lParam ConflictQuestion*, result a ConflictAnswer.
constexpr UINT UM_ASK_CONFLICT = WM_USER + 811;
// A message box for the user: lParam UserMessage*, result the box's answer.
constexpr UINT UM_TELL_USER = WM_USER + 820;
// UM_FINISHED's wParam: 0 for "Operation Finished.", or the number of the
// text that says how the run ended instead.

struct UserMessage {
    std::wstring text;
    UINT type;  // MB_* buttons and icon
};

// Where the worker's messages go: the progress dialog in a run, a recorder in tests.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    // The window that owns the shell's own windows, if any.
    virtual HWND Owner() const { return nullptr; }
};

// Sends to a window with SendMessageW.
class WindowSink : public ProgressSink {
public:
    explicit WindowSink(HWND window) : window_(window) {}
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) override {
        return SendMessageW(window_, message, wParam, lParam);
    }
    HWND Owner() const override { return window_; }

private:
    HWND window_;
};

}  // namespace ordvale
