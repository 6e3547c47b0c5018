// Drives the windows of another process (or thread) the way a person would:
// starts it and waits for its windows; Driver.h acts on them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Driver.h"

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
// What a program shows, for a test's failure message: whether it still
// runs, and its top-level windows (class, title, hidden or not).
std::string DescribeProgram(Program& program);
// A message box (dialog class) of the process; nullptr after the time-out.
HWND WaitForMessageBox(DWORD processId, DWORD milliseconds = 30000);
// An open menu (a popup menu window) of the process; nullptr after the time-out.
HWND WaitForMenu(DWORD processId, DWORD milliseconds = 30000);
// Clicks the button that opens a menu of its program, waits for the menu and
// picks the command from it by its letters (ChooseMenuItem), the menu laid
// out as `layout`; false, with a test failure, when no menu opens.
bool ChooseFromButtonMenu(DWORD processId, HWND button, HMENU layout, UINT command);
bool WaitForControl(HWND top, int id);
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 30000);
// Whether a path as a list shows it stands for `full`: the same text, or the
// text cut in its middle to fit its column ("C:\\users\\...\\Documents"),
// with the folder it ends in whole.
bool ShownAsPath(const std::wstring& shown, const std::wstring& full);

}  // namespace testing_support
