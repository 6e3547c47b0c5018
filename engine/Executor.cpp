// Carrying out one operation.
//
// Wine's shell loses data where the Windows shell asks or keeps both: its
// FO_MOVE overwrites a same-named file whatever the flags say, moves nothing
// (and returns 0) for a folder onto a same-named folder, for a file held open
// or for a folder across file systems. So every name conflict is settled here
// before anything is moved, the shell is only ever asked to put an item under
// a name that is free, and no answer of the shell (or of a copy across
// volumes) is believed until the file system shows the item gone from its
// source and standing at its destination.
//
// How items travel. Without the shell's progress window (the default) files
// and folders are moved with MoveFileExW: the result on disk is the same as
// the shell's, a rename refuses exactly the files the shell's rename
// refuses, it never overwrites unless told to, and under Wine it costs a
// fifth of an FO_MOVE per file (0.6-0.8 ms against 3.6-4.1 ms with 2,000
// files in the folder). When the user asked to see the shell's window, whole
// items moved on one volume go through SHFileOperationW; a merge or a copy
// never goes through the shell. A file that goes to another volume is
// copied under a temporary name and takes its name only when whole (see
// WholeCopy); a folder goes there item by item. A file that is replaced is
// first set aside on its own volume, where the undo finds it.
#include "engine/Executor.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cwchar>
#include <cwctype>
#include <algorithm>
#include <string>
#include <vector>

#include "common/FreeName.h"
#include "common/UndoPlan.h"
#include "common/PathText.h"
#include "common/RunTrace.h"
#include "common/Text.h"
#include "common/win/Handle.h"
#include "engine/ShellItemShell.h"

namespace ordvale {

namespace {

trace::Total gDestinationChecks("destination checks"), gSourceChecks("source checks"),
    gPlainRenames("plain renames (with their record)"), gClashes("clashes settled"), gCarries("items carried"),
    gRecords("journal records"), gAnnouncements("operations announced"), gListings("destination folders read"),
    gVerification("moves verified");

// The longest full path an item is acted on under (MAX_PATH less the NUL).
constexpr std::size_t kMaxPathChars = kTextUnits - 1;
constexpr std::size_t kProbeSuffixLength = std::char_traits<wchar_t>::length(kProbeSuffix);

// The shell's flags for a rename and a delete: silent, no questions, no
// error windows, into the recycle bin.
constexpr FILEOP_FLAGS kRenameDeleteFlags =
    FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOCONFIRMMKDIR | FOF_NOERRORUI;
static_assert(kRenameDeleteFlags == 0x0654, "the rename and delete flags");

using path::FoldCase;
using path::Join;
using path::LastComponent;

using path::WithoutTrailingSeparator;

// Whether a path names nothing. Only "not found" counts: a name that cannot
// be read for another reason is treated as taken.
bool IsMissing(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolderPath(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsInUseError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// A stored path that filled its field may be the first 259 characters of a
// longer one, and may then name a different item (its parent folder, say)
// or none. It is trusted only when the item's own name, stored beside it,
// ends it.
bool MayBeCut(const ShellItem& item) {
    if (item.pathCut) return true;
    const std::size_t length = BoundedLength(item.path, kTextUnits);
    if (length < kMaxPathChars) return false;
    const std::size_t nameLength = BoundedLength(item.name, kTextUnits);
    if (nameLength == 0 || nameLength + 1 > length) return true;
    const wchar_t* tail = item.path + length - nameLength;
    return tail[-1] != L'\\' || !EqualsNoCase(std::wstring(tail), std::wstring(item.name));
}

// Flags read afresh, all that acting on an item depends on. They are
// cleared first so that an item that has gone since the last refresh has no
// shape.
void RefreshNow(ShellItem* item, ShortcutClasses* shortcuts = nullptr, WIN32_FILE_ATTRIBUTE_DATA* seen = nullptr) {
    item->attributes = 0;
    RefreshAttributes(item, shortcuts, seen);
}

bool HasShape(const ShellItem& item) {
    return IsFolder(item) || IsFile(item) || IsShortcut(item);
}

bool Usable(const ShellItem& item, uint32_t permission) {
    return !item.isVirtual && (item.attributes & permission) != 0 && HasShape(item);
}

bool RenameForProbe(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), 0) != FALSE;
}

// What the in-use probe found.
enum class Probe {
    Free,   // renamed to the probe name and back
    InUse,  // could not be renamed (or may not be)
    Stuck,  // renamed, but could not get its name back
};

// The probe of an item already refreshed.
Probe ProbeRefreshed(const ShellItem& item) {
    if (item.isVirtual || !(item.attributes & kAttrCanRename) || !HasShape(item)) return Probe::InUse;
    const std::wstring path = item.path.str();
    if (path.empty()) return Probe::InUse;
    if (path.size() + kProbeSuffixLength > kMaxPathChars) {
        // No room for the probe name: a handle asking for delete access,
        // which is refused exactly when someone holds the item open without
        // delete sharing.
        win::UniqueHandle h(CreateFileW(path.c_str(), DELETE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        return h ? Probe::Free : Probe::InUse;
    }
    const std::wstring probe = path + kProbeSuffix;
    if (!RenameForProbe(path, probe)) return Probe::InUse;
    // Something may hold the probe name for a moment (a virus scanner, the
    // shell's change notification). An item that keeps its probe name is
    // not acted on; it gets its name back on a retry or at the next run.
    for (int attempt = 0; attempt < 5; ++attempt) {
        if (attempt) Sleep(20 * attempt);
        if (RenameForProbe(probe, path)) return Probe::Free;
    }
    return Probe::Stuck;
}

// An item that could not be probed: in use, or left under its probe name,
// which the user must hear of (it is not where it was).
OperationStatus StatusOfProbe(Probe probe) {
    return probe == Probe::Stuck ? OperationStatus::Failed : OperationStatus::Omitted;
}

// A source that has gone may be standing under its probe name, left there
// by a probe that could not rename it back (in this run or an earlier one):
// it gets its name back and is refreshed. False when it is still there.
bool RecoverFromProbeName(ShellItem* item) {
    if (HasShape(*item) || item->isVirtual) return true;
    const std::wstring path = WithoutTrailingSeparator(item->path.str());
    if (path.empty() || path.size() + kProbeSuffixLength > kMaxPathChars) return true;
    const std::wstring probe = path + kProbeSuffix;
    if (GetFileAttributesW(probe.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
    if (!MoveFileExW(probe.c_str(), path.c_str(), 0)) return false;
    RefreshNow(item);
    return true;
}

// The shell's answer to one operation.
struct ShellResult {
    int code = -1;
    bool aborted = false;
};

ShellResult CallShell(UINT function, const std::wstring& from, const std::wstring& to,
                      FILEOP_FLAGS flags, HWND owner) {
    ShellResult result;
    // Double-NUL-terminated lists of one path each.
    wchar_t fromList[kTextUnits + 1] = {};
    wchar_t toList[kTextUnits + 1] = {};
    if (from.empty() || from.size() > kMaxPathChars || to.size() > kMaxPathChars) return result;
    wmemcpy(fromList, from.c_str(), from.size());
    wmemcpy(toList, to.c_str(), to.size());
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = function;
    op.pFrom = fromList;
    op.pTo = to.empty() ? nullptr : toList;
    op.fFlags = flags;
    result.code = SHFileOperationW(&op);
    result.aborted = op.fAnyOperationsAborted != FALSE;
    return result;
}

OperationStatus FailureOf(DWORD error) {
    return IsInUseError(error) ? OperationStatus::Omitted : OperationStatus::Failed;
}

bool IsNameTakenError(DWORD error) {
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}


// Two drive-letter paths on different drives: a move between them copies.
bool OnOtherDrive(const std::wstring& a, const std::wstring& b) {
    if (a.size() < 2 || b.size() < 2 || a[1] != L':' || b[1] != L':') return true;
    return towupper(a[0]) != towupper(b[0]);
}

// ------------------------------------------------- copies that are whole

// The name beside `arrival` that the copy tries on its `attempt`, for the
// copy while it is written (the undo of a run cut short finds it there by
// its arrival); empty when none fits.
std::wstring PartialName(const std::wstring& arrival, int attempt) {
    std::wstring name = PartialCopyName(arrival, attempt);
    if (name.empty())
        name = Join(path::ParentOf(arrival), L"~" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                                 std::to_wstring(attempt) + kPartialSuffix);
    return name.size() > kMaxPathChars ? std::wstring() : name;
}

// Thrown by the fault that kills a run in the middle of a copy: nothing
// after that point is done, as when the process dies.
struct RunDied {};

// Copies the file `source` to `arrival`, which must be free: the copy is
// written under a hidden temporary name beside it, checked for its full
// size, given the source's times and attributes and only then renamed into
// place (never over anything). A copy that fails is removed; nothing that
// stood there before is touched. For a move, the source is opened so that
// nobody may write to it meanwhile, and deleted through that same handle
// once its copy stands in place, so no change made to it can be lost.
class WholeCopy {
public:
    WholeCopy(const ExecutorFaults* faults, bool move) : faults_(faults), move_(move) {}

    // ERROR_SUCCESS, or why the copy did not arrive (ERROR_FILE_EXISTS:
    // `arrival` was taken).
    DWORD Run(const std::wstring& source, const std::wstring& arrival) {
        const DWORD attributes = GetFileAttributesW(source.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) return GetLastError();
        // A read-only file cannot be deleted through a handle; it gets its
        // attribute back whatever happens.
        const bool readOnly = move_ && (attributes & FILE_ATTRIBUTE_READONLY);
        if (readOnly && !SetFileAttributesW(source.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY))
            return GetLastError();
        const DWORD error = Copy(source, arrival, attributes);
        if (readOnly && (error != ERROR_SUCCESS || !IsMissing(source)))
            SetFileAttributesW(source.c_str(), attributes);
        return error;
    }

private:
    DWORD Copy(const std::wstring& source, const std::wstring& arrival, DWORD attributes) {
        win::UniqueHandle in(CreateFileW(source.c_str(), GENERIC_READ | (move_ ? DELETE : 0), FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!in) return GetLastError();
        LARGE_INTEGER size = {};
        FILETIME created = {}, accessed = {}, written = {};
        if (!GetFileSizeEx(in.Get(), &size) || !GetFileTime(in.Get(), &created, &accessed, &written))
            return GetLastError();
        std::wstring partial;
        win::UniqueHandle out;
        for (int attempt = 0; attempt < kPartialCopyAttempts && !out; ++attempt) {
            partial = PartialName(arrival, attempt);
            if (partial.empty()) return ERROR_FILENAME_EXCED_RANGE;
            out.Reset(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            if (!out && !IsNameTakenError(GetLastError())) return GetLastError();
        }
        if (!out) return ERROR_FILE_EXISTS;
        DWORD error = Fill(in.Get(), out.Get(), static_cast<uint64_t>(size.QuadPart));
        if (error == ERROR_SUCCESS) {
            LARGE_INTEGER made = {};
            if (!GetFileSizeEx(out.Get(), &made) || made.QuadPart != size.QuadPart)
                error = ERROR_WRITE_FAULT;
            else if (!SetFileTime(out.Get(), &created, &accessed, &written) || !FlushFileBuffers(out.Get()))
                error = GetLastError();
        }
        out.Reset();
        if (error == ERROR_SUCCESS && !MoveFileExW(partial.c_str(), arrival.c_str(), 0)) error = GetLastError();
        if (error != ERROR_SUCCESS) {
            DeleteFileW(partial.c_str());
            return IsNameTakenError(error) ? ERROR_FILE_EXISTS : error;
        }
        if (faults_ && faults_->runDiesOnceCopyArrives) throw RunDied();
        const DWORD kept = attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                         FILE_ATTRIBUTE_ARCHIVE);
        SetFileAttributesW(arrival.c_str(), kept ? kept : FILE_ATTRIBUTE_NORMAL);
        if (!move_) return ERROR_SUCCESS;
        FILE_DISPOSITION_INFO dispose = {TRUE};
        if (!SetFileInformationByHandle(in.Get(), FileDispositionInfo, &dispose, sizeof(dispose))) {
            // The source stays: its copy goes again, so the item is in one
            // place only.
            error = GetLastError();
            SetFileAttributesW(arrival.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW(arrival.c_str());
            return error == ERROR_SUCCESS ? ERROR_ACCESS_DENIED : error;
        }
        return ERROR_SUCCESS;
    }

    DWORD Fill(HANDLE in, HANDLE out, uint64_t size) {
        constexpr DWORD kChunk = 1 << 20;
        std::vector<char> buffer(static_cast<std::size_t>(std::min<uint64_t>(size, kChunk)) + 1);
        uint64_t done = 0;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(in, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return GetLastError();
            if (got == 0) break;
            DWORD put = got;
            const bool fault = faults_ && faults_->copyFailsAfterBytes >= 0 &&
                               done + got > static_cast<uint64_t>(faults_->copyFailsAfterBytes);
            if (fault) put = static_cast<DWORD>(static_cast<uint64_t>(faults_->copyFailsAfterBytes) - done);
            const bool dies = faults_ && faults_->runDiesAfterCopiedBytes >= 0 &&
                              done + put >= static_cast<uint64_t>(faults_->runDiesAfterCopiedBytes);
            if (dies)
                put = std::min(put, static_cast<DWORD>(std::max<int64_t>(
                                        0, faults_->runDiesAfterCopiedBytes - static_cast<int64_t>(done))));
            DWORD wrote = 0;
            if (put && !WriteFile(out, buffer.data(), put, &wrote, nullptr)) return GetLastError();
            if (dies) throw RunDied();
            if (fault) return ERROR_DISK_FULL;
            if (wrote != got) return ERROR_DISK_FULL;
            done += wrote;
        }
        return done == size ? ERROR_SUCCESS : ERROR_WRITE_FAULT;
    }

    const ExecutorFaults* faults_;
    bool move_;
};

// ------------------------------------------------- what to do about a clash

enum class Choice { Replace, KeepBoth, Skip, Cancel };

Choice ChoiceOfAnswer(int answer) {
    switch (answer & ~kAnswerForAll) {
        case kAnswerReplace: return Choice::Replace;
        case kAnswerKeepBoth: return Choice::KeepBoth;
        case kAnswerCancel: return Choice::Cancel;
        default: return Choice::Skip;  // also a dialog that could not answer
    }
}

void ReadSizeAndTime(const std::wstring& path, uint64_t* size, FILETIME* time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return;
    *time = data.ftLastWriteTime;
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// What the settings, or the user when they say Ask, make of an arriving
// item whose name is taken by an item of the same kind.
class ClashPolicy {
public:
    ClashPolicy(const OrdvaleSettings& settings, ProgressSink* sink, ExecutionState* state)
        : settings_(settings), sink_(sink), state_(state) {}

    // Replace stands for merging, too, when the two are folders.
    Choice Decide(const std::wstring& source, const std::wstring& standing, const Clash& clash) {
        switch (DecideClash(settings_, clash)) {
            case ClashOutcome::KeepBoth: return Choice::KeepBoth;
            case ClashOutcome::Replace:
            case ClashOutcome::Merge: return Choice::Replace;
            case ClashOutcome::Ask: return Ask(source, standing, clash.arrivingFolder);
        }
        return Choice::KeepBoth;
    }

private:
    Choice Ask(const std::wstring& source, const std::wstring& standing, bool folder) {
        int& forAll = folder ? state_->folderAnswerForAll : state_->fileAnswerForAll;
        if (forAll) return ChoiceOfAnswer(forAll);
        ConflictQuestion question = {};
        question.sourcePath = source.c_str();
        question.destinationPath = standing.c_str();
        question.isFolder = folder;
        ReadSizeAndTime(source, &question.sourceSize, &question.sourceTime);
        ReadSizeAndTime(standing, &question.destinationSize, &question.destinationTime);
        const int answer =
            static_cast<int>(sink_->Send(UM_ASK_CONFLICT, 0, reinterpret_cast<LPARAM>(&question)));
        const Choice choice = ChoiceOfAnswer(answer);
        // "Cancel" stops one operation; it is not kept for the others.
        if ((answer & kAnswerForAll) && choice != Choice::Cancel)
            forAll = answer & ~kAnswerForAll;
        return choice;
    }

    const OrdvaleSettings& settings_;
    ProgressSink* sink_;
    ExecutionState* state_;
};

// ------------------------------------------------------ carrying the items

// What became of the items inside a merge.
class Tally {
public:
    OperationStatus Note(OperationStatus status) {
        if (status == OperationStatus::Failed) failed_ = true;
        if (status == OperationStatus::Omitted) inUse_ = true;
        if (status == OperationStatus::None) skipped_ = true;
        return status;
    }
    bool LeftSome() const { return failed_ || inUse_ || skipped_; }
    // The status of a merge that left items behind: a failure first, then
    // items in use (a retry may move them), then the user's skips.
    OperationStatus Worst() const {
        if (failed_) return OperationStatus::Failed;
        if (inUse_) return OperationStatus::Omitted;
        if (skipped_) return OperationStatus::None;
        return OperationStatus::Failed;
    }

private:
    bool failed_ = false;
    bool inUse_ = false;
    bool skipped_ = false;
};

// Moves or copies the items of one operation: to a name that is free, onto
// a file it replaces, or into a folder it merges with.
class Carrier {
public:
    // `unprobed`: the item itself, when it still has to be probed before it
    // is copied to another volume (on one volume the move is a rename,
    // which refuses an item in use by itself).
    Carrier(const OrdvaleSettings& settings, ProgressSink* sink, ClashPolicy* policy, bool copy,
            unsigned shellFlags, const ShellItem* unprobed, ExecutionState* state)
        : settings_(settings),
          sink_(sink),
          state_(state),
          policy_(policy),
          copy_(copy),
          shellFlags_(shellFlags),
          unprobed_(unprobed) {}

    bool Cancelled() const { return cancelled_; }
    // The item was not put under its name because the name had been taken
    // meanwhile.
    bool NameTaken() const { return nameTaken_; }

    // To a name that is free. Whole items go through the shell when the
    // user wants its window.
    OperationStatus ToFreeName(const std::wstring& source, const std::wstring& arrival,
                               bool folder, bool topLevel) {
        bool itemByItem = false;
        const OperationStatus status = ToFreeNameUnrecorded(source, arrival, folder, topLevel, &itemByItem);
        // A folder copied, or moved across volumes, item by item has its
        // items recorded one by one.
        if (status == OperationStatus::Succeeded && !itemByItem)
            state_->Record(copy_ ? JournalKind::Copy : JournalKind::Move, source, arrival);
        return status;
    }

    // Replaces a same-named file. The file standing there is first set
    // aside (see SetAside), never deleted and never written over, so the
    // undo can put it back; it comes back at once when the new one does not
    // arrive. A read-only file is not replaced: MoveFileExW refuses it on
    // Windows and Wine would replace it, so it is refused here on both.
    OperationStatus ReplaceFile(const std::wstring& source, const std::wstring& standing) {
        const OperationStatus status = ReplaceFileUnrecorded(source, standing);
        if (status == OperationStatus::Succeeded)
            state_->Record(copy_ ? JournalKind::Copy : JournalKind::Replace, source, standing);
        return status;
    }

    OperationStatus ToFreeNameUnrecorded(const std::wstring& source, const std::wstring& arrival,
                                         bool folder, bool topLevel, bool* itemByItem) {
        // The shell's window shows moves on one volume; a copy is written
        // here, where it is checked before it takes its name.
        if (topLevel && settings_.showSystemProgress && !copy_ && !OnOtherDrive(source, arrival))
            return ThroughShell(source, arrival);
        if (copy_) {
            *itemByItem = folder;
            return CopyToFreeName(source, arrival, folder, topLevel);
        }
        // A rename that succeeds has moved the item.
        if (MoveFileExW(source.c_str(), arrival.c_str(), 0))
            return Exists(arrival) ? OperationStatus::Succeeded : OperationStatus::Failed;
        const DWORD error = GetLastError();
        if (topLevel && IsNameTakenError(error)) nameTaken_ = true;
        if (error != ERROR_NOT_SAME_DEVICE) return FailureOf(error);
        if (folder) {
            // Across volumes a folder is made there and its items follow
            // one by one, each whole or not at all; it goes from its old
            // place once empty.
            *itemByItem = true;
            if (!CreateDirectoryW(arrival.c_str(), nullptr)) {
                if (topLevel && IsNameTakenError(GetLastError())) nameTaken_ = true;
                return OperationStatus::Failed;
            }
            state_->Record(JournalKind::CreateFolder, arrival);
            const OperationStatus status = Merge(source, arrival, true);
            // Only when nothing arrived in it.
            if (status != OperationStatus::Succeeded) RemoveDirectoryW(arrival.c_str());
            return status;
        }
        if (topLevel && unprobed_) {
            const Probe probe = ProbeRefreshed(*unprobed_);
            unprobed_ = nullptr;
            if (probe != Probe::Free) return StatusOfProbe(probe);
        }
        return CopyWhole(source, arrival, topLevel);
    }

    // The file copied whole to the free name `arrival` (and, for a move,
    // gone from its source).
    OperationStatus CopyWhole(const std::wstring& source, const std::wstring& arrival, bool topLevel) {
        const DWORD error = WholeCopy(state_->faults, !copy_).Run(source, arrival);
        if (error == ERROR_SUCCESS) return Arrived(source, arrival);
        if (topLevel && IsNameTakenError(error)) nameTaken_ = true;
        return FailureOf(error);
    }

    OperationStatus ReplaceFileUnrecorded(const std::wstring& source, const std::wstring& standing) {
        const DWORD standingAttributes = GetFileAttributesW(standing.c_str());
        if (standingAttributes == INVALID_FILE_ATTRIBUTES ||
            (standingAttributes & FILE_ATTRIBUTE_READONLY))
            return OperationStatus::Failed;
        std::wstring aside;
        const OperationStatus setAside = SetAside(standing, &aside);
        if (setAside != OperationStatus::Succeeded) return setAside;
        DWORD error = ERROR_NOT_SAME_DEVICE;
        if (!copy_) error = MoveFileExW(source.c_str(), standing.c_str(), 0) ? ERROR_SUCCESS : GetLastError();
        // A copy that fails leaves nothing under the name.
        if (error == ERROR_NOT_SAME_DEVICE) error = WholeCopy(state_->faults, !copy_).Run(source, standing);
        if (error == ERROR_SUCCESS && Arrived(source, standing) == OperationStatus::Succeeded)
            return OperationStatus::Succeeded;
        // A file that cannot get its name back is not lost (the undo finds
        // it aside), but it is not where the user left it: that is a
        // failure to show, whatever the reason the new one did not arrive.
        if (!MoveFileExW(aside.c_str(), standing.c_str(), 0)) return OperationStatus::Failed;
        RemoveDirectoryW(path::ParentOf(aside).c_str());  // only when empty
        return error == ERROR_SUCCESS ? OperationStatus::Failed : FailureOf(error);
    }

    // Merges the folder `source` into the existing folder `standing`: items
    // only at the source travel, a same-named file is settled by the file
    // policy (kept beside under a new name, replaced, or as the user
    // answers), same-named folders merge again, a name taken by an item of
    // the other kind gives the arriving item a free new name. Nothing that
    // stands only at the destination is touched. A moved folder is removed
    // when nothing is left in it.
    // `intoBrought`: this run brought the folder merged into, so whatever
    // stands in it came with this run too.
    OperationStatus Merge(const std::wstring& source, const std::wstring& standing, bool intoBrought) {
        std::vector<WIN32_FIND_DATAW> children;
        if (!ListFolder(source, &children)) return tally_.Note(OperationStatus::Failed);
        FolderNames there;
        if (!there.Read(standing)) return tally_.Note(OperationStatus::Failed);
        for (const WIN32_FIND_DATAW& child : children) {
            if (cancelled_) break;
            MergeOne(source, standing, child, &there, intoBrought);
        }
        if (cancelled_) return OperationStatus::Pended;
        if (!copy_) {
            // Only when empty; the journal keeps it, so that taking the run
            // back makes it again for its items.
            if (RemoveDirectoryW(source.c_str())) state_->Record(JournalKind::RemoveFolder, source);
            if (!IsMissing(source) || !Exists(standing)) return tally_.Worst();
            return OperationStatus::Succeeded;
        }
        return tally_.LeftSome() ? tally_.Worst() : OperationStatus::Succeeded;
    }

private:
    OperationStatus CopyToFreeName(const std::wstring& source, const std::wstring& arrival, bool folder,
                                   bool topLevel) {
        if (folder) {
            // A folder is copied as a new folder with everything merged in.
            if (!CreateDirectoryW(arrival.c_str(), nullptr)) {
                if (topLevel && IsNameTakenError(GetLastError())) nameTaken_ = true;
                return OperationStatus::Failed;
            }
            return Merge(source, arrival, true);
        }
        return CopyWhole(source, arrival, topLevel);
    }

    // Puts the file about to be replaced aside, by a rename on its own
    // volume, into the hidden set-aside folder beside it, under its own
    // name or the first free numbered one, or a short one when the path
    // would not fit. The journal has it before anything replaces it, so
    // the undo puts it back; it goes to the recycle bin when that journal
    // is pruned.
    OperationStatus SetAside(const std::wstring& standing, std::wstring* aside) {
        const std::wstring folder = Join(path::ParentOf(standing), kSetAsideFolder);
        if (folder.size() + 2 > kMaxPathChars) return OperationStatus::Failed;
        if (CreateDirectoryW(folder.c_str(), nullptr)) {
            SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_HIDDEN);
            state_->Record(JournalKind::CreateFolder, folder);
        } else if (!IsFolderPath(folder)) {
            return OperationStatus::Failed;
        }
        const std::wstring name = LastComponent(standing);
        const std::size_t dot = name.rfind(L'.');
        const std::wstring extension = dot != std::wstring::npos && dot > 0 ? name.substr(dot) : std::wstring();
        for (int n = 1; n < 1000; ++n) {
            std::wstring candidate = Join(folder, n == 1 ? name : NumberedName(name, false, n));
            if (candidate.size() > kMaxPathChars) candidate = Join(folder, L"~" + std::to_wstring(n) + extension);
            if (candidate.size() > kMaxPathChars) candidate = Join(folder, L"~" + std::to_wstring(n));
            if (candidate.size() > kMaxPathChars) break;
            if (MoveFileExW(standing.c_str(), candidate.c_str(), 0)) {
                *aside = candidate;
                state_->Record(JournalKind::SetAside, standing, candidate);
                return OperationStatus::Succeeded;
            }
            const DWORD error = GetLastError();
            if (!IsNameTakenError(error)) {
                RemoveDirectoryW(folder.c_str());  // only when empty
                return FailureOf(error);
            }
        }
        RemoveDirectoryW(folder.c_str());
        return OperationStatus::Failed;
    }

    // Everything in a folder, hidden items too.
    static bool ListFolder(const std::wstring& folder, std::vector<WIN32_FIND_DATAW>* children) {
        WIN32_FIND_DATAW found;
        win::UniqueFind find(FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoBasic, &found,
                                              FindExSearchNameMatch, nullptr, 0));
        if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
        do {
            if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L".."))
                children->push_back(found);
        } while (FindNextFileW(find.Get(), &found));
        return true;
    }

    // One item of the folder being merged; `there` holds the names of the
    // folder it is merged into.
    void MergeOne(const std::wstring& folder, const std::wstring& into, const WIN32_FIND_DATAW& child,
                  FolderNames* there, bool intoBrought) {
        const std::wstring name = child.cFileName;
        const std::wstring source = Join(folder, name);
        const std::wstring arrival = Join(into, name);
        if (source.size() > kMaxPathChars || arrival.size() > kMaxPathChars) {
            tally_.Note(OperationStatus::Failed);
            return;
        }
        const bool folderChild = (child.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A linked folder travels as the link; what it points to is not
        // merged out of it.
        const bool linked = (child.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        const FolderNames::Entry* standing = there->Find(name);
        if (!standing) {
            const OperationStatus status = tally_.Note(ToFreeName(source, arrival, folderChild, false));
            if (status == OperationStatus::Succeeded) there->Add(name, {folderChild, linked});
            return;
        }
        Clash clash;
        clash.arrivingFolder = folderChild;
        clash.arrivingLinked = linked;
        clash.standingFolder = standing->folder;
        clash.standingLinked = standing->linked;
        clash.standingBrought = intoBrought || state_->Brought(arrival);
        clash.insideMerge = true;
        // A file meeting a file follows the file policy, as it would
        // outside the folder; same-named folders merge again.
        switch (policy_->Decide(source, arrival, clash)) {
            case Choice::Replace:
                if (folderChild)
                    tally_.Note(Merge(source, arrival, clash.standingBrought));
                else
                    tally_.Note(ReplaceFile(source, arrival));
                break;
            case Choice::KeepBoth: KeepBoth(source, into, name, folderChild, linked, there); break;
            case Choice::Skip: tally_.Note(OperationStatus::None); break;
            case Choice::Cancel: cancelled_ = true; break;
        }
    }

    void KeepBoth(const std::wstring& source, const std::wstring& into, const std::wstring& name,
                  bool folder, bool linked, FolderNames* there) {
        const std::wstring free = there->FreeName(name, folder);
        const std::wstring arrival = Join(into, free);
        if (free.empty() || arrival.size() > kMaxPathChars) {
            tally_.Note(OperationStatus::Failed);
            return;
        }
        if (tally_.Note(ToFreeName(source, arrival, folder, false)) == OperationStatus::Succeeded)
            there->Add(free, {folder, linked});
    }

    // Whole items through the shell, to a name that is free.
    OperationStatus ThroughShell(const std::wstring& source, const std::wstring& arrival) {
        const ShellResult result =
            copy_ ? CallShell(FO_COPY, source, arrival, static_cast<FILEOP_FLAGS>(shellFlags_), nullptr)
                  : CallShell(FO_MOVE, source, arrival, static_cast<FILEOP_FLAGS>(shellFlags_),
                              sink_->Owner());
        const bool arrived = Arrived(source, arrival) == OperationStatus::Succeeded;
        if (result.aborted && (result.code != 0 || !arrived)) {
            cancelled_ = true;
            return OperationStatus::Pended;
        }
        return result.code == 0 && arrived ? OperationStatus::Succeeded : OperationStatus::Failed;
    }

    // Whether the item stands at its arrival and, for a move, has left its
    // source.
    OperationStatus Arrived(const std::wstring& source, const std::wstring& arrival) const {
        if (!Exists(arrival)) return OperationStatus::Failed;
        if (!copy_ && !IsMissing(source)) return OperationStatus::Failed;
        return OperationStatus::Succeeded;
    }

    const OrdvaleSettings& settings_;
    ProgressSink* sink_;
    ExecutionState* state_;
    ClashPolicy* policy_;
    bool copy_;
    unsigned shellFlags_;
    const ShellItem* unprobed_;
    Tally tally_;
    bool cancelled_ = false;
    bool nameTaken_ = false;
};

// ------------------------------------------------- copy and move, in steps

// Where an operation has got to; the caller sends the closing messages.
struct Progress {
    bool cancelDisabled = false;  // UM_ENABLE_CANCEL 0 was sent
    bool aborted = false;         // UM_OPERATION_ABORTED is due
};

// One item on its way.
struct Journey {
    bool copy = false;
    std::wstring folder;   // the destination folder
    std::wstring source;   // the item's path
    std::wstring name;     // its name where it arrives
    std::wstring newName;  // the name the operation gives it, if not its own
    std::wstring arrival;  // where it is to stand
    bool folderItem = false;  // a folder to the file system (an archive is a file)
    bool probed = false;      // the item has passed the in-use probe
    bool replace = false;     // onto the same-named item standing there
    bool keepBoth = false;    // under a new name beside the item standing there
    bool intoBrought = false; // merged into a folder this run brought
    // What the file system said of the item when it was checked.
    WIN32_FILE_ATTRIBUTE_DATA seen = {};
};

// A step's verdict: go on, or the operation's status.
struct Step {
    bool settled;
    OperationStatus status;
};
constexpr Step kGoOn{false, OperationStatus::Unknown};
Step Settled(OperationStatus status) {
    return Step{true, status};
}

OperationStatus CreateFolder(Operation* op, ExecutionState* state) {
    if (MayBeCut(op->source)) return OperationStatus::Failed;
    // A folder made or found in this pass is there; planning asks once for
    // each item bound for it.
    if (state->usableFolders.count(FoldCase(WithoutTrailingSeparator(op->source.path.str()))))
        return OperationStatus::None;
    RefreshNow(&op->source);
    if (IsFolder(op->source)) return OperationStatus::None;
    const std::wstring folder = WithoutTrailingSeparator(op->source.path.str());
    // The shell makes missing parents too; they are recorded before the
    // folder, outermost first, so that taking the run back removes them
    // (when empty) after it.
    std::vector<std::wstring> missingParents;
    for (std::wstring parent = path::ParentOf(folder); !parent.empty() && !path::IsDriveRoot(parent) && IsMissing(parent);
         parent = path::ParentOf(parent))
        missingParents.insert(missingParents.begin(), parent);
    if (SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr) != ERROR_SUCCESS)
        return OperationStatus::Failed;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return OperationStatus::Failed;
    state->usableFolders.insert(FoldCase(folder));
    for (const std::wstring& parent : missingParents)
        if (!IsMissing(parent)) state->Record(JournalKind::CreateFolder, parent);
    state->Record(JournalKind::CreateFolder, folder);
    return OperationStatus::Succeeded;
}

// The destination is a folder that exists (looked at once per pass); a
// folder whose path may be cut is not the folder that was meant.
Step CheckDestination(Operation* op, ExecutionState* state, Journey* journey) {
    GetPath(&op->destination);
    journey->folder = WithoutTrailingSeparator(op->destination.path.str());
    if (MayBeCut(op->destination)) return Settled(OperationStatus::Failed);
    const std::wstring key = FoldCase(journey->folder);
    if (!state->usableFolders.count(key)) {
        RefreshNow(&op->destination);
        if (IsFile(op->destination) || !IsFolder(op->destination))
            return Settled(OperationStatus::Omitted);
        state->usableFolders.insert(key);
    }
    return kGoOn;
}

// Whether the item would really arrive onto itself or inside itself,
// though the texts differ: a link, a short name or a mapped drive on the
// way. Onto itself: it would stand where it stands, in the same folder
// under the same name. Inside itself: the destination lies in the folder
// or in where a linked folder leads.
enum class Leads { Elsewhere, OntoItself, IntoItself };
Leads WhereItReallyLeads(const Journey& journey, bool folderItem, ExecutionState* state) {
    const std::wstring folder = state->realDestinations.Of(journey.folder);
    if (EqualsNoCase(Join(folder, journey.name), state->realSources.ItemOf(journey.source)))
        return Leads::OntoItself;
    if (!folderItem) return Leads::Elsewhere;
    const std::wstring source = path::RealPath(journey.source);
    if (path::SamePath(folder, source) || path::IsInside(folder, source)) return Leads::IntoItself;
    return Leads::Elsewhere;
}

// The item is there, may be copied or moved, and has a place to go that
// is not inside itself.
Step CheckSource(ShellItem* item, Journey* journey, ExecutionState* state) {
    if (MayBeCut(*item)) return Settled(OperationStatus::Failed);
    RefreshNow(item, &state->shortcuts, &journey->seen);
    if (!RecoverFromProbeName(item)) {
        journey->seen.dwFileAttributes = INVALID_FILE_ATTRIBUTES;
        return Settled(OperationStatus::Failed);
    }
    if (!Usable(*item, journey->copy ? kAttrCanCopy : kAttrCanMove)) return Settled(OperationStatus::None);
    journey->source = WithoutTrailingSeparator(item->path.str());
    // Taking a run back gives an item the name it had before.
    journey->name = journey->newName.empty() ? LastComponent(journey->source) : journey->newName;
    if (journey->name.empty()) return Settled(OperationStatus::Failed);
    journey->arrival = Join(journey->folder, journey->name);
    if (journey->arrival.size() > kMaxPathChars) return Settled(OperationStatus::Failed);
    if (EqualsNoCase(journey->arrival, journey->source)) return Settled(OperationStatus::None);
    if (EqualsNoCase(journey->folder, journey->source) || path::IsInside(journey->folder, journey->source))
        return Settled(OperationStatus::Failed);
    switch (WhereItReallyLeads(*journey, IsFolder(*item) && !IsFile(*item), state)) {
        case Leads::OntoItself: return Settled(OperationStatus::None);
        case Leads::IntoItself: return Settled(OperationStatus::Failed);
        case Leads::Elsewhere: break;
    }
    // Folder or file as the file system sees it: an archive the shell
    // calls a folder is a file here.
    journey->folderItem = IsFolder(*item) && !IsFile(*item);
    return kGoOn;
}

Step Probed(const ShellItem& item) {
    const Probe probe = ProbeRefreshed(item);
    return probe == Probe::Free ? kGoOn : Settled(StatusOfProbe(probe));
}

// What the run knows of the folders it moves items into and out of.
void NoteArrival(ExecutionState* state, const Journey& journey) {
    if (FolderNames* names = state->KnownNames(journey.folder))
        names->Add(LastComponent(journey.arrival), {journey.folderItem, false});
    if (journey.copy) return;
    if (FolderNames* names = state->KnownNames(path::ParentOf(journey.source)))
        names->Remove(LastComponent(journey.source));
}

// Most moves find the name free and the item on the same volume: a plain
// rename, tried first, settles them. It refuses a file held open exactly as
// the probe's rename does, so for a file it is the probe; a folder is probed
// first all the same, since Windows refuses to rename a folder with an open
// file inside and the rename gives no "in use" answer for that. A rename
// never replaces. It takes one lookup of a missing name where probe, check,
// move and verification would take five, and under Wine each costs time in
// proportion to the folder's size. It is not tried when this pass already
// knows the name is taken. Settles nothing when the name is taken or the
// item goes to another volume.
Step TryPlainRename(Operation* op, Journey* journey, ExecutionState* state,
                    const OrdvaleSettings& settings) {
    const ShellItem& item = op->source;
    if (journey->folderItem) {
        const Step probed = Probed(item);
        if (probed.settled) return probed;
        journey->probed = true;
    }
    const FolderNames* names = state->KnownNames(journey->folder);
    if (!names || !names->Find(journey->name)) {
        if (MoveFileExW(journey->source.c_str(), journey->arrival.c_str(), 0)) {
            const WIN32_FILE_ATTRIBUTE_DATA& seen = journey->seen;
            if (seen.dwFileAttributes != INVALID_FILE_ATTRIBUTES) {
                const bool folder = (seen.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
                const uint64_t size =
                    folder ? 0 : (static_cast<uint64_t>(seen.nFileSizeHigh) << 32) | seen.nFileSizeLow;
                const uint64_t lastWrite =
                    (static_cast<uint64_t>(seen.ftLastWriteTime.dwHighDateTime) << 32) |
                    seen.ftLastWriteTime.dwLowDateTime;
                state->RecordRenamed(journey->source, journey->arrival, size, lastWrite);
            } else {
                state->Record(JournalKind::Move, journey->source, journey->arrival);
            }
            NoteArrival(state, *journey);
            if (state->verifyInBulk) {
                state->unverified.push_back({op, journey->source, journey->arrival});
                return Settled(OperationStatus::Succeeded);
            }
            return Settled(Exists(journey->arrival) ? OperationStatus::Succeeded : OperationStatus::Failed);
        }
        const DWORD error = GetLastError();
        if (IsInUseError(error)) return Settled(OperationStatus::Omitted);
        if (error == ERROR_NOT_SAME_DEVICE) {
            if (journey->folderItem) return kGoOn;
            journey->probed = true;
            return Probed(item);
        }
        if (!IsNameTakenError(error) && IsMissing(journey->arrival)) return Settled(OperationStatus::Failed);
    }
    // The name is taken. On one volume the item will still travel by a
    // rename, which is the probe for a file; a file that may go to another
    // volume, or about which the user will be asked, is probed now.
    if (!journey->folderItem &&
        (OnOtherDrive(journey->source, journey->folder) || settings.fileConflict == kConflictAsk)) {
        journey->probed = true;
        return Probed(item);
    }
    return kGoOn;
}

// What stands under the arrival name, and what the policy makes of it:
// nothing there, a new free name (Rename), the item replaced or merged
// (Overwrite, Merge), or as the user answers (Ask). A name taken by an item
// of the other kind, or by a linked folder, always gives a new name. The
// destination folder's names are read once in a pass, when a clash first
// needs them.
Step SettleClash(ClashPolicy* policy, Journey* journey, Progress* progress, ExecutionState* state) {
    FolderNames& names = state->Names(journey->folder);
    FolderNames::Entry standing;
    if (const FolderNames::Entry* known = names.Find(journey->name)) {
        standing = *known;
    } else {
        // Not there when the folder was read: the file system decides.
        const DWORD attributes = GetFileAttributesW(journey->arrival.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                return Settled(OperationStatus::Failed);
            return kGoOn;
        }
        standing = {(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                    (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0};
        names.Add(journey->name, standing);
    }
    Clash clash;
    clash.arrivingFolder = journey->folderItem;
    if (journey->folderItem) {
        const DWORD sourceAttributes = GetFileAttributesW(journey->source.c_str());
        clash.arrivingLinked = sourceAttributes != INVALID_FILE_ATTRIBUTES &&
                               (sourceAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
    }
    clash.standingFolder = standing.folder;
    clash.standingLinked = standing.linked;
    clash.standingBrought = state->Brought(journey->arrival);
    journey->intoBrought = clash.standingBrought;
    switch (policy->Decide(journey->source, journey->arrival, clash)) {
        case Choice::Skip:
            return Settled(OperationStatus::None);
        case Choice::Cancel:
            progress->aborted = true;
            return Settled(OperationStatus::Pended);
        case Choice::Replace:
            journey->replace = true;
            return kGoOn;
        case Choice::KeepBoth:
            journey->keepBoth = true;
            return kGoOn;
    }
    return kGoOn;
}

OperationStatus Carry(Carrier* carrier, const Journey& journey, Progress* progress) {
    OperationStatus status;
    if (!journey.replace)
        status = carrier->ToFreeName(journey.source, journey.arrival, journey.folderItem, true);
    else if (journey.folderItem)
        status = carrier->Merge(journey.source, journey.arrival, journey.intoBrought);
    else
        status = carrier->ReplaceFile(journey.source, journey.arrival);
    if (carrier->Cancelled()) {
        progress->aborted = true;
        return OperationStatus::Pended;
    }
    return status;
}

OperationStatus CopyOrMove(const OrdvaleSettings& settings, Operation* op, ProgressSink* sink,
                           ExecutionState* state, bool copy, Progress* progress) {
    Journey journey;
    journey.copy = copy;
    journey.newName = op->NewName();
    Step step = kGoOn;
    {
        trace::Span span(gDestinationChecks);
        step = CheckDestination(op, state, &journey);
    }
    if (step.settled) return step.status;
    ShellItem& item = op->source;
    {
        trace::Span span(gSourceChecks);
        step = CheckSource(&item, &journey, state);
    }
    if (step.settled) return step.status;

    if (!copy) {
        if (settings.showSystemProgress) {
            step = Probed(item);
            journey.probed = true;
        } else {
            trace::Span span(gPlainRenames);
            step = TryPlainRename(op, &journey, state, settings);
        }
        if (step.settled) return step.status;
    }

    ClashPolicy policy(settings, sink, state);
    {
        trace::Span span(gClashes);
        step = SettleClash(&policy, &journey, progress, state);
    }
    if (step.settled) return step.status;
    trace::Span carrying(gCarries);

    if (settings.showSystemProgress && !journey.replace) {
        // The shell's window has a Cancel of its own. (Replacing a file and
        // merging a folder do not go through the shell.)
        sink->Send(UM_ENABLE_CANCEL, 0, 0);
        progress->cancelDisabled = true;
    }
    const unsigned flags = CopyMoveFlags(settings, item);
    const ShellItem* unprobed = copy || journey.probed ? nullptr : &item;
    if (!journey.keepBoth) {
        Carrier carrier(settings, sink, &policy, copy, flags, unprobed, state);
        const OperationStatus status = Carry(&carrier, journey, progress);
        if (status == OperationStatus::Succeeded) NoteArrival(state, journey);
        return status;
    }
    // Under a free name beside the item standing there; a name found free
    // that has been taken meanwhile is passed over for the next.
    FolderNames& names = state->Names(journey.folder);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::wstring free = names.FreeName(journey.name, journey.folderItem);
        if (free.empty()) return OperationStatus::Failed;
        journey.arrival = Join(journey.folder, free);
        if (journey.arrival.size() > kMaxPathChars) return OperationStatus::Failed;
        Carrier carrier(settings, sink, &policy, copy, flags, unprobed, state);
        const OperationStatus status = Carry(&carrier, journey, progress);
        if (status == OperationStatus::Succeeded) NoteArrival(state, journey);
        if (!carrier.NameTaken()) return status;
        names.Add(free, {journey.folderItem, false});
    }
    return OperationStatus::Failed;
}

OperationStatus RenameItem(Operation* op, ExecutionState* state) {
    ShellItem& item = op->source;
    if (MayBeCut(item) || MayBeCut(op->destination)) return OperationStatus::Failed;
    RefreshNow(&item);
    if (!RecoverFromProbeName(&item)) return OperationStatus::Failed;
    if (!Usable(item, kAttrCanRename)) return OperationStatus::None;
    const Probe probe = ProbeRefreshed(item);
    if (probe != Probe::Free) return StatusOfProbe(probe);
    const std::wstring source = WithoutTrailingSeparator(item.path.str());
    const std::wstring target = WithoutTrailingSeparator(GetPath(&op->destination));
    const bool sameItem = EqualsNoCase(source, target);  // a change of case only
    // Nothing is overwritten by a rename.
    if (target.empty() || (!sameItem && !IsMissing(target))) return OperationStatus::Failed;
    const ShellResult result = CallShell(FO_RENAME, source, target, kRenameDeleteFlags, nullptr);
    if (result.code != 0 || !Exists(target) || (!sameItem && !IsMissing(source)))
        return OperationStatus::Failed;
    state->Record(JournalKind::Rename, source, target);
    return OperationStatus::Succeeded;
}

OperationStatus DeleteItem(Operation* op, ExecutionState* state) {
    ShellItem& item = op->source;
    if (MayBeCut(item)) return OperationStatus::Failed;
    RefreshNow(&item);
    if (!RecoverFromProbeName(&item)) return OperationStatus::Failed;
    if (!Usable(item, kAttrCanDelete)) return OperationStatus::None;
    const Probe probe = ProbeRefreshed(item);
    if (probe != Probe::Free) return StatusOfProbe(probe);
    const std::wstring source = WithoutTrailingSeparator(item.path.str());
    const ShellResult result = CallShell(FO_DELETE, source, L"", kRenameDeleteFlags, nullptr);
    if (result.code != 0 || !IsMissing(source)) return OperationStatus::Failed;
    state->Record(JournalKind::Delete, source);
    return OperationStatus::Succeeded;
}

// Operations that may take long enough for a person to see: everything but
// creating a folder and moving a file by a rename on one volume.
bool MayTakeLong(const Operation& op, const OrdvaleSettings& settings) {
    if (Is(op, OperationKind::Nop) || Is(op, OperationKind::CreateDirectory)) return false;
    if (!Is(op, OperationKind::Move) || settings.showSystemProgress) return true;
    if (IsFolder(op.source) && !IsFile(op.source)) return true;  // as planning saw it
    return OnOtherDrive(op.source.path.str(), op.destination.path.str());
}

bool Announce(ExecutionState* state, const Operation& op, const OrdvaleSettings& settings) {
    if (!state->announceEveryMs) return true;
    const DWORD now = GetTickCount();
    if (!MayTakeLong(op, settings) && now - state->lastAnnounced < state->announceEveryMs) return false;
    state->lastAnnounced = now;
    return true;
}

}  // namespace

void RunOperation(const OrdvaleSettings& settings, Operation* operation, ProgressSink* sink,
                  ExecutionState* state) {
    if (!operation) return;
    if (operation->kind < 0 || operation->kind > 5) {
        SetStatus(operation, OperationStatus::Failed);
        return;
    }
    ExecutionState ownState;
    if (!state) state = &ownState;
    const auto kind = static_cast<OperationKind>(operation->kind);
    const LPARAM path =
        kind == OperationKind::Nop ? 0 : reinterpret_cast<LPARAM>(GetPath(&operation->source));
    const bool announced = Announce(state, *operation, settings);
    if (announced) {
        trace::Span span(gAnnouncements);
        sink->Send(UM_OPERATION_BEGIN, static_cast<WPARAM>(operation->kind), path);
    }

    Progress progress;
    OperationStatus status = OperationStatus::Failed;
    try {
        switch (kind) {
            case OperationKind::Nop: status = OperationStatus::Succeeded; break;
            case OperationKind::CreateDirectory: status = CreateFolder(operation, state); break;
            case OperationKind::Copy:
                status = CopyOrMove(settings, operation, sink, state, true, &progress);
                break;
            case OperationKind::Move:
                status = CopyOrMove(settings, operation, sink, state, false, &progress);
                break;
            case OperationKind::Rename: status = RenameItem(operation, state); break;
            case OperationKind::Delete: status = DeleteItem(operation, state); break;
        }
    } catch (...) {
        status = OperationStatus::Failed;
    }
    SetStatus(operation, status);
    if (progress.aborted) sink->Send(UM_OPERATION_ABORTED, 0, 0);
    if (progress.cancelDisabled) sink->Send(UM_ENABLE_CANCEL, 1, 0);
    if (announced) {
        trace::Span span(gAnnouncements);
        sink->Send(UM_OPERATION_END, static_cast<WPARAM>(status), 0);
    }
}

void ExecutionState::Record(JournalKind kind, const std::wstring& source, const std::wstring& destination) {
    trace::Span span(gRecords);
    if (!destination.empty() && kind != JournalKind::RemoveFolder) NoteBrought(destination);
    if (!journal) return;
    if (planned.index >= 0 && kind == planned.kind && source == planned.source &&
        destination == planned.destination) {
        journal->RecordDone(planned.index, destination.empty() ? source : destination);
        planned.index = -1;
        return;
    }
    // The writer hands it to the system at once and has it put on the disk
    // with its group.
    journal->Record(kind, source, destination);
}

void ExecutionState::RecordRenamed(const std::wstring& source, const std::wstring& destination, uint64_t size,
                                   uint64_t lastWrite) {
    trace::Span span(gRecords);
    NoteBrought(destination);
    if (!journal) return;
    if (planned.index >= 0 && planned.kind == JournalKind::Move && source == planned.source &&
        destination == planned.destination) {
        journal->RecordDone(planned.index, size, lastWrite);
        planned.index = -1;
        return;
    }
    JournalEntry entry;
    entry.kind = JournalKind::Move;
    entry.source = source;
    entry.destination = destination;
    entry.size = size;
    entry.lastWrite = lastWrite;
    journal->Record(entry);
}

namespace {

uint64_t PathHash(const std::wstring& path) {
    uint64_t h = 14695981039346656037ull;  // FNV-1a
    for (wchar_t c : FoldCase(WithoutTrailingSeparator(path))) {
        h ^= static_cast<uint16_t>(c);
        h *= 1099511628211ull;
    }
    return h;
}

}  // namespace

bool ExecutionState::Brought(const std::wstring& path) const {
    return !brought_.empty() && brought_.count(PathHash(path)) != 0;
}

void ExecutionState::NoteBrought(const std::wstring& path) {
    brought_.insert(PathHash(path));
}

bool ProbeNotInUse(ShellItem* item) {
    if (!item) return false;
    RefreshNow(item);
    return ProbeRefreshed(*item) == Probe::Free;
}

void RestoreProbeLeftovers(const std::wstring& folder) {
    if (folder.empty()) return;
    std::vector<std::wstring> leftovers;
    WIN32_FIND_DATAW found;
    // Only names that end in the suffix are asked for: the file system
    // passes over the others without reading their attributes, which in a
    // large folder costs more than the run's own listing of it.
    win::UniqueFind find(FindFirstFileExW(Join(folder, std::wstring(L"*") + kProbeSuffix).c_str(), FindExInfoBasic,
                                          &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) return;
    do {
        const std::size_t n = wcslen(found.cFileName);
        if (n > kProbeSuffixLength &&
            CompareStringOrdinal(found.cFileName + n - kProbeSuffixLength,
                                 static_cast<int>(kProbeSuffixLength), kProbeSuffix,
                                 static_cast<int>(kProbeSuffixLength), TRUE) == CSTR_EQUAL)
            leftovers.emplace_back(found.cFileName);
    } while (FindNextFileW(find.Get(), &found));
    find.Reset();
    for (const std::wstring& name : leftovers) {
        const std::wstring from = Join(folder, name);
        const std::wstring to = Join(folder, name.substr(0, name.size() - kProbeSuffixLength));
        // Without MOVEFILE_REPLACE_EXISTING: an item that took the name
        // meanwhile stays, and so does the leftover.
        if (IsMissing(to)) MoveFileExW(from.c_str(), to.c_str(), 0);
    }
}

std::wstring FreeName(const std::wstring& folder, const std::wstring& name, bool isFolder) {
    return FirstFreeName(name, isFolder,
                         [&](const std::wstring& candidate) { return !IsMissing(Join(folder, candidate)); });
}

bool FolderNames::Read(const std::wstring& folder) {
    names_.clear();
    WIN32_FIND_DATAW found;
    win::UniqueFind find(FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoBasic, &found,
                                          FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if (!wcscmp(found.cFileName, L".") || !wcscmp(found.cFileName, L"..")) continue;
        names_.emplace(FoldCase(found.cFileName),
                       Entry{(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                             (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
    } while (FindNextFileW(find.Get(), &found));
    return true;
}

const FolderNames::Entry* FolderNames::Find(const std::wstring& name) const {
    const auto found = names_.find(FoldCase(name));
    return found == names_.end() ? nullptr : &found->second;
}

void FolderNames::Add(const std::wstring& name, Entry entry) {
    names_[FoldCase(name)] = entry;
}

void FolderNames::Remove(const std::wstring& name) {
    names_.erase(FoldCase(name));
}

std::wstring FolderNames::FreeName(const std::wstring& name, bool isFolder) const {
    return FirstFreeName(name, isFolder, [&](const std::wstring& candidate) { return Find(candidate) != nullptr; });
}

FolderNames& ExecutionState::Names(const std::wstring& folder) {
    const std::wstring key = FoldCase(WithoutTrailingSeparator(folder));
    auto found = listings.find(key);
    if (found != listings.end()) return found->second;
    FolderNames& names = listings[key];
    trace::Span span(gListings);
    names.Read(folder);
    return names;
}

FolderNames* ExecutionState::KnownNames(const std::wstring& folder) {
    if (listings.empty()) return nullptr;
    const auto found = listings.find(FoldCase(WithoutTrailingSeparator(folder)));
    return found == listings.end() ? nullptr : &found->second;
}

void VerifyMoves(ExecutionState* state) {
    trace::Span span(gVerification);
    std::unordered_map<std::wstring, FolderNames> now;  // read afresh, by folded folder
    auto namesIn = [&](const std::wstring& folder) -> const FolderNames& {
        const std::wstring key = FoldCase(folder);
        auto found = now.find(key);
        if (found != now.end()) return found->second;
        FolderNames& names = now[key];
        names.Read(folder);  // a folder that cannot be read holds nothing
        return names;
    };
    // A place one move left may have been taken by a later one (an undo
    // puts a file set aside back where the file that replaced it stood).
    std::unordered_set<uint64_t> arrivals;
    for (const ExecutionState::Arrival& moved : state->unverified) arrivals.insert(PathHash(moved.arrival));
    for (const ExecutionState::Arrival& moved : state->unverified) {
        const bool arrived = namesIn(path::ParentOf(moved.arrival)).Find(LastComponent(moved.arrival)) != nullptr;
        const bool left = arrivals.count(PathHash(moved.source)) ||
                          !namesIn(path::ParentOf(moved.source)).Find(LastComponent(moved.source));
        if (!arrived || !left) SetStatus(moved.operation, OperationStatus::Failed);
    }
    state->unverified.clear();
}

}  // namespace ordvale
