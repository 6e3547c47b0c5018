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

// The wizard's Menu button, then the command picked from the menu by its
// letters; false, with a test failure, when no menu opens. program: the
// wizard's file, whose menu resource gives the letters.
bool ChooseWizardMenu(const Program& wizard, HWND frame, UINT command, const std::wstring& program);

// The profile list's menu by the Application key, then the command picked
// from its Add submenu by the letters (the Add menu of whichever method has
// the command); false, with a test failure, when no menu opens. (The New
// Items drop-down, clicked in another process, at times opens no menu under
// Wine; the in-process tests click it.)
bool ChooseAddMenu(const Program& wizard, HWND page, UINT command, const std::wstring& program);

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
