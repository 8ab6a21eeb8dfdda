// TThread on std::thread (Linux). Its end is announced through an eventfd so
// that a wait on the main thread can sleep on it and on the queue together.

#include "platform/MainThread.h"
#include "platform/linux/MainThreadInternal.h"
#include "platform/linux/Posix.h"

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>

namespace platform {

struct TThread::State {
    std::mutex mutex;  // guards thread (start, join) and fatal
    std::thread thread;
    bool started = false;
    std::exception_ptr fatal;
    std::atomic<bool> terminated{false};
    std::atomic<bool> finished{false};
    detail::FdFlag finishedFlag;
};

TThread::TThread(bool createSuspended) : state_(std::make_unique<State>())
{
    // The body is a virtual function of a class that is still being built here.
    if (!createSuspended)
        throw std::invalid_argument("TThread must be created suspended and resumed by the most derived class");
}

TThread::~TThread()
{
    Terminate();
    try {
        WaitFor();
    } catch (...) {
        // A delivery's exception cannot leave a destructor; owners that care
        // call WaitFor themselves before destroying the thread.
    }
}

void TThread::Resume()
{
    std::lock_guard lock(state_->mutex);
    if (state_->started) return;
    state_->started = true;
    state_->thread = std::thread([this, s = state_.get()] {
        detail::NameCurrentThread("TThread");
        try {
            Execute();
        } catch (...) {
            std::lock_guard fatalLock(s->mutex);
            s->fatal = std::current_exception();
        }
        s->finished.store(true);
        s->finishedFlag.Set();
    });
}

void TThread::Detach()
{
    std::lock_guard lock(state_->mutex);
    if (state_->thread.joinable()) state_->thread.detach();
}

void TThread::Terminate()
{
    state_->terminated.store(true);
}

bool TThread::Terminated() const
{
    return state_->terminated.load();
}

bool TThread::Finished() const
{
    return state_->finished.load();
}

std::exception_ptr TThread::FatalException() const
{
    std::lock_guard lock(state_->mutex);
    return state_->fatal;
}

void TThread::WaitFor()
{
    WaitFor(std::chrono::milliseconds(-1));
}

// A negative limit waits for as long as it takes.
bool TThread::WaitFor(std::chrono::milliseconds limit)
{
    State& s = *state_;
    {
        std::lock_guard lock(s.mutex);
        if (!s.started) return true;  // a body that never started never ends
        if (s.thread.get_id() == std::this_thread::get_id())
            throw std::logic_error("a thread cannot wait for its own end");
    }
    const auto deadline = posix::DeadlineIn(limit.count());

    // Deliveries that throw while we wait are kept; the first is rethrown once
    // the wait is over, so the wait's promise holds either way.
    std::exception_ptr firstError;
    bool ended = true;
    detail::ClaimIfUnbound();
    if (MainQueue::IsMainThread()) {
        while (!s.finished.load()) {
            try {
                MainQueue::ProcessPending();
            } catch (...) {
                if (!firstError) firstError = std::current_exception();
            }
            if (s.finished.load()) break;
            const int left = posix::PollTimeoutMs(deadline);
            if (left == 0) {
                ended = false;
                break;
            }
            detail::WaitForWake(s.finishedFlag.Fd(), std::chrono::milliseconds(left < 0 || left > 1000 ? 1000 : left));
        }
    } else {
        ended = s.finishedFlag.Wait(limit);
    }

    if (ended) {
        std::lock_guard lock(s.mutex);
        if (s.thread.joinable()) s.thread.join();
    }
    if (firstError) std::rethrow_exception(firstError);
    return ended;
}

}  // namespace platform
