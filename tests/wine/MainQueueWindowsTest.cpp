// The main thread's queue on Windows, where Windows itself delivers sent
// messages in any message loop and the wake socket carries only the window
// methods' exceptions to ProcessPending.

#include <atomic>
#include <functional>
#include <stdexcept>
#include <thread>

#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include "../serial/MainQueueWait.h"
#include "platform/MainThread.h"

using namespace platform;

namespace {

// Runs Qt's loop (which never calls ProcessPending) until pred() holds.
bool RunQtLoopUntil(const std::function<bool()>& pred)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred()) loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(kPatience, &loop, &QEventLoop::quit);
    loop.exec();
    return pred();
}

}  // namespace

TEST(SendMessageOnWindows, QtLoopDeliversSentMessagesOnTheMainThread)
{
    std::thread::id handledOn;
    HWND w = AllocateHWnd([&](HWND, UINT msg, WPARAM wp, LPARAM) -> LRESULT {
        handledOn = std::this_thread::get_id();
        return static_cast<LRESULT>(msg + wp);
    });
    std::atomic<bool> returned{false};
    LRESULT result = 0;
    std::thread sender([&] {
        result = SendMessage(w, 1025, 3, 0);
        returned = true;
    });
    EXPECT_TRUE(RunQtLoopUntil([&] { return returned.load(); }));
    sender.join();
    DeallocateHWnd(w);
    EXPECT_EQ(result, 1028);
    EXPECT_EQ(handledOn, std::this_thread::get_id());
}

// Two methods throw in Qt's loop: each sender gets 0 at once, and the wake
// socket stays readable until ProcessPending has rethrown both, one a call.
TEST(SendMessageOnWindows, ExceptionsInQtLoopReachProcessPendingOneByOne)
{
    HWND w = AllocateHWnd(
        [](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT { throw std::runtime_error(wp == 1 ? "first" : "second"); });
    std::atomic<bool> done{false};
    LRESULT results[2] = {-1, -1};
    std::thread sender([&] {
        results[0] = SendMessage(w, 1025, 1, 0);
        results[1] = SendMessage(w, 1025, 2, 0);
        done = true;
    });
    EXPECT_TRUE(RunQtLoopUntil([&] { return done.load(); }));
    sender.join();
    EXPECT_EQ(results[0], 0);
    EXPECT_EQ(results[1], 0);

    ASSERT_TRUE(WaitUntilDeliveryQueued());
    try {
        MainQueue::ProcessPending();
        ADD_FAILURE() << "the first exception was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "first");
    }
    ASSERT_TRUE(WaitUntilDeliveryQueued());
    try {
        MainQueue::ProcessPending();
        ADD_FAILURE() << "the second exception was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "second");
    }
    EXPECT_FALSE(WaitUntilDeliveryQueued(std::chrono::milliseconds(100)));
    EXPECT_NO_THROW(MainQueue::ProcessPending());
    DeallocateHWnd(w);
}

// A thread's end is waited for while a method's exception from before still
// waits for the loop: the wait raises only what was thrown during it, and
// the earlier one still reaches ProcessPending.
TEST(SendMessageOnWindows, WaitForTakesOnlyTheExceptionsOfItsOwnWait)
{
    class Sender : public TThread {
    public:
        explicit Sender(HWND w) : TThread(true), w_(w) { Resume(); }

    protected:
        void Execute() override { SendMessage(w_, 1025, 2, 0); }

    private:
        HWND w_;
    };
    HWND w = AllocateHWnd(
        [](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT { throw std::runtime_error(wp == 1 ? "before" : "during"); });
    std::atomic<bool> sent{false};
    std::thread early([&] {
        SendMessage(w, 1025, 1, 0);
        sent = true;
    });
    EXPECT_TRUE(RunQtLoopUntil([&] { return sent.load(); }));
    early.join();

    Sender sender(w);
    try {
        sender.WaitFor();
        ADD_FAILURE() << "the exception of the wait was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "during");
    }
    try {
        MainQueue::ProcessPending();
        ADD_FAILURE() << "the exception from before the wait was lost";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "before");
    }
    EXPECT_NO_THROW(MainQueue::ProcessPending());
    DeallocateHWnd(w);
}

TEST(SendMessageOnWindows, DeallocatingAWindowReleasesASenderStillWaiting)
{
    int calls = 0;
    HWND w = AllocateHWnd([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++calls; });
    std::atomic<bool> sending{false}, returned{false};
    LRESULT result = -1;
    std::thread sender([&] {
        sending = true;
        result = SendMessage(w, 1025, 0, 0);
        returned = true;
    });
    ASSERT_TRUE(WaitWithoutServing([&] { return sending.load(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // into SendMessage
    DeallocateHWnd(w);
    EXPECT_TRUE(RunQtLoopUntil([&] { return returned.load(); }));
    sender.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(calls, 0);
}
