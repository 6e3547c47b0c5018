// What the progress dialog and the worker share for one run.
#pragma once

#include <windows.h>

#include <atomic>

#include "common/TidyJob.h"
#include "common/win/Handle.h"
#include "engine/Messages.h"

namespace ordvale {

struct ExecutorFaults;

// Signalled by every run's progress dialog once it is shown, for anyone
// outside who waits for a run to come up. A run's own worker waits for its
// own dialog instead (RunSlot::WaitUntilDialogShown): this event stays set
// while any run's dialog is open, in this process or another.
constexpr const wchar_t* kStartupEventName = L"EVENT-C99E1CAA-4DCB-42F5-B6BE-0E52C842DA0F-THREAD";

// Lets the dialog pause the worker while it asks a question, and end it.
// The worker checks before every operation and every message; while the run
// is neither paused nor stopped that costs no call into the system.
class RunControl {
public:
    RunControl() : running_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
    void Pause() {
        paused_ = true;
        ResetEvent(running_.Get());
    }
    void Resume() {
        paused_ = false;
        SetEvent(running_.Get());
    }
    void Stop() {
        stopped_ = true;
        paused_ = false;
        SetEvent(running_.Get());
    }
    bool Stopped() const { return stopped_; }
    // Waits while paused; false once the run has been stopped.
    bool WaitUntilRunning() {
        if (paused_) WaitForSingleObject(running_.Get(), INFINITE);
        return !stopped_;
    }

private:
    win::UniqueHandle running_;
    std::atomic<bool> paused_{false};
    std::atomic<bool> stopped_{false};
};

struct RunSlot {
    HWND dialog = nullptr;   // set by the progress dialog before it is shown
    HANDLE worker = nullptr;  // set before the dialog is created
    RunControl control;
    // Quick operations are announced to the dialog, and the bar moved, once
    // in so many milliseconds, about as often as a person can read a new
    // name (0: every one, for tests that follow each operation). Each is a
    // send to the dialog's thread, which costs the worker milliseconds on a
    // busy machine.
    DWORD announceEveryMs = 250;
    // A run no one watches (the watcher's): nothing may wait for an answer.
    bool unattended = false;
    // Faults a test injects into the run; none in a real run.
    const ExecutorFaults* faults = nullptr;
    // Set by the worker when such a run found its folder being tidied by
    // another run, and left it for its next round.
    bool folderBusy = false;
    // What ExecuteOperations returns once the run is over: 0, or 1 when the
    // worker refused to run (and has said why where someone watches).
    int result = 0;

    // The start-up handshake of this run: its dialog exists and is shown.
    void DialogShown() { SetEvent(shown_.Get()); }
    bool WaitUntilDialogShown(DWORD milliseconds) {
        return WaitForSingleObject(shown_.Get(), milliseconds) == WAIT_OBJECT_0;
    }

private:
    win::UniqueHandle shown_{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
};

// The worker's start parameter.
struct WorkerStart {
    RunSlot* slot;
    const TidyJob* job;
};

// The worker's messages go to the slot's dialog, unless the run is stopped.
class WorkerSink : public ProgressSink {
public:
    explicit WorkerSink(RunSlot* slot) : slot_(slot) {}
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (!slot_->control.WaitUntilRunning()) return 0;
        return SendMessageW(slot_->dialog, message, wParam, lParam);
    }
    HWND Owner() const override { return slot_->dialog; }

private:
    RunSlot* slot_;
};

// The worker's thread procedure; the parameter is a WorkerStart.
DWORD WINAPI OperationThread(LPVOID parameter);

}  // namespace ordvale
