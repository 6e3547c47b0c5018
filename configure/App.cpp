// OrdvaleConfigure.exe: "OrdvaleConfigure.exe options" shows the Options
// dialog over the current settings. Exit code 0 when the settings were
// saved, 2 when the dialog was cancelled; 1 for any other command line
// (after saying how the program is used), 3 when the settings cannot be read.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <string>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/win/Dialog.h"
#include "common/win/MessageBox.h"
#include "configure/Options.h"
#include "configure/OptionsDialog.h"
#include "configure/resource.h"

namespace {

enum ExitCode : int { kExitSaved = 0, kExitUsage = 1, kExitCancelled = 2, kExitFailed = 3 };

void Complain(HINSTANCE instance, UINT textId, UINT icon) {
    ordvale::win::ShowMessageBox(nullptr, ordvale::win::LoadModuleText(instance, textId),
                                 ordvale::win::LoadModuleText(instance, IDS_PRODUCT_NAME), MB_OK | icon);
}

std::wstring ProgramPath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size())));
    return path;
}

int RunOptions(HINSTANCE instance) {
    std::wstring appData;
    ordvale::OrdvaleSettings settings;
    ordvale::InitSettings(&settings);
    if (!ordvale::GetAppDataFolder(&appData) || !ordvale::LoadSettings(&settings)) {
        Complain(instance, IDS_NO_APPLICATION_DATA, MB_ICONERROR);
        return kExitFailed;
    }
    ordvale::CDialogOptions dialog(ordvale::OptionValuesFrom(settings), ordvale::SettingsFileIn(appData));
    switch (dialog.DoModal(instance, nullptr)) {
        case IDOK: return kExitSaved;
        case IDCANCEL: return kExitCancelled;
        default: return kExitFailed;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);

    if (!ordvale::IsOptionsCommand(GetCommandLineW(), ProgramPath())) {
        Complain(instance, IDS_USAGE, MB_ICONINFORMATION);
        return kExitUsage;
    }
    // The file dialog of the browse button needs OLE on this thread.
    const bool ole = SUCCEEDED(OleInitialize(nullptr));
    const int code = RunOptions(instance);
    if (ole) OleUninitialize();
    return code;
}
