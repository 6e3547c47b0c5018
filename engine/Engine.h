// One run: the worker behind the progress dialog. `module` holds the
// engine's resources (dialogs, strings, icons).
#pragma once

#include <windows.h>

#include "common/TidyJob.h"

namespace ordvale {

int ExecuteJob(HMODULE module, HWND owner, const TidyJob* job);

}  // namespace ordvale
