#pragma once
// The main thread's message queue and the threading services the serial
// component relies on: hidden windows that other threads send messages to,
// synchronised calls, and a thread class whose wait for the end keeps
// serving both while it waits.
//
// One queue serves all of them. It runs under a plain loop of its own
// (RunFor / RunUntil, for programs and tests without a window) and plugs into
// a GUI loop through WakeFd(): when that descriptor is readable, call
// ProcessPending() on the main thread.

#include <chrono>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

namespace platform {

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
inline constexpr UINT WM_USER = 0x0400;

// ---- the main thread ---------------------------------------------------------
namespace MainQueue {
// Makes the calling thread the main thread. Without a call, the first thread
// that uses the queue (or creates a hidden window) is the main thread.
void BindToCurrentThread();
bool IsMainThread();

// Readable while sent messages or synchronised calls are waiting.
int WakeFd();

// Runs every waiting delivery on the main thread. When a handler throws, that
// delivery still counts as done (its sender is released) and the exception
// propagates to the caller, who runs the loop; the rest stays queued.
// Returns whether anything ran.
bool ProcessPending();

// A plain loop: serves deliveries until `done` returns true or the time is up.
// Returns done().
bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
void RunFor(std::chrono::milliseconds duration);
}  // namespace MainQueue

// ---- hidden windows --------------------------------------------------------------
class HiddenWindow;
using HWND = HiddenWindow*;
using WindowMethod = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;

// A message target owned by the calling thread (the main thread).
HWND AllocateHWnd(WindowMethod method);
void DeallocateHWnd(HWND wnd);

// Delivers the message to the window's method on its owner thread and blocks
// until the method has returned. On the owner thread it calls the method
// directly. An exception of the method arises on the owner thread; the sender
// then gets 0.
LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs fn on the main thread and blocks until it has run; an exception of fn
// is carried back and rethrown in the caller. On the main thread it runs fn
// directly.
void Synchronize(const std::function<void()>& fn);

// ---- threads -----------------------------------------------------------------------
class TThread {
public:
    // Must be created suspended (true; false is refused): the body is a virtual
    // function, so the most derived class calls Resume() once it is built.
    explicit TThread(bool createSuspended);
    // Marks the thread terminated, waits for its end (WaitFor), releases it.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Resume();
    void Terminate();
    bool Terminated() const;
    bool Finished() const;
    // Waits until the thread body has ended. On the main thread it keeps
    // serving sent messages and synchronised calls while it waits and wakes at
    // the latest every 1000 ms. A delivery's exception during this wait is
    // rethrown once the wait is over; exceptions kept before it began are
    // left for the loop that runs the queue.
    void WaitFor();
    // The same, for at most `limit`: false when the body is still running
    // then (Finished() tells apart a wait that threw). A thread that never
    // ends can be given up this way; its object must then outlive it.
    bool WaitFor(std::chrono::milliseconds limit);
    // Nothing will wait for the body's end any more: it runs on (or has
    // ended) on its own. The object must outlive the body; it is not to be
    // destroyed after this.
    void Detach();
    // The exception that ended the thread body, if any.
    std::exception_ptr FatalException() const;

protected:
    virtual void Execute() = 0;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace platform
