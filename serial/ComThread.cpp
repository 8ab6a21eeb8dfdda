#include "serial/ComThread.h"

#include "serial/BoundedClose.h"
#include "serial/CPort.h"
#include "serial/ComEventTable.h"
#include "serial/PortFailure.h"

#include <algorithm>
#include <utility>

using namespace platform;

namespace {

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

TComThread::TComThread(TComPort& AComPort)
    : TThread(true), FComPort(AComPort), FSyncMethod(AComPort.SyncMethod()), FEventWindow(AComPort.EventWindow())
{
    FStopEvent = CreateEvent(true, false);
    FMask = EventMaskOf(FComPort.Events());
    FMaskSet = SetCommMask(FComPort.Handle(), FMask);
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

void TComThread::Abandon(std::unique_ptr<TComThread> thread)
{
    thread->FAbandoned = true;
    thread->Stop();
    thread->Detach();
    KeepUntilExit(std::shared_ptr<TComThread>(std::move(thread)));
}

std::optional<EComPort> TComThread::TakeReportedFailure()
{
    return std::exchange(FFailure, std::nullopt);
}

void TComThread::Execute()
{
    const HANDLE port = FComPort.Handle();
    auto* wait = new TWaitRecord{};
    wait->Overlapped.hEvent = CreateEvent(true, true);
    const HANDLE waitHandles[2] = {FStopEvent, wait->Overlapped.hEvent};
    const auto release = [wait] {
        CloseHandle(wait->Overlapped.hEvent);
        delete wait;
    };
    bool waitPending = false;
    bool reported = false;
    TRetryPause pause;

    try {
        while (!FAbandoned) {
            // Ended with no event (a mask change, or a driver's whim), a wait
            // is started again after a pause, as after an aborted one.
            TVerdict verdict{TOutcome::Rearm, ERROR_SUCCESS};
            if (!FMaskSet && !(FMaskSet = SetCommMask(port, FMask))) {
                verdict = Judge(port, GetLastError());
            } else if (WaitCommEvent(port, &wait->EventMask, &wait->Overlapped) || GetLastError() == ERROR_IO_PENDING) {
                waitPending = true;
                if (WaitForMultipleObjects(2, waitHandles, false, INFINITE) != WAIT_OBJECT_0 + 1) break;
                waitPending = false;
                if (FAbandoned) break;
                DWORD unused = 0;
                if (!GetOverlappedResult(port, &wait->Overlapped, &unused, false)) {
                    verdict = Judge(port, GetLastError());
                } else if (wait->EventMask != 0) {
                    FEventMask = wait->EventMask;
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
        release();
        throw;
    }

    // A port that gave the thread up may be gone, its handle with it.
    if (FAbandoned) {
        if (waitPending)
            KeepUntilExit(std::shared_ptr<TWaitRecord>(wait));
        else
            release();
        return;
    }
    const TWaitEnd end = waitPending ? EndPendingWait(port, wait->Overlapped) : TWaitEnd{true, false};
    if (!end.HandleClosed) PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    // A wait the driver never completed keeps what it may still write into.
    if (end.Completed)
        release();
    else
        KeepUntilExit(std::shared_ptr<TWaitRecord>(wait));
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
    FComPort.FFailedSinceOpen = true;
    EComPort failure(ComErrorCode::AsyncStatus, static_cast<std::int32_t>(code));
    if (FSyncMethod != smWindowSync) throw failure;  // ends the thread, kept as its FatalException
    FFailure = std::move(failure);
    SendMessage(FEventWindow, CM_COMFAILURE, 0, 0);
}

// Each step waits a while for the wait to end before the next. A driver that
// completes it only when the handle closes gets the handle closed here, off
// the main thread (a close may block), and one that never completes it gets
// no more waiting.
TComThread::TWaitEnd TComThread::EndPendingWait(HANDLE port, OVERLAPPED& overlapped)
{
    const auto ended = [&] {
        return WaitForSingleObject(overlapped.hEvent, static_cast<DWORD>(kStopGrace.count())) == WAIT_OBJECT_0;
    };
    SetCommMask(port, 0);  // ends the wait on most drivers; fails on some after a loss
    if (ended()) return {true, false};
    CancelIoEx(port, &overlapped);
    if (ended()) return {true, false};
    const HANDLE taken = FComPort.TakeHandle();
    if (taken == INVALID_HANDLE_VALUE) return {false, true};
    CloseHandleWithin(taken, kHandleCloseLimit);
    return {ended(), true};
}

void TComThread::DispatchEvents()
{
    switch (FSyncMethod) {
    case smThreadSync: Synchronize([this] { DoEvents(); }); break;
    case smWindowSync: SendEvents(); break;
    case smNone: DoEvents(); break;
    }
}

// A handler may destroy the port: no delivery after that.
void TComThread::SendEvents()
{
    for (const auto& row : ComEventsInDeliveryOrder)
        if ((FEventMask & row.Bit) && !FAbandoned) SendMessage(FEventWindow, CM_COMEVENT, row.Bit, 0);
}

void TComThread::DoEvents()
{
    for (const auto& row : ComEventsInDeliveryOrder) {
        if (FAbandoned) return;
        if (FEventMask & row.Bit) {
            ComDeliveryScope delivering(FComPort);
            (FComPort.*row.Dispatch)();
        }
    }
}
