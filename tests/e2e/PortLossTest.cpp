// The device going away while the clock poll runs (simulator killed, as an
// adapter pulled out): one error box for the whole episode, the window goes
// on serving, and choosing the port once the device is back reaches it.

#include "E2eSupport.h"

#include "ui/PortRecovery.h"

namespace {

using e2e::WaitFor;

class PortLoss : public e2e::TWindowTest {
protected:
    e2e::TSimulator sim;
};

TEST_F(PortLoss, OneBoxWhileTheDeviceIsGoneAndTheSamePortWorksAgain)
{
    ASSERT_TRUE(sim.Start({"--clock", "pc"}));
    Connect(sim);
    const std::string port = sim.ComName();

    sim.Kill();
    ASSERT_TRUE(WaitFor([&] { return DeviceGone(*form->CPort1); }));
    // Several ticks meet the dead device; each fails the same way.
    ASSERT_TRUE(WaitFor([&] { return !boxes.Seen().empty(); })) << "the loss was not reported";
    const int rejected = int(sim.Frames().size());
    int ticks = 0;
    form->Timer1->OnTimer = [&, poll = form->Timer1->OnTimer](QObject* s) {
        ++ticks;
        poll(s);
    };
    ASSERT_TRUE(WaitFor([&] { return ticks >= 4; })) << "the poll stopped or the window hangs";
    ASSERT_EQ(boxes.Seen().size(), 1u) << Boxes();
    EXPECT_TRUE(boxes.Seen().front().Text.contains("(win error code: 22)")) << Boxes();
    EXPECT_TRUE(form->Timer1->Enabled());  // the poll goes on trying
    EXPECT_EQ(int(sim.Frames().size()), rejected);

    // Chosen while the device is still away: the port cannot be opened. (The
    // poll is stopped first and its last failure handed over, so the box
    // that follows is the choice's own.)
    form->Timer1->SetEnabled(false);
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.Seen().size(), 1u) << Boxes();
    TApplication::ReportSuccess();
    ChoosePort(port);
    ASSERT_TRUE(WaitFor([&] { return boxes.Seen().size() == 2; }));
    EXPECT_TRUE(boxes.Seen().back().Text.contains("(win error code: 2)")) << Boxes();
    EXPECT_FALSE(form->CPort1->Connected());

    // Back under the same name: choosing it opens the new device.
    ASSERT_TRUE(sim.Start({"--clock", "pc"}, port));
    Connect(sim);
    EXPECT_FALSE(DeviceGone(*form->CPort1));
    const std::size_t boxesBack = boxes.Seen().size();
    ticks = 0;
    ASSERT_TRUE(WaitFor([&] { return ticks >= 2 && sim.Received(e2e::kPollFrameLogged); }));
    EXPECT_EQ(boxes.Seen().size(), boxesBack) << Boxes();
}

// Gone and back without anything in between but the poll: choosing the port
// again is all it takes (the gone device's port is closed and reopened).
TEST_F(PortLoss, DeviceBackBeforeTheOperatorNoticedIsReachedByChoosingThePort)
{
    ASSERT_TRUE(sim.Start({}));
    Connect(sim);
    form->Timer1->SetEnabled(false);
    const std::string port = sim.ComName();
    sim.Kill();
    ASSERT_TRUE(WaitFor([&] { return DeviceGone(*form->CPort1); }));
    ASSERT_TRUE(sim.Start({}, port));
    EXPECT_TRUE(form->CPort1->Connected());  // still the old, dead device

    Connect(sim);
    EXPECT_EQ(sim.Frames().front(), "<STX>80<ETX><CR>");
    EXPECT_TRUE(boxes.Seen().empty()) << Boxes();
}

}  // namespace
