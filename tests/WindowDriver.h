// Drives the windows of another process (or thread) the way a person would:
// waits for a window by title, reads control texts, clicks buttons.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

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

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// A top-level window of the process whose title is `title`; nullptr after the time-out.
HWND WaitForWindow(DWORD processId, const std::wstring& title, DWORD milliseconds = 30000);
// A message box (dialog class) of the process; nullptr after the time-out.
HWND WaitForMessageBox(DWORD processId, DWORD milliseconds = 30000);
std::wstring MessageBoxText(HWND box);
std::wstring ControlText(HWND dialog, int id);
void Click(HWND dialog, int id);
bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 30000);

}  // namespace testing_support
