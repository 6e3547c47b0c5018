// OrdvaleWizard.exe: start-up. Prepares the common controls and OLE, runs the
// wizard dialog modally and ends when it closes. "OrdvaleWizard.exe /history"
// shows the History window alone instead.
#include <windows.h>
#include <shellapi.h>

#include "HistoryDialog.h"
#include "WizardDlg.h"

namespace {

// "/history" is one of the command line's arguments.
bool AsksForHistory() {
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    bool history = false;
    for (int i = 1; args && i < count; ++i) history = history || lstrcmpiW(args[i], L"/history") == 0;
    if (args) LocalFree(args);
    return history;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace ordvale::wizard;
    if (!CWinAppEx::InitInstance()) return 1;
    if (AsksForHistory()) {
        RunHistoryAlone(instance);
    } else {
        COrdvaleWizardDlg dialog;
        dialog.DoModal(instance, nullptr);
    }
    CWinAppEx::ExitInstance();
    return 0;
}
