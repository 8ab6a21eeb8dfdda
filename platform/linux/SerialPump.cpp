// The pump of a serial device: the one loop that waits for the tty, the
// modem-line source and the next time-out, and hands what it finds to the
// input, output and event sides.

#include "platform/linux/SerialDevice.h"

#include "platform/linux/Overlapped.h"
#include "platform/linux/Posix.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>

namespace platform::detail {

int SerialDevice::PollTimeoutMs(Clock::time_point now) const
{
    std::optional<Clock::time_point> next;
    const auto consider = [&](const std::optional<Clock::time_point>& t) {
        if (t && (!next || *t < *next)) next = t;
    };
    if (!reads_.empty()) {
        consider(reads_.front().totalDeadline);
        consider(reads_.front().intervalDeadline);
    }
    if (!writes_.empty()) consider(writes_.front().deadline);
    // Rounded up, so the pump never wakes just before a deadline and spins.
    return posix::PollTimeoutMs(next, now);
}

void SerialDevice::PumpLoop()
{
    std::unique_lock lock(mutex_);
    while (!closing_) {
        pollfd fds[3];
        nfds_t count = 0;
        fds[count++] = pollfd{wakeFd_, POLLIN, 0};
        int ttyIndex = -1;
        int linesIndex = -1;
        // After the device has gone its descriptor stays out of the poll:
        // a hung-up tty is always "ready" and would make this loop spin.
        if (!gone_) {
            short events = 0;
            if (!HoldsBack()) events |= POLLIN;
            if (!writes_.empty()) events |= POLLOUT;
            ttyIndex = static_cast<int>(count);
            fds[count++] = pollfd{fd_, events, 0};
            if (lines_->ChangeFd() >= 0) {
                linesIndex = static_cast<int>(count);
                fds[count++] = pollfd{lines_->ChangeFd(), POLLIN, 0};
            }
        }
        const int timeout = PollTimeoutMs(Clock::now());
        lock.unlock();
        const int ready = poll(fds, count, timeout);
        const int pollError = errno;
        lock.lock();
        if (closing_) break;
        if (ready < 0 && pollError != EINTR) DeviceLost();
        if (fds[0].revents & POLLIN) posix::LowerFlag(wakeFd_);
        const auto now = Clock::now();
        if (ready > 0 && ttyIndex >= 0 && fds[ttyIndex].revents) ServeTty(fds[ttyIndex].revents, now);
        if (ready > 0 && linesIndex >= 0 && fds[linesIndex].revents && !gone_) ApplyLineChange(lines_->TakeChanges());
        ServeReads(now);
        ExpireWrite(now);
        DeliverHistory();
    }
}

void SerialDevice::ServeTty(short revents, Clock::time_point now)
{
    if ((revents & POLLIN) && !ReadTty(now)) return;
    if (revents & POLLOUT) ProgressWrites(now);
    if ((revents & (POLLHUP | POLLERR | POLLNVAL)) && !(revents & POLLIN)) DeviceLost();
}

}  // namespace platform::detail
