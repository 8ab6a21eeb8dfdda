// Modem lines, breaks and line errors that a pty port takes from its lines file.

#include "TestSupport.h"
#include "platform/VirtualLines.h"
#include "tooling/tty/VirtualLinesDriver.h"

#include <functional>

namespace platform::test {
namespace {

TEST(VirtualLinesFile, TextRoundTripsAndToleratesJunk)
{
    VirtualLineState s;
    s.cts = s.rlsd = true;
    s.breaks = 3;
    s.overruns = 7;
    EXPECT_EQ(ParseVirtualLines(FormatVirtualLines(s)), s);
    EXPECT_EQ(FormatVirtualLines(s), "cts=1 dsr=0 ring=0 rlsd=1 breaks=3 frame=0 parity=0 overrun=7\n");
    const VirtualLineState junk = ParseVirtualLines("dsr=1 what=2 cts=x frame=9 =1 ring");
    EXPECT_TRUE(junk.dsr);
    EXPECT_FALSE(junk.cts);
    EXPECT_EQ(junk.frameErrors, 9u);
    EXPECT_EQ(ParseVirtualLines(""), VirtualLineState{});
}

TEST(VirtualLinesFile, LivesBesideTheLink)
{
    ScopedPortFolder folder;
    EXPECT_EQ(VirtualLinesPath("com4"), PortFolder() + "/COM4.lines");
    EXPECT_EQ(VirtualLinesPath("../x"), "");
    EXPECT_EQ(ReadVirtualLines("COM4"), VirtualLineState{});
    ASSERT_TRUE(SetVirtualModemLines("COM4", true, false, false, true));
    ASSERT_TRUE(InjectLineEvent("COM4", LineEvent::Break));
    const VirtualLineState s = ReadVirtualLines("COM4");
    EXPECT_TRUE(s.cts);
    EXPECT_TRUE(s.rlsd);
    EXPECT_EQ(s.breaks, 1u);
}

class VirtualLines : public PtyPortTest {
protected:
    // Starts a wait for `mask`, runs `drive`, and returns the events reported.
    DWORD EventsAfter(DWORD mask, const std::function<void()>& drive)
    {
        EXPECT_TRUE(SetCommMask(port, mask));
        Record wait;
        DWORD events = 0;
        if (!WaitCommEvent(port, &events, &wait.ov)) {
            EXPECT_EQ(GetLastError(), ERROR_IO_PENDING);
            drive();
            EXPECT_TRUE(wait.Completes());
        }
        DWORD unused = 0;
        EXPECT_TRUE(GetOverlappedResult(port, &wait.ov, &unused, false));
        return events;
    }
};

TEST_F(VirtualLines, ModemStatusFollowsTheFile)
{
    DWORD status = 0xFF;
    ASSERT_TRUE(GetCommModemStatus(port, &status));
    EXPECT_EQ(status, 0u);

    const DWORD events = EventsAfter(EV_CTS | EV_DSR | EV_RLSD | EV_RING,
                                     [&] { ASSERT_TRUE(SetVirtualModemLines(name, true, true, false, true)); });
    EXPECT_EQ(events, DWORD{EV_CTS | EV_DSR | EV_RLSD});
    ASSERT_TRUE(GetCommModemStatus(port, &status));
    EXPECT_EQ(status, DWORD{MS_CTS_ON | MS_DSR_ON | MS_RLSD_ON});

    EXPECT_EQ(EventsAfter(EV_RING, [&] { ASSERT_TRUE(SetVirtualModemLines(name, true, true, true, true)); }),
              DWORD{EV_RING});
    ASSERT_TRUE(GetCommModemStatus(port, &status));
    EXPECT_EQ(status, DWORD{MS_CTS_ON | MS_DSR_ON | MS_RING_ON | MS_RLSD_ON});
}

TEST_F(VirtualLines, BreaksAndLineErrorsRaiseEventsAndFlags)
{
    struct Row {
        LineEvent event;
        DWORD expectedEvent;
        DWORD expectedError;
    };
    for (const Row& row :
         {Row{LineEvent::Break, EV_BREAK, CE_BREAK}, Row{LineEvent::FrameError, EV_ERR, CE_FRAME},
          Row{LineEvent::ParityError, EV_ERR, CE_RXPARITY}, Row{LineEvent::Overrun, EV_ERR, CE_OVERRUN}}) {
        const DWORD events = EventsAfter(EV_BREAK | EV_ERR, [&] { ASSERT_TRUE(InjectLineEvent(name, row.event)); });
        EXPECT_EQ(events, row.expectedEvent);
        DWORD errors = 0;
        COMSTAT stat;
        ASSERT_TRUE(ClearCommError(port, &errors, &stat));
        EXPECT_EQ(errors, row.expectedError);
    }
}

TEST_F(VirtualLines, OtherFilesInTheFolderDoNotWakeTheWait)
{
    ASSERT_TRUE(SetCommMask(port, EV_CTS));
    Record wait;
    DWORD events = 0;
    ASSERT_FALSE(WaitCommEvent(port, &events, &wait.ov));
    ASSERT_TRUE(SetVirtualModemLines("COM8", true, true, true, true));
    // COM8's file changed, not ours; ours then changes and only that counts.
    ASSERT_TRUE(SetVirtualModemLines(name, true, false, false, false));
    ASSERT_TRUE(wait.Completes());
    EXPECT_EQ(events, DWORD{EV_CTS});
}

}  // namespace
}  // namespace platform::test
