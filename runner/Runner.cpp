// qz.exe /s <job name>: reads the job file the wizard wrote into the settings
// folder, hands the job to ExecuteOperations of zelk.dll from this program's
// own folder, and deletes the job file when the run is over. When the engine
// reports that no run took place (it has shown why), the job file stays, so
// the job is not lost and can be run again; the exit code is the engine's.
// qz.exe /undo last | /undo <run id>: hands the engine a job that takes that
// run back (the newest one in the History folder for "last").
// qz.exe /auto <job name>: runs the job unattended, as the watcher does: no
// window, no question, no message box, whatever happens; the job file goes
// in every case (the watcher writes a new one for its next round). The exit
// code is an UnattendedResult.
#include <windows.h>

#include <string>

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Journal.h"
#include "common/UndoPlan.h"
#include "common/Text.h"
#include "common/TidyJob.h"
#include "engine/Export.h"

using namespace ordvale;

namespace {

const wchar_t kTitle[] = L"Ordvale";

int Fail(const std::wstring& message) {
    MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
    return 1;
}

const wchar_t* ReasonText(UndoReason reason) {
    switch (reason) {
        case UndoReason::Changed: return L"changed since the run";
        case UndoReason::Missing: return L"no longer there";
        case UndoReason::Recycled: return L"in the Recycle Bin";
        case UndoReason::NoFolder: return L"a file stands where its folder was";
    }
    return L"";
}

// What taking the run back leaves where it is, and why; empty when
// everything goes back.
std::wstring LeftBehind(const std::wstring& appData, const std::wstring& runId) {
    RunJournal journal;
    if (!ReadJournalFile(HistoryFolderIn(appData), runId, &journal)) return std::wstring();
    const UndoPlan plan = PlanUndo(journal);
    if (plan.left.empty()) return std::wstring();
    constexpr std::size_t kShown = 20;
    std::wstring text = L"These items of the tidy of " + RunIdToLocalText(runId) + L" were not taken back:\n";
    for (std::size_t i = 0; i < plan.left.size() && i < kShown; ++i)
        text += L"\n" + plan.left[i].path + L": " + ReasonText(plan.left[i].reason);
    if (plan.left.size() > kShown) text += L"\n... and " + std::to_wstring(plan.left.size() - kShown) + L" more";
    return text;
}

// The job that takes back the run named on the command line; false (having
// said why) when there is no such run.
bool MakeUndoJobFor(const std::wstring& which, const std::wstring& appData, TidyJob* job) {
    const std::wstring history = HistoryFolderIn(appData);
    std::wstring runId = which;
    if (EqualsNoCase(which, L"last")) {
        runId = LastRunId(history);
        if (runId.empty()) {
            Fail(L"There is no tidy to take back: no run has moved anything yet.");
            return false;
        }
    }
    RunJournal journal;
    if (!IsRunId(runId) || !ReadJournalFile(history, runId, &journal)) {
        Fail(L"There is no run \"" + runId + L"\" to take back.");
        return false;
    }
    MakeUndoJob(job, runId);
    return true;
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

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    std::wstring autoJob;
    if (RunnerAutoJobName(GetCommandLineW(), &autoJob)) return RunUnattended(instance, autoJob);

    std::wstring appData;
    std::wstring jobName, undoWhich;
    std::wstring jobFile;
    TidyJob job;
    if (RunnerUndoRun(GetCommandLineW(), &undoWhich)) {
        if (!GetAppDataFolder(&appData))
            return Fail(L"The application-data folder cannot be determined.");
        if (!MakeUndoJobFor(undoWhich, appData, &job)) return 1;
    } else {
        if (!RunnerJobName(GetCommandLineW(), &jobName))
            return Fail(L"Usage: qz.exe /s <job name>, qz.exe /auto <job name>, qz.exe /undo last or qz.exe /undo <run id>");
        if (!IsJobName(jobName)) return Fail(L"\"" + jobName + L"\" is not a job name.");
        if (!GetAppDataFolder(&appData))
            return Fail(L"The application-data folder cannot be determined.");
        jobFile = JobFileIn(appData, jobName);
        JobFileStatus status = ReadTidyJobFile(jobFile.c_str(), &job);
        if (status != JobFileStatus::Ok)
            return Fail(std::wstring(L"Cannot run the job ") + jobName + L": " +
                        DescribeJobFileStatus(status) + L".");
    }

    const std::wstring library = ModuleFolder(instance) + L"\\zelk.dll";
    HMODULE engine = LoadLibraryW(library.c_str());
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
    // What an undo cannot take back is found before it runs (it is what
    // the run leaves), and told once it has.
    const std::wstring left = IsUndoJob(job) ? LeftBehind(appData, FieldText(job.profileId)) : std::wstring();
    int result = execute(owner, &job);
    if (!left.empty()) MessageBoxW(owner, left.c_str(), kTitle, MB_OK | MB_ICONINFORMATION);
    if (owner) DestroyWindow(owner);
    FreeLibrary(engine);
    if (result == 0 && !jobFile.empty()) DeleteFileW(jobFile.c_str());
    return result;
}
