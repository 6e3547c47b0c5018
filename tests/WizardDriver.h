// Drives the built wizard program the way a person would, by control id.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Starts the wizard with `commandLine` and makes the typical run: Desktop,
// By File Type, the default profile, Finish; checks the buttons and the
// summary on the way. Returns the wizard's exit code.
DWORD ClickThroughTypicalRun(const std::wstring& commandLine);

}  // namespace testing_support
