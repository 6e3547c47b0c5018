// The entry point of test programs whose windows are tested at 150 %
// (144 DPI). A Wine program reads the DPI of the user's screen (LogPixels)
// once, as it starts: when the prefix is at another DPI, the program sets
// the prefix to 144 and starts itself again with the same arguments. Such
// programs run in a prefix of their own (wine-run-apart), so no other test
// meets the changed DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

#include "common/win/Dpi.h"
#include "common/win/Handle.h"

namespace {

constexpr UINT kTestDpi = 144;
constexpr wchar_t kRestarted[] = L"ORDVALE_DPI_RESTARTED";

bool SetScreenDpi(DWORD dpi) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    const bool set = RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                                    sizeof(dpi)) == ERROR_SUCCESS;
    RegCloseKey(key);
    return set;
}

// Runs this program again with the same command line; returns its exit code.
int RunAgain() {
    SetEnvironmentVariableW(kRestarted, L"1");
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, GetCommandLineW(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started))
        return 2;
    ordvale::win::UniqueHandle process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(process.Get(), &code);
    return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
    const UINT dpi = ordvale::win::WindowDpi(nullptr);
    if (dpi != kTestDpi) {
        if (GetEnvironmentVariableW(kRestarted, nullptr, 0) > 0) {
            std::fprintf(stderr, "the screen stays at %u DPI after LogPixels was set to %u\n", dpi, kTestDpi);
            return 2;
        }
        if (!SetScreenDpi(kTestDpi)) {
            std::fprintf(stderr, "LogPixels could not be set\n");
            return 2;
        }
        return RunAgain();
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
