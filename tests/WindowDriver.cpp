#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <vector>

#include "TestSupport.h"

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

namespace {

// The processes of the snapshot for which `pick` says yes, opened to be waited for.
template <class Pick>
std::vector<HANDLE> OpenProcesses(Pick pick) {
    std::vector<HANDLE> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (!pick(entry)) continue;
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (process) found.push_back(process);
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

DWORD Program::WaitWithChildren(DWORD milliseconds) {
    DWORD code = Wait(milliseconds);
    if (code == STILL_ACTIVE) return code;
    for (HANDLE child : OpenProcesses([&](const PROCESSENTRY32W& e) { return e.th32ParentProcessID == id_; })) {
        if (WaitForSingleObject(child, milliseconds) != WAIT_OBJECT_0 || !GetExitCodeProcess(child, &code))
            code = STILL_ACTIVE;
        CloseHandle(child);
    }
    return code;
}

void WaitForProcessesNamed(const wchar_t* name, DWORD milliseconds) {
    for (HANDLE process : OpenProcesses([&](const PROCESSENTRY32W& e) { return _wcsicmp(e.szExeFile, name) == 0; })) {
        WaitForSingleObject(process, milliseconds);
        CloseHandle(process);
    }
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
        if (lstrcmpW(search->className, L"#32770") == 0 && !GetDlgItem(hwnd, 0xFFFF)) return TRUE;
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

std::string DescribeProgram(Program& program) {
    const DWORD code = program.Wait(0);
    std::string text = code == STILL_ACTIVE ? "still running" : "ended with " + std::to_string(code);
    struct Listing {
        DWORD processId;
        std::string windows;
    } listing{program.Id(), ""};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* listing = reinterpret_cast<Listing*>(param);
            DWORD pid = 0;
            GetWindowThreadProcessId(hwnd, &pid);
            if (pid != listing->processId) return TRUE;
            wchar_t name[64] = {}, title[256] = {};
            GetClassNameW(hwnd, name, 64);
            GetWindowTextW(hwnd, title, 256);
            listing->windows += "; " + Narrow(name) + " \"" + Narrow(title) + "\"" +
                                (IsWindowVisible(hwnd) ? "" : " (hidden)");
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&listing));
    return text + (listing.windows.empty() ? "; no windows" : listing.windows);
}

HWND WaitForMessageBox(DWORD processId, DWORD milliseconds) {
    return Find(processId, nullptr, L"#32770", milliseconds);
}

HWND WaitForMenu(DWORD processId, DWORD milliseconds) {
    return Find(processId, nullptr, L"#32768", milliseconds);
}

bool ChooseFromButtonMenu(DWORD processId, HWND button, HMENU layout, UINT command) {
    Click(button);
    HWND menu = WaitForMenu(processId, 10000);
    if (!menu) {
        ADD_FAILURE() << "the button opens no menu";
        return false;
    }
    ChooseMenuItem(menu, layout, command);
    return true;
}

bool ShownAsPath(const std::wstring& shown, const std::wstring& full) {
    if (shown == full) return true;
    const std::size_t dots = shown.find(L"...");
    if (dots == std::wstring::npos) return false;
    const std::wstring head = shown.substr(0, dots), tail = shown.substr(dots + 3);
    const std::size_t slash = full.rfind(L'\\');
    return !tail.empty() && tail[0] == L'\\' && full.size() >= head.size() + tail.size() &&
           full.compare(0, head.size(), head) == 0 &&
           full.compare(full.size() - tail.size(), tail.size(), tail) == 0 &&
           slash != std::wstring::npos && tail.size() >= full.size() - slash;
}

bool WaitForControl(HWND top, int id) {
    return WaitUntil([&] { return VisibleControl(top, id) != nullptr; });
}

}  // namespace testing_support
