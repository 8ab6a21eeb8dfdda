// Modem lines of a serial device: their state and the events and errors
// their changes raise.

#include "platform/linux/SerialDevice.h"

#include "platform/linux/Overlapped.h"

#include "platform/PortFolder.h"

#include <linux/serial.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

namespace platform::detail {

void SerialDevice::WatchVirtualLines(const std::string& comName)
{
    virtualLines_ = true;
    linesFolder_ = PortFolder();
    linesFile_ = comName + ".lines";
    lines_ = ReadVirtualLines(comName);
    linesFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (linesFd_ < 0) return;
    if (inotify_add_watch(linesFd_, linesFolder_.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM) < 0) {
        close(linesFd_);
        linesFd_ = -1;
    }
}

DWORD SerialDevice::ModemStatus(DWORD* status)
{
    std::lock_guard lock(mutex_);
    if (closing_) return ERROR_INVALID_HANDLE;
    if (gone_) return ERROR_BAD_COMMAND;
    DWORD s = 0;
    if (virtualLines_) {
        if (lines_.cts) s |= MS_CTS_ON;
        if (lines_.dsr) s |= MS_DSR_ON;
        if (lines_.ring) s |= MS_RING_ON;
        if (lines_.rlsd) s |= MS_RLSD_ON;
    } else {
        int bits = 0;
        if (ioctl(fd_, TIOCMGET, &bits) != 0) return ErrnoToWinError(errno);
        if (bits & TIOCM_CTS) s |= MS_CTS_ON;
        if (bits & TIOCM_DSR) s |= MS_DSR_ON;
        if (bits & TIOCM_RNG) s |= MS_RING_ON;
        if (bits & TIOCM_CAR) s |= MS_RLSD_ON;
    }
    if (status) *status = s;
    return ERROR_SUCCESS;
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
