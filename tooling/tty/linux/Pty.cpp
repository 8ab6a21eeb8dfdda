#include "tooling/tty/Pty.h"
#include "platform/linux/Posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

void DrainWatch(int fd)
{
    char buffer[1024];
    while (read(fd, buffer, sizeof buffer) > 0) {
    }
}

}  // namespace

PseudoTerminal::PseudoTerminal()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0) return;
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        CloseMaster();
        return;
    }
    slavePath_ = name;
    // A fresh slave is cooked and echoes: make it raw before anyone talks.
    // Opening and closing it once also puts the master into the "no client"
    // state (EIO, POLLHUP) until a client opens the slave. The settings stay
    // with the pty while the master is open.
    const int slave = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        CloseMaster();
        return;
    }
    termios t{};
    if (tcgetattr(slave, &t) == 0) {
        posix::MakeRaw(t);
        tcsetattr(slave, TCSANOW, &t);
    }
    close(slave);
    // The master cannot be waited on for a client to arrive (it reports
    // POLLHUP all the while there is none), so watch the slave node for opens.
    openWatch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (openWatch_ >= 0 && inotify_add_watch(openWatch_, name, IN_OPEN) < 0) {
        close(openWatch_);
        openWatch_ = -1;
    }
}

PseudoTerminal::~PseudoTerminal()
{
    CloseMaster();
}

bool PseudoTerminal::IsOpen() const
{
    return master_ >= 0;
}

const std::string& PseudoTerminal::SlavePath() const
{
    return slavePath_;
}

std::string PseudoTerminal::KernelName() const
{
    const std::string prefix = "/dev/pts/";
    if (slavePath_.rfind(prefix, 0) == 0) return "pts" + slavePath_.substr(prefix.size());
    return slavePath_;
}

bool PseudoTerminal::WriteAll(const std::string& bytes)
{
    if (master_ < 0) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        pollfd p{master_, POLLOUT, 0};
        if (poll(&p, 1, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        // Without a client the master still takes bytes and hands them to
        // whoever opens the slave next: refuse instead.
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) return false;
        const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
    }
    return true;
}

PseudoTerminal::ReadResult PseudoTerminal::Read(std::string& out, int timeoutMs)
{
    if (master_ < 0) return ReadResult::Closed;
    const auto deadline = posix::DeadlineIn(timeoutMs);
    for (;;) {
        const int timeout = posix::PollTimeoutMs(deadline);
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, timeout) < 0) {
            if (errno == EINTR) continue;
            return ReadResult::Closed;
        }
        bool noClient = (p.revents & POLLHUP) && !(p.revents & POLLIN);
        if (p.revents & POLLIN) {
            char buffer[4096];
            const ssize_t n = read(master_, buffer, sizeof buffer);
            if (n > 0) {
                out.append(buffer, static_cast<std::size_t>(n));
                return ReadResult::Data;
            }
            if (n < 0 && errno == EIO)
                noClient = true;
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                return ReadResult::Closed;
        }
        if (!noClient) {
            if (timeout == 0) return ReadResult::Timeout;
            continue;
        }
        // No client: block on the slave's open watch, not on the master.
        if (openWatch_ < 0 || timeout == 0) return ReadResult::NoClient;
        pollfd w{openWatch_, POLLIN, 0};
        const int r = poll(&w, 1, posix::PollTimeoutMs(deadline));
        if (r == 0) return ReadResult::NoClient;
        if (r > 0) DrainWatch(openWatch_);
    }
}

void PseudoTerminal::CloseMaster()
{
    if (master_ >= 0) close(master_);
    if (openWatch_ >= 0) close(openWatch_);
    master_ = -1;
    openWatch_ = -1;
}

}  // namespace platform
