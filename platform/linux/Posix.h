#pragma once
// Small POSIX helpers that the Linux code would otherwise write again and
// again. Header-only, so the test and simulator libraries use them without
// linking the product library.

#include <fcntl.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace platform::posix {

using Clock = std::chrono::steady_clock;

// The deadline ms after start; none for a negative ms (no limit).
inline std::optional<Clock::time_point> DeadlineIn(long long ms, Clock::time_point start = Clock::now())
{
    if (ms < 0) return std::nullopt;
    return start + std::chrono::milliseconds(ms);
}

// The poll() time-out that ends at deadline: -1 without one, 0 once it has
// passed, else rounded up, so a wait never ends just before its deadline.
inline int PollTimeoutMs(std::optional<Clock::time_point> deadline, Clock::time_point now = Clock::now())
{
    if (!deadline) return -1;
    if (*deadline <= now) return 0;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(*deadline - now).count();
    return static_cast<int>(std::min<long long>((ns + 999'999) / 1'000'000, INT_MAX));
}

// An eventfd used as a flag that poll() sees: raised until lowered, however
// often it was raised. -1 with errno when the kernel refuses one.
inline int MakeFlag()
{
    return eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

inline void RaiseFlag(int fd)
{
    const std::uint64_t one = 1;
    while (write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

inline void LowerFlag(int fd)
{
    std::uint64_t value;
    while (read(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

// Raw mode for a tty whose other settings stay as they are: no line
// discipline, no echo, the receiver on, modem lines ignored, and a read
// returns as soon as one byte is there.
inline void MakeRaw(termios& t)
{
    cfmakeraw(&t);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

// Replaces path in one step: makeAside creates the new entry under a
// temporary name beside it, which is then renamed over path, so a reader
// never sees half of it. On failure the temporary is removed and false
// returned with errno set.
inline bool ReplaceAside(const std::string& path, const std::function<bool(const std::string& temporary)>& makeAside)
{
    const std::string temporary = path + ".new" + std::to_string(getpid());
    unlink(temporary.c_str());
    if (makeAside(temporary) && rename(temporary.c_str(), path.c_str()) == 0) return true;
    const int err = errno;
    unlink(temporary.c_str());
    errno = err;
    return false;
}

// ReplaceAside with a file holding text.
inline bool ReplaceFile(const std::string& path, const std::string& text)
{
    return ReplaceAside(path, [&](const std::string& temporary) {
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) return false;
        std::size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                const int err = errno;
                close(fd);
                errno = err;
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return close(fd) == 0;
    });
}

}  // namespace platform::posix
