// The history of runs read from journals, and the watched folders the
// wizard's "Keep this folder tidy automatically" adds.
#include <gtest/gtest.h>

#include "common/RunHistory.h"
#include "common/Text.h"
#include "common/WatchedFolderEdits.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// A journal in the folder: its head, and `moves` items moved plus a folder made.
void WriteRun(const std::wstring& history, const std::wstring& runId, const JournalRunInfo& info, int moves,
              const std::wstring& undoes = std::wstring()) {
    JournalWriter writer(history, runId, undoes);
    writer.Describe(info);
    ASSERT_TRUE(writer.Record(JournalKind::CreateFolder, L"C:\\t\\Pictures"));
    for (int i = 0; i < moves; ++i)
        ASSERT_TRUE(writer.Record(i % 2 ? JournalKind::Replace : JournalKind::Move, L"C:\\t\\" + std::to_wstring(i),
                                  L"C:\\t\\Pictures\\" + std::to_wstring(i)));
}

}  // namespace

TEST(RunHistory, SummaryCountsTheItemsMovedAndKeepsTheHead) {
    RunJournal journal = ParseJournal(
        "Ordvale journal\t1\nTarget\t1\tC:\\Users\\u\\Downloads\nMethod\t2\nAutomatic\t1\n"
        "CreateFolder\tC:\\d\\2026\t\t0\t0\n"
        "Move\tC:\\d\\a.jpg\tC:\\d\\2026\\a.jpg\t1\t2\n"
        "Replace\tC:\\d\\b.jpg\tC:\\d\\2026\\b.jpg\t1\t2\n"
        "Copy\tC:\\d\\c.jpg\tC:\\d\\2026\\c.jpg\t1\t2\n"
        "Rename\tC:\\d\\2026\\d.jpg\tC:\\d\\2026\\e.jpg\t1\t2\n",
        L"20261209-101500-001");
    const RunSummary summary = SummarizeRun(journal);
    EXPECT_EQ(summary.runId, L"20261209-101500-001");
    EXPECT_EQ(summary.run.target, 1);
    EXPECT_EQ(summary.run.folder, L"C:\\Users\\u\\Downloads");
    EXPECT_EQ(summary.run.method, 2);
    EXPECT_TRUE(summary.run.automatic);
    EXPECT_EQ(summary.itemsMoved, 2u) << "moves and replacing moves; not folders, copies or renames";
    EXPECT_TRUE(summary.undoneRunId.empty());
    EXPECT_FALSE(summary.takenBack);
}

TEST(RunHistory, NewestFirstWithTheRunsTakenBackMarked) {
    TempDir dir;
    const std::wstring history = dir / L"History";
    WriteRun(history, L"20261209-101500-001", {0, L"", 1, false}, 3);
    WriteRun(history, L"20261209-101500-001-2", {1, dir.Path(), 4, true}, 1);  // same millisecond, later
    WriteRun(history, L"20261210-080000-000", {}, 3, L"20261209-101500-001");    // takes the first back
    ASSERT_TRUE(WriteText(history + L"\\notes.txt", "not a journal"));

    const std::vector<RunSummary> runs = ReadRunHistory(history);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].runId, L"20261210-080000-000");
    EXPECT_EQ(runs[0].undoneRunId, L"20261209-101500-001");
    EXPECT_FALSE(runs[0].takenBack);
    EXPECT_EQ(runs[1].runId, L"20261209-101500-001-2");
    EXPECT_TRUE(runs[1].run.automatic);
    EXPECT_FALSE(runs[1].takenBack);
    EXPECT_EQ(runs[2].runId, L"20261209-101500-001");
    EXPECT_EQ(runs[2].itemsMoved, 3u);
    EXPECT_TRUE(runs[2].takenBack);

    EXPECT_TRUE(ReadRunHistory(dir / L"none").empty());
}

TEST(RunHistory, ATakeBackThatIsTakenBackIsMarkedToo) {
    std::vector<RunSummary> runs(3);
    runs[0].runId = L"c";
    runs[0].undoneRunId = L"B";  // ids compare as Windows names do
    runs[1].runId = L"b";
    runs[1].undoneRunId = L"a";
    runs[2].runId = L"a";
    MarkTakenBack(&runs);
    EXPECT_FALSE(runs[0].takenBack);
    EXPECT_TRUE(runs[1].takenBack);
    EXPECT_TRUE(runs[2].takenBack);
}

TEST(KeepFolderWatched, TheJobsFolderBecomesAWatchedFolder) {
    TidyJob job;
    job.method = 2;
    StoreText(job.profileId, L"Time3");
    StoreText(job.destination, L"D:\\Sorted");
    struct Case {
        TidyTarget target;
        const wchar_t* folder;
        const wchar_t* expected;
    } cases[] = {
        {TidyTarget::Desktop, L"", L"C:\\Users\\u\\Desktop"},
        {TidyTarget::Folder, L"C:\\Users\\u\\Downloads", L"C:\\Users\\u\\Downloads"},
        {TidyTarget::Selection, L"", L""},
    };
    for (const Case& c : cases) {
        job.target = static_cast<int32_t>(c.target);
        StoreText(job.folder, c.folder);
        const WatchedFolder w = WatchedFolderOfJob(job, L"C:\\Users\\u\\Desktop");
        EXPECT_EQ(w.folder, c.expected) << static_cast<int>(c.target);
        EXPECT_EQ(w.method, 2);
        EXPECT_EQ(w.profileId, L"Time3");
        EXPECT_EQ(w.destination, L"D:\\Sorted");
        EXPECT_FALSE(w.paused);
    }
}

TEST(KeepFolderWatched, AFolderWatchedAlreadyIsNotAddedTwice) {
    std::vector<WatchedFolder> folders(1);
    folders[0].folder = L"C:\\Users\\u\\Downloads";
    folders[0].profileId = L"Type1";
    folders[0].paused = true;
    WatchedFolder again;
    again.folder = L"c:\\users\\U\\downloads\\";
    again.method = 3;
    again.profileId = L"Size2";
    EXPECT_FALSE(AddWatchedFolder(&folders, again));
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].folder, L"C:\\Users\\u\\Downloads") << "the stored path stays";
    EXPECT_EQ(folders[0].method, 3) << "the new job's method, profile and destination";
    EXPECT_EQ(folders[0].profileId, L"Size2");
    EXPECT_FALSE(folders[0].paused) << "ticked again: watched again";

    WatchedFolder other;
    other.folder = L"C:\\Users\\u\\Downloads2";
    EXPECT_TRUE(AddWatchedFolder(&folders, other));
    EXPECT_EQ(folders.size(), 2u);
}

TEST(KeepFolderWatched, WritesTheSectionIntoTheSettingsFileOnce) {
    TempDir dir;
    const std::wstring settings = dir / L"settings.ini";
    ASSERT_TRUE(WriteText(settings, "[Profile]\r\nFileName=C:\\p.xml\r\n"));
    TidyJob job;
    job.target = static_cast<int32_t>(TidyTarget::Folder);
    StoreText(job.folder, dir.Path());
    StoreText(job.profileId, L"Type1");
    ASSERT_TRUE(KeepJobFolderWatched(settings, job, L"C:\\Desktop"));
    ASSERT_TRUE(KeepJobFolderWatched(settings, job, L"C:\\Desktop"));
    const std::vector<WatchedFolder> folders = LoadWatchedFolders(settings);
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].folder, dir.Path());
    EXPECT_EQ(folders[0].profileId, L"Type1");
    wchar_t text[64] = {};
    GetPrivateProfileStringW(L"Profile", L"FileName", L"", text, 64, settings.c_str());
    EXPECT_STREQ(text, L"C:\\p.xml") << "the settings stay";
    EXPECT_EQ(GetPrivateProfileStringW(L"WatchedFolder2", nullptr, L"", text, 64, settings.c_str()), 0u);

    job.target = static_cast<int32_t>(TidyTarget::Selection);
    EXPECT_FALSE(KeepJobFolderWatched(settings, job, L"C:\\Desktop")) << "a selection has no folder";
    EXPECT_EQ(LoadWatchedFolders(settings).size(), 1u);
}
