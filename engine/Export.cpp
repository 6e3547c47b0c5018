#include "Export.h"

namespace {
HMODULE g_module = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        // Texts, dialogs and icons come from this library's own resources.
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" int __stdcall ExecuteOperations(HWND owner, const ordvale::TidyJob* job) {
    (void)owner;
    // The worker, planning, execution and the progress dialog come with the
    // engine proper; until then a job is accepted and nothing is moved.
    (void)job;
    return 0;
}
