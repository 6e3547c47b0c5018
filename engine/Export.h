// The library's one export.
#pragma once

#include <windows.h>

#include "common/TidyJob.h"

// Runs one tidy job behind the progress dialog, owned by `owner`, and returns
// when the run is over: 0 after a run, otherwise the result of the error
// message that was shown.
extern "C" int __stdcall ExecuteOperations(HWND owner, const ordvale::TidyJob* job);
typedef int(__stdcall* ExecuteOperationsProc)(HWND owner, const ordvale::TidyJob* job);

// The same job run unattended, as the watcher runs one: no window is shown
// and nothing waits for an answer. Returns an UnattendedResult.
extern "C" int __stdcall ExecuteOperationsUnattended(const ordvale::TidyJob* job);
typedef int(__stdcall* ExecuteOperationsUnattendedProc)(const ordvale::TidyJob* job);
