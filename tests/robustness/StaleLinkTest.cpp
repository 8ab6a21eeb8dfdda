// A device that died without removing its port link comes back: its new
// pseudo-terminal often gets the number of the old one, so the stale link
// already names the new device. Linking it again must work, or the device
// cannot come back under its COM name.

#include <gtest/gtest.h>

#include "platform/PortFolder.h"
#include "tooling/tty/Pty.h"

namespace {

TEST(StaleLink, LinkingANameToTheDeviceItAlreadyNamesSucceeds)
{
    platform::PseudoTerminal pty;
    ASSERT_TRUE(pty.IsOpen());
    const std::string name = "COM" + std::to_string(platform::FirstFreeComNumber());
    ASSERT_TRUE(platform::LinkPort(name, pty.SlavePath()));
    std::string error;
    EXPECT_TRUE(platform::LinkPort(name, pty.SlavePath(), &error)) << error;
    EXPECT_EQ(platform::ResolvePortName(name), pty.SlavePath());

    // A live link to another device stays refused.
    platform::PseudoTerminal other;
    ASSERT_TRUE(other.IsOpen());
    EXPECT_FALSE(platform::LinkPort(name, other.SlavePath()));
    EXPECT_EQ(platform::ResolvePortName(name), pty.SlavePath());
    platform::UnlinkPort(name);
}

}  // namespace
