// The real qdtr25-sim program, driven through pseudo-terminals as the tool
// drives it.

#include <gtest/gtest.h>

#include <QFileInfo>
#include <fstream>
#include <sstream>

#include "platform/PortFolder.h"
#include "tooling/tty/Pty.h"
#include "sim/DateTime.h"
#include "sim/Records.h"
#include "sim/ReplyLine.h"
#include "SimHarness.h"

using namespace simtest;
using Signal = platform::ChildProcess::Signal;

namespace {

bool IsLink(const std::string& comName)
{
    return QFileInfo(QString::fromStdString(platform::PortFolder() + "/" + comName)).isSymLink();
}

// The body of a line whose checksum matches; empty (with a failure) otherwise.
std::string CheckedBody(const std::string& line)
{
    EXPECT_GE(line.size(), 6u) << line;
    if (line.size() < 6) return {};
    const std::string body = line.substr(0, line.size() - 6);
    EXPECT_EQ(line, sim::ReplyLine(body));
    return body;
}

// Seconds the device clock in `line` is ahead of `start`, or -1.
std::int64_t ClockAhead(const std::string& line, const sim::DateTime& start)
{
    const auto clock = sim::ParseClockText(CheckedBody(line));
    EXPECT_TRUE(clock) << line;
    return clock ? sim::ToSeconds(*clock) - sim::ToSeconds(start) : -1;
}

std::vector<std::string> FileLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class SimProcessTest : public ::testing::Test {
protected:
    void StartSim(std::vector<std::string> args)
    {
        ASSERT_TRUE(sim.Start(args, runtime)) << "qdtr25-sim did not announce itself";
        ASSERT_TRUE(client.Open(sim.ttyPath)) << sim.announcement;
    }

    PrivateRuntimeDir runtime;
    SimProcess sim;
    Client client;
};

TEST_F(SimProcessTest, LinksTheLowestFreeNameAndRemovesItOnTermination)
{
    const std::string expected = "COM" + std::to_string(platform::FirstFreeComNumber());
    StartSim({"--port", "auto"});
    EXPECT_EQ(sim.comName, expected);
    EXPECT_EQ(sim.ttyPath.rfind("/dev/pts/", 0), 0u) << sim.announcement;
    EXPECT_EQ(platform::ResolvePortName(sim.comName), sim.ttyPath);

    const auto status = sim.Stop(Signal::Terminate);
    ASSERT_TRUE(status);
    EXPECT_TRUE(status->exited);
    EXPECT_EQ(status->code, 0);
    EXPECT_FALSE(IsLink(sim.comName));
}

TEST_F(SimProcessTest, InterruptAlsoRemovesTheLink)
{
    StartSim({"--port", "COM7"});
    EXPECT_EQ(sim.comName, "COM7");
    EXPECT_TRUE(IsLink("COM7"));
    const auto status = sim.Stop(Signal::Interrupt);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, 0);
    EXPECT_FALSE(IsLink("COM7"));
}

TEST_F(SimProcessTest, TakenNameIsRefusedAndLeftAlone)
{
    StartSim({"--port", "COM4"});
    SimProcess second;
    EXPECT_FALSE(second.Start({"--port", "COM4"}, runtime));
    const auto status = second.process.Wait(kPatienceMs);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, 1);
    EXPECT_EQ(platform::ResolvePortName("COM4"), sim.ttyPath);
}

TEST_F(SimProcessTest, BadCommandLineExitsWithUsageError)
{
    SimProcess bad;
    EXPECT_FALSE(bad.Start({"--records", "many"}, runtime));
    const auto status = bad.process.Wait(kPatienceMs);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, 2);
}

TEST_F(SimProcessTest, ClockStartsResetAndRuns)
{
    StartSim({});
    ASSERT_TRUE(client.Send(kBareClockQuery));
    const auto ahead = ClockAhead(client.Line(), {2000, 1, 1, 0, 0, 0});
    EXPECT_GE(ahead, 0);
    EXPECT_LT(ahead, 3600);
}

TEST_F(SimProcessTest, ClockSetByFrameIsReadBack)
{
    StartSim({"--clock", "13.05.06 07:08:09"});
    ASSERT_TRUE(client.Send(FrameOf("80")));
    const auto ahead = ClockAhead(client.Line(), {2013, 5, 6, 7, 8, 9});
    EXPECT_GE(ahead, 0);
    EXPECT_LT(ahead, 3600);

    ASSERT_TRUE(client.Send(FrameOf("8124 12 31 23 59 58")));
    EXPECT_EQ(client.Line(), sim::ReplyLine(sim::reply::kClockSet));
    ASSERT_TRUE(client.Send(kBareClockQuery));
    const auto after = ClockAhead(client.Line(), {2024, 12, 31, 23, 59, 58});
    EXPECT_GE(after, 0);
    EXPECT_LT(after, 3600);
}

TEST_F(SimProcessTest, ReadsOneRecord)
{
    StartSim({"--seed", "42"});
    ASSERT_TRUE(client.Send(FrameOf("6024_03_150005")));
    EXPECT_EQ(client.Line(), sim::ReplyLine(sim::RecordBody({2024, 3, 15, 0, 0, 0}, 5, {96, 42})));
}

TEST_F(SimProcessTest, ReadDayGivesExactlyTheStoredRecords)
{
    StartSim({"--records", "7", "--seed", "3"});
    ASSERT_TRUE(client.Send(FrameOf("7024_02_29")));
    const auto lines = client.Lines(7);
    ASSERT_EQ(lines.size(), 7u);
    for (int n = 1; n <= 7; ++n)
        EXPECT_EQ(lines[static_cast<std::size_t>(n - 1)],
                  sim::ReplyLine(sim::RecordBody({2024, 2, 29, 0, 0, 0}, n, {7, 3})));
    // Nothing follows the records: the next line is the clock's.
    ASSERT_TRUE(client.Send(kBareClockQuery));
    EXPECT_TRUE(sim::ParseClockText(CheckedBody(client.Line())));
}

TEST_F(SimProcessTest, ErrorsAndNoise)
{
    StartSim({});
    ASSERT_TRUE(client.Send("noise\r\n"));
    ASSERT_TRUE(client.Send("\x02"
                            "806413\x03\r"));
    EXPECT_EQ(client.Line(), sim::ReplyLine(sim::reply::kBadChecksum));
    ASSERT_TRUE(client.Send(FrameOf("99")));
    EXPECT_EQ(client.Line(), sim::ReplyLine(sim::reply::kUnknownCommand));
    ASSERT_TRUE(client.Send(FrameOf("85 2 123456 0042 1 0")));
    EXPECT_EQ(client.Line(), sim::ReplyLine(sim::reply::kConfigStored));
}

TEST_F(SimProcessTest, SplitRepliesArriveInPieces)
{
    // Pauses far longer than a read takes, so the first piece is seen alone.
    StartSim({"--split", "--split-pause-ms", "300"});
    ASSERT_TRUE(client.Send(FrameOf("6024_03_150002")));
    ASSERT_TRUE(client.ReadOnce(kPatienceMs));
    const std::string first = client.Buffer();
    const std::string expected = sim::ReplyLine(sim::RecordBody({2024, 3, 15, 0, 0, 0}, 2, {96, 0}));
    EXPECT_LT(first.size(), expected.size());
    EXPECT_EQ(expected.rfind(first, 0), 0u) << "first piece is not the line's beginning";
    EXPECT_EQ(client.Line(), expected);
}

TEST_F(SimProcessTest, ServesAClientThatReconnects)
{
    StartSim({});
    client.Close();
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(client.Open(sim.ttyPath));
        ASSERT_TRUE(client.Send(FrameOf("6024_03_150003")));
        EXPECT_EQ(client.Line(), sim::ReplyLine(sim::RecordBody({2024, 3, 15, 0, 0, 0}, 3, {96, 0})))
            << "round " << round;
        client.Close();
    }
    EXPECT_TRUE(sim.process.Running());
    const auto status = sim.Stop();
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, 0);
}

TEST_F(SimProcessTest, WriterStuckOnAClientThatNeverReadsEndsOnSecondSignal)
{
    StartSim({"--records", "9999"});
    ASSERT_TRUE(client.Send(FrameOf("7024_03_15")));
    // Half a megabyte goes out in one write; once its first bytes are here the
    // simulator sits in that write, which cannot end while nobody reads.
    ASSERT_TRUE(client.ReadOnce(kPatienceMs));
    // Two different signals, so the second cannot merge into the first.
    sim.process.Send(Signal::Terminate);
    sim.process.Send(Signal::Interrupt);
    const auto status = sim.process.Wait(kPatienceMs);
    ASSERT_TRUE(status) << "the simulator hangs";
    EXPECT_FALSE(status->exited);
}

TEST_F(SimProcessTest, LogShowsExactlyWhatWasReceived)
{
    const std::string logPath = runtime.FilePath("frames.log");
    StartSim({"--log", logPath});
    ASSERT_TRUE(client.Send(kBareClockQuery));
    ASSERT_EQ(client.Lines(1).size(), 1u);
    ASSERT_TRUE(client.Send("junk" + FrameOf("6024_03_150004")));
    ASSERT_EQ(client.Lines(1).size(), 1u);
    // Sent twice without a new template: old checksum, ETX, new checksum, CR, CR.
    ASSERT_TRUE(client.Send("\x02"
                            "8100 00 00 00 00 005D0F\x03"
                            "1234\r\r"));
    EXPECT_EQ(client.Line(), sim::ReplyLine(sim::reply::kBadFrame));

    EXPECT_EQ(FileLines(logPath), (std::vector<std::string>{
                                      "<STX>80<ETX><CR>",
                                      "<STX>6024_03_150004" + FrameOf("6024_03_150004").substr(15, 4) + "<ETX><CR>",
                                      "<STX>8100 00 00 00 00 005D0F<ETX>",
                                  }));
}

TEST_F(SimProcessTest, EveryNthLineCarriesAWrongChecksum)
{
    StartSim({"--bad-checksum-every", "2", "--records", "5"});
    ASSERT_TRUE(client.Send(FrameOf("7024_03_15")));
    const auto lines = client.Lines(5);
    ASSERT_EQ(lines.size(), 5u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string body = sim::RecordBody({2024, 3, 15, 0, 0, 0}, static_cast<int>(i) + 1, {5, 0});
        EXPECT_EQ(lines[i], i % 2 == 1 ? sim::ReplyLineWithBadChecksum(body) : sim::ReplyLine(body)) << i;
    }
}

TEST_F(SimProcessTest, SilentDeviceTakesFramesButNeverAnswers)
{
    const std::string logPath = runtime.FilePath("frames.log");
    StartSim({"--silent", "--log", logPath});
    ASSERT_TRUE(client.Send(kBareClockQuery));
    ASSERT_TRUE(client.Send(FrameOf("80")));
    // Frames are handled in order, so once the second is logged any answer to
    // the first would already be on the line.
    ASSERT_TRUE(WaitUntil([&] { return FileLines(logPath).size() == 2; }));
    EXPECT_FALSE(client.ReadOnce(0));
    EXPECT_TRUE(client.Buffer().empty());
}

TEST_F(SimProcessTest, DelayedAnswerComesNoEarlier)
{
    StartSim({"--delay-ms", "300"});
    const auto sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(client.Send(kBareClockQuery));
    ASSERT_FALSE(client.Line().empty());
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
}

TEST_F(SimProcessTest, TalksOverAGivenTty)
{
    // The test holds the master side: it plays the tool, the simulator the
    // device on the slave, as it would on a null-modem cable.
    platform::PseudoTerminal line;
    ASSERT_TRUE(line.IsOpen());
    ASSERT_TRUE(sim.Start({"--tty", line.SlavePath(), "--port", "COM9", "--seed", "5"}, runtime));
    EXPECT_EQ(sim.announcement, "COM9 " + line.SlavePath());
    EXPECT_EQ(platform::ResolvePortName("COM9"), line.SlavePath());

    ASSERT_TRUE(line.WriteAll(FrameOf("6024_03_150009")));
    const std::string expected = sim::ReplyLine(sim::RecordBody({2024, 3, 15, 0, 0, 0}, 9, {96, 5}));
    std::string received;
    ASSERT_TRUE(WaitUntil([&] {
        line.Read(received, 100);
        return received.size() >= expected.size();
    }));
    EXPECT_EQ(received, expected);

    const auto status = sim.Stop();
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, 0);
    EXPECT_FALSE(IsLink("COM9"));
}

TEST_F(SimProcessTest, MissingTtyIsAnError)
{
    SimProcess bad;
    EXPECT_FALSE(bad.Start({"--tty", runtime.FilePath("no-such-tty")}, runtime));
    const auto status = bad.process.Wait(kPatienceMs);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->code, 1);
}

}  // namespace
