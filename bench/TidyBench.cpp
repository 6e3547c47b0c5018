// A whole tidy run against a bare loop, and planning a large folder.
//   1. Move 2,000 small files with a bare MoveFileExW loop.
//   2. Tidy 2,000 small files of another folder with qz.exe (a type profile
//      whose folder Documents takes .txt), the progress dialog included.
//   3. Plan 100,000 files of one folder.
// The three folders are made beforehand (scripts/bench makes them from Linux,
// which is much faster than from inside Wine): <root>\bare, <root>\tidy and
// <root>\plan. Usage: tidy_bench <root> <folder of qz.exe>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "common/AppPaths.h"
#include "common/JobHandOff.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "engine/Planner.h"

using namespace ordvale;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

bool WriteAll(const std::wstring& path, const void* data, DWORD size) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(h, data, size, &written, nullptr);
    CloseHandle(h);
    return written == size;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: tidy_bench <root> <folder of qz.exe>\n");
        return 2;
    }
    win::ComInit com;
    const std::wstring root = argv[1], programs = argv[2];

    std::wstring appData;
    GetAppDataFolder(&appData);
    OrdvaleSettings settings;
    LoadSettings(&settings);
    const std::string profile =
        "<Ordvale><TypeProfiles default=\"T\"><TypeConfigure id=\"T\">"
        "<Folder displayname=\"Documents\"><Ext t=\".txt\"/></Folder>"
        "</TypeConfigure></TypeProfiles></Ordvale>";
    const std::wstring profileFile = root + L"\\profile.xml";
    WriteAll(profileFile, profile.data(), static_cast<DWORD>(profile.size()));
    WriteSettingsValue(SettingsFileIn(appData), kSectionProfile, kKeyFileName, profileFile);

    // 1. Bare loop.
    const std::wstring bare = root + L"\\bare";
    CreateDirectoryW((bare + L"\\Out").c_str(), nullptr);
    std::vector<std::wstring> names = FilesIn(bare);
    auto start = Clock::now();
    std::size_t moved = 0;
    for (const std::wstring& name : names)
        moved += MoveFileExW((bare + L"\\" + name).c_str(), (bare + L"\\Out\\" + name).c_str(), 0) ? 1 : 0;
    const double bareSeconds = Seconds(start);
    std::printf("bare MoveFileExW loop: %zu of %zu files in %.2f s (%.0f us per file)\n", moved,
                names.size(), bareSeconds, 1e6 * bareSeconds / static_cast<double>(names.size()));

    // 2. The runner.
    const std::wstring tidy = root + L"\\tidy";
    const std::size_t tidyCount = FilesIn(tidy).size();
    TidyJob job;
    job.target = static_cast<int32_t>(TidyTarget::Folder);
    StoreText(job.folder, tidy);
    uint32_t size = 0;
    SerializeTidyJob(&job, nullptr, &size);
    std::vector<unsigned char> bytes(size);
    SerializeTidyJob(&job, bytes.data(), &size);
    const std::wstring jobName = NewJobName();
    WriteAll(JobFileIn(appData, jobName), bytes.data(), size);
    std::wstring command = programs + L"\\qz.exe /s " + jobName;
    STARTUPINFOW startup = {sizeof(startup)};
    PROCESS_INFORMATION process = {};
    start = Clock::now();
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("qz.exe could not be started\n");
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    const double tidySeconds = Seconds(start);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::size_t tidied = FilesIn(tidy + L"\\Documents").size();
    std::printf("qz.exe tidy run:       %zu of %zu files in %.2f s (%.0f us per file)\n", tidied, tidyCount,
                tidySeconds, 1e6 * tidySeconds / static_cast<double>(tidyCount));
    std::printf("ratio tidy / bare: %.1fx (target at most 8x)\n", tidySeconds / bareSeconds);

    // 3. Planning.
    const std::wstring plan = root + L"\\plan";
    TidyJob planJob;
    planJob.target = static_cast<int32_t>(TidyTarget::Folder);
    StoreText(planJob.folder, plan);
    EngineContext context;
    LoadSettings(&context.settings);
    start = Clock::now();
    InitializeFromJob(&context, &planJob);
    const double listSeconds = Seconds(start);
    PlanOperations(&context);
    const double planSeconds = Seconds(start);
    std::printf("plan: %zu items, %zu operations in %.2f s (listing %.2f s; target under 3 s)\n",
                context.target.children.size(), context.operations.size(), planSeconds, listSeconds);

    WriteSettingsValue(SettingsFileIn(appData), kSectionProfile, kKeyFileName, L"");
    return 0;
}
