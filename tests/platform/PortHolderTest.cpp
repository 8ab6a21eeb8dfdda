// Who holds a device: a process with a plain descriptor on it (no lock, as
// a modem manager or a terminal program may hold a port) is found through
// /proc/<pid>/fd, with its name and PID; a device nobody holds has no holder.

#include "tooling/testing/ChildProcess.h"
#include "platform/PortFacts.h"
#include "tooling/tty/Pty.h"

#include <gtest/gtest.h>

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
