// The device going away under the open port (simulator killed, as an
// adapter pulled out or a laptop put to sleep), the way each USB-serial
// driver on Windows reports it: during the clock poll, during a day
// download, while idle, and with the program closed while it is gone. One
// error box per loss, naming the driver's code; the window goes on serving;
// choosing the port once the device is back reaches it.

#include "tests/support/WindowControl.h"
#include "E2eSupport.h"

#include "tests/support/LossCodes.h"
#include "tooling/testing/ProcessStats.h"
#include "tooling/testing/StrictLoss.h"
#include "exchange/PortRecovery.h"

#include <QMenuBar>

namespace {

using e2e::WaitFor;

class PortLoss : public e2e::TWindowTest, public testing::WithParamInterface<platform::DWORD> {
protected:
    // Waits for the loss's box; false if none came.
    bool LossShown()
    {
        return WaitFor([&] { return !boxes.Seen().empty(); });
    }
    bool NamesTheCode(const QString& text) const
    {
        return text.contains(QString("(win error code: %1)").arg(GetParam()));
    }
    // Stops the clock poll as the operator does: by choosing a reading mode.
    void StopThePoll()
    {
        Click(Ctl<TRadioButton>(form, "Wert_lesen"));
        ASSERT_FALSE(Ctl<TTimer>(form, "Timer1")->Enabled());
    }

    platform::ScopedStrictLoss loss{GetParam()};
    e2e::TSimulator sim;
};

TEST_P(PortLoss, DuringThePollOneBoxAndTheSamePortWorksAgain)
{
    ASSERT_TRUE(sim.Start({"--clock", "pc"}));
    Connect(sim);
    const std::string port = sim.ComName();

    sim.Kill();
    ASSERT_TRUE(LossShown()) << "the loss was not reported";
    EXPECT_TRUE(DeviceGone(form->Session().Port()));
    // Several ticks meet the dead device; each fails the same way.
    int ticks = 0;
    Ctl<TTimer>(form, "Timer1")->OnTimer = [&, poll = Ctl<TTimer>(form, "Timer1")->OnTimer](QObject* s) {
        ++ticks;
        poll(s);
    };
    ASSERT_TRUE(WaitFor([&] { return ticks >= 3; })) << "the poll stopped or the window hangs";
    ASSERT_EQ(boxes.Seen().size(), 1u) << Boxes();
    EXPECT_TRUE(NamesTheCode(boxes.Seen().front().Text)) << Boxes();
    EXPECT_TRUE(Ctl<TTimer>(form, "Timer1")->Enabled());  // the poll goes on trying

    // The port list no longer offers the name. Back under the same name:
    // choosing it (the poll stopped first, or a tick's failure would start
    // a new episode once the operator acts) opens the new device.
    ASSERT_NO_FATAL_FAILURE(StopThePoll());
    ASSERT_TRUE(sim.Start({"--clock", "pc"}, port));
    Connect(sim);
    EXPECT_FALSE(DeviceGone(form->Session().Port()));
    ticks = 0;
    ASSERT_TRUE(WaitFor([&] { return ticks >= 2 && sim.Received(e2e::kPollFrameLogged); }));
    EXPECT_EQ(boxes.Seen().size(), 1u) << Boxes();
}

// The poll is stopped while the day's records come in: only the port's event
// thread can tell that the device has gone.
TEST_P(PortLoss, DuringADayDownloadOneBoxAndTheLinesReceivedAreKept)
{
    ASSERT_TRUE(sim.Start({"--records", "1000", "--split", "--split-pause-ms", "20"}));
    Connect(sim);
    const std::string port = sim.ComName();
    const std::string file = DownloadDay("26", "12", "7");
    ASSERT_TRUE(WaitFor([&] { return form->Session().Request().Tally.StoredLines() >= 3; })) << Boxes();

    sim.Kill();
    ASSERT_TRUE(LossShown()) << "the download stopped without a word";
    const int stored = form->Session().Request().Tally.StoredLines();
    const std::string kept = e2e::ReadFileBytes(file);
    EXPECT_EQ(std::count(kept.begin(), kept.end(), '\n'), stored);
    ASSERT_EQ(boxes.Seen().size(), 1u) << Boxes();
    EXPECT_TRUE(NamesTheCode(boxes.Seen().front().Text)) << Boxes();

    ASSERT_TRUE(sim.Start({"--clock", "pc"}, port));
    Connect(sim);
    EXPECT_EQ(boxes.Seen().size(), 1u) << Boxes();
}

// Gone and back while the window sent nothing: the loss is shown, and
// choosing the port again is all it takes (the gone device's port is closed
// and the new one opened).
TEST_P(PortLoss, WhileIdleTheLossIsShownAndChoosingThePortReachesTheNewDevice)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    ASSERT_NO_FATAL_FAILURE(StopThePoll());
    const std::string port = sim.ComName();
    sim.Kill();
    ASSERT_TRUE(LossShown()) << "the loss was not reported";
    EXPECT_TRUE(NamesTheCode(boxes.Seen().front().Text)) << Boxes();
    ASSERT_TRUE(sim.Start({}, port));
    EXPECT_TRUE(form->Session().Port().Connected());  // still the old, dead device

    Connect(sim);
    EXPECT_EQ(sim.Frames().front(), "<STX>80<ETX><CR>");
    EXPECT_EQ(boxes.Seen().size(), 1u) << Boxes();
}

// With a driver that ends the port's pending wait only when the handle is
// closed, not even for the loss: the poll tells of it, and ending the program
// must not wait for that wait.
TEST_P(PortLoss, ProgramClosedWhileTheDeviceIsGoneEndsAtOnce)
{
    platform::ScopedHeldWaits heldTillCleanup(false);
    const int threadsBefore = platform::ThreadCount();
    ASSERT_TRUE(sim.Start({"--clock", "pc"}));
    Connect(sim);
    sim.Kill();
    ASSERT_TRUE(LossShown()) << "the loss was not reported";

    // "&Datei", then "&Beenden", with the mouse.
    QPointer<TSDIAppForm> watched = form.get();
    QMenuBar* menuBar = Ctl<QMenuBar>(form, "MainMenu1");
    Click(menuBar, menuBar->actionGeometry(Ctl<QMenu>(form, "File1")->menuAction()).center());
    ASSERT_TRUE(WaitFor([&] { return Ctl<QMenu>(form, "File1")->isVisible(); }, 5000)) << "the menu did not open";
    QTest::mouseClick(Ctl<QMenu>(form, "File1"), Qt::LeftButton, {},
                      Ctl<QMenu>(form, "File1")->actionGeometry(Ctl<QAction>(form, "FileExitItem")).center());
    ASSERT_TRUE(WaitFor([&] { return watched.isNull(); })) << "the window did not close";
    EXPECT_TRUE(WaitFor([&] { return platform::ThreadCount() <= threadsBefore; }))
        << platform::ThreadCount() << " threads, " << threadsBefore << " before";
}

INSTANTIATE_TEST_SUITE_P(Drivers, PortLoss, testing::ValuesIn(testsupport::kStrictLossCodes),
                         testsupport::LossCodeName);

}  // namespace
