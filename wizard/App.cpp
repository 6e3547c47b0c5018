// OrdvaleWizard.exe: start-up. Reads the command line (CommandLine.h); a
// start of an Explorer selection hands its items to the wizard gathering
// them and ends (StartMailbox.h). "/history" shows the History window alone.
// Otherwise prepares the common controls and OLE, runs the wizard dialog
// modally and ends when it closes.
#include <windows.h>

#include "CommandLine.h"
#include "HistoryDialog.h"
#include "PageMessages.h"
#include "StartMailbox.h"
#include "WizardDlg.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int) {
    using namespace ordvale::wizard;
    const StartRequest request = ParseStartRequest(arguments ? arguments : L"");
    std::vector<StartRequest> alone(1, request);
    CStartMailbox mailbox;
    if (GathersStarts(request.mode) && mailbox.Gather(request) == GatherOutcome::HandedOver) return 0;
    if (!CWinAppEx::InitInstance()) return 1;
    if (request.mode == StartMode::History) {
        RunHistoryAlone(instance);
    } else {
        COrdvaleWizardDlg dialog;
        dialog.starts = mailbox.Requests().empty() ? &alone : &mailbox.Requests();
        // Starts of the same selection that come late join the open wizard.
        mailbox.KeepOpen([&dialog] {
            if (dialog.Handle()) PostMessageW(dialog.Handle(), WM_START_GATHERED, 0, 0);
        });
        dialog.DoModal(instance, nullptr);
        mailbox.Close();  // before the dialog it reports to goes
    }
    CWinAppEx::ExitInstance();
    return 0;
}
