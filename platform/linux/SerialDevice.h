#pragma once
// One open serial device with the Windows driver's semantics.
//
// A pump thread owns the tty descriptor and blocks only in poll() over the
// tty, a wake-up eventfd and the descriptor of its modem-line source. It reads every byte into a user-space input
// queue, because a tty cannot be peeked and the event character must be seen as it arrives. It completes overlapped
// operations by filling their records and setting their events. All state is guarded by one mutex, which the pump drops
// only while it waits, so every call is safe from any thread.
//
// The class is implemented by concern: SerialDevice.cpp (open, loss, close,
// settings), SerialInput.cpp (reads and intake into the InputQueue),
// SerialOutput.cpp (writes), SerialEvents.cpp (mask, waits, history, errors),
// SerialModemLines.cpp (modem lines) and SerialPump.cpp (the loop).

#include "platform/WinApi.h"
#include "platform/linux/CommTimeouts.h"
#include "platform/linux/Event.h"
#include "platform/linux/HandleTable.h"
#include "platform/linux/InputQueue.h"
#include "platform/linux/MarkedInput.h"
#include "platform/linux/ModemLineSource.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace platform::detail {

// Counts one serial-device call for CommCallCount().
void CountCommCall();

class SerialDevice final : public KernelObject {
public:
    // Opens the device that a COM name resolves to, exclusively, in raw mode,
    // with empty queues. nullptr with a Windows error code in *error.
    static std::shared_ptr<SerialDevice> Open(const std::string& comName, DWORD* error);
    ~SerialDevice() override;
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Completes every pending operation with ERROR_OPERATION_ABORTED, stops
    // the pump and closes the device.
    void OnHandleClosed() override;

    // Each returns a Windows error code: 0 when done (an overlapped record,
    // which the caller has marked pending, is then already filled and its
    // event set), ERROR_IO_PENDING when the record
    // completes later (or has completed with an error), or the code that
    // refuses the call. After the device has gone, by default calls that
    // only discard or report settings still succeed; the others fail with
    // ERROR_BAD_COMMAND, except that bytes received before the loss can
    // still be counted and read. Under a strict loss (DriverFaults.h) every
    // one of them fails with the chosen code.
    DWORD Setup(DWORD inQueue, DWORD outQueue);
    DWORD SetState(const DCB& dcb);
    DWORD GetState(DCB& dcb);
    DWORD SetTimeouts(const COMMTIMEOUTS& timeouts);
    DWORD GetTimeouts(COMMTIMEOUTS& timeouts);
    DWORD SetMask(DWORD mask);
    DWORD GetMask(DWORD& mask);
    DWORD ClearErrors(DWORD* errors, COMSTAT* stat);
    DWORD Purge(DWORD flags);
    DWORD ModemStatus(DWORD* status);
    DWORD StartWait(DWORD* eventMask, OVERLAPPED& ov, std::shared_ptr<EventObject> event);
    DWORD StartRead(void* buffer, DWORD count, OVERLAPPED& ov, std::shared_ptr<EventObject> event);
    DWORD StartWrite(const void* data, DWORD count, OVERLAPPED& ov, std::shared_ptr<EventObject> event);
    // Ends the operation of that record with ERROR_OPERATION_ABORTED;
    // ERROR_NOT_FOUND when none is pending on it.
    DWORD Cancel(const OVERLAPPED& ov);

private:
    using Clock = std::chrono::steady_clock;

    struct Completion {
        OVERLAPPED* ov = nullptr;
        EventUse event;
    };
    struct PendingRead {
        Completion done;
        std::uint8_t* buffer = nullptr;
        DWORD count = 0;
        ReadPlan plan;
        bool started = false;
        std::optional<Clock::time_point> totalDeadline;
        std::optional<Clock::time_point> intervalDeadline;
    };
    struct PendingWrite {
        Completion done;
        std::vector<std::uint8_t> data;  // a copy: the caller's buffer may not outlive the call
        DWORD written = 0;
        std::optional<std::uint64_t> totalMs;
        bool started = false;
        std::optional<Clock::time_point> deadline;
    };
    struct PendingWait {
        Completion done;
        DWORD* eventMask = nullptr;
    };

    SerialDevice(int fd, int wakeFd, const DCB& initial);

    // Everything below runs with mutex_ held.
    // The code that refuses every call now: the handle is being closed, or
    // the device has gone under a strict loss. 0 otherwise.
    DWORD Refused() const;
    void Finish(Completion& done, DWORD status, DWORD count);
    // After a read or write was queued and served as far as it goes now:
    // ERROR_SUCCESS when its record is complete, else ERROR_IO_PENDING with
    // the pump woken to carry it on. Delivers the events it raised.
    DWORD Started(const OVERLAPPED& ov);
    void Raise(DWORD events);
    void DeliverHistory();
    void RecordError(DWORD ceFlags);
    void AbortReads(DWORD status);
    void AbortWrites(DWORD status);
    void AbortWait(DWORD status);
    void DeviceLost();
    static bool HoldsWaitPastCancel();
    void Wake();
    // Whether the input queue may hold bytes back now (InputQueue::HoldsBack).
    bool HoldsBack() const;
    bool LineEndReaderTold() const;

    void ServeReads(Clock::time_point now);
    void TakeInput(std::uint8_t* out, std::size_t count);
    void ProgressWrites(Clock::time_point now);
    void StartHeadWrite(Clock::time_point now);
    void ExpireWrite(Clock::time_point now);
    int PollTimeoutMs(Clock::time_point now) const;

    void PumpLoop();
    void ServeTty(short revents, Clock::time_point now);
    bool ReadTty(Clock::time_point now);
    void PullFromKernel();
    void Intake(const std::uint8_t* data, std::size_t size, Clock::time_point now);
    void AcceptItem(MarkedInputDecoder::Kind kind, std::uint8_t byte);
    void ApplyLineChange(const LineChange& change);
    void Shutdown();

    std::mutex mutex_;
    int fd_;
    int wakeFd_;
    std::unique_ptr<ModemLineSource> lines_;

    bool closing_ = false;
    bool gone_ = false;
    DCB dcb_;
    COMMTIMEOUTS timeouts_;
    DWORD mask_ = 0;
    DWORD history_ = 0;
    DWORD errors_ = 0;
    bool rxFlagUnread_ = false;  // a wait completed with EV_RXFLAG and no read has come since

    InputQueue input_;
    MarkedInputDecoder decoder_;

    std::optional<PendingWait> wait_;
    std::deque<PendingRead> reads_;
    std::deque<PendingWrite> writes_;

    std::vector<std::uint8_t> chunk_ = std::vector<std::uint8_t>(4096);
    std::thread pump_;
};

}  // namespace platform::detail
