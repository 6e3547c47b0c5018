#include "engine/FolderLock.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>

#include "common/PathText.h"

namespace ordvale {

std::wstring FolderLockName(const std::wstring& folder) {
    const std::wstring key = path::FoldCase(path::WithoutTrailingSeparator(folder));
    // A path may be longer than a mutex name and holds backslashes, which a
    // name may not: it is named by a hash of the folded path.
    uint64_t hash = 14695981039346656037ull;
    for (wchar_t c : key) {
        hash ^= static_cast<uint16_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t text[64];
    swprintf(text, 64, L"Local\\Ordvale-Tidy-%016llX", static_cast<unsigned long long>(hash));
    return text;
}

FolderLocks::~FolderLocks() { Release(); }

void FolderLocks::Release() {
    for (auto it = held_.rbegin(); it != held_.rend(); ++it) ReleaseMutex(it->Get());
    held_.clear();
}

bool FolderLocks::Take(std::vector<std::wstring> folders, bool wait, const std::function<bool()>& stopped) {
    std::vector<std::wstring> names;
    for (const std::wstring& folder : folders)
        if (!folder.empty()) names.push_back(FolderLockName(folder));
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    for (const std::wstring& name : names) {
        win::UniqueHandle mutex(CreateMutexW(nullptr, FALSE, name.c_str()));
        if (!mutex) continue;  // no lock to be had: the run goes on without it
        for (;;) {
            const DWORD got = WaitForSingleObject(mutex.Get(), wait ? 250 : 0);
            // An abandoned lock was held by a run that ended without letting go.
            if (got == WAIT_OBJECT_0 || got == WAIT_ABANDONED) break;
            if (!wait || (stopped && stopped())) {
                Release();
                return false;
            }
        }
        held_.push_back(std::move(mutex));
    }
    return true;
}

}  // namespace ordvale
