#include "WindowDriver.h"

#include <vector>

namespace testing_support {

Program::Program(const std::wstring& commandLine) {
    std::wstring line = commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
}

Program::~Program() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
}

DWORD Program::Wait(DWORD milliseconds) {
    if (!process_) return STILL_ACTIVE;
    WaitForSingleObject(process_, milliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > milliseconds) return false;
        Sleep(50);
    }
    return true;
}

namespace {

struct Search {
    DWORD processId;
    const std::wstring* title;
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != search->processId || !IsWindowVisible(hwnd)) return TRUE;
    if (search->title) {
        wchar_t text[512] = {};
        GetWindowTextW(hwnd, text, 512);
        if (*search->title != text) return TRUE;
    }
    if (search->className) {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (lstrcmpW(name, search->className) != 0) return TRUE;
        // A message box holds its text in a static control with id 0xFFFF.
        if (!GetDlgItem(hwnd, 0xFFFF)) return TRUE;
    }
    search->found = hwnd;
    return FALSE;
}

HWND Find(DWORD processId, const std::wstring* title, const wchar_t* className, DWORD milliseconds) {
    Search search = {processId, title, className, nullptr};
    WaitUntil([&] {
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, milliseconds);
    return search.found;
}

}  // namespace

HWND WaitForWindow(DWORD processId, const std::wstring& title, DWORD milliseconds) {
    return Find(processId, &title, nullptr, milliseconds);
}

HWND WaitForMessageBox(DWORD processId, DWORD milliseconds) {
    return Find(processId, nullptr, L"#32770", milliseconds);
}

std::wstring ControlText(HWND dialog, int id) {
    wchar_t text[2048] = {};
    GetDlgItemTextW(dialog, id, text, 2048);
    return text;
}

std::wstring MessageBoxText(HWND box) {
    return ControlText(box, 0xFFFF);
}

void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace testing_support
