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

#include <chrono>
#include <optional>

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

    // The device found by the poll's clock, then gone, and its loss shown.
    void LoseThePolledDevice()
    {
        ASSERT_TRUE(sim.Start({"--clock", "pc"}));
        Connect(sim);
        sim.Kill();
        ASSERT_TRUE(LossShown()) << "the loss was not reported";
    }
    testing::AssertionResult ThreadsBackTo(int before)
    {
        if (WaitFor([&] { return platform::ThreadCount() <= before; })) return testing::AssertionSuccess();
        return testing::AssertionFailure() << platform::ThreadCount() << " threads, " << before << " before";
    }

    // "&Datei", then "&Beenden", with the mouse, and the window gone; `took`
    // gets the time from the click on "&Beenden".
    void CloseWithTheMenu(std::chrono::steady_clock::duration* took = nullptr)
    {
        QPointer<TSDIAppForm> watched = form.get();
        QMenuBar* menuBar = Ctl<QMenuBar>(form, "MainMenu1");
        QMenu* file = Ctl<QMenu>(form, "File1");
        Click(menuBar, menuBar->actionGeometry(file->menuAction()).center());
        ASSERT_TRUE(WaitFor([&] { return file->isVisible(); }, 5000)) << "the menu did not open";
        const auto clicked = std::chrono::steady_clock::now();
        QTest::mouseClick(file, Qt::LeftButton, {}, file->actionGeometry(Ctl<QAction>(form, "FileExitItem")).center());
        ASSERT_TRUE(WaitFor([&] { return watched.isNull(); })) << "the window did not close";
        if (took) *took = std::chrono::steady_clock::now() - clicked;
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
    ASSERT_NO_FATAL_FAILURE(LoseThePolledDevice());
    ASSERT_NO_FATAL_FAILURE(CloseWithTheMenu());
    EXPECT_TRUE(ThreadsBackTo(threadsBefore));
}

INSTANTIATE_TEST_SUITE_P(Drivers, PortLoss, testing::ValuesIn(testsupport::kStrictLossCodes),
                         testsupport::LossCodeName);

// A driver that never ends the port's pending wait, not even when the handle
// closes, and whose close blocks: the window still closes within seconds,
// and what was left to the driver ends once it lets go.
class StuckDriver : public PortLoss {};

TEST_P(StuckDriver, TheWindowClosesWithinSeconds)
{
    const int threadsBefore = platform::ThreadCount();
    std::optional<platform::ScopedNeverEndingWaits> neverEnding(std::in_place);
    ASSERT_NO_FATAL_FAILURE(LoseThePolledDevice());
    std::optional<platform::ScopedBlockingClose> blockingClose(std::in_place);

    std::chrono::steady_clock::duration took{};
    ASSERT_NO_FATAL_FAILURE(CloseWithTheMenu(&took));
    // Close's limits add up to a few seconds; forever is what it guards against.
    EXPECT_LT(took, std::chrono::seconds(10));

    // The driver lets go at last: it writes into what it was given, which
    // must still be there.
    blockingClose.reset();
    neverEnding.reset();
    EXPECT_TRUE(ThreadsBackTo(threadsBefore));
}

INSTANTIATE_TEST_SUITE_P(Unplugged, StuckDriver, testing::Values(platform::ERROR_FILE_NOT_FOUND),
                         testsupport::LossCodeName);

// Whichever code the driver fails with, also one no list names, choosing the
// port again reopens it: the device plugged in since is reached.
class UnlistedCode : public PortLoss {};

TEST_P(UnlistedCode, ChoosingThePortAgainReachesTheNewDevice)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    ASSERT_NO_FATAL_FAILURE(StopThePoll());
    const std::string port = sim.ComName();
    sim.Kill();
    ASSERT_TRUE(LossShown()) << "the failure was not reported";
    EXPECT_TRUE(NamesTheCode(boxes.Seen().front().Text)) << Boxes();

    ASSERT_TRUE(sim.Start({}, port));
    Connect(sim);
    EXPECT_EQ(sim.Frames().front(), "<STX>80<ETX><CR>");
    EXPECT_EQ(boxes.Seen().size(), 1u) << Boxes();
}

INSTANTIATE_TEST_SUITE_P(Drivers, UnlistedCode, testing::Values(platform::ERROR_INVALID_PARAMETER),
                         testsupport::LossCodeName);

}  // namespace
