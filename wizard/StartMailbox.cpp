#include "StartMailbox.h"

#include <algorithm>

#include "common/win/Handle.h"

namespace ordvale::wizard {

namespace {

constexpr wchar_t kMailboxClass[] = L"Ordvale.StartMailbox";
constexpr wchar_t kElectionName[] = L"Local\\Ordvale.StartGathering.{6B1E0C7A-3F52-4D8B-A1C9-52E7D40F9B31}";
constexpr ULONG_PTR kRequestTag = 0x5644524F;  // "ORDV"
constexpr LRESULT kTaken = 1;
constexpr DWORD kElectionPollMs = 50;

struct MailboxState {
    std::vector<StartRequest>* gathered;
    DWORD lastArrival;
    bool open;
};

LRESULT CALLBACK MailboxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    try {
        auto* state = reinterpret_cast<MailboxState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!state || !state->open || !data || data->dwData != kRequestTag) return 0;
        StartRequest request;
        if (!DecodeStartRequest(data->lpData, data->cbData, &request) || !GathersStarts(request.mode)) return 0;
        state->gathered->push_back(std::move(request));
        state->lastArrival = GetTickCount();
        return kTaken;
    } catch (...) {
        return 0;  // not taken: the start tries again
    }
}

bool RegisterMailboxClass(HINSTANCE module) {
    WNDCLASSEXW type = {};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = MailboxProc;
    type.hInstance = module;
    type.lpszClassName = kMailboxClass;
    return RegisterClassExW(&type) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

struct WindowTraits {
    using Type = HWND;
    static HWND None() { return nullptr; }
    static bool Valid(HWND window) { return window != nullptr; }
    static void Free(HWND window) { DestroyWindow(window); }
};

// Ownership of the election mutex, given back at the end of the scope.
class HeldMutex {
public:
    explicit HeldMutex(HANDLE mutex) : mutex_(mutex) {}
    ~HeldMutex() {
        if (mutex_) ReleaseMutex(mutex_);
    }
    HeldMutex(const HeldMutex&) = delete;
    HeldMutex& operator=(const HeldMutex&) = delete;

private:
    HANDLE mutex_;
};

bool HandOver(const COPYDATASTRUCT& request, DWORD timeoutMs) {
    HWND mailbox = FindWindowExW(HWND_MESSAGE, nullptr, kMailboxClass, nullptr);
    if (!mailbox) return false;
    DWORD_PTR reply = 0;
    return SendMessageTimeoutW(mailbox, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&request), SMTO_NORMAL, timeoutMs,
                               &reply) &&
           reply == static_cast<DWORD_PTR>(kTaken);
}

void PumpFor(DWORD milliseconds) {
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

}  // namespace

GatherOutcome GatherStarts(const StartRequest& own, std::vector<StartRequest>* gathered, const GatherTiming& timing) {
    gathered->assign(1, own);
    HINSTANCE module = GetModuleHandleW(nullptr);
    std::vector<unsigned char> bytes = EncodeStartRequest(own);
    COPYDATASTRUCT request = {};
    request.dwData = kRequestTag;
    request.cbData = static_cast<DWORD>(bytes.size());
    request.lpData = bytes.data();

    // Hand over, or win the election.
    win::UniqueHandle election(CreateMutexW(nullptr, FALSE, kElectionName));
    const DWORD began = GetTickCount();
    bool elected = false;
    for (;;) {
        if (HandOver(request, timing.handOverMs)) return GatherOutcome::HandedOver;
        if (!election) break;
        const DWORD wait = WaitForSingleObject(election.Get(), kElectionPollMs);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
            elected = true;
            break;
        }
        if (GetTickCount() - began >= timing.handOverMs) break;  // gather alone
    }
    HeldMutex held(elected ? election.Get() : nullptr);
    if (!RegisterMailboxClass(module)) return GatherOutcome::Gathered;

    MailboxState state = {gathered, GetTickCount(), true};
    win::UniqueOwner<WindowTraits> mailbox(
        CreateWindowExW(0, kMailboxClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr));
    if (!mailbox) return GatherOutcome::Gathered;
    SetWindowLongPtrW(mailbox.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    const DWORD opened = GetTickCount();
    for (;;) {
        const DWORD now = GetTickCount();
        const DWORD quiet = now - state.lastArrival;
        const DWORD open = now - opened;
        if (quiet >= timing.quietMs || open >= timing.longestMs) break;
        PumpFor(std::min(timing.quietMs - quiet, timing.longestMs - open));
    }
    // Closed before it goes: a request that comes now is answered "not
    // taken", and its start tries again (and opens the next mailbox).
    state.open = false;
    SetWindowLongPtrW(mailbox.Get(), GWLP_USERDATA, 0);
    return GatherOutcome::Gathered;
}

}  // namespace ordvale::wizard
