// The device vanishes under an open port (pty master closed, USB unplugged).

#include "TestSupport.h"

#include "tests/support/LossCodes.h"
#include "tooling/testing/StrictLoss.h"

#include <atomic>
#include <thread>

namespace platform::test {
namespace {

// Each row a driver's loss: 0 the emulation's kind default, else a strict
// loss with the code USB-serial drivers give.
class DeviceGone : public PtyPortTest, public ::testing::WithParamInterface<DWORD> {
protected:
    bool Strict() const { return GetParam() != 0; }
    // The code calls that need the device fail with.
    DWORD Refusal() const { return testsupport::RefusalOf(GetParam()); }
    ScopedStrictLoss loss{GetParam()};
};

TEST_P(DeviceGone, PendingOperationsEndAbortedAndNewCallsFail)
{
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    ASSERT_TRUE(SetCommTimeouts(port, COMMTIMEOUTS{}));
    Record wait;
    Record read;
    DWORD events = 0;
    char buffer[8];
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    ASSERT_FALSE(ReadFile(port, buffer, sizeof buffer, nullptr, &read.ov));

    pty.CloseMaster();
    ASSERT_TRUE(wait.Completes());
    ASSERT_TRUE(read.Completes());
    DWORD transferred = 0;
    EXPECT_FALSE(GetOverlappedResult(port, &wait.ov, &transferred, false));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_FALSE(GetOverlappedResult(port, &read.ov, &transferred, false));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);

    // A new wait fails at once and leaves its event unsignalled.
    EXPECT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    EXPECT_EQ(GetLastError(), Refusal());
    EXPECT_FALSE(wait.Signalled());
    EXPECT_FALSE(GetOverlappedResult(port, &wait.ov, &transferred, false));
    EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);

    Record write;
    EXPECT_FALSE(WriteFile(port, "x", 1, nullptr, &write.ov));
    EXPECT_EQ(GetLastError(), Refusal());
    EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, nullptr, &read.ov));
    EXPECT_EQ(GetLastError(), Refusal());
    EXPECT_FALSE(SetCommState(port, ToolDcb()));
    EXPECT_EQ(GetLastError(), Refusal());
    DWORD errors = 0;
    COMSTAT stat;
    EXPECT_FALSE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(GetLastError(), Refusal());
    DWORD modem = 0;
    EXPECT_FALSE(GetCommModemStatus(port, &modem));
    EXPECT_EQ(GetLastError(), Refusal());

    // The kind emulation lets what closing needs succeed; a strict loss
    // refuses everything, as Windows' drivers may.
    const bool purged = PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    const DWORD purgeError = GetLastError();
    const bool maskSet = SetCommMask(port, 0);
    const DWORD maskError = GetLastError();
    DCB dcb;
    const bool stateRead = GetCommState(port, dcb);
    EXPECT_EQ(purged, !Strict());
    EXPECT_EQ(maskSet, !Strict());
    EXPECT_EQ(stateRead, !Strict());
    if (Strict()) {
        EXPECT_EQ(purgeError, GetParam());
        EXPECT_EQ(maskError, GetParam());
        EXPECT_FALSE(SetupComm(port, 1024, 1024));
        EXPECT_FALSE(SetCommTimeouts(port, ToolTimeouts()));
        EXPECT_EQ(GetLastError(), GetParam());
    }
    // Closing is the one thing that always works.
    EXPECT_TRUE(CloseHandle(port));
    port = INVALID_HANDLE_VALUE;
}

TEST_P(DeviceGone, BytesReceivedBeforeTheLossAreReadableOnlyInTheKindEmulation)
{
    ASSERT_TRUE(pty.WriteAll("last\n"));
    ASSERT_TRUE(QueueHolds(5));
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] {
        Record write;
        return !WriteFile(port, "x", 1, nullptr, &write.ov) && GetLastError() == Refusal();
    }));
    COMSTAT stat;
    DWORD errors = 0;
    char buffer[16];
    DWORD count = 0;
    Record read;
    if (Strict()) {
        EXPECT_FALSE(ClearCommError(port, &errors, &stat));
        EXPECT_EQ(GetLastError(), GetParam());
        EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, &count, &read.ov));
        EXPECT_EQ(GetLastError(), GetParam());
        return;
    }
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 5u);
    ASSERT_TRUE(ReadFile(port, buffer, sizeof buffer, &count, &read.ov));
    EXPECT_EQ(std::string(buffer, count), "last\n");
    EXPECT_FALSE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
}

TEST_P(DeviceGone, AnEventThreadLoopBlocksInsteadOfSpinning)
{
    // The event thread's loop as the tool runs it: WaitCommEvent (result not
    // examined), then an unbounded wait for the stop event or the record's.
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    const HANDLE stop = CreateEvent(true, false);
    std::atomic<int> rounds{0};
    std::atomic<int> refusedStarts{0};
    std::thread eventThread([&] {
        Record wait;
        DWORD events = 0;
        const HANDLE handles[2] = {stop, wait.ov.hEvent};
        for (;;) {
            if (!WaitCommEvent(port, &events, &wait.ov) && GetLastError() != ERROR_IO_PENDING) ++refusedStarts;
            if (WaitForMultipleObjects(2, handles, false, INFINITE) != WAIT_OBJECT_0 + 1) break;
            ++rounds;
            DWORD unused = 0;
            GetOverlappedResult(port, &wait.ov, &unused, false);
        }
    });
    // One line first, so the loop is known to be running.
    ASSERT_TRUE(pty.WriteAll("\n"));
    const bool running = WaitUntil([&] { return rounds.load() >= 1; });
    pty.CloseMaster();
    // The pending wait ends aborted (one more round) and the next start is
    // refused; from then on the loop must sleep.
    const bool lossSeen = WaitUntil([&] { return refusedStarts.load() >= 1; });
    const double cpuBefore = ProcessCpuSeconds();
    const int roundsBefore = rounds.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the window being measured
    const double cpuUsed = ProcessCpuSeconds() - cpuBefore;
    const int roundsAfter = rounds.load();
    const int refusedAfter = refusedStarts.load();
    SetEvent(stop);
    eventThread.join();
    CloseHandle(stop);

    ASSERT_TRUE(running);
    ASSERT_TRUE(lossSeen);
    EXPECT_EQ(roundsAfter, roundsBefore);
    EXPECT_EQ(refusedAfter, 1);
    // A spinning loop (or pump) would burn most of the window.
    EXPECT_LT(cpuUsed, 0.15);
}

INSTANTIATE_TEST_SUITE_P(Drivers, DeviceGone, ::testing::ValuesIn(testsupport::kLossCodes), testsupport::LossCodeName);

}  // namespace
}  // namespace platform::test
