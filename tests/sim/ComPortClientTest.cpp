// The simulator as the tool meets it: through the serial component, opened by
// COM name, with replies delivered by the LF event on the main thread.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/MainThread.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"
#include "sim/DateTime.h"
#include "sim/Records.h"
#include "sim/ReplyLine.h"
#include "SimHarness.h"

using namespace simtest;

namespace {

class ComPortClient : public ::testing::Test {
protected:
    void SetUp() override { platform::MainQueue::BindToCurrentThread(); }

    void StartSim(const std::vector<std::string>& args)
    {
        ASSERT_TRUE(sim.Start(args, runtime)) << "qdtr25-sim did not announce itself";
        OpenPort();
    }

    // As port selection does: the window's settings, open, clear both queues.
    void OpenPort()
    {
        LoadCPort1Settings(port);
        port.SetPortNum(sim.comName);
        port.SetOnRxFlag([this](TObject*) {
            std::string data;
            port.ReadText(data, port.BytesWaiting());
            reads.push_back(data);
            received += data;
        });
        port.Open();
        port.PurgeQueues(true, true);
    }

    // Serves event deliveries until `count` lines have come.
    bool AwaitLines(std::size_t count)
    {
        return platform::MainQueue::RunUntil(
            [&] { return static_cast<std::size_t>(std::count(received.begin(), received.end(), '\n')) >= count; },
            std::chrono::milliseconds(kPatienceMs));
    }

    PrivateRuntimeDir runtime;
    SimProcess sim;
    TComPort port;
    std::string received;
    std::vector<std::string> reads;
};

TEST_F(ComPortClient, ClockQueryAtPortSelectionIsAnswered)
{
    StartSim({"--clock", "13.05.06 07:08:09"});
    port.WriteText(kBareClockQuery);
    ASSERT_TRUE(AwaitLines(1));
    ASSERT_GE(received.size(), 6u);
    const std::string body = received.substr(0, received.find('\r') - 4);
    EXPECT_EQ(received, sim::ReplyLine(body));
    const auto clock = sim::ParseClockText(body);
    ASSERT_TRUE(clock) << received;
    EXPECT_GE(sim::ToSeconds(*clock), sim::ToSeconds({2013, 5, 6, 7, 8, 9}));
}

TEST_F(ComPortClient, DayOfRecordsArrivesWhole)
{
    StartSim({"--records", "20", "--seed", "9"});
    port.WriteText(FrameOf("7024_03_15"));
    ASSERT_TRUE(AwaitLines(20));
    std::string expected;
    for (int n = 1; n <= 20; ++n) expected += sim::ReplyLine(sim::RecordBody({2024, 3, 15, 0, 0, 0}, n, {20, 9}));
    EXPECT_EQ(received, expected);
}

TEST_F(ComPortClient, SplitLineIsWholeWhenItsLfArrives)
{
    // The event comes with the LF, by then the earlier pieces are waiting too.
    StartSim({"--split", "--split-pause-ms", "30"});
    port.WriteText(FrameOf("6024_03_150010"));
    ASSERT_TRUE(AwaitLines(1));
    ASSERT_FALSE(reads.empty());
    EXPECT_EQ(reads.front(), sim::ReplyLine(sim::RecordBody({2024, 3, 15, 0, 0, 0}, 10, {96, 0})));
}

TEST_F(ComPortClient, PortClosedAndReopenedIsServedAgain)
{
    StartSim({});
    for (int round = 0; round < 3; ++round) {
        received.clear();
        port.WriteText(FrameOf("80"));
        ASSERT_TRUE(AwaitLines(1)) << "round " << round;
        EXPECT_TRUE(sim::ParseClockText(received.substr(0, 17))) << received;
        port.Close();
        port.Open();
        port.PurgeQueues(true, true);
    }
}

}  // namespace
