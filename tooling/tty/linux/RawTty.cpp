#include "tooling/tty/RawTty.h"
#include "platform/linux/Posix.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

bool BaudConstant(int baud, speed_t& out)
{
    switch (baud) {
    case 9600: out = B9600; return true;
    case 19200: out = B19200; return true;
    case 38400: out = B38400; return true;
    case 57600: out = B57600; return true;
    case 115200: out = B115200; return true;
    default: return false;
    }
}

void SetError(std::string* error, const std::string& text)
{
    if (error) *error = text;
}

}  // namespace

std::unique_ptr<RawTty> RawTty::Open(const std::string& path, int baud, std::string* error)
{
    speed_t speed{};
    if (!BaudConstant(baud, speed)) {
        SetError(error, "unsupported baud rate " + std::to_string(baud));
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, path + ": " + std::strerror(errno));
        return nullptr;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        SetError(error, path + ": not a tty (" + std::strerror(errno) + ")");
        ::close(fd);
        return nullptr;
    }
    posix::MakeRaw(tio);
    tio.c_cflag &= ~(CSTOPB | PARENB | CRTSCTS);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        SetError(error, path + ": " + std::strerror(errno));
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<RawTty>(new RawTty(fd, path));
}

RawTty::RawTty(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}

RawTty::~RawTty()
{
    ::close(fd_);
}

RawTty::ReadResult RawTty::Read(std::string& out, int timeoutMs)
{
    if (closed_) return ReadResult::Closed;
    pollfd p{fd_, POLLIN, 0};
    int ready;
    do {
        ready = ::poll(&p, 1, timeoutMs < 0 ? -1 : timeoutMs);
    } while (ready < 0 && errno == EINTR);
    if (ready == 0) return ReadResult::Timeout;
    // Bytes that arrived before a hang-up are still delivered; only a read that
    // yields nothing after the wake-up means the other side is gone.
    char buffer[4096];
    const ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n > 0) {
        out.append(buffer, static_cast<std::size_t>(n));
        return ReadResult::Data;
    }
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ReadResult::Timeout;
    closed_ = true;  // stop polling a dead descriptor instead of spinning on it
    return ReadResult::Closed;
}

bool RawTty::WriteAll(const std::string& bytes, int timeoutMs)
{
    if (closed_) return false;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        const int left = posix::PollTimeoutMs(deadline);
        if (left <= 0) return false;
        pollfd p{fd_, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) return false;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) return false;
    }
    return true;
}

}  // namespace platform
