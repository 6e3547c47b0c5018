// Gathers the starts of one Explorer selection into one wizard. Explorer
// starts a verb once per selected item; the first start opens a mailbox (a
// message-only window, found by its class) and waits a short while, each
// start that follows hands its request over by WM_COPYDATA and ends. The
// gathering ends once no start has arrived for a moment; a start that comes
// later opens a wizard of its own, and a wizard started without a target
// never gathers, so it is never taken over.
//
// A named mutex elects the one start that may open the mailbox: it holds the
// mutex while the mailbox is open and closes the mailbox before letting go,
// so a start either hands over to an open mailbox (its reply says so) or
// waits for the mutex and opens one itself. Nothing given is lost: a start
// ends only when a mailbox has taken its request.
#pragma once

#include <windows.h>

#include <vector>

#include "CommandLine.h"

namespace ordvale::wizard {

struct GatherTiming {
    DWORD quietMs = 1500;      // the gathering ends this long after the last arrival
    DWORD longestMs = 120000;  // and at the latest this long after it began
    DWORD handOverMs = 30000;  // how long a start tries to hand over before gathering alone
};

enum class GatherOutcome {
    HandedOver,  // a gathering wizard took the request: this start ends
    Gathered,    // this start is the wizard: `gathered` holds its own request first, then those handed to it
};

GatherOutcome GatherStarts(const StartRequest& own, std::vector<StartRequest>* gathered,
                           const GatherTiming& timing = GatherTiming());

}  // namespace ordvale::wizard
