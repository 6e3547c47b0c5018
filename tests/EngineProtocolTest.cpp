// The worker's messages, observed by a window standing in for the progress
// dialog. Uses the prefix's settings file, so it runs with the system tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "common/AppPaths.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/win/MessageBox.h"
#include "engine/Engine.h"
#include "engine/EngineContext.h"
#include "engine/Executor.h"
#include "engine/Messages.h"
#include "engine/RunSlot.h"
#include "engine/resource.h"
#include "common/Journal.h"
#include "TestSupport.h"

using namespace ordvale;
using namespace testing_support;

namespace {

struct Message {
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Message& o) const { return id == o.id && wParam == o.wParam && lParam == o.lParam; }
};

std::ostream& operator<<(std::ostream& out, const Message& m) {
    return out << "(" << (m.id - WM_USER) << "," << m.wParam << "," << m.lParam << ")";
}

// A hidden window that records the worker's messages; UM_SHOW_UNCOMPLETED
// is answered by a callback.
class StandIn {
public:
    std::vector<Message> messages;
    std::function<LRESULT(EngineContext*)> onUncompleted = [](EngineContext*) { return IDCANCEL; };

    StandIn() {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"OrdvaleStandIn";
        RegisterClassW(&wc);
        hwnd = CreateWindowW(L"OrdvaleStandIn", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                             GetModuleHandleW(nullptr), this);
    }
    ~StandIn() { DestroyWindow(hwnd); }

    // Runs a worker for the job, pumping messages until it ends.
    void Run(const TidyJob* job) {
        RunSlot slot;
        slot.dialog = hwnd;
        slot.announceEveryMs = announceEveryMs;
        slot.unattended = unattended;
        slot.faults = faults;
        slot.DialogShown();
        WorkerStart start = {&slot, job};
        win::UniqueHandle worker(CreateThread(nullptr, 0, OperationThread, &start, 0, nullptr));
        slot.worker = worker.Get();
        HANDLE h = worker.Get();
        while (MsgWaitForMultipleObjects(1, &h, FALSE, 60000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        }
        result = slot.result;
    }

    // The messages with UM_OPERATION_BEGIN's path pointer zeroed.
    std::vector<Message> Sequence() const {
        std::vector<Message> out = messages;
        for (Message& m : out)
            if (m.id == UM_OPERATION_BEGIN) m.lParam = 0;
        return out;
    }
    std::vector<LPARAM> Progress() const {
        std::vector<LPARAM> out;
        for (const Message& m : messages)
            if (m.id == UM_PROGRESS) out.push_back(m.lParam);
        return out;
    }

    HWND hwnd = nullptr;
    // Every operation announced, so that sequences can be compared.
    DWORD announceEveryMs = 0;
    bool unattended = false;
    const ExecutorFaults* faults = nullptr;
    int result = 0;             // the slot's result after the run
    int tellAnswer = IDNO;      // the answer to UM_TELL_USER

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
        }
        auto* self = reinterpret_cast<StandIn*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && msg == UM_TELL_USER) {
            self->messages.push_back({msg, wParam, 0});
            return self->tellAnswer;
        }
        if (self && msg >= UM_CALCULATING && msg <= UM_ASK_CONFLICT) {
            self->messages.push_back({msg, wParam, lParam});
            if (msg == UM_SHOW_UNCOMPLETED) return self->onUncompleted(reinterpret_cast<EngineContext*>(lParam));
            return 0;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
};

// A target folder with files, a profile whose folder Text takes .txt, and
// the settings pointing at that profile.
class ProtocolFixture : public ::testing::Test {
protected:
    void SetUp() override {
        target = dir / L"Target";
        ASSERT_TRUE(MakeFolder(target));
        ASSERT_TRUE(MakeFolder(target + L"\\Text"));
        ASSERT_TRUE(WriteText(dir / L"profile.xml",
                              "<Ordvale><TypeProfiles default=\"T\"><TypeConfigure id=\"T\">"
                              "<Folder displayname=\"Text\"><Ext t=\".txt\"/></Folder>"
                              "</TypeConfigure></TypeProfiles></Ordvale>"));
        std::wstring appData;
        ASSERT_TRUE(GetAppDataFolder(&appData));
        OrdvaleSettings settings;
        ASSERT_TRUE(LoadSettings(&settings));
        settingsFile = SettingsFileIn(appData);
        ASSERT_TRUE(WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, dir / L"profile.xml"));
        job.target = static_cast<int32_t>(TidyTarget::Folder);
        StoreText(job.folder, target);
    }
    void TearDown() override {
        WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
    }
    void AddFiles(int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(WriteText(target + L"\\f" + std::to_wstring(i) + L".txt", "x"));
    }

    TempDir dir;
    std::wstring target, settingsFile;
    TidyJob job;
    StandIn standIn;
};

const Message kInitBegin{UM_INITIALIZING, 1, 0}, kInitEnd{UM_INITIALIZING, 0, 100},
    kCalcBegin{UM_CALCULATING, 1, 0}, kCalcEnd{UM_CALCULATING, 0, 100},
    kVerifyBegin{UM_VERIFYING, 1, 0}, kVerifyEnd{UM_VERIFYING, 0, 100},
    kAll{UM_PROGRESS, 0, 100}, kFinished{UM_FINISHED, 0, 0};

Message Begin(OperationKind kind) { return {UM_OPERATION_BEGIN, static_cast<WPARAM>(kind), 0}; }
Message End(OperationStatus status) { return {UM_OPERATION_END, static_cast<WPARAM>(status), 0}; }
Message Progress(LPARAM value) { return {UM_PROGRESS, 0, value}; }

}  // namespace

TEST_F(ProtocolFixture, FourSuccessesReportTheirProgressInQuarters) {
    AddFiles(4);
    standIn.Run(&job);
    const Message move = Begin(OperationKind::Move), done = End(OperationStatus::Succeeded);
    EXPECT_EQ(standIn.Sequence(),
              (std::vector<Message>{kInitBegin, kInitEnd, kCalcBegin, kCalcEnd,
                                    move, done, Progress(0), move, done, Progress(25),
                                    move, done, Progress(50), move, done, Progress(75),
                                    kVerifyBegin, kVerifyEnd, kAll, kFinished}));
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(FileExists(target + L"\\Text\\f" + std::to_wstring(i) + L".txt"));
}

TEST_F(ProtocolFixture, NothingToDoFinishesAtOnce) {
    AddFiles(2);
    StoreText(job.profileId, L"NoSuchProfile");
    standIn.Run(&job);
    EXPECT_EQ(standIn.Sequence(),
              (std::vector<Message>{kInitBegin, kInitEnd, kCalcBegin, kCalcEnd, kAll, kFinished}));
}

TEST_F(ProtocolFixture, RetryRunsOnlyWhatWasLeft) {
    AddFiles(5);
    // One file held open without sharing cannot be moved.
    HANDLE held = CreateFileW((target + L"\\f2.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    int shown = 0;
    standIn.onUncompleted = [&](EngineContext* context) -> LRESULT {
        ++shown;
        EXPECT_EQ(context->operations.size(), 1u);
        if (!context->operations.empty()) {
            EXPECT_TRUE(Is(*context->operations[0], OperationStatus::Omitted));
            EXPECT_EQ(std::wstring(context->operations[0]->source.path), target + L"\\f2.txt");
        }
        CloseHandle(held);
        return IDRETRY;
    };
    standIn.Run(&job);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(standIn.Progress(), (std::vector<LPARAM>{0, 20, 40, 60, 80, 0, 100}));
    EXPECT_TRUE(FileExists(target + L"\\Text\\f2.txt"));
    EXPECT_FALSE(FileExists(target + L"\\f2.txt"));
}

TEST_F(ProtocolFixture, IgnoringEverythingOnRetryRunsNothing) {
    AddFiles(2);
    HANDLE held = CreateFileW((target + L"\\f1.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    standIn.onUncompleted = [&](EngineContext* context) -> LRESULT {
        for (auto& op : context->operations) SetStatus(op.get(), OperationStatus::Succeeded);
        return IDRETRY;
    };
    standIn.Run(&job);
    CloseHandle(held);
    std::vector<Message> sequence = standIn.Sequence();
    ASSERT_GE(sequence.size(), 6u);
    EXPECT_EQ(std::vector<Message>(sequence.end() - 4, sequence.end()),
              (std::vector<Message>{kVerifyBegin, kVerifyEnd, kAll, kFinished}))
        << "the second pass runs nothing";
    EXPECT_TRUE(FileExists(target + L"\\f1.txt"));
}

// At the run's own pace, quick operations are announced only now and then,
// but each announcement is whole, and the bar never hears a value twice.
TEST_F(ProtocolFixture, QuickOperationsAreAnnouncedAtAHumanPace) {
    AddFiles(40);
    standIn.announceEveryMs = 100;
    standIn.Run(&job);
    int begins = 0;
    LPARAM last = -1;
    const std::vector<Message> sequence = standIn.Sequence();
    for (std::size_t i = 0; i < sequence.size(); ++i) {
        const Message& m = sequence[i];
        if (m.id == UM_OPERATION_BEGIN) {
            ++begins;
            ASSERT_LT(i + 1, sequence.size());
            EXPECT_EQ(sequence[i + 1].id, UM_OPERATION_END) << "each announced operation is closed";
        }
        if (m.id == UM_PROGRESS) {
            EXPECT_GT(m.lParam, last) << "no value twice";
            last = m.lParam;
        }
    }
    EXPECT_GE(begins, 1) << "the first operation is shown";
    EXPECT_LE(begins, 40);
    EXPECT_EQ(last, 100);
    for (int i = 0; i < 40; ++i) EXPECT_TRUE(FileExists(target + L"\\Text\\f" + std::to_wstring(i) + L".txt"));
}

// A file put aside under its probe name in a destination folder (a
// replacement across volumes cut short) gets its name back when the next
// run starts.
TEST_F(ProtocolFixture, ProbeLeftoversInDestinationsGetTheirNamesBack) {
    AddFiles(1);
    ASSERT_TRUE(WriteText(target + L"\\Text\\old.txt" + kProbeSuffix, "left"));
    standIn.Run(&job);
    EXPECT_EQ(ReadUtf8(target + L"\\Text\\old.txt"), "left");
    EXPECT_FALSE(FileExists(target + L"\\Text\\old.txt" + kProbeSuffix));
    EXPECT_TRUE(FileExists(target + L"\\Text\\f0.txt"));
}

// Whole runs in this process, with the real progress dialog, while the
// named start-up event stands set as another run's open dialog leaves it:
// each run still waits for its own dialog, shows every step and closes.
TEST_F(ProtocolFixture, RunsOneAfterAnotherEachGetTheirOwnStart) {
    win::UniqueHandle otherRun(CreateEventW(nullptr, TRUE, TRUE, kStartupEventName));
    SetEvent(otherRun.Get());
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        AddFiles(3);
        EXPECT_EQ(ExecuteJob(GetModuleHandleW(nullptr), nullptr, &job), 0);
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(FileExists(target + L"\\Text\\f" + std::to_wstring(i) + L".txt"));
            DeleteFileW((target + L"\\Text\\f" + std::to_wstring(i) + L".txt").c_str());
        }
    }
}

// A progress dialog that cannot be made (here: its owner is gone) is an
// error the user hears of, and the run does not take place.
TEST_F(ProtocolFixture, WithoutItsDialogARunReportsAnErrorAndDoesNothing) {
    AddFiles(2);
    HWND gone = CreateWindowExW(0, L"STATIC", L"Ordvale", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);
    std::vector<win::MessageBoxCall> boxes;
    win::ScopedMessageBoxHandler answer([&](const win::MessageBoxCall& call) {
        boxes.push_back(call);
        return IDOK;
    });
    EXPECT_EQ(ExecuteJob(GetModuleHandleW(nullptr), gone, &job), IDOK);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, L"The progress window cannot be shown, so nothing was tidied.");
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_TRUE(FileExists(target + L"\\f0.txt"));
    EXPECT_TRUE(FileExists(target + L"\\f1.txt"));
}

// A journal that can no longer be written part-way through a run (the disk
// filled up once the plan was down) stops the run: nothing more is moved,
// whoever watches is told and a run no one watches ends failed; every file
// stands in one place, and taking the run back from its plan brings back
// everything it moved.
TEST_F(ProtocolFixture, AJournalFailingPartWayStopsTheRun) {
    constexpr int kFiles = 300;  // more than one group of records
    std::wstring appData;
    ASSERT_TRUE(GetAppDataFolder(&appData));
    const std::wstring history = HistoryFolderIn(appData);
    ExecutorFaults faults;
    faults.journalFailsAfterPlan = true;
    for (bool unattended : {false, true}) {
        SCOPED_TRACE(unattended ? "unattended" : "watched");
        AddFiles(kFiles);
        standIn.messages.clear();
        standIn.faults = &faults;
        standIn.unattended = unattended;
        standIn.tellAnswer = IDOK;
        standIn.Run(&job);
        int moved = 0;
        for (int i = 0; i < kFiles; ++i) {
            const std::wstring name = L"\\f" + std::to_wstring(i) + L".txt";
            const bool there = FileExists(target + L"\\Text" + name);
            EXPECT_NE(there, FileExists(target + name)) << "f" << i << " stands in one place";
            moved += there ? 1 : 0;
        }
        EXPECT_GT(moved, 0);
        EXPECT_LT(moved, kFiles) << "nothing more is moved once the journal fails";
        const auto told = std::count_if(standIn.messages.begin(), standIn.messages.end(),
                                        [](const Message& m) { return m.id == UM_TELL_USER; });
        EXPECT_EQ(told, unattended ? 0 : 1);
        ASSERT_FALSE(standIn.messages.empty());
        EXPECT_EQ(standIn.messages.back(), (Message{UM_FINISHED, IDS_JOURNAL_LOST, 0}));
        EXPECT_EQ(standIn.result, unattended ? 1 : 0);

        TidyJob undo;
        MakeUndoJob(&undo, LastRunId(history));
        standIn.faults = nullptr;
        standIn.unattended = false;
        standIn.Run(&undo);
        for (int i = 0; i < kFiles; ++i) {
            const std::wstring name = L"\\f" + std::to_wstring(i) + L".txt";
            EXPECT_TRUE(FileExists(target + name)) << "f" << i << " is back";
            EXPECT_FALSE(FileExists(target + L"\\Text" + name));
        }
    }
}

// A run whose journal cannot be written moves nothing unless the user says
// so; a run no one watches asks no one, moves nothing and ends with a
// failure.
TEST_F(ProtocolFixture, WithoutAJournalNothingMovesUnlessTheUserSaysSo) {
    AddFiles(2);
    std::wstring appData;
    ASSERT_TRUE(GetAppDataFolder(&appData));
    const std::wstring history = HistoryFolderIn(appData);
    MoveFileW(history.c_str(), (history + L".aside").c_str());
    ASSERT_TRUE(WriteText(history, "a file where the History folder would be"));
    struct Case {
        bool unattended;
        int answer;
        bool asked, moved;
        WPARAM ending;
        int result;
    };
    const Case cases[] = {
        {true, IDYES, false, false, IDS_NO_JOURNAL_UNATTENDED, 1},
        {false, IDNO, true, false, IDS_NOTHING_TIDIED, 0},
        {false, IDYES, true, true, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unattended ? "unattended" : c.answer == IDYES ? "told Yes" : "told No");
        standIn.messages.clear();
        standIn.unattended = c.unattended;
        standIn.tellAnswer = c.answer;
        standIn.Run(&job);
        const bool asked = std::count_if(standIn.messages.begin(), standIn.messages.end(),
                                         [](const Message& m) { return m.id == UM_TELL_USER; }) == 1;
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(FileExists(target + L"\\Text\\f0.txt"), c.moved);
        EXPECT_EQ(FileExists(target + L"\\f0.txt"), !c.moved);
        ASSERT_FALSE(standIn.messages.empty());
        EXPECT_EQ(standIn.messages.back(), (Message{UM_FINISHED, c.ending, 0}));
        EXPECT_EQ(standIn.result, c.result);
    }
    DeleteFileW(history.c_str());
    MoveFileW((history + L".aside").c_str(), history.c_str());
}
