// The pseudo-terminal the simulator and the tests play the device on.

#include "TestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <thread>

namespace platform::test {
namespace {

using Result = PseudoTerminal::ReadResult;

TEST(Pty, WithoutAClientReadWaitsQuietlyAndWriteRefuses)
{
    PseudoTerminal pty;
    std::string out;
    EXPECT_EQ(pty.Read(out, 0), Result::NoClient);
    const double cpuBefore = ProcessCpuSeconds();
    EXPECT_EQ(pty.Read(out, 300), Result::NoClient);
    EXPECT_LT(ProcessCpuSeconds() - cpuBefore, 0.1);  // blocked, not spinning on POLLHUP
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(pty.WriteAll("lost"));
}

TEST(Pty, AClientArrivingEndsTheWait)
{
    PseudoTerminal pty;
    int slave = -1;
    std::thread client([&] {
        slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
        if (slave >= 0) (void)!write(slave, "hi", 2);
    });
    std::string out;
    Result r = Result::NoClient;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kBoundMs);
    while (out.size() < 2 && std::chrono::steady_clock::now() < end) r = pty.Read(out, kBoundMs);
    client.join();
    EXPECT_EQ(r, Result::Data);
    EXPECT_EQ(out, "hi");
    // With the client there, a quiet line is a time-out, not "no client".
    EXPECT_EQ(pty.Read(out, 0), Result::Timeout);
    close(slave);
}

TEST(Pty, SlaveIsRawBeforeAnyoneConfiguresIt)
{
    PseudoTerminal pty;
    const int slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(slave, 0);
    const std::string sent("a\r\n\x03\x7F\x00z", 7);
    ASSERT_TRUE(pty.WriteAll(sent));
    std::string got;
    ASSERT_TRUE(WaitUntil([&] {
        char buffer[64];
        const ssize_t n = read(slave, buffer, sizeof buffer);
        if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
        return got.size() >= sent.size();
    }));
    EXPECT_EQ(got, sent);  // no CR translation, no signals, no erase
    std::string echoed;
    EXPECT_EQ(pty.Read(echoed, 0), Result::Timeout);  // and no echo
    close(slave);
}

TEST(Pty, ClosingTheMasterHangsUpTheClient)
{
    PseudoTerminal pty;
    const int slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(slave, 0);
    pty.CloseMaster();
    EXPECT_FALSE(pty.IsOpen());
    pollfd p{slave, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, static_cast<int>(kBoundMs)), 1);
    EXPECT_TRUE(p.revents & POLLHUP);
    std::string out;
    EXPECT_EQ(pty.Read(out, 0), Result::Closed);
    EXPECT_FALSE(pty.WriteAll("x"));
    close(slave);
}

TEST(Pty, ClientLeavingIsNoClientAgain)
{
    PseudoTerminal pty;
    const int slave = open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    ASSERT_TRUE(pty.WriteAll("to client"));
    (void)!write(slave, "bye", 3);
    close(slave);
    std::string out;
    // What the client wrote before leaving is still delivered.
    EXPECT_EQ(pty.Read(out, static_cast<int>(kBoundMs)), Result::Data);
    EXPECT_EQ(out, "bye");
    EXPECT_EQ(pty.Read(out, 0), Result::NoClient);
}

}  // namespace
}  // namespace platform::test
