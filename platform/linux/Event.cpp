#include "platform/linux/Event.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform {
namespace detail {

EventObject::EventObject(bool manualReset, bool initialState) : manualReset_(manualReset)
{
    fd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (fd_ < 0) error_ = errno;
    if (fd_ >= 0 && initialState) Set();
}

EventObject::~EventObject()
{
    if (fd_ >= 0) close(fd_);
}

void EventObject::Set()
{
    generation_.fetch_add(1, std::memory_order_release);
    // The counter only has to be non-zero; a second Set before a Reset adds
    // to it, and Reset/Claim read it back to zero in one go.
    const std::uint64_t one = 1;
    while (write(fd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void EventObject::Reset()
{
    std::uint64_t value;
    while (read(fd_, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

bool EventObject::Claim()
{
    (void)generation_.load(std::memory_order_acquire);
    if (manualReset_) return true;
    std::uint64_t value;
    for (;;) {
        if (read(fd_, &value, sizeof value) == sizeof value) return true;
        if (errno != EINTR) return false;
    }
}

namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left for poll(); -1 for no limit.
int RemainingMs(DWORD milliseconds, Clock::time_point start)
{
    if (milliseconds == INFINITE) return -1;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    const long long left = static_cast<long long>(milliseconds) - elapsed;
    return left <= 0 ? 0 : static_cast<int>(std::min<long long>(left, INT_MAX));
}

DWORD WaitForEvents(const std::vector<std::shared_ptr<EventObject>>& events, DWORD milliseconds)
{
    std::vector<pollfd> fds(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) fds[i] = pollfd{events[i]->Fd(), POLLIN, 0};
    const auto start = Clock::now();
    for (;;) {
        for (auto& fd : fds) fd.revents = 0;
        const int timeout = RemainingMs(milliseconds, start);
        const int r = poll(fds.data(), fds.size(), timeout);
        if (r < 0) {
            if (errno == EINTR) continue;
            SetLastError(ErrnoToWinError(errno));
            return WAIT_FAILED;
        }
        if (r == 0) return WAIT_TIMEOUT;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if ((fds[i].revents & POLLIN) && events[i]->Claim()) return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
        // Every ready event was an auto-reset one that another waiter took
        // first: wait again for what is left of the time.
        if (timeout == 0) return WAIT_TIMEOUT;
    }
}

}  // namespace
}  // namespace detail

HANDLE CreateEvent(bool manualReset, bool initialState)
{
    auto event = std::make_shared<detail::EventObject>(manualReset, initialState);
    if (!event->Valid()) {
        SetLastError(ErrnoToWinError(event->Error()));
        return 0;
    }
    return detail::RegisterHandle(std::move(event));
}

bool SetEvent(HANDLE h)
{
    const auto event = detail::LookupAs<detail::EventObject>(h);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    event->Set();
    return true;
}

bool ResetEvent(HANDLE h)
{
    const auto event = detail::LookupAs<detail::EventObject>(h);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    event->Reset();
    return true;
}

DWORD WaitForSingleObject(HANDLE h, DWORD milliseconds)
{
    return WaitForMultipleObjects(1, &h, false, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD milliseconds)
{
    constexpr DWORD kMaximumWaitObjects = 64;
    if (waitAll) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return WAIT_FAILED;
    }
    if (count == 0 || count > kMaximumWaitObjects || handles == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<detail::EventObject>> events;
    events.reserve(count);
    for (DWORD i = 0; i < count; ++i) {
        auto event = detail::LookupAs<detail::EventObject>(handles[i]);
        if (!event) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        events.push_back(std::move(event));
    }
    return detail::WaitForEvents(events, milliseconds);
}

}  // namespace platform
