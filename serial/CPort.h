#pragma once
// The serial port component TComPort: its settings, opening and closing,
// overlapped reads and writes, and the event thread that delivers line events
// to its handlers.
//
// Use on one thread (the main thread): set the properties, Open, then
// PurgeQueues / WriteText / BytesWaiting / ReadText; Close (or destruction)
// ends it. Every failure raises EComPort. While the port is closed the setters
// only store; Open applies everything. A setter given the value already held
// does nothing at all.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/MainThread.h"
#include "platform/WinApi.h"
#include "serial/ComAsync.h"
#include "serial/ComSettings.h"
#include "serial/ComThread.h"
#include "serial/ComTypes.h"
#include "serial/EComPort.h"
#include "serial/Persistent.h"

// The name PortNum keeps for a text: platform::NormalizeComName (ComName.h),
// "COM12" for "12", "com12" or "COM 12", and "COM1" for a text that names no
// port from 1 to 255.
std::string NormalizePortName(const std::string& Text);

class TComPort : public TObject {
public:
    TComPort();
    // Closes the port (releasing everything even if the close fails).
    ~TComPort() override;
    TComPort(const TComPort&) = delete;
    TComPort& operator=(const TComPort&) = delete;

    std::string ClassName() const override { return "TComPort"; }

    // ---- properties, in their stored order ----
    TBaudRate BaudRate() const { return FBaudRate; }
    void SetBaudRate(TBaudRate Value);
    // Stored normalised; a different text reopens an open port under the new name.
    const std::string& PortNum() const { return FPortNum; }
    void SetPortNum(const std::string& Value);
    TComParity& Parity() { return *FParity; }
    const TComParity& Parity() const { return *FParity; }
    void SetParity(const TComParity& Value);  // copies all values, then applies
    TStopBits StopBits() const { return FStopBits; }
    void SetStopBits(TStopBits Value);
    TDataBits DataBits() const { return FDataBits; }
    void SetDataBits(TDataBits Value);
    bool DiscardNull() const { return FDiscardNull; }
    void SetDiscardNull(bool Value);
    std::uint8_t EventChar() const { return FEventChar; }
    void SetEventChar(std::uint8_t Value);
    // Takes effect at the next Open.
    TEvents Events() const { return FEvents; }
    void SetEvents(TEvents Value) { FEvents = Value; }
    TComBuffer& Buffer() { return *FBuffer; }
    const TComBuffer& Buffer() const { return *FBuffer; }
    void SetBuffer(const TComBuffer& Value);  // copies both sizes, then applies
    TComFlowControl& FlowControl() { return *FFlowControl; }
    const TComFlowControl& FlowControl() const { return *FFlowControl; }
    void SetFlowControl(const TComFlowControl& Value);
    TComTimeouts& Timeouts() { return *FTimeouts; }
    const TComTimeouts& Timeouts() const { return *FTimeouts; }
    void SetTimeouts(const TComTimeouts& Value);
    // A change while the port is open raises EComPort 14 and keeps the old value.
    TSyncMethod SyncMethod() const { return FSyncMethod; }
    void SetSyncMethod(TSyncMethod Value);

    const TRxCharEvent& OnRxChar() const { return FOnRxChar; }
    void SetOnRxChar(TRxCharEvent Value) { FOnRxChar = std::move(Value); }
    const TNotifyEvent& OnTxEmpty() const { return FOnTxEmpty; }
    void SetOnTxEmpty(TNotifyEvent Value) { FOnTxEmpty = std::move(Value); }
    const TNotifyEvent& OnBreak() const { return FOnBreak; }
    void SetOnBreak(TNotifyEvent Value) { FOnBreak = std::move(Value); }
    const TNotifyEvent& OnRing() const { return FOnRing; }
    void SetOnRing(TNotifyEvent Value) { FOnRing = std::move(Value); }
    const TSignalEvent& OnCTSChange() const { return FOnCTSChange; }
    void SetOnCTSChange(TSignalEvent Value) { FOnCTSChange = std::move(Value); }
    const TSignalEvent& OnDSRChange() const { return FOnDSRChange; }
    void SetOnDSRChange(TSignalEvent Value) { FOnDSRChange = std::move(Value); }
    const TSignalEvent& OnRLSDChange() const { return FOnRLSDChange; }
    void SetOnRLSDChange(TSignalEvent Value) { FOnRLSDChange = std::move(Value); }
    const TNotifyEvent& OnRxFlag() const { return FOnRxFlag; }
    void SetOnRxFlag(TNotifyEvent Value) { FOnRxFlag = std::move(Value); }
    const TErrorEvent& OnError() const { return FOnError; }
    void SetOnError(TErrorEvent Value) { FOnError = std::move(Value); }
    const TNotifyEvent& OnOpen() const { return FOnOpen; }
    void SetOnOpen(TNotifyEvent Value) { FOnOpen = std::move(Value); }
    const TNotifyEvent& OnClose() const { return FOnClose; }
    void SetOnClose(TNotifyEvent Value) { FOnClose = std::move(Value); }
    const TNotifyEvent& OnRx80Full() const { return FOnRx80Full; }
    void SetOnRx80Full(TNotifyEvent Value) { FOnRx80Full = std::move(Value); }

    // ---- state ----
    bool Connected() const { return FConnected; }
    platform::HANDLE Handle() const { return FHandle.load(); }
    bool ThreadCreated() const { return FThreadCreated; }
    TComThread* EventThread() const { return FEventThread.get(); }
    platform::HWND EventWindow() const { return FEventWindow; }
    // True once a call on the open port, or its event thread, found the
    // device gone (ClassifyPortFailure); false again after Close.
    bool DeviceLost() const { return FDeviceLost.load(); }
    // True once any call on the open port, or its event thread, failed,
    // whatever the code; false again after Close. The driver decides which
    // code a removed device gives, so only a new Open is sure to reach the
    // device again.
    bool FailedSinceOpen() const { return FFailedSinceOpen.load(); }

    // ---- life ----
    // Opens the device, applies all settings, starts the event thread (and
    // under smWindowSync its hidden window) when Events is not empty, then
    // calls OnOpen. No effect when open.
    void Open();
    // Aborts pending I/O, stops the event thread (completing a delivery it has
    // begun), closes the device, then calls OnClose. No effect when closed.
    // Every step runs whatever failed before it, so the port is always closed
    // afterwards and its name free for the next Open, also when the device
    // has gone and every call on it fails. It takes a few seconds at most:
    // a thread or a handle close that a driver holds up longer is left to
    // finish by itself (the name may then stay taken until it does). A
    // failure because the device has gone raises nothing (it has been
    // reported already); any other failure, or a handler's exception raised
    // while Close waits for the thread, is raised once the port is closed.
    // Called from one of this port's own event handlers it raises
    // std::logic_error and does nothing (its thread waits for that handler,
    // so it could never end).
    void Close();

    // ---- operations on an open port (on a closed one they raise) ----
    std::int32_t BytesWaiting();
    void PurgeQueues(bool Input, bool Output);
    // Writes all of Data and waits for the end; returns the bytes written
    // (fewer when the write time-out expired).
    std::int32_t WriteText(const std::string& Data);
    // Reads up to Count bytes and waits for the end; Data gets exactly the
    // bytes read. A negative Count reads nothing.
    std::int32_t ReadText(std::string& Data, std::int32_t Count);
    TModemSignals ModemSignals();
    // Returns and clears the pending line errors.
    TComErrors LineErrors();
    void AbortPending();

    // Start an overlapped write or read on a record from NewAsyncRecord and
    // return the count known at the start. Data must stay alive (and, for a
    // read, sized Count) until AwaitAsync.
    std::int32_t WriteTextAsync(const std::string& Data, PAsync AsyncPtr);
    std::int32_t ReadTextAsync(std::string& Data, std::int32_t Count, PAsync AsyncPtr);
    // Waits for the record's operation and returns its byte count.
    std::int32_t AwaitAsync(PAsync AsyncPtr);

    // ---- applying settings (each a no-op while closed) ----
    void ApplyLineSettings();
    void ApplyTimeouts();
    void ApplyBufferSizes();
    // The device control block the current settings give.
    platform::DCB BuildDCB() const;

    // ---- event delivery ----
    // The hidden window's method: CM_COMEVENT with one event bit in wParam
    // calls that event's dispatcher; other wParams are ignored. CM_COMFAILURE
    // raises the failure the event thread reported (while Close runs, nothing).
    // Other messages go to DefWindowProc.
    platform::LRESULT WindowMethod(platform::HWND Wnd, platform::UINT Msg, platform::WPARAM WParam,
                                   platform::LPARAM LParam);

    // Dispatchers: each calls its handler if one is assigned, and only then
    // queries the device for what the handler receives.
    void DoRxChar();
    void DoTxEmpty();
    void DoBreak();
    void DoRing();
    void DoCTSChange();
    void DoDSRChange();
    void DoRxFlag();
    void DoRLSDChange();
    void DoError();
    void DoRx80Full();

protected:
    // Open and Close reach the device only through these.
    virtual void CreatePortHandle();
    virtual void DestroyPortHandle();
    virtual void ApplySettings();

private:
    friend class TComThread;  // notes failures; closes the handle under a wait the driver holds

    // Raises EComPort with Code and the last platform error, noting a lost device.
    [[noreturn]] void RaiseFailure(std::int32_t Code);
    void StopEventThread();
    // Hands the handle over for closing, once; INVALID_HANDLE_VALUE after.
    platform::HANDLE TakeHandle() { return FHandle.exchange(platform::INVALID_HANDLE_VALUE); }
    // For a port destroyed by one of its own handlers, whose thread waits for
    // that handler: releases everything without waiting for the thread.
    void ReleaseFromOwnHandler() noexcept;

    TBaudRate FBaudRate = br9600;
    std::string FPortNum = "COM1";
    std::unique_ptr<TComParity> FParity;
    TStopBits FStopBits = sbOneStopBit;
    TDataBits FDataBits = dbEight;
    bool FDiscardNull = false;
    std::uint8_t FEventChar = 0;
    TEvents FEvents = AllEvents;
    std::unique_ptr<TComBuffer> FBuffer;
    std::unique_ptr<TComFlowControl> FFlowControl;
    std::unique_ptr<TComTimeouts> FTimeouts;
    TSyncMethod FSyncMethod = smThreadSync;

    TRxCharEvent FOnRxChar;
    TNotifyEvent FOnTxEmpty;
    TNotifyEvent FOnBreak;
    TNotifyEvent FOnRing;
    TSignalEvent FOnCTSChange;
    TSignalEvent FOnDSRChange;
    TSignalEvent FOnRLSDChange;
    TNotifyEvent FOnRxFlag;
    TErrorEvent FOnError;
    TNotifyEvent FOnOpen;
    TNotifyEvent FOnClose;
    TNotifyEvent FOnRx80Full;

    bool FConnected = false;
    std::atomic<platform::HANDLE> FHandle{platform::INVALID_HANDLE_VALUE};  // taken by the thread to end a held wait
    std::unique_ptr<TComThread> FEventThread;
    bool FThreadCreated = false;
    platform::HWND FEventWindow = nullptr;
    std::atomic<bool> FDeviceLost{false};       // also set by the event thread
    std::atomic<bool> FFailedSinceOpen{false};  // also set by the event thread
    bool FClosing = false;
};
