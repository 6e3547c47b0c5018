// qz.exe /s <job name>: reads the job file the wizard wrote into the settings
// folder, hands the job to ExecuteOperations of zelk.dll from this program's
// own folder, and deletes the job file when the run is over. When the engine
// reports that no run took place (it has shown why), the job file stays, so
// the job is not lost and can be run again; the exit code is the engine's.
#include <windows.h>

#include <string>

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/TidyJob.h"
#include "engine/Export.h"

using namespace ordvale;

namespace {

const wchar_t kTitle[] = L"Ordvale";

int Fail(const std::wstring& message) {
    MessageBoxW(nullptr, message.c_str(), kTitle, MB_OK | MB_ICONERROR);
    return 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    std::wstring jobName;
    if (!RunnerJobName(GetCommandLineW(), &jobName)) return Fail(L"Usage: qz.exe /s <job name>");
    if (!IsJobName(jobName)) return Fail(L"\"" + jobName + L"\" is not a job name.");

    std::wstring appData;
    if (!GetAppDataFolder(&appData))
        return Fail(L"The application-data folder cannot be determined.");
    const std::wstring jobFile = JobFileIn(appData, jobName);

    TidyJob job;
    JobFileStatus status = ReadTidyJobFile(jobFile.c_str(), &job);
    if (status != JobFileStatus::Ok)
        return Fail(std::wstring(L"Cannot run the job ") + jobName + L": " +
                    DescribeJobFileStatus(status) + L".");

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
    int result = execute(owner, &job);
    if (owner) DestroyWindow(owner);
    FreeLibrary(engine);
    if (result == 0) DeleteFileW(jobFile.c_str());
    return result;
}
