#include "engine/Foreground.h"

namespace ordvale {

void BringToFront(HWND window) {
    if (!window) return;
    HWND top = GetAncestor(window, GA_ROOT);
    if (!top) top = window;
    if (GetForegroundWindow() == top) return;
    SetForegroundWindow(top);
    if (GetForegroundWindow() == top) return;
    FLASHWINFO flash = {sizeof(flash), top, FLASHW_ALL | FLASHW_TIMERNOFG, 0, 0};
    FlashWindowEx(&flash);
}

}  // namespace ordvale
