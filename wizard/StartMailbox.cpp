#include "StartMailbox.h"

#include <algorithm>

namespace ordvale::wizard {

namespace {

constexpr wchar_t kMailboxClass[] = L"Ordvale.StartMailbox";
constexpr wchar_t kElectionName[] = L"Local\\Ordvale.StartGathering.{6B1E0C7A-3F52-4D8B-A1C9-52E7D40F9B31}";
constexpr ULONG_PTR kRequestTag = 0x5644524F;  // "ORDV"
constexpr LRESULT kTaken = 1;
constexpr DWORD kElectionPollMs = 50;
constexpr UINT_PTR kCloseTimer = 1;
constexpr UINT kCloseCheckMs = 250;

bool RegisterMailboxClass(HINSTANCE module, WNDPROC procedure) {
    WNDCLASSEXW type = {};
    type.cbSize = sizeof(type);
    type.lpfnWndProc = procedure;
    type.hInstance = module;
    type.lpszClassName = kMailboxClass;
    return RegisterClassExW(&type) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

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

CStartMailbox::CStartMailbox(const GatherTiming& timing) : timing_(timing) {}

CStartMailbox::~CStartMailbox() {
    Close();
}

GatherOutcome CStartMailbox::Gather(const StartRequest& own) {
    requests_.assign(1, own);
    HINSTANCE module = GetModuleHandleW(nullptr);
    std::vector<unsigned char> bytes = EncodeStartRequest(own);
    COPYDATASTRUCT request = {};
    request.dwData = kRequestTag;
    request.cbData = static_cast<DWORD>(bytes.size());
    request.lpData = bytes.data();

    // Hand over, or win the election.
    election_.Reset(CreateMutexW(nullptr, FALSE, kElectionName));
    const DWORD began = GetTickCount();
    for (;;) {
        if (HandOver(request, timing_.handOverMs)) return GatherOutcome::HandedOver;
        if (!election_) break;
        const DWORD wait = WaitForSingleObject(election_.Get(), kElectionPollMs);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
            elected_ = true;
            break;
        }
        if (GetTickCount() - began >= timing_.handOverMs) break;  // gather alone
    }
    if (!elected_ || !RegisterMailboxClass(module, MailboxProc)) {
        Close();
        return GatherOutcome::Gathered;
    }
    window_.Reset(CreateWindowExW(0, kMailboxClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr));
    if (!window_) {
        Close();
        return GatherOutcome::Gathered;
    }
    SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    open_ = true;
    opened_ = lastArrival_ = GetTickCount();
    while (open_ && !Expired(timing_.quietMs)) {
        const DWORD now = GetTickCount();
        const DWORD quiet = now - lastArrival_, open = now - opened_;
        PumpFor(std::min(timing_.quietMs - std::min(quiet, timing_.quietMs),
                         timing_.longestMs - std::min(open, timing_.longestMs)) + 1);
    }
    return GatherOutcome::Gathered;
}

void CStartMailbox::KeepOpen(std::function<void()> arrived) {
    arrived_ = std::move(arrived);
    if (open_) SetTimer(window_.Get(), kCloseTimer, kCloseCheckMs, nullptr);
}

bool CStartMailbox::Expired(DWORD quietMs) const {
    const DWORD now = GetTickCount();
    return now - lastArrival_ >= quietMs || now - opened_ >= timing_.longestMs;
}

void CStartMailbox::Close() {
    // Closed before it goes: a request that comes now is answered "not
    // taken", and its start tries again (and opens the next mailbox).
    open_ = false;
    if (window_) {
        KillTimer(window_.Get(), kCloseTimer);
        SetWindowLongPtrW(window_.Get(), GWLP_USERDATA, 0);
        window_.Reset();
    }
    if (elected_) ReleaseMutex(election_.Get());
    elected_ = false;
    election_.Reset();
}

LRESULT CStartMailbox::Take(const COPYDATASTRUCT* data) {
    if (!open_ || !data || data->dwData != kRequestTag) return 0;
    StartRequest request;
    if (!DecodeStartRequest(data->lpData, data->cbData, &request) || !GathersStarts(request.mode)) return 0;
    requests_.push_back(std::move(request));
    lastArrival_ = GetTickCount();
    if (arrived_) arrived_();
    return kTaken;
}

LRESULT CALLBACK CStartMailbox::MailboxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        auto* mailbox = reinterpret_cast<CStartMailbox*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COPYDATA) return mailbox ? mailbox->Take(reinterpret_cast<const COPYDATASTRUCT*>(lParam)) : 0;
        if (message == WM_TIMER && wParam == kCloseTimer && mailbox) {
            if (mailbox->Expired(mailbox->timing_.lateQuietMs)) mailbox->Close();
            return 0;
        }
    } catch (...) {
        return 0;  // not taken: the start tries again
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace ordvale::wizard
