// Journals and taking runs back, through qz.exe: what each run records, a
// run cut short and then taken back, items changed or in the way since, an
// undo taken back in turn, downloads in progress, and the preview held
// against the journal of the run that follows it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <set>
#include <tuple>

#include "common/Journal.h"
#include "EndToEndFixture.h"
#include "PreviewModel.h"

using namespace ordvale;
using namespace testing_support;

namespace {

// A journal line as the tests compare it: kind, source, destination.
using Line = std::tuple<std::wstring, std::wstring, std::wstring>;

std::set<Line> LinesOf(const RunJournal& journal) {
    std::set<Line> lines;
    for (const JournalEntry& e : journal.entries) lines.emplace(JournalKindWord(e.kind), e.source, e.destination);
    return lines;
}

class UndoRun : public EndToEnd {
protected:
    std::wstring History() const { return HistoryFolderIn(appData); }
    RunJournal LastJournal() const {
        RunJournal journal;
        EXPECT_TRUE(ReadJournalFile(History(), LastRunId(History()), &journal));
        return journal;
    }
    // qz.exe /undo <which>; `drive` answers its windows.
    DWORD Undo(const std::wstring& which, const std::function<void(DWORD)>& drive = nullptr) {
        Program runner(Runner() + L" /undo " + which);
        EXPECT_TRUE(runner.Started());
        if (drive) drive(runner.Id());
        return runner.Wait(120000);
    }
    std::wstring At(const std::wstring& relative) const { return target + L"\\" + relative; }
};

const char kPicturesAndDocuments[] =
    "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>"
    "<Folder displayname=\"Documents\"><Ext t=\".txt\"/></Folder>"
    "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder>";

}  // namespace

// One line per operation, of each kind, with the size and time of what
// arrived; then `qz.exe /undo last` puts every item back where it was, the
// file a replacement set aside too.
TEST_F(UndoRun, EveryKindIsRecordedAndTakenBack) {
    struct Case {
        const char* what;
        int fileConflict, folderConflict;
        std::vector<std::pair<std::wstring, std::string>> files;  // before the run
        std::vector<std::wstring> folders;
        std::set<Line> lines;  // relative paths
        std::vector<std::wstring> lostForGood;
    };
    const Case cases[] = {
        {"move, rename on arrival, merge, folder made", 0, 3,
         {{L"a.jpg", "new a"}, {L"b.jpg", "b"}, {L"notes.txt", "notes"}, {L"Pictures\\a.jpg", "old a"},
          {L"F\\only-here.txt", "here"}, {L"Folders\\F\\only-there.txt", "there"}},
         {L"F", L"Pictures", L"Folders", L"Folders\\F"},
         {{L"Move", L"a.jpg", L"Pictures\\a (2).jpg"},
          {L"Move", L"b.jpg", L"Pictures\\b.jpg"},
          {L"CreateFolder", L"Documents", L""},
          {L"Move", L"notes.txt", L"Documents\\notes.txt"},
          {L"Move", L"F\\only-here.txt", L"Folders\\F\\only-here.txt"},
          {L"RemoveFolder", L"F", L""}},
         {}},
        {"replace", 1, 3,
         {{L"c.jpg", "new c"}, {L"Pictures\\c.jpg", "old c"}},
         {L"Pictures"},
         {{L"CreateFolder", L"Pictures\\~ordvale-replaced", L""},
          {L"SetAside", L"Pictures\\c.jpg", L"Pictures\\~ordvale-replaced\\c.jpg"},
          {L"Replace", L"c.jpg", L"Pictures\\c.jpg"}},
         {}},
    };
    WriteProfile("Type", kPicturesAndDocuments);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RemoveTree(target);
        ASSERT_TRUE(MakeFolder(target));
        for (const std::wstring& folder : c.folders) ASSERT_TRUE(MakeFolder(At(folder)));
        for (const auto& file : c.files) File(At(file.first), file.second);
        auto before = FolderTree(target);
        SetSettings(c.fileConflict, c.folderConflict);
        ASSERT_EQ(RunJob(), 0u);

        const RunJournal journal = LastJournal();
        std::set<Line> expected;
        for (const Line& line : c.lines)
            expected.emplace(std::get<0>(line), At(std::get<1>(line)),
                             std::get<2>(line).empty() ? L"" : At(std::get<2>(line)));
        EXPECT_EQ(LinesOf(journal), expected);
        for (const JournalEntry& e : journal.entries) {
            if (e.destination.empty()) continue;
            uint64_t size = 0, time = 0;
            ReadSizeAndLastWrite(e.destination, &size, &time);
            EXPECT_EQ(e.size, size) << Narrow(e.destination);
            EXPECT_EQ(e.lastWrite, time) << Narrow(e.destination);
            EXPECT_NE(e.lastWrite, 0u);
        }

        // Taken back, with the file settings that would replace: an undo
        // never does.
        ASSERT_EQ(Undo(L"last"), 0u);
        for (const std::wstring& lost : c.lostForGood) before.erase(lost);
        EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(before));
        EXPECT_EQ(LastJournal().undoneRunId, journal.runId) << "the undo is a run with its own journal";
    }
}

// A run killed while it waits on a question half-way through leaves the
// journal of the moves it made; taking it back loses nothing.
TEST_F(UndoRun, ARunKilledHalfWayIsTakenBack) {
    WriteProfile("Type", kPicturesAndDocuments);
    SetSettings(2, 3);  // ask about a name conflict
    ASSERT_TRUE(MakeFolder(At(L"Documents")));
    File(At(L"Documents\\f06.txt"), "standing");
    for (int i = 1; i <= 10; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"f%02d.txt", i);
        File(At(name), "file " + std::to_string(i));
    }
    const auto before = FolderTree(target);
    const std::wstring lastBefore = LastRunId(History());
    {
        Program runner(Runner() + L" /s " + WriteJob());
        ASSERT_TRUE(runner.Started());
        ASSERT_NE(WaitForWindow(runner.Id(), L"Name Conflict"), nullptr);
    }  // killed while the question is up
    WaitForProcessesNamed(L"qz.exe");
    const std::wstring killed = LastRunId(History());
    ASSERT_NE(killed, lastBefore) << "the killed run left a journal";
    RunJournal journal;
    ASSERT_TRUE(ReadJournalFile(History(), killed, &journal));
    EXPECT_GE(journal.entries.size(), 1u);
    EXPECT_LT(journal.entries.size(), 10u);
    for (const JournalEntry& e : journal.entries) EXPECT_TRUE(FileExists(e.destination)) << Narrow(e.destination);

    ASSERT_EQ(Undo(killed), 0u);
    EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(before));
}

// Items changed or removed since the run stay, and the runner lists them;
// an item whose old place is taken comes back beside what stands there.
TEST_F(UndoRun, ChangedRemovedAndTakenPlaces) {
    WriteProfile("Type", kPicturesAndDocuments);
    for (const wchar_t* name : {L"a.jpg", L"b.jpg", L"c.jpg", L"d.txt"}) File(At(name), Narrow(name));
    ASSERT_EQ(RunJob(), 0u);
    File(At(L"Pictures\\a.jpg"), "changed since");
    ASSERT_TRUE(DeleteFileW(At(L"Pictures\\b.jpg").c_str()));
    File(At(L"c.jpg"), "a new c");

    std::wstring report;
    ASSERT_EQ(Undo(L"last", [&](DWORD pid) {
                  HWND box = WaitForMessageBox(pid, 60000);
                  ASSERT_NE(box, nullptr);
                  report = MessageBoxText(box);
                  Click(box, IDOK);
              }),
              0u);
    EXPECT_NE(report.find(At(L"Pictures\\a.jpg") + L": changed since the run"), std::wstring::npos) << Narrow(report);
    EXPECT_NE(report.find(At(L"Pictures\\b.jpg") + L": no longer there"), std::wstring::npos) << Narrow(report);
    const std::map<std::wstring, std::string> expected = {
        {L"Pictures", "<folder>"}, {L"Pictures\\a.jpg", "changed since"}, {L"c.jpg", "a new c"},
        {L"c (2).jpg", "c.jpg"},   {L"d.txt", "d.txt"}};
    EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(expected)) << "Documents, made by the run and empty now, is gone";
}

// An undo is a run like any other: taking it back tidies again.
TEST_F(UndoRun, AnUndoIsTakenBackInTurn) {
    WriteProfile("Type", kPicturesAndDocuments);
    File(At(L"a.jpg"), "a");
    File(At(L"n.txt"), "n");
    ASSERT_EQ(RunJob(), 0u);
    const auto tidied = FolderTree(target);
    const std::wstring tidy = LastRunId(History());
    ASSERT_EQ(Undo(tidy), 0u);
    const std::wstring undo = LastRunId(History());
    EXPECT_TRUE(FileExists(At(L"a.jpg")));
    ASSERT_EQ(Undo(L"last"), 0u);
    EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(tidied));
    RunJournal redo;
    ASSERT_TRUE(ReadJournalFile(History(), LastRunId(History()), &redo));
    EXPECT_EQ(redo.undoneRunId, undo);
}

TEST_F(UndoRun, RunnerRefusesARunThatIsNotThere) {
    struct Case { const wchar_t* which; const wchar_t* mentions; };
    const Case cases[] = {{L"20000101-000000-000", L"no run \"20000101-000000-000\""},
                          {L"..\\settings", L"to take back"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.which));
        std::wstring text;
        EXPECT_NE(Undo(c.which, [&](DWORD pid) {
                      HWND box = WaitForMessageBox(pid);
                      ASSERT_NE(box, nullptr);
                      text = MessageBoxText(box);
                      Click(box, IDOK);
                  }),
                  0u);
        EXPECT_NE(text.find(c.mentions), std::wstring::npos) << Narrow(text);
    }
}

// Under the catch-all for unmatched files, downloads in progress stay
// whatever the settle time; files written a moment ago stay while it lasts.
TEST_F(UndoRun, DownloadsAndFilesBeingWrittenAreLeft) {
    WriteProfile("Type", "<Folder displayname=\"Others\"><Ext ti=\"3\"/></Folder>");
    struct Case {
        const wchar_t* settleSeconds;
        std::vector<std::wstring> moved;
    };
    const Case cases[] = {
        {L"3600", {L"old.txt", L"lonely.tmp"}},
        {L"0", {L"old.txt", L"fresh.docx", L"fresh.docx.tmp", L"lonely.tmp"}},
    };
    const std::vector<std::wstring> all = {L"movie.mp4.crdownload", L"song.PART", L"a.partial", L"b.download",
                                           L"c.opdownload", L"d.!ut", L"e.!qb", L"old.txt",
                                           L"fresh.docx", L"fresh.docx.tmp", L"lonely.tmp"};
    for (const Case& c : cases) {
        SCOPED_TRACE(Narrow(c.settleSeconds));
        RemoveTree(target);
        ASSERT_TRUE(MakeFolder(target));
        for (const std::wstring& name : all) File(At(name), "data");
        // Written long ago, all but "fresh.docx": its ".tmp" is left only
        // for being beside it.
        const uint64_t dayAgo = LastWriteTime(At(L"old.txt")) - 24ull * 3600 * 10000000;
        for (const wchar_t* name : {L"old.txt", L"lonely.tmp", L"fresh.docx.tmp"})
            ASSERT_TRUE(SetLastWriteTime(At(name), dayAgo));
        SetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", c.settleSeconds);
        const DWORD code = RunJob();
        SetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", L"0");
        ASSERT_EQ(code, 0u);
        for (const std::wstring& name : all) {
            const bool moved = std::find(c.moved.begin(), c.moved.end(), name) != c.moved.end();
            EXPECT_EQ(FileExists(At(L"Others\\" + name)), moved) << Narrow(name);
            EXPECT_EQ(FileExists(At(name)), !moved) << Narrow(name);
        }
    }
}

// The preview changes nothing on disk, and its rows are what the run that
// follows records: the same moves to the same names, the same folders made.
TEST_F(UndoRun, PreviewEqualsTheJournalOfTheRun) {
    WriteProfile("Type", std::string(kPicturesAndDocuments) + "<Folder displayname=\"Others\"><Ext ti=\"3\"/></Folder>");
    ASSERT_TRUE(MakeFolder(At(L"Pictures")));
    for (const auto& file : std::vector<std::pair<std::wstring, std::string>>{
             {L"a.jpg", "a"}, {L"Pictures\\a.jpg", "old"}, {L"Pictures\\a (2).jpg", "older"}, {L"b.jpg", "b"},
             {L"notes.txt", "n"}, {L"tool.bin", "t"}, {L"film.crdownload", "f"}})
        File(At(file.first), file.second);
    ASSERT_TRUE(MakeFolder(At(L"Project")));
    const auto before = FolderTree(target);

    OrdvaleSettings settings;
    ASSERT_TRUE(LoadSettings(&settings));
    wizard::PreviewWork work;
    wizard::BuildTidyPreview(job, settings, work);
    EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(before)) << "nothing changes while previewing";

    std::set<Line> previewed;
    std::map<std::wstring, wizard::Arrival> left;
    for (const wizard::PreviewRow& row : work.rows) {
        switch (row.arrival) {
            case wizard::Arrival::Moved: previewed.emplace(L"Move", row.item, row.folder + L"\\" + wizard::RowName(row)); break;
            case wizard::Arrival::Renamed: previewed.emplace(L"Move", row.item, row.folder + L"\\" + row.newName); break;
            case wizard::Arrival::Replaced: previewed.emplace(L"Replace", row.item, row.folder + L"\\" + wizard::RowName(row)); break;
            case wizard::Arrival::FolderMade: previewed.emplace(L"CreateFolder", row.item, L""); break;
            default: left[wizard::RowName(row)] = row.arrival; break;
        }
    }
    EXPECT_EQ(left.size(), 2u);
    EXPECT_EQ(left[L"film.crdownload"], wizard::Arrival::BeingWritten);
    EXPECT_EQ(left[L"Pictures"], wizard::Arrival::ProfileFolder);
    EXPECT_TRUE(previewed.count({L"Move", At(L"a.jpg"), At(L"Pictures\\a (3).jpg")}));

    ASSERT_EQ(RunJob(), 0u);
    EXPECT_EQ(LinesOf(LastJournal()), previewed);
}

// What the preview says happens on arrival follows the conflict settings as
// the engine does: an item meeting one of its kind is renamed, replaced,
// merged or asked about; one meeting the other kind is always renamed.
TEST_F(UndoRun, PreviewFollowsTheConflictSettings) {
    WriteProfile("Type", kPicturesAndDocuments);
    for (const wchar_t* folder : {L"Pictures", L"Folders", L"Folders\\F", L"F", L"G", L"Pictures\\b.jpg"})
        ASSERT_TRUE(MakeFolder(At(folder)));
    for (const wchar_t* file : {L"a.jpg", L"Pictures\\a.jpg", L"b.jpg", L"F\\in.txt", L"Folders\\G"}) File(At(file));
    struct Case {
        int fileConflict, folderConflict;
        wizard::Arrival a, b, f, g;  // a.jpg meets a file, b.jpg a folder, F a folder, G a file
    };
    using A = wizard::Arrival;
    const Case cases[] = {
        {0, 3, A::Renamed, A::Renamed, A::Merged, A::Renamed},
        {1, 0, A::Replaced, A::Renamed, A::Renamed, A::Renamed},
        {2, 2, A::Asked, A::Renamed, A::Asked, A::Renamed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.fileConflict) + "/" + std::to_string(c.folderConflict));
        SetSettings(c.fileConflict, c.folderConflict);
        OrdvaleSettings settings;
        ASSERT_TRUE(LoadSettings(&settings));
        wizard::PreviewWork work;
        wizard::BuildTidyPreview(job, settings, work);
        std::map<std::wstring, wizard::Arrival> arrivals;
        for (const wizard::PreviewRow& row : work.rows) arrivals[wizard::RowName(row)] = row.arrival;
        EXPECT_EQ(arrivals[L"a.jpg"], c.a);
        EXPECT_EQ(arrivals[L"b.jpg"], c.b);
        EXPECT_EQ(arrivals[L"F"], c.f);
        EXPECT_EQ(arrivals[L"G"], c.g);
    }
}

// Two same-named files of one selection under Overwrite: the first replaces
// what stood there before the run, the second keeps both. The preview says
// so, the run does so, and taking the run back restores everything, the
// replaced file too.
TEST_F(UndoRun, PreviewAndRunAgreeOnItemsOfOneRun) {
    WriteProfile("Type", kPicturesAndDocuments);
    const std::wstring tidy = dir / L"Tidy";
    for (const wchar_t* folder : {L"a", L"b"}) ASSERT_TRUE(MakeFolder(At(folder)));
    ASSERT_TRUE(MakeFolder(tidy));
    ASSERT_TRUE(MakeFolder(tidy + L"\\Pictures"));
    File(At(L"a\\x.jpg"), "a");
    File(At(L"b\\x.jpg"), "b");
    File(tidy + L"\\Pictures\\x.jpg", "old");
    job.target = static_cast<int32_t>(TidyTarget::Selection);
    AddItem(&job, At(L"a\\x.jpg").c_str());
    AddItem(&job, At(L"b\\x.jpg").c_str());
    StoreText(job.destination, tidy + L"\\");
    SetSettings(1, 3);
    const auto targetBefore = FolderTree(target);
    const auto tidyBefore = FolderTree(tidy);

    OrdvaleSettings settings;
    ASSERT_TRUE(LoadSettings(&settings));
    wizard::PreviewWork work;
    wizard::BuildTidyPreview(job, settings, work);
    std::set<Line> previewed;
    for (const wizard::PreviewRow& row : work.rows) {
        if (row.arrival == wizard::Arrival::Replaced)
            previewed.emplace(L"Replace", row.item, row.folder + L"\\" + wizard::RowName(row));
        if (row.arrival == wizard::Arrival::Renamed) previewed.emplace(L"Move", row.item, row.folder + L"\\" + row.newName);
    }
    const std::wstring pictures = tidy + L"\\Pictures";
    EXPECT_EQ(previewed, (std::set<Line>{{L"Replace", At(L"a\\x.jpg"), pictures + L"\\x.jpg"},
                                         {L"Move", At(L"b\\x.jpg"), pictures + L"\\x (2).jpg"}}));

    ASSERT_EQ(RunJob(), 0u);
    std::set<Line> moves;
    for (const Line& line : LinesOf(LastJournal()))
        if (std::get<0>(line) == L"Move" || std::get<0>(line) == L"Replace") moves.insert(line);
    EXPECT_EQ(moves, previewed);
    EXPECT_EQ(ReadUtf8(pictures + L"\\x.jpg"), "a");
    EXPECT_EQ(ReadUtf8(pictures + L"\\x (2).jpg"), "b");

    ASSERT_EQ(Undo(L"last"), 0u);
    EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(targetBefore));
    EXPECT_EQ(ShowTree(FolderTree(tidy)), ShowTree(tidyBefore));
}
