// Stands in for zelk.dll in runner tests: an engine that reports that no
// run took place, as after the error box it shows when its progress window
// cannot be made.
#include <windows.h>

extern "C" __declspec(dllexport) int __stdcall ExecuteOperations(HWND, const void*) {
    return IDOK;
}
