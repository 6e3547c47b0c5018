// Drives the built wizard program the way a person would, by control id.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

// Starts the wizard with `commandLine` and makes the typical run: Desktop,
// By File Type, the default profile, Finish; checks the buttons and the
// summary on the way. Returns the wizard's exit code.
DWORD ClickThroughTypicalRun(const std::wstring& commandLine);

// The typical run with the wizard `wizardExe` on a desktop holding a few
// files of different kinds: checks that the wizard ends well and that each
// file ends in the folder the default type profile gives it, waits for the
// runner, and removes the folders it made.
void ExpectTypicalRunTidiesTheDesktop(const std::wstring& wizardExe);

}  // namespace testing_support
