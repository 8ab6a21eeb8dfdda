// Who holds a device: a process with a plain descriptor on it (no lock, as
// a modem manager or a terminal program may hold a port) is found through
// /proc/<pid>/fd, with its name and PID; a device nobody holds has no holder.
// Who provides a pseudo-terminal: the process on its master side.

#include "tooling/testing/ChildProcess.h"
#include "platform/PortFacts.h"
#include "tooling/tty/Pty.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

TEST(PortHolder, ProcessWithADescriptorOnTheDeviceIsNamed)
{
    platform::PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    EXPECT_FALSE(platform::FindPortHolder(pty.SlavePath()).has_value());

    platform::ChildProcess holder;
    ASSERT_TRUE(holder.Start("/bin/sh", {"-c", "exec sleep 60 <>" + pty.SlavePath()}));
    std::optional<platform::PortHolder> found;
    for (int i = 0; i < 500 && !(found && found->name == "sleep"); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));  // until the shell has become sleep
        found = platform::FindPortHolder(pty.SlavePath());
    }
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->pid, holder.Pid());
    EXPECT_EQ(found->name, "sleep");
}

// The program on a pseudo-terminal's master side provides the port: of two
// programs holding masters, each is named for its own.
TEST(PortHolder, ProviderOfAPseudoTerminalHoldsItsMasterSide)
{
    int announce[2];
    ASSERT_EQ(pipe(announce), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::PseudoTerminal theirs;
        const std::string line = theirs.SlavePath() + "\n";
        if (write(announce[1], line.data(), line.size()) > 0) pause();
        _exit(1);
    }
    close(announce[1]);
    char text[128] = {};
    const ssize_t n = read(announce[0], text, sizeof text - 1);
    close(announce[0]);
    const std::string theirs(text, n > 0 ? static_cast<std::size_t>(n) - 1 : 0);
    platform::PseudoTerminal own;  // after the fork: the child holds no master of ours
    const auto ofTheirs = platform::FindTerminalProvider(theirs);
    const auto ofOwn = platform::FindTerminalProvider(own.SlavePath());
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);

    ASSERT_TRUE(ofTheirs.has_value()) << theirs;
    EXPECT_EQ(ofTheirs->pid, child);
    ASSERT_TRUE(ofOwn.has_value());
    EXPECT_EQ(ofOwn->pid, getpid());
    EXPECT_EQ(ofOwn->name, "platform_tests");
    EXPECT_FALSE(platform::FindTerminalProvider("/dev/null").has_value());
}
