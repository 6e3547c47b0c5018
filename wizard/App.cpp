// OrdvaleWizard.exe: start-up. Prepares the common controls and OLE, runs the
// wizard dialog modally and ends when it closes.
#include <windows.h>

#include "WizardDlg.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    using namespace ordvale::wizard;
    if (!CWinAppEx::InitInstance()) return 1;
    {
        COrdvaleWizardDlg dialog;
        dialog.DoModal(instance, nullptr);
    }
    CWinAppEx::ExitInstance();
    return 0;
}
