// Starting the watcher when the user signs in: a value under the user's Run
// key while at least one folder is watched.
#pragma once

#include <string>

namespace ordvale::watch {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"Ordvale Watch";

// The command the Run value holds: the program, quoted.
std::wstring SignInCommand(const std::wstring& program);
// Writes the value (when `on`, for `program`) or removes it; false when the
// registry refused. Nothing is written when it already says the same.
bool SetStartAtSignIn(bool on, const std::wstring& program);
// The value as it stands; empty when there is none.
std::wstring StartAtSignInCommand();

}  // namespace ordvale::watch
