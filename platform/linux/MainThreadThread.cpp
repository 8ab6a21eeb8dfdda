// TThread on std::thread (Linux). Its end is announced through an eventfd so
// that a wait on the main thread can sleep on it and on the queue together.

#include "platform/MainThread.h"
#include "platform/linux/MainThreadInternal.h"

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
    State& s = *state_;
    {
        std::lock_guard lock(s.mutex);
        if (!s.started) return;  // a body that never started never ends
        if (s.thread.get_id() == std::this_thread::get_id())
            throw std::logic_error("a thread cannot wait for its own end");
    }

    // Deliveries that throw while we wait are kept; the first is rethrown once
    // the thread has ended, so the wait's promise holds either way.
    std::exception_ptr firstError;
    detail::ClaimIfUnbound();
    if (MainQueue::IsMainThread()) {
        while (!s.finished.load()) {
            try {
                MainQueue::ProcessPending();
            } catch (...) {
                if (!firstError) firstError = std::current_exception();
            }
            if (s.finished.load()) break;
            detail::WaitForWake(s.finishedFlag.Fd(), std::chrono::milliseconds(1000));
        }
    } else {
        s.finishedFlag.Wait();
    }

    {
        std::lock_guard lock(s.mutex);
        if (s.thread.joinable()) s.thread.join();
    }
    if (firstError) std::rethrow_exception(firstError);
}

}  // namespace platform
