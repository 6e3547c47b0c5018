// Planning to take a run back from its journal, against small folders on
// disk: what goes back and under which name, what cannot and why, which
// folders go and come back.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "common/FreeName.h"
#include "common/PathText.h"
#include "common/PlannedNames.h"
#include "common/UndoPlan.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

constexpr uint64_t kTime = 133000000000000000ull;

// A desktop-like folder with the journal of a run recorded as the engine
// records it: the entry's size and time read from disk after the move.
class UndoFixture : public ::testing::Test {
protected:
    std::wstring At(const std::wstring& relative) const { return dir / relative; }

    // A file at `from`, moved to `to` as the run would, and its line.
    void Moved(const std::wstring& from, const std::wstring& to, const char* content = "sample",
               JournalKind kind = JournalKind::Move) {
        ASSERT_TRUE(WriteText(At(to), content));
        ASSERT_TRUE(SetLastWriteTime(At(to), kTime));
        Record(kind, At(from), At(to));
    }
    void MadeFolder(const std::wstring& folder) {
        ASSERT_TRUE(MakeFolder(At(folder)));
        Record(JournalKind::CreateFolder, At(folder), L"");
    }
    void Record(JournalKind kind, const std::wstring& source, const std::wstring& destination) {
        JournalEntry e;
        e.kind = kind;
        e.source = source;
        e.destination = destination;
        ReadSizeAndLastWrite(destination.empty() ? source : destination, &e.size, &e.lastWrite);
        if (kind == JournalKind::Delete || kind == JournalKind::RemoveFolder) e.size = e.lastWrite = 0;
        journal.entries.push_back(e);
    }

    // Steps as "Action from -> arrival" with the folder's path left out.
    std::vector<std::wstring> Steps(const UndoPlan& plan) const {
        std::vector<std::wstring> out;
        for (const UndoStep& s : plan.steps) {
            std::wstring text;
            switch (s.action) {
                case UndoAction::MoveBack: text = L"MoveBack " + Short(s.from) + L" -> " + Short(s.arrival); break;
                case UndoAction::DeleteCopy: text = L"DeleteCopy " + Short(s.from); break;
                case UndoAction::CreateFolder: text = L"CreateFolder " + Short(s.from); break;
                case UndoAction::RemoveFolder:
                    text = L"RemoveFolder " + Short(s.from) + (s.willEmpty ? L"" : L" (kept)");
                    break;
            }
            out.push_back(text);
        }
        return out;
    }
    std::vector<std::wstring> Left(const UndoPlan& plan) const {
        static const wchar_t* const kReasons[] = {L"missing", L"changed", L"recycled", L"no folder"};
        std::vector<std::wstring> out;
        for (const UndoLeftItem& l : plan.left)
            out.push_back(Short(l.path) + L" " + kReasons[static_cast<int>(l.reason)]);
        return out;
    }
    std::wstring Short(const std::wstring& path) const {
        return path.compare(0, dir.Path().size() + 1, dir.Path() + L"\\") == 0 ? path.substr(dir.Path().size() + 1)
                                                                              : path;
    }

    TempDir dir;
    RunJournal journal;
};

using Lines = std::vector<std::wstring>;

}  // namespace

TEST(FreeName, NumberedForms) {
    struct Case {
        const wchar_t* name;
        bool folder;
        int n;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"a.jpg", false, 2, L"a (2).jpg"},     {L"a.tar.gz", false, 3, L"a.tar (3).gz"},
        {L"README", false, 2, L"README (2)"},   {L".profile", false, 2, L".profile (2)"},
        {L"my.folder", true, 2, L"my.folder (2)"}, {L"a.", false, 2, L"a (2)."},
    };
    for (const Case& c : cases) EXPECT_EQ(NumberedName(c.name, c.folder, c.n), c.expected) << Narrow(c.name);
}

// Names planned to arrive take their place before anything moves; names
// planned to leave free theirs; the disk is listed once per folder.
TEST(PlannedNames, PlannedArrivalsAndDeparturesCount) {
    TempDir dir;
    ASSERT_TRUE(WriteText(dir / L"a.jpg", ""));
    ASSERT_TRUE(WriteText(dir / L"a (2).jpg", ""));
    ASSERT_TRUE(MakeFolder(dir / L"F"));
    PlannedNames names;
    EXPECT_EQ(names.FreeNameIn(dir.Path(), L"b.jpg", false), L"b.jpg");
    EXPECT_EQ(names.FreeNameIn(dir.Path(), L"A.JPG", false), L"A (3).JPG") << "letter case aside";
    names.Arrive(dir / L"a (3).jpg", false);
    EXPECT_EQ(names.FreeNameIn(dir.Path(), L"a.jpg", false), L"a (4).jpg");
    names.Leave(dir / L"a (2).jpg");
    EXPECT_EQ(names.FreeNameIn(dir.Path(), L"a.jpg", false), L"a (2).jpg");
    EXPECT_TRUE(names.IsFolder(dir / L"f"));
    EXPECT_EQ(names.FreeNameIn(dir.Path(), L"F", true), L"F (2)");
    ASSERT_TRUE(WriteText(dir / L"b.jpg", "")) << "appears after the listing";
    EXPECT_FALSE(names.Taken(dir / L"b.jpg")) << "the folder is listed once";
    EXPECT_TRUE(names.Empty(dir / L"F"));
    names.Arrive(dir / L"F\\x", false);
    EXPECT_FALSE(names.Empty(dir / L"F"));
    EXPECT_TRUE(names.Empty(dir / L"Missing"));
}

// The typical run taken back: each item goes back under its name, the
// folders the run made go once they are empty.
TEST_F(UndoFixture, EverythingGoesBackAndMadeFoldersGo) {
    MadeFolder(L"Pictures");
    Moved(L"a.jpg", L"Pictures\\a.jpg");
    MadeFolder(L"Documents");
    Moved(L"b.txt", L"Documents\\b.txt");
    Moved(L"c.jpg", L"Pictures\\c.jpg");
    const UndoPlan plan = PlanUndo(journal);
    EXPECT_EQ(Steps(plan), (Lines{L"MoveBack Pictures\\c.jpg -> c.jpg", L"MoveBack Documents\\b.txt -> b.txt",
                                  L"RemoveFolder Documents", L"MoveBack Pictures\\a.jpg -> a.jpg",
                                  L"RemoveFolder Pictures"}));
    EXPECT_TRUE(plan.left.empty());
    EXPECT_EQ(ItemsMovedBack(plan), 3u);
}

// What cannot go back, and why; what can still goes, and a made folder
// that will not be empty stays.
TEST_F(UndoFixture, ChangedMissingAndRecycledItemsStay) {
    MadeFolder(L"Pictures");
    Moved(L"grown.jpg", L"Pictures\\grown.jpg");
    Moved(L"touched.jpg", L"Pictures\\touched.jpg");
    Moved(L"gone.jpg", L"Pictures\\gone.jpg");
    Moved(L"fine.jpg", L"Pictures\\fine.jpg");
    Record(JournalKind::Delete, At(L"old.txt"), L"");
    ASSERT_TRUE(WriteText(At(L"Pictures\\grown.jpg"), "sample and more"));
    ASSERT_TRUE(SetLastWriteTime(At(L"Pictures\\grown.jpg"), kTime));
    ASSERT_TRUE(SetLastWriteTime(At(L"Pictures\\touched.jpg"), kTime + 10000000));
    ASSERT_TRUE(DeleteFileW(At(L"Pictures\\gone.jpg").c_str()));
    const UndoPlan plan = PlanUndo(journal);
    EXPECT_EQ(Steps(plan), (Lines{L"MoveBack Pictures\\fine.jpg -> fine.jpg", L"RemoveFolder Pictures (kept)"}));
    EXPECT_EQ(Left(plan), (Lines{L"old.txt recycled", L"Pictures\\gone.jpg missing", L"Pictures\\touched.jpg changed",
                                 L"Pictures\\grown.jpg changed"}));
}

// An original place taken since is never overwritten: the item comes back
// beside what stands there, under the first free numbered name, and two
// items bound for the same name get two names.
TEST_F(UndoFixture, TakenPlacesKeepBoth) {
    ASSERT_TRUE(MakeFolder(At(L"P")));
    ASSERT_TRUE(MakeFolder(At(L"Q")));
    Moved(L"a.jpg", L"P\\a.jpg");
    Moved(L"b.jpg", L"P\\b (2).jpg");  // it had arrived beside another b.jpg
    Moved(L"Sub\\a.jpg", L"Q\\a.jpg");
    ASSERT_TRUE(WriteText(At(L"a.jpg"), "new"));
    ASSERT_TRUE(WriteText(At(L"a (2).jpg"), "new"));
    const UndoPlan plan = PlanUndo(journal);
    EXPECT_EQ(Steps(plan), (Lines{L"CreateFolder Sub", L"MoveBack Q\\a.jpg -> Sub\\a.jpg",
                                  L"MoveBack P\\b (2).jpg -> b.jpg", L"MoveBack P\\a.jpg -> a (3).jpg"}));
    EXPECT_TRUE(plan.left.empty());
}

// A folder that was merged into one of the same name: its items went one
// by one and the emptied folder was removed. Back, the folder is made
// again first. A file now where an item's folder was keeps the item out.
TEST_F(UndoFixture, MergedFolderComesBackWhole) {
    ASSERT_TRUE(MakeFolder(At(L"Folders")));
    ASSERT_TRUE(MakeFolder(At(L"Folders\\X")));
    Moved(L"X\\one.txt", L"Folders\\X\\one.txt");
    Moved(L"X\\two.txt", L"Folders\\X\\two.txt", "sample", JournalKind::Replace);
    Record(JournalKind::RemoveFolder, At(L"X"), L"");
    Moved(L"Y\\three.txt", L"Folders\\three.txt");
    ASSERT_TRUE(WriteText(At(L"Y"), "a file where the folder was"));
    const UndoPlan plan = PlanUndo(journal);
    EXPECT_EQ(Steps(plan), (Lines{L"CreateFolder X", L"MoveBack Folders\\X\\two.txt -> X\\two.txt",
                                  L"MoveBack Folders\\X\\one.txt -> X\\one.txt"}));
    EXPECT_EQ(Left(plan), (Lines{L"Folders\\three.txt no folder"}));
    ASSERT_EQ(plan.steps.size(), 3u);
    EXPECT_TRUE(plan.steps[1].replaced);
    EXPECT_FALSE(plan.steps[2].replaced);
}

// Undoing an undo: the undo's journal holds the moves back and the removal
// of the folders the tidy made; taking it back makes the folders again and
// moves everything where the tidy had put it.
TEST_F(UndoFixture, AnUndoIsTakenBackLikeAnyRun) {
    MadeFolder(L"Pictures");
    Moved(L"a.jpg", L"Pictures\\a.jpg");
    const UndoPlan undo = PlanUndo(journal);
    ASSERT_EQ(Steps(undo), (Lines{L"MoveBack Pictures\\a.jpg -> a.jpg", L"RemoveFolder Pictures"}));

    // The undo as the engine carries it out and records it.
    journal.entries.clear();
    ASSERT_TRUE(MoveFileW(At(L"Pictures\\a.jpg").c_str(), At(L"a.jpg").c_str()));
    Record(JournalKind::Move, At(L"Pictures\\a.jpg"), At(L"a.jpg"));
    ASSERT_TRUE(RemoveDirectoryW(At(L"Pictures").c_str()));
    Record(JournalKind::RemoveFolder, At(L"Pictures"), L"");

    const UndoPlan redo = PlanUndo(journal);
    EXPECT_EQ(Steps(redo), (Lines{L"CreateFolder Pictures", L"MoveBack a.jpg -> Pictures\\a.jpg"}));
    EXPECT_TRUE(redo.left.empty());
}

// A copy is taken back by sending it to the recycle bin (unless changed);
// a rename is taken back by renaming.
TEST_F(UndoFixture, CopiesAndRenames) {
    ASSERT_TRUE(WriteText(At(L"a.txt"), "sample"));
    Moved(L"a.txt", L"copy of a.txt", "sample", JournalKind::Copy);
    Moved(L"old name.txt", L"new name.txt", "sample", JournalKind::Rename);
    const UndoPlan plan = PlanUndo(journal);
    EXPECT_EQ(Steps(plan), (Lines{L"MoveBack new name.txt -> old name.txt", L"DeleteCopy copy of a.txt"}));
}

// A run that ended in the middle of copying a.txt to another volume: which
// of the files beside where it was to arrive are its copy's temporary files.
// The copy tries "a.txt.ordvale-partial", then "a.txt.1.ordvale-partial" up
// to ".19", and under a numbered name when a.txt was taken. All of them are
// written since the run began.
TEST_F(UndoFixture, TemporaryFilesAreKnownByTheNamesTheirItemArrivesUnder) {
    const std::wstring root = L"Z:\\dev\\shm";
    const DWORD attributes = GetFileAttributesW(root.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        GTEST_SKIP() << "no second file system at hand (Z:\\dev\\shm)";
    const std::wstring other = root + L"\\ordvale-undoplan-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                               std::to_wstring(GetTickCount());
    ASSERT_TRUE(MakeFolder(other));
    struct Row {
        const wchar_t* name;
        bool taken;
    } rows[] = {
        {L"a.txt.ordvale-partial", true},
        {L"a.txt.1.ordvale-partial", true},
        {L"a.txt.19.ordvale-partial", true},
        {L"a (2).txt.ordvale-partial", true},
        {L"a (13).txt.4.ordvale-partial", true},
        {L"a.txt.20.ordvale-partial", false},
        {L"a.txt.01.ordvale-partial", false},
        {L"a.txt.x.ordvale-partial", false},
        {L"a (1).txt.ordvale-partial", false},
        {L"a (02).txt.ordvale-partial", false},
        {L"a(2).txt.ordvale-partial", false},
        {L"a (2) (2).txt.ordvale-partial", false},
        {L"a.txt (2).ordvale-partial", false},
        {L"b.txt.ordvale-partial", false},
        {L"xa.txt.ordvale-partial", false},
        {L"a (2).txt", false},
        {L"a.txt.ordvale-partial.bak", false},
    };
    ASSERT_TRUE(WriteText(At(L"a.txt"), std::string(300, 'a')));
    // The run began a second ago.
    journal.runId = RunIdSecondsAgo(1);
    JournalEntry planned;
    planned.kind = JournalKind::Move;
    planned.source = At(L"a.txt");
    planned.destination = other + L"\\a.txt";
    ReadSizeAndLastWrite(planned.source, &planned.size, &planned.lastWrite);
    journal.planned.push_back(planned);
    journal.plannedDone.push_back(false);
    std::vector<std::wstring> expected;
    for (const Row& row : rows) {
        ASSERT_TRUE(WriteText(other + L"\\" + row.name, "part"));
        if (row.taken) expected.push_back(row.name);
    }
    // Not the copy's: a folder of such a name, and a file larger than a.txt.
    ASSERT_TRUE(MakeFolder(other + L"\\a (3).txt.ordvale-partial"));
    ASSERT_TRUE(WriteText(other + L"\\a (4).txt.ordvale-partial", std::string(301, 'a')));

    const UndoPlan plan = PlanUndo(journal);
    std::vector<std::wstring> found;
    for (const UndoPartial& partial : plan.partials) found.push_back(path::LastComponent(partial.path));
    std::sort(found.begin(), found.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(plan.steps.empty());
    RemoveTree(other);
}

// The folders an undo holds: where what the run moved or renamed was, the
// moves it planned but had not recorded when it ended included, and a folder
// tidy's own folder, each once whatever its spelling.
TEST(FoldersTakenBack, WhereItemsGoBack) {
    auto entry = [](JournalKind kind, const wchar_t* source, const wchar_t* destination) {
        JournalEntry e;
        e.kind = kind;
        e.source = source;
        e.destination = destination;
        return e;
    };
    RunJournal journal;
    journal.run.folder = L"C:\\In";
    journal.entries = {entry(JournalKind::CreateFolder, L"C:\\Out\\Pictures", L""),
                       entry(JournalKind::Move, L"c:\\in\\a.jpg", L"C:\\Out\\Pictures\\a.jpg"),
                       entry(JournalKind::Replace, L"C:\\Else\\b.jpg", L"C:\\Out\\Pictures\\b.jpg"),
                       entry(JournalKind::Copy, L"C:\\Copied\\c.jpg", L"C:\\Out\\c.jpg"),
                       entry(JournalKind::Rename, L"C:\\Renamed\\d.jpg", L"C:\\Renamed\\e.jpg")};
    journal.planned = {entry(JournalKind::Move, L"C:\\Planned\\Sub\\", L"C:\\Out\\Sub")};
    EXPECT_EQ(FoldersTakenBackInto(journal),
              (std::vector<std::wstring>{L"C:\\In", L"C:\\Else", L"C:\\Renamed", L"C:\\Planned"}));
    journal.run.folder.clear();
    journal.planned.clear();
    EXPECT_EQ(FoldersTakenBackInto(journal), (std::vector<std::wstring>{L"c:\\in", L"C:\\Else", L"C:\\Renamed"}));
}
