#pragma once
// The event thread of an open port: it waits for the port's line events and
// hands each completed wait to the port's handlers, on the main thread
// (smThreadSync, smWindowSync) or on itself (smNone). It starts waiting when
// resumed; destruction stops it and waits for its end (serving
// deliveries meanwhile when destroyed on the main thread).
//
// A wait that cannot be started or ends in failure is never passed over in
// silence and never retried in a busy loop. A wait ended as aborted while the
// device is still there (as Windows may end one, and wine always does on a
// pseudo-terminal) is simply started again. Any other failure is reported
// once as EComPort code 6 ("Unable to get async status") with the system's
// code: under smWindowSync it is raised on the main thread by the port's
// hidden window, as a handler's exception would be; under smThreadSync and
// smNone it ends the thread and is kept as its FatalException, as a
// handler's exception there does. After a loss of the device the thread then
// sleeps until stopped; after another failure it tries again, pausing longer
// each time (up to a second) while the failures go on.
//
// Stopping never hangs on a wait the driver holds: the thread changes the
// mask, then cancels the wait, and at last closes the port's handle itself
// (on a thread of its own, as a close may block), each step within a time
// limit. A wait the driver never completes keeps its record, event and event
// mask for good, as the driver may still write into them. A thread given up
// by its port (Abandon) touches the port no more.

#include <atomic>
#include <memory>
#include <optional>

#include "platform/MainThread.h"
#include "platform/WinApi.h"
#include "serial/ComTypes.h"
#include "serial/EComPort.h"

class TComPort;

// Message sent to the port's hidden window, wParam one event-mask bit.
inline constexpr platform::UINT CM_COMEVENT = platform::WM_USER + 1;
// Message sent to the port's hidden window when the thread reports a failure.
inline constexpr platform::UINT CM_COMFAILURE = platform::WM_USER + 2;

class TComThread : public platform::TThread {
public:
    // Sets the port's event mask from its Events; Resume() starts the
    // waiting, once the port holds the thread (a handler run on the thread
    // may destroy the port, and with it look at what the port holds).
    explicit TComThread(TComPort& AComPort);
    ~TComThread() override;

    // Ends the thread's loop; it purges the port and ends soon after.
    void Stop();

    // For a port that cannot wait for the thread's end (it is destroyed by
    // one of its own handlers, or the thread is stuck in a driver): the
    // thread stops and ends without touching the port again, and the object
    // is kept until the process ends.
    static void Abandon(std::unique_ptr<TComThread> thread);

    // On the main thread, for CM_COMFAILURE: the failure the thread reported,
    // handed over once.
    std::optional<EComPort> TakeReportedFailure();

protected:
    void Execute() override;

private:
    enum class TOutcome { Rearm, Failed, Lost };
    struct TVerdict {
        TOutcome Outcome;
        platform::DWORD Code;
    };
    // What the platform writes into while a wait is pending.
    struct TWaitRecord {
        platform::OVERLAPPED Overlapped;
        platform::DWORD EventMask = 0;
    };
    struct TWaitEnd {
        bool Completed;     // the record is free again
        bool HandleClosed;  // the port's handle was closed to end the wait
    };
    TVerdict Judge(platform::HANDLE port, platform::DWORD failure);
    void Report(platform::DWORD code);
    TWaitEnd EndPendingWait(platform::HANDLE port, platform::OVERLAPPED& overlapped);
    void DispatchEvents();
    void SendEvents();
    void DoEvents();

    TComPort& FComPort;
    const TSyncMethod FSyncMethod;
    const platform::HWND FEventWindow;
    platform::DWORD FEventMask = 0;  // the events of the last completed wait
    platform::HANDLE FStopEvent;
    std::atomic<bool> FAbandoned{false};
    platform::DWORD FMask;
    bool FMaskSet = false;             // the mask is in force; else the thread sets it before waiting
    std::optional<EComPort> FFailure;  // handed to the main thread by CM_COMFAILURE
};
