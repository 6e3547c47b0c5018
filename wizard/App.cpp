// OrdvaleWizard.exe: start-up. Reads the command line (CommandLine.h); a
// start of an Explorer selection hands its items to the wizard gathering
// them and ends. Otherwise prepares the common controls and OLE, runs the
// wizard dialog modally and ends when it closes.
#include <windows.h>

#include "CommandLine.h"
#include "StartMailbox.h"
#include "WizardDlg.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    using namespace ordvale::wizard;
    const StartRequest request = ParseStartRequest(arguments ? arguments : L"");
    std::vector<StartRequest> gathered(1, request);
    if (GathersStarts(request.mode) && GatherStarts(request, &gathered) == GatherOutcome::HandedOver) return 0;
    if (!CWinAppEx::InitInstance()) return 1;
    {
        COrdvaleWizardDlg dialog;
        dialog.start = ResolveStart(gathered);
        dialog.DoModal(instance, nullptr);
    }
    CWinAppEx::ExitInstance();
    return 0;
}
