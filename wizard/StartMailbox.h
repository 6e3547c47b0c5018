// Gathers the starts of one Explorer selection into one wizard. Explorer
// starts a verb once per selected item; the first start opens a mailbox (a
// message-only window, found by its class) and each start that follows
// hands its request over by WM_COPYDATA and ends. The first start waits
// until no start has come for a moment, then opens the wizard with what it
// has; the mailbox stays open a while longer for starts that are slow to
// come (a busy machine), whose items the open wizard takes. Once no start
// has come for that longer while, the mailbox closes: a start after that
// opens a wizard of its own, and a wizard started without a target never
// opens a mailbox, so it is never taken over.
//
// A named mutex elects the one start that may open the mailbox: it holds the
// mutex while the mailbox is open and closes the mailbox before letting go,
// so a start either hands over to an open mailbox (its reply says so) or
// waits for the mutex and opens one itself. Nothing given is lost: a start
// ends only when a mailbox has taken its request.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "CommandLine.h"
#include "common/win/Handle.h"

namespace ordvale::wizard {

struct GatherTiming {
    DWORD quietMs = 1000;      // the wizard opens once no start has come for this long
    DWORD lateQuietMs = 6000;  // the mailbox closes once no start has come for this long
    DWORD longestMs = 300000;  // and at the latest this long after it opened
    DWORD handOverMs = 30000;  // how long a start tries to hand over before gathering alone
};

enum class GatherOutcome {
    HandedOver,  // a gathering wizard took the request: this start ends
    Gathered,    // this start is the wizard, with its own request first, then those handed to it
};

class CStartMailbox {
public:
    explicit CStartMailbox(const GatherTiming& timing = GatherTiming());
    ~CStartMailbox();  // closes the mailbox and lets go of the election
    CStartMailbox(const CStartMailbox&) = delete;
    CStartMailbox& operator=(const CStartMailbox&) = delete;

    // Hands `own` to the mailbox open now, or opens this one and takes the
    // requests of the starts that follow until quietMs pass without one.
    GatherOutcome Gather(const StartRequest& own);
    // Every request taken, its own first.
    const std::vector<StartRequest>& Requests() const { return requests_; }
    // Keeps taking requests until lateQuietMs pass without one; `arrived`
    // is called after each, on this thread, as its message loop runs.
    void KeepOpen(std::function<void()> arrived);
    bool IsOpen() const { return open_; }
    // Closes the mailbox at once: a start that comes now opens its own.
    void Close();

private:
    struct WindowTraits {
        using Type = HWND;
        static HWND None() { return nullptr; }
        static bool Valid(HWND window) { return window != nullptr; }
        static void Free(HWND window) { DestroyWindow(window); }
    };
    static LRESULT CALLBACK MailboxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Take(const COPYDATASTRUCT* data);
    bool Expired(DWORD quietMs) const;

    GatherTiming timing_;
    std::vector<StartRequest> requests_;
    std::function<void()> arrived_;
    win::UniqueHandle election_;
    bool elected_ = false;
    win::UniqueOwner<WindowTraits> window_;
    bool open_ = false;
    DWORD opened_ = 0;
    DWORD lastArrival_ = 0;
};

}  // namespace ordvale::wizard
