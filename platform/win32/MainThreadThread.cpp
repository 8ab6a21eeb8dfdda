// TThread on a Windows thread created suspended. Its wait for the end on the
// main thread sleeps in MsgWaitForMultipleObjects, so messages sent to the
// main thread's windows (port events, synchronised calls) are served while
// it waits, and it wakes at least once a second.
#include "platform/win32/Win32.h"
#include "platform/win32/MainThreadInternal.h"

#include <process.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>

namespace platform {

struct TThread::State {
    TThread* self = nullptr;
    ::HANDLE thread = nullptr;
    unsigned id = 0;
    std::mutex mutex;  // guards fatal and started
    bool started = false;
    std::atomic<bool> cancelled{false};  // released without ever being resumed
    std::exception_ptr fatal;
    std::atomic<bool> terminated{false};
    std::atomic<bool> finished{false};
};

TThread::TThread(bool createSuspended) : state_(std::make_unique<State>())
{
    // The body is a virtual function of a class that is still being built here.
    if (!createSuspended)
        throw std::invalid_argument("TThread must be created suspended and resumed by the most derived class");
    state_->self = this;
    unsigned (*threadMain)(void*) = [](void* argument) -> unsigned {
        auto* s = static_cast<State*>(argument);
        if (!s->cancelled.load()) {
            try {
                s->self->Execute();
            } catch (...) {
                std::lock_guard lock(s->mutex);
                s->fatal = std::current_exception();
            }
        }
        s->finished.store(true);
        return 0;
    };
    const auto handle = ::_beginthreadex(nullptr, 0, threadMain, state_.get(), CREATE_SUSPENDED, &state_->id);
    if (!handle) throw std::runtime_error("the thread cannot be created");
    state_->thread = reinterpret_cast<::HANDLE>(handle);
}

TThread::~TThread()
{
    Terminate();
    {
        std::lock_guard lock(state_->mutex);
        if (!state_->started) {
            // A body that never started never runs: let the thread end at once.
            state_->cancelled.store(true);
            state_->started = true;
            ::ResumeThread(state_->thread);
        }
    }
    try {
        WaitFor();
    } catch (...) {
        // A delivery's exception cannot leave a destructor; owners that care
        // call WaitFor themselves before destroying the thread.
    }
    ::WaitForSingleObject(state_->thread, INFINITE);
    ::CloseHandle(state_->thread);
}

void TThread::Resume()
{
    std::lock_guard lock(state_->mutex);
    if (state_->started) return;
    state_->started = true;
    ::ResumeThread(state_->thread);
}

void TThread::Detach()
{
    // Nothing to do: only the destructor waits for the end and releases the
    // thread's handle, and a detached thread's object is never destroyed.
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
    }
    if (s.id == ::GetCurrentThreadId()) throw std::logic_error("a thread cannot wait for its own end");
    const bool bounded = limit.count() >= 0;
    const auto deadline = std::chrono::steady_clock::now() + (bounded ? limit : std::chrono::milliseconds(0));
    const auto leftMs = [&]() -> DWORD {
        if (!bounded) return INFINITE;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        return left.count() > 0 ? DWORD(left.count()) : 0;
    };

    // Methods that throw while we wait are kept; the first is rethrown once
    // the wait is over, so the wait's promise holds either way. What was kept
    // before the wait began is the loop's to raise, not this wait's.
    std::exception_ptr firstError;
    bool ended = false;
    detail::ClaimIfUnbound();
    if (MainQueue::IsMainThread()) {
        const auto mark = detail::HandlerErrorMark();
        for (;;) {
            const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &s.thread, std::min<DWORD>(leftMs(), 1000),
                                                             QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
            detail::ServeSentMessages();
            while (std::exception_ptr error = detail::TakeHandlerErrorSince(mark))
                if (!firstError) firstError = error;
            if (woke == WAIT_OBJECT_0 || woke == WAIT_FAILED) {
                ended = true;
                break;
            }
            if (leftMs() == 0) break;
        }
    } else {
        ended = ::WaitForSingleObject(s.thread, leftMs()) != WAIT_TIMEOUT;
    }
    if (firstError) std::rethrow_exception(firstError);
    return ended;
}

}  // namespace platform
