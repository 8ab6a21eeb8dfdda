// The event thread on a real pseudo-terminal: which handlers run, where,
// in which order, what Close does to a delivery in progress, handler
// exceptions under each SyncMethod, and a device that vanishes.

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "PtyDevice.h"
#include "tooling/testing/ProcessStats.h"
#include "platform/CommCallCount.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"

using namespace platform;

namespace {

// Every handler of a port, counting its calls and recording their order.
class HandlerLog {
public:
    explicit HandlerLog(TComPort& port)
    {
        port.SetOnRxChar([this](TObject*, std::int32_t count) {
            Add("RxChar");
            lastRxCharCount = count;
        });
        port.SetOnTxEmpty([this](TObject*) { Add("TxEmpty"); });
        port.SetOnBreak([this](TObject*) { Add("Break"); });
        port.SetOnRing([this](TObject*) { Add("Ring"); });
        port.SetOnCTSChange([this](TObject*, bool) { Add("CTS"); });
        port.SetOnDSRChange([this](TObject*, bool) { Add("DSR"); });
        port.SetOnRLSDChange([this](TObject*, bool) { Add("RLSD"); });
        port.SetOnRxFlag([this](TObject*) { Add("RxFlag"); });
        port.SetOnError([this](TObject*, TComErrors) { Add("Error"); });
        port.SetOnRx80Full([this](TObject*) { Add("Rx80Full"); });
    }

    void Add(const std::string& name)
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(name);
        threads_.push_back(std::this_thread::get_id());
    }
    std::vector<std::string> Calls() const
    {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    std::size_t Count() const { return Calls().size(); }
    std::size_t Count(const std::string& name) const
    {
        std::size_t n = 0;
        for (const auto& c : Calls()) n += c == name;
        return n;
    }
    bool AllOn(std::thread::id id) const
    {
        std::lock_guard lock(mutex_);
        for (auto t : threads_)
            if (t != id) return false;
        return true;
    }

    std::int32_t lastRxCharCount = -1;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
    std::vector<std::thread::id> threads_;
};

class EventPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        LoadCPort1Settings(port);
        port.SetPortNum(device.ComName());
    }

    // Reads everything waiting, as the window's reply handler does.
    std::string TakeInput()
    {
        std::string data;
        port.ReadText(data, port.BytesWaiting());
        return data;
    }

    PtyDevice device;
    TComPort port;
    const std::thread::id mainThread = std::this_thread::get_id();
};

const DWORD kAllBits[] = {EV_RXCHAR, EV_RXFLAG, EV_TXEMPTY, EV_CTS,  EV_DSR,
                          EV_RLSD,   EV_BREAK,  EV_ERR,     EV_RING, EV_RX80FULL};

}  // namespace

TEST_F(EventPort, NoEventsMeansNoThreadNoWindowNoHandler)
{
    port.SetEvents({});
    HandlerLog log(port);
    port.Open();
    EXPECT_FALSE(port.ThreadCreated());
    EXPECT_EQ(port.EventThread(), nullptr);
    EXPECT_EQ(port.EventWindow(), nullptr);
    const int threadsOpen = ThreadCount();

    ASSERT_TRUE(device.Send("line\n"));
    ASSERT_TRUE(WaitWithoutServing([&] { return port.BytesWaiting() == 5; }));
    EXPECT_FALSE(MainQueue::ProcessPending());
    port.Close();
    EXPECT_EQ(log.Count(), 0u);
    EXPECT_LE(ThreadCount(), threadsOpen);
}

TEST_F(EventPort, EachLineEndReachesOnlyOnRxFlagOnTheMainThread)
{
    HandlerLog log(port);
    std::string received;
    port.SetOnRxFlag([&](TObject* sender) {
        EXPECT_EQ(sender, &port);
        log.Add("RxFlag");
        received += TakeInput();
    });
    port.Open();
    ASSERT_TRUE(port.ThreadCreated());
    ASSERT_NE(port.EventWindow(), nullptr);

    // Bytes without the event character wake nobody.
    ASSERT_TRUE(device.Send("12:00"));
    ASSERT_TRUE(WaitWithoutServing([&] { return port.BytesWaiting() == 5; }));
    for (int line = 1; line <= 5; ++line) {
        ASSERT_TRUE(device.Send(std::to_string(line) + "\r\n"));
        ASSERT_TRUE(ServeUntil([&] { return log.Count("RxFlag") == static_cast<std::size_t>(line); }));
    }
    port.Close();
    EXPECT_EQ(log.Calls(), std::vector<std::string>(5, "RxFlag"));
    EXPECT_TRUE(log.AllOn(mainThread));
    EXPECT_EQ(received, "12:001\r\n2\r\n3\r\n4\r\n5\r\n");
}

TEST_F(EventPort, RxCharIsDeliveredBeforeRxFlagOfTheSameWait)
{
    port.SetEvents({evRxChar, evRxFlag});
    HandlerLog log(port);
    std::vector<std::int32_t> counts;
    port.SetOnRxChar([&](TObject*, std::int32_t count) {
        log.Add("RxChar");
        counts.push_back(count);
        if (counts.size() == 1) {
            // While this delivery holds the event thread, both events of the
            // next bytes gather for its next wait.
            EXPECT_TRUE(device.Send("b\n"));
            EXPECT_TRUE(WaitWithoutServing([&] { return port.BytesWaiting() == 3; }));
        }
    });
    port.Open();
    ASSERT_TRUE(device.Send("a"));
    ASSERT_TRUE(ServeUntil([&] { return log.Count("RxFlag") == 1; }));
    port.Close();
    EXPECT_EQ(log.Calls(), (std::vector<std::string>{"RxChar", "RxChar", "RxFlag"}));
    EXPECT_EQ(counts, (std::vector<std::int32_t>{1, 3}));
}

TEST_F(EventPort, UnassignedDispatchersAskTheDeviceNothing)
{
    port.SetEvents({});
    port.Open();
    const auto before = CommCallCount();
    for (DWORD bit : kAllBits) EXPECT_EQ(port.WindowMethod(nullptr, CM_COMEVENT, bit, 0), 0);
    EXPECT_EQ(CommCallCount(), before);

    // Assigned, the five that pass on a device state ask exactly once each.
    HandlerLog log(port);
    for (DWORD bit : kAllBits) {
        try {
            port.WindowMethod(nullptr, CM_COMEVENT, bit, 0);
        } catch (const EComPort&) {
            // A pty may lack modem lines; the query was still made.
        }
    }
    EXPECT_EQ(CommCallCount(), before + 5);
}

TEST_F(EventPort, TheWindowIgnoresOtherBitsAndOtherMessages)
{
    HandlerLog log(port);
    port.Open();
    HWND window = port.EventWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessage(window, CM_COMEVENT, 512, 0), 0);
    EXPECT_EQ(SendMessage(window, CM_COMEVENT, EV_RXCHAR | EV_RXFLAG, 0), 0);
    EXPECT_EQ(SendMessage(window, CM_COMEVENT + 1, EV_RXFLAG, 0), 0);
    EXPECT_EQ(log.Count(), 0u);
    // The same route with a real bit does reach its handler.
    EXPECT_EQ(SendMessage(window, CM_COMEVENT, EV_RING, 0), 0);
    EXPECT_EQ(log.Calls(), std::vector<std::string>{"Ring"});
}

TEST_F(EventPort, EventsChangedWhileOpenWaitForTheNextOpen)
{
    HandlerLog log(port);
    port.SetOnRxFlag([&](TObject*) {
        log.Add("RxFlag");
        TakeInput();
    });
    port.Open();
    port.SetEvents({evRxChar, evRxFlag});
    DWORD mask = 0;
    ASSERT_TRUE(GetCommMask(port.Handle(), mask));
    EXPECT_EQ(mask, static_cast<DWORD>(EV_RXFLAG));
    ASSERT_TRUE(device.Send("a\n"));
    ASSERT_TRUE(ServeUntil([&] { return log.Count("RxFlag") == 1; }));
    EXPECT_EQ(log.Count("RxChar"), 0u);

    port.Close();
    port.Open();
    ASSERT_TRUE(GetCommMask(port.Handle(), mask));
    EXPECT_EQ(mask, static_cast<DWORD>(EV_RXCHAR | EV_RXFLAG));
    ASSERT_TRUE(device.Send("b"));
    EXPECT_TRUE(ServeUntil([&] { return log.Count("RxChar") >= 1; }));
}

// A delivery the event thread has already begun is completed inside Close,
// on the main thread, while the device is still open.
class CloseDuringDelivery : public EventPort, public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(CloseDuringDelivery, CompletesTheDeliveryBeforeCloseReturns)
{
    port.SetSyncMethod(GetParam());
    std::vector<std::string> seen;
    std::thread::id ranOn;
    port.SetOnRxFlag([&](TObject*) {
        ranOn = std::this_thread::get_id();
        seen.push_back(port.Connected() ? TakeInput() : "closed");
    });
    port.Open();
    ASSERT_TRUE(device.Send("last\n"));
    ASSERT_TRUE(WaitUntilDeliveryQueued());
    EXPECT_TRUE(seen.empty());
    port.Close();
    EXPECT_EQ(seen, std::vector<std::string>{"last\n"});
    EXPECT_EQ(ranOn, mainThread);
    EXPECT_FALSE(MainQueue::ProcessPending());
}

INSTANTIATE_TEST_SUITE_P(MainThreadMethods, CloseDuringDelivery, ::testing::Values(smWindowSync, smThreadSync));

TEST_F(EventPort, WindowSyncHandlerExceptionArisesOnTheMainThreadAndTheThreadGoesOn)
{
    int calls = 0;
    port.SetOnRxFlag([&](TObject*) {
        TakeInput();
        if (++calls == 1) throw std::runtime_error("reply handler failed");
    });
    port.Open();
    ASSERT_TRUE(device.Send("1\n"));
    try {
        ServeUntil([&] { return calls == 1; });
        ADD_FAILURE() << "the handler's exception did not reach the loop";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "reply handler failed");
    }
    ASSERT_TRUE(device.Send("2\n"));
    EXPECT_TRUE(ServeUntil([&] { return calls == 2; }));
    EXPECT_FALSE(port.EventThread()->Finished());
    EXPECT_EQ(port.EventThread()->FatalException(), nullptr);
}

// Under smThreadSync and smNone a handler's exception ends the thread body;
// the port delivers again only after it is reopened.
class ThreadEndingException : public EventPort, public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(ThreadEndingException, EndsTheThreadUntilReopened)
{
    port.SetSyncMethod(GetParam());
    std::atomic<int> calls{0};
    std::thread::id ranOn;
    port.SetOnRxFlag([&](TObject*) {
        ranOn = std::this_thread::get_id();
        if (++calls == 1) throw std::runtime_error("handler failed");
    });
    port.Open();
    ASSERT_TRUE(device.Send("1\n"));
    ASSERT_TRUE(ServeUntil([&] { return port.EventThread()->Finished(); }));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ranOn == mainThread, GetParam() == smThreadSync);
    auto fatal = port.EventThread()->FatalException();
    ASSERT_NE(fatal, nullptr);
    EXPECT_THROW(std::rethrow_exception(fatal), std::runtime_error);
    EXPECT_TRUE(port.Connected());

    port.PurgeQueues(true, false);
    port.Close();
    port.Open();
    ASSERT_TRUE(device.Send("2\n"));
    EXPECT_TRUE(ServeUntil([&] { return calls == 2; }));
}

INSTANTIATE_TEST_SUITE_P(Methods, ThreadEndingException, ::testing::Values(smThreadSync, smNone));

TEST_F(EventPort, AVanishedDeviceLeavesAnIdleThreadAndACloseThatReturns)
{
    HandlerLog log(port);
    port.Open();
    device.Pty().CloseMaster();

    // A spinning thread would burn about a second here; an idle one nothing.
    const double cpuBefore = ProcessCpuSeconds();
    MainQueue::RunFor(std::chrono::milliseconds(1000));
    const double cpuUsed = ProcessCpuSeconds() - cpuBefore;
    EXPECT_LT(cpuUsed, 0.25);
    EXPECT_FALSE(port.EventThread()->Finished());
    EXPECT_EQ(log.Count(), 0u);

    try {
        port.Close();
    } catch (const EComPort&) {
        // The device is gone; what matters is that Close came back.
    }
}

// The event thread waits for its handler to return, so a handler that closes
// its own port is refused instead of waiting for ever.
class CloseFromOwnHandler : public EventPort, public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(CloseFromOwnHandler, IsRefusedAndThePortStaysUsable)
{
    port.SetSyncMethod(GetParam());
    std::atomic<bool> refused{false};
    port.SetOnRxFlag([&](TObject*) {
        try {
            port.SetPortNum(port.PortNum() + "0");
        } catch (const std::logic_error&) {
            refused = true;
        }
    });
    port.Open();
    ASSERT_TRUE(device.Send("x\n"));
    ASSERT_TRUE(ServeUntil([&] { return refused.load(); }));
    EXPECT_TRUE(port.Connected());
    port.Close();
    EXPECT_FALSE(port.Connected());
}

INSTANTIATE_TEST_SUITE_P(Methods, CloseFromOwnHandler, ::testing::Values(smWindowSync, smThreadSync, smNone));
