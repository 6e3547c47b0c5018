// The tidy job: what one run tidies, how, with which profile and where to.
// The record crosses the boundary between the runner and zelk.dll, so it has
// one plain layout: fixed text fields and a heap array for the selection.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace ordvale {

enum class TidyMethod : int32_t { ByType = 1, ByTime = 2, BySize = 3, ByName = 4 };
enum class TidyTarget : int32_t { Desktop = 0, Folder = 1, Selection = 2 };

// A job that takes an earlier run back rather than tidying: its method is
// this value and its profileId holds the id of the run to take back (its
// journal, see common/Journal.h); the target is the desktop and every other
// text empty. It travels in the job file like any job. An engine that knows
// only the four methods loads no profile for it and plans nothing, so an
// older zelk.dll given such a job moves nothing.
constexpr int32_t kUndoRunMethod = 0x100;

struct TidyPathEntry {
    wchar_t text[260];
};

struct TidyJob {
    int32_t method;           // a TidyMethod
    int32_t target;           // a TidyTarget
    wchar_t folder[260];      // target Folder only
    TidyPathEntry* items;     // target Selection only; from the process heap
    int32_t itemCount;
    int32_t itemCapacity;
    wchar_t profileId[260];
    wchar_t profileName[260];  // shown by the wizard, never serialised
    wchar_t destination[260];  // empty: the default destination

    TidyJob();
    ~TidyJob();
    TidyJob(const TidyJob&) = delete;
    TidyJob& operator=(const TidyJob&) = delete;
};

// Both compilers must agree on this layout.
static_assert(offsetof(TidyJob, folder) == 8, "TidyJob layout");
static_assert(offsetof(TidyJob, items) % alignof(void*) == 0, "TidyJob layout");
static_assert(offsetof(TidyJob, profileId) == offsetof(TidyJob, itemCapacity) + 4, "TidyJob layout");

// Makes the job the one that takes the run back.
void MakeUndoJob(TidyJob* job, const std::wstring& runId);
bool IsUndoJob(const TidyJob& job);
// A copy of every field, the selection included.
void CopyTidyJob(const TidyJob& from, TidyJob* to);

// Back to the initial record: ByType, Desktop, every text and the selection empty.
void ResetTidyJob(TidyJob* job);
void ClearItems(TidyJob* job);

// Appends an existing file or folder not yet listed (ignoring case), cut to
// 259 characters. Returns whether an entry was added.
bool AddItem(TidyJob* job, const wchar_t* path);

// Appends without the checks above (for a job read back from its file).
bool AppendItemUnchecked(TidyJob* job, const wchar_t* path);

// The folder used when the user chooses no destination.
std::wstring DefaultDestination(const TidyJob* job);

// 0 after writing the serialised job into buffer; 2 with the needed size in
// *size when buffer is absent or *size is too small.
int SerializeTidyJob(const TidyJob* job, void* buffer, uint32_t* size);

enum class JobFileStatus {
    Ok,
    Unreadable,     // the file cannot be opened or read
    TooLarge,       // larger than any job the wizard writes
    Truncated,      // the data ends inside a field
    TrailingBytes,  // bytes after the destination
    Unterminated,   // a text without its NUL within 260 units
    BadTarget,      // a target that is not Desktop, Folder or Selection
};

const wchar_t* DescribeJobFileStatus(JobFileStatus status);

// Turns serialised data back into a job; never reads past data + size. On
// failure the job is reset.
JobFileStatus DeserializeTidyJob(const void* data, std::size_t size, TidyJob* job);
JobFileStatus ReadTidyJobFile(const wchar_t* path, TidyJob* job);

}  // namespace ordvale
