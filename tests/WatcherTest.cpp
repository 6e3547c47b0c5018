// Unattended runs and the real watcher in the sandbox: qz.exe /auto and the
// lock that keeps two runs off one folder; OrdvaleWatch.exe tidying what
// arrives, leaving downloads and paused folders, following a folder removed
// and made again, one instance per user, /exit, the sign-in entry, and an
// automatic run taken back.
#include <gtest/gtest.h>

#include <cwchar>

#include "common/BeingWritten.h"
#include "common/Journal.h"
#include "common/WatchedFolders.h"
#include "engine/FolderLock.h"
#include "EndToEndFixture.h"
#include "WindowDriver.h"
#include "watch/SignIn.h"
#include "watch/WatchLog.h"

using namespace ordvale;
using namespace testing_support;

namespace {

const char kProfile[] =
    "<Folder displayname=\"Pictures\"><Ext t=\".jpg\"/></Folder>"
    "<Folder displayname=\"Documents\"><Ext t=\".txt\"/></Folder>"
    "<Folder displayname=\"Folders\"><Ext ti=\"1\"/></Folder>"
    "<Folder displayname=\"Others\"><Ext ti=\"3\"/></Folder>";

std::size_t FilesIn(const std::wstring& folder) {
    std::size_t n = 0;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return n;
}

class Unattended : public EndToEnd {
protected:
    void SetUp() override {
        EndToEnd::SetUp();
        WriteProfile("Type", kProfile);
        job.method = 1;
        StoreText(job.profileId, L"P");
    }
    std::wstring History() const { return HistoryFolderIn(appData); }
    DWORD RunAuto() {
        Program runner(Runner() + L" /auto " + WriteJob());
        EXPECT_TRUE(runner.Started());
        return runner.Wait(120000);
    }
    // Runs the command while another run holds the target: it waits with its
    // progress window showing and `untouched` where it is, then ends well
    // once the folder is free.
    void ExpectItWaitsForTheHeldFolder(const std::wstring& command, const std::wstring& untouched) {
        auto held = std::make_unique<FolderLocks>();
        ASSERT_TRUE(held->Take({target}, false, nullptr));
        Program run(command);
        ASSERT_TRUE(run.Started());
        ASSERT_NE(WaitForWindow(run.Id(), L"Ordvale Progress"), nullptr);
        Sleep(1500);
        EXPECT_EQ(run.Wait(0), static_cast<DWORD>(STILL_ACTIVE));
        EXPECT_TRUE(FileExists(untouched)) << "nothing moves while the folder is held";
        held.reset();
        EXPECT_EQ(run.Wait(60000), 0u);
    }
};

// The watcher, started on the prefix's settings with the test's folders.
class Watcher : public Unattended {
protected:
    void SetUp() override {
        Unattended::SetUp();
        // Arrivals settle for a second here; the runs it starts inherit it.
        SetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", L"1");
        Watch({Folder(target)});
    }
    void TearDown() override {
        Exit();
        // What the watcher saw and did, to tell why an arrival was missed.
        if (HasFailure()) {
            std::string listing;
            WIN32_FIND_DATAW data;
            HANDLE find = FindFirstFileW((target + L"\\*").c_str(), &data);
            if (find != INVALID_HANDLE_VALUE) {
                do listing += " " + Narrow(data.cFileName);
                while (FindNextFileW(find, &data));
                FindClose(find);
            }
            ADD_FAILURE() << "left in the folder:" << listing << "\nthe watcher's log:\n"
                          << ReadUtf8(watch::WatchLogFolderIn(appData) + L"\\watch.log");
        }
        SaveWatchedFolders(settingsFile, {});
        watch::SetStartAtSignIn(false, L"");
        SetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", L"0");
        Unattended::TearDown();
    }
    static WatchedFolder Folder(const std::wstring& path, bool paused = false) {
        WatchedFolder f;
        f.folder = path;
        f.method = 1;
        f.profileId = L"P";
        f.paused = paused;
        return f;
    }
    void Watch(const std::vector<WatchedFolder>& folders) { ASSERT_TRUE(SaveWatchedFolders(settingsFile, folders)); }
    std::wstring WatcherProgram() const { return BinFolder() + L"\\OrdvaleWatch.exe"; }
    void Start() {
        watcher = std::make_unique<Program>(WatcherProgram());
        ASSERT_TRUE(watcher->Started());
        // Its own window: a watcher left by something else would end this one
        // at once and go on watching with its own settle time.
        ASSERT_TRUE(WaitUntil(
            [this] {
                DWORD owner = 0;
                HWND window = FindWindowW(L"OrdvaleWatchWindow", nullptr);
                return window && GetWindowThreadProcessId(window, &owner) && owner == watcher->Id();
            },
            20000))
            << "another watcher is running";
    }
    DWORD Exit() {
        if (!watcher) return 0;
        Program exit(WatcherProgram() + L" /exit");
        const DWORD code = exit.Wait(60000);
        const DWORD watcherCode = watcher->Wait(10000);
        watcher.reset();
        WaitForProcessesNamed(L"qz.exe");
        EXPECT_EQ(watcherCode, 0u) << "the watcher ended of itself";
        return code;
    }
    bool Tidied(const std::wstring& relative, DWORD ms = 60000) {
        return WaitUntil([&] { return FileExists(At(relative)); }, ms);
    }
    std::wstring At(const std::wstring& relative) const { return target + L"\\" + relative; }

    std::unique_ptr<Program> watcher;
};

}  // namespace

// qz.exe /auto runs the job with no window and no question: a name clash
// under "Ask" keeps both, as Rename does, and the journal says the run was
// automatic. The job file goes whatever happens.
TEST_F(Unattended, AskKeepsBothAndNothingWaits) {
    SetSettings(2, 2);
    ASSERT_TRUE(MakeFolder(target + L"\\Pictures"));
    File(target + L"\\Pictures\\a.jpg", "old");
    File(target + L"\\a.jpg", "new");
    File(target + L"\\notes.txt");
    const std::wstring before = LastRunId(History());
    ASSERT_EQ(RunAuto(), 0u);
    EXPECT_EQ(ReadUtf8(target + L"\\Pictures\\a.jpg"), "old");
    EXPECT_EQ(ReadUtf8(target + L"\\Pictures\\a (2).jpg"), "new");
    EXPECT_TRUE(FileExists(target + L"\\Documents\\notes.txt"));
    const std::wstring runId = LastRunId(History());
    ASSERT_NE(runId, before);
    RunJournal journal;
    ASSERT_TRUE(ReadJournalFile(History(), runId, &journal));
    EXPECT_TRUE(journal.run.automatic);
    EXPECT_TRUE(SameWatchedFolder(journal.run.folder, target));
}

// A folder still being filled (a copy, an unpack) is left, whatever its
// name, while the settle time lasts; then it is tidied like any folder.
TEST_F(Unattended, AFolderBeingFilledIsLeft) {
    ASSERT_TRUE(MakeFolder(target + L"\\Unpacked"));
    ASSERT_TRUE(MakeFolder(target + L"\\Unpacked\\deep"));
    File(target + L"\\Unpacked\\deep\\part1.bin");
    File(target + L"\\notes.txt");
    ASSERT_TRUE(SetLastWriteTime(target + L"\\notes.txt", FileTimeNow() - 24ull * 3600 * 10000000));
    SetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", L"3600");
    const DWORD code = RunAuto();
    SetEnvironmentVariableW(L"ORDVALE_SETTLE_SECONDS", L"0");
    ASSERT_EQ(code, 0u);
    EXPECT_TRUE(FileExists(target + L"\\Documents\\notes.txt"));
    EXPECT_TRUE(FileExists(target + L"\\Unpacked\\deep\\part1.bin")) << "left while being filled";
    ASSERT_EQ(RunAuto(), 0u);
    EXPECT_TRUE(FileExists(target + L"\\Folders\\Unpacked\\deep\\part1.bin"));
}

// A folder another run holds is left alone for this round (exit code 3),
// in any spelling of its path; once free, the next round tidies it.
TEST_F(Unattended, AFolderBeingTidiedIsLeftForTheNextRound) {
    File(target + L"\\notes.txt");
    {
        FolderLocks held;
        ASSERT_TRUE(held.Take({target + L"\\"}, false, nullptr));
        for (wchar_t& c : target) c = towlower(c);
        StoreText(job.folder, target);
        EXPECT_EQ(RunAuto(), static_cast<DWORD>(UnattendedResult::FolderBusy));
        EXPECT_TRUE(FileExists(target + L"\\notes.txt"));
    }
    EXPECT_EQ(RunAuto(), 0u);
    EXPECT_TRUE(FileExists(target + L"\\Documents\\notes.txt"));
}

// A wizard's run finding the folder held waits for it, its progress window
// showing, and tidies once the other run has let go.
TEST_F(Unattended, AWizardRunWaitsForTheFolder) {
    File(target + L"\\notes.txt");
    ExpectItWaitsForTheHeldFolder(Runner() + L" /s " + WriteJob(), target + L"\\notes.txt");
    EXPECT_TRUE(FileExists(target + L"\\Documents\\notes.txt"));
}

// Taking a run back holds the folders it puts items into as a tidy does:
// while another run holds the folder, the undo waits with its progress
// window showing, and goes on once the folder is free.
TEST_F(Unattended, AnUndoWaitsForTheFolder) {
    File(target + L"\\notes.txt", "n");
    ASSERT_EQ(RunAuto(), 0u);
    ASSERT_TRUE(FileExists(target + L"\\Documents\\notes.txt"));
    const std::wstring runId = LastRunId(History());
    ExpectItWaitsForTheHeldFolder(Runner() + L" /undo " + runId, target + L"\\Documents\\notes.txt");
    EXPECT_EQ(ReadUtf8(target + L"\\notes.txt"), "n");
}

// An automatic run leaves in its folder what belongs to other watched
// folders: a watched folder inside it, and the folder another's runs put
// their items into; everything else is tidied as ever.
TEST_F(Unattended, OtherWatchedFoldersAndTheirOutputStay) {
    struct Forget {
        std::wstring file;
        ~Forget() { SaveWatchedFolders(file, {}); }
    } forget{settingsFile};
    TempDir other;
    std::vector<WatchedFolder> watched(3);
    watched[0].folder = target;
    watched[1].folder = target + L"\\Inbox";
    watched[2].folder = other.Path();
    watched[2].destination = target + L"\\Sorted";
    for (WatchedFolder& w : watched) w.profileId = L"P";
    ASSERT_TRUE(SaveWatchedFolders(settingsFile, watched));
    ASSERT_TRUE(MakeFolder(target + L"\\Inbox"));
    ASSERT_TRUE(MakeFolder(target + L"\\Sorted"));
    ASSERT_TRUE(MakeFolder(target + L"\\Sorted\\Pictures"));
    File(target + L"\\Sorted\\Pictures\\a.jpg");
    ASSERT_TRUE(MakeFolder(target + L"\\Plain"));
    File(target + L"\\notes.txt");
    ASSERT_EQ(RunAuto(), 0u);
    EXPECT_TRUE(FileExists(target + L"\\Documents\\notes.txt"));
    EXPECT_TRUE(FolderExists(target + L"\\Folders\\Plain"));
    EXPECT_TRUE(FolderExists(target + L"\\Inbox")) << "another watched folder";
    EXPECT_TRUE(FileExists(target + L"\\Sorted\\Pictures\\a.jpg")) << "another's destination";
    EXPECT_FALSE(FolderExists(target + L"\\Folders\\Sorted"));
}

// The lock itself: one holder at a time; a waiting taker gives up when told
// to stop; letting go frees it.
TEST(FolderLock, OneHolderAtATime) {
    EXPECT_EQ(FolderLockName(L"C:\\Users\\u\\Downloads"), FolderLockName(L"c:\\users\\U\\downloads\\"));
    EXPECT_NE(FolderLockName(L"C:\\Users\\u\\Downloads"), FolderLockName(L"C:\\Users\\u\\Download"));
    FolderLocks first;
    ASSERT_TRUE(first.Take({L"C:\\Lock\\A", L"C:\\Lock\\B"}, false, nullptr));
    // Another thread, as another run would be.
    struct Try {
        bool wait;
        bool got = true;
        static DWORD WINAPI Run(LPVOID p) {
            auto* t = static_cast<Try*>(p);
            FolderLocks second;
            int asked = 0;
            t->got = second.Take({L"C:\\Lock\\B"}, t->wait, [&] { return ++asked > 2; });
            return 0;
        }
    };
    for (bool wait : {false, true}) {
        Try t{wait};
        HANDLE thread = CreateThread(nullptr, 0, &Try::Run, &t, 0, nullptr);
        ASSERT_NE(thread, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
        CloseHandle(thread);
        EXPECT_FALSE(t.got) << wait;
    }
    first.Release();
    Try t{false};
    HANDLE thread = CreateThread(nullptr, 0, &Try::Run, &t, 0, nullptr);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_TRUE(t.got);
}

// Arrivals are tidied by the folder's profile once they have settled, with
// a journal marked automatic; the sign-in entry is there while a folder is
// watched and goes with the last one.
TEST_F(Watcher, ArrivalsAreTidied) {
    Start();
    File(At(L"a.jpg"));
    File(At(L"notes.txt"));
    ASSERT_TRUE(Tidied(L"Pictures\\a.jpg"));
    ASSERT_TRUE(Tidied(L"Documents\\notes.txt"));
    RunJournal journal;
    ASSERT_TRUE(WaitUntil([&] {
        return ReadJournalFile(History(), LastRunId(History()), &journal) && journal.entries.size() >= 2;
    }));
    EXPECT_TRUE(journal.run.automatic);
    EXPECT_EQ(watch::StartAtSignInCommand(), watch::SignInCommand(WatcherProgram()));

    Watch({});
    EXPECT_TRUE(WaitUntil([] { return watch::StartAtSignInCommand().empty(); }, 20000));
}

// A download in progress stays through the rounds its neighbours are tidied
// in; its final rename is an arrival, and then it is tidied.
TEST_F(Watcher, ADownloadInProgressIsLeftUntilItsRename) {
    Start();
    File(At(L"film.mp4.crdownload"), "half");
    File(At(L"a.jpg"));
    ASSERT_TRUE(Tidied(L"Pictures\\a.jpg"));
    Sleep(1500);
    EXPECT_TRUE(FileExists(At(L"film.mp4.crdownload")));
    EXPECT_FALSE(FileExists(At(L"Others\\film.mp4.crdownload")));
    ASSERT_TRUE(MoveFileW(At(L"film.mp4.crdownload").c_str(), At(L"film.mp4").c_str()));
    EXPECT_TRUE(Tidied(L"Others\\film.mp4"));
}

// A burst of notifications (more than the watcher's buffer holds) ends with
// every file tidied.
TEST_F(Watcher, ABurstOf2000FilesIsAllTidied) {
    Start();
    for (int i = 0; i < 2000; ++i) {
        wchar_t name[32];
        swprintf(name, 32, L"f%04d.txt", i);
        HANDLE file = CreateFileW(At(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        CloseHandle(file);
    }
    EXPECT_TRUE(WaitUntil([&] { return FilesIn(At(L"Documents")) == 2000; }, 100000))
        << FilesIn(At(L"Documents")) << " tidied, " << FilesIn(target) << " left";
}

// A paused folder is left alone while the folder after it is tidied;
// resumed, it is tidied too.
TEST_F(Watcher, APausedFolderIsLeftAlone) {
    TempDir other;
    Watch({Folder(target, true), Folder(other.Path())});
    Start();
    File(At(L"notes.txt"));
    File(other / L"a.jpg");
    ASSERT_TRUE(WaitUntil([&] { return FileExists(other / L"Pictures\\a.jpg"); }, 60000));
    Sleep(1500);
    EXPECT_TRUE(FileExists(At(L"notes.txt")));
    Watch({Folder(target), Folder(other.Path())});
    EXPECT_TRUE(Tidied(L"Documents\\notes.txt"));
}

// A watched folder removed (or renamed away) and made again is watched again.
TEST_F(Watcher, AFolderRemovedAndMadeAgainIsWatchedAgain) {
    Start();
    File(At(L"a.jpg"));
    ASSERT_TRUE(Tidied(L"Pictures\\a.jpg"));
    for (const char* how : {"removed", "renamed"}) {
        SCOPED_TRACE(how);
        // A round may still be going on in the folder (one tidied what
        // arrived, another looks again at the folder it made), and a folder
        // in use cannot be renamed: as a user would, the test tries again.
        if (std::string(how) == "removed") {
            ASSERT_TRUE(WaitUntil([&] { return RemoveTree(target); }, 30000));
        } else {
            RemoveTree(target + L" old");
            ASSERT_TRUE(WaitUntil([&] { return MoveFileW(target.c_str(), (target + L" old").c_str()) != FALSE; }, 30000));
        }
        Sleep(1000);
        ASSERT_TRUE(MakeFolder(target));
        Sleep(500);
        File(At(L"notes.txt"));
        EXPECT_TRUE(Tidied(L"Documents\\notes.txt"));
    }
    RemoveTree(target + L" old");
}

// A second start ends at once, leaving the first; /exit ends the first and
// returns once it has.
TEST_F(Watcher, OneInstanceAndExit) {
    Start();
    Program second(WatcherProgram());
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.Wait(20000), 0u);
    EXPECT_EQ(watcher->Wait(0), static_cast<DWORD>(STILL_ACTIVE));
    Program exit(WatcherProgram() + L" /exit");
    EXPECT_EQ(exit.Wait(60000), 0u);
    EXPECT_EQ(watcher->Wait(0), 0u) << "ended before /exit returned";
    watcher.reset();
}

// What an automatic run moved, qz.exe /undo last puts back, and there it
// stays while the watcher tidies what arrives after it.
TEST_F(Watcher, AnAutomaticRunIsTakenBack) {
    Start();
    File(At(L"a.jpg"), "a");
    File(At(L"notes.txt"), "n");
    ASSERT_TRUE(Tidied(L"Pictures\\a.jpg"));
    ASSERT_TRUE(Tidied(L"Documents\\notes.txt"));
    RunJournal journal;
    ASSERT_TRUE(WaitUntil([&] {
        return ReadJournalFile(History(), LastRunId(History()), &journal) && journal.entries.size() >= 2;
    }));
    ASSERT_TRUE(journal.run.automatic);
    Program undo(Runner() + L" /undo last");
    ASSERT_TRUE(undo.Started());
    // The runner names the run it takes back and asks first.
    HWND box = WaitForMessageBox(undo.Id(), 60000);
    ASSERT_NE(box, nullptr) << "the run to take back is named first";
    EXPECT_NE(MessageBoxText(box).find(L"Take back the tidy"), std::wstring::npos) << Narrow(MessageBoxText(box));
    Click(box, IDYES);
    ASSERT_EQ(undo.Wait(120000), 0u);
    EXPECT_EQ(ReadUtf8(At(L"a.jpg")), "a");
    EXPECT_EQ(ReadUtf8(At(L"notes.txt")), "n");
    EXPECT_FALSE(FileExists(At(L"Pictures\\a.jpg")));

    File(At(L"b.jpg"), "b");
    ASSERT_TRUE(Tidied(L"Pictures\\b.jpg"));
    Sleep(1500);
    EXPECT_EQ(ReadUtf8(At(L"a.jpg")), "a") << "what was taken back stays";
    EXPECT_EQ(ReadUtf8(At(L"notes.txt")), "n");
}
