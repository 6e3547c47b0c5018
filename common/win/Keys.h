// Keys as the dialog manager hands them to a control's WM_GETDLGCODE.
#pragma once

#include <windows.h>

namespace ordvale::win {

// Enter, pressed or as its character: a control that keeps Enter must claim
// both, or the dialog manager presses the default button for the key and
// looks for a control with the mnemonic '\r' for the character.
inline bool IsEnterKey(const MSG* message) {
    return message && ((message->message == WM_KEYDOWN && message->wParam == VK_RETURN) ||
                       (message->message == WM_CHAR && message->wParam == L'\r'));
}

}  // namespace ordvale::win
