// qz.exe /s <job name>: reads the job file the wizard wrote into the settings
// folder, hands the job to ExecuteOperations of zelk.dll from this program's
// own folder, and deletes the job file when the run is over. When the engine
// reports that no run took place (it has shown why), the job file stays, so
// the job is not lost and can be run again; the exit code is the engine's.
// qz.exe /undo last | /undo <run id>: hands the engine a job that takes that
// run back (the newest one in the History folder for "last", named to the
// user, who is asked first).
// qz.exe /auto <job name>: runs the job unattended, as the watcher does: no
// window, no question, no message box, whatever happens; the job file goes
// in every case (the watcher writes a new one for its next round). The exit
// code is an UnattendedResult.
#include <windows.h>

#include <string>

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/RunTrace.h"
#include "common/Journal.h"
#include "common/UndoPlan.h"
#include "common/Text.h"
#include "common/TidyJob.h"
#include "common/win/MessageBox.h"
#include "engine/Export.h"

using namespace ordvale;

namespace {

const wchar_t kTitle[] = L"Ordvale";

int Fail(const std::wstring& message) {
    win::ShowMessageBox(nullptr, message, kTitle, MB_OK | MB_ICONERROR);
    return 1;
}

// "the folder C:\x", "the Desktop", ...; empty when the journal does not say.
std::wstring TargetText(const RunJournal& journal) {
    switch (journal.run.target) {
        case 0: return L"the Desktop";
        case 1: return L"the folder " + journal.run.folder;
        case 2: return L"a selection of items";
        default: return std::wstring();
    }
}

// How many items the run moved, as taking it back would find them.
std::size_t ItemsOfRun(const RunJournal& journal) {
    std::size_t n = 0;
    for (const JournalEntry& e : EntriesToTakeBack(journal))
        if (e.kind != JournalKind::CreateFolder && e.kind != JournalKind::RemoveFolder) ++n;
    return n;
}

// Names the run "last" stands for and asks whether to take it back.
bool ConfirmLast(const std::wstring& runId, const RunJournal& journal) {
    std::wstring text = L"Take back the ";
    text += journal.undoneRunId.empty() ? L"tidy" : L"undo";
    text += L" of " + RunIdToLocalText(runId);
    const std::wstring target = TargetText(journal);
    if (!target.empty()) text += L", of " + target;
    const std::size_t items = ItemsOfRun(journal);
    text += L" (" + std::to_wstring(items) + (items == 1 ? L" item)?" : L" items)?");
    return win::ShowMessageBox(nullptr, text, kTitle, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

enum class UndoChoice { Run, Refused, Declined };

// The job that takes back the run named on the command line; says why when
// there is no such run.
UndoChoice MakeUndoJobFor(const std::wstring& which, const std::wstring& appData, TidyJob* job) {
    const std::wstring history = HistoryFolderIn(appData);
    std::wstring runId = which;
    const bool last = EqualsNoCase(which, L"last");
    if (last) {
        runId = LastRunId(history);
        if (runId.empty()) {
            Fail(L"There is no tidy to take back: no run has moved anything yet.");
            return UndoChoice::Refused;
        }
    }
    RunJournal journal;
    JournalReadError why = JournalReadError::None;
    if (!ReadJournalFile(history, runId, &journal, &why)) {
        if (why == JournalReadError::TooLarge)
            Fail(L"The journal of the run \"" + runId + L"\" is larger than any run writes, so it is not read.");
        else if (why == JournalReadError::Unreadable)
            Fail(L"The journal of the run \"" + runId + L"\" cannot be read.");
        else
            Fail(L"There is no run \"" + runId + L"\" to take back.");
        return UndoChoice::Refused;
    }
    if (last && !ConfirmLast(runId, journal)) return UndoChoice::Declined;
    MakeUndoJob(job, runId);
    return UndoChoice::Run;
}

// The unattended run of a job file.
int RunUnattended(HINSTANCE instance, const std::wstring& jobName) {
    constexpr int kFailed = static_cast<int>(UnattendedResult::Failed);
    std::wstring appData;
    if (!IsJobName(jobName) || !GetAppDataFolder(&appData)) return kFailed;
    const std::wstring jobFile = JobFileIn(appData, jobName);
    TidyJob job;
    const JobFileStatus status = ReadTidyJobFile(jobFile.c_str(), &job);
    DeleteFileW(jobFile.c_str());
    // Only a tidy: taking a run back is a user's decision.
    if (status != JobFileStatus::Ok || IsUndoJob(job)) return kFailed;
    const std::wstring library = ModuleFolder(instance) + L"\\zelk.dll";
    HMODULE engine = LoadLibraryW(library.c_str());
    if (!engine) return kFailed;
    auto execute = reinterpret_cast<ExecuteOperationsUnattendedProc>(
        reinterpret_cast<void*>(GetProcAddress(engine, "ExecuteOperationsUnattended")));
    const int result = execute ? execute(&job) : kFailed;
    FreeLibrary(engine);
    return result;
}

int RunnerMain(HINSTANCE instance) {
    std::wstring appData;
    std::wstring jobName, undoWhich;
    std::wstring jobFile;
    TidyJob job;
    if (RunnerUndoRun(GetCommandLineW(), &undoWhich)) {
        if (!GetAppDataFolder(&appData))
            return Fail(L"The application-data folder cannot be determined.");
        const UndoChoice choice = MakeUndoJobFor(undoWhich, appData, &job);
        if (choice == UndoChoice::Declined) return 0;
        if (choice == UndoChoice::Refused) return 1;
    } else {
        if (!RunnerJobName(GetCommandLineW(), &jobName))
            return Fail(L"Usage: qz.exe /s <job name>, qz.exe /auto <job name>, qz.exe /undo last or qz.exe /undo <run id>");
        if (!IsJobName(jobName)) return Fail(L"\"" + jobName + L"\" is not a job name.");
        if (!GetAppDataFolder(&appData))
            return Fail(L"The application-data folder cannot be determined.");
        jobFile = JobFileIn(appData, jobName);
        JobFileStatus status = ReadTidyJobFile(jobFile.c_str(), &job);
        trace::Mark("runner: job read");
        if (status != JobFileStatus::Ok)
            return Fail(std::wstring(L"Cannot run the job ") + jobName + L": " +
                        DescribeJobFileStatus(status) + L".");
    }

    const std::wstring library = ModuleFolder(instance) + L"\\zelk.dll";
    HMODULE engine = LoadLibraryW(library.c_str());
    trace::Mark("runner: engine loaded");
    if (!engine) return Fail(L"The engine library " + library + L" cannot be loaded.");
    auto execute = reinterpret_cast<ExecuteOperationsProc>(
        reinterpret_cast<void*>(GetProcAddress(engine, "ExecuteOperations")));
    if (!execute) {
        FreeLibrary(engine);
        return Fail(L"The engine library " + library + L" has no ExecuteOperations.");
    }

    // A hidden owner, so the engine's windows have a parent with our title.
    HWND owner = CreateWindowExW(0, L"STATIC", kTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 instance, nullptr);
    // The engine tells what an undo leaves where it is.
    trace::Mark("runner: owner made");
    int result = execute(owner, &job);
    trace::Mark("runner: engine returned");
    if (owner) DestroyWindow(owner);
    FreeLibrary(engine);
    trace::Mark("runner: engine unloaded");
    if (result == 0 && !jobFile.empty()) DeleteFileW(jobFile.c_str());
    return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    trace::Mark("runner: started");
    std::wstring autoJob;
    if (RunnerAutoJobName(GetCommandLineW(), &autoJob)) {
        // No one watches this run: whatever happens, no box waits for anyone.
        try {
            return RunUnattended(instance, autoJob);
        } catch (...) {
            return static_cast<int>(UnattendedResult::Failed);
        }
    }
    try {
        return RunnerMain(instance);
    } catch (...) {
        // Nothing escapes the program: whatever failed is said plainly.
        return Fail(L"Ordvale stopped on an unexpected error; nothing more was done.");
    }
}
