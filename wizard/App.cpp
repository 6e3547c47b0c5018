// OrdvaleWizard.exe: start-up. Initialises the common controls and OLE,
// reads the settings and runs the wizard dialog modally; the program ends
// when the dialog closes.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/Settings.h"
#include "resource.h"

namespace {

INT_PTR CALLBACK FrameProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            break;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    if (FAILED(OleInitialize(nullptr))) return 1;

    ordvale::OrdvaleSettings settings;
    ordvale::InitSettings(&settings);
    ordvale::LoadSettings(&settings);

    DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_WIZARD_FRAME), nullptr, FrameProc, 0);
    OleUninitialize();
    return 0;
}
