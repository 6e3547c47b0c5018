// The journal of a run: lines written as operations succeed, read back by a
// parser that skips what it cannot use, run ids that sort by time, pruning.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>

#include "common/AppPaths.h"
#include "common/Journal.h"
#include "common/win/Handle.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

std::wstring OnlyRunId(const std::wstring& history) {
    const std::vector<std::wstring> ids = ListRunIds(history);
    return ids.size() == 1 ? ids[0] : std::wstring();
}

}  // namespace

// Every kind of operation gives one line with the size and last-write time
// of what stands at its destination (at its source for a folder made; none
// for what is gone), and reads back as written.
TEST(Journal, EveryKindOfOperationReadsBackAsRecorded) {
    TempDir dir;
    const std::wstring history = dir / L"History";
    const uint64_t fileTime = 132000000000000000ull;
    const uint64_t folderTime = 131000000000000000ull;
    ASSERT_TRUE(WriteText(dir / L"a.jpg", "12345"));
    ASSERT_TRUE(SetLastWriteTime(dir / L"a.jpg", fileTime));
    ASSERT_TRUE(MakeFolder(dir / L"Pictures"));
    ASSERT_TRUE(SetLastWriteTime(dir / L"Pictures", folderTime));

    struct Case {
        JournalKind kind;
        const char* word;
        std::wstring source, destination;
        uint64_t size, lastWrite;
    };
    const Case cases[] = {
        {JournalKind::CreateFolder, "CreateFolder", dir / L"Pictures", L"", 0, folderTime},
        {JournalKind::Move, "Move", L"C:\\was\\a.jpg", dir / L"a.jpg", 5, fileTime},
        {JournalKind::Replace, "Replace", L"C:\\was\\a.jpg", dir / L"a.jpg", 5, fileTime},
        {JournalKind::Rename, "Rename", L"C:\\was\\b.jpg", dir / L"a.jpg", 5, fileTime},
        {JournalKind::Move, "Move", L"C:\\was\\Pictures", dir / L"Pictures", 0, folderTime},
        {JournalKind::Delete, "Delete", dir / L"a.jpg", L"", 0, 0},
        {JournalKind::RemoveFolder, "RemoveFolder", dir / L"Pictures", L"", 0, 0},
    };
    {
        JournalWriter writer(history, L"20261209-101500-042");
        for (const Case& c : cases) ASSERT_TRUE(writer.Record(c.kind, c.source, c.destination));
    }

    RunJournal journal;
    ASSERT_TRUE(ReadJournalFile(history, L"20261209-101500-042", &journal));
    ASSERT_EQ(journal.entries.size(), std::size(cases));
    const std::string text = ReadUtf8(JournalFileIn(history, L"20261209-101500-042"));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const JournalEntry& e = journal.entries[i];
        SCOPED_TRACE(c.word);
        EXPECT_EQ(e.kind, c.kind);
        EXPECT_EQ(e.source, c.source);
        EXPECT_EQ(e.destination, c.destination);
        EXPECT_EQ(e.size, c.size);
        EXPECT_EQ(e.lastWrite, c.lastWrite);
        const std::string line = std::string(c.word) + "\t" + Narrow(c.source) + "\t" + Narrow(c.destination) +
                                 "\t" + std::to_string(c.size) + "\t" + std::to_string(c.lastWrite) + "\n";
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    EXPECT_EQ(text.rfind("Ordvale journal\t1\n", 0), 0u) << "the file names what it is";
}

// Every line is on disk as soon as Record returns, so a run killed at any
// point leaves a journal of what it did: the file is read while its writer
// still holds it open, as a reader would after the writer's process died.
TEST(Journal, EachLineIsOnDiskWhenRecorded) {
    TempDir dir;
    const std::wstring history = dir / L"History";
    JournalWriter writer(history, L"20261209-101500-000");
    EXPECT_FALSE(writer.Started());
    EXPECT_TRUE(ListRunIds(history).empty()) << "no journal before the first operation";
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(writer.Record(JournalKind::Move, L"C:\\a" + std::to_wstring(i), L"C:\\b" + std::to_wstring(i)));
        RunJournal journal;
        ASSERT_TRUE(ReadJournalFile(history, writer.RunId(), &journal));
        EXPECT_EQ(journal.entries.size(), static_cast<std::size_t>(i + 1));
    }
}

// What the parser keeps and what it skips.
TEST(Journal, ParserSkipsWhatItCannotUse) {
    const std::string good = "Move\tC:\\a.jpg\tC:\\P\\a.jpg\t5\t77\n";
    struct Case {
        const char* what;
        std::string text;
        std::size_t entries;
    };
    const Case cases[] = {
        {"one good line", good, 1},
        {"a last line without its line end is a write cut short", good + "Move\tC:\\b.jpg\tC:\\P\\b.jpg\t5\t7", 1},
        {"an empty file", "", 0},
        {"carriage returns", "Move\tC:\\a.jpg\tC:\\P\\a.jpg\t5\t77\r\n", 1},
        {"a byte-order mark", "\xEF\xBB\xBF" + good, 1},
        {"an unknown kind", "Shred\tC:\\a\tC:\\b\t1\t2\n" + good, 1},
        {"too few fields", "Move\tC:\\a\tC:\\b\t1\n" + good, 1},
        {"too many fields", "Move\tC:\\a\tC:\\b\t1\t2\t3\n" + good, 1},
        {"a size that is not a number", "Move\tC:\\a\tC:\\b\t1x\t2\n" + good, 1},
        {"a time past 64 bits", "Move\tC:\\a\tC:\\b\t1\t18446744073709551616\n" + good, 1},
        {"a negative size", "Move\tC:\\a\tC:\\b\t-1\t2\n" + good, 1},
        {"no source", "Move\t\tC:\\b\t1\t2\n" + good, 1},
        {"a blank line and the header", "Ordvale journal\t1\n\n" + good, 1},
        {"binary rubbish", std::string("\0\xff\xfe\t\t\t\t\n", 8) + good, 1},
        {"the largest time", "Move\tC:\\a\tC:\\b\t0\t18446744073709551615\n", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ParseJournal(c.text).entries.size(), c.entries);
    }
    const RunJournal undo = ParseJournal("Ordvale journal\t1\nUndoes\t20261209-101500-042\n" + good, L"X");
    EXPECT_EQ(undo.runId, L"X");
    EXPECT_EQ(undo.undoneRunId, L"20261209-101500-042");
    ASSERT_EQ(undo.entries.size(), 1u);
    EXPECT_EQ(undo.entries[0].lastWrite, 77u);
}

// A journal file is read a piece at a time: lines that end in the next
// piece, or several pieces later, read as they do from the whole text.
TEST(Journal, AFileReadsAsItsWholeTextWhereverItsPiecesEnd) {
    TempDir dir;
    const std::wstring history = dir / L"History";
    ASSERT_TRUE(MakeFolder(history));
    std::string text = "\xEF\xBB\xBFOrdvale journal\t1\nTarget\t1\tC:\\Tidy\n";
    std::size_t planned = 0;
    for (std::size_t i = 0; text.size() < 300000; ++i) {
        // Lines of every length from 40 to about 470 bytes, so that their
        // ends fall everywhere in a piece.
        const std::string name = std::string(i % 200, 'n') + std::to_string(i) + ".txt";
        text += "Planned\tMove\tC:\\Tidy\\" + name + "\tC:\\Tidy\\Text\\" + name + "\t" + std::to_string(i) + "\t7\n";
        if (i % 3 == 0) text += "Done\t" + std::to_string(planned) + "\t" + std::to_string(i) + "\t8\n";
        ++planned;
        if (i == 700) text += "Move\t" + std::string(150000, 'x') + "\n";  // one line over several pieces
    }
    text += "End\nMove\tC:\\a.jpg\tC:\\P\\a.jpg\t5\t7";  // a last line cut short
    const std::wstring runId = L"20261209-101500-000";
    ASSERT_TRUE(WriteText(JournalFileIn(history, runId), text));
    RunJournal read;
    ASSERT_TRUE(ReadJournalFile(history, runId, &read));
    const RunJournal whole = ParseJournal(text, runId);
    EXPECT_EQ(read.runId, runId);
    EXPECT_EQ(read.run.folder, L"C:\\Tidy");
    EXPECT_EQ(whole.planned.size(), planned);
    ASSERT_EQ(read.planned.size(), whole.planned.size());
    for (std::size_t i = 0; i < whole.planned.size(); ++i) {
        EXPECT_EQ(read.planned[i].source, whole.planned[i].source) << i;
        EXPECT_EQ(read.planned[i].size, whole.planned[i].size) << i;
    }
    EXPECT_EQ(read.plannedDone, whole.plannedDone);
    ASSERT_EQ(read.entries.size(), (planned + 2) / 3);
    ASSERT_EQ(read.entries.size(), whole.entries.size());
    for (std::size_t i = 0; i < whole.entries.size(); ++i) {
        EXPECT_EQ(read.entries[i].source, whole.entries[i].source) << i;
        EXPECT_EQ(read.entries[i].destination, whole.entries[i].destination) << i;
        EXPECT_EQ(read.entries[i].lastWrite, 8u) << "what the Done line says";
    }
    EXPECT_EQ(read.entries[1].source, L"C:\\Tidy\\" + std::wstring(3, L'n') + L"3.txt");
    EXPECT_EQ(read.skippedLines, 1u);
    EXPECT_EQ(whole.skippedLines, 1u);
    EXPECT_TRUE(read.ended);
}

// Names in any script, and names a Windows file system allows but UTF-8
// cannot spell (a lone surrogate), come back unchanged.
TEST(Journal, NamesSurviveTheTextEncoding) {
    const std::wstring names[] = {
        L"plain.txt",
        L"caf\u00e9 \u65e5\u672c.jpg",
        L"emoji \U0001F600.png",
        std::wstring(L"lone ") + wchar_t(0xD800) + L".txt",
        std::wstring(L"low ") + wchar_t(0xDC01) + L"x",
        std::wstring(1, wchar_t(0xDBFF)),
    };
    for (const std::wstring& name : names) {
        SCOPED_TRACE(Narrow(name));
        EXPECT_EQ(DecodeJournalText(EncodeJournalText(name)), name);
        JournalEntry e;
        e.source = L"C:\\" + name;
        e.destination = L"D:\\" + name;
        const RunJournal back = ParseJournal(FormatJournalEntry(e));
        ASSERT_EQ(back.entries.size(), 1u);
        EXPECT_EQ(back.entries[0].source, e.source);
        EXPECT_EQ(back.entries[0].destination, e.destination);
    }
    EXPECT_EQ(EncodeJournalText(L"caf\u00e9"), "caf\xC3\xA9") << "plain UTF-8 for valid text";
}

TEST(Journal, RunIds) {
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = 9;
    t.wHour = 7;
    t.wMinute = 5;
    t.wSecond = 3;
    t.wMilliseconds = 42;
    EXPECT_EQ(RunIdAt(t), L"20261209-070503-042");
    struct Case {
        const wchar_t* text;
        bool id;
    };
    const Case cases[] = {
        {L"20261209-070503-042", true},  {L"20261209-070503-042-2", true}, {L"20261209-070503-042-12345", true},
        {L"20261209-070503-04", false},  {L"20261209_070503-042", false},  {L"20261209-070503-042-", false},
        {L"20261209-070503-042x", false}, {L"..\\20261209-070503-042", false}, {L"", false},
        {L"20261209-070503-042-123456", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsRunId(c.text), c.id) << Narrow(c.text);
}

// Journals list oldest first: by time, then "-N" in number order; files that
// are not journals are not listed.
TEST(Journal, RunsListInTheOrderTheyStarted) {
    TempDir dir;
    const wchar_t* const files[] = {L"20261209-070503-042-10", L"20261209-070503-043", L"20251231-235959-999",
                                    L"20261209-070503-042-9", L"20261209-070503-042"};
    for (const wchar_t* id : files) ASSERT_TRUE(WriteText(JournalFileIn(dir.Path(), id), "Ordvale journal\t1\n"));
    ASSERT_TRUE(WriteText(dir / L"notes.txt", ""));
    ASSERT_TRUE(WriteText(dir / L"20261209-070503-044.bak", ""));
    const std::vector<std::wstring> expected = {L"20251231-235959-999", L"20261209-070503-042",
                                                L"20261209-070503-042-9", L"20261209-070503-042-10",
                                                L"20261209-070503-043"};
    EXPECT_EQ(ListRunIds(dir.Path()), expected);
    EXPECT_EQ(LastRunId(dir.Path()), L"20261209-070503-043");
    TempDir empty;
    EXPECT_EQ(LastRunId(empty / L"none"), L"");
}

// Two runs that start within the same millisecond keep two journals.
TEST(Journal, SameIdTwiceGetsANumber) {
    TempDir dir;
    JournalWriter first(dir.Path(), L"20261209-070503-042");
    JournalWriter second(dir.Path(), L"20261209-070503-042");
    ASSERT_TRUE(first.Record(JournalKind::Move, L"C:\\a", L"C:\\b"));
    ASSERT_TRUE(second.Record(JournalKind::Move, L"C:\\c", L"C:\\d"));
    EXPECT_EQ(first.RunId(), L"20261209-070503-042");
    EXPECT_EQ(second.RunId(), L"20261209-070503-042-2");
    RunJournal journal;
    ASSERT_TRUE(ReadJournalFile(dir.Path(), second.RunId(), &journal));
    ASSERT_EQ(journal.entries.size(), 1u);
    EXPECT_EQ(journal.entries[0].source, L"C:\\c");
}

// Starting a journal prunes the History folder to the newest 50 runs, the
// new one among them; an undo run names the run it takes back.
TEST(Journal, NewJournalPrunesToTheLastFifty) {
    TempDir dir;
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 1;
    t.wDay = 1;
    std::vector<std::wstring> old;
    for (int i = 0; i < 60; ++i) {
        t.wMinute = static_cast<WORD>(i);
        old.push_back(RunIdAt(t));
        ASSERT_TRUE(WriteText(JournalFileIn(dir.Path(), old.back()), "Ordvale journal\t1\n"));
    }
    ASSERT_TRUE(WriteText(dir / L"keep-me.txt", ""));
    JournalWriter writer(dir.Path(), L"20261209-070503-042", old[59]);
    ASSERT_TRUE(writer.Record(JournalKind::Move, L"C:\\a", L"C:\\b"));
    const std::vector<std::wstring> ids = ListRunIds(dir.Path());
    ASSERT_EQ(ids.size(), kJournalsKept);
    EXPECT_EQ(ids.front(), old[11]) << "the oldest eleven went";
    EXPECT_EQ(ids.back(), L"20261209-070503-042");
    EXPECT_TRUE(FileExists(dir / L"keep-me.txt"));
    RunJournal journal;
    ASSERT_TRUE(ReadJournalFile(dir.Path(), writer.RunId(), &journal));
    EXPECT_EQ(journal.undoneRunId, old[59]);
}

// Paths the format cannot hold are refused, not written as broken lines.
TEST(Journal, PathsWithLineBreaksAreRefused) {
    TempDir dir;
    JournalWriter writer(dir.Path(), L"20261209-070503-042");
    EXPECT_FALSE(writer.Record(JournalKind::Move, L"C:\\a\nb", L"C:\\c"));
    EXPECT_FALSE(writer.Record(JournalKind::Move, L"C:\\a", L"C:\\c\td"));
    EXPECT_FALSE(writer.Record(JournalKind::Move, L"", L"C:\\c"));
    EXPECT_EQ(OnlyRunId(dir.Path()), L"") << "nothing was started for them";
}

// The head of a journal says what the run tidied, for the history of runs;
// a journal without it (an older one, or an undo) reads as "not known".
TEST(Journal, HeadSaysWhatTheRunTidied) {
    TempDir dir;
    const std::wstring history = dir / L"History";
    ASSERT_TRUE(WriteText(dir / L"a.jpg", "1"));
    struct Case {
        const wchar_t* runId;
        JournalRunInfo info;
    };
    const Case cases[] = {
        {L"20261209-101500-001", {1, (dir / L"D\u00e9j\u00e0 vu"), 3, true}},
        {L"20261209-101500-002", {0, L"", 1, false}},
        {L"20261209-101500-003", {2, L"", 4, false}},
        {L"20261209-101500-004", {}},
    };
    for (const Case& c : cases) {
        {
            JournalWriter writer(history, c.runId);
            writer.Describe(c.info);
            ASSERT_TRUE(writer.Record(JournalKind::Move, L"C:\\was\\a.jpg", dir / L"a.jpg"));
        }
        RunJournal journal;
        ASSERT_TRUE(ReadJournalFile(history, c.runId, &journal));
        EXPECT_EQ(journal.run.target, c.info.target) << c.runId;
        EXPECT_EQ(journal.run.folder, c.info.folder) << c.runId;
        EXPECT_EQ(journal.run.method, c.info.method) << c.runId;
        EXPECT_EQ(journal.run.automatic, c.info.automatic) << c.runId;
        EXPECT_EQ(journal.entries.size(), 1u) << c.runId;
    }
    // Values no run writes are not believed.
    const RunJournal odd = ParseJournal("Ordvale journal\t1\nTarget\t7\tC:\\x\nMethod\t9\nAutomatic\tyes\n");
    EXPECT_EQ(odd.run.target, -1);
    EXPECT_EQ(odd.run.method, 0);
    EXPECT_FALSE(odd.run.automatic);
}

// The plan goes down before the first operation, on the disk at once; an
// operation that went as planned is a short "Done" line kept back until its
// group is handed over, while a whole entry goes to the system at once (and
// takes the kept lines with it, in order). "End" closes a run's journal.
TEST(Journal, PlanFirstThenCompletionsInGroups) {
    TempDir dir;
    const std::wstring history = dir / L"History";
    ASSERT_TRUE(WriteText(dir / L"a.jpg", "12345"));
    ASSERT_TRUE(MakeFolder(dir / L"Pictures"));
    JournalWriter writer(history, L"20261209-101500-000");
    writer.SetGroupWait(INFINITE);
    ASSERT_TRUE(writer.Begin());
    EXPECT_EQ(OnlyRunId(history), L"20261209-101500-000") << "the journal stands before the first operation";
    JournalEntry move{JournalKind::Move, L"C:\\was\\a.jpg", dir / L"a.jpg", 5, 77};
    JournalEntry folder{JournalKind::CreateFolder, dir / L"Pictures", L"", 0, 0};
    EXPECT_EQ(writer.Plan(folder), 0);
    EXPECT_EQ(writer.Plan(move), 1);
    EXPECT_EQ(writer.Plan(JournalEntry{JournalKind::Move, L"was\\a.jpg", dir / L"a.jpg", 5, 77}), -1)
        << "a path no reader takes is not planned";
    ASSERT_TRUE(writer.CommitPlan());
    RunJournal journal;
    ASSERT_TRUE(ReadJournalFile(history, writer.RunId(), &journal));
    ASSERT_EQ(journal.planned.size(), 2u);
    EXPECT_EQ(journal.planned[1].source, move.source);
    EXPECT_EQ(journal.planned[1].size, 5u);
    EXPECT_TRUE(journal.entries.empty());
    EXPECT_FALSE(journal.ended);

    ASSERT_TRUE(writer.RecordDone(0, dir / L"Pictures"));
    ASSERT_TRUE(writer.RecordDone(1, dir / L"a.jpg"));
    EXPECT_FALSE(writer.RecordDone(2, dir / L"a.jpg")) << "no such line of the plan";
    ASSERT_TRUE(ReadJournalFile(history, writer.RunId(), &journal));
    EXPECT_TRUE(journal.entries.empty()) << "completions are kept back until their group goes";

    ASSERT_TRUE(writer.Record(JournalKind::Delete, dir / L"gone.txt"));
    ASSERT_TRUE(ReadJournalFile(history, writer.RunId(), &journal));
    ASSERT_EQ(journal.entries.size(), 3u) << "a whole entry goes at once, with what was kept before it";
    EXPECT_EQ(journal.entries[0].kind, JournalKind::CreateFolder);
    EXPECT_EQ(journal.entries[1].kind, JournalKind::Move);
    EXPECT_EQ(journal.entries[1].destination, dir / L"a.jpg");
    EXPECT_EQ(journal.entries[1].size, 5u) << "what arrived, read where it stands";
    EXPECT_EQ(journal.entries[2].kind, JournalKind::Delete);
    EXPECT_EQ(journal.plannedDone, (std::vector<bool>{true, true}));

    writer.Finish();
    ASSERT_TRUE(ReadJournalFile(history, writer.RunId(), &journal));
    EXPECT_TRUE(journal.ended);
}

// A group is handed over after so many completions, without waiting for
// the end of the run.
TEST(Journal, AGroupGoesWhenItIsFull) {
    TempDir dir;
    JournalWriter writer(dir.Path(), L"20261209-101500-000");
    writer.SetGroupWait(INFINITE);
    ASSERT_TRUE(writer.Begin());
    const std::size_t n = JournalWriter::kGroupOperations;
    for (std::size_t i = 0; i < n; ++i)
        ASSERT_EQ(writer.Plan(JournalEntry{JournalKind::Move, L"C:\\a\\" + std::to_wstring(i),
                                           L"C:\\b\\" + std::to_wstring(i), 0, 1}),
                  static_cast<int32_t>(i));
    ASSERT_TRUE(writer.CommitPlan());
    for (std::size_t i = 0; i + 1 < n; ++i) ASSERT_TRUE(writer.RecordDone(static_cast<int32_t>(i), L""));
    RunJournal journal;
    ASSERT_TRUE(ReadJournalFile(dir.Path(), writer.RunId(), &journal));
    EXPECT_TRUE(journal.entries.empty()) << "one short of a group";
    ASSERT_TRUE(writer.RecordDone(static_cast<int32_t>(n - 1), L""));
    ASSERT_TRUE(ReadJournalFile(dir.Path(), writer.RunId(), &journal));
    EXPECT_EQ(journal.entries.size(), n);
}

// A journal in which nothing was recorded done is removed at the end; one
// that cannot be made says so before anything is done.
TEST(Journal, NothingDoneLeavesNoJournalAndAFolderInTheWayIsReported) {
    TempDir dir;
    {
        JournalWriter writer(dir / L"History", L"20261209-101500-000");
        ASSERT_TRUE(writer.Begin());
        writer.Plan(JournalEntry{JournalKind::Move, L"C:\\a", L"C:\\b", 0, 1});
        ASSERT_TRUE(writer.CommitPlan());
    }
    EXPECT_TRUE(ListRunIds(dir / L"History").empty());
    ASSERT_TRUE(WriteText(dir / L"Blocked", "a file where the History folder would be"));
    JournalWriter blocked(dir / L"Blocked", L"20261209-101500-000");
    EXPECT_FALSE(blocked.Begin());
    EXPECT_FALSE(blocked.CommitPlan());
    EXPECT_FALSE(blocked.Record(JournalKind::Move, L"C:\\a", L"C:\\b"));
}

// Lines no run writes, or that name places a run never goes, are skipped
// and counted: they could make an undo act on anything.
TEST(Journal, UntrustedLinesAreSkippedAndCounted) {
    const std::string good = "Move\tC:\\a.jpg\tC:\\P\\a.jpg\t5\t77\n";
    struct Case {
        const char* what;
        std::string line;
    };
    const Case cases[] = {
        {"a copy, which no run writes", "Copy\tC:\\a.jpg\tC:\\P\\a.jpg\t5\t77\n"},
        {"a relative source", "Move\ta.jpg\tC:\\P\\a.jpg\t5\t77\n"},
        {"a relative destination", "Move\tC:\\a.jpg\tP\\a.jpg\t5\t77\n"},
        {"a step up", "Move\tC:\\x\\..\\..\\Windows\\a.dll\tC:\\P\\a.jpg\t5\t77\n"},
        {"a step up in the destination", "Move\tC:\\a.jpg\tC:\\P\\..\\a.jpg\t5\t77\n"},
        {"a dot step", "Move\tC:\\.\\a.jpg\tC:\\P\\a.jpg\t5\t77\n"},
        {"a network path", "Move\t\\\\server\\share\\a.jpg\tC:\\P\\a.jpg\t5\t77\n"},
        {"a device path", "Move\t\\\\?\\C:\\a.jpg\tC:\\P\\a.jpg\t5\t77\n"},
        {"a drive-relative path", "Move\tC:a.jpg\tC:\\P\\a.jpg\t5\t77\n"},
        {"a stream name", "Move\tC:\\a.jpg:secret\tC:\\P\\a.jpg\t5\t77\n"},
        {"forward slashes", "Move\tC:/a.jpg\tC:\\P\\a.jpg\t5\t77\n"},
        {"a move without destination", "Move\tC:\\a.jpg\t\t5\t77\n"},
        {"a folder made with a destination", "CreateFolder\tC:\\F\tC:\\G\t0\t0\n"},
        {"an unknown kind", "Shred\tC:\\a\tC:\\b\t1\t2\n"},
        {"a completion of no planned line", "Done\t0\t5\t77\n"},
        {"an undone run that is no run", "Undoes\t..\\..\\settings\n"},
        {"a planned copy", "Planned\tCopy\tC:\\a.jpg\tC:\\P\\a.jpg\t5\t77\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const RunJournal journal = ParseJournal(c.line + good);
        EXPECT_EQ(journal.entries.size(), 1u);
        EXPECT_EQ(journal.skippedLines, 1u);
        ASSERT_EQ(journal.skippedSamples.size(), 1u);
        std::string shown = c.line.substr(0, c.line.size() - 1);
        std::replace(shown.begin(), shown.end(), '\t', ' ');
        EXPECT_EQ(journal.skippedSamples[0], DecodeJournalText(shown)) << "shown as it reads, tabs as spaces";
        EXPECT_TRUE(journal.undoneRunId.empty());
    }
    const RunJournal twice =
        ParseJournal("Planned\tMove\tC:\\a.jpg\tC:\\P\\a.jpg\t5\t77\nDone\t0\t5\t77\nDone\t0\t5\t77\n");
    EXPECT_EQ(twice.entries.size(), 1u);
    EXPECT_EQ(twice.skippedLines, 1u) << "a planned line is done once";
}

// Only run ids name journals, and a file larger than any run writes is not
// read at all (it would take all memory): both are refused with a reason.
TEST(Journal, RunIdsAndSizesAreCheckedBeforeReading) {
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / L"settings.txt", "Move\tC:\\a\tC:\\b\t1\t2\n"));
    RunJournal journal;
    JournalReadError why = JournalReadError::None;
    EXPECT_FALSE(ReadJournalFile(dir / L"History", L"..\\settings", &journal, &why));
    EXPECT_EQ(why, JournalReadError::NotARunId);
    EXPECT_FALSE(ReadJournalFile(dir.Path(), L"20261209-101500-000", &journal, &why));
    EXPECT_EQ(why, JournalReadError::NotFound);

    const std::wstring huge = JournalFileIn(dir.Path(), L"20261209-101500-001");
    {
        win::UniqueHandle file(CreateFileW(huge.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file.Valid());
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(kMaxJournalBytes) + 1;
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get()));
    }
    EXPECT_FALSE(ReadJournalFile(dir.Path(), L"20261209-101500-001", &journal, &why));
    EXPECT_EQ(why, JournalReadError::TooLarge);
    DeleteFileW(huge.c_str());
}

// Once a run's journal is pruned nothing can take it back: the files it set
// aside go to the recycle bin, and their folder when it is empty. A line
// naming a file outside a set-aside folder touches nothing.
TEST(Journal, PruningReleasesWhatItsRunSetAside) {
    TempDir dir;
    const std::wstring history = dir / L"History";
    const std::wstring aside = dir / kSetAsideFolder;
    ASSERT_TRUE(MakeFolder(history));
    ASSERT_TRUE(MakeFolder(aside));
    ASSERT_TRUE(WriteText(aside + L"\\a.jpg", "old"));
    ASSERT_TRUE(WriteText(dir / L"mine.txt", "mine"));
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 1;
    t.wDay = 1;
    const std::string oldest = "Ordvale journal\t1\n"
                               "SetAside\t" + Narrow(dir / L"a.jpg") + "\t" + Narrow(aside + L"\\a.jpg") + "\t3\t1\n"
                               "SetAside\t" + Narrow(dir / L"x") + "\t" + Narrow(dir / L"mine.txt") + "\t4\t1\n";
    ASSERT_TRUE(WriteText(JournalFileIn(history, RunIdAt(t)), oldest));
    for (int i = 1; i <= static_cast<int>(kJournalsKept); ++i) {
        t.wMinute = static_cast<WORD>(i);
        ASSERT_TRUE(WriteText(JournalFileIn(history, RunIdAt(t)), "Ordvale journal\t1\n"));
    }
    PruneJournals(history);
    EXPECT_EQ(ListRunIds(history).size(), kJournalsKept);
    EXPECT_FALSE(FileExists(aside + L"\\a.jpg"));
    EXPECT_FALSE(FileExists(aside)) << "the empty set-aside folder goes too";
    EXPECT_EQ(ReadUtf8(dir / L"mine.txt"), "mine");
}
