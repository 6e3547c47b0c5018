// For screenshots of the watcher's menu: waits for the watcher's icon in the
// notification area and right-clicks it, as a user does (the pointer moved
// there, the button pressed and let go). Wine does not tell where an icon
// is (Shell_NotifyIconGetRect): X Y, when given, say where to click once
// the watcher is there. Exit code 0 when it clicked.
// DESKTOP names Wine's desktop the watcher runs on (explorer /desktop=NAME).
//   tray_click.exe DESKTOP [MILLISECONDS [X Y]]
#include <windows.h>
#include <shellapi.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    HDESK desktop = OpenDesktopW(argv[1], 0, FALSE, GENERIC_ALL);
    if (!desktop || !SetThreadDesktop(desktop)) return 3;
    ++argv;
    --argc;
    const DWORD wait = argc > 1 ? wcstoul(argv[1], nullptr, 10) : 30000;
    const DWORD start = GetTickCount();
    RECT rect = {};
    for (;;) {
        HWND watcher = FindWindowW(L"OrdvaleWatchWindow", nullptr);
        NOTIFYICONIDENTIFIER icon = {};
        icon.cbSize = sizeof(icon);
        icon.hWnd = watcher;
        icon.uID = 1;
        if (watcher && SUCCEEDED(Shell_NotifyIconGetRect(&icon, &rect)) && rect.right > rect.left) break;
        if (watcher && argc > 3) {
            rect.left = rect.right = _wtoi(argv[2]);
            rect.top = rect.bottom = _wtoi(argv[3]);
            break;
        }
        if (GetTickCount() - start > wait) return 1;
        Sleep(200);
    }
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    return SendInput(2, clicks, sizeof(INPUT)) == 2 ? 0 : 1;
}
