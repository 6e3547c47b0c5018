#include "watch/WatchLog.h"

#include <windows.h>

#include <cstdio>

#include "common/AppPaths.h"
#include "common/Text.h"
#include "common/win/Handle.h"

namespace ordvale::watch {

std::wstring WatchLogFolderIn(const std::wstring& appData) { return SettingsFolderIn(appData) + L"\\Watch"; }

void WatchLog::Open(const std::wstring& folder, uint64_t limitBytes) {
    CreateDirectoryW(folder.c_str(), nullptr);
    folder_ = folder;
    path_ = folder + L"\\watch.log";
    limit_ = limitBytes;
}

void WatchLog::Line(const std::wstring& text) {
    if (path_.empty()) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    char stamp[64];
    snprintf(stamp, sizeof stamp, "%04u-%02u-%02u %02u:%02u:%02u.%03u [%llu] ", t.wYear, t.wMonth, t.wDay, t.wHour,
             t.wMinute, t.wSecond, t.wMilliseconds, static_cast<unsigned long long>(GetTickCount64()));
    const std::string line = stamp + ToUtf8(text) + "\r\n";
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data) &&
        ((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) + line.size() > limit_) {
        MoveFileExW(path_.c_str(), (folder_ + L"\\watch.old.log").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    win::UniqueHandle file(CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    DWORD done = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &done, nullptr);
}

}  // namespace ordvale::watch
