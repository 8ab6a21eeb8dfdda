// TComPort's life: construction, Open, Close, the port name and the setters
// of its own (non-object) settings.

#include "serial/CPort.h"
#include "serial/StoreChanged.h"

#include <stdexcept>

#include "serial/BoundedClose.h"
#include "serial/ComEventTable.h"
#include "serial/PortFailure.h"

using namespace platform;

TComPort::TComPort()
{
    FParity = std::make_unique<TComParity>(this);
    FFlowControl = std::make_unique<TComFlowControl>(this);
    FTimeouts = std::make_unique<TComTimeouts>(this);
    FBuffer = std::make_unique<TComBuffer>(this);
}

TComPort::~TComPort()
{
    if (FConnected && ComDeliveryScope::IsDelivering(*this)) {
        ReleaseFromOwnHandler();
    } else {
        try {
            Close();
        } catch (...) {
            // Nobody can take the error any more; the port is closed all the same.
        }
    }
    FBuffer.reset();
    FFlowControl.reset();
    FTimeouts.reset();
    FParity.reset();
}

void TComPort::Open()
{
    if (FConnected) return;
    FDeviceLost = false;
    FFailedSinceOpen = false;
    CreatePortHandle();
    FConnected = true;
    try {
        ApplySettings();
        if (FEvents.Empty()) {
            FThreadCreated = false;
        } else {
            if (FSyncMethod == smWindowSync)
                FEventWindow =
                    AllocateHWnd([this](HWND w, UINT m, WPARAM wp, LPARAM lp) { return WindowMethod(w, m, wp, lp); });
            FEventThread = std::make_unique<TComThread>(*this);
            FThreadCreated = true;
            FEventThread->Resume();
        }
    } catch (...) {
        // Leave nothing half-open behind: no window, no device.
        DeallocateHWnd(FEventWindow);
        FEventWindow = nullptr;
        DestroyPortHandle();
        FConnected = false;
        throw;
    }
    if (FOnOpen) FOnOpen(this);
}

void TComPort::Close()
{
    if (!FConnected) return;
    // The event thread waits for this very handler to return: waiting for the
    // thread's end here would never finish.
    if (ComDeliveryScope::IsDelivering(*this))
        throw std::logic_error("a port cannot be closed from its own event handler");
    struct Closing {
        bool& flag;
        explicit Closing(bool& f) : flag(f) { flag = true; }
        ~Closing() { flag = false; }
    } closing(FClosing);

    // After a loss any call but CloseHandle may fail; the port must close all
    // the same, or its handle would keep the COM name taken for good.
    std::exception_ptr failure;
    const auto keepUnlessGone = [&failure](std::exception_ptr error) {
        try {
            std::rethrow_exception(error);
        } catch (const EComPort& e) {
            if (ClassifyPortFailure(e) == TPortFailure::pfDeviceGone) return;
        } catch (...) {
        }
        if (!failure) failure = error;
    };
    try {
        AbortPending();
    } catch (...) {
        keepUnlessGone(std::current_exception());
    }
    try {
        StopEventThread();
    } catch (...) {
        keepUnlessGone(std::current_exception());
    }
    DestroyPortHandle();
    FConnected = false;
    FDeviceLost = false;
    FFailedSinceOpen = false;
    if (FOnClose) FOnClose(this);
    if (failure) std::rethrow_exception(failure);
}

// Stops the thread and waits for its end while serving its deliveries; the
// thread and window are gone afterwards even when a delivery threw. A thread
// that does not end in time is given up rather than waited for.
void TComPort::StopEventThread()
{
    if (!FThreadCreated) return;
    std::exception_ptr deliveryError;
    FEventThread->Stop();
    try {
        FEventThread->WaitFor(kThreadEndLimit);
    } catch (...) {
        deliveryError = std::current_exception();
    }
    if (FEventThread->Finished())
        FEventThread.reset();
    else
        TComThread::Abandon(std::move(FEventThread));
    FThreadCreated = false;
    DeallocateHWnd(FEventWindow);
    FEventWindow = nullptr;
    if (deliveryError) std::rethrow_exception(deliveryError);
}

// The thread is blocked in this very delivery; it sees that it was given up
// once the handler returns, and ends without touching the port.
void TComPort::ReleaseFromOwnHandler() noexcept
{
    if (FThreadCreated) TComThread::Abandon(std::move(FEventThread));
    FThreadCreated = false;
    // Only a window delivery runs its handler on the window's thread; the
    // window's method outlives the delivery in progress.
    if (FEventWindow) DeallocateHWnd(FEventWindow);
    FEventWindow = nullptr;
    try {
        DestroyPortHandle();
    } catch (...) {
    }
    FConnected = false;
}

void TComPort::RaiseFailure(std::int32_t Code)
{
    EComPort error(Code, static_cast<std::int32_t>(GetLastError()));
    error.Port = FPortNum;
    if (FConnected) FFailedSinceOpen = true;
    if (FConnected && ClassifyPortFailure(error) == TPortFailure::pfDeviceGone) FDeviceLost = true;
    throw error;
}

void TComPort::CreatePortHandle()
{
    FHandle = CreateFile(FPortNum);
    if (FHandle == INVALID_HANDLE_VALUE) RaiseFailure(ComErrorCode::OpenFailed);
}

// Off the main thread and within a time limit: a driver may block in its
// close after the device has gone.
void TComPort::DestroyPortHandle()
{
    const HANDLE handle = TakeHandle();
    if (handle != INVALID_HANDLE_VALUE) CloseHandleWithin(handle, kHandleCloseLimit);
}

void TComPort::ApplySettings()
{
    ApplyLineSettings();
    ApplyTimeouts();
    ApplyBufferSizes();
}

void TComPort::SetPortNum(const std::string& Value)
{
    if (Value == FPortNum) return;
    FPortNum = NormalizePortName(Value);
    if (FConnected) {
        Close();
        Open();
    }
}

void TComPort::SetSyncMethod(TSyncMethod Value)
{
    if (Value == FSyncMethod) return;
    if (FConnected) throw EComPort(ComErrorCode::SyncMethodWhileOpen);
    FSyncMethod = Value;
}

using serial::detail::Store;

void TComPort::SetBaudRate(TBaudRate Value)
{
    if (Store(FBaudRate, Value)) ApplyLineSettings();
}
void TComPort::SetStopBits(TStopBits Value)
{
    if (Store(FStopBits, Value)) ApplyLineSettings();
}
void TComPort::SetDataBits(TDataBits Value)
{
    if (Store(FDataBits, Value)) ApplyLineSettings();
}
void TComPort::SetDiscardNull(bool Value)
{
    if (Store(FDiscardNull, Value)) ApplyLineSettings();
}
void TComPort::SetEventChar(std::uint8_t Value)
{
    if (Store(FEventChar, Value)) ApplyLineSettings();
}

void TComPort::SetParity(const TComParity& Value)
{
    FParity->CopyFrom(Value);
    ApplyLineSettings();
}

void TComPort::SetFlowControl(const TComFlowControl& Value)
{
    FFlowControl->CopyFrom(Value);
    ApplyLineSettings();
}

void TComPort::SetTimeouts(const TComTimeouts& Value)
{
    FTimeouts->CopyFrom(Value);
    ApplyTimeouts();
}

void TComPort::SetBuffer(const TComBuffer& Value)
{
    FBuffer->CopyFrom(Value);
    ApplyBufferSizes();
}
