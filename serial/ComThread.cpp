#include "serial/ComThread.h"

#include "serial/CPort.h"
#include "serial/ComEventTable.h"

using namespace platform;

TComThread::TComThread(TComPort& AComPort) : TThread(true), FComPort(AComPort)
{
    FStopEvent = CreateEvent(true, false);
    SetCommMask(FComPort.Handle(), EventMaskOf(FComPort.Events()));
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

void TComThread::Execute()
{
    const HANDLE port = FComPort.Handle();
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEvent(true, true);
    const HANDLE waitHandles[2] = {FStopEvent, overlapped.hEvent};
    bool waitPending = false;

    try {
        for (;;) {
            if (WaitCommEvent(port, &FEventMask, &overlapped) || GetLastError() == ERROR_IO_PENDING) {
                waitPending = true;
            } else {
                // No wait can be started (the device has gone): deliver
                // nothing and don't spin, just sleep until Close stops us.
                WaitForSingleObject(FStopEvent, INFINITE);
                break;
            }
            if (WaitForMultipleObjects(2, waitHandles, false, INFINITE) != WAIT_OBJECT_0 + 1) break;
            waitPending = false;
            DWORD unused = 0;
            if (GetOverlappedResult(port, &overlapped, &unused, false)) DispatchEvents();
        }
    } catch (...) {
        CloseHandle(overlapped.hEvent);
        throw;
    }

    // The platform still holds &overlapped and &FEventMask while a wait is
    // pending: complete it (a new mask ends a pending wait) before both go.
    if (waitPending) {
        SetCommMask(port, 0);
        WaitForSingleObject(overlapped.hEvent, INFINITE);
    }
    PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CloseHandle(overlapped.hEvent);
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
