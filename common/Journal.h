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
//   Move	C:\Users\u\Desktop\a.jpg	C:\Users\u\Desktop\Pictures\a.jpg	1234	133779876543210000
//
// An entry is its kind, the source path, the destination path (empty when
// the kind has none), and the size and last-write time (a FILETIME as one
// decimal number) of what stood at the destination right after the
// operation. Readers skip whatever they do not understand and a last line
// without its line end (a write cut short).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/win/Handle.h"

namespace ordvale {

// How many runs the History folder keeps.
constexpr std::size_t kJournalsKept = 50;

enum class JournalKind {
    CreateFolder,  // source: the folder made
    Move,          // source -> destination, the full path it arrived under
    Replace,       // a move that replaced a same-named file at the destination
    Copy,          // source -> destination, the full path of the copy
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

struct JournalEntry {
    JournalKind kind = JournalKind::Move;
    std::wstring source;
    std::wstring destination;
    uint64_t size = 0;
    uint64_t lastWrite = 0;  // FILETIME, UTC
};

struct RunJournal {
    std::wstring runId;
    std::wstring undoneRunId;  // set when the run took another run back
    std::vector<JournalEntry> entries;
};

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
std::wstring DecodeJournalText(const std::string& bytes);

std::string FormatJournalEntry(const JournalEntry& entry);  // with its line end
// Reads journal text; never fails: what cannot be read is skipped.
RunJournal ParseJournal(const std::string& bytes, const std::wstring& runId = std::wstring());
// False when the file cannot be read.
bool ReadJournalFile(const std::wstring& historyFolder, const std::wstring& runId, RunJournal* journal);

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
// the file (and the History folder) is made with the first entry, so a run
// that does nothing leaves no journal, and the oldest journals are pruned
// then. Every entry goes to the system with one call as soon as it is
// recorded, never kept back in this process, so a run that is killed
// leaves every line it recorded; the system writes them to the disk by
// itself, and Flush (or the end of the writer) asks it to do so at once.
class JournalWriter {
public:
    JournalWriter(std::wstring historyFolder, std::wstring runId, std::wstring undoneRunId = std::wstring());
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Records an operation that succeeded; the size and time are read from
    // what now stands at the destination (at the source for the kinds
    // without one). False when the line could not be written.
    bool Record(JournalKind kind, const std::wstring& source, const std::wstring& destination = std::wstring());
    bool Record(const JournalEntry& entry);
    // Has the system put what was recorded on the disk.
    void Flush();

    // The id the journal is filed under (it gains "-N" when another run
    // took the same id first).
    const std::wstring& RunId() const { return runId_; }
    const std::wstring& UndoneRunId() const { return undoneRunId_; }
    bool Started() const { return file_.Valid(); }

private:
    bool Open();
    bool Append(const std::string& bytes);

    std::wstring folder_;
    std::wstring runId_;
    std::wstring undoneRunId_;
    win::UniqueHandle file_;
    bool failed_ = false;
};

}  // namespace ordvale
