// The watcher's own record of what it saw and did, a line per event, for
// finding out afterwards why an arrival was or was not tidied. It lives in
// "Watch\watch.log" beside the settings (not in the settings folder itself,
// whose changes the watcher follows) and is kept small: past its limit the
// file becomes "watch.old.log" and a new one begins.
#pragma once

#include <cstdint>
#include <string>

namespace ordvale::watch {

class WatchLog {
public:
    WatchLog() = default;
    // Starts the record in `folder` (made when missing); without one, Line does nothing.
    void Open(const std::wstring& folder, uint64_t limitBytes = 256 * 1024);
    void Line(const std::wstring& text);
    const std::wstring& Path() const { return path_; }

private:
    std::wstring folder_, path_;
    uint64_t limit_ = 0;
};

// The log folder beside the settings of this application-data folder.
std::wstring WatchLogFolderIn(const std::wstring& appData);

}  // namespace ordvale::watch
