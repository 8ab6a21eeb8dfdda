#pragma once
// The event thread of an open port: it waits for the port's line events and
// hands each completed wait to the port's handlers, on the main thread
// (smThreadSync, smWindowSync) or on itself (smNone). It starts waiting on
// construction; destruction stops it and waits for its end (serving
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
// mask, then cancels the wait, and at last has the main thread, which waits
// for it, close the port's handle; the wait's record outlives its completion.

#include <optional>

#include "platform/MainThread.h"
#include "platform/WinApi.h"
#include "serial/EComPort.h"

class TComPort;

// Message sent to the port's hidden window, wParam one event-mask bit.
inline constexpr platform::UINT CM_COMEVENT = platform::WM_USER + 1;
// Message sent to the port's hidden window when the thread reports a failure.
inline constexpr platform::UINT CM_COMFAILURE = platform::WM_USER + 2;

class TComThread : public platform::TThread {
public:
    // Sets the port's event mask from its Events and starts waiting.
    explicit TComThread(TComPort& AComPort);
    ~TComThread() override;

    // Ends the thread's loop; it purges the port and ends soon after.
    void Stop();

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
    TVerdict Judge(platform::HANDLE port, platform::DWORD failure);
    void Report(platform::DWORD code);
    bool EndPendingWait(platform::HANDLE port, platform::OVERLAPPED& overlapped);
    void DispatchEvents();
    void SendEvents();
    void DoEvents();

    TComPort& FComPort;
    platform::DWORD FEventMask = 0;  // written by the platform when a wait completes
    platform::HANDLE FStopEvent;
    platform::DWORD FMask;
    bool FMaskSet = false;             // the mask is in force; else the thread sets it before waiting
    std::optional<EComPort> FFailure;  // handed to the main thread by CM_COMFAILURE
};
