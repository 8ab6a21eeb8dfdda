#include "serial/ComThread.h"

#include "serial/CPort.h"
#include "serial/ComEventTable.h"
#include "serial/PortFailure.h"

#include <algorithm>
#include <utility>

using namespace platform;

namespace {

// How long a pending wait is given to end after the mask change, and again
// after CancelIoEx, before the last resort.
constexpr DWORD kGraceMs = 250;

// The pause before a wait is started again after a failure: none after a
// success, then doubling. It is spent waiting on the stop event, so Close
// stays prompt.
class TRetryPause {
public:
    DWORD Next()
    {
        next_ = next_ == 0 ? kFirstMs : std::min(next_ * 2, kLongestMs);
        return next_;
    }
    void Reset() { next_ = 0; }

private:
    static constexpr DWORD kFirstMs = 10;
    static constexpr DWORD kLongestMs = 1000;
    DWORD next_ = 0;
};

bool MeansDeviceGone(DWORD code)
{
    return ClassifyPortFailure(ComErrorCode::AsyncStatus, static_cast<std::int32_t>(code)) ==
           TPortFailure::pfDeviceGone;
}

}  // namespace

TComThread::TComThread(TComPort& AComPort) : TThread(true), FComPort(AComPort)
{
    FStopEvent = CreateEvent(true, false);
    FMask = EventMaskOf(FComPort.Events());
    FMaskSet = SetCommMask(FComPort.Handle(), FMask);
    Resume();
}

TComThread::~TComThread()
{
    // Join here, before FEventMask and FStopEvent go away under a running body.
    Stop();
    Terminate();
    try {
        WaitFor();
    } catch (...) {
        // A delivery's exception cannot leave a destructor; the port waits
        // itself first to keep it.
    }
    // Closed only now: a late Stop() must never signal a reused handle.
    CloseHandle(FStopEvent);
}

void TComThread::Stop()
{
    SetEvent(FStopEvent);
}

std::optional<EComPort> TComThread::TakeReportedFailure()
{
    return std::exchange(FFailure, std::nullopt);
}

void TComThread::Execute()
{
    const HANDLE port = FComPort.Handle();
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEvent(true, true);
    const HANDLE waitHandles[2] = {FStopEvent, overlapped.hEvent};
    bool waitPending = false;
    bool reported = false;
    TRetryPause pause;

    try {
        for (;;) {
            // Ended with no event (a mask change, or a driver's whim), a wait
            // is started again after a pause, as after an aborted one.
            TVerdict verdict{TOutcome::Rearm, ERROR_SUCCESS};
            if (!FMaskSet && !(FMaskSet = SetCommMask(port, FMask))) {
                verdict = Judge(port, GetLastError());
            } else if (WaitCommEvent(port, &FEventMask, &overlapped) || GetLastError() == ERROR_IO_PENDING) {
                waitPending = true;
                if (WaitForMultipleObjects(2, waitHandles, false, INFINITE) != WAIT_OBJECT_0 + 1) break;
                waitPending = false;
                DWORD unused = 0;
                if (!GetOverlappedResult(port, &overlapped, &unused, false)) {
                    verdict = Judge(port, GetLastError());
                } else if (FEventMask != 0) {
                    pause.Reset();
                    reported = false;
                    DispatchEvents();
                    continue;
                }
            } else {
                verdict = Judge(port, GetLastError());
            }

            if (verdict.Outcome == TOutcome::Lost) {
                FComPort.FDeviceLost = true;
                Report(verdict.Code);
                WaitForSingleObject(FStopEvent, INFINITE);  // nothing to wait for until the port is closed
                break;
            }
            if (verdict.Outcome == TOutcome::Failed && !reported) {
                reported = true;
                Report(verdict.Code);
            }
            if (WaitForSingleObject(FStopEvent, pause.Next()) != WAIT_TIMEOUT) break;
        }
    } catch (...) {
        CloseHandle(overlapped.hEvent);
        throw;
    }

    const bool handleClosed = waitPending && EndPendingWait(port, overlapped);
    if (!handleClosed) PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CloseHandle(overlapped.hEvent);
}

// What a failed wait means. Codes that a removed device gives are a loss;
// an aborted wait is a loss only if a call without effect on the line fails
// too (ClearCommError: it works on a pseudo-terminal under wine, where the
// modem status does not; it clears the line-error flags, which only matters
// after a failure).
TComThread::TVerdict TComThread::Judge(HANDLE port, DWORD failure)
{
    if (failure != ERROR_OPERATION_ABORTED && MeansDeviceGone(failure)) return {TOutcome::Lost, failure};
    DWORD errors = 0;
    COMSTAT stat;
    if (!ClearCommError(port, &errors, &stat)) {
        const DWORD probe = GetLastError();
        return {MeansDeviceGone(probe) ? TOutcome::Lost : TOutcome::Failed, probe};
    }
    if (failure == ERROR_OPERATION_ABORTED) return {TOutcome::Rearm, failure};
    return {TOutcome::Failed, failure};
}

void TComThread::Report(DWORD code)
{
    EComPort failure(ComErrorCode::AsyncStatus, static_cast<std::int32_t>(code));
    if (FComPort.SyncMethod() != smWindowSync) throw failure;  // ends the thread, kept as its FatalException
    FFailure = std::move(failure);
    SendMessage(FComPort.EventWindow(), CM_COMFAILURE, 0, 0);
}

// The platform writes into the record and FEventMask until the wait has
// completed, so both must outlive it. Returns whether the port's handle was
// closed to end it.
bool TComThread::EndPendingWait(HANDLE port, OVERLAPPED& overlapped)
{
    SetCommMask(port, 0);  // ends the wait on most drivers; fails on some after a loss
    if (WaitForSingleObject(overlapped.hEvent, kGraceMs) == WAIT_OBJECT_0) return false;
    CancelIoEx(port, &overlapped);
    if (WaitForSingleObject(overlapped.hEvent, kGraceMs) == WAIT_OBJECT_0) return false;
    // A driver that completes the wait only when the handle closes: the main
    // thread, which is waiting for this thread's end, closes it.
    Synchronize([this] { FComPort.DestroyPortHandle(); });
    WaitForSingleObject(overlapped.hEvent, INFINITE);
    return true;
}

void TComThread::DispatchEvents()
{
    switch (FComPort.SyncMethod()) {
    case smThreadSync: Synchronize([this] { DoEvents(); }); break;
    case smWindowSync: SendEvents(); break;
    case smNone: DoEvents(); break;
    }
}

void TComThread::SendEvents()
{
    for (const auto& row : ComEventsInDeliveryOrder)
        if (FEventMask & row.Bit) SendMessage(FComPort.EventWindow(), CM_COMEVENT, row.Bit, 0);
}

void TComThread::DoEvents()
{
    ComDeliveryScope delivering(FComPort);
    for (const auto& row : ComEventsInDeliveryOrder)
        if (FEventMask & row.Bit) (FComPort.*row.Dispatch)();
}
