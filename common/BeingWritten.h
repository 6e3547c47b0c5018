// Files that another program is still writing: a browser's or a torrent
// client's download in progress, or any file changed a moment ago. A tidy
// leaves them where they are, whatever the rules say, so that a download
// is not broken by moving its half-written file away.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ordvale {

// How long after its last write a file counts as still being written,
// in FILETIME units (100 ns): five seconds.
constexpr uint64_t kSettleTime = 5ull * 10000000ull;

// Names that browsers and download programs give a file while they write
// it: ".crdownload", ".part", ".partial", ".download", ".opdownload",
// ".!ut", ".!qb" (letter case aside). ".tmp" is not among them; it counts
// only beside a file of the same stem that is being written.
bool HasDownloadSuffix(std::wstring_view name);

// The time a run waits for: kSettleTime, or the whole seconds the
// environment variable ORDVALE_SETTLE_SECONDS gives (the test suite, whose
// sample files are all made a moment before each run, sets 0).
uint64_t SettleTime();

// Whether a last-write time lies within `settle` of now (either side: a
// time a little ahead of the clock is a write in progress too). A time of 0
// is unknown: the file could not be opened to read it, which is what
// happens while another program holds it open, so it counts as being
// written whatever `settle` is.
constexpr uint64_t kUnknownTime = 0;
bool IsRecentlyWritten(uint64_t lastWrite, uint64_t now, uint64_t settle = kSettleTime);

enum class WriteState {
    Settled,          // free to be tidied
    Downloading,      // its name marks a download in progress
    RecentlyWritten,  // written within the last few seconds, or when is unknown
};

// One listed item: its full path, whether it is a file, its last write.
// The path is the caller's: it is not copied (a listing can hold a million).
struct ListedItem {
    std::wstring_view path;
    bool isFile = false;
    uint64_t lastWrite = kUnknownTime;  // FILETIME, UTC
};

// The state of each item, in the order given. Folders are always settled.
// A "stem.tmp" file counts as a download when a file of the same folder
// named "stem" or "stem.<anything>" is being written.
std::vector<WriteState> FindBeingWritten(const std::vector<ListedItem>& items, uint64_t now,
                                         uint64_t settle = kSettleTime);

// Whether a file inside a folder, at any depth, was made or written within
// `settle` of now, or a folder there or the folder itself made: a copy or an
// unpack still filling it, whatever its name. Creation times count as well
// as last writes, since a copy keeps the last write of what it copies; a
// folder's own last write does not (an item moved into it changes it). At most `maxEntries`
// entries are looked at (a folder larger than that counts by those).
bool FolderBeingFilled(const std::wstring& folder, uint64_t now, uint64_t settle = kSettleTime,
                       std::size_t maxEntries = 5000);

// The current time as a FILETIME value.
uint64_t FileTimeNow();

}  // namespace ordvale
