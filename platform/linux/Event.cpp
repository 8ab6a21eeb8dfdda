#include "platform/linux/Event.h"

#include "platform/linux/Posix.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace platform {
namespace detail {

EventObject::EventObject(bool initialState)
{
    fd_ = posix::MakeFlag();
    if (fd_ < 0) error_ = errno;
    if (fd_ >= 0 && initialState) Set();
}

EventObject::~EventObject()
{
    if (fd_ >= 0) close(fd_);
}

void EventObject::OnHandleClosed()
{
    if (uses_.load() == 0) return;
    std::fputs("CloseHandle: the event of a pending request was closed; the request would still write into its "
               "record and set whatever event reuses the handle\n",
               stderr);
    std::abort();
}

void EventObject::Set()
{
    generation_.fetch_add(1, std::memory_order_release);
    // The counter only has to be non-zero; a second Set before a Reset adds
    // to it, and Reset/Claim read it back to zero in one go.
    posix::RaiseFlag(fd_);
}

void EventObject::Reset()
{
    posix::LowerFlag(fd_);
}

void EventObject::Acquire() const
{
    (void)generation_.load(std::memory_order_acquire);
}

namespace {

DWORD WaitForEvents(const std::vector<std::shared_ptr<EventObject>>& events, DWORD milliseconds)
{
    std::vector<pollfd> fds(events.size());
    for (std::size_t i = 0; i < events.size(); ++i) fds[i] = pollfd{events[i]->Fd(), POLLIN, 0};
    const auto deadline = posix::DeadlineIn(milliseconds == INFINITE ? -1 : static_cast<long long>(milliseconds));
    for (;;) {
        for (auto& fd : fds) fd.revents = 0;
        const int timeout = posix::PollTimeoutMs(deadline);
        const int r = poll(fds.data(), fds.size(), timeout);
        if (r < 0) {
            if (errno == EINTR) continue;
            SetLastError(ErrnoToWinError(errno));
            return WAIT_FAILED;
        }
        if (r == 0) return WAIT_TIMEOUT;
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents & POLLIN) {
                events[i]->Acquire();
                return WAIT_OBJECT_0 + static_cast<DWORD>(i);
            }
        }
        if (timeout == 0) return WAIT_TIMEOUT;
    }
}

}  // namespace
}  // namespace detail

HANDLE CreateEvent(bool manualReset, bool initialState)
{
    if (!manualReset) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return 0;
    }
    auto event = std::make_shared<detail::EventObject>(initialState);
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
