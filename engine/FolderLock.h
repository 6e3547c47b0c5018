// One run at a time per folder: a wizard's run and the watcher's never tidy
// the same folder at once. Each run holds a named mutex per folder it tidies
// (its path, case folded) from planning to its last operation.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "common/win/Handle.h"

namespace ordvale {

// The mutex name of a folder: the same for every spelling Windows takes
// for the same path (letter case, a trailing backslash).
std::wstring FolderLockName(const std::wstring& folder);

class FolderLocks {
public:
    FolderLocks() = default;
    ~FolderLocks();
    FolderLocks(const FolderLocks&) = delete;
    FolderLocks& operator=(const FolderLocks&) = delete;

    // Takes the lock of every folder given, in one order for every run so two
    // runs never wait for each other. Without `wait`, false at once when one
    // is held by another run (nothing is held then); with it, waits, asking
    // `stopped` now and then, and false only once that says so.
    bool Take(std::vector<std::wstring> folders, bool wait, const std::function<bool()>& stopped);
    void Release();

private:
    std::vector<win::UniqueHandle> held_;
};

}  // namespace ordvale
