// Modem lines of a UART or USB adapter, from the kernel.
//
// TIOCMIWAIT blocks until a line changes and cannot be polled, so it runs in
// a thread of its own, which wakes the pump through an eventfd; the pump then
// compares the driver's counters (TIOCGICOUNT) with those it saw last, so a
// change is never lost, only reported with the next wake-up.
//
// Stopping: closing the tty does not end a TIOCMIWAIT in progress (the call
// holds its own reference to the file), and no descriptor can wake it. A
// signal can: the wait sleeps interruptibly and returns EINTR when a handler
// installed without SA_RESTART has run. A signal that arrives just before the
// thread enters the ioctl would be lost, so Stop sends it again each
// millisecond until the thread has ended; the first one nearly always does.

#include "platform/linux/ModemLineSource.h"

#include "platform/linux/Posix.h"

#include <linux/serial.h>
#include <pthread.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace platform::detail {

namespace {

// A real-time signal: nothing else in the process uses it, and its handler
// does nothing but interrupt the wait.
int StopSignal()
{
    return SIGRTMIN + 2;
}

void InstallStopHandler()
{
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;  // no SA_RESTART: the interrupted ioctl returns EINTR
        sigaction(StopSignal(), &action, nullptr);
    });
}

struct Counts {
    std::uint32_t cts = 0, dsr = 0, rng = 0, dcd = 0;
    std::uint32_t frame = 0, parity = 0, overrun = 0;

    bool SameLines(const Counts& o) const { return cts == o.cts && dsr == o.dsr && rng == o.rng && dcd == o.dcd; }
};

std::optional<Counts> ReadCounts(int fd)
{
    serial_icounter_struct c{};
    if (ioctl(fd, TIOCGICOUNT, &c) != 0) return std::nullopt;
    Counts n;
    n.cts = static_cast<std::uint32_t>(c.cts);
    n.dsr = static_cast<std::uint32_t>(c.dsr);
    n.rng = static_cast<std::uint32_t>(c.rng);
    n.dcd = static_cast<std::uint32_t>(c.dcd);
    n.frame = static_cast<std::uint32_t>(c.frame);
    n.parity = static_cast<std::uint32_t>(c.parity);
    n.overrun = static_cast<std::uint32_t>(c.overrun) + static_cast<std::uint32_t>(c.buf_overrun);
    return n;
}

class KernelModemLines final : public ModemLineSource {
public:
    explicit KernelModemLines(int fd) : fd_(fd)
    {
        const auto counts = ReadCounts(fd);
        if (!counts) return;  // state only: the driver counts nothing
        lines_ = errors_ = *counts;
        countsErrors_ = true;
        wakeFd_ = posix::MakeFlag();
        if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
        InstallStopHandler();
        try {
            waiter_ = std::thread([this, seen = *counts] { WaitForChanges(seen); });
        } catch (...) {
            close(wakeFd_);
            throw;
        }
    }
    ~KernelModemLines() override
    {
        Stop();
        if (wakeFd_ >= 0) close(wakeFd_);
    }

    DWORD Status(DWORD& bits) override
    {
        int m = 0;
        if (ioctl(fd_, TIOCMGET, &m) != 0) return ErrnoToWinError(errno);
        bits = 0;
        if (m & TIOCM_CTS) bits |= MS_CTS_ON;
        if (m & TIOCM_DSR) bits |= MS_DSR_ON;
        if (m & TIOCM_RNG) bits |= MS_RING_ON;
        if (m & TIOCM_CAR) bits |= MS_RLSD_ON;
        return ERROR_SUCCESS;
    }

    int ChangeFd() const override { return wakeFd_; }

    LineChange TakeChanges() override
    {
        posix::LowerFlag(wakeFd_);
        const auto now = ReadCounts(fd_);
        if (!now) return {};
        LineChange change;
        if (now->cts != lines_.cts) change.events |= EV_CTS;
        if (now->dsr != lines_.dsr) change.events |= EV_DSR;
        if (now->dcd != lines_.dcd) change.events |= EV_RLSD;
        if (now->rng != lines_.rng) change.events |= EV_RING;
        lines_ = *now;
        return change;
    }

    bool CountsLineErrors() const override { return countsErrors_; }

    LineChange TakeLineErrors(bool parityChecked) override
    {
        const auto now = ReadCounts(fd_);
        if (!now) return {};
        LineChange change;
        if (now->frame != errors_.frame) change.errors |= CE_FRAME;
        if (now->parity != errors_.parity && parityChecked) change.errors |= CE_RXPARITY;
        if (now->overrun != errors_.overrun) change.errors |= CE_OVERRUN;
        if (change.errors) change.events |= EV_ERR;
        errors_ = *now;
        return change;
    }

    void Stop() override
    {
        if (!waiter_.joinable()) return;
        stop_.store(true);
        {
            std::unique_lock lock(mutex_);
            while (!ended_) {
                pthread_kill(waiter_.native_handle(), StopSignal());
                endedChanged_.wait_for(lock, std::chrono::milliseconds(1));
            }
        }
        waiter_.join();
    }

private:
    void WaitForChanges(Counts seen)
    {
        constexpr int kLines = TIOCM_CTS | TIOCM_DSR | TIOCM_RNG | TIOCM_CD;
        while (!stop_.load()) {
            // A change between two waits shows in the counters.
            const auto now = ReadCounts(fd_);
            if (!now) break;
            if (!now->SameLines(seen)) {
                seen = *now;
                posix::RaiseFlag(wakeFd_);
                continue;
            }
            if (ioctl(fd_, TIOCMIWAIT, kLines) == 0 || errno == EINTR) continue;
            break;  // the driver cannot wait for lines, or the device has gone
        }
        std::lock_guard lock(mutex_);
        ended_ = true;
        endedChanged_.notify_all();
    }

    int fd_;
    int wakeFd_ = -1;
    bool countsErrors_ = false;
    Counts lines_;   // as the pump last reported them
    Counts errors_;  // as the last intake saw them
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable endedChanged_;
    bool ended_ = false;
    std::thread waiter_;
};

}  // namespace

std::unique_ptr<ModemLineSource> MakeKernelModemLines(int ttyFd)
{
    return std::make_unique<KernelModemLines>(ttyFd);
}

}  // namespace platform::detail
