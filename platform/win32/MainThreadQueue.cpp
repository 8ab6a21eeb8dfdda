// Hidden windows, sent messages and synchronised calls on real Windows
// messages. A hidden window is a message-only window of the main thread, so
// SendMessage from another thread is delivered by Windows itself whenever the
// main thread looks at its messages: in any GUI loop, in TThread::WaitFor and
// in the plain loop below. A synchronised call is a message to one more
// hidden window of the queue.
//
// An exception may not unwind through the system's dispatch code: a window
// method's exception is kept, and a loopback socket (WakeFd) stays readable
// until ProcessPending has rethrown every kept exception on the main thread.
#include "platform/win32/Win32.h"
#include "platform/win32/MainThreadInternal.h"

#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <unordered_set>

namespace platform {

class HiddenWindow {
public:
    explicit HiddenWindow(WindowMethod method) : method(std::make_shared<WindowMethod>(std::move(method))) {}
    ::HWND native = nullptr;
    // Shared so that a delivery in progress keeps the method alive even when
    // the window is deallocated from inside it.
    std::shared_ptr<WindowMethod> method;
};

namespace {

constexpr UINT kSynchronizedCall = WM_APP + 1;
const wchar_t kClassName[] = L"TornvaleHiddenWindow";

struct Call {
    const std::function<void()>* fn;
    std::exception_ptr error;
};

class Queue {
public:
    Queue() { OpenWakeSocket(); }

    int WakeFd() const { return static_cast<int>(wake_); }
    DWORD MainThread() const { return mainThread_.load(); }

    // Binds the thread and gives it the window for synchronised calls.
    void Bind(DWORD thread)
    {
        mainThread_.store(thread);
        std::lock_guard lock(mutex_);
        if (callWindowThread_ == thread) return;
        if (callWindow_) ::DestroyWindow(callWindow_);
        callWindow_ = CreateNative(nullptr);
        callWindowThread_ = thread;
    }
    void BindIfUnbound(DWORD thread)
    {
        DWORD none = 0;
        if (mainThread_.compare_exchange_strong(none, thread)) Bind(thread);
    }
    ::HWND CallWindow()
    {
        std::lock_guard lock(mutex_);
        return callWindow_;
    }

    void Add(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        windows_.insert(w);
    }
    void Remove(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        windows_.erase(w);
    }
    // The native window of a live hidden window, null for a deallocated one.
    ::HWND NativeOf(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        return windows_.count(w) ? w->native : nullptr;
    }
    std::shared_ptr<WindowMethod> MethodOf(HiddenWindow* w)
    {
        std::lock_guard lock(mutex_);
        return windows_.count(w) ? w->method : nullptr;
    }

    void KeepError(std::exception_ptr error)
    {
        std::lock_guard lock(mutex_);
        if (errors_.empty()) {
            const char byte = 1;
            ::send(wake_, &byte, 1, 0);
        }
        errors_.push_back({++lastError_, std::move(error)});
    }
    unsigned long long ErrorMark()
    {
        std::lock_guard lock(mutex_);
        return lastError_;
    }
    // The oldest error kept after `mark` (0: any).
    std::exception_ptr TakeError(unsigned long long mark = 0)
    {
        std::lock_guard lock(mutex_);
        const auto it = std::find_if(errors_.begin(), errors_.end(), [&](const auto& e) { return e.first > mark; });
        if (it == errors_.end()) return nullptr;
        std::exception_ptr error = it->second;
        errors_.erase(it);
        // Taken and, while errors remain, sent again: a GUI loop hears of a
        // socket's data anew only after a read.
        char byte = 0;
        ::recv(wake_, &byte, 1, 0);
        if (!errors_.empty()) ::send(wake_, &byte, 1, 0);
        return error;
    }

    ::HWND CreateNative(HiddenWindow* owner);

private:
    // A datagram socket sending to itself: the one kind of descriptor a GUI
    // loop on Windows can watch for readability.
    void OpenWakeSocket()
    {
        WSADATA data;
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("WSAStartup failed");
        wake_ = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (wake_ == INVALID_SOCKET || ::bind(wake_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::getsockname(wake_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
            ::connect(wake_, reinterpret_cast<sockaddr*>(&address), length) != 0)
            throw std::system_error(::WSAGetLastError(), std::system_category(), "wake socket");
        u_long nonBlocking = 1;
        ::ioctlsocket(wake_, FIONBIO, &nonBlocking);
    }

    std::mutex mutex_;
    std::unordered_set<HiddenWindow*> windows_;
    std::deque<std::pair<unsigned long long, std::exception_ptr>> errors_;  // in the order kept
    unsigned long long lastError_ = 0;
    ::HWND callWindow_ = nullptr;
    DWORD callWindowThread_ = 0;
    SOCKET wake_ = INVALID_SOCKET;
    std::atomic<DWORD> mainThread_{0};
};

// Never destroyed: threads may still send while static objects are torn down.
Queue& TheQueue()
{
    static Queue* queue = new Queue;
    return *queue;
}

LRESULT CALLBACK HiddenWindowProc(::HWND native, ::UINT msg, ::WPARAM wParam, ::LPARAM lParam)
{
    auto* window = reinterpret_cast<HiddenWindow*>(::GetWindowLongPtrW(native, GWLP_USERDATA));
    if (!window) {
        if (msg != kSynchronizedCall) return ::DefWindowProcW(native, msg, wParam, lParam);
        auto* call = reinterpret_cast<Call*>(lParam);
        try {
            (*call->fn)();
        } catch (...) {
            call->error = std::current_exception();
        }
        return 0;
    }
    auto method = TheQueue().MethodOf(window);
    if (!method) return ::DefWindowProcW(native, msg, wParam, lParam);
    try {
        return (*method)(window, msg, wParam, lParam);
    } catch (...) {
        TheQueue().KeepError(std::current_exception());
        return 0;
    }
}

::HWND Queue::CreateNative(HiddenWindow* owner)
{
    static const ATOM windowClass = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = HiddenWindowProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = kClassName;
        return ::RegisterClassW(&wc);
    }();
    if (!windowClass) throw std::system_error(int(::GetLastError()), std::system_category(), "RegisterClass");
    // HWND_MESSAGE spelt out: the macro's cast would name this layer's HWND.
    const auto messageOnly = reinterpret_cast<::HWND>(static_cast<LONG_PTR>(-3));
    ::HWND native = ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, messageOnly, nullptr,
                                      ::GetModuleHandleW(nullptr), nullptr);
    if (!native) throw std::system_error(int(::GetLastError()), std::system_category(), "CreateWindowEx");
    ::SetWindowLongPtrW(native, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return native;
}

void RequireMainThread(const char* what)
{
    detail::ClaimIfUnbound();
    if (!MainQueue::IsMainThread()) throw std::logic_error(std::string(what) + " called off the main thread");
}

}  // namespace

// ---- shared with the thread class ---------------------------------------------------
namespace detail {

void ClaimIfUnbound()
{
    TheQueue().BindIfUnbound(::GetCurrentThreadId());
}

bool ServeSentMessages()
{
    // Peeking dispatches every message sent to this thread's windows first;
    // with PM_QS_SENDMESSAGE nothing posted is taken from the queue.
    MSG msg;
    const DWORD before = ::GetQueueStatus(QS_SENDMESSAGE);
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    return HIWORD(before) & QS_SENDMESSAGE;
}

std::exception_ptr TakeHandlerError()
{
    return TheQueue().TakeError();
}

unsigned long long HandlerErrorMark()
{
    return TheQueue().ErrorMark();
}

std::exception_ptr TakeHandlerErrorSince(unsigned long long mark)
{
    return TheQueue().TakeError(mark);
}

}  // namespace detail

// ---- the main thread -------------------------------------------------------------------
namespace MainQueue {

void BindToCurrentThread()
{
    TheQueue().Bind(::GetCurrentThreadId());
}

bool IsMainThread()
{
    return TheQueue().MainThread() == ::GetCurrentThreadId();
}

int WakeFd()
{
    detail::ClaimIfUnbound();
    return TheQueue().WakeFd();
}

bool ProcessPending()
{
    RequireMainThread("ProcessPending");
    bool ran = detail::ServeSentMessages();
    if (std::exception_ptr error = detail::TakeHandlerError()) std::rethrow_exception(error);
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
        // `done` may turn true without a message (another thread's work), so
        // look again after a short sleep; sent messages still wake us at once.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        ::MsgWaitForMultipleObjectsEx(0, nullptr, DWORD(std::min<long long>(left.count(), 10)), QS_SENDMESSAGE,
                                      MWMO_INPUTAVAILABLE);
    }
}

void RunFor(std::chrono::milliseconds duration)
{
    RunUntil([] { return false; }, duration);
}

}  // namespace MainQueue

// ---- hidden windows --------------------------------------------------------------
HWND AllocateHWnd(WindowMethod method)
{
    detail::ClaimIfUnbound();
    auto* window = new HiddenWindow(std::move(method));
    window->native = TheQueue().CreateNative(window);
    TheQueue().Add(window);
    return window;
}

void DeallocateHWnd(HWND wnd)
{
    if (!wnd) return;
    TheQueue().Remove(wnd);
    // Senders still blocked on the window are released with 0 when it goes.
    ::DestroyWindow(wnd->native);
    delete wnd;
}

LRESULT SendMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ::HWND native = TheQueue().NativeOf(wnd);
    return native ? ::SendMessageW(native, msg, wParam, lParam) : 0;
}

LRESULT DefWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ::HWND native = TheQueue().NativeOf(wnd);
    return native ? ::DefWindowProcW(native, msg, wParam, lParam) : 0;
}

void Synchronize(const std::function<void()>& fn)
{
    detail::ClaimIfUnbound();
    if (MainQueue::IsMainThread()) {
        fn();
        return;
    }
    Call call{&fn, nullptr};
    ::SendMessageW(TheQueue().CallWindow(), kSynchronizedCall, 0, reinterpret_cast<::LPARAM>(&call));
    if (call.error) std::rethrow_exception(call.error);
}

}  // namespace platform
