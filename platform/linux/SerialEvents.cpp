// Line events and errors of a serial device: the mask, the pending wait,
// the event history and the accumulated CE_* flags.

#include "platform/linux/SerialDevice.h"

#include "platform/linux/DriverFaults.h"
#include "platform/linux/Overlapped.h"

#include <sys/ioctl.h>

#include <algorithm>

namespace platform::detail {

namespace {
constexpr DWORD kAllEvents = 0x1FFF;  // EV_RXCHAR .. EV_EVENT2
}

DWORD SerialDevice::SetMask(DWORD mask)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (mask & ~kAllEvents) return ERROR_INVALID_PARAMETER;
    if (wait_ && CurrentDriverFaults().waitRelease == WaitRelease::MaskChange) {
        *wait_->eventMask = 0;
        Finish(wait_->done, ERROR_SUCCESS, 0);
        wait_.reset();
    }
    mask_ = mask;
    history_ &= mask;
    Wake();  // a queue held back for a line end may have to take bytes again
    return ERROR_SUCCESS;
}

DWORD SerialDevice::GetMask(DWORD& mask)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    mask = mask_;
    return ERROR_SUCCESS;
}

DWORD SerialDevice::StartWait(DWORD* eventMask, OVERLAPPED& ov, std::shared_ptr<EventObject> event)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (gone_) return ERROR_BAD_COMMAND;
    if (mask_ == 0 || wait_ || eventMask == nullptr) return ERROR_INVALID_PARAMETER;
    if (DWORD failure = 0; TakeWaitFailure(failure)) {
        Completion done{&ov, std::move(event)};
        *eventMask = 0;
        Finish(done, failure, 0);
        return ERROR_IO_PENDING;
    }
    wait_ = PendingWait{Completion{&ov, std::move(event)}, eventMask};
    if (history_ == 0) return ERROR_IO_PENDING;
    DeliverHistory();
    return ERROR_SUCCESS;
}

DWORD SerialDevice::ClearErrors(DWORD* errors, COMSTAT* stat)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    // The count is what a read can take at once: first take in what the
    // kernel holds (and the errors that come with it).
    PullFromKernel();
    DeliverHistory();
    if (gone_ && input_.Empty()) return ERROR_BAD_COMMAND;
    if (errors) *errors = errors_;
    errors_ = 0;
    if (stat) {
        int kernelOut = 0;
        if (!gone_) ioctl(fd_, TIOCOUTQ, &kernelOut);
        std::size_t pendingOut = 0;
        for (const auto& w : writes_) pendingOut += w.data.size() - w.written;
        stat->cbInQue = static_cast<DWORD>(input_.Size());
        stat->cbOutQue = static_cast<DWORD>(pendingOut + static_cast<std::size_t>(std::max(kernelOut, 0)));
    }
    return ERROR_SUCCESS;
}

void SerialDevice::Finish(Completion& done, DWORD status, DWORD count)
{
    Publish(*done.ov, status, count);
    if (done.event) done.event.Release()->Set();
}

DWORD SerialDevice::Started(const OVERLAPPED& ov)
{
    DeliverHistory();
    if (StatusOf(ov) == ERROR_SUCCESS) return ERROR_SUCCESS;
    Wake();
    return ERROR_IO_PENDING;
}

void SerialDevice::Raise(DWORD events)
{
    history_ |= events & mask_;
}

void SerialDevice::DeliverHistory()
{
    if (!wait_ || history_ == 0) return;
    *wait_->eventMask = history_;
    if (history_ & EV_RXFLAG) rxFlagUnread_ = true;
    history_ = 0;
    Finish(wait_->done, ERROR_SUCCESS, 0);
    wait_.reset();
}

void SerialDevice::RecordError(DWORD ceFlags)
{
    errors_ |= ceFlags;
}

void SerialDevice::AbortWait(DWORD status)
{
    if (!wait_) return;
    *wait_->eventMask = 0;
    Finish(wait_->done, status, 0);
    wait_.reset();
}

bool SerialDevice::HoldsBack() const
{
    return input_.HoldsBack(LineEndReaderTold());
}

// Windows raises EV_RXFLAG for every event character that arrives while the
// mask has it, even one dropped by a full queue, and for none that came
// before. Holding bytes back for a queued line end must not keep that event
// from a waiter: only while nobody waits for it (a reader that polls), while
// it is recorded, or while it was delivered and its reader has not read yet.
bool SerialDevice::LineEndReaderTold() const
{
    return !(mask_ & EV_RXFLAG) || (history_ & EV_RXFLAG) || rxFlagUnread_;
}

}  // namespace platform::detail
