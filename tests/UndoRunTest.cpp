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
    static void WaitUntilGone(HWND box) {
        for (int i = 0; i < 300 && IsWindow(box) && IsWindowVisible(box); ++i) Sleep(20);
    }
    // qz.exe /undo last: the question naming the run is answered with
    // `answer` (its text kept in `question`), then `drive` answers the rest.
    DWORD UndoLast(int answer = IDYES, std::wstring* question = nullptr,
                   const std::function<void(DWORD)>& drive = nullptr) {
        return Undo(L"last", [&](DWORD pid) {
            HWND box = WaitForMessageBox(pid, 60000);
            ASSERT_NE(box, nullptr) << "the run to take back is named first";
            if (question) *question = MessageBoxText(box);
            Click(box, answer);
            WaitUntilGone(box);
            if (drive) drive(pid);
        });
    }
    // Runs a job file as it stands (the runner keeps it when no run took
    // place); every message box is answered with OK, its text kept.
    DWORD RunJobAnsweringBoxes(std::vector<std::wstring>* texts, const std::wstring& command) {
        Program runner(Runner() + command);
        EXPECT_TRUE(runner.Started());
        for (;;) {
            const DWORD code = runner.Wait(200);
            if (code != STILL_ACTIVE) return code;
            if (HWND box = WaitForMessageBox(runner.Id(), 300)) {
                Sleep(100);
                if (texts) texts->push_back(MessageBoxText(box));
                Click(box, IDOK);
                WaitUntilGone(box);
            }
        }
    }
    // The History folder is made impossible to write: a file stands where it
    // would be, for as long as the scope lasts (the journals are kept aside).
    struct HistoryBlocked {
        explicit HistoryBlocked(const std::wstring& history) : history_(history), aside_(history + L".aside") {
            MoveFileW(history_.c_str(), aside_.c_str());
            EXPECT_TRUE(WriteText(history_, "not a folder"));
        }
        ~HistoryBlocked() {
            DeleteFileW(history_.c_str());
            MoveFileW(aside_.c_str(), history_.c_str());
        }
        std::wstring history_, aside_;
    };
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
        ASSERT_EQ(UndoLast(), 0u);
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
    ASSERT_EQ(UndoLast(IDYES, nullptr,
                       [&](DWORD pid) {
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
    ASSERT_EQ(UndoLast(), 0u);
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

// A run whose journal cannot be written asks before anything moves (No by
// default); "undo last" then names the run it would take back, which is the
// last one that kept a journal, and does nothing when told No.
TEST_F(UndoRun, ARunWithoutJournalAsksAndUndoLastNamesItsRun) {
    WriteProfile("Type", kPicturesAndDocuments);
    File(At(L"a.jpg"), "a");
    ASSERT_EQ(RunJob(), 0u);
    const std::wstring kept = LastRunId(History());
    File(At(L"b.jpg"), "b");
    {
        HistoryBlocked blocked(History());
        for (const int answer : {IDNO, IDYES}) {
            std::wstring question;
            UINT type = 0;
            const std::wstring name = WriteJob();
            Program runner(Runner() + L" /s " + name);
            ASSERT_TRUE(runner.Started());
            HWND box = WaitForMessageBox(runner.Id(), 60000);
            ASSERT_NE(box, nullptr) << "asked before anything moves";
            question = MessageBoxText(box);
            EXPECT_TRUE(FileExists(At(L"b.jpg"))) << "nothing moved while it asks";
            type = static_cast<UINT>(GetWindowLongPtrW(GetDlgItem(box, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON);
            Click(box, answer);
            EXPECT_EQ(runner.Wait(60000), 0u);
            EXPECT_NE(question.find(L"This tidy could not be taken back later. Tidy anyway?"), std::wstring::npos)
                << Narrow(question);
            EXPECT_EQ(type, static_cast<UINT>(BS_DEFPUSHBUTTON)) << "No is the default";
            EXPECT_EQ(FileExists(At(L"Pictures\\b.jpg")), answer == IDYES);
        }
    }
    EXPECT_EQ(LastRunId(History()), kept) << "the run without a journal left none";

    std::wstring question;
    ASSERT_EQ(UndoLast(IDNO, &question), 0u);
    EXPECT_NE(question.find(RunIdToLocalText(kept)), std::wstring::npos) << Narrow(question);
    EXPECT_NE(question.find(L"the folder " + target), std::wstring::npos) << Narrow(question);
    EXPECT_NE(question.find(L"(1 item)"), std::wstring::npos) << Narrow(question);
    EXPECT_TRUE(FileExists(At(L"Pictures\\a.jpg"))) << "told No, the undo does nothing";
    ASSERT_EQ(UndoLast(IDYES), 0u);
    EXPECT_TRUE(FileExists(At(L"a.jpg")));
    EXPECT_TRUE(FileExists(At(L"Pictures\\b.jpg"))) << "the run without a journal is not taken back";
}

// The runner killed before its operation K, for every K of a run that
// makes folders, moves files, keeps a file beside a same-named one and
// moves a folder: taking the killed run back restores the tree whole, even
// where the completions were still kept back when it died.
TEST_F(UndoRun, ARunKilledAtAnyOperationIsTakenBackWhole) {
    WriteProfile("Type", kPicturesAndDocuments);
    const std::vector<std::pair<std::wstring, std::string>> files = {
        {L"Pictures\\a.jpg", "old a"}, {L"a.jpg", "new a"}, {L"b.jpg", "b"},
        {L"c.txt", "c"},               {L"d.txt", "d"},     {L"F\\inside.bin", "i"}};
    // Documents and Folders made; a, b, c, d and F moved: seven operations
    // or so, until a run ends before its kill.
    bool ended = false;
    for (int k = 0; k < 12 && !ended; ++k) {
        SCOPED_TRACE("killed before operation " + std::to_string(k));
        RemoveTree(target);
        ASSERT_TRUE(MakeFolder(target));
        ASSERT_TRUE(MakeFolder(At(L"Pictures")));
        ASSERT_TRUE(MakeFolder(At(L"F")));
        for (const auto& f : files) File(At(f.first), f.second);
        const auto before = FolderTree(target);
        const std::wstring lastBefore = LastRunId(History());
        SetEnvironmentVariableW(L"ORDVALE_KILL_AT_OPERATION", std::to_wstring(k).c_str());
        const std::wstring name = WriteJob();
        DWORD code = 0;
        {
            Program runner(Runner() + L" /s " + name);
            ASSERT_TRUE(runner.Started());
            code = runner.Wait(120000);
        }
        SetEnvironmentVariableW(L"ORDVALE_KILL_AT_OPERATION", nullptr);
        DeleteFileW(JobFileIn(appData, name).c_str());
        ended = code == 0;
        if (!ended) {
            ASSERT_EQ(code, 75u) << "killed";
        }
        const std::wstring killed = LastRunId(History());
        if (k == 0) {
            EXPECT_NE(killed, lastBefore) << "the plan stands before the first operation";
        }
        if (killed == lastBefore) continue;
        std::vector<std::wstring> boxes;
        EXPECT_EQ(RunJobAnsweringBoxes(&boxes, L" /undo " + killed), 0u);
        EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(before)) << ReadUtf8(JournalFileIn(History(), killed));
        for (const std::wstring& text : boxes)
            EXPECT_EQ(text.find(L"not taken back:"), std::wstring::npos) << Narrow(text);
    }
    EXPECT_TRUE(ended);
}

// An undo job names its run: one that is no run id is refused by the engine
// too, as are a journal that is not there and one larger than any run
// writes; lines that name no place a run writes (a copy, a step up) are
// skipped and listed, and the rest of the run is taken back.
TEST_F(UndoRun, UndoInputsAreChecked) {
    struct Refused {
        std::wstring runId;
        const wchar_t* says;
    };
    const std::wstring huge = L"29990101-000000-001";
    MakeFolder(History());
    {
        win::UniqueHandle file(CreateFileW(JournalFileIn(History(), huge).c_str(), GENERIC_WRITE, 0, nullptr,
                                           CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file.Valid());
        LARGE_INTEGER end;
        end.QuadPart = static_cast<LONGLONG>(kMaxJournalBytes) + 1;
        ASSERT_TRUE(SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.Get()));
    }
    const Refused refused[] = {
        {L"..\\..\\users\\Public\\x", L"not the name of a run"},
        {L"20000101-000000-000", L"is not there"},
        {huge, L"larger than any run writes"},
    };
    for (const Refused& r : refused) {
        SCOPED_TRACE(Narrow(r.runId));
        MakeUndoJob(&job, r.runId);
        const std::wstring name = WriteJob();
        std::vector<std::wstring> boxes;
        EXPECT_EQ(RunJobAnsweringBoxes(&boxes, L" /s " + name), 1u) << "no run took place";
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_NE(boxes[0].find(r.says), std::wstring::npos) << Narrow(boxes[0]);
        DeleteFileW(JobFileIn(appData, name).c_str());
    }
    // The runner itself refuses the huge journal with a message.
    std::vector<std::wstring> boxes;
    EXPECT_EQ(RunJobAnsweringBoxes(&boxes, L" /undo " + huge), 1u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(L"larger than any run writes"), std::wstring::npos) << Narrow(boxes[0]);
    DeleteFileW(JournalFileIn(History(), huge).c_str());

    // A journal written by someone else.
    File(At(L"copy.txt"), "a copy the run never made");
    ASSERT_TRUE(MakeFolder(At(L"Pictures")));
    File(At(L"Pictures\\a.jpg"), "a");
    ASSERT_TRUE(MakeFolder(target + L"\\..\\Outside"));
    File(target + L"\\..\\Outside\\victim.txt", "outside");
    auto line = [](const std::string& kind, const std::wstring& from, const std::wstring& to, const std::wstring& at) {
        uint64_t size = 0, time = 0;
        ReadSizeAndLastWrite(at, &size, &time);
        return kind + "\t" + EncodeJournalText(from) + "\t" + EncodeJournalText(to) + "\t" + std::to_string(size) +
               "\t" + std::to_string(time) + "\n";
    };
    const std::wstring forged = L"29990101-000000-002";
    ASSERT_TRUE(WriteText(JournalFileIn(History(), forged),
                          "Ordvale journal\t1\n" + line("Copy", At(L"x.txt"), At(L"copy.txt"), At(L"copy.txt")) +
                              line("Move", At(L"Outside.txt"), target + L"\\..\\Outside\\victim.txt",
                                   target + L"\\..\\Outside\\victim.txt") +
                              line("Move", At(L"a.jpg"), At(L"Pictures\\a.jpg"), At(L"Pictures\\a.jpg"))));
    boxes.clear();
    EXPECT_EQ(RunJobAnsweringBoxes(&boxes, L" /undo " + forged), 0u);
    EXPECT_TRUE(FileExists(At(L"copy.txt"))) << "a copy line deletes nothing";
    EXPECT_TRUE(FileExists(target + L"\\..\\Outside\\victim.txt")) << "a step up moves nothing";
    EXPECT_TRUE(FileExists(At(L"a.jpg"))) << "the good line is taken back";
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(L"journal were not used"), std::wstring::npos) << Narrow(boxes[0]);
    EXPECT_NE(boxes[0].find(L"Copy " + At(L"x.txt")), std::wstring::npos) << Narrow(boxes[0]);
    EXPECT_NE(boxes[0].find(L"victim.txt"), std::wstring::npos) << Narrow(boxes[0]);
    RemoveTree(target + L"\\..\\Outside");
    DeleteFileW(JournalFileIn(History(), forged).c_str());
}

// An undo that finds nothing to take back says so; one whose items fail is
// not "finished" in silence: they are listed at its end. Folders the shell
// made on the way to a destination are journalled and go with the undo.
TEST_F(UndoRun, EmptyAndFailedUndosSaySoAndMadeParentsGo) {
    WriteProfile("Type", kPicturesAndDocuments);
    File(At(L"a.jpg"), "a");
    File(At(L"b.jpg"), "b");
    StoreText(job.destination, At(L"New\\Deeper"));
    const auto before = FolderTree(target);
    ASSERT_EQ(RunJob(), 0u);
    const std::wstring run = LastRunId(History());
    ASSERT_TRUE(FileExists(At(L"New\\Deeper\\Pictures\\a.jpg")));

    // b.jpg is held open: it cannot go back, and the user gives up on it.
    std::wstring report;
    {
        win::UniqueHandle held(CreateFileW(At(L"New\\Deeper\\Pictures\\b.jpg").c_str(), GENERIC_READ, 0,
                                           nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held.Valid());
        EXPECT_EQ(Undo(run, [&](DWORD pid) {
                      HWND uncompleted = WaitForWindow(pid, L"Uncompleted Operations", 60000);
                      ASSERT_NE(uncompleted, nullptr);
                      Click(uncompleted, IDCANCEL);
                      HWND sure = WaitForMessageBox(pid);
                      ASSERT_NE(sure, nullptr);
                      Click(sure, IDYES);
                      WaitUntilGone(sure);
                      HWND box = WaitForMessageBox(pid, 60000);
                      ASSERT_NE(box, nullptr);
                      Sleep(100);
                      report = MessageBoxText(box);
                      Click(box, IDOK);
                  }),
                  0u);
    }
    EXPECT_NE(report.find(At(L"New\\Deeper\\Pictures\\b.jpg") + L": could not be moved back"), std::wstring::npos)
        << Narrow(report);
    EXPECT_EQ(report.find(L"a.jpg"), std::wstring::npos) << Narrow(report);
    EXPECT_TRUE(FileExists(At(L"a.jpg")));

    // Taken back again, the rest goes, and with it every folder the run made.
    std::vector<std::wstring> boxes;
    EXPECT_EQ(RunJobAnsweringBoxes(&boxes, L" /undo " + run), 0u);
    EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(before)) << "New and New\\Deeper were made by the run";

    // Nothing left to take back.
    boxes.clear();
    EXPECT_EQ(RunJobAnsweringBoxes(&boxes, L" /undo " + run), 0u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind(L"There was nothing to take back.", 0), 0u) << Narrow(boxes[0]);
}

// A run that died in the middle of a copy to another volume left nothing
// to take back but the copy's temporary file: its undo deletes it and ends
// as an undo that took everything back, not saying there was nothing to
// take back. A temporary file it cannot delete (held open) stays, and is
// listed at its end.
TEST_F(UndoRun, AnUndoThatOnlyDeletesACopysTemporaryFileSaysItIsDone) {
    const std::wstring other =
        L"Z:\\dev\\shm\\ordvale-undo-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
        std::to_wstring(GetTickCount());
    if (!MakeFolder(other)) GTEST_SKIP() << "no second file system at hand (Z:\\dev\\shm)";
    File(At(L"big.bin"), std::string(300000, 'b'));
    uint64_t size = 0, lastWrite = 0;
    ReadSizeAndLastWrite(At(L"big.bin"), &size, &lastWrite);
    const std::wstring partial = other + L"\\big.bin.ordvale-partial";
    for (bool held : {false, true}) {
        SCOPED_TRACE(held ? "held open" : "free");
        // The run began a minute or two ago.
        const std::wstring run = RunIdSecondsAgo(held ? 60 : 120);
        ASSERT_TRUE(MakeFolder(History()));
        ASSERT_TRUE(WriteText(JournalFileIn(History(), run),
                              "Ordvale journal\t1\nPlanned\tMove\t" + EncodeJournalText(At(L"big.bin")) + "\t" +
                                  EncodeJournalText(other + L"\\big.bin") + "\t" + std::to_string(size) + "\t" +
                                  std::to_string(lastWrite) + "\n"));
        File(partial, std::string(100000, 'b'));
        win::UniqueHandle holder;
        if (held) {
            holder.Reset(
                CreateFileW(partial.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(holder.Valid());
        }
        std::vector<std::wstring> boxes;
        EXPECT_EQ(RunJobAnsweringBoxes(&boxes, L" /undo " + run), 0u);
        holder.Reset();
        if (held) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].rfind(L"Taking back finished; some items were not taken back.", 0), 0u)
                << Narrow(boxes[0]);
            EXPECT_NE(boxes[0].find(partial + L": could not be moved back"), std::wstring::npos) << Narrow(boxes[0]);
            EXPECT_EQ(ReadUtf8(partial), std::string(100000, 'b'));
        } else {
            EXPECT_TRUE(boxes.empty()) << Narrow(boxes.front());
            EXPECT_FALSE(FileExists(partial));
        }
        EXPECT_EQ(ReadUtf8(At(L"big.bin")), std::string(300000, 'b'));
        DeleteFileW(JournalFileIn(History(), run).c_str());
    }
    RemoveTree(other);
}

// Whether an item is as the run left it is asked again just before it is
// moved back, on a retry too: a file changed while the undo waited stays.
TEST_F(UndoRun, AnItemChangedBeforeARetryStays) {
    WriteProfile("Type", kPicturesAndDocuments);
    File(At(L"a.jpg"), "a");
    ASSERT_EQ(RunJob(), 0u);
    const std::wstring run = LastRunId(History());
    std::wstring report;
    win::UniqueHandle held(CreateFileW(At(L"Pictures\\a.jpg").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                       0, nullptr));
    ASSERT_TRUE(held.Valid());
    EXPECT_EQ(Undo(run, [&](DWORD pid) {
                  HWND uncompleted = WaitForWindow(pid, L"Uncompleted Operations", 60000);
                  ASSERT_NE(uncompleted, nullptr);
                  DWORD written = 0;
                  SetFilePointer(held.Get(), 0, nullptr, FILE_END);
                  ASSERT_TRUE(WriteFile(held.Get(), "written since", 13, &written, nullptr));
                  FILETIME later = {};
                  GetSystemTimeAsFileTime(&later);
                  SetFileTime(held.Get(), nullptr, nullptr, &later);
                  held.Reset();
                  Click(uncompleted, IDRETRY);
                  HWND box = WaitForMessageBox(pid, 60000);
                  ASSERT_NE(box, nullptr);
                  Sleep(100);
                  report = MessageBoxText(box);
                  Click(box, IDOK);
              }),
              0u);
    EXPECT_TRUE(FileExists(At(L"Pictures\\a.jpg"))) << "the changed file stays where it is";
    EXPECT_FALSE(FileExists(At(L"a.jpg")));
    EXPECT_NE(report.find(At(L"Pictures\\a.jpg") + L": changed since the run"), std::wstring::npos)
        << Narrow(report);
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

    ASSERT_EQ(UndoLast(), 0u);
    EXPECT_EQ(ShowTree(FolderTree(target)), ShowTree(targetBefore));
    EXPECT_EQ(ShowTree(FolderTree(tidy)), ShowTree(tidyBefore));
}
