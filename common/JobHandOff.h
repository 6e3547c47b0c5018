// Handing a job to the runner: the job file written through a named mapping,
// the runner started with the job's name, an event signalled at the end.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "TidyJob.h"

namespace ordvale {

constexpr const wchar_t* kHandOffEventName = L"{5A670B66-4EAF-4DC4-896E-F5807C7865E3}-Event";

struct LaunchParams {
    TidyJob* job;
    wchar_t wizardFolder[260];  // the folder that holds the wizard (and qz.exe)
    int32_t result;             // 0, -1, or the failing step's Win32 error
};

// The hand-off thread's procedure; the result goes into LaunchParams::result.
DWORD WINAPI LaunchThread(LPVOID params);

// The hand-off with the application-data folder given (empty: it could not
// be determined). jobFile receives the job file's path when one was formed.
int32_t HandOffJob(const TidyJob* job, const wchar_t* wizardFolder, const std::wstring& appData,
                   std::wstring* jobFile = nullptr);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" of a new GUID.
std::wstring NewJobName();
std::wstring FormatJobName(const GUID& guid);

// A job name as the runner accepts it: a braced upper- or lower-case GUID
// text and nothing else (no path characters).
bool IsJobName(const std::wstring& text);

// The job name of a runner command line: "/s" and the name are its last two
// words. The program path before them may hold spaces without quotes.
bool RunnerJobName(const wchar_t* commandLine, std::wstring* jobName);

// The run to take back of a runner command line "qz.exe /undo last" or
// "qz.exe /undo <run id>": "/undo" and the word after it are its last two
// words, as for RunnerJobName. The word is returned as it stands.
bool RunnerUndoRun(const wchar_t* commandLine, std::wstring* which);

// The job name of "qz.exe /auto <job name>": the same job run unattended,
// as the watcher runs one (no question asked, no window shown).
bool RunnerAutoJobName(const wchar_t* commandLine, std::wstring* jobName);

// How an unattended run ended: the runner's exit code, and the result of
// the engine's ExecuteOperationsUnattended.
enum class UnattendedResult : int {
    Done = 0,        // the run took place (it may have moved nothing)
    Failed = 1,      // no run: the job or the engine could not be used
    FolderBusy = 3,  // another run was tidying the folder: left for later
};

// "%s\qz.exe /s %s", at most 1039 characters.
std::wstring RunnerCommandLine(const wchar_t* wizardFolder, const std::wstring& jobName);

}  // namespace ordvale
