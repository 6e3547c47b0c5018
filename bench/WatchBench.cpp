// The watcher idle and under arrivals: the CPU time OrdvaleWatch.exe uses
// over a minute with nothing arriving, and its memory over 10,000 arrivals
// (20 bursts of 500 files, each tidied before the next), first burst against
// last. It runs on the sandbox's settings, with one watched folder.
//
//   watch_bench <root> <folder of OrdvaleWatch.exe>
#include <windows.h>
#include <psapi.h>
#include <shlobj.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/WatchedFolders.h"

using namespace ordvale;
using Clock = std::chrono::steady_clock;

namespace {

std::size_t FilesIn(const std::wstring& folder) {
    std::size_t n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
}

uint64_t CpuMs(HANDLE process) {
    FILETIME created, ended, kernel, user;
    if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
    auto value = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return (value(kernel) + value(user)) / 10000;
}

// Private bytes (Wine reports them as the pagefile usage when it leaves
// PrivateUsage at 0), and the working set, in MB.
struct Memory {
    double privateMb = 0, workingSetMb = 0;
};
Memory MemoryOf(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof(counters);
    Memory m;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
        return m;
    const SIZE_T privateBytes = counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
    m.privateMb = privateBytes / (1024.0 * 1024.0);
    m.workingSetMb = counters.WorkingSetSize / (1024.0 * 1024.0);
    return m;
}

bool WriteText(const std::wstring& path, const char* text) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD done = 0;
    const bool ok = WriteFile(h, text, static_cast<DWORD>(strlen(text)), &done, nullptr) != FALSE;
    CloseHandle(h);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        fwprintf(stderr, L"usage: watch_bench <root> <folder of OrdvaleWatch.exe>\n");
        return 2;
    }
    const std::wstring root = argv[1], bin = argv[2];
    const std::wstring watched = root + L"\\watched", profile = root + L"\\profile.xml";
    SHCreateDirectoryExW(nullptr, watched.c_str(), nullptr);
    std::wstring appData;
    if (!GetAppDataFolder(&appData)) return 1;
    SHCreateDirectoryExW(nullptr, SettingsFolderIn(appData).c_str(), nullptr);
    const std::wstring settings = SettingsFileIn(appData);
    WriteText(profile,
              "<?xml version=\"1.0\"?><Ordvale><TypeProfiles default=\"P\"><TypeConfigure id=\"P\" "
              "displayname=\"Bench\"><Folder displayname=\"Documents\"><Ext t=\".txt\"/></Folder>"
              "</TypeConfigure></TypeProfiles></Ordvale>");
    WriteSettingsValue(settings, kSectionProfile, kKeyFileName, profile);
    WatchedFolder folder;
    folder.folder = watched;
    folder.profileId = L"P";
    SaveWatchedFolders(settings, {folder});
    SetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", L"1");

    std::wstring commandLine = L"\"" + bin + L"\\OrdvaleWatch.exe\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fwprintf(stderr, L"OrdvaleWatch.exe did not start\n");
        return 1;
    }
    CloseHandle(process.hThread);
    for (int i = 0; i < 200 && !FindWindowW(L"OrdvaleWatchWindow", nullptr); ++i) Sleep(100);
    setvbuf(stdout, nullptr, _IONBF, 0);
    Sleep(5000);  // its first look at the folder is over

    const uint64_t cpuBefore = CpuMs(process.hProcess);
    Sleep(60000);
    const uint64_t idleCpu = CpuMs(process.hProcess) - cpuBefore;
    wprintf(L"idle, 60 s with nothing arriving: %llu ms of CPU time (target: none; at most 100 ms)\n",
            static_cast<unsigned long long>(idleCpu));

    constexpr int kBursts = 20, kPerBurst = 500;
    Memory first, last;
    const auto start = Clock::now();
    for (int burst = 0; burst < kBursts; ++burst) {
        for (int i = 0; i < kPerBurst; ++i) {
            wchar_t name[64];
            swprintf(name, 64, L"\\f%02d-%04d.txt", burst, i);
            if (!WriteText(watched + name, "x")) {
                fwprintf(stderr, L"cannot write into %ls\n", watched.c_str());
                return 1;
            }
        }
        const std::size_t want = static_cast<std::size_t>(burst + 1) * kPerBurst;
        const auto burstStart = Clock::now();
        while (FilesIn(watched + L"\\Documents") < want) {
            if (Clock::now() - burstStart > std::chrono::seconds(300)) {
                fwprintf(stderr, L"burst %d not tidied within 5 minutes\n", burst + 1);
                return 1;
            }
            Sleep(200);
        }
        const Memory now = MemoryOf(process.hProcess);
        if (burst == 0) first = now;
        last = now;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    wprintf(L"10,000 arrivals in 20 bursts, all tidied in %.1f s\n", seconds);
    wprintf(L"  private memory %.2f MB after the first burst, %.2f MB after the last (target: flat, at most 1 MB more)\n",
            first.privateMb, last.privateMb);
    wprintf(L"  working set %.2f MB after the first burst, %.2f MB after the last\n", first.workingSetMb,
            last.workingSetMb);

    std::wstring exitLine = commandLine + L" /exit";
    PROCESS_INFORMATION exit = {};
    if (CreateProcessW(nullptr, &exitLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &exit)) {
        WaitForSingleObject(exit.hProcess, 60000);
        CloseHandle(exit.hThread);
        CloseHandle(exit.hProcess);
    }
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    SaveWatchedFolders(settings, {});
    return 0;
}
