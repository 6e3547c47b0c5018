// The journal of a run: one text file per run in the "History" folder beside
// the settings, one line for every operation that was carried out, so that
// the run can be taken back later. Each line is written the moment its
// operation has succeeded, so a run that is killed half-way leaves a journal
// of what it did.
//
// The file is UTF-8, one entry a line, fields separated by tabs (no file
// name holds a tab):
//
//   Ordvale journal	1
//   Undoes	20261209-101500-042                         (an undo run only)
//   Target	1	C:\Users\u\Downloads                   (what was tidied)
//   Method	1
//   Automatic	1                                      (a run no one started by hand)
//   Move	C:\Users\u\Desktop\a.jpg	C:\Users\u\Desktop\Pictures\a.jpg	1234	133779876543210000
//
//   Planned	Move	C:\Users\u\Desktop\b.jpg	C:\Users\u\Desktop\Pictures\b.jpg	99	133779876543210000
//   Done	1	99	133779876543210000
//   End
//
// An entry is its kind, the source path, the destination path (empty when
// the kind has none), and the size and last-write time (a FILETIME as one
// decimal number) of what stood at the destination right after the
// operation.
//
// Before its first operation a run writes its plan, one "Planned" line per
// move and folder to make (with the size and time of the item as the run
// found it), and has it put on the disk once. An operation that goes as
// planned is then recorded by a short "Done" line naming the plan's line
// (counted from 0 over the Planned lines) with the size and time of what
// arrived; those are handed to the system in groups, so a run killed
// between two groups leaves planned operations without their line. "End"
// says the run recorded everything it did; without it, what stands on the
// disk tells which planned operations were carried out (see UndoPlan.h).
// Anything else a run does is written as a whole entry the moment it is done.
//
// Readers skip a last line without its line end (a write cut short) and
// skip, and count, every line they cannot trust: a kind no run writes,
// paths that are not absolute local paths or that step up with "..".
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/win/Handle.h"

namespace ordvale {

// How many runs the History folder keeps.
constexpr std::size_t kJournalsKept = 50;

enum class JournalKind {
    CreateFolder,  // source: the folder made
    Move,          // source -> destination, the full path it arrived under
    Replace,       // a move that replaced a same-named file at the destination
    Copy,          // source -> destination, the full path of the copy (never written by a run)
    Rename,        // source -> destination, the new full path
    Delete,        // source went to the recycle bin
    RemoveFolder,  // source, an empty folder, was removed
    SetAside,      // source, a file about to be replaced, was renamed to destination (in kSetAsideFolder)
};

// The hidden folder, inside the folder where a file was replaced, that keeps
// the replaced file until its run's journal is pruned; then it goes to the
// recycle bin.
constexpr wchar_t kSetAsideFolder[] = L"~ordvale-replaced";

const wchar_t* JournalKindWord(JournalKind kind);
bool JournalKindOfWord(const std::wstring& word, JournalKind* kind);
// Whether runs write the kind, so that a reader takes its lines.
bool JournalKindIsWritten(JournalKind kind);
// Whether the kind's lines name a destination.
bool JournalKindHasDestination(JournalKind kind);

// The largest journal read: a run of a million items with paths of usual
// length writes a few hundred megabytes. A larger file is refused unread.
constexpr uint64_t kMaxJournalBytes = 1ull << 30;

struct JournalEntry {
    JournalKind kind = JournalKind::Move;
    std::wstring source;
    std::wstring destination;
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // FILETIME, UTC
};

// What a run tidied, as its journal keeps it for the history of runs.
struct JournalRunInfo {
    int32_t target = -1;      // the job's target: 0 Desktop, 1 Folder, 2 Selection; -1 not known
    std::wstring folder;      // the folder of a Folder tidy
    int32_t method = 0;       // the job's method, 1 to 4; 0 not known
    bool automatic = false;   // started by the watcher, not by a user
};

struct RunJournal {
    std::wstring runId;
    std::wstring undoneRunId;  // set when the run took another run back
    JournalRunInfo run;
    // What was recorded as done, in the order it was done.
    std::vector<JournalEntry> entries;
    // The run's plan, and for each planned line whether it was recorded done.
    // A line recorded done hands its paths on to its entry in `entries`
    // (its own are empty then): a journal is read with each path once.
    std::vector<JournalEntry> planned;
    std::vector<bool> plannedDone;
    bool ended = false;  // the run recorded everything it did
    // Lines that were skipped because they cannot be trusted: how many, and
    // the first few as they read.
    std::size_t skippedLines = 0;
    std::vector<std::wstring> skippedSamples;
};

// Why a journal could not be read.
enum class JournalReadError { None, NotARunId, NotFound, TooLarge, Unreadable };

// "<application data>\Pelvantor\Ordvale\History".
std::wstring HistoryFolderIn(const std::wstring& appData);
std::wstring JournalFileIn(const std::wstring& historyFolder, const std::wstring& runId);

// Run ids sort by the time their runs started: "YYYYMMDD-HHMMSS-mmm" in UTC,
// with "-N" added when two runs start within the same millisecond.
std::wstring RunIdAt(const SYSTEMTIME& utc);
bool IsRunId(const std::wstring& text);
// The time a run id stands for, as the local time of this computer
// ("2026-12-09 11:15:00"); the id itself when it is not one.
std::wstring RunIdToLocalText(const std::wstring& runId);

// Text conversions of the journal. Valid UTF-16 gives UTF-8; a lone
// surrogate (which a Windows file name may hold) is kept as its own
// three-byte sequence, so that every name reads back as it was written.
std::string EncodeJournalText(const std::wstring& text);
std::wstring DecodeJournalText(std::string_view bytes);

std::string FormatJournalEntry(const JournalEntry& entry);  // with its line end
// Reads journal text; never fails: what cannot be read is skipped.
// A journal file is read the same way a piece at a time (ReadJournalFile).
RunJournal ParseJournal(const std::string& bytes, const std::wstring& runId = std::wstring());
// False when the file cannot be read (`why` says why): it is missing, the
// id is not a run id, or it is larger than any run writes. Never throws.
bool ReadJournalFile(const std::wstring& historyFolder, const std::wstring& runId, RunJournal* journal,
                     JournalReadError* why = nullptr);

// Whether a journal may name the path: an absolute path on a drive
// ("C:\..."), no ".." or "." step, no stream name, no control characters.
bool IsJournalPath(const std::wstring& path);

// The run ids of the History folder, oldest first.
std::vector<std::wstring> ListRunIds(const std::wstring& historyFolder);
// The newest run id, or empty.
std::wstring LastRunId(const std::wstring& historyFolder);
// Deletes the oldest journals until at most `keep` remain; the files their
// runs set aside go to the recycle bin.
void PruneJournals(const std::wstring& historyFolder, std::size_t keep = kJournalsKept);

// Size and last-write time of what stands at a path (0 and 0 when nothing
// does; size 0 for a folder).
void ReadSizeAndLastWrite(const std::wstring& path, uint64_t* size, uint64_t* lastWrite);

// Writes the journal of one run. The run id is taken when the run starts;
// the file (and the History folder) is made by Begin, before the first
// operation, or else with the first entry, and the oldest journals are
// pruned then. A journal in which nothing was recorded done is removed when
// the writer ends, so a run that does nothing leaves no journal.
// Whole entries go to the system with one call as soon as they are
// recorded, so a run that is killed leaves every one of them; "Done" lines
// are kept back and handed over in groups. The disk is asked to hold what
// the system has at the end of the plan, then once per group (every
// kGroupOperations records or kGroupMilliseconds), and at the end.
class JournalWriter {
public:
    JournalWriter(std::wstring historyFolder, std::wstring runId, std::wstring undoneRunId = std::wstring());
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    static constexpr std::size_t kGroupOperations = 256;
    static constexpr DWORD kGroupMilliseconds = 100;

    // Makes the file and writes its head; false when it cannot be written.
    bool Begin();
    // Adds a line of the plan (after Begin, before the first record); its
    // index, or -1 when it cannot be taken.
    int32_t Plan(const JournalEntry& entry);
    // Has the plan put on the disk; false when it could not be written.
    bool CommitPlan();
    // The planned operation `index` went as planned; the size and time of
    // what arrived are read at `standing` (its destination, or the folder
    // made).
    bool RecordDone(int32_t index, const std::wstring& standing);
    // The same with the size and time of what arrived already known (a
    // rename leaves them as they were read just before it).
    bool RecordDone(int32_t index, uint64_t size, uint64_t lastWrite);

    // Records an operation that succeeded; the size and time are read from
    // what now stands at the destination (at the source for the kinds
    // without one). False when the line could not be written.
    bool Record(JournalKind kind, const std::wstring& source, const std::wstring& destination = std::wstring());
    bool Record(const JournalEntry& entry);
    // What the run tidies, written at the head of the journal; to be given
    // before the first entry.
    void Describe(const JournalRunInfo& info) { info_ = info; }
    // Hands over what is kept back and has the system put it on the disk.
    void Flush();
    // The run has ended: "End" is written (a journal with nothing done is
    // removed). The writer's end does this too.
    void Finish();

    // The id the journal is filed under (it gains "-N" when another run
    // took the same id first).
    const std::wstring& RunId() const { return runId_; }
    const std::wstring& UndoneRunId() const { return undoneRunId_; }
    bool Started() const { return file_.Valid(); }
    // Whether a write or a flush has failed since the journal was begun
    // (a full disk, a volume gone): what the run does from then on may not
    // be recorded.
    bool Failing() const { return writeFailed_; }
    // For tests: from now on every write and flush fails, as on a full disk.
    void FailFromNowOn() { failWrites_ = true; }
    // For tests: the longest a group waits (a test that checks what is kept
    // back must not see it go because the machine was slow).
    void SetGroupWait(DWORD milliseconds) { groupMilliseconds_ = milliseconds; }

private:
    bool Open();
    bool Append(const std::string& bytes);
    bool FlushToDisk();
    bool WriteKept();
    void GroupDone();

    std::wstring folder_;
    std::wstring runId_;
    std::wstring undoneRunId_;
    JournalRunInfo info_;
    win::UniqueHandle file_;
    bool failed_ = false;
    bool writeFailed_ = false;
    bool failWrites_ = false;
    bool finished_ = false;
    DWORD groupMilliseconds_ = kGroupMilliseconds;
    int32_t planned_ = 0;
    bool planOpen_ = true;
    std::string kept_;              // lines not yet handed to the system
    std::size_t sinceFlush_ = 0;    // records since the disk was last asked
    DWORD flushedAt_ = 0;
    std::size_t recorded_ = 0;      // entries recorded done
};

}  // namespace ordvale
