// The watcher's decisions without its window: when a folder is due, rings
// of folders feeding each other, the job of a round, what the notification
// says, when items left for being written settle, and the sign-in entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/BeingWritten.h"
#include "common/Text.h"
#include "common/win/Handle.h"
#include "TestSupport.h"
#include "watch/SignIn.h"
#include "watch/WatchSchedule.h"

using namespace ordvale;
using namespace ordvale::watch;
using namespace testing_support;

namespace {

WatchedFolder Watched(const std::wstring& folder, const std::wstring& destination = L"", bool paused = false) {
    WatchedFolder f;
    f.folder = folder;
    f.profileId = L"P";
    f.destination = destination;
    f.paused = paused;
    return f;
}

Timing TestTiming() {
    Timing t;
    t.settle = 1000;
    t.rescan = 60000;
    t.busyRetry = 5000;
    return t;
}

constexpr uint64_t kSecond = 10000000ull;

}  // namespace

// A folder is due once nothing has arrived for the settle time: every
// arrival starts the wait again, and the wait is what the loop sleeps.
TEST(WatchSchedule, ArrivalsSettleBeforeARun) {
    Schedule s(TestTiming());
    s.SetFolders({Watched(L"C:\\In")}, 0);
    EXPECT_EQ(s.WaitTime(0), 1000u) << "a new folder is looked at once it has settled";
    EXPECT_FALSE(s.TakeDue(999));
    ASSERT_EQ(s.TakeDue(1000), std::optional<std::size_t>(0));
    s.Finished(RunOutcome::Done, 1200);
    EXPECT_EQ(s.WaitTime(1200), 60000u - 200) << "then only the rescan";

    s.Changed(0, 5000);
    s.Changed(0, 5800);
    EXPECT_FALSE(s.TakeDue(6000));
    EXPECT_EQ(s.WaitTime(6000), 800u);
    EXPECT_TRUE(s.TakeDue(6800));
}

// One run at a time; what arrives during a run makes another once it ends.
TEST(WatchSchedule, OneRunAtATimeAndArrivalsDuringARun) {
    Schedule s(TestTiming());
    s.SetFolders({Watched(L"C:\\A"), Watched(L"C:\\B")}, 0);
    ASSERT_EQ(s.TakeDue(1000), std::optional<std::size_t>(0));
    EXPECT_FALSE(s.TakeDue(1000)) << "B waits for A's run";
    EXPECT_EQ(s.WaitTime(1000), kNever) << "the run's end wakes the watcher";
    s.Changed(0, 1500);
    s.Finished(RunOutcome::Done, 2000);
    ASSERT_EQ(s.TakeDue(2000), std::optional<std::size_t>(1));
    s.Finished(RunOutcome::Done, 2100);
    EXPECT_EQ(s.TakeDue(2500), std::optional<std::size_t>(0)) << "A again, for what arrived during its run";
}

// Paused folders, watching paused from the menu, missing folders and folders
// that would loop are never run; resuming or coming back runs them again.
TEST(WatchSchedule, FoldersLeftAloneAndBackAgain) {
    Schedule s(TestTiming());
    s.SetFolders({Watched(L"C:\\A", L"", true)}, 0);
    EXPECT_EQ(s.StateOf(0), FolderState::Paused);
    s.Changed(0, 0);
    EXPECT_FALSE(s.TakeDue(100000));
    EXPECT_EQ(s.WaitTime(0), kNever);
    s.SetFolders({Watched(L"c:\\a\\")}, 200000);  // the same folder, resumed
    EXPECT_EQ(s.StateOf(0), FolderState::Watching);
    EXPECT_TRUE(s.TakeDue(200000)) << "a resumed folder is looked at at once";
    s.Finished(RunOutcome::Done, 200000);

    s.SetPausedAll(true);
    s.TidyNow(200000);
    EXPECT_FALSE(s.TakeDue(300000));
    EXPECT_EQ(s.StateOf(0), FolderState::Paused);
    s.SetPausedAll(false);
    EXPECT_TRUE(s.TakeDue(300000));
    s.Finished(RunOutcome::Done, 300000);

    s.SetMissing(0, true, 300000);
    EXPECT_EQ(s.StateOf(0), FolderState::Missing);
    s.Changed(0, 300000);
    EXPECT_FALSE(s.TakeDue(400000));
    s.SetMissing(0, false, 400000);
    EXPECT_FALSE(s.TakeDue(400500)) << "a folder back settles first";
    EXPECT_TRUE(s.TakeDue(401000));
}

// A run that found the folder taken by another run is tried again soon; a
// folder with nothing arriving is still looked at every few minutes; items
// left for being written are looked at when they settle; a failed run is
// tried again.
TEST(WatchSchedule, RetriesRescansAndItemsLeftForLater) {
    Schedule s(TestTiming());
    s.SetFolders({Watched(L"C:\\A")}, 0);
    ASSERT_TRUE(s.TakeDue(1000));
    s.Finished(RunOutcome::FolderBusy, 1000);
    EXPECT_EQ(s.WaitTime(1000), 5000u);
    ASSERT_TRUE(s.TakeDue(6000));
    s.Finished(RunOutcome::Done, 6000);
    EXPECT_FALSE(s.TakeDue(65999));
    ASSERT_TRUE(s.TakeDue(66000)) << "the rescan";
    s.Finished(RunOutcome::Done, 66000);
    s.LookAgainAt(0, 70000);
    EXPECT_EQ(s.WaitTime(66000), 4000u);
    EXPECT_TRUE(s.TakeDue(70000));    s.Finished(RunOutcome::Done, 70000);

    // A failed run is tried once more soon; failing again, it waits for the rescan.
    s.Changed(0, 71000);
    ASSERT_TRUE(s.TakeDue(72000));
    s.Finished(RunOutcome::Failed, 72000);
    EXPECT_EQ(s.WaitTime(72000), 5000u);
    ASSERT_TRUE(s.TakeDue(77000));
    s.Finished(RunOutcome::Failed, 77000);
    EXPECT_EQ(s.WaitTime(77000), 60000u);
}

// A round taken early, to look again at what an earlier one left or for the
// rescan, may come before the latest arrival has settled and leave it as
// still being written: that arrival still has its round once it has.
TEST(WatchSchedule, AnEarlyRoundLeavesWhatHasNotSettledItsOwnRound) {
    for (bool rescan : {false, true}) {
        SCOPED_TRACE(rescan ? "the rescan" : "a look again");
        Schedule s(TestTiming());
        s.SetFolders({Watched(L"C:\\A")}, 0);
        ASSERT_TRUE(s.TakeDue(1000));
        s.Finished(RunOutcome::Done, 1200);
        const Tick early = rescan ? 61000 : 3000;
        if (!rescan) s.LookAgainAt(0, early);
        s.Changed(0, early - 100);
        ASSERT_TRUE(s.TakeDue(early));
        s.Finished(RunOutcome::Done, early + 200);
        EXPECT_EQ(s.WaitTime(early + 200), 700u);
        EXPECT_TRUE(s.TakeDue(early + 900));
        s.Finished(RunOutcome::Done, early + 1000);
        EXPECT_EQ(s.WaitTime(early + 1000), 60000u - 100) << "then only the rescan";
    }
}

// The same ring when one destination is another name of the other folder:
// a link, a short name, a mapped drive.
TEST(WatchSchedule, RingsThroughOtherNamesAreBroken) {
    TempDir dir;
    const std::wstring a = dir / L"Watched Alpha", b = dir / L"Watched Bravo";
    ASSERT_TRUE(MakeFolder(a));
    ASSERT_TRUE(MakeFolder(b));
    for (const OtherName& name : OtherNamesOf(b, dir / L"Link")) {
        SCOPED_TRACE(name.way);
        if (name.path.empty()) {
            std::printf("[ SKIPPED  ] %s: %s\n", name.way.c_str(), name.why.c_str());
            continue;
        }
        EXPECT_EQ(FindLooping({Watched(a, name.path), Watched(b, a)}), (std::vector<bool>{false, true}));
        EXPECT_EQ(FindLooping({Watched(a, name.path + L"\\Sorted"), Watched(b, a)}), (std::vector<bool>{false, true}));
    }
}

TEST(WatchSchedule, TidyNowRunsAtOnce) {
    Schedule s(TestTiming());
    s.SetFolders({Watched(L"C:\\A")}, 0);
    ASSERT_TRUE(s.TakeDue(1000));
    s.Finished(RunOutcome::Done, 1000);
    s.TidyNow(2000);
    EXPECT_TRUE(s.TakeDue(2000));
}

// Folders whose runs would carry items round a ring: of each ring the first
// listed is kept; a destination inside another watched folder feeds it.
TEST(WatchSchedule, RingsOfFoldersAreBroken) {
    struct Case {
        const char* what;
        std::vector<WatchedFolder> folders;
        std::vector<bool> looping;
    };
    const Case cases[] = {
        {"each into itself", {Watched(L"C:\\A"), Watched(L"C:\\B")}, {false, false}},
        {"A into B only", {Watched(L"C:\\A", L"C:\\B"), Watched(L"C:\\B")}, {false, false}},
        {"A into B, B into A", {Watched(L"C:\\A", L"C:\\B"), Watched(L"C:\\B", L"c:\\a\\")}, {false, true}},
        {"A into a folder inside B, B into A",
         {Watched(L"C:\\A", L"C:\\B\\Sorted"), Watched(L"C:\\B", L"C:\\A")}, {false, true}},
        {"a ring of three", {Watched(L"C:\\A", L"C:\\B"), Watched(L"C:\\B", L"C:\\C"), Watched(L"C:\\C", L"C:\\A")},
         {false, false, true}},
        {"a paused folder breaks the ring", {Watched(L"C:\\A", L"C:\\B"), Watched(L"C:\\B", L"C:\\A", true)},
         {false, false}},
        {"B's own default destination is B", {Watched(L"C:\\A", L"C:\\B"), Watched(L"C:\\B", L"C:\\B\\Out")},
         {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(FindLooping(c.folders), c.looping);
    }
    Schedule s(TestTiming());
    s.SetFolders(cases[2].folders, 0);
    EXPECT_EQ(s.StateOf(1), FolderState::Looping);
    s.Changed(1, 0);
    for (Tick t = 5000; t < 1000000; t += 50000) {
        EXPECT_NE(s.TakeDue(t), std::optional<std::size_t>(1));
        s.Finished(RunOutcome::Done, t);
    }
}

// What an automatic run of a folder leaves in it for the other watched
// folders: each of them, each one's destination, and what holds one of them.
TEST(WatchSchedule, WatchedPlacesStayWhereTheyAre) {
    const std::vector<WatchedFolder> folders = {
        Watched(L"C:\\Home"), Watched(L"C:\\Home\\Downloads", L"C:\\Home\\Sorted\\Downloads"),
        Watched(L"C:\\Elsewhere", L"", true)};
    struct Case {
        const wchar_t* item;
        bool stays;
    };
    const Case cases[] = {
        {L"C:\\Home\\Downloads", true},           // another watched folder
        {L"c:\\home\\downloads\\", true},         // in any spelling
        {L"C:\\Home\\Sorted\\Downloads", true},  // another's destination
        {L"C:\\Home\\Sorted", true},              // what holds it
        {L"C:\\Home\\Sorted Old", false},
        {L"C:\\Home\\notes.txt", false},
        {L"C:\\Home\\Downloads2", false},
        {L"C:\\Elsewhere", true},                   // a paused folder too
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.item));
        EXPECT_EQ(HoldsWatchedPlace(c.item, folders, L"C:\\Home\\"), c.stays);
    }
    EXPECT_FALSE(HoldsWatchedPlace(L"C:\\Home\\Sorted", {Watched(L"C:\\Home", L"C:\\Home\\Sorted")}, L"C:\\Home"))
        << "a folder's own destination is its profile's business";
}

TEST(WatchSchedule, TheJobOfARound) {
    WatchedFolder f = Watched(L"C:\\Users\\u\\Downloads", L"D:\\Sorted");
    f.method = 2;
    f.profileId = L"Time1";
    TidyJob job;
    AddItem(&job, L"C:\\windows");
    MakeWatchJob(f, &job);
    EXPECT_EQ(job.target, static_cast<int32_t>(TidyTarget::Folder));
    EXPECT_EQ(job.method, 2);
    EXPECT_EQ(FieldText(job.folder), L"C:\\Users\\u\\Downloads");
    EXPECT_EQ(FieldText(job.profileId), L"Time1");
    EXPECT_EQ(FieldText(job.destination), L"D:\\Sorted");
    EXPECT_EQ(job.itemCount, 0);
}

TEST(WatchSchedule, WhatTheNotificationSays) {
    RunJournal journal;
    for (JournalKind kind : {JournalKind::CreateFolder, JournalKind::Move, JournalKind::Replace, JournalKind::Copy,
                             JournalKind::Rename, JournalKind::RemoveFolder, JournalKind::Move}) {
        JournalEntry e;
        e.kind = kind;
        journal.entries.push_back(e);
    }
    EXPECT_EQ(ItemsMoved(journal), 4u);
    EXPECT_EQ(TidiedText(3, L"C:\\Users\\u\\Downloads"), L"Tidied 3 items in Downloads");
    EXPECT_EQ(TidiedText(1, L"C:\\Users\\u\\Downloads\\"), L"Tidied 1 item in Downloads");
    EXPECT_EQ(TidiedText(2, L"D:\\"), L"Tidied 2 items in D:");
}

// The newest automatic run of the folder after the one given.
TEST(WatchSchedule, FindsTheRunOfARound) {
    TempDir history;
    auto journal = [&](const wchar_t* id, const wchar_t* folder, bool automatic) {
        JournalWriter writer(history.Path(), id);
        JournalRunInfo info;
        info.target = 1;
        info.folder = folder;
        info.method = 1;
        info.automatic = automatic;
        writer.Describe(info);
        ASSERT_TRUE(writer.Record(JournalKind::CreateFolder, history / L"x"));
    };
    journal(L"20261210-100000-000", L"C:\\In", true);
    journal(L"20261210-100001-000", L"C:\\In", false);
    journal(L"20261210-100002-000", L"C:\\Other", true);
    EXPECT_EQ(FindAutomaticRun(history.Path(), L"", L"c:\\in\\"), L"20261210-100000-000");
    EXPECT_EQ(FindAutomaticRun(history.Path(), L"20261210-100000-000", L"C:\\In"), L"");
    EXPECT_EQ(FindAutomaticRun(history.Path(), L"20261210-100001-000", L"C:\\Other"), L"20261210-100002-000");
}

// Files written a moment ago settle a settle time after their last write; a
// download in progress waits for its rename; a folder still being filled is
// looked at again after a settle time. The engine's rule for such folders:
// a file or folder made, or a file written, anywhere inside.
TEST(WatchSchedule, WhenItemsLeftForBeingWrittenSettle) {
    TempDir dir;
    const uint64_t now = FileTimeNow();
    const uint64_t old = now - 3600 * kSecond;
    auto oldFile = [&](const std::wstring& path) {
        ASSERT_TRUE(WriteText(path, "x"));
        win::UniqueHandle h(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        FILETIME t = {static_cast<DWORD>(old), static_cast<DWORD>(old >> 32)};
        ASSERT_TRUE(SetFileTime(h.Get(), &t, nullptr, &t));
    };
    oldFile(dir / L"old.txt");
    ASSERT_TRUE(WriteText(dir / L"film.mp4.crdownload", "x"));
    EXPECT_EQ(WhenSettled(dir.Path(), now, now, 0), 0u) << "no settle time, nothing waits";
    EXPECT_EQ(WhenSettled(dir.Path(), now, now, 5 * kSecond), 0u) << "the download waits for its rename";

    const uint64_t written = now - 2 * kSecond;
    ASSERT_TRUE(WriteText(dir / L"fresh.txt", "x"));
    ASSERT_TRUE(SetLastWriteTime(dir / L"fresh.txt", written));
    EXPECT_EQ(WhenSettled(dir.Path(), now, now, 5 * kSecond), written + 5 * kSecond);
    DeleteFileW((dir / L"fresh.txt").c_str());

    // A run of four seconds may have left a file that was still being
    // written when it started and has settled since: it is due at once. One
    // settled before the run began was not left for being written.
    ASSERT_TRUE(WriteText(dir / L"settled during the run.txt", "x"));
    ASSERT_TRUE(SetLastWriteTime(dir / L"settled during the run.txt", now - 7 * kSecond));
    EXPECT_EQ(WhenSettled(dir.Path(), now - 4 * kSecond, now, 5 * kSecond), now);
    ASSERT_TRUE(SetLastWriteTime(dir / L"settled during the run.txt", now - 10 * kSecond));
    EXPECT_EQ(WhenSettled(dir.Path(), now - 4 * kSecond, now, 5 * kSecond), 0u);
    DeleteFileW((dir / L"settled during the run.txt").c_str());

    ASSERT_TRUE(MakeFolder(dir / L"Unpacked"));
    ASSERT_TRUE(MakeFolder(dir / L"Unpacked\\deep"));
    oldFile(dir / L"Unpacked\\deep\\a.bin");
    EXPECT_TRUE(FolderBeingFilled(dir / L"Unpacked", FileTimeNow(), 5 * kSecond)) << "folders made a moment ago";
    EXPECT_EQ(WhenSettled(dir.Path(), now, now, 5 * kSecond), now + 5 * kSecond);
    EXPECT_FALSE(FolderBeingFilled(dir / L"Unpacked", FileTimeNow() + 3600 * kSecond, 5 * kSecond))
        << "an hour on, everything in it is old";
    EXPECT_FALSE(FolderBeingFilled(dir / L"Unpacked", FileTimeNow(), 0));
    ASSERT_TRUE(WriteText(dir / L"Unpacked\\deep\\b.bin", "x"));
    EXPECT_TRUE(FolderBeingFilled(dir / L"Unpacked", FileTimeNow() + 3 * kSecond, 5 * kSecond))
        << "a file written deep inside";
}

// The entry under the user's Run key (the sandbox prefix's registry).
TEST(WatchSchedule, StartAtSignInEntry) {
    const std::wstring program = L"C:\\Program Files\\Ordvale\\OrdvaleWatch.exe";
    ASSERT_TRUE(SetStartAtSignIn(true, program));
    EXPECT_EQ(StartAtSignInCommand(), L"\"C:\\Program Files\\Ordvale\\OrdvaleWatch.exe\"");
    ASSERT_TRUE(SetStartAtSignIn(true, program)) << "written again: nothing changes";
    ASSERT_TRUE(SetStartAtSignIn(false, program));
    EXPECT_EQ(StartAtSignInCommand(), L"");
    EXPECT_TRUE(SetStartAtSignIn(false, program)) << "nothing to remove";
}

namespace {

// A buffer of change records as ReadDirectoryChangesW fills it.
std::vector<DWORD> ChangeRecords(const std::vector<std::pair<DWORD, std::wstring>>& records) {
    std::vector<BYTE> bytes;
    std::size_t last = 0;
    for (const auto& [action, name] : records) {
        const std::size_t at = bytes.size();
        const std::size_t size = (offsetof(FILE_NOTIFY_INFORMATION, FileName) + name.size() * sizeof(wchar_t) + 3) & ~3u;
        bytes.resize(at + size);
        auto* record = reinterpret_cast<FILE_NOTIFY_INFORMATION*>(bytes.data() + at);
        record->Action = action;
        record->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
        std::copy(name.begin(), name.end(), record->FileName);
        if (at > 0) reinterpret_cast<FILE_NOTIFY_INFORMATION*>(bytes.data() + last)->NextEntryOffset = static_cast<DWORD>(at - last);
        last = at;
    }
    std::vector<DWORD> buffer((bytes.size() + 3) / 4 + 1);
    std::memcpy(buffer.data(), bytes.data(), bytes.size());
    buffer.back() = static_cast<DWORD>(bytes.size());  // the length, read back below
    return buffer;
}

}  // namespace

TEST(WatchSchedule, ChangeRecordsSayWhetherSomethingMayHaveArrived) {
    const struct {
        const char* what;
        std::vector<std::pair<DWORD, std::wstring>> records;
        bool arrived;
    } cases[] = {
        {"a file added", {{FILE_ACTION_ADDED, L"a.jpg"}}, true},
        {"items leaving", {{FILE_ACTION_REMOVED, L"a.jpg"}, {FILE_ACTION_REMOVED, L"b.txt"}}, false},
        {"a rename in full", {{FILE_ACTION_RENAMED_OLD_NAME, L"film.mp4.crdownload"}, {FILE_ACTION_RENAMED_NEW_NAME, L"film.mp4"}}, true},
        {"a rename whose new name came as an empty record of no action",
         {{FILE_ACTION_RENAMED_OLD_NAME, L"film.mp4.crdownload"}, {0, L""}}, true},
        {"a rename with only its old name", {{FILE_ACTION_RENAMED_OLD_NAME, L"film.mp4.crdownload"}}, true},
        {"a removal, then a rename in full",
         {{FILE_ACTION_REMOVED, L"a.jpg"}, {FILE_ACTION_RENAMED_OLD_NAME, L"x"}, {FILE_ACTION_RENAMED_NEW_NAME, L"y"}}, true},
        {"an action not known here", {{FILE_ACTION_REMOVED, L"a.jpg"}, {0, L""}}, true},
    };
    for (const auto& c : cases) {
        std::vector<DWORD> buffer = ChangeRecords(c.records);
        const DWORD bytes = buffer.back();
        std::size_t count = 0;
        std::wstring seen;
        EXPECT_EQ(ChangesMayHaveArrived(buffer.data(), bytes, &count, &seen), c.arrived) << c.what;
        EXPECT_EQ(count, c.records.size()) << c.what;
    }
    // A record that claims more than the buffer holds is read no further.
    std::vector<DWORD> cut = ChangeRecords({{FILE_ACTION_ADDED, L"long name.txt"}});
    reinterpret_cast<FILE_NOTIFY_INFORMATION*>(cut.data())->FileNameLength = 4000;
    std::wstring seen;
    EXPECT_TRUE(ChangesMayHaveArrived(cut.data(), cut.back(), nullptr, &seen));
}
