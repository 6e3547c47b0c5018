#include "WindowDriver.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <tlhelp32.h>

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

int ListViewRows(HWND list) {
    return static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring ListViewCell(HWND list, int row, int column) {
    constexpr int kUnits = 1024;
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (!process) return std::wstring();
    std::wstring text;
    const SIZE_T bytes = sizeof(LVITEMW) + kUnits * sizeof(wchar_t);
    auto* remote = static_cast<unsigned char*>(VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE));
    if (remote) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(remote + sizeof(LVITEMW));
        item.cchTextMax = kUnits;
        std::vector<wchar_t> buffer(kUnits, L'\0');
        if (WriteProcessMemory(process, remote, &item, sizeof(item), nullptr)) {
            SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
            if (ReadProcessMemory(process, remote + sizeof(LVITEMW), buffer.data(), kUnits * sizeof(wchar_t), nullptr)) {
                buffer[kUnits - 1] = L'\0';
                text = buffer.data();
            }
        }
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
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

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

void Click(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void PostTyping(HWND window, const std::wstring& text) {
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpiW(name, L"Edit") == 0) {
        PostKey(window, VK_END);
        // Asked of the edit itself: its text as another process sees it may be stale.
        const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
        for (LRESULT i = 0; i < length; ++i) PostMessageW(window, WM_CHAR, VK_BACK, 1);
    }
    for (wchar_t c : text) PostMessageW(window, WM_CHAR, c, 1);
}

void PostPaste(HWND edit, const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        memcpy(GlobalLock(memory), text.c_str(), bytes);
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
    PostMessageW(edit, EM_SETSEL, 0, -1);
    PostMessageW(edit, WM_PASTE, 0, 0);
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

void PostKey(HWND window, UINT key, int times) {
    const LPARAM down = 1 | (MapVirtualKeyW(key, MAPVK_VK_TO_VSC) << 16);
    for (int i = 0; i < times; ++i) {
        PostMessageW(window, WM_KEYDOWN, key, down);
        PostMessageW(window, WM_KEYUP, key, down | 0xC0000000);
    }
}

HWND VisibleControl(HWND top, int id) {
    struct Search {
        int id;
        HWND found;
    } search = {id, nullptr};
    EnumChildWindows(
        top,
        [](HWND child, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) == s->id && IsWindowVisible(child)) {
                s->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitForControl(HWND top, int id) {
    return WaitUntil([&] { return VisibleControl(top, id) != nullptr; });
}

void Press(HWND top, int id) {
    HWND control = VisibleControl(top, id);
    ASSERT_NE(control, nullptr) << "control " << id;
    Click(GetParent(control), id);
}

void PressButton(HWND button) {
    PostMessageW(button, BM_CLICK, 0, 0);
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool PressKey(HWND window, UINT key) {
    HWND focus = FocusOf(window);
    if (!focus) return false;
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    PostMessageW(focus, WM_KEYDOWN, key, down);
    PostMessageW(focus, WM_KEYUP, key, down | (1 << 30) | (static_cast<LPARAM>(1) << 31));
    return true;
}

}  // namespace testing_support
