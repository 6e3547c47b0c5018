// Drives the windows of another process (or thread) the way a person would:
// waits for a window by title, reads control texts, clicks buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace testing_support {

// A started program; the destructor kills it if it is still running.
class Program {
public:
    explicit Program(const std::wstring& commandLine);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD Id() const { return id_; }
    // The exit code, or STILL_ACTIVE after the time-out.
    DWORD Wait(DWORD milliseconds = 60000);
    // The exit code of the program and of every program it started, waited for
    // in turn (an uninstaller that runs on from a copy of itself, say): the
    // last one's code, or STILL_ACTIVE after a time-out.
    DWORD WaitWithChildren(DWORD milliseconds = 120000);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Waits for every running process of that file name to end.
void WaitForProcessesNamed(const wchar_t* name, DWORD milliseconds = 120000);

// A top-level window of the process whose title is `title`; nullptr after the time-out.
HWND WaitForWindow(DWORD processId, const std::wstring& title, DWORD milliseconds = 30000);
// A message box (dialog class) of the process; nullptr after the time-out.
HWND WaitForMessageBox(DWORD processId, DWORD milliseconds = 30000);
std::wstring MessageBoxText(HWND box);
std::wstring ControlText(HWND dialog, int id);
std::wstring WindowText(HWND window);
void Click(HWND dialog, int id);
// Posts typing into the window: for an edit, End and one Backspace for each
// character it holds, then the text's characters.
void PostTyping(HWND window, const std::wstring& text);
// Puts the text on the clipboard and pastes it over the whole text of the
// edit (Ctrl+A, Ctrl+V): how text a user cannot type (a tab, say) gets into
// a box.
void PostPaste(HWND edit, const std::wstring& text);
// Posts a key pressed and released to the window, `times` over (its own
// loop, another process's or a modal dialog's, handles it).
void PostKey(HWND window, UINT key, int times = 1);
// The visible control with this id anywhere below the window (pages are
// child dialogs of a frame); nullptr when there is none.
HWND VisibleControl(HWND top, int id);
bool WaitForControl(HWND top, int id);
// Clicks the visible control with this id; a test failure when there is none.
void Press(HWND top, int id);
// A click on the control itself (BM_CLICK, as the mouse gives it): an
// automatic radio button or check box changes its own state on the way.
void PressButton(HWND button);
// The control that has the keyboard focus in the window's thread.
HWND FocusOf(HWND window);
// A key pressed and released on the focused control of the window's thread,
// where the window's message loop sees it; false when nothing has the focus.
bool PressKey(HWND window, UINT key);

// The text of a list view's cell, also when the list belongs to another
// process (the request goes through that process's memory).
std::wstring ListViewCell(HWND list, int row, int column);
int ListViewRows(HWND list);

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 30000);
// Whether a path as a list shows it stands for `full`: the same text, or the
// text cut in its middle to fit its column ("C:\\users\\...\\Documents"),
// with the folder it ends in whole.
bool ShownAsPath(const std::wstring& shown, const std::wstring& full);

}  // namespace testing_support
