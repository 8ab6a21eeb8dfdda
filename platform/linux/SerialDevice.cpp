// Opening, losing and closing a serial device, and its settings: queue
// sizes, the device control block and the time-outs.

#include "platform/linux/SerialDevice.h"

#include "platform/PortFolder.h"
#include "platform/linux/DcbTermios.h"
#include "platform/linux/DriverFaults.h"
#include "platform/linux/Overlapped.h"
#include "platform/linux/PortNames.h"
#include "platform/linux/Posix.h"
#include "platform/linux/Termios2.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

namespace platform::detail {

namespace {

constexpr DWORD kAllPurgeFlags = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

DCB InitialDcb(int fd)
{
    DCB dcb;
    dcb.BaudRate = CurrentBaudRate(fd);
    if (dcb.BaudRate == 0) dcb.BaudRate = 9600;
    dcb.fBinary = true;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;  // the kernel raises DTR and RTS on open
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.ByteSize = 8;
    dcb.XonChar = 17;
    dcb.XoffChar = 19;
    return dcb;
}

void DriveLine(int fd, LineDrive drive, int bit)
{
    if (drive == LineDrive::ByKernel) return;
    // A pty has no modem lines (ENOTTY); the block still counts as in force.
    (void)ioctl(fd, drive == LineDrive::On ? TIOCMBIS : TIOCMBIC, &bit);
}

}  // namespace

std::shared_ptr<SerialDevice> SerialDevice::Open(const std::string& comName, DWORD* error)
{
    const auto number = ParseComName(comName);
    const std::string path = ResolvePortName(comName);
    if (!number || path.empty()) {
        *error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *error = ErrnoToWinError(errno);
        return nullptr;
    }
    auto fail = [&](int err) {
        *error = ErrnoToWinError(err);
        close(fd);
        return nullptr;
    };
    if (!isatty(fd)) return fail(ENOTTY);
    // Share mode 0: flock holds against every process, root included;
    // TIOCEXCL against other opens in the kernel (not for CAP_SYS_ADMIN).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) return fail(errno);
    if (ioctl(fd, TIOCEXCL) != 0) return fail(errno);
    const DCB initial = InitialDcb(fd);
    if (const int err = ApplyTermios(fd, DcbToTermios(initial))) {
        ioctl(fd, TIOCNXCL);
        return fail(err);
    }
    ioctl(fd, TCFLSH, TCIOFLUSH);
    const int wakeFd = posix::MakeFlag();
    if (wakeFd < 0) {
        const int err = errno;
        ioctl(fd, TIOCNXCL);
        return fail(err);
    }

    std::shared_ptr<SerialDevice> device(new SerialDevice(fd, wakeFd, initial));
    try {
        device->lines_ = MakeModemLineSource(fd, ComName(*number));
        device->pump_ = std::thread([raw = device.get()] { raw->PumpLoop(); });
    } catch (const std::system_error&) {
        *error = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;  // the destructor closes the descriptors
    }
    return device;
}

SerialDevice::SerialDevice(int fd, int wakeFd, const DCB& initial) : fd_(fd), wakeFd_(wakeFd), dcb_(initial) {}

SerialDevice::~SerialDevice()
{
    Shutdown();
}

void SerialDevice::Shutdown()
{
    {
        std::lock_guard lock(mutex_);
        if (closing_) return;
        closing_ = true;
        AbortReads(ERROR_OPERATION_ABORTED);
        AbortWrites(ERROR_OPERATION_ABORTED);
        if (wait_ && CurrentDriverFaults().waitRelease == WaitRelease::Never) {
            // The driver writes into the record whenever it lets go, long after the close.
            auto late = std::make_shared<PendingWait>(std::move(*wait_));
            wait_.reset();
            HoldRequest([late] {
                *late->eventMask = 0;
                Publish(*late->done.ov, ERROR_OPERATION_ABORTED, 0);
                late->done.event.Release()->Set();
            });
        }
        AbortWait(ERROR_OPERATION_ABORTED);
        Wake();
    }
    if (pump_.joinable()) pump_.join();
    std::lock_guard lock(mutex_);
    lines_.reset();  // ends its waits before the tty closes
    // TIOCEXCL outlives the descriptor on a pty whose master stays open;
    // clear it, or the next open of the port by a normal user fails.
    ioctl(fd_, TIOCNXCL);
    close(fd_);  // also releases the flock
    close(wakeFd_);
    fd_ = wakeFd_ = -1;
}

void SerialDevice::OnHandleClosed()
{
    CountCommCall();
    WaitWhileClosesBlock();
    Shutdown();
}

DWORD SerialDevice::Setup(DWORD inQueue, DWORD /*outQueue: writes go straight to the kernel*/)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (gone_) return ERROR_BAD_COMMAND;
    if (inQueue > 0) {
        input_.SetCapacity(inQueue);
        if (input_.TakeRx80Crossing()) Raise(EV_RX80FULL);
        DeliverHistory();
        Wake();
    }
    return ERROR_SUCCESS;
}

DWORD SerialDevice::SetState(const DCB& dcb)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (gone_) return ERROR_BAD_COMMAND;
    if (!IsValidDcb(dcb)) return ERROR_INVALID_PARAMETER;
    if (dcb.fAbortOnError) return ERROR_NOT_SUPPORTED;
    const TermiosSettings settings = DcbToTermios(dcb);
    if (const int err = ApplyTermios(fd_, settings)) {
        if (err == EIO) {
            DeviceLost();
            return ERROR_BAD_COMMAND;
        }
        return ErrnoToWinError(err);
    }
    DriveLine(fd_, settings.dtr, TIOCM_DTR);
    DriveLine(fd_, settings.rts, TIOCM_RTS);
    // A pty reads back CS8 without parity whatever was set: the block set is
    // what GetCommState reports.
    dcb_ = dcb;
    input_.SetEventChar(dcb.EvtChar);
    input_.SetInputFlow(HasInputFlowControl(dcb));
    Wake();
    return ERROR_SUCCESS;
}

DWORD SerialDevice::GetState(DCB& dcb)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    dcb = dcb_;
    return ERROR_SUCCESS;
}

DWORD SerialDevice::SetTimeouts(const COMMTIMEOUTS& t)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (gone_) return ERROR_BAD_COMMAND;
    if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD &&
        t.ReadTotalTimeoutConstant == MAXDWORD)
        return ERROR_INVALID_PARAMETER;
    timeouts_ = t;  // operations already started keep the time-outs they began with
    return ERROR_SUCCESS;
}

DWORD SerialDevice::GetTimeouts(COMMTIMEOUTS& t)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    t = timeouts_;
    return ERROR_SUCCESS;
}

DWORD SerialDevice::Purge(DWORD flags)
{
    std::lock_guard lock(mutex_);
    if (const DWORD refused = Refused()) return refused;
    if (flags == 0 || (flags & ~kAllPurgeFlags)) return ERROR_INVALID_PARAMETER;
    if (flags & PURGE_TXABORT) AbortWrites(ERROR_OPERATION_ABORTED);
    if (flags & PURGE_RXABORT) AbortReads(ERROR_OPERATION_ABORTED);
    if ((flags & PURGE_TXCLEAR) && !gone_) ioctl(fd_, TCFLSH, TCOFLUSH);
    if (flags & PURGE_RXCLEAR) {
        input_.Clear();
        rxFlagUnread_ = false;
        decoder_.Reset();
        if (!gone_) ioctl(fd_, TCFLSH, TCIFLUSH);
    }
    Wake();  // a pump held back by a full queue may read again
    return ERROR_SUCCESS;
}

DWORD SerialDevice::Refused() const
{
    if (closing_) return ERROR_INVALID_HANDLE;
    if (gone_) return CurrentDriverFaults().lossCode;
    return ERROR_SUCCESS;
}

DWORD SerialDevice::Cancel(const OVERLAPPED& ov)
{
    std::lock_guard lock(mutex_);
    if (closing_) return ERROR_INVALID_HANDLE;
    if (wait_ && wait_->done.ov == &ov) {
        // A driver that completes only at cleanup, or never, takes the request and does nothing.
        if (!HoldsWaitPastCancel()) AbortWait(ERROR_OPERATION_ABORTED);
        return ERROR_SUCCESS;
    }
    const auto read =
        std::find_if(reads_.begin(), reads_.end(), [&](const PendingRead& r) { return r.done.ov == &ov; });
    if (read != reads_.end()) {
        const bool head = read == reads_.begin();
        Finish(read->done, ERROR_OPERATION_ABORTED, 0);
        reads_.erase(read);
        if (head) ServeReads(Clock::now());
        return ERROR_SUCCESS;
    }
    const auto write =
        std::find_if(writes_.begin(), writes_.end(), [&](const PendingWrite& w) { return w.done.ov == &ov; });
    if (write != writes_.end()) {
        Finish(write->done, ERROR_OPERATION_ABORTED, write->written);
        writes_.erase(write);
        Wake();
        return ERROR_SUCCESS;
    }
    return ERROR_NOT_FOUND;
}

void SerialDevice::DeviceLost()
{
    if (gone_) return;
    gone_ = true;
    AbortReads(ERROR_OPERATION_ABORTED);
    AbortWrites(ERROR_OPERATION_ABORTED);
    // A driver that completes a wait only when its handle closes, or never, does not for a loss either.
    if (!HoldsWaitPastCancel()) AbortWait(ERROR_OPERATION_ABORTED);
}

bool SerialDevice::HoldsWaitPastCancel()
{
    const WaitRelease release = CurrentDriverFaults().waitRelease;
    return release == WaitRelease::Cleanup || release == WaitRelease::Never;
}

void SerialDevice::Wake()
{
    if (wakeFd_ >= 0) posix::RaiseFlag(wakeFd_);
}

}  // namespace platform::detail
