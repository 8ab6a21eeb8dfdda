#include "tooling/testing/PlainTtyIo.h"
#include "platform/linux/Posix.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace platform {

namespace {

int OpenRawTty(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    termios t{};
    if (::tcgetattr(fd, &t) == 0) {
        posix::MakeRaw(t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    return fd;
}

bool WriteAllTo(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

PollLineReader::PollLineReader(const std::string& ttyPath)
{
    fd_ = OpenRawTty(ttyPath);
    stopFd_ = posix::MakeFlag();
    if (fd_ < 0 || stopFd_ < 0) {
        if (fd_ >= 0) ::close(fd_);
        if (stopFd_ >= 0) ::close(stopFd_);
        fd_ = stopFd_ = -1;
        return;
    }
    thread_ = std::thread([this] { Loop(); });
}

PollLineReader::~PollLineReader()
{
    if (thread_.joinable()) {
        posix::RaiseFlag(stopFd_);
        thread_.join();
    }
    if (fd_ >= 0) ::close(fd_);
    if (stopFd_ >= 0) ::close(stopFd_);
}

void PollLineReader::Loop()
{
    std::string partial;
    char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[1].revents) break;
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) break;  // the device has gone
        std::deque<std::string> complete;
        for (ssize_t i = 0; i < n; ++i) {
            partial.push_back(buffer[i]);
            if (buffer[i] == '\n') {
                complete.push_back(std::move(partial));
                partial.clear();
            }
        }
        if (!complete.empty()) {
            std::lock_guard lock(mutex_);
            for (auto& line : complete) lines_.push_back(std::move(line));
            ready_.notify_one();
        }
    }
    std::lock_guard lock(mutex_);
    ended_ = true;
    ready_.notify_all();
}

std::optional<std::string> PollLineReader::Next(std::chrono::milliseconds timeout)
{
    std::unique_lock lock(mutex_);
    if (!ready_.wait_for(lock, timeout, [this] { return !lines_.empty() || ended_; }) || lines_.empty())
        return std::nullopt;
    std::string line = std::move(lines_.front());
    lines_.pop_front();
    return line;
}

CopyResult CopyTtyLinesToFile(const std::string& ttyPath, const std::string& filePath, std::uint64_t lines,
                              std::chrono::milliseconds timeout, const std::function<void()>& started)
{
    CopyResult result;
    const int tty = OpenRawTty(ttyPath);
    if (tty < 0) return result;
    const int file = ::open(filePath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        ::close(tty);
        return result;
    }
    if (started) started();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[65536];
    while (result.lines < lines) {
        const int left = posix::PollTimeoutMs(deadline);
        if (left <= 0) break;
        pollfd fd{tty, POLLIN, 0};
        const int ready = ::poll(&fd, 1, left);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) break;
        const ssize_t n = ::read(tty, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) break;
        if (!WriteAllTo(file, buffer, static_cast<std::size_t>(n))) break;
        result.bytes += static_cast<std::uint64_t>(n);
        result.lines += static_cast<std::uint64_t>(std::count(buffer, buffer + n, '\n'));
    }
    result.complete = result.lines >= lines;
    ::close(file);
    ::close(tty);
    return result;
}

}  // namespace platform
