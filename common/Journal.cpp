#include "Journal.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cwchar>
#include <string_view>

#include "AppPaths.h"
#include "PathText.h"
#include "RunTrace.h"
#include "Text.h"

namespace ordvale {

namespace {

constexpr char kHeader[] = "Ordvale journal\t1\n";
constexpr wchar_t kUndoesWord[] = L"Undoes";
constexpr wchar_t kTargetWord[] = L"Target";
constexpr wchar_t kMethodWord[] = L"Method";
constexpr wchar_t kAutomaticWord[] = L"Automatic";
constexpr char kPlannedWord[] = "Planned";
constexpr char kDoneWord[] = "Done";
constexpr char kEndWord[] = "End";
constexpr wchar_t kJournalExtension[] = L".txt";
constexpr std::size_t kSkippedSamples = 20;

// Every kind a journal may name: its word, whether runs write it (a reader
// skips the others), whether its lines name a destination.
struct KindWord {
    JournalKind kind;
    const wchar_t* word;
    bool written;
    bool destination;
};
constexpr KindWord kKindWords[] = {
    {JournalKind::CreateFolder, L"CreateFolder", true, false},
    {JournalKind::Move, L"Move", true, true},
    {JournalKind::Replace, L"Replace", true, true},
    {JournalKind::Copy, L"Copy", false, true},
    {JournalKind::Rename, L"Rename", true, true},
    {JournalKind::Delete, L"Delete", true, false},
    {JournalKind::RemoveFolder, L"RemoveFolder", true, false},
    {JournalKind::SetAside, L"SetAside", true, true},
};

const KindWord* KindOf(JournalKind kind) {
    for (const KindWord& k : kKindWords)
        if (k.kind == kind) return &k;
    return nullptr;
}

// The fields of a line, as parts of it.
void SplitTabs(std::string_view line, std::vector<std::string_view>* fields) {
    fields->clear();
    for (;;) {
        const std::size_t tab = line.find('\t');
        fields->push_back(line.substr(0, tab));
        if (tab == std::string_view::npos) return;
        line.remove_prefix(tab + 1);
    }
}

bool ParseNumber(std::string_view text, uint64_t* value) {
    if (text.empty() || text.size() > 20) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const uint64_t digit = static_cast<uint64_t>(c - '0');
        if (v > (UINT64_MAX - digit) / 10) return false;
        v = v * 10 + digit;
    }
    *value = v;
    return true;
}

bool HasTabOrLineEnd(const std::wstring& text) {
    return text.find_first_of(L"\t\r\n") != std::wstring::npos;
}

// The time part sorts as text; "-N" comes after its plain id, in number order.
bool RunIdBefore(const std::wstring& a, const std::wstring& b) {
    constexpr std::size_t kTimeLength = 19;
    const int time = a.compare(0, kTimeLength, b, 0, kTimeLength);
    if (time != 0) return time < 0;
    auto suffix = [](const std::wstring& id) {
        return id.size() > kTimeLength + 1 ? std::stoul(id.substr(kTimeLength + 1)) : 0ul;
    };
    return suffix(a) < suffix(b);
}

uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

}  // namespace

const wchar_t* JournalKindWord(JournalKind kind) {
    const KindWord* k = KindOf(kind);
    return k ? k->word : L"";
}

bool JournalKindIsWritten(JournalKind kind) {
    const KindWord* k = KindOf(kind);
    return k && k->written;
}

bool JournalKindHasDestination(JournalKind kind) {
    const KindWord* k = KindOf(kind);
    return k && k->destination;
}

bool IsJournalPath(const std::wstring& path) {
    if (path.size() < 3 || path.size() > kTextUnits - 1) return false;
    const wchar_t drive = path[0];
    if (!((drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z')) || path[1] != L':' ||
        path[2] != L'\\')
        return false;
    for (std::size_t i = 2; i < path.size(); ++i) {
        const wchar_t c = path[i];
        if (c < 0x20 || c == L':' || c == L'/' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
            c == L'>' || c == L'|')
            return false;
    }
    // Every step below the drive is a name: no empty step, no "." or "..".
    std::size_t start = 3;
    while (start < path.size()) {
        std::size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos) end = path.size();
        const std::wstring step = path.substr(start, end - start);
        if (step.empty() || step == L"." || step == L"..") return false;
        start = end + 1;
        if (end + 1 == path.size()) return false;  // a trailing separator
    }
    return true;
}

bool JournalKindOfWord(const std::wstring& word, JournalKind* kind) {
    for (const KindWord& k : kKindWords) {
        if (word == k.word) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

std::wstring HistoryFolderIn(const std::wstring& appData) {
    return SettingsFolderIn(appData) + L"\\History";
}

std::wstring JournalFileIn(const std::wstring& historyFolder, const std::wstring& runId) {
    return historyFolder + L"\\" + runId + kJournalExtension;
}

std::wstring RunIdAt(const SYSTEMTIME& t) {
    wchar_t text[32];
    swprintf(text, 32, L"%04u%02u%02u-%02u%02u%02u-%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
             t.wSecond, t.wMilliseconds);
    return text;
}

bool IsRunId(const std::wstring& text) {
    // YYYYMMDD-HHMMSS-mmm, then optionally -N
    static const wchar_t kShape[] = L"dddddddd-dddddd-ddd";
    const std::size_t n = wcslen(kShape);
    if (text.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i) {
        if (kShape[i] == L'd' ? !(text[i] >= L'0' && text[i] <= L'9') : text[i] != kShape[i]) return false;
    }
    if (text.size() == n) return true;
    if (text[n] != L'-' || text.size() == n + 1 || text.size() > n + 6) return false;
    return std::all_of(text.begin() + static_cast<std::ptrdiff_t>(n) + 1, text.end(),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::wstring RunIdToLocalText(const std::wstring& runId) {
    if (!IsRunId(runId)) return runId;
    auto number = [&](std::size_t at, std::size_t count) {
        return static_cast<WORD>(std::stoi(runId.substr(at, count)));
    };
    SYSTEMTIME utc = {};
    utc.wYear = number(0, 4);
    utc.wMonth = number(4, 2);
    utc.wDay = number(6, 2);
    utc.wHour = number(9, 2);
    utc.wMinute = number(11, 2);
    utc.wSecond = number(13, 2);
    SYSTEMTIME local = {};
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    wchar_t text[32];
    swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay, local.wHour,
             local.wMinute, local.wSecond);
    return text;
}

std::string EncodeJournalText(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size()) {
            const uint32_t low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::wstring DecodeJournalText(std::string_view bytes) {
    std::wstring out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    const std::size_t n = bytes.size();
    auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
    auto continuation = [&](std::size_t at) { return at < n && (byte(at) & 0xC0) == 0x80; };
    while (i < n) {
        const unsigned char b = byte(i);
        uint32_t c = 0xFFFD;
        std::size_t length = 1;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0 && continuation(i + 1)) {
            c = ((b & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
            length = 2;
            if (c < 0x80) c = 0xFFFD;
        } else if ((b & 0xF0) == 0xE0 && continuation(i + 1) && continuation(i + 2)) {
            c = ((b & 0x0Fu) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
            length = 3;
            if (c < 0x800) c = 0xFFFD;
        } else if ((b & 0xF8) == 0xF0 && continuation(i + 1) && continuation(i + 2) && continuation(i + 3)) {
            c = ((b & 0x07u) << 18) | ((byte(i + 1) & 0x3Fu) << 12) | ((byte(i + 2) & 0x3Fu) << 6) |
                (byte(i + 3) & 0x3Fu);
            length = 4;
            if (c < 0x10000 || c > 0x10FFFF) c = 0xFFFD;
        }
        if (c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        i += length;
    }
    return out;
}

std::string FormatJournalEntry(const JournalEntry& e) {
    std::string line = EncodeJournalText(JournalKindWord(e.kind));
    line += '\t';
    line += EncodeJournalText(e.source);
    line += '\t';
    line += EncodeJournalText(e.destination);
    line += '\t';
    line += std::to_string(e.size);
    line += '\t';
    line += std::to_string(e.lastWrite);
    line += '\n';
    return line;
}

namespace {

// An entry's fields from kind on: kind, source, destination, size, time.
bool ParseEntry(const std::vector<std::string_view>& fields, std::size_t first, JournalEntry* entry) {
    if (fields.size() != first + 5) return false;
    if (!JournalKindOfWord(DecodeJournalText(fields[first]), &entry->kind)) return false;
    if (!JournalKindIsWritten(entry->kind)) return false;
    if (!ParseNumber(fields[first + 3], &entry->size) || !ParseNumber(fields[first + 4], &entry->lastWrite))
        return false;
    entry->source = DecodeJournalText(fields[first + 1]);
    entry->destination = DecodeJournalText(fields[first + 2]);
    if (!IsJournalPath(entry->source)) return false;
    if (JournalKindHasDestination(entry->kind) ? !IsJournalPath(entry->destination)
                                                : !entry->destination.empty())
        return false;
    return true;
}

void Skip(RunJournal* journal, std::string_view line) {
    ++journal->skippedLines;
    if (journal->skippedSamples.size() < kSkippedSamples) {
        std::wstring text = DecodeJournalText(line.substr(0, 600));
        for (wchar_t& c : text)
            if (c < 0x20) c = L' ';
        journal->skippedSamples.push_back(std::move(text));
    }
}

// Takes a journal's text a whole line at a time, as it is read: nothing
// but the journal's own record is kept of the lines it has taken.
class JournalLines {
public:
    explicit JournalLines(RunJournal* journal) : journal_(*journal) {}

    // One line, without its line end.
    void Take(std::string_view line) {
        if (first_) {
            first_ = false;
            if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
            if (line == std::string_view(kHeader, sizeof(kHeader) - 2)) return;
        }
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) return;
        SplitTabs(line, &fields_);
        const std::string_view first = fields_[0];
        if (first == kDoneWord && fields_.size() == 4) {
            uint64_t index = 0;
            JournalEntry entry;
            if (ParseNumber(fields_[1], &index) && index < journal_.planned.size() && !journal_.plannedDone[index] &&
                ParseNumber(fields_[2], &entry.size) && ParseNumber(fields_[3], &entry.lastWrite)) {
                // The entry takes the planned line's paths: a line done is
                // read from the entries from here on.
                JournalEntry& plan = journal_.planned[index];
                entry.kind = plan.kind;
                entry.source = std::move(plan.source);
                entry.destination = std::move(plan.destination);
                journal_.plannedDone[index] = true;
                journal_.entries.push_back(std::move(entry));
            } else {
                Skip(&journal_, line);
            }
            return;
        }
        if (first == kPlannedWord) {
            JournalEntry entry;
            if (ParseEntry(fields_, 1, &entry)) {
                journal_.planned.push_back(std::move(entry));
                journal_.plannedDone.push_back(false);
            } else {
                Skip(&journal_, line);
            }
            return;
        }
        if (first == kEndWord && fields_.size() == 1) {
            journal_.ended = true;
            return;
        }
        const std::wstring word = DecodeJournalText(first);
        if (word == kUndoesWord && fields_.size() == 2) {
            const std::wstring id = DecodeJournalText(fields_[1]);
            if (IsRunId(id))
                journal_.undoneRunId = id;
            else
                Skip(&journal_, line);
            return;
        }
        uint64_t number = 0;
        if (word == kTargetWord && fields_.size() == 3) {
            if (ParseNumber(fields_[1], &number) && number <= 2) {
                journal_.run.target = static_cast<int32_t>(number);
                journal_.run.folder = DecodeJournalText(fields_[2]);
            }
            return;
        }
        if (word == kMethodWord && fields_.size() == 2) {
            if (ParseNumber(fields_[1], &number) && number >= 1 && number <= 4)
                journal_.run.method = static_cast<int32_t>(number);
            return;
        }
        if (word == kAutomaticWord && fields_.size() == 2) {
            journal_.run.automatic = fields_[1] == "1";
            return;
        }
        JournalEntry entry;
        if (ParseEntry(fields_, 0, &entry))
            journal_.entries.push_back(std::move(entry));
        else
            Skip(&journal_, line);
    }

    // Every whole line of the text; what follows the last line end is left
    // (a write cut short, or the start of a line read with the next piece).
    // How much of the text was taken.
    std::size_t TakeLines(std::string_view text) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t end = text.find('\n', start);
            if (end == std::string_view::npos) return start;
            Take(text.substr(start, end - start));
            start = end + 1;
        }
    }

private:
    RunJournal& journal_;
    bool first_ = true;
    std::vector<std::string_view> fields_;
};

}  // namespace

RunJournal ParseJournal(const std::string& bytes, const std::wstring& runId) {
    RunJournal journal;
    journal.runId = runId;
    JournalLines lines(&journal);
    lines.TakeLines(bytes);
    return journal;
}

bool ReadJournalFile(const std::wstring& historyFolder, const std::wstring& runId, RunJournal* journal,
                     JournalReadError* why) {
    JournalReadError error = JournalReadError::None;
    auto fail = [&](JournalReadError e) {
        if (why) *why = e;
        return false;
    };
    if (!IsRunId(runId)) return fail(JournalReadError::NotARunId);
    // The run that writes the journal may still be going: share writing.
    win::UniqueHandle file(CreateFileW(JournalFileIn(historyFolder, runId).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD code = GetLastError();
        return fail(code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ? JournalReadError::NotFound
                                                                                 : JournalReadError::Unreadable);
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart < 0) return fail(JournalReadError::Unreadable);
    if (static_cast<uint64_t>(size.QuadPart) > kMaxJournalBytes) return fail(JournalReadError::TooLarge);
    try {
        // Read a piece at a time, each whole line taken as soon as it is
        // in: a journal of a million operations is never held whole.
        RunJournal read;
        read.runId = runId;
        JournalLines lines(&read);
        constexpr std::size_t kPiece = 1u << 16;
        std::string pending;  // the start of a line whose end is still to come
        std::vector<char> buffer(kPiece);
        uint64_t total = 0;
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
                return fail(JournalReadError::Unreadable);
            if (got == 0) break;
            total += got;
            if (total > kMaxJournalBytes) return fail(JournalReadError::TooLarge);
            std::string_view piece(buffer.data(), got);
            if (!pending.empty()) {
                // The line begun in the last piece ends in this one, or later.
                const std::size_t end = piece.find('\n');
                if (end == std::string_view::npos) {
                    pending.append(piece);
                    continue;
                }
                pending.append(piece.substr(0, end));
                lines.Take(pending);
                pending.clear();
                piece.remove_prefix(end + 1);
            }
            pending.assign(piece.substr(lines.TakeLines(piece)));
        }
        *journal = std::move(read);
    } catch (...) {
        return fail(JournalReadError::Unreadable);
    }
    if (why) *why = error;
    return true;
}

std::vector<std::wstring> ListRunIds(const std::wstring& historyFolder) {
    std::vector<std::wstring> ids;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((historyFolder + L"\\*" + kJournalExtension).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return ids;
    const std::size_t extension = wcslen(kJournalExtension);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::wstring name = found.cFileName;
        if (name.size() <= extension || !EqualsNoCase(name.substr(name.size() - extension), kJournalExtension))
            continue;
        name.resize(name.size() - extension);
        if (IsRunId(name)) ids.push_back(name);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(ids.begin(), ids.end(), RunIdBefore);
    return ids;
}

std::wstring LastRunId(const std::wstring& historyFolder) {
    const std::vector<std::wstring> ids = ListRunIds(historyFolder);
    return ids.empty() ? std::wstring() : ids.back();
}

namespace {

// What a run set aside, once nothing can take that run back: to the recycle
// bin, and its folder with it when nothing else is left there. Only files
// in a set-aside folder are touched, whatever the journal says.
void ReleaseSetAside(const RunJournal& journal) {
    for (const JournalEntry& e : journal.entries) {
        if (e.kind != JournalKind::SetAside || e.destination.size() >= MAX_PATH) continue;
        const std::wstring folder = path::ParentOf(e.destination);
        if (!EqualsNoCase(path::LastComponent(folder), kSetAsideFolder)) continue;
        if (GetFileAttributesW(e.destination.c_str()) != INVALID_FILE_ATTRIBUTES) {
            wchar_t from[MAX_PATH + 1] = {};
            e.destination.copy(from, e.destination.size());
            SHFILEOPSTRUCTW op = {};
            op.wFunc = FO_DELETE;
            op.pFrom = from;
            op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_ALLOWUNDO | FOF_NOERRORUI;
            SHFileOperationW(&op);
        }
        RemoveDirectoryW(folder.c_str());  // only when empty
    }
}

}  // namespace

void PruneJournals(const std::wstring& historyFolder, std::size_t keep) {
    const std::vector<std::wstring> ids = ListRunIds(historyFolder);
    if (ids.size() <= keep) return;
    for (std::size_t i = 0; i + keep < ids.size(); ++i) {
        RunJournal journal;
        if (ReadJournalFile(historyFolder, ids[i], &journal)) ReleaseSetAside(journal);
        DeleteFileW(JournalFileIn(historyFolder, ids[i]).c_str());
    }
}

void ReadSizeAndLastWrite(const std::wstring& path, uint64_t* size, uint64_t* lastWrite) {
    *size = 0;
    *lastWrite = 0;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (path.empty() || !GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return;
    *lastWrite = FileTimeValue(data.ftLastWriteTime);
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        *size = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

namespace {
trace::Total gDiskFlushes("journal flushes to the disk"), gDoneReads("journal done lines' size and time read");
}

JournalWriter::JournalWriter(std::wstring historyFolder, std::wstring runId, std::wstring undoneRunId)
    : folder_(std::move(historyFolder)), runId_(std::move(runId)), undoneRunId_(std::move(undoneRunId)) {}

JournalWriter::~JournalWriter() {
    Finish();
}

bool JournalWriter::Begin() {
    return file_.Valid() || Open();
}

int32_t JournalWriter::Plan(const JournalEntry& entry) {
    if (!file_.Valid() || !planOpen_ || !IsJournalPath(entry.source) || HasTabOrLineEnd(entry.destination) ||
        !JournalKindIsWritten(entry.kind))
        return -1;
    kept_ += kPlannedWord;
    kept_ += '\t';
    kept_ += FormatJournalEntry(entry);
    // The plan goes to the system in large pieces.
    if (kept_.size() >= (1u << 20) && !WriteKept()) return -1;
    return planned_++;
}

bool JournalWriter::CommitPlan() {
    planOpen_ = false;
    if (!file_.Valid() || !WriteKept()) return false;
    trace::Span span(gDiskFlushes);
    if (!FlushToDisk()) return false;
    flushedAt_ = GetTickCount();
    return true;
}

bool JournalWriter::RecordDone(int32_t index, const std::wstring& standing) {
    if (!file_.Valid() || index < 0 || index >= planned_) return false;
    uint64_t size = 0, lastWrite = 0;
    {
        trace::Span span(gDoneReads);
        ReadSizeAndLastWrite(standing, &size, &lastWrite);
    }
    return RecordDone(index, size, lastWrite);
}

bool JournalWriter::RecordDone(int32_t index, uint64_t size, uint64_t lastWrite) {
    if (!file_.Valid() || index < 0 || index >= planned_) return false;
    planOpen_ = false;
    kept_ += kDoneWord;
    kept_ += '\t' + std::to_string(index) + '\t' + std::to_string(size) + '\t' + std::to_string(lastWrite) + '\n';
    GroupDone();
    return true;
}

void JournalWriter::Flush() {
    if (!file_.Valid()) return;
    trace::Span span(gDiskFlushes);
    WriteKept();
    FlushToDisk();
    sinceFlush_ = 0;
    flushedAt_ = GetTickCount();
}

void JournalWriter::Finish() {
    if (finished_ || !file_.Valid()) return;
    finished_ = true;
    if (recorded_ == 0) {
        // Nothing was done: no journal.
        kept_.clear();
        file_.Reset();
        DeleteFileW(JournalFileIn(folder_, runId_).c_str());
        return;
    }
    kept_ += kEndWord;
    kept_ += '\n';
    Flush();
}

void JournalWriter::GroupDone() {
    ++recorded_;
    ++sinceFlush_;
    if (sinceFlush_ >= kGroupOperations || GetTickCount() - flushedAt_ >= groupMilliseconds_) Flush();
}

bool JournalWriter::Record(JournalKind kind, const std::wstring& source, const std::wstring& destination) {
    JournalEntry entry;
    entry.kind = kind;
    entry.source = source;
    entry.destination = destination;
    const bool gone = kind == JournalKind::Delete || kind == JournalKind::RemoveFolder;
    if (!gone) ReadSizeAndLastWrite(destination.empty() ? source : destination, &entry.size, &entry.lastWrite);
    return Record(entry);
}

bool JournalWriter::Record(const JournalEntry& entry) {
    if (entry.source.empty() || HasTabOrLineEnd(entry.source) || HasTabOrLineEnd(entry.destination)) return false;
    if (!file_.Valid() && !Open()) return false;
    planOpen_ = false;
    kept_ += FormatJournalEntry(entry);
    // A whole entry is handed to the system at once, with whatever was kept
    // back before it, so that the file keeps the order of the run.
    const bool written = WriteKept();
    GroupDone();
    return written;
}

bool JournalWriter::Open() {
    if (failed_ || folder_.empty() || runId_.empty()) return false;
    SHCreateDirectoryExW(nullptr, folder_.c_str(), nullptr);
    const std::wstring base = runId_;
    for (int n = 1; n < 1000 && !file_.Valid(); ++n) {
        const std::wstring id = n == 1 ? base : base + L"-" + std::to_wstring(n);
        file_.Reset(CreateFileW(JournalFileIn(folder_, id).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file_.Valid()) {
            runId_ = id;
        } else if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    if (!file_.Valid()) {
        failed_ = true;
        return false;
    }
    std::string head = kHeader;
    if (!undoneRunId_.empty())
        head += EncodeJournalText(kUndoesWord) + "\t" + EncodeJournalText(undoneRunId_) + "\n";
    if (info_.target >= 0 && !HasTabOrLineEnd(info_.folder))
        head += EncodeJournalText(kTargetWord) + "\t" + std::to_string(info_.target) + "\t" +
                EncodeJournalText(info_.folder) + "\n";
    if (info_.method >= 1 && info_.method <= 4)
        head += EncodeJournalText(kMethodWord) + "\t" + std::to_string(info_.method) + "\n";
    if (info_.automatic) head += EncodeJournalText(kAutomaticWord) + "\t1\n";
    if (!Append(head)) {
        file_.Reset();
        DeleteFileW(JournalFileIn(folder_, runId_).c_str());
        failed_ = true;
        return false;
    }
    PruneJournals(folder_);
    flushedAt_ = GetTickCount();
    return true;
}

bool JournalWriter::WriteKept() {
    if (kept_.empty()) return true;
    const bool written = Append(kept_);
    kept_.clear();
    return written;
}

bool JournalWriter::Append(const std::string& bytes) {
    DWORD written = 0;
    // One call per group of lines: the file never holds a line in part
    // unless the system itself stops mid-write, and the reader skips such
    // a line.
    const bool ok = !failWrites_ &&
                    WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    if (!ok) writeFailed_ = true;
    return ok;
}

bool JournalWriter::FlushToDisk() {
    const bool ok = !failWrites_ && FlushFileBuffers(file_.Get());
    if (!ok) writeFailed_ = true;
    return ok;
}

}  // namespace ordvale
