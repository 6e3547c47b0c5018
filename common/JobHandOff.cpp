#include "JobHandOff.h"

#include <objbase.h>
#include <shellapi.h>

#include <cwchar>

#include "AppPaths.h"
#include "Text.h"
#include "win/Handle.h"

namespace ordvale {

std::wstring FormatJobName(const GUID& g) {
    wchar_t buf[64];
    swprintf(buf, 64, L"{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
             static_cast<unsigned long>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
             g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return buf;
}

std::wstring NewJobName() {
    GUID guid = {};
    CoCreateGuid(&guid);
    return FormatJobName(guid);
}

bool IsJobName(const std::wstring& text) {
    // {8-4-4-4-12}
    static const wchar_t kShape[] = L"{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (text.size() != wcslen(kShape)) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t c = text[i];
        if (kShape[i] == L'x') {
            if (!iswxdigit(c) || c > 0x7f) return false;
        } else if (c != kShape[i]) {
            return false;
        }
    }
    return true;
}

std::wstring RunnerCommandLine(const wchar_t* wizardFolder, const std::wstring& jobName) {
    std::wstring line = FillTemplate(L"%s\\qz.exe /s %s", {wizardFolder, jobName.c_str()});
    if (line.size() > 1039) line.resize(1039);
    return line;
}

namespace {

// The value after a switch that, with it, makes the last two words.
bool LastSwitchValue(const wchar_t* commandLine, const wchar_t* name, std::wstring* value) {
    int argc = 0;
    LPWSTR* argv = commandLine && *commandLine ? CommandLineToArgvW(commandLine, &argc) : nullptr;
    if (!argv) return false;
    const bool ok = argc >= 3 && lstrcmpiW(argv[argc - 2], name) == 0;
    if (ok) *value = argv[argc - 1];
    LocalFree(argv);
    return ok;
}

}  // namespace

bool RunnerJobName(const wchar_t* commandLine, std::wstring* jobName) {
    return LastSwitchValue(commandLine, L"/s", jobName);
}

bool RunnerAutoJobName(const wchar_t* commandLine, std::wstring* jobName) {
    return LastSwitchValue(commandLine, L"/auto", jobName);
}

bool RunnerUndoRun(const wchar_t* commandLine, std::wstring* which) {
    return LastSwitchValue(commandLine, L"/undo", which);
}

int32_t HandOffJob(const TidyJob* job, const wchar_t* wizardFolder, const std::wstring& appData,
                   std::wstring* jobFileOut) {
    if (!job || appData.empty()) return -1;

    uint32_t size = 0;
    SerializeTidyJob(job, nullptr, &size);

    const std::wstring jobName = NewJobName();
    const std::wstring jobFile = JobFileIn(appData, jobName);
    if (jobFileOut) *jobFileOut = jobFile;

    win::UniqueHandle file(CreateFileW(jobFile.c_str(), GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_TEMPORARY, nullptr));
    if (!file) return static_cast<int32_t>(GetLastError());

    win::UniqueHandle mapping(
        CreateFileMappingW(file.Get(), nullptr, PAGE_READWRITE, 0, size, jobName.c_str()));
    if (!mapping) return static_cast<int32_t>(GetLastError());
    file.Reset();  // the mapping keeps the file open

    win::MappedView view(MapViewOfFile(mapping.Get(), FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!view) return static_cast<int32_t>(GetLastError());
    mapping.Reset();  // the view keeps the mapping alive

    SerializeTidyJob(job, view.Get(), &size);
    view.Reset();  // the last reference: the named mapping is gone

    std::wstring commandLine = RunnerCommandLine(wizardFolder, jobName);
    // The command line names the runner without quotes; naming the program on
    // its own as well keeps a folder with spaces from being searched word by
    // word ("C:\Program.exe" first).
    const std::wstring runner = CutToField(std::wstring(wizardFolder) + L"\\qz.exe");
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(runner.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return static_cast<int32_t>(GetLastError());
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

DWORD WINAPI LaunchThread(LPVOID param) {
    auto* params = static_cast<LaunchParams*>(param);
    win::UniqueHandle event(CreateEventW(nullptr, TRUE, FALSE, kHandOffEventName));
    std::wstring appData;
    if (params->job && !GetAppDataFolder(&appData)) appData.clear();
    try {
        params->result = HandOffJob(params->job, params->wizardFolder, appData);
    } catch (...) {
        params->result = -1;
    }
    if (event) SetEvent(event.Get());
    return 0;
}

}  // namespace ordvale
