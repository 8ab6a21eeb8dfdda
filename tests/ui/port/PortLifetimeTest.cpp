// The window with its port open on a pseudo-terminal that plays the device:
// line events reach CPort1RxFlag through Qt's loop, a failing delivery is
// shown by the error display, and closing the window closes the port and ends
// its event thread.

#include "UiTestSupport.h"

#include "tooling/testing/ProcessStats.h"
#include "tests/support/LinkedPty.h"
#include "ui/Application.h"
#include "ui/DriveChooser.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class PortLifetime : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.Linked()) << device.Error();
        TApplication::ReportSuccess();
        form->CPort1->SetPortNum("COM7");
    }
    TLinkedPty device{"COM7"};
    TFormHolder<TSpyForm> form;
};

TEST_F(PortLifetime, LineEventReachesTheReplyHandlerThroughTheEventLoop)
{
    form->CPort1->Open();
    ASSERT_TRUE(form->CPort1->Connected());
    ASSERT_TRUE(device.pty.WriteAll("26.12.07 03:14:15ABCD\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Calls.contains("CPort1RxFlag"); }, 10000));
    EXPECT_EQ(form->Calls.count("CPort1RxFlag"), 1);
}

TEST_F(PortLifetime, FailingReplyHandlerIsShownAndLaterEventsStillArrive)
{
    TBoxWatcher watcher;
    int failures = 0;
    form->RxFlagFailure = [&failures] {
        if (failures++ == 0) throw std::runtime_error("Antwort unbrauchbar");
    };
    form->CPort1->Open();
    ASSERT_TRUE(device.pty.WriteAll("erste\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.Seen().empty(); }, 10000));
    EXPECT_EQ(watcher.Seen().front().Text, "Antwort unbrauchbar.");

    // The program went on: the next line is delivered as usual.
    ASSERT_TRUE(device.pty.WriteAll("zweite\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Calls.count("CPort1RxFlag") >= 2; }, 10000));
    EXPECT_EQ(watcher.Seen().size(), 1u);
}

TEST_F(PortLifetime, ClosingTheWindowClosesThePortAndEndsItsThread)
{
    // The drive chooser asks its volumes on threads of their own; once they
    // have answered, only the port's threads come and go.
    TDriveComboBox* drives = form->DriveComboBox1;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (int i = 0; i < drives->count(); ++i)
                if (!drives->IsReady(i)) return false;
            return true;
        },
        10000));
    const int threadsBefore = platform::ThreadCount();
    form->CPort1->Open();
    ASSERT_TRUE(form->CPort1->ThreadCreated());
    EXPECT_GT(platform::ThreadCount(), threadsBefore);

    QPointer<TSDIAppForm> watched = form.get();
    form->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return platform::ThreadCount() <= threadsBefore; }, 10000))
        << platform::ThreadCount() << " threads, " << threadsBefore << " before";

    // The device is free again: an exclusive open by someone else succeeds.
    TComPort other;
    other.SetPortNum("COM7");
    EXPECT_NO_THROW(other.Open());
    EXPECT_TRUE(other.Connected());
    other.Close();
}

TEST_F(PortLifetime, ClosingBeforeAnyPortWasChosenLeavesThePortsAlone)
{
    TComPort other;
    other.SetPortNum("COM7");
    other.Open();
    QPointer<TSDIAppForm> watched = form.get();
    form->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return watched.isNull(); }, 10000));
    EXPECT_TRUE(other.Connected());
    ASSERT_TRUE(device.pty.WriteAll("x"));
    std::string got;
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.BytesWaiting() > 0; }, 10000));
    other.ReadText(got, 10);
    EXPECT_EQ(got, "x");
    other.Close();
}

}  // namespace
