// The device vanishes under an open port (pty master closed, USB unplugged).

#include "TestSupport.h"

#include <atomic>
#include <thread>

namespace platform::test {
namespace {

class DeviceGone : public PtyPortTest {};

TEST_F(DeviceGone, PendingOperationsEndAbortedAndNewCallsFail)
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
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
    EXPECT_FALSE(wait.Signalled());
    EXPECT_FALSE(GetOverlappedResult(port, &wait.ov, &transferred, false));
    EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);

    Record write;
    EXPECT_FALSE(WriteFile(port, "x", 1, nullptr, &write.ov));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
    EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, nullptr, &read.ov));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
    EXPECT_FALSE(SetCommState(port, ToolDcb()));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
    DWORD errors = 0;
    COMSTAT stat;
    EXPECT_FALSE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
    DWORD modem = 0;
    EXPECT_FALSE(GetCommModemStatus(port, &modem));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);

    // What closing needs still works, so the port can be closed cleanly.
    EXPECT_TRUE(PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR));
    EXPECT_TRUE(SetCommMask(port, 0));
    EXPECT_TRUE(CloseHandle(port));
    port = INVALID_HANDLE_VALUE;
}

TEST_F(DeviceGone, BytesReceivedBeforeTheLossCanStillBeRead)
{
    ASSERT_TRUE(pty.WriteAll("last\n"));
    ASSERT_TRUE(QueueHolds(5));
    pty.CloseMaster();
    ASSERT_TRUE(WaitUntil([&] {
        Record write;
        return !WriteFile(port, "x", 1, nullptr, &write.ov) && GetLastError() == ERROR_BAD_COMMAND;
    }));
    COMSTAT stat;
    DWORD errors = 0;
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 5u);
    char buffer[16];
    DWORD count = 0;
    Record read;
    ASSERT_TRUE(ReadFile(port, buffer, sizeof buffer, &count, &read.ov));
    EXPECT_EQ(std::string(buffer, count), "last\n");
    EXPECT_FALSE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(GetLastError(), ERROR_BAD_COMMAND);
}

TEST_F(DeviceGone, AnEventThreadLoopBlocksInsteadOfSpinning)
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

}  // namespace
}  // namespace platform::test
