// TThread: suspended start, termination, the body's fatal exception, and a
// wait for the end that keeps the main thread's deliveries going.

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "MainQueueWait.h"
#include "platform/MainThread.h"

using namespace platform;

namespace {

class FunctionThread : public TThread {
public:
    explicit FunctionThread(std::function<void(FunctionThread&)> body) : TThread(true), body_(std::move(body)) {}
    ~FunctionThread() override
    {
        Terminate();
        try {
            WaitFor();
        } catch (...) {
        }
    }

protected:
    void Execute() override { body_(*this); }

private:
    std::function<void(FunctionThread&)> body_;
};

// A body that works on members until it is told to stop, as an event thread does.
class CountingThread : public TThread {
public:
    CountingThread() : TThread(true) { Resume(); }
    ~CountingThread() override
    {
        Terminate();
        WaitFor();
    }
    std::atomic<int> rounds{0};

protected:
    void Execute() override
    {
        while (!Terminated()) {
            samples_.push_back(rounds.load());
            if (samples_.size() > 64) samples_.clear();
            ++rounds;
            std::this_thread::yield();
        }
    }

private:
    std::vector<int> samples_;
};

}  // namespace

TEST(TThread, BodyRunsOnlyAfterResume)
{
    std::atomic<bool> ran{false};
    {
        FunctionThread never([&](FunctionThread&) { ran = true; });
        never.WaitFor();  // never started: returns at once
        EXPECT_FALSE(never.Finished());
    }
    EXPECT_FALSE(ran);

    FunctionThread once([&](FunctionThread&) { ran = true; });
    once.Resume();
    once.Resume();  // a second resume changes nothing
    once.WaitFor();
    EXPECT_TRUE(ran);
    EXPECT_TRUE(once.Finished());
    EXPECT_EQ(once.FatalException(), nullptr);
}

TEST(TThread, CreatingItRunningIsRefused)
{
    struct Running : TThread {
        Running() : TThread(false) {}
        void Execute() override {}
    };
    EXPECT_THROW(Running{}, std::invalid_argument);
}

TEST(TThread, DestructionStopsARunningBodyBeforeItsMembersGo)
{
    int rounds = 0;
    {
        CountingThread t;
        ASSERT_TRUE(WaitWithoutServing([&] { return t.rounds.load() > 10; }));
        rounds = t.rounds.load();
    }
    EXPECT_GT(rounds, 10);
}

TEST(TThread, FatalExceptionKeepsWhatEndedTheBody)
{
    FunctionThread t([](FunctionThread&) { throw std::runtime_error("body failed"); });
    t.Resume();
    EXPECT_NO_THROW(t.WaitFor());
    ASSERT_NE(t.FatalException(), nullptr);
    try {
        std::rethrow_exception(t.FatalException());
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "body failed");
    }
}

TEST(TThread, TerminateIsSeenByTheBody)
{
    std::atomic<bool> started{false};
    FunctionThread t([&](FunctionThread& self) {
        started = true;
        while (!self.Terminated()) std::this_thread::yield();
    });
    t.Resume();
    ASSERT_TRUE(WaitWithoutServing([&] { return started.load(); }));
    EXPECT_FALSE(t.Finished());
    t.Terminate();
    t.WaitFor();
    EXPECT_TRUE(t.Terminated());
    EXPECT_TRUE(t.Finished());
}

TEST(TThread, WaitForOnTheMainThreadServesSentMessagesAndSynchronisedCalls)
{
    int handled = 0;
    HWND w = AllocateHWnd([&](HWND, UINT, WPARAM wp, LPARAM) -> LRESULT {
        handled += static_cast<int>(wp);
        return 1;
    });
    std::thread::id syncRanOn;
    LRESULT sent = 0;
    FunctionThread t([&](FunctionThread&) {
        for (int i = 0; i < 3; ++i) sent += SendMessage(w, 1025, 10, 0);
        Synchronize([&] { syncRanOn = std::this_thread::get_id(); });
    });
    t.Resume();
    t.WaitFor();  // would deadlock if it did not serve
    DeallocateHWnd(w);
    EXPECT_EQ(handled, 30);
    EXPECT_EQ(sent, 3);
    EXPECT_EQ(syncRanOn, std::this_thread::get_id());
}

TEST(TThread, WaitForRethrowsADeliveryExceptionOnlyOnceTheThreadHasEnded)
{
    HWND w = AllocateHWnd([](HWND, UINT, WPARAM, LPARAM) -> LRESULT { throw std::runtime_error("handler"); });
    std::atomic<int> sendsReturned{0};
    FunctionThread t([&](FunctionThread&) {
        SendMessage(w, 1025, 0, 0);
        ++sendsReturned;
        SendMessage(w, 1025, 0, 0);
        ++sendsReturned;
    });
    t.Resume();
    EXPECT_THROW(t.WaitFor(), std::runtime_error);
    EXPECT_TRUE(t.Finished());
    EXPECT_EQ(sendsReturned, 2);
    EXPECT_EQ(t.FatalException(), nullptr);
    DeallocateHWnd(w);
}

TEST(TThread, WaitForFromAnotherThreadWaitsForTheEnd)
{
    std::atomic<bool> release{false};
    FunctionThread t([&](FunctionThread&) {
        while (!release) std::this_thread::yield();
    });
    t.Resume();
    std::atomic<bool> waiting{false};
    bool finishedWhenWaitReturned = false;
    std::thread waiter([&] {
        waiting = true;
        t.WaitFor();
        finishedWhenWaitReturned = t.Finished();
    });
    ASSERT_TRUE(WaitWithoutServing([&] { return waiting.load(); }));
    release = true;
    waiter.join();
    EXPECT_TRUE(finishedWhenWaitReturned);
}

// A wait with a limit gives up on a body that does not end, on the main
// thread (still serving meanwhile) and on another; a later wait still sees
// the end.
TEST(TThread, AWaitWithALimitGivesUpOnABodyThatDoesNotEnd)
{
    int handled = 0;
    HWND w = AllocateHWnd([&](HWND, UINT, WPARAM, LPARAM) -> LRESULT { return ++handled; });
    std::atomic<bool> release{false};
    FunctionThread t([&](FunctionThread&) {
        SendMessage(w, 1025, 0, 0);
        while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    });
    t.Resume();
    EXPECT_FALSE(t.WaitFor(std::chrono::milliseconds(200)));
    EXPECT_EQ(handled, 1);
    EXPECT_FALSE(t.Finished());
    bool fromAnother = true;
    std::thread other([&] { fromAnother = t.WaitFor(std::chrono::milliseconds(50)); });
    other.join();
    EXPECT_FALSE(fromAnother);

    release = true;
    EXPECT_TRUE(t.WaitFor(std::chrono::milliseconds(10000)));
    EXPECT_TRUE(t.Finished());
    DeallocateHWnd(w);
}
