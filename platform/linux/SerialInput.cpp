// The input side of a serial device: reads, the bytes taken in from the
// tty into the input queue, and what they raise.

#include "platform/linux/SerialDevice.h"

#include "platform/linux/Overlapped.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform::detail {

DWORD SerialDevice::StartRead(void* buffer, DWORD count, OVERLAPPED& ov, std::shared_ptr<EventObject> event)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (count > 0 && buffer == nullptr) return ERROR_INVALID_PARAMETER;
    if (gone_ && input_.Empty()) return ERROR_BAD_COMMAND;
    Completion done{&ov, std::move(event)};
    if (count == 0) {
        Finish(done, ERROR_SUCCESS, 0);
        return ERROR_SUCCESS;
    }
    PendingRead read;
    read.done = std::move(done);
    read.buffer = static_cast<std::uint8_t*>(buffer);
    read.count = count;
    read.plan = PlanRead(timeouts_, count);
    reads_.push_back(std::move(read));
    PullFromKernel();
    ServeReads(Clock::now());
    return Started(ov);
}

// An aborted read transfers nothing: its bytes stay queued for the next read.
void SerialDevice::AbortReads(DWORD status)
{
    for (auto& r : reads_) Finish(r.done, status, 0);
    reads_.clear();
}

void SerialDevice::TakeInput(std::uint8_t* out, std::size_t count)
{
    const bool heldBack = HoldsBack();
    input_.Take(out, count);
    rxFlagUnread_ = false;
    if (heldBack && !HoldsBack()) Wake();
}

void SerialDevice::ServeReads(Clock::time_point now)
{
    while (!reads_.empty()) {
        PendingRead& r = reads_.front();
        if (!r.started) {
            // Time-outs run from the moment a read is the one being served.
            r.started = true;
            if (r.plan.totalMs) r.totalDeadline = DeadlineAfter(now, *r.plan.totalMs);
            if (r.plan.intervalMs && !input_.Empty())
                r.intervalDeadline = now + std::chrono::milliseconds(*r.plan.intervalMs);
        }
        const std::size_t available = input_.Size();
        const bool done = available >= r.count || r.plan.returnAtOnce || gone_ ||
                          (r.plan.returnOnFirstByte && available > 0) || (r.totalDeadline && now >= *r.totalDeadline) ||
                          (r.intervalDeadline && now >= *r.intervalDeadline);
        if (!done) return;
        const auto n = static_cast<DWORD>(std::min<std::size_t>(available, r.count));
        TakeInput(r.buffer, n);
        Finish(r.done, ERROR_SUCCESS, n);
        reads_.pop_front();
    }
}

// One read of what the tty holds into the queue. False when the device has
// gone or nothing was there.
bool SerialDevice::ReadTty(Clock::time_point now)
{
    const std::size_t room = input_.Room(chunk_.size(), LineEndReaderTold());
    if (room == 0) return false;
    const ssize_t n = read(fd_, chunk_.data(), room);
    if (n > 0) {
        Intake(chunk_.data(), static_cast<std::size_t>(n), now);
        return true;
    }
    if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
        // Readable but nothing to read, or EIO: the device has gone.
        DeviceLost();
    }
    return false;
}

// Takes in what has reached the kernel but not yet the pump, so that a count
// or an immediate read on the caller's thread sees every byte received.
void SerialDevice::PullFromKernel()
{
    if (gone_ || closing_) return;
    int pending = 0;
    const auto now = Clock::now();
    for (int round = 0; round < 64 && ioctl(fd_, FIONREAD, &pending) == 0 && pending > 0; ++round) {
        if (!ReadTty(now)) break;
    }
}

void SerialDevice::Intake(const std::uint8_t* data, std::size_t size, Clock::time_point now)
{
    const std::size_t before = input_.Size();
    decoder_.Feed(data, size, [this](MarkedInputDecoder::Kind kind, std::uint8_t byte) { AcceptItem(kind, byte); });
    if (input_.Size() > before && !reads_.empty() && reads_.front().started && reads_.front().plan.intervalMs)
        reads_.front().intervalDeadline = now + std::chrono::milliseconds(*reads_.front().plan.intervalMs);
    if (input_.TakeRx80Crossing()) Raise(EV_RX80FULL);
    if (lines_->CountsLineErrors()) ApplyLineChange(lines_->TakeLineErrors(dcb_.fParity));
}

void SerialDevice::AcceptItem(MarkedInputDecoder::Kind kind, std::uint8_t byte)
{
    using Kind = MarkedInputDecoder::Kind;
    if (kind == Kind::Break) {
        RecordError(CE_BREAK);
        Raise(EV_BREAK);
        return;
    }
    if (kind == Kind::BadByte) {
        // A mark does not tell parity from framing; a UART's counters do
        // (TakeLineErrors), otherwise parity is the likely cause when enabled.
        if (!lines_->CountsLineErrors()) RecordError(dcb_.Parity != NOPARITY ? CE_RXPARITY : CE_FRAME);
        Raise(EV_ERR);
        if (dcb_.fErrorChar) byte = dcb_.ErrorChar;
    }
    if (dcb_.fNull && byte == 0) return;
    Raise(EV_RXCHAR);
    // Raised even when the byte is dropped below, so that a reader woken by
    // it empties the queue and the line recovers.
    if (byte == dcb_.EvtChar) Raise(EV_RXFLAG);
    if (input_.Push(byte) == InputQueue::Offer::Dropped) RecordError(CE_RXOVER);
}

}  // namespace platform::detail
