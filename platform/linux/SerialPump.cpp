// The pump of a serial device: everything that happens without a caller,
// from received bytes to time-outs, and the bookkeeping it shares with the
// calls. Every function here runs with the device mutex held.

#include "platform/linux/SerialDevice.h"

#include "platform/linux/Overlapped.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>
#include <sstream>

namespace platform::detail {

namespace {

// Time-outs longer than this (about 30 years) never expire; it keeps the
// arithmetic far from the clock's limits.
constexpr std::uint64_t kNeverMs = 1'000'000'000'000ull;

std::optional<std::chrono::steady_clock::time_point> DeadlineAfter(std::chrono::steady_clock::time_point now,
                                                                   std::uint64_t ms)
{
    if (ms >= kNeverMs) return std::nullopt;
    return now + std::chrono::milliseconds(ms);
}

}  // namespace

void SerialDevice::Finish(Completion& done, DWORD status, DWORD count)
{
    Publish(*done.ov, status, count);
    if (done.event) done.event->Set();
    finished_.notify_all();
}

void SerialDevice::Raise(DWORD events)
{
    history_ |= events & mask_;
}

void SerialDevice::DeliverHistory()
{
    if (!wait_ || history_ == 0) return;
    *wait_->eventMask = history_;
    history_ = 0;
    Finish(wait_->done, ERROR_SUCCESS, 0);
    wait_.reset();
}

void SerialDevice::RecordError(DWORD ceFlags)
{
    errors_ |= ceFlags;
    // Like the Windows driver: with fAbortOnError an error ends the reads and
    // writes in progress, and new ones fail until ClearCommError.
    if (dcb_.fAbortOnError) {
        AbortReads(ERROR_OPERATION_ABORTED);
        AbortWrites(ERROR_OPERATION_ABORTED);
    }
}

// An aborted read transfers nothing: its bytes stay queued for the next read.
void SerialDevice::AbortReads(DWORD status)
{
    for (auto& r : reads_) Finish(r.done, status, 0);
    reads_.clear();
}

void SerialDevice::AbortWrites(DWORD status)
{
    for (auto& w : writes_) Finish(w.done, status, w.written);
    writes_.clear();
}

void SerialDevice::AbortWait(DWORD status)
{
    if (!wait_) return;
    *wait_->eventMask = 0;
    Finish(wait_->done, status, 0);
    wait_.reset();
}

void SerialDevice::DeviceLost()
{
    if (gone_) return;
    gone_ = true;
    AbortReads(ERROR_OPERATION_ABORTED);
    AbortWrites(ERROR_OPERATION_ABORTED);
    AbortWait(ERROR_OPERATION_ABORTED);
}

// A full queue stops reading, so the kernel holds the bytes (and, with flow
// control, throttles the peer) rather than our dropping them, as long as a
// reader is coming: flow control is on, or an event character waits in the
// queue. A full queue without either would never be read; it keeps taking
// bytes and drops them, so that the next event character wakes a reader.
bool SerialDevice::Throttled() const
{
    return input_.size() >= inputCapacity_ && (inputFlow_ || evtCharsQueued_ > 0);
}

// A queue held full for a line end must have told its reader. The line end
// may have come before anyone asked for it (the event character or the mask
// set later, or the queue made smaller), so it is announced again then.
void SerialDevice::AnnounceHeldInput()
{
    if (!Throttled() || evtCharsQueued_ == 0) return;
    history_ |= EV_RXFLAG & mask_;
    DeliverHistory();
}

void SerialDevice::Wake()
{
    const std::uint64_t one = 1;
    if (wakeFd_ >= 0) (void)!write(wakeFd_, &one, sizeof one);
}

void SerialDevice::TakeInput(std::uint8_t* out, std::size_t count)
{
    const bool wasThrottled = Throttled();
    std::copy_n(input_.begin(), count, out);
    evtCharsQueued_ -= static_cast<std::size_t>(std::count(out, out + count, dcb_.EvtChar));
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(count));
    if (input_.size() * 5 < inputCapacity_ * 4) rx80Armed_ = true;
    if (wasThrottled && !Throttled()) Wake();
}

void SerialDevice::ServeReads(Clock::time_point now)
{
    while (!reads_.empty()) {
        PendingRead& r = reads_.front();
        if (!r.started) {
            // Time-outs run from the moment a read is the one being served.
            r.started = true;
            if (r.plan.totalMs) r.totalDeadline = DeadlineAfter(now, *r.plan.totalMs);
            if (r.plan.intervalMs && !input_.empty()) r.intervalDeadline = now + std::chrono::milliseconds(*r.plan.intervalMs);
        }
        const std::size_t available = input_.size();
        const bool done = available >= r.count || r.plan.returnAtOnce || gone_ ||
                          (r.plan.returnOnFirstByte && available > 0) ||
                          (r.totalDeadline && now >= *r.totalDeadline) ||
                          (r.intervalDeadline && now >= *r.intervalDeadline);
        if (!done) return;
        const auto n = static_cast<DWORD>(std::min<std::size_t>(available, r.count));
        TakeInput(r.buffer, n);
        Finish(r.done, ERROR_SUCCESS, n);
        reads_.pop_front();
    }
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
    if (!next) return -1;
    if (*next <= now) return 0;
    // Round up, so the pump never wakes just before a deadline and spins.
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(*next - now).count();
    const long long ms = (ns + 999'999) / 1'000'000;
    return static_cast<int>(std::min<long long>(ms, INT_MAX));
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
            if (!Throttled()) events |= POLLIN;
            if (!writes_.empty()) events |= POLLOUT;
            ttyIndex = static_cast<int>(count);
            fds[count++] = pollfd{fd_, events, 0};
            if (linesFd_ >= 0) {
                linesIndex = static_cast<int>(count);
                fds[count++] = pollfd{linesFd_, POLLIN, 0};
            }
        }
        const int timeout = PollTimeoutMs(Clock::now());
        lock.unlock();
        const int ready = poll(fds, count, timeout);
        const int pollError = errno;
        lock.lock();
        if (closing_) break;
        if (ready < 0 && pollError != EINTR) DeviceLost();
        if (fds[0].revents & POLLIN) {
            std::uint64_t value;
            (void)!read(wakeFd_, &value, sizeof value);
        }
        const auto now = Clock::now();
        if (ready > 0 && ttyIndex >= 0 && fds[ttyIndex].revents) ServeTty(fds[ttyIndex].revents, now);
        if (ready > 0 && linesIndex >= 0 && fds[linesIndex].revents && !gone_) ServeLinesChange();
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

// One read of what the tty holds into the queue. False when the device has
// gone or nothing was there.
bool SerialDevice::ReadTty(Clock::time_point now)
{
    // Take only what fits; a full queue takes more only when it drops (see
    // Throttled).
    std::size_t room = chunk_.size();
    if (input_.size() < inputCapacity_)
        room = std::min(room, inputCapacity_ - input_.size());
    else if (Throttled())
        return false;
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
    const std::size_t before = input_.size();
    decoder_.Feed(data, size, [this](MarkedInputDecoder::Kind kind, std::uint8_t byte) { AcceptItem(kind, byte); });
    if (input_.size() > before && !reads_.empty() && reads_.front().started && reads_.front().plan.intervalMs)
        reads_.front().intervalDeadline = now + std::chrono::milliseconds(*reads_.front().plan.intervalMs);
    CheckRx80();
    if (haveCounters_) CheckCounters();
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
        // (CheckCounters), otherwise parity is the likely cause when enabled.
        if (!haveCounters_) RecordError(dcb_.Parity != NOPARITY ? CE_RXPARITY : CE_FRAME);
        Raise(EV_ERR);
        if (dcb_.fErrorChar) byte = dcb_.ErrorChar;
    }
    if (dcb_.fNull && byte == 0) return;
    Raise(EV_RXCHAR);
    // Raised even when the byte is dropped below, so that a reader woken by
    // it empties the queue and the line recovers.
    if (byte == dcb_.EvtChar) Raise(EV_RXFLAG);
    if (input_.size() >= inputCapacity_) {
        RecordError(CE_RXOVER);
        return;
    }
    input_.push_back(byte);
    if (byte == dcb_.EvtChar) ++evtCharsQueued_;
}

void SerialDevice::CheckRx80()
{
    if (rx80Armed_ && input_.size() * 5 >= inputCapacity_ * 4) {
        rx80Armed_ = false;
        Raise(EV_RX80FULL);
    }
}

void SerialDevice::CheckCounters()
{
    serial_icounter_struct c {};
    if (ioctl(fd_, TIOCGICOUNT, &c) != 0) return;
    const std::uint64_t frame = static_cast<std::uint32_t>(c.frame);
    const std::uint64_t parity = static_cast<std::uint32_t>(c.parity);
    const std::uint64_t overrun = static_cast<std::uint32_t>(c.overrun) + static_cast<std::uint32_t>(c.buf_overrun);
    DWORD errors = 0;
    if (frame != lastFrame_) errors |= CE_FRAME;
    if (parity != lastParity_ && dcb_.fParity) errors |= CE_RXPARITY;
    if (overrun != lastOverrun_) errors |= CE_OVERRUN;
    lastFrame_ = frame;
    lastParity_ = parity;
    lastOverrun_ = overrun;
    if (errors) {
        RecordError(errors);
        Raise(EV_ERR);
    }
}

void SerialDevice::ServeLinesChange()
{
    alignas(inotify_event) char buffer[4096];
    bool ours = false;
    for (;;) {
        const ssize_t n = read(linesFd_, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t offset = 0; offset < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            if (event->len > 0 && linesFile_ == event->name) ours = true;
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    if (!ours) return;
    std::ifstream in(linesFolder_ + "/" + linesFile_);
    std::stringstream text;
    text << in.rdbuf();
    ApplyVirtualLines(ParseVirtualLines(text.str()));
}

void SerialDevice::ApplyVirtualLines(const VirtualLineState& next)
{
    const VirtualLineState& was = lines_;
    DWORD events = 0;
    DWORD errors = 0;
    if (next.cts != was.cts) events |= EV_CTS;
    if (next.dsr != was.dsr) events |= EV_DSR;
    if (next.rlsd != was.rlsd) events |= EV_RLSD;
    if (next.ring && !was.ring) events |= EV_RING;
    // Counts that went down belong to a new file: they only set a new base.
    if (next.breaks > was.breaks) {
        events |= EV_BREAK;
        errors |= CE_BREAK;
    }
    if (next.frameErrors > was.frameErrors) errors |= CE_FRAME;
    if (next.parityErrors > was.parityErrors) errors |= CE_RXPARITY;
    if (next.overruns > was.overruns) errors |= CE_OVERRUN;
    if (errors & (CE_FRAME | CE_RXPARITY | CE_OVERRUN)) events |= EV_ERR;
    lines_ = next;
    if (errors) RecordError(errors);
    Raise(events);
}

}  // namespace platform::detail
