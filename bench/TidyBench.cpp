// Whole tidy runs against a bare move loop, planning a large folder, and
// the Uncompleted Operations dialog with many rows. Each figure is printed
// against its target; ratios are measured side by side in one run, since
// the machine's speed moves with its load.
//
//   tidy_bench <root> <folder of qz.exe> [tidy] [small] [dialog] [million]
//
// tidy:   for 2,000 and 20,000 files, a bare MoveFileExW loop over
//         <root>\bare-N as a process of its own (bare_move.exe beside this
//         program), then qz.exe tidying <root>\tidy-N (a type profile
//         whose folder Documents takes .txt, the progress dialog shown),
//         both whole processes timed from their start to their end; the
//         same loop inside this process over <root>\inproc-N is shown
//         beside them. Then qz.exe on <root>\clash, whose 2,000 files all
//         meet a same-named file in Documents (Rename policy); then
//         planning the 100,000 files of <root>\plan, and the journal of a
//         run that moved them read back and taken back, per item.
// small:  the tidy section without its 20,000 files and its planning, for a
//         quick look (with ORDVALE_TRACE, at where a run's time goes).
// million: the same for the 1,000,000 files of <root>\million, with the
//         peak memory of planning and of taking the journal back (made only
//         for this section: it takes a while and room).
//   tidy_bench --undo <history folder> <run id>
//         reads the run's journal and plans taking it back, in a process
//         of its own (the planning cases start it).
// plan:   planning the 100,000 files of <root>\plan alone, with its journal.
// no-journal: planning alone, without the journal's cases.
// dialog: the Uncompleted Operations dialog with one row for each of the
//         3,000 files of <root>\dialog: opening it, and ticking and
//         unticking Ignore All with a click.
// The folders are made beforehand (scripts/bench makes them from Linux,
// which is much faster than from inside Wine).
#include <windows.h>
#include <commctrl.h>
#define PSAPI_VERSION 2
#include <psapi.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "common/AppPaths.h"
#include "common/Journal.h"
#include "common/UndoPlan.h"
#include "common/JobHandOff.h"
#include "common/Settings.h"
#include "common/Text.h"
#include "common/win/Com.h"
#include "engine/Planner.h"
#include "engine/UncompletedDialog.h"
#include "engine/UndoRun.h"
#include "engine/resource.h"

using namespace ordvale;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

bool WriteAll(const std::wstring& path, const void* data, DWORD size) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(h, data, size, &written, nullptr);
    CloseHandle(h);
    return written == size;
}

const char* Verdict(bool met) {
    return met ? "met" : "NOT MET";
}

struct Timing {
    std::size_t files = 0;
    std::size_t done = 0;
    double seconds = 0;
    // The whole process's peak; 0 when the system no longer tells it once the
    // process has ended (Wine).
    double peakMegabytes = 0;
    double PerFile() const { return files ? 1e6 * seconds / static_cast<double>(files) : 0; }
};

// Moves every file of the folder into its subfolder Out, one MoveFileExW each.
Timing BareLoop(const std::wstring& folder) {
    CreateDirectoryW((folder + L"\\Out").c_str(), nullptr);
    const std::vector<std::wstring> names = FilesIn(folder);
    Timing t;
    t.files = names.size();
    const auto start = Clock::now();
    for (const std::wstring& name : names)
        t.done += MoveFileExW((folder + L"\\" + name).c_str(), (folder + L"\\Out\\" + name).c_str(), 0) ? 1 : 0;
    t.seconds = Seconds(start);
    return t;
}

// Runs the command line and waits for it, the whole process timed.
bool TimedProcess(std::wstring command, Timing* t) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const auto start = Clock::now();
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    t->seconds = Seconds(start);
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters)))
        t->peakMegabytes = static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

// The bare loop as a process of its own, started and ended like qz.exe.
Timing BareProcess(const std::wstring& folder) {
    Timing t;
    t.files = FilesIn(folder).size();
    const std::size_t before = FilesIn(folder + L"\\Out").size();
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring program = self;
    program.erase(program.rfind(L'\\') + 1);
    if (!TimedProcess(L"\"" + program + L"bare_move.exe\" \"" + folder + L"\"", &t)) {
        std::printf("bare_move.exe could not be started\n");
        return t;
    }
    t.done = FilesIn(folder + L"\\Out").size() - before;
    return t;
}

// Tidies the folder with qz.exe, the whole process timed.
Timing TidyRun(const std::wstring& folder, const std::wstring& programs, const std::wstring& appData) {
    Timing t;
    t.files = FilesIn(folder).size();
    const std::size_t before = FilesIn(folder + L"\\Documents").size();
    TidyJob job;
    job.target = static_cast<int32_t>(TidyTarget::Folder);
    StoreText(job.folder, folder);
    uint32_t size = 0;
    SerializeTidyJob(&job, nullptr, &size);
    std::vector<unsigned char> bytes(size);
    SerializeTidyJob(&job, bytes.data(), &size);
    const std::wstring jobName = NewJobName();
    WriteAll(JobFileIn(appData, jobName), bytes.data(), size);
    if (!TimedProcess(programs + L"\\qz.exe /s " + jobName, &t)) {
        std::printf("qz.exe could not be started\n");
        return t;
    }
    t.done = FilesIn(folder + L"\\Documents").size() - before;
    return t;
}

void PrintRow(const char* what, const Timing& t) {
    std::printf("  %-34s %6zu of %6zu files in %7.2f s  %7.0f us/file", what, t.done, t.files, t.seconds,
                t.PerFile());
    if (t.peakMegabytes > 0) std::printf("  peak memory %.0f MB", t.peakMegabytes);
    std::printf("\n");
}

double PeakMegabytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

double WorkingSetMegabytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}

// The figures of one read-back, printed by the process that made it.
// A fresh process, as a run taking another back is: its peak is the read's
// and the undo planning's alone.
int UndoCase(const std::wstring& history, const std::wstring& runId) {
    const double before = WorkingSetMegabytes();
    const auto start = Clock::now();
    EngineContext context;
    UndoRun undo;
    const bool read = PlanUndoOperations(&context, history, runId, &undo);
    const double seconds = Seconds(start);
    const double lines = static_cast<double>(std::max<std::size_t>(1, undo.steps + undo.left.size()));
    std::printf("  journal read back and undo planned%s: %.2f s, %.1f us/line (%zu steps, %zu operations, "
                "%zu left); peak memory %.0f MB, %.0f MB before reading, %.0f bytes/line\n",
                read ? "" : " (NOT READ)", seconds, seconds * 1e6 / lines, undo.steps, context.operations.size(),
                undo.left.size(), PeakMegabytes(), before, (PeakMegabytes() - before) * 1024.0 * 1024.0 / lines);
    return read ? 0 : 1;
}

// Runs this program again for UndoCase and waits for it.
void RunUndoCase(const std::wstring& history, const std::wstring& runId) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --undo \"" + history + L"\" " + runId;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("  the read-back could not be started\n");
        return;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// Planning every item of one folder against a bare listing of the same
// folder; then a run's journal written for that many items and taken back.
void PlanningCase(const std::wstring& plan, bool journalToo = true) {
    TidyJob planJob;
    planJob.target = static_cast<int32_t>(TidyTarget::Folder);
    StoreText(planJob.folder, plan);
    const double startMegabytes = WorkingSetMegabytes();
    // What the file system itself costs: a bare listing of the same folder,
    // names and attributes only.
    const auto bareStart = Clock::now();
    std::size_t bareCount = 0;
    {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileExW((plan + L"\\*").c_str(), FindExInfoBasic, &found,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
        if (find != INVALID_HANDLE_VALUE) {
            do ++bareCount;
            while (FindNextFileW(find, &found));
            FindClose(find);
        }
    }
    const double bareListSeconds = Seconds(bareStart);
    const double bareMegabytes = PeakMegabytes(), bareHeldMegabytes = WorkingSetMegabytes();
    double listedMegabytes = 0;
    std::size_t operations = 0;
    {
        EngineContext context;
        LoadSettings(&context.settings);
        const auto start = Clock::now();
        InitializeFromJob(&context, &planJob);
        const double listSeconds = Seconds(start);
        listedMegabytes = WorkingSetMegabytes();
        PlanOperations(&context);
        const double planSeconds = Seconds(start);
        const double ratio = bareListSeconds > 0 ? planSeconds / bareListSeconds : 0;
        const double peak = PeakMegabytes();
        const double items = static_cast<double>(std::max<std::size_t>(1, context.target.children.size()));
        operations = context.operations.size();
        std::printf("planning %zu items: %zu operations in %.2f s, listing %.2f s of it; peak memory %.0f MB "
                    "(%.0f MB before, %.0f once listed; %.0f bytes/item)\n",
                    context.target.children.size(), operations, planSeconds, listSeconds, peak, startMegabytes,
                    listedMegabytes, (peak - startMegabytes) * 1024.0 * 1024.0 / items);
        std::printf("  bare FindFirstFileExW listing of the same folder: %zu names in %.2f s, peak memory %.0f MB "
                    "(%.0f MB still held after it); ratio %.2fx (target at most 1.2x: %s)\n",
                    bareCount, bareListSeconds, bareMegabytes, bareHeldMegabytes, ratio, Verdict(ratio <= 1.2));
        if (bareCount >= 1000000)
            std::printf("  peak memory of planning a million items: %.0f MB (target at most 300 MB: %s)\n", peak,
                        Verdict(peak <= 300));
        if (!journalToo) return;

        // The journal of a run that moved every planned item into this
        // folder from a folder beside it: the plan, a Done line for each,
        // the end. Taking it back plans to move every item back out.
        const std::wstring history = plan + L"-history", origin = plan + L"-origin";
        const auto journalStart = Clock::now();
        std::wstring runId;
        std::size_t lines = 0;
        {
            JournalWriter journal(history, L"20261210-000000-000");
            journal.Begin();
            JournalEntry entry;
            entry.kind = JournalKind::Move;
            for (const auto& op : context.operations) {
                if (!Is(*op, OperationKind::Move)) continue;
                entry.source = origin + L"\\" + op->source.name.str();
                entry.destination = op->source.path.str();
                entry.size = op->source.size;
                entry.lastWrite = (static_cast<uint64_t>(op->source.lastWriteTime.dwHighDateTime) << 32) |
                                  op->source.lastWriteTime.dwLowDateTime;
                if (journal.Plan(entry) >= 0) ++lines;
            }
            journal.CommitPlan();
            int32_t index = 0;
            for (const auto& op : context.operations)
                if (Is(*op, OperationKind::Move)) journal.RecordDone(index++, op->source.path.str());
            journal.Finish();
            runId = journal.RunId();
        }
        const double journalSeconds = Seconds(journalStart);
        std::printf("  journal of %zu moves written (plan, done lines, end): %.2f s, %.1f us/line; "
                    "peak memory of the process so far %.0f MB\n",
                    lines, journalSeconds, journalSeconds * 1e6 / static_cast<double>(std::max<std::size_t>(1, lines)),
                    PeakMegabytes());
        RunUndoCase(history, runId);
        DeleteFileW(JournalFileIn(history, runId).c_str());
        RemoveDirectoryW(history.c_str());
    }
}

// `counts`: the folder sizes of the tidy-N cases, 2,000 first.
void TidySection(const std::wstring& root, const std::wstring& programs, const std::wstring& appData,
                 int cases, bool planning) {
    const std::wstring empty = root + L"\\empty";
    CreateDirectoryW(empty.c_str(), nullptr);
    for (int i = 0; i < 2; ++i) {
        const Timing fixed = TidyRun(empty, programs, appData);
        std::printf("qz.exe run of an empty folder (what every run costs): %.2f s", fixed.seconds);
        if (fixed.peakMegabytes > 0) std::printf(", peak memory %.0f MB", fixed.peakMegabytes);
        std::printf("\n");
    }
    const Timing started = BareProcess(empty);
    std::printf("  the bare loop's process over the same empty folder: %.2f s\n", started.seconds);
    Timing bare[2], tidy[2];
    const int counts[2] = {2000, 20000};
    for (int i = 0; i < cases; ++i) {
        const std::wstring n = std::to_wstring(counts[i]);
        std::printf("%d files in one folder\n", counts[i]);
        bare[i] = BareProcess(root + L"\\bare-" + n);
        PrintRow("bare MoveFileExW loop, own process", bare[i]);
        tidy[i] = TidyRun(root + L"\\tidy-" + n, programs, appData);
        PrintRow("qz.exe tidy run", tidy[i]);
        const Timing inside = BareLoop(root + L"\\inproc-" + n);
        PrintRow("the same loop inside this process", inside);
        const double ratio = tidy[i].seconds / bare[i].seconds;
        const double target = counts[i] == 2000 ? 1.2 : 1.1;
        std::printf("  ratio tidy / bare, whole processes both: %.2fx (target at most %.1fx: %s); "
                    "against the loop inside this process %.2fx\n",
                    ratio, target, Verdict(ratio <= target), inside.seconds > 0 ? tidy[i].seconds / inside.seconds : 0);
    }
    if (cases == 2) {
        const double bareGrowth = bare[1].PerFile() / bare[0].PerFile();
        const double tidyGrowth = tidy[1].PerFile() / tidy[0].PerFile();
        std::printf("cost per file from 2,000 to 20,000 files: bare x%.2f, tidy x%.2f "
                    "(target: tidy grows no more than bare: %s)\n",
                    bareGrowth, tidyGrowth, Verdict(tidyGrowth <= bareGrowth * 1.1));
    }

    std::printf("2000 files that all meet a same-named file (Rename policy)\n");
    const Timing clash = TidyRun(root + L"\\clash", programs, appData);
    PrintRow("qz.exe tidy run", clash);
    const double clashRatio = clash.seconds / bare[0].seconds;
    std::printf("  ratio against the bare loop of 2000, whole processes both: %.2fx (target at most 1.5x: %s)\n",
                clashRatio, Verdict(clashRatio <= 1.5));
    // What the file system makes of the same number of moves into a folder
    // already as full as Documents is there (Wine looks through the whole
    // folder for every name that is not there yet).
    const Timing full = BareProcess(root + L"\\bare-full");
    PrintRow("bare loop into a folder of 2000", full);
    std::printf("  ratio against that loop: %.2fx\n", full.seconds > 0 ? clash.seconds / full.seconds : 0);

    if (planning) PlanningCase(root + L"\\plan");
}

void DialogSection(const std::wstring& root) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const std::wstring folder = root + L"\\dialog";
    EngineContext context;
    for (const std::wstring& name : FilesIn(folder)) {
        auto op = std::make_unique<Operation>();
        op->kind = static_cast<int8_t>(OperationKind::Move);
        op->status = static_cast<int8_t>(OperationStatus::Omitted);
        StoreText(op->source.path, folder + L"\\" + name);
        // As the run's last look at it left it.
        op->source.attributes = kAttrFileSystem | kAttrStream | kAttrCanMove | kAttrCanRename;
        context.operations.push_back(std::move(op));
    }
    const auto start = Clock::now();
    std::atomic<double> opened{0}, ticked{0}, unticked{0};
    std::atomic<bool> allTicked{false};
    std::thread driver([&] {
        HWND dialog = nullptr;
        while (!(dialog = FindWindowW(nullptr, L"Uncompleted Operations"))) Sleep(1);
        // Handled once the dialog's thread takes messages, after its list is filled.
        SendMessageW(dialog, WM_NULL, 0, 0);
        opened = Seconds(start);
        HWND ignoreAll = GetDlgItem(dialog, IDC_IGNORE_ALL);
        auto click = Clock::now();
        SendMessageW(ignoreAll, BM_CLICK, 0, 0);
        ticked = Seconds(click);
        allTicked = SendMessageW(ignoreAll, BM_GETCHECK, 0, 0) == BST_CHECKED;
        click = Clock::now();
        SendMessageW(ignoreAll, BM_CLICK, 0, 0);
        unticked = Seconds(click);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDRETRY, BN_CLICKED), 0);
    });
    CDialogUncompleted dialog(&context);
    dialog.DoModal(GetModuleHandleW(nullptr), nullptr);
    driver.join();
    const double total = opened + ticked + unticked;
    std::printf("Uncompleted Operations with %zu rows: opened in %.2f s, Ignore All ticked in %.2f s%s, "
                "unticked in %.2f s\n",
                context.operations.size(), opened.load(), ticked.load(), allTicked ? "" : " (NOT all ticked)",
                unticked.load());
    std::printf("  opening and both clicks: %.2f s (target under 1 s: %s)\n", total, Verdict(total < 1.0));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::printf("usage: tidy_bench <root> <folder of qz.exe> [tidy] [dialog]\n");
        return 2;
    }
    win::ComInit com;
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    if (std::wstring(argv[1]) == L"--undo") return UndoCase(argv[2], argc > 3 ? argv[3] : L"");
    const std::wstring root = argv[1], programs = argv[2];
    bool tidy = argc == 3, dialog = argc == 3, million = false, small = false, plan = false, journal = true;
    for (int i = 3; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"tidy") tidy = true;
        if (std::wstring(argv[i]) == L"small") small = true;
        if (std::wstring(argv[i]) == L"dialog") dialog = true;
        if (std::wstring(argv[i]) == L"million") million = true;
        if (std::wstring(argv[i]) == L"plan") plan = true;
        if (std::wstring(argv[i]) == L"no-journal") journal = false;
    }

    std::wstring appData;
    GetAppDataFolder(&appData);
    // Makes the settings folder, where the job files go too.
    OrdvaleSettings settings;
    LoadSettings(&settings);
    const std::string profile =
        "<Ordvale><TypeProfiles default=\"T\"><TypeConfigure id=\"T\">"
        "<Folder displayname=\"Documents\"><Ext t=\".txt\"/></Folder>"
        "</TypeConfigure></TypeProfiles></Ordvale>";
    const std::wstring profileFile = root + L"\\profile.xml";
    WriteAll(profileFile, profile.data(), static_cast<DWORD>(profile.size()));
    const std::wstring settingsFile = SettingsFileIn(appData);
    WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, profileFile);
    WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFileConflict, L"0");
    WriteSettingsValue(settingsFile, kSectionFileOperation, kKeyFolderConflict, L"3");

    if (tidy) TidySection(root, programs, appData, 2, true);
    else if (small) TidySection(root, programs, appData, 1, false);
    if (plan) PlanningCase(root + L"\\plan", journal);
    if (dialog) DialogSection(root);
    if (million) {
        std::printf("a million items in one folder (target: at most 300 MB at the peak, 1.2x the listing)\n");
        PlanningCase(root + L"\\million", journal);
    }

    WriteSettingsValue(settingsFile, kSectionProfile, kKeyFileName, L"");
    return 0;
}
