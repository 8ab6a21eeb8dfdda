// The main thread's queue: sent messages to hidden windows and synchronised
// calls, served by the plain loop, by ProcessPending from Qt's loop, and
// released when a window goes away.

#include <atomic>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

#include "MainQueueWait.h"
#include "platform/MainThread.h"

using namespace platform;

namespace {

struct Window {
    explicit Window(WindowMethod method) : hwnd(AllocateHWnd(std::move(method))) {}
    ~Window() { DeallocateHWnd(hwnd); }
    HWND hwnd;
};

}  // namespace

TEST(SendMessage, FromAnotherThreadRunsOnTheMainThreadAndBlocksUntilHandled)
{
    std::atomic<bool> senderReturned{false};
    std::thread::id handledOn;
    bool senderWasBlocked = false;
    Window w([&](HWND, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
        handledOn = std::this_thread::get_id();
        senderWasBlocked = !senderReturned;
        return static_cast<LRESULT>(msg + wp + static_cast<WPARAM>(lp));
    });

    LRESULT result = 0;
    std::thread sender([&] {
        result = SendMessage(w.hwnd, 1025, 2, 5);
        senderReturned = true;
    });
    EXPECT_TRUE(ServeUntil([&] { return senderReturned.load(); }));
    sender.join();

    EXPECT_EQ(handledOn, std::this_thread::get_id());
    EXPECT_TRUE(senderWasBlocked);
    EXPECT_EQ(result, 1032);
}

TEST(SendMessage, OnTheOwnerThreadCallsTheMethodDirectly)
{
    int calls = 0;
    Window w([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++calls; });
    EXPECT_EQ(SendMessage(w.hwnd, 1, 0, 0), 1);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(MainQueue::ProcessPending());
}

TEST(SendMessage, ServedFromQtLoopThroughTheWakeDescriptor)
{
    int calls = 0;
    Window w([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++calls; });
    std::atomic<bool> done{false};
    std::thread sender([&] {
        SendMessage(w.hwnd, 1025, 0, 0);
        done = true;
    });
    ASSERT_TRUE(WaitUntilDeliveryQueued());
    EXPECT_EQ(calls, 0);
    EXPECT_TRUE(MainQueue::ProcessPending());
    EXPECT_EQ(calls, 1);
    sender.join();
    EXPECT_TRUE(done);
    // Nothing waits any more, so the descriptor is quiet again.
    EXPECT_FALSE(WaitUntilDeliveryQueued(std::chrono::milliseconds(50)));
}

TEST(SendMessage, HandlerExceptionReachesTheLoopAndReleasesTheSender)
{
    Window w([&](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT {
        if (wp == 1) throw std::runtime_error("handler failed");
        return 7;
    });
    std::atomic<bool> returned{false};
    LRESULT result = -1;
    std::thread sender([&] {
        result = SendMessage(w.hwnd, 1025, 1, 0);
        returned = true;
    });
    ASSERT_TRUE(WaitUntilDeliveryQueued());
    EXPECT_THROW(MainQueue::ProcessPending(), std::runtime_error);
    sender.join();  // released although the handler threw
    EXPECT_EQ(result, 0);

    // The queue goes on serving afterwards.
    std::thread second([&] { result = SendMessage(w.hwnd, 1025, 2, 0); });
    ASSERT_TRUE(WaitUntilDeliveryQueued());
    EXPECT_TRUE(MainQueue::ProcessPending());
    second.join();
    EXPECT_EQ(result, 7);
}

TEST(SendMessage, DeallocatingAWindowReleasesItsQueuedSenders)
{
    int calls = 0;
    HWND w = AllocateHWnd([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++calls; });
    LRESULT result = -1;
    std::thread sender([&] { result = SendMessage(w, 1025, 0, 0); });
    ASSERT_TRUE(WaitUntilDeliveryQueued());
    DeallocateHWnd(w);
    sender.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(calls, 0);
    EXPECT_FALSE(MainQueue::ProcessPending());
    // A message to a window that is gone returns at once, from any thread.
    std::thread late([&] { result = SendMessage(w, 1025, 0, 0); });
    late.join();
    EXPECT_EQ(result, 0);
}

TEST(Synchronize, RunsOnTheMainThreadAndCarriesTheExceptionBack)
{
    std::thread::id ranOn;
    std::string caught;
    std::atomic<bool> done{false};
    std::thread worker([&] {
        Synchronize([&] { ranOn = std::this_thread::get_id(); });
        try {
            Synchronize([] { throw std::runtime_error("sync failed"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
        done = true;
    });
    // The failing call does not escape on the main thread.
    EXPECT_NO_THROW(EXPECT_TRUE(ServeUntil([&] { return done.load(); })));
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
    EXPECT_EQ(caught, "sync failed");
}

TEST(Synchronize, OnTheMainThreadRunsAtOnce)
{
    bool ran = false;
    Synchronize([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_THROW(Synchronize([] { throw std::logic_error("x"); }), std::logic_error);
}

TEST(MainQueue, BelongsToTheMainThread)
{
    EXPECT_TRUE(MainQueue::IsMainThread());
    bool otherIsMain = true;
    bool refused = false;
    std::thread other([&] {
        otherIsMain = MainQueue::IsMainThread();
        try {
            MainQueue::ProcessPending();
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    other.join();
    EXPECT_FALSE(otherIsMain);
    EXPECT_TRUE(refused);
}
