// For screenshots of another program's pages: waits for its visible window
// on the named desktop (Wine's explorer /desktop=NAME) whose title begins
// with TITLE and an enabled control with the given id, and clicks that
// control: the dialog hears what a click tells it. With ID 0 it only waits
// for the window. Exit code 0 when it clicked (or found the window).
// (A setup program's title changes a little from page to page, hence the
// beginning alone.)
//   press_button.exe DESKTOP TITLE ID [MILLISECONDS]
#include <windows.h>

#include <cwchar>
#include <string>

namespace {

struct Search {
    std::wstring title;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    if (!IsWindowVisible(window) || std::wstring(text).compare(0, search->title.size(), search->title) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) return 2;
    Search search = {argv[2], nullptr};
    const int id = _wtoi(argv[3]);
    const DWORD limit = argc > 4 ? static_cast<DWORD>(_wtoi(argv[4])) : 30000;
    const DWORD start = GetTickCount();
    // This thread joins that desktop as soon as it exists, to see and reach its windows.
    HDESK desktop = nullptr;
    do {
        search.found = nullptr;
        if (!desktop) {
            desktop = OpenDesktopW(argv[1], 0, FALSE, GENERIC_ALL);
            if (desktop && !SetThreadDesktop(desktop)) return 3;
        }
        if (desktop) EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        if (search.found && id == 0) return 0;
        HWND button = search.found ? GetDlgItem(search.found, id) : nullptr;
        if (button && IsWindowVisible(button) && IsWindowEnabled(button)) {
            PostMessageW(search.found, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
            return 0;
        }
        Sleep(100);
    } while (GetTickCount() - start < limit);
    return 1;
}
