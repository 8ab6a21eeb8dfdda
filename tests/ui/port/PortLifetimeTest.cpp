// The window with its port open on a pseudo-terminal that plays the device:
// line events reach the device session through Qt's loop, a delivery's
// failure is shown by the error display, and closing the window closes the port and ends
// its event thread.

#include "tests/support/WindowControl.h"
#include "UiTestSupport.h"

#include "tooling/testing/ProcessStats.h"
#include "tests/support/LinkedPty.h"
#include "ui/Application.h"
#include "ui/DriveChooser.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

class PortLifetime : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(device.Linked()) << device.Error();
        TApplication::ReportSuccess();
        form->Session().Port().SetPortNum("COM7");
    }
    TLinkedPty device{"COM7"};
    TFormHolder<TSDIAppForm> form{FixedTestTime};
};

TEST_F(PortLifetime, LineEventReachesTheSessionThroughTheEventLoop)
{
    form->Session().Port().Open();
    ASSERT_TRUE(form->Session().Port().Connected());
    ASSERT_TRUE(device.pty.WriteAll("26.12.07 03:14:15ABCD\r\n"));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return Ctl<TPanel>(form, "Modulzeit")->Caption() == "26.12.07 03:14:15"; }, 10000));
}

TEST_F(PortLifetime, DeliveryFailureIsShownAndLaterLinesStillArrive)
{
    TBoxWatcher watcher;
    QTemporaryDir folder;
    form->Session().OpenPort("COM7");
    ASSERT_TRUE(device.pty.WriteAll("26.12.07 03:14:15ABCD\r\n"));  // the clock answers
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Session().RequestOpen(); }, 10000));
    ASSERT_EQ(form->Session().ReadDay(26, 12, 7, folder.path().toStdString()), exchange::TTransmitResult::trSent);
    ASSERT_TRUE(QFile::remove(folder.filePath("26_12_07.txt")));  // the day file vanishes
    ASSERT_TRUE(device.pty.WriteAll("erste\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher.Seen().empty(); }, 10000));
    EXPECT_EQ(watcher.Seen().front().Text, "Fehler ...");

    // The program went on: the next line is delivered as usual.
    ASSERT_TRUE(device.pty.WriteAll("zweite\r\n"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Session().Request().Tally.LostLines() == 2; }, 10000));
    EXPECT_EQ(Ctl<QLabel>(form, "Rueckgabe")->text(), "zweite");
    ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.Seen().size() == 2; }, 10000));  // a box per delivery
    EXPECT_EQ(watcher.Seen().back().Text, "Fehler ...");
}

TEST_F(PortLifetime, ClosingTheWindowClosesThePortAndEndsItsThread)
{
    // The drive chooser asks its volumes on threads of their own; once they
    // have answered, only the port's threads come and go.
    TDriveComboBox* drives = Ctl<TDriveComboBox>(form, "DriveComboBox1");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (int i = 0; i < drives->count(); ++i)
                if (!drives->IsReady(i)) return false;
            return true;
        },
        10000));
    const int threadsBefore = platform::ThreadCount();
    form->Session().Port().Open();
    ASSERT_TRUE(form->Session().Port().ThreadCreated());
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
