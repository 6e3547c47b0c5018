#include "Export.h"

#include "engine/Engine.h"

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
    // No exception leaves the library.
    try {
        return ordvale::ExecuteJob(g_module, owner, job);
    } catch (...) {
        return 1;
    }
}

extern "C" int __stdcall ExecuteOperationsUnattended(const ordvale::TidyJob* job) {
    try {
        return static_cast<int>(ordvale::ExecuteJobUnattended(job));
    } catch (...) {
        return static_cast<int>(ordvale::UnattendedResult::Failed);
    }
}
