#pragma once
// The event thread of an open port: it waits for the port's line events and
// hands each completed wait to the port's handlers, on the main thread
// (smThreadSync, smWindowSync) or on itself (smNone). It starts waiting on
// construction; destruction stops it and waits for its end (serving
// deliveries meanwhile when destroyed on the main thread).

#include "platform/MainThread.h"
#include "platform/WinApi.h"

class TComPort;

// Message sent to the port's hidden window, wParam one event-mask bit.
inline constexpr platform::UINT CM_COMEVENT = platform::WM_USER + 1;

class TComThread : public platform::TThread {
public:
    // Sets the port's event mask from its Events and starts waiting.
    explicit TComThread(TComPort& AComPort);
    ~TComThread() override;

    // Ends the thread's loop; it purges the port and ends soon after.
    void Stop();

protected:
    void Execute() override;

private:
    void DispatchEvents();
    void SendEvents();
    void DoEvents();

    TComPort& FComPort;
    platform::DWORD FEventMask = 0;  // written by the platform when a wait completes
    platform::HANDLE FStopEvent;
};
