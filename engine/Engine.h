// One run: the worker behind the progress dialog. `module` holds the
// engine's resources (dialogs, strings, icons).
#pragma once

#include <windows.h>

#include "common/JobHandOff.h"
#include "common/TidyJob.h"

namespace ordvale {

int ExecuteJob(HMODULE module, HWND owner, const TidyJob* job);

// The same run with no one watching: no window, no question; a folder that
// another run is tidying is left alone.
UnattendedResult ExecuteJobUnattended(const TidyJob* job);

}  // namespace ordvale
