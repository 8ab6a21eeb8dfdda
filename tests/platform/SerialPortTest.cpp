// A serial port on a pseudo-terminal, driven through the Windows-style calls.

#include "TestSupport.h"
#include "platform/CommCallCount.h"
#include "tooling/testing/StrictLoss.h"

#include <numeric>
#include <optional>
#include <thread>
#include <vector>

namespace platform::test {
namespace {

TEST(SerialOpen, UnknownOrUnlinkedNameIsFileNotFound)
{
    ScopedPortFolder folder;
    PseudoTerminal pty;
    const std::string name = "COM" + std::to_string(FirstFreeComNumber());
    for (const std::string& bad : {name, std::string("LPT1"), std::string("COM"), std::string("")}) {
        EXPECT_EQ(CreateFile(bad), INVALID_HANDLE_VALUE) << bad;
        EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND) << bad;
    }
    ASSERT_TRUE(LinkPort(name, pty.SlavePath()));
    ASSERT_TRUE(UnlinkPort(name));
    EXPECT_EQ(CreateFile(name), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST(SerialOpen, NamesAreCaseInsensitiveAndClosedPortsReopen)
{
    ScopedPortFolder folder;
    PseudoTerminal pty;
    ASSERT_TRUE(LinkPort("COM9", pty.SlavePath()));
    for (int round = 0; round < 2; ++round) {
        const HANDLE h = CreateFile(round == 0 ? "com9" : "COM9");
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << GetLastError();
        EXPECT_TRUE(CloseHandle(h));
        EXPECT_FALSE(CloseHandle(h));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }
}

TEST_F(PtyPortTest, SecondOpenOfAHeldPortIsAccessDenied)
{
    EXPECT_EQ(CreateFile(name), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
}

TEST_F(PtyPortTest, EveryByteValueTravelsIntactBothWays)
{
    std::string all(256, '\0');
    std::iota(all.begin(), all.end(), static_cast<char>(0));
    // The device sends each value twice, so FF FF and FF 00 sequences occur
    // that look like the kernel's error marks.
    const std::string fromDevice = all + all;

    ASSERT_TRUE(pty.WriteAll(fromDevice));
    ASSERT_TRUE(QueueHolds(static_cast<DWORD>(fromDevice.size())));
    std::string got(fromDevice.size(), '\0');
    Record read;
    DWORD count = 0;
    ASSERT_TRUE(ReadFile(port, got.data(), static_cast<DWORD>(got.size()), &count, &read.ov));
    EXPECT_EQ(count, fromDevice.size());
    EXPECT_EQ(got, fromDevice);

    Record write;
    DWORD written = 0;
    if (!WriteFile(port, all.data(), static_cast<DWORD>(all.size()), &written, &write.ov)) {
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        ASSERT_TRUE(write.Completes());
        ASSERT_TRUE(GetOverlappedResult(port, &write.ov, &written, false));
    }
    EXPECT_EQ(written, all.size());
    EXPECT_EQ(DeviceReceives(all.size()), all);
}

TEST_F(PtyPortTest, EventCharacterCompletesAPendingWaitAndStaysReadable)
{
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    Record wait;
    DWORD events = 0xDEAD;
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);

    // Bytes without the event character leave the wait pending.
    ASSERT_TRUE(pty.WriteAll("0123"));
    ASSERT_TRUE(QueueHolds(4));
    DWORD transferred = 0;
    EXPECT_FALSE(GetOverlappedResult(port, &wait.ov, &transferred, false));
    EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);

    ASSERT_TRUE(pty.WriteAll("45\r\n"));
    ASSERT_TRUE(wait.Completes());
    ASSERT_TRUE(GetOverlappedResult(port, &wait.ov, &transferred, false));
    EXPECT_EQ(events, DWORD{EV_RXFLAG});

    COMSTAT stat;
    DWORD errors = 0;
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    ASSERT_EQ(stat.cbInQue, 8u);
    std::string line(stat.cbInQue, '\0');
    Record read;
    DWORD count = 0;
    ASSERT_TRUE(ReadFile(port, line.data(), stat.cbInQue, &count, &read.ov));
    EXPECT_EQ(line, "012345\r\n");
}

TEST_F(PtyPortTest, EventsSeenWhileNoWaitIsPendingCompleteTheNextWaitAtOnce)
{
    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR | EV_RXFLAG));
    ASSERT_TRUE(pty.WriteAll("ab\n"));
    ASSERT_TRUE(QueueHolds(3));
    Record wait;
    DWORD events = 0;
    ASSERT_TRUE(WaitCommEvent(port, &events, &wait.ov)) << GetLastError();
    EXPECT_EQ(events, DWORD{EV_RXCHAR | EV_RXFLAG});
    EXPECT_TRUE(wait.Signalled());

    // The history was consumed: the next wait is pending.
    Record next;
    EXPECT_FALSE(WaitCommEvent(port, &events, &next.ov));
    EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    EXPECT_TRUE(SetCommMask(port, 0));
}

TEST_F(PtyPortTest, SetCommMaskCompletesAPendingWaitWithNoEvents)
{
    Record wait;
    DWORD events = 0xDEAD;
    EXPECT_FALSE(WaitCommEvent(port, &events, &wait.ov));  // no mask yet
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(wait.Signalled());

    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));

    Record second;
    DWORD otherEvents = 0;
    EXPECT_FALSE(WaitCommEvent(port, &otherEvents, &second.ov));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG | EV_RXCHAR));
    ASSERT_TRUE(wait.Completes());
    DWORD transferred = 0;
    EXPECT_TRUE(GetOverlappedResult(port, &wait.ov, &transferred, false));
    EXPECT_EQ(events, 0u);
    DWORD mask = 0;
    ASSERT_TRUE(GetCommMask(port, mask));
    EXPECT_EQ(mask, DWORD{EV_RXFLAG | EV_RXCHAR});
}

// What ends a pending wait, with Windows' own driver and with drivers that
// hold it: the mask change, CancelIoEx, or only closing the handle.
TEST_F(PtyPortTest, APendingWaitEndsByMaskChangeCancelOrClose)
{
    enum class Driver { Plain, EndsOnCancel, EndsOnCleanup };
    struct Row {
        Driver driver;
        bool maskEnds, cancelEnds;
    };
    for (const Row row : {Row{Driver::Plain, true, true}, Row{Driver::EndsOnCancel, false, true},
                          Row{Driver::EndsOnCleanup, false, false}}) {
        SCOPED_TRACE(static_cast<int>(row.driver));
        std::optional<ScopedHeldWaits> held;
        if (row.driver != Driver::Plain) held.emplace(row.driver == Driver::EndsOnCancel);
        ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
        Record wait;
        DWORD events = 0xDEAD;
        ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        DWORD transferred = 0;

        ASSERT_TRUE(SetCommMask(port, EV_RXFLAG | EV_RXCHAR));
        EXPECT_EQ(wait.Signalled(), row.maskEnds);
        if (row.maskEnds) {
            EXPECT_TRUE(GetOverlappedResult(port, &wait.ov, &transferred, false));
            EXPECT_EQ(events, 0u);
            ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
        }
        ASSERT_TRUE(CancelIoEx(port, &wait.ov));  // the request is taken even where it does nothing
        EXPECT_EQ(wait.Signalled(), row.cancelEnds);
        if (!row.cancelEnds) {
            CloseHandle(port);
            port = INVALID_HANDLE_VALUE;
            ASSERT_TRUE(wait.Completes()) << "closing the handle must end every wait";
        }
        EXPECT_FALSE(GetOverlappedResult(port, &wait.ov, &transferred, false));
        EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
        if (port == INVALID_HANDLE_VALUE) {
            port = CreateFile(name);
            ASSERT_NE(port, INVALID_HANDLE_VALUE);
        }
    }
    // Nothing pending on a record: nothing to cancel.
    Record idle;
    EXPECT_FALSE(CancelIoEx(port, &idle.ov));
    EXPECT_EQ(GetLastError(), ERROR_NOT_FOUND);
}

// Waits that end at once although the device is there, as wine's do on a
// pseudo-terminal; the next wait after them is an ordinary one.
TEST_F(PtyPortTest, FailingWaitsEndAtOnceWithTheirCode)
{
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    ScopedFailingWaits failing(ERROR_OPERATION_ABORTED, 2);
    Record wait;
    DWORD events = 0xDEAD;
    for (int round = 0; round < 2; ++round) {
        EXPECT_FALSE(WaitCommEvent(port, &events, &wait.ov));
        EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
        ASSERT_TRUE(wait.Signalled());
        DWORD transferred = 0;
        EXPECT_FALSE(GetOverlappedResult(port, &wait.ov, &transferred, false));
        EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    }
    EXPECT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    EXPECT_FALSE(wait.Signalled());
    ASSERT_TRUE(pty.WriteAll("\n"));
    ASSERT_TRUE(wait.Completes());
    EXPECT_EQ(events, DWORD{EV_RXFLAG});
}

TEST_F(PtyPortTest, PurgeAbortCompletesPendingReadsWithAbortedAndKeepsTheirBytes)
{
    COMMTIMEOUTS waitForAll{};
    ASSERT_TRUE(SetCommTimeouts(port, waitForAll));
    ASSERT_TRUE(pty.WriteAll("xy"));
    ASSERT_TRUE(QueueHolds(2));
    char buffer[10];
    Record read;
    DWORD count = 0;
    ASSERT_FALSE(ReadFile(port, buffer, sizeof buffer, &count, &read.ov));
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);

    ASSERT_TRUE(PurgeComm(port, PURGE_RXABORT | PURGE_TXABORT));
    ASSERT_TRUE(read.Completes());
    EXPECT_FALSE(GetOverlappedResult(port, &read.ov, &count, false));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_EQ(count, 0u);

    ASSERT_TRUE(SetCommTimeouts(port, ToolTimeouts()));
    Record again;
    ASSERT_TRUE(ReadFile(port, buffer, sizeof buffer, &count, &again.ov));
    EXPECT_EQ(std::string(buffer, count), "xy");
}

TEST_F(PtyPortTest, PurgeClearEmptiesTheInputQueue)
{
    ASSERT_TRUE(pty.WriteAll("stale"));
    ASSERT_TRUE(QueueHolds(5));
    ASSERT_TRUE(PurgeComm(port, PURGE_RXCLEAR | PURGE_TXCLEAR));
    COMSTAT stat;
    DWORD errors = 0;
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 0u);
    for (const DWORD refused : {DWORD{0}, DWORD{0x10}}) {  // no action at all, or an unknown one
        EXPECT_FALSE(PurgeComm(port, refused));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER) << refused;
    }
}

TEST_F(PtyPortTest, ClearCommErrorCountsQueuedBytesAndReportsOverflowOnce)
{
    ASSERT_TRUE(SetupComm(port, 16, 16));
    ASSERT_TRUE(pty.WriteAll(std::string(10, 'a')));
    ASSERT_TRUE(QueueHolds(10));
    ASSERT_TRUE(pty.WriteAll(std::string(10, 'b')));
    // 16 fit; the rest is dropped and counted as an input overflow.
    DWORD errors = 0;
    COMSTAT stat;
    ASSERT_TRUE(WaitUntil([&] {
        DWORD e = 0;
        ClearCommError(port, &e, &stat);
        errors |= e;
        return errors != 0;
    }));
    EXPECT_EQ(errors, DWORD{CE_RXOVER});
    EXPECT_EQ(stat.cbInQue, 16u);
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(errors, 0u);
    EXPECT_EQ(stat.cbInQue, 16u);
}

TEST_F(PtyPortTest, WithInputFlowControlAFullQueueHoldsBackInsteadOfDropping)
{
    DCB dcb = ToolDcb();
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    ASSERT_TRUE(SetCommState(port, dcb));
    ASSERT_TRUE(SetupComm(port, 16, 16));
    std::string sent;
    for (int i = 0; i < 40; ++i) sent += static_cast<char>('A' + i % 26);
    ASSERT_TRUE(pty.WriteAll(sent));

    ExpectReadWholeWithoutErrors(sent);
}

TEST_F(PtyPortTest, AFullQueueHoldingALineEndWaitsForTheReaderInsteadOfDropping)
{
    // The device sends lines faster than they are read (a pty is far faster
    // than a real line): once a line end waits in the full queue, a reader is
    // coming, so the rest stays in the kernel until it has made room.
    ASSERT_TRUE(SetupComm(port, 16, 16));
    std::string sent;
    for (int i = 0; i < 40; ++i) sent += "line" + std::to_string(i) + "\n";
    ASSERT_TRUE(pty.WriteAll(sent));

    ExpectReadWholeWithoutErrors(sent);
}

// Line ends that came while the mask left EV_RXFLAG out raise nothing, then
// or later, as on Windows. A full queue must then not hold the device's next
// line back for them: that line, dropped or not, is what wakes the waiter.
struct StaleLineEnds {
    const char* name;
    std::string before;    // sent while nobody asked for line ends
    DWORD shrinkTo;        // the queue made smaller afterwards (0: kept at 16)
    std::string next;      // sent once a wait is pending
    std::string readable;  // what the queue then holds
};
void PrintTo(const StaleLineEnds& c, std::ostream* out)
{
    *out << c.name;
}

const std::string kTenLines = "line0\nline1\nline2\nline3\nline4\nline5\nline6\nline7\nline8\nline9\n";

class StaleLineEndTest : public PtyPortTest, public ::testing::WithParamInterface<StaleLineEnds> {};

TEST_P(StaleLineEndTest, NeverKeepTheNextLineFromAWaiter)
{
    const StaleLineEnds& c = GetParam();
    ASSERT_TRUE(SetCommMask(port, 0));
    const DWORD queue = c.shrinkTo == 0 ? 16 : 1024;
    ASSERT_TRUE(SetupComm(port, queue, queue));
    ASSERT_TRUE(pty.WriteAll(c.before));
    ASSERT_TRUE(QueueHolds(static_cast<DWORD>(c.before.size())));
    if (c.shrinkTo != 0) {
        ASSERT_TRUE(SetupComm(port, c.shrinkTo, c.shrinkTo));
    }

    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    Record wait;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    ASSERT_TRUE(pty.WriteAll(c.next));
    ASSERT_TRUE(wait.Completes());
    EXPECT_EQ(events, DWORD{EV_RXFLAG});

    DWORD errors = 0;
    COMSTAT stat;
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(errors, DWORD{CE_RXOVER});
    char buffer[256];
    DWORD count = 0;
    Record read;
    ASSERT_TRUE(ReadFile(port, buffer, sizeof buffer, &count, &read.ov));
    EXPECT_EQ(std::string(buffer, count), c.readable);
}

// The first row is a port opened under steady traffic: its queue fills up
// only after the mask is set, a few bytes short of the next line's end.
INSTANTIATE_TEST_SUITE_P(
    Rows, StaleLineEndTest,
    ::testing::Values(StaleLineEnds{"QueueFilledAfterTheMask", "ab\n", 0, "0123456789abc\n", "ab\n0123456789abc"},
                      StaleLineEnds{"QueueMadeSmallerThanItsContent", kTenLines, 16, "next\n", kTenLines}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PtyPortTest, QueueEightyPercentFullIsReportedOncePerCrossing)
{
    ASSERT_TRUE(SetupComm(port, 10, 10));
    ASSERT_TRUE(SetCommMask(port, EV_RX80FULL));
    Record wait;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    ASSERT_TRUE(pty.WriteAll("1234567"));
    ASSERT_TRUE(QueueHolds(7));
    EXPECT_FALSE(wait.Signalled());
    ASSERT_TRUE(pty.WriteAll("8"));
    ASSERT_TRUE(wait.Completes());
    EXPECT_EQ(events, DWORD{EV_RX80FULL});
    EXPECT_TRUE(SetCommMask(port, 0));
}

TEST_F(PtyPortTest, DiscardNullDropsNulBytes)
{
    DCB dcb = ToolDcb();
    dcb.fNull = true;
    ASSERT_TRUE(SetCommState(port, dcb));
    ASSERT_TRUE(pty.WriteAll(std::string("a\0b\0\0c", 6)));
    ASSERT_TRUE(QueueHolds(3));
    char buffer[8];
    DWORD count = 0;
    Record read;
    ASSERT_TRUE(ReadFile(port, buffer, sizeof buffer, &count, &read.ov));
    EXPECT_EQ(std::string(buffer, count), "abc");
}

TEST_F(PtyPortTest, CommStateReportsTheBlockSetNotWhatThePtyKept)
{
    DCB dcb = ToolDcb();
    dcb.BaudRate = 256000;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = TWOSTOPBITS;
    ASSERT_TRUE(SetCommState(port, dcb));
    DCB back;
    ASSERT_TRUE(GetCommState(port, back));
    EXPECT_EQ(back, dcb);

    DCB bad = dcb;
    bad.ByteSize = 9;
    EXPECT_FALSE(SetCommState(port, bad));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    ASSERT_TRUE(GetCommState(port, back));
    EXPECT_EQ(back, dcb);

    COMMTIMEOUTS t{1, 2, 3, 4, 5};
    ASSERT_TRUE(SetCommTimeouts(port, t));
    COMMTIMEOUTS tBack;
    ASSERT_TRUE(GetCommTimeouts(port, tBack));
    EXPECT_EQ(tBack, t);
}

TEST_F(PtyPortTest, EveryCommCallIsCounted)
{
    const auto before = CommCallCount();
    DWORD errors = 0;
    COMSTAT stat;
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    ASSERT_TRUE(PurgeComm(port, PURGE_RXCLEAR));
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    EXPECT_EQ(CommCallCount(), before + 3);
    // Events are not serial-device calls.
    const HANDLE e = CreateEvent(true, false);
    SetEvent(e);
    CloseHandle(e);
    EXPECT_EQ(CommCallCount(), before + 3);
}

TEST_F(PtyPortTest, CloseCompletesAPendingWaitAndReadWithAborted)
{
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    ASSERT_TRUE(SetCommTimeouts(port, COMMTIMEOUTS{}));
    Record wait;
    Record read;
    DWORD events = 0xDEAD;
    char buffer[4];
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    ASSERT_FALSE(ReadFile(port, buffer, sizeof buffer, nullptr, &read.ov));

    ASSERT_TRUE(CloseHandle(port));
    const HANDLE closed = port;
    port = INVALID_HANDLE_VALUE;
    // Completed before CloseHandle returned: no waiting needed.
    EXPECT_TRUE(wait.Signalled());
    EXPECT_TRUE(read.Signalled());
    DWORD transferred = 0;
    EXPECT_FALSE(GetOverlappedResult(closed, &wait.ov, &transferred, false));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_FALSE(GetOverlappedResult(closed, &read.ov, &transferred, false));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);

    EXPECT_FALSE(PurgeComm(closed, PURGE_RXCLEAR));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(PtyPortTest, ClosingTheEventOfAPendingRequestIsAnError)
{
    // Windows would go on writing into the record and set whatever event
    // reuses the handle: a caller that does so must be stopped in a test,
    // not forgiven.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    Record pending;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(port, &events, &pending.ov));
    EXPECT_DEATH(CloseHandle(pending.ov.hEvent), "event of a pending request");
    // Once the wait has completed, the event is the caller's to close.
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    EXPECT_TRUE(pending.Signalled());
    const HANDLE event = std::exchange(pending.ov.hEvent, 0);
    EXPECT_TRUE(CloseHandle(event));
}

// What no caller here uses is refused, and refusing changes nothing.
TEST_F(PtyPortTest, FormsNoCallerUsesAreRefused)
{
    ASSERT_TRUE(SetCommTimeouts(port, COMMTIMEOUTS{0, 0, 0, 0, 0}));
    DWORD count = 7;
    char buffer[4];
    DWORD events = 0;
    EXPECT_FALSE(WriteFile(port, "ping", 4, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    EXPECT_FALSE(WaitCommEvent(port, &events, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);

    Record read;
    EXPECT_FALSE(ReadFile(port, buffer, sizeof buffer, &count, &read.ov));
    EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
    EXPECT_FALSE(GetOverlappedResult(port, &read.ov, &count, true));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);

    DCB abortOnError = ToolDcb();
    abortOnError.fAbortOnError = true;
    EXPECT_FALSE(SetCommState(port, abortOnError));
    EXPECT_EQ(GetLastError(), ERROR_NOT_SUPPORTED);
    DCB inForce;
    ASSERT_TRUE(GetCommState(port, inForce));
    EXPECT_EQ(inForce, ToolDcb());

    // The read still pending above is the only one: the device's line reaches it.
    ASSERT_TRUE(pty.WriteAll("pong"));
    ASSERT_TRUE(read.Completes());
    ASSERT_TRUE(GetOverlappedResult(port, &read.ov, &count, false));
    EXPECT_EQ(std::string(buffer, count), "pong");
}

TEST_F(PtyPortTest, ConcurrentCallsWhileTheEventThreadWaits)
{
    // The shape of the tool: one thread loops on WaitCommEvent, the main
    // thread reads, writes, purges and reconfigures at the same time.
    ASSERT_TRUE(SetCommMask(port, EV_RXFLAG));
    const HANDLE stop = CreateEvent(true, false);
    std::atomic<int> lines{0};
    std::thread eventThread([&] {
        Record wait;
        DWORD events = 0;
        const HANDLE handles[2] = {stop, wait.ov.hEvent};
        for (;;) {
            WaitCommEvent(port, &events, &wait.ov);
            if (WaitForMultipleObjects(2, handles, false, INFINITE) != WAIT_OBJECT_0 + 1) break;
            DWORD unused = 0;
            if (GetOverlappedResult(port, &wait.ov, &unused, false) && (events & EV_RXFLAG)) ++lines;
        }
        SetCommMask(port, 0);  // let go of a wait that is still pending
    });

    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(pty.WriteAll("line\n"));
        Record write;
        DWORD written = 0;
        if (!WriteFile(port, "q\r", 2, &written, &write.ov)) {
            ASSERT_TRUE(write.Completes());
        }
        DCB dcb = ToolDcb();
        dcb.BaudRate = (i % 2) ? 57600 : 115200;
        ASSERT_TRUE(SetCommState(port, dcb));
        char buffer[64];
        Record read;
        DWORD count = 0;
        ReadFile(port, buffer, sizeof buffer, &count, &read.ov);
        ASSERT_TRUE(read.Completes());
        if (i % 10 == 0) {
            ASSERT_TRUE(PurgeComm(port, PURGE_RXCLEAR));
        }
    }
    ASSERT_TRUE(WaitUntil([&] { return lines.load() > 0; }));
    SetEvent(stop);
    eventThread.join();
    CloseHandle(stop);
    EXPECT_EQ(DeviceReceives(100).size(), 100u);
}

}  // namespace
}  // namespace platform::test
