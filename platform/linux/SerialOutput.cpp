// The output side of a serial device: writes, handed to the kernel without
// blocking, and their time-outs.

#include "platform/linux/SerialDevice.h"

#include "platform/linux/Overlapped.h"

#include <unistd.h>

#include <cerrno>

namespace platform::detail {

DWORD SerialDevice::StartWrite(const void* data, DWORD count, OVERLAPPED& ov, std::shared_ptr<EventObject> event)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (count > 0 && data == nullptr) return ERROR_INVALID_PARAMETER;
    if (gone_) return ERROR_BAD_COMMAND;
    Completion done{&ov, std::move(event)};
    if (count == 0) {
        Finish(done, ERROR_SUCCESS, 0);
        return ERROR_SUCCESS;
    }
    PendingWrite write;
    write.done = std::move(done);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    write.data.assign(bytes, bytes + count);
    write.totalMs = PlanWrite(timeouts_, count);
    writes_.push_back(std::move(write));
    ProgressWrites(Clock::now());
    return Started(ov);
}

void SerialDevice::AbortWrites(DWORD status)
{
    for (auto& w : writes_) Finish(w.done, status, w.written);
    writes_.clear();
}

void SerialDevice::StartHeadWrite(Clock::time_point now)
{
    PendingWrite& w = writes_.front();
    if (w.started) return;
    w.started = true;
    if (w.totalMs) w.deadline = DeadlineAfter(now, *w.totalMs);
}

void SerialDevice::ProgressWrites(Clock::time_point now)
{
    while (!writes_.empty() && !gone_) {
        StartHeadWrite(now);
        PendingWrite& w = writes_.front();
        while (w.written < w.data.size()) {
            const ssize_t n = write(fd_, w.data.data() + w.written, w.data.size() - w.written);
            if (n > 0) {
                w.written += static_cast<DWORD>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                return;  // the pump goes on when the tty takes more (POLLOUT)
            } else {
                DeviceLost();
                return;
            }
        }
        Finish(w.done, ERROR_SUCCESS, w.written);
        writes_.pop_front();
        // "Written" means taken by the kernel; a pty reports its output queue
        // empty at once, and a UART cannot tell us when it has drained.
        if (writes_.empty()) Raise(EV_TXEMPTY);
    }
}

void SerialDevice::ExpireWrite(Clock::time_point now)
{
    while (!writes_.empty()) {
        StartHeadWrite(now);
        PendingWrite& w = writes_.front();
        if (!w.deadline || now < *w.deadline) return;
        // A time-out is success with the count the kernel took.
        Finish(w.done, ERROR_SUCCESS, w.written);
        writes_.pop_front();
    }
}

}  // namespace platform::detail
