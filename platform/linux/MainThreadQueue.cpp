// The main thread's queue of sent messages and synchronised calls (Linux).
//
// A sender puts a record of its delivery on the queue and blocks on a
// condition variable until the main thread has run it. An eventfd stays
// readable while records wait, so the main thread can sleep in poll() next to
// other descriptors (a GUI loop, a thread's end) and never spins.

#include "platform/MainThread.h"
#include "platform/linux/Posix.h"
#include "platform/linux/MainThreadInternal.h"

#include <poll.h>
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <unordered_set>

namespace platform {

class HiddenWindow {
public:
    explicit HiddenWindow(WindowMethod method) : method(std::make_shared<WindowMethod>(std::move(method))) {}
    // Shared so that a delivery in progress keeps the method alive even when
    // the window is deallocated from inside it.
    std::shared_ptr<WindowMethod> method;
};

namespace {

struct Delivery {
    HiddenWindow* window = nullptr;               // a sent message ...
    const std::function<void()>* call = nullptr;  // ... or a synchronised call
    UINT msg = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    LRESULT result = 0;
    std::exception_ptr error;  // a synchronised call's exception, for its caller
    bool done = false;
};

class Queue {
public:
    Queue()
    {
        wakeFd_ = posix::MakeFlag();
        if (wakeFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
    }

    int WakeFd() const { return wakeFd_; }

    std::thread::id MainThread() const { return mainThread_.load(); }
    void Bind(std::thread::id id) { mainThread_.store(id); }
    void BindIfUnbound(std::thread::id id)
    {
        std::thread::id none;
        mainThread_.compare_exchange_strong(none, id);
    }

    // Queues the delivery and blocks until the main thread has completed it.
    void SendAndWait(Delivery& d)
    {
        std::unique_lock lock(mutex_);
        pending_.push_back(&d);
        Signal();
        completed_.wait(lock, [&] { return d.done; });
    }

    Delivery* Pop()
    {
        std::lock_guard lock(mutex_);
        if (pending_.empty()) {
            Drain();
            return nullptr;
        }
        Delivery* d = pending_.front();
        pending_.pop_front();
        if (pending_.empty()) Drain();
        return d;
    }

    void Complete(Delivery& d, LRESULT result)
    {
        std::lock_guard lock(mutex_);
        d.result = result;
        d.done = true;
        completed_.notify_all();
    }

    void AddWindow(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        windows_.insert(w);
    }

    // Forgets the window and releases every sender still queued for it.
    void RemoveWindow(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        windows_.erase(w);
        for (auto it = pending_.begin(); it != pending_.end();) {
            if ((*it)->window == w) {
                (*it)->result = 0;
                (*it)->done = true;
                it = pending_.erase(it);
            } else {
                ++it;
            }
        }
        if (pending_.empty()) Drain();
        completed_.notify_all();
    }

    bool IsWindow(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        return windows_.count(w) != 0;
    }

    std::shared_ptr<WindowMethod> MethodOf(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        return windows_.count(w) ? w->method : nullptr;
    }

private:
    // Both under mutex_: the descriptor is readable exactly while records wait.
    void Signal()
    {
        if (signalled_) return;
        posix::RaiseFlag(wakeFd_);
        signalled_ = true;
    }
    void Drain()
    {
        if (!signalled_) return;
        posix::LowerFlag(wakeFd_);
        signalled_ = false;
    }

    std::mutex mutex_;
    std::condition_variable completed_;
    std::deque<Delivery*> pending_;
    std::unordered_set<HiddenWindow*> windows_;
    bool signalled_ = false;
    int wakeFd_ = -1;
    std::atomic<std::thread::id> mainThread_{};
};

// Never destroyed: threads may still send while static objects are torn down.
Queue& TheQueue()
{
    static Queue* queue = new Queue;
    return *queue;
}

void RequireMainThread(const char* what)
{
    detail::ClaimIfUnbound();
    if (!MainQueue::IsMainThread()) throw std::logic_error(std::string(what) + " called off the main thread");
}

// Runs one delivery on the main thread. A window method's exception completes
// the delivery (its sender gets 0) and then propagates.
void Run(Delivery& d)
{
    Queue& q = TheQueue();
    if (d.call) {
        try {
            (*d.call)();
        } catch (...) {
            d.error = std::current_exception();
        }
        q.Complete(d, 0);
        return;
    }
    LRESULT result = 0;
    try {
        if (auto method = q.MethodOf(d.window)) result = (*method)(d.window, d.msg, d.wParam, d.lParam);
    } catch (...) {
        q.Complete(d, 0);
        throw;
    }
    q.Complete(d, result);
}

}  // namespace

// ---- shared with the thread class ---------------------------------------------------
namespace detail {

void ClaimIfUnbound()
{
    TheQueue().BindIfUnbound(std::this_thread::get_id());
}

bool WaitForWake(int otherFd, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    pollfd fds[2] = {{TheQueue().WakeFd(), POLLIN, 0}, {otherFd, POLLIN, 0}};
    const nfds_t count = otherFd >= 0 ? 2 : 1;
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        const int ms = left.count() < 0 ? 0 : static_cast<int>(left.count());
        const int n = ::poll(fds, count, ms);
        if (n >= 0) return count == 2 && (fds[1].revents & POLLIN) != 0;
        if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "poll");
    }
}

FdFlag::FdFlag() : fd_(posix::MakeFlag())
{
    if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
}

FdFlag::~FdFlag()
{
    ::close(fd_);
}

void FdFlag::Set()
{
    posix::RaiseFlag(fd_);
}

bool FdFlag::Wait(std::chrono::milliseconds limit) const
{
    const auto deadline = posix::DeadlineIn(limit.count());
    pollfd fd{fd_, POLLIN, 0};
    for (;;) {
        const int r = ::poll(&fd, 1, posix::PollTimeoutMs(deadline));
        if (r > 0) return true;
        if (r == 0) return false;
        if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "poll");
    }
}

void NameCurrentThread(const char* name)
{
    ::pthread_setname_np(::pthread_self(), name);
}

}  // namespace detail

// ---- the main thread -------------------------------------------------------------------
namespace MainQueue {

void BindToCurrentThread()
{
    TheQueue().Bind(std::this_thread::get_id());
}

bool IsMainThread()
{
    return TheQueue().MainThread() == std::this_thread::get_id();
}

int WakeFd()
{
    detail::ClaimIfUnbound();
    return TheQueue().WakeFd();
}

bool ProcessPending()
{
    RequireMainThread("ProcessPending");
    bool ran = false;
    while (Delivery* d = TheQueue().Pop()) {
        ran = true;
        Run(*d);
    }
    return ran;
}

bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout)
{
    RequireMainThread("RunUntil");
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        ProcessPending();
        if (done()) return true;
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return done();
        // `done` may turn true without a delivery (another thread's work), so
        // look again after a short sleep; deliveries still wake us at once.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        detail::WaitForWake(-1, std::min(left, std::chrono::milliseconds(10)));
    }
}

void RunFor(std::chrono::milliseconds duration)
{
    RequireMainThread("RunFor");
    const auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        ProcessPending();
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return;
        detail::WaitForWake(-1, std::chrono::ceil<std::chrono::milliseconds>(deadline - now));
    }
}

}  // namespace MainQueue

// ---- hidden windows ------------------------------------------------------------------------
HWND AllocateHWnd(WindowMethod method)
{
    RequireMainThread("AllocateHWnd");
    auto* w = new HiddenWindow(std::move(method));
    TheQueue().AddWindow(w);
    return w;
}

void DeallocateHWnd(HWND wnd)
{
    if (!wnd) return;
    RequireMainThread("DeallocateHWnd");
    TheQueue().RemoveWindow(wnd);
    delete wnd;
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Queue& q = TheQueue();
    if (!q.IsWindow(wnd)) return 0;  // a window that is gone, as Windows does
    if (MainQueue::IsMainThread()) {
        auto method = q.MethodOf(wnd);
        return method ? (*method)(wnd, msg, wParam, lParam) : 0;
    }
    Delivery d;
    d.window = wnd;
    d.msg = msg;
    d.wParam = wParam;
    d.lParam = lParam;
    q.SendAndWait(d);
    return d.result;
}

LRESULT DefWindowProc(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

void Synchronize(const std::function<void()>& fn)
{
    if (MainQueue::IsMainThread()) {
        fn();
        return;
    }
    Delivery d;
    d.call = &fn;
    TheQueue().SendAndWait(d);
    if (d.error) std::rethrow_exception(d.error);
}

}  // namespace platform
