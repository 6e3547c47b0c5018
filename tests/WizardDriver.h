// Drives the built wizard program the way a person would, by control id.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "WindowDriver.h"

namespace testing_support {

// Desktop on the target page of the started wizard; returns the frame once
// the method page shows (nullptr, with a test failure, when it does not).
HWND OpenMethodPage(const Program& wizard);

// Next to the profile page (the method's default profile selected), Next
// to the summary, which must name the target (the desktop unless given), the
// method and (when given) the profile, then Finish.
void FinishFromMethodPage(HWND frame, const wchar_t* methodLink, const wchar_t* profileLink = nullptr,
                          const wchar_t* targetLink = L"<a>Desktop</a>");

// With a few files of different kinds on the desktop, `typicalRun` (Desktop,
// By File Type, the default profile, Finish; it returns the wizard's exit
// code) must end well and leave each file in the folder the default type
// profile gives it. Waits for the runner and removes the folders it made.
void ExpectTypicalRunTidiesTheDesktop(const std::function<DWORD()>& typicalRun);

}  // namespace testing_support
