// The event thread on a real pseudo-terminal: which handlers run, where,
// in which order, what Close does to a delivery in progress, handler
// exceptions under each SyncMethod, and a device that vanishes.

#include <algorithm>
#include <atomic>
#include <limits>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "PtyDevice.h"
#include "platform/CommCallCount.h"
#include "platform/PortFolder.h"
#include "tests/support/LossCodes.h"
#include "tooling/testing/ProcessStats.h"
#include "tooling/testing/StrictLoss.h"
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

    // Whether the port opens (a close let go late may still be on its way).
    bool OpensAgain()
    {
        const bool opened = WaitWithoutServing([&] {
            try {
                port.Open();
            } catch (const EComPort&) {
            }
            return port.Connected();
        });
        port.Close();
        return opened;
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

// There a lost device ends the thread the same way, with the loss.
TEST_P(ThreadEndingException, ALostDeviceEndsTheThreadWithTheLoss)
{
    ScopedStrictLoss loss(ERROR_DEVICE_REMOVED);
    port.SetSyncMethod(GetParam());
    port.Open();
    device.Pty().CloseMaster();
    ASSERT_TRUE(ServeUntil([&] { return port.EventThread()->Finished(); }));
    try {
        std::rethrow_exception(port.EventThread()->FatalException());
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code, ComErrorCode::AsyncStatus);
        EXPECT_EQ(e.WinCode, static_cast<std::int32_t>(ERROR_DEVICE_REMOVED));
    } catch (...) {
        ADD_FAILURE() << "the thread did not end with the loss";
    }
    EXPECT_TRUE(port.DeviceLost());
    EXPECT_NO_THROW(port.Close());
}

INSTANTIATE_TEST_SUITE_P(Methods, ThreadEndingException, ::testing::Values(smThreadSync, smNone));

namespace {

// Serves the main queue until done() holds or the time is up, keeping each
// EComPort a delivery raises (the window's loop hands them to its display).
bool ServeKeeping(std::vector<EComPort>& raised, const std::function<bool()>& done,
                  std::chrono::milliseconds timeout = kPatience)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        try {
            return ServeUntil(done, std::max(left, std::chrono::milliseconds(0)));
        } catch (const EComPort& e) {
            raised.push_back(e);
        }
    }
}

void ServeFor(std::vector<EComPort>& raised, std::chrono::milliseconds span)
{
    const auto never = [] { return false; };
    ServeKeeping(raised, never, span);
}

}  // namespace

// The device vanishes under the open port, in each driver's way: the event
// thread reports the loss once, on the main thread, then sleeps; Close
// raises nothing and leaves the name free for the device plugged in next.
class VanishedDevice : public EventPort, public ::testing::WithParamInterface<DWORD> {
protected:
    ScopedStrictLoss loss{GetParam()};
};

TEST_P(VanishedDevice, IsReportedOnceThenTheThreadSleepsAndTheNameIsFreeAgain)
{
    HandlerLog log(port);
    port.Open();
    device.Pty().CloseMaster();

    std::vector<EComPort> raised;
    ASSERT_TRUE(ServeKeeping(raised, [&] { return !raised.empty(); })) << "the loss was not reported";
    // A spinning thread would call the platform thousands of times here.
    const auto calls = CommCallCount();
    ServeFor(raised, std::chrono::milliseconds(500));
    EXPECT_EQ(CommCallCount(), calls);
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].Code, ComErrorCode::AsyncStatus);
    EXPECT_EQ(raised[0].WinCode, static_cast<std::int32_t>(testsupport::RefusalOf(GetParam())));
    EXPECT_TRUE(port.DeviceLost());
    EXPECT_EQ(log.Count(), 0u);

    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.Connected());
    EXPECT_FALSE(port.ThreadCreated());
    EXPECT_EQ(port.Handle(), INVALID_HANDLE_VALUE);

    // The device is back under the same name: opening reaches it. The gone
    // device's link goes with it (its number may already serve another
    // test's terminal, which would make the link look alive).
    PseudoTerminal back;
    UnlinkPort(port.PortNum());
    std::string error;
    ASSERT_TRUE(LinkPort(port.PortNum(), back.SlavePath(), &error)) << error;
    port.Open();
    ASSERT_TRUE(back.WriteAll("x\n"));
    EXPECT_TRUE(ServeKeeping(raised, [&] { return log.Count("RxFlag") == 1; }));
    EXPECT_EQ(raised.size(), 1u);
    port.Close();
}

INSTANTIATE_TEST_SUITE_P(Drivers, VanishedDevice, ::testing::ValuesIn(testsupport::kLossCodes),
                         testsupport::LossCodeName);

// A failure that says nothing about the device going is no reason to keep
// the port half open: Close finishes, then raises it.
TEST_F(EventPort, CloseRaisesAFailureOtherThanALossOnlyOnceThePortIsClosed)
{
    ScopedStrictLoss oddDriver(ERROR_INVALID_PARAMETER);
    port.Open();
    device.Pty().CloseMaster();
    std::vector<EComPort> raised;
    ASSERT_TRUE(ServeKeeping(raised, [&] { return !raised.empty(); }));
    EXPECT_EQ(raised[0].WinCode, static_cast<std::int32_t>(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(port.DeviceLost());

    try {
        port.Close();
        ADD_FAILURE() << "the failing purge was not raised";
    } catch (const EComPort& e) {
        EXPECT_EQ(e.Code, ComErrorCode::PurgeFailed);
        EXPECT_FALSE(port.Connected());
        EXPECT_FALSE(port.ThreadCreated());
        EXPECT_EQ(port.Handle(), INVALID_HANDLE_VALUE);
    }
}

// Waits that fail while the device is still there: an aborted one (as wine
// ends every wait on a pseudo-terminal) or one ended with no event is started
// again in silence, another failure is reported once; either way the thread
// pauses longer while the failures go on, instead of spinning, and delivers
// again once they stop.
class FailingWaits : public EventPort, public ::testing::WithParamInterface<DWORD> {};

TEST_P(FailingWaits, AreRetriedWithoutSpinningAndReportedUnlessAborted)
{
    HandlerLog log(port);
    port.SetOnRxFlag([&](TObject*) {
        log.Add("RxFlag");
        TakeInput();
    });
    std::optional<ScopedFailingWaits> failing;
    failing.emplace(GetParam(), std::numeric_limits<long>::max());
    port.Open();
    std::vector<EComPort> raised;
    const auto calls = CommCallCount();
    ServeFor(raised, std::chrono::milliseconds(1000));
    // Pausing, the thread starts about seven waits in that second (each with
    // a probe); a busy loop starts thousands.
    EXPECT_LT(CommCallCount() - calls, 100u);

    failing.reset();
    ASSERT_TRUE(device.Send("x\n"));
    EXPECT_TRUE(ServeKeeping(raised, [&] { return log.Count("RxFlag") == 1; }));
    if (GetParam() == ERROR_OPERATION_ABORTED || GetParam() == ERROR_SUCCESS) {
        EXPECT_TRUE(raised.empty());
    } else {
        ASSERT_EQ(raised.size(), 1u);
        EXPECT_EQ(raised[0].Code, ComErrorCode::AsyncStatus);
        EXPECT_EQ(raised[0].WinCode, static_cast<std::int32_t>(GetParam()));
    }
    EXPECT_FALSE(port.DeviceLost());
    EXPECT_NO_THROW(port.Close());
}

INSTANTIATE_TEST_SUITE_P(Codes, FailingWaits,
                         ::testing::Values(ERROR_OPERATION_ABORTED, ERROR_SUCCESS, ERROR_INVALID_PARAMETER));

// Drivers that hold up the end: the pending wait held past the mask change
// until CancelIoEx, or until its handle is closed, or never ended at all
// (when the driver lets go of it at the end of the test it writes into the
// record: it must still be there), and a CloseHandle that blocks. Close
// returns within its limit all the same, and the name is free again once
// the driver has let go.
enum class THoldUp { EndsOnCancel, EndsOnClose, NeverEnds, CloseBlocks, NeverEndsAndCloseBlocks };

std::string HoldUpName(const ::testing::TestParamInfo<THoldUp>& info)
{
    static const char* const names[] = {"EndsOnCancel", "EndsOnClose", "NeverEnds", "CloseBlocks",
                                        "NeverEndsAndCloseBlocks"};
    return names[static_cast<int>(info.param)];
}

class HeldWait : public EventPort, public ::testing::WithParamInterface<THoldUp> {
protected:
    bool Holds(THoldUp a, THoldUp b) const { return GetParam() == a || GetParam() == b; }
};

TEST_P(HeldWait, NeitherCloseNorThePortsEndHangs)
{
    std::optional<ScopedHeldWaits> held;
    if (Holds(THoldUp::EndsOnCancel, THoldUp::EndsOnClose)) held.emplace(GetParam() == THoldUp::EndsOnCancel);
    std::optional<ScopedNeverEndingWaits> neverEnding;
    if (Holds(THoldUp::NeverEnds, THoldUp::NeverEndsAndCloseBlocks)) neverEnding.emplace();
    std::optional<ScopedBlockingClose> blockingClose;
    port.Open();
    if (Holds(THoldUp::CloseBlocks, THoldUp::NeverEndsAndCloseBlocks)) blockingClose.emplace();

    // Well above Close's few seconds, well below forever.
    const auto started = std::chrono::steady_clock::now();
    port.Close();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(8));
    EXPECT_FALSE(port.Connected());
    EXPECT_EQ(port.Handle(), INVALID_HANDLE_VALUE);

    blockingClose.reset();
    EXPECT_TRUE(OpensAgain());
}

INSTANTIATE_TEST_SUITE_P(Drivers, HeldWait,
                         ::testing::Values(THoldUp::EndsOnCancel, THoldUp::EndsOnClose, THoldUp::NeverEnds,
                                           THoldUp::CloseBlocks, THoldUp::NeverEndsAndCloseBlocks),
                         HoldUpName);

// A handler that reads after the device has gone, run by Close while it
// stops the thread: the loss has been reported already, Close raises nothing.
TEST_F(EventPort, ALossMetByAHandlerInsideCloseIsNotRaised)
{
    ScopedStrictLoss loss(ERROR_DEVICE_REMOVED);
    int calls = 0;
    port.SetOnRxFlag([&](TObject*) {
        ++calls;
        TakeInput();
    });
    port.Open();
    ASSERT_TRUE(device.Send("last\n"));
    ASSERT_TRUE(WaitUntilDeliveryQueued());
    device.Pty().CloseMaster();
    ASSERT_TRUE(WaitWithoutServing([&] {
        DWORD status = 0;
        return !GetCommModemStatus(port.Handle(), &status);
    }));
    EXPECT_NO_THROW(port.Close());
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(port.Connected());
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

// A handler that destroys its own port: the thread, which waits for that
// handler, is let go instead of waited for, and the name is free again.
class DestroyedByOwnHandler : public EventPort, public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(DestroyedByOwnHandler, NeitherHangsNorTouchesThePortAgain)
{
    auto owned = std::make_unique<TComPort>();
    LoadCPort1Settings(*owned);
    owned->SetSyncMethod(GetParam());
    owned->SetPortNum(device.ComName());
    owned->SetEvents(TEvents{evRxChar, evRxFlag});
    std::atomic<int> calls{0};
    // Both events come with one wait: the second must not reach the port.
    // Nothing of the handler is used once the port is gone, the handler
    // itself included.
    owned->SetOnRxChar([&](TObject*, std::int32_t) {
        ++calls;
        owned.reset();
    });
    owned->SetOnRxFlag([&](TObject*) { ++calls; });
    owned->Open();
    // Under smNone the handler runs beside the main thread: a call on the
    // port (under the driver's lock, as the arriving bytes are) orders the end
    // of Open before it for the race detector, which cannot see the bytes
    // pass through the kernel.
    ASSERT_EQ(owned->BytesWaiting(), 0);
    ASSERT_TRUE(device.Send("x\n"));
    ASSERT_TRUE(ServeUntil([&] { return calls.load() > 0; }));
    MainQueue::RunFor(std::chrono::milliseconds(200));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(OpensAgain());
}

INSTANTIATE_TEST_SUITE_P(Methods, DestroyedByOwnHandler, ::testing::Values(smWindowSync, smThreadSync, smNone));
