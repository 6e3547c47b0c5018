// OrdvaleWatch.exe: keeps the watched folders of settings.ini tidy. One
// instance per user; "OrdvaleWatch.exe /exit" ends the running one. It waits
// for change notifications of each folder's top level, its parent (a folder
// removed, renamed or back), the settings folder and the run in progress,
// with no timer but the next time the schedule gives. Each round is a run of
// "qz.exe /auto <job>"; what decides the rounds is in WatchSchedule.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/AppPaths.h"
#include "common/BeingWritten.h"
#include "common/JobHandOff.h"
#include "common/Journal.h"
#include "common/PathText.h"
#include "common/TidyJob.h"
#include "common/WatchedFolders.h"
#include "common/win/Handle.h"
#include "watch/SignIn.h"
#include "watch/WatchLog.h"
#include "watch/WatchSchedule.h"
#include "watch/resource.h"

using namespace ordvale;
using namespace ordvale::watch;

namespace {

constexpr const wchar_t* kWindowClass = L"OrdvaleWatchWindow";
constexpr const wchar_t* kTitle = L"Ordvale Watch";
constexpr UINT kTrayMessage = WM_APP + 1;
constexpr UINT kTrayId = 1;
// The notification area's own messages (shellapi.h leaves some out for older versions).
constexpr UINT kBalloonClick = WM_USER + 5;  // NIN_BALLOONUSERCLICK

Tick Now() { return GetTickCount64(); }

bool SameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

win::UniqueHandle OpenFolder(const std::wstring& folder) {
    return win::UniqueHandle(CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
}

// The nearest folder above `folder` that exists; empty when none does (its
// drive is gone).
std::wstring NearestExistingAbove(const std::wstring& folder) {
    std::wstring at = path::ParentOf(path::WithoutTrailingSeparator(folder));
    while (!at.empty()) {
        if (FolderExists(at)) return at;
        const std::wstring up = path::ParentOf(at);
        if (up == at) break;
        at = up;
    }
    return std::wstring();
}

// One watched folder's notifications: its own top level while it is there,
// and the nearest folder above it that is, for its leaving and coming back.
class FolderWatch {
public:
    FolderWatch(std::wstring folder, WatchLog* log) : folder_(std::move(folder)), buffer_(16 * 1024), log_(log) {
        event_.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    }
    ~FolderWatch() { Close(); }
    const std::wstring& Path() const { return folder_; }
    bool Present() const { return dir_.Valid(); }

    // Opens or reopens what must be watched now; true when the folder is
    // watched again after it was not (or is another folder under its name).
    bool Refresh() {
        bool back = false;
        win::UniqueHandle now = OpenFolder(folder_);
        BY_HANDLE_FILE_INFORMATION info = {};
        if (now && GetFileInformationByHandle(now.Get(), &info)) {
            if (!dir_ || !SameFile(info, identity_)) {
                Close();
                dir_ = std::move(now);
                identity_ = info;
                back = Arm();
                if (!back) Close();
            }
        } else {
            Close();
        }
        const std::wstring above = dir_ ? path::ParentOf(path::WithoutTrailingSeparator(folder_))
                                        : NearestExistingAbove(folder_);
        if (!above.empty() && (above != abovePath_ || !above_)) {
            above_.Reset(FindFirstChangeNotificationW(above.c_str(), FALSE, FILE_NOTIFY_CHANGE_DIR_NAME));
            abovePath_ = above_ ? above : std::wstring();
        } else if (above.empty()) {
            above_.Reset();
            abovePath_.clear();
        }
        return back;
    }

    // The handles to wait for.
    void AddHandles(std::vector<HANDLE>* handles) const {
        if (dir_) handles->push_back(event_.Get());
        if (above_) handles->push_back(above_.Get());
    }
    bool Owns(HANDLE h) const { return (dir_ && h == event_.Get()) || (above_ && h == above_.Get()); }
    bool HasWatchAbove() const { return above_.Valid(); }

    // What a signalled handle says: whether items arrived (an overflow
    // counts as everything having changed); the caller refreshes after a
    // change above.
    enum class Signal { Arrived, Nothing, Above };
    Signal Take(HANDLE h) {
        if (above_ && h == above_.Get()) {
            FindNextChangeNotification(above_.Get());
            return Signal::Above;
        }
        DWORD bytes = 0;
        const bool ok = GetOverlappedResult(dir_.Get(), &overlapped_, &bytes, FALSE) != FALSE;
        pendingRead_ = false;
        bool arrived = !ok || bytes == 0;  // an overflow, or the folder went away
        std::wstring seen;
        std::size_t count = 0;
        if (ok && bytes > 0) arrived = ChangesMayHaveArrived(buffer_.data(), bytes, &count, &seen);
        log_->Line(L"changes in " + folder_ + L": " + (ok ? std::to_wstring(bytes) + L" bytes, " : L"failed, ") +
                   std::to_wstring(count) + L" entries" + seen);
        if (!Arm()) {
            log_->Line(L"cannot watch " + folder_ + L" again (" + std::to_wstring(GetLastError()) + L")");
            Close();
            return Signal::Above;
        }
        return arrived ? Signal::Arrived : Signal::Nothing;
    }

private:
    bool Arm() {
        ResetEvent(event_.Get());
        overlapped_ = {};
        overlapped_.hEvent = event_.Get();
        pendingRead_ = ReadDirectoryChangesW(dir_.Get(), buffer_.data(), static_cast<DWORD>(buffer_.size() * sizeof(DWORD)),
                                             FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME,
                                             nullptr, &overlapped_, nullptr) != FALSE;
        return pendingRead_;
    }
    void Close() {
        if (dir_ && pendingRead_) {
            CancelIo(dir_.Get());
            DWORD bytes = 0;
            GetOverlappedResult(dir_.Get(), &overlapped_, &bytes, TRUE);
        }
        pendingRead_ = false;
        dir_.Reset();
    }

    std::wstring folder_;
    win::UniqueHandle dir_;
    BY_HANDLE_FILE_INFORMATION identity_ = {};
    win::UniqueHandle event_;
    OVERLAPPED overlapped_ = {};
    bool pendingRead_ = false;
    std::vector<DWORD> buffer_;  // DWORD-aligned, as the notifications must be
    WatchLog* log_;
    win::UniqueChangeNotification above_;
    std::wstring abovePath_;
};

class Watcher {
public:
    explicit Watcher(HINSTANCE instance)
        : instance_(instance), schedule_(TimingForSettle(SettleTime())), settle_(SettleTime()) {}

    int Run() {
        if (!GetAppDataFolder(&appData_)) return 1;
        programFolder_ = ModuleFolder(instance_);
        settingsFile_ = SettingsFileIn(appData_);
        history_ = HistoryFolderIn(appData_);
        CreateDirectoryW(SettingsFolderIn(appData_).c_str(), nullptr);
        log_.Open(WatchLogFolderIn(appData_));
        log_.Line(L"started, process " + std::to_wstring(GetCurrentProcessId()) + L", settle " +
                  std::to_wstring(settle_ / 10000) + L" ms");
        if (!MakeWindow()) return 1;
        AddTrayIcon();
        settingsChange_.Reset(FindFirstChangeNotificationW(SettingsFolderIn(appData_).c_str(), FALSE,
                                                           FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_FILE_NAME));
        ReadSettings();
        Loop();
        RemoveTrayIcon();
        if (window_) DestroyWindow(window_);
        return 0;
    }

private:
    // ------------------------------------------------------------ the loop
    void Loop() {
        while (!quit_) {
            StartDueRun();
            std::vector<HANDLE> handles;
            if (settingsChange_) handles.push_back(settingsChange_.Get());
            if (run_) handles.push_back(run_.Get());
            bool blind = false;  // a folder with nothing to watch: its drive is gone
            for (const auto& w : watches_) {
                if (handles.size() + 2 > MAXIMUM_WAIT_OBJECTS - 1) break;  // the message queue is one more
                w->AddHandles(&handles);
                if (!w->Present() && !w->HasWatchAbove()) blind = true;
            }
            Tick wait = schedule_.WaitTime(Now());
            // A folder whose drive is gone is looked for again as often as
            // the folders are rescanned (and at once when a drive arrives).
            if (blind) wait = std::min<Tick>(wait, Timing().rescan);
            const DWORD timeout = wait == kNever ? INFINITE : static_cast<DWORD>(std::min<Tick>(wait, 0x7FFFFFFF));
            const DWORD got = MsgWaitForMultipleObjectsEx(static_cast<DWORD>(handles.size()), handles.data(), timeout,
                                                          QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (got == WAIT_TIMEOUT) log_.Line(L"woke after " + std::to_wstring(timeout) + L" ms");
            if (got < WAIT_OBJECT_0 + handles.size()) {
                Signalled(handles[got - WAIT_OBJECT_0]);
            } else if (got == WAIT_OBJECT_0 + handles.size()) {
                MSG msg;
                while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    if (msg.message == WM_QUIT) quit_ = true;
                    TranslateMessage(&msg);
                    DispatchMessageW(&msg);
                }
            } else if (got == WAIT_TIMEOUT && blind) {
                RefreshAll();
            } else if (got == WAIT_FAILED) {
                Sleep(1000);  // never a busy loop
            }
        }
        if (run_) WaitForSingleObject(run_.Get(), 60000);
        log_.Line(L"ended");
    }

    void Signalled(HANDLE h) {
        if (h == settingsChange_.Get()) {
            FindNextChangeNotification(settingsChange_.Get());
            ReadSettingsIfChanged();
            return;
        }
        if (run_ && h == run_.Get()) {
            RunEnded();
            return;
        }
        for (std::size_t i = 0; i < watches_.size(); ++i) {
            if (!watches_[i]->Owns(h)) continue;
            switch (watches_[i]->Take(h)) {
                case FolderWatch::Signal::Arrived:
                    schedule_.Changed(i, Now());
                    break;
                case FolderWatch::Signal::Nothing: break;
                case FolderWatch::Signal::Above: Refresh(i); break;
            }
            return;
        }
    }

    void Refresh(std::size_t i) {
        const bool back = watches_[i]->Refresh();
        if (back || !watches_[i]->Present())
            log_.Line(watches_[i]->Path() + (back ? L": watched again" : L": not there"));
        schedule_.SetMissing(i, !watches_[i]->Present(), Now());
        if (back) schedule_.Changed(i, Now());
    }
    void RefreshAll() {
        for (std::size_t i = 0; i < watches_.size(); ++i) Refresh(i);
    }

    // --------------------------------------------------------- the settings
    // The settings folder also holds the job files of the runs: the file
    // is read again only when its last write or size has changed.
    uint64_t SettingsStamp() const {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (!GetFileAttributesExW(settingsFile_.c_str(), GetFileExInfoStandard, &data)) return 0;
        return ((static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime) ^
               (static_cast<uint64_t>(data.nFileSizeLow) << 1);
    }
    void ReadSettingsIfChanged() {
        if (SettingsStamp() != settingsStamp_) ReadSettings();
    }

    void ReadSettings() {
        settingsStamp_ = SettingsStamp();
        const std::vector<WatchedFolder> folders = LoadWatchedFolders(settingsFile_);
        log_.Line(L"settings read: " + std::to_wstring(folders.size()) + L" watched folders");
        for (const WatchedFolder& f : folders) log_.Line(L"  " + f.folder + (f.paused ? L" (paused)" : L""));
        std::wstring running;
        if (auto r = schedule_.Running()) running = schedule_.Folder(*r).folder;
        schedule_.SetFolders(folders, Now());
        // The watches follow the list; a folder kept keeps its watch.
        std::vector<std::unique_ptr<FolderWatch>> next;
        for (const WatchedFolder& f : folders) {
            auto old = std::find_if(watches_.begin(), watches_.end(), [&](const std::unique_ptr<FolderWatch>& w) {
                return w && SameWatchedFolder(w->Path(), f.folder);
            });
            next.push_back(old != watches_.end() ? std::move(*old) : std::make_unique<FolderWatch>(f.folder, &log_));
        }
        watches_ = std::move(next);
        for (std::size_t i = 0; i < watches_.size(); ++i) {
            if (!watches_[i]->Present()) watches_[i]->Refresh();
            schedule_.SetMissing(i, !watches_[i]->Present(), Now());
        }
        SetStartAtSignIn(!folders.empty(), programFolder_ + L"\\OrdvaleWatch.exe");
        UpdateTip();
    }

    // ------------------------------------------------------------- the runs
    void StartDueRun() {
        if (run_) return;
        const auto due = schedule_.TakeDue(Now());
        if (!due) return;
        const WatchedFolder folder = schedule_.Folder(*due);
        TidyJob job;
        MakeWatchJob(folder, &job);
        uint32_t size = 0;
        SerializeTidyJob(&job, nullptr, &size);
        std::vector<unsigned char> bytes(size);
        SerializeTidyJob(&job, bytes.data(), &size);
        const std::wstring name = NewJobName();
        const std::wstring jobFile = JobFileIn(appData_, name);
        bool written = false;
        {
            win::UniqueHandle file(CreateFileW(jobFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_TEMPORARY, nullptr));
            DWORD done = 0;
            written = file && WriteFile(file.Get(), bytes.data(), size, &done, nullptr) && done == size;
        }
        // Taken before the run starts: its journal is newer, and what it
        // finds still being written was written after this time less a settle time.
        runAfter_ = LastRunId(history_);
        runStarted_ = FileTimeNow();
        std::wstring commandLine = L"\"" + programFolder_ + L"\\qz.exe\" /auto " + name;
        const std::wstring runner = programFolder_ + L"\\qz.exe";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        const bool started = written && CreateProcessW(runner.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                                       CREATE_NO_WINDOW | BELOW_NORMAL_PRIORITY_CLASS, nullptr,
                                                       nullptr, &startup, &process);
        if (!started) {
            const DWORD error = GetLastError();
            DeleteFileW(jobFile.c_str());
            log_.Line(L"run of " + folder.folder + L" could not start (" + std::to_wstring(error) + L")");
            schedule_.Finished(RunOutcome::Failed, Now());
            return;
        }
        log_.Line(L"run " + name + L" of " + folder.folder + L" started");
        CloseHandle(process.hThread);
        run_.Reset(process.hProcess);
        runFolder_ = folder.folder;
    }

    void RunEnded() {
        DWORD code = static_cast<DWORD>(UnattendedResult::Failed);
        GetExitCodeProcess(run_.Get(), &code);
        run_.Reset();
        const RunOutcome outcome = code == static_cast<DWORD>(UnattendedResult::Done)         ? RunOutcome::Done
                                   : code == static_cast<DWORD>(UnattendedResult::FolderBusy) ? RunOutcome::FolderBusy
                                                                                              : RunOutcome::Failed;
        const auto index = schedule_.Running();
        schedule_.Finished(outcome, Now());
        log_.Line(L"run of " + runFolder_ + L" ended with " + std::to_wstring(code));
        if (outcome != RunOutcome::Done) return;
        const std::wstring runId = FindAutomaticRun(history_, runAfter_, runFolder_);
        RunJournal journal;
        if (!runId.empty() && ReadJournalFile(history_, runId, &journal)) {
            const std::size_t moved = ItemsMoved(journal);
            log_.Line(L"run " + runId + L" moved " + std::to_wstring(moved));
            if (moved > 0) ShowBalloon(TidiedText(moved, runFolder_));
        }
        // Items left for still being written are looked at once they settle.
        if (index) {
            const uint64_t now = FileTimeNow();
            const uint64_t at = WhenSettled(runFolder_, runStarted_, now, settle_);
            if (at != 0) {
                const Tick in = (at > now ? (at - now) / 10000 : 0) + 250;
                schedule_.LookAgainAt(*index, Now() + in);
                log_.Line(L"looking again in " + std::to_wstring(in) + L" ms");
            }
        }
    }

    // -------------------------------------------------------- the window
    bool MakeWindow() {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &Watcher::WindowProc;
        wc.hInstance = instance_;
        wc.lpszClassName = kWindowClass;
        wc.hIcon = LoadIconW(instance_, MAKEINTRESOURCEW(IDI_WATCH));
        RegisterClassExW(&wc);
        taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
        // A top-level window that is never shown: it receives the
        // notification area's messages, WM_DEVICECHANGE and the end-of-session messages.
        window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, kTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance_, this);
        return window_ != nullptr;
    }

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Watcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) {
            try {
                LRESULT result = 0;
                if (self->OnMessage(window, message, wParam, lParam, &result)) return result;
            } catch (...) {
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    bool OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            AddTrayIcon();
            return true;
        }
        switch (message) {
            case kTrayMessage:
                switch (LOWORD(lParam)) {
                    case WM_RBUTTONUP:
                    case WM_CONTEXTMENU:
                    case WM_LBUTTONUP:
                        ShowMenu(window);
                        break;
                    case kBalloonClick:
                        Start(L"OrdvaleWizard.exe", L"/history");
                        break;
                }
                return true;
            case WM_COMMAND:
                Command(LOWORD(wParam));
                return true;
            case WM_DEVICECHANGE:
                // A drive that came or went: the folders on it are looked for again.
                RefreshAll();
                *result = TRUE;
                return true;
            case WM_CLOSE:
            case WM_ENDSESSION:
                quit_ = true;
                return true;
        }
        return false;
    }

    void ShowMenu(HWND window) {
        HMENU menu = CreatePopupMenu();
        if (!menu) return;
        AppendMenuW(menu, MF_STRING, IDM_PAUSE, schedule_.PausedAll() ? L"Resume watching" : L"Pause watching");
        AppendMenuW(menu, MF_STRING, IDM_TIDY_NOW, L"Tidy now");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_HISTORY, L"History...");
        AppendMenuW(menu, MF_STRING, IDM_SETTINGS, L"Settings...");
        AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(menu, MF_STRING, IDM_QUIT, L"Quit");
        POINT at;
        GetCursorPos(&at);
        // The menu closes when the user clicks elsewhere only when its owner is in front.
        SetForegroundWindow(window);
        TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, window, nullptr);
        PostMessageW(window, WM_NULL, 0, 0);
        DestroyMenu(menu);
    }

    void Command(WORD id) {
        switch (id) {
            case IDM_PAUSE:
                schedule_.SetPausedAll(!schedule_.PausedAll());
                UpdateTip();
                break;
            case IDM_TIDY_NOW:
                schedule_.TidyNow(Now());
                break;
            case IDM_HISTORY:
                Start(L"OrdvaleWizard.exe", L"/history");
                break;
            case IDM_SETTINGS:
                Start(L"OrdvaleConfigure.exe", L"options");
                break;
            case IDM_QUIT:
                quit_ = true;
                break;
        }
    }

    // Starts a program of this folder; a failure is not told (nothing here may wait for a click).
    void Start(const wchar_t* program, const wchar_t* arguments) {
        const std::wstring path = programFolder_ + L"\\" + program;
        std::wstring commandLine = L"\"" + path + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                           &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }

    // ---------------------------------------------------- notification area
    NOTIFYICONDATAW IconData() const {
        NOTIFYICONDATAW data = {};
        data.cbSize = sizeof(data);
        data.hWnd = window_;
        data.uID = kTrayId;
        return data;
    }
    void AddTrayIcon() {
        NOTIFYICONDATAW data = IconData();
        data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
        data.uCallbackMessage = kTrayMessage;
        data.hIcon = static_cast<HICON>(LoadImageW(instance_, MAKEINTRESOURCEW(IDI_WATCH), IMAGE_ICON,
                                                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                   LR_SHARED));
        lstrcpynW(data.szTip, TipText().c_str(), ARRAYSIZE(data.szTip));
        Shell_NotifyIconW(NIM_ADD, &data);
    }
    void RemoveTrayIcon() {
        NOTIFYICONDATAW data = IconData();
        Shell_NotifyIconW(NIM_DELETE, &data);
    }
    std::wstring TipText() const {
        return schedule_.PausedAll() ? L"Ordvale Watch: paused" : L"Ordvale Watch: watching";
    }
    void UpdateTip() {
        NOTIFYICONDATAW data = IconData();
        data.uFlags = NIF_TIP;
        lstrcpynW(data.szTip, TipText().c_str(), ARRAYSIZE(data.szTip));
        Shell_NotifyIconW(NIM_MODIFY, &data);
    }
    void ShowBalloon(const std::wstring& text) {
        NOTIFYICONDATAW data = IconData();
        data.uFlags = NIF_INFO;
        data.dwInfoFlags = NIIF_INFO;
        lstrcpynW(data.szInfoTitle, L"Ordvale", ARRAYSIZE(data.szInfoTitle));
        lstrcpynW(data.szInfo, text.c_str(), ARRAYSIZE(data.szInfo));
        Shell_NotifyIconW(NIM_MODIFY, &data);
    }

    HINSTANCE instance_;
    HWND window_ = nullptr;
    UINT taskbarCreated_ = 0;
    bool quit_ = false;
    Schedule schedule_;
    uint64_t settle_;
    WatchLog log_;
    std::wstring appData_, programFolder_, settingsFile_, history_;
    uint64_t settingsStamp_ = 0;
    win::UniqueChangeNotification settingsChange_;
    std::vector<std::unique_ptr<FolderWatch>> watches_;
    win::UniqueHandle run_;
    std::wstring runFolder_, runAfter_;
    uint64_t runStarted_ = 0;  // FILETIME
};

// "Local\Ordvale-Watch-<user>": one watcher per user and session.
std::wstring InstanceName() {
    wchar_t user[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(user, &size)) user[0] = 0;
    std::wstring name = L"Local\\Ordvale-Watch-";
    for (const wchar_t* c = user; *c; ++c) name += *c == L'\\' ? L'_' : *c;
    return name;
}

// Ends the running watcher and returns once it has ended.
int EndRunningWatcher() {
    HWND window = FindWindowW(kWindowClass, nullptr);
    if (!window) return 0;
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    win::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process) return WaitForSingleObject(process.Get(), 60000) == WAIT_OBJECT_0 ? 0 : 1;
    return 0;
}

bool HasSwitch(const wchar_t* name) {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    bool found = false;
    for (int i = 1; argv && i < argc; ++i)
        if (lstrcmpiW(argv[i], name) == 0) found = true;
    if (argv) LocalFree(argv);
    return found;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        if (HasSwitch(L"/exit")) return EndRunningWatcher();
        win::UniqueHandle instanceLock(CreateMutexW(nullptr, TRUE, InstanceName().c_str()));
        if (!instanceLock || GetLastError() == ERROR_ALREADY_EXISTS) return 0;
        Watcher watcher(instance);
        return watcher.Run();
    } catch (...) {
        return 1;
    }
}
