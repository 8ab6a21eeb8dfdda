// The volumes the drive chooser offers: the mount table read as the kernel
// writes it, udev's label names, and the real table of this machine.

#include "platform/Volumes.h"
#include "platform/linux/MountTable.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using platform::detail::Mount;

struct MountTableCase {
    const char* name;
    std::string text;
    std::vector<Mount> expected;
};

class MountTable : public ::testing::TestWithParam<MountTableCase> {};

TEST_P(MountTable, GivesEachMountPointDecoded)
{
    EXPECT_EQ(platform::detail::ParseMountTable(GetParam().text), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MountTable,
    ::testing::Values(MountTableCase{"Empty", "", {}},
                      MountTableCase{"InOrder",
                                     "/dev/sda2 / ext4 rw,relatime 0 0\nproc /proc proc rw 0 0\n",
                                     {{"/dev/sda2", "/"}, {"proc", "/proc"}}},
                      MountTableCase{"BlankInAName",
                                     "/dev/sdb1 /media/anna/MY\\040USB vfat rw 0 0",
                                     {{"/dev/sdb1", "/media/anna/MY USB"}}},
                      MountTableCase{"TabNewlineAndBackslash",
                                     "/dev/sdc1 /mnt/a\\011b\\012c\\134d ext4 rw 0 0",
                                     {{"/dev/sdc1", "/mnt/a\tb\nc\\d"}}},
                      // Not an escape: kept as it stands.
                      MountTableCase{"IncompleteEscape", "srv:/x /mnt/x\\04 nfs rw 0 0", {{"srv:/x", "/mnt/x\\04"}}},
                      MountTableCase{"NonAsciiBytes",
                                     "/dev/sdd1 /media/anna/B\xC3\xBCro vfat rw 0 0",
                                     {{"/dev/sdd1", "/media/anna/B\xC3\xBCro"}}},
                      MountTableCase{"ShortLineSkipped", "garbage\n/dev/sda2 / ext4 rw 0 0", {{"/dev/sda2", "/"}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VolumeLabels, UdevEscapesDecoded)
{
    EXPECT_EQ(platform::detail::DecodeUdevName("MY\\x20USB"), "MY USB");
    EXPECT_EQ(platform::detail::DecodeUdevName("a\\x2fb"), "a/b");
    EXPECT_EQ(platform::detail::DecodeUdevName("B\\xc3\\xbcro"), "B\xC3\xBCro");
    EXPECT_EQ(platform::detail::DecodeUdevName("plain"), "plain");
    EXPECT_EQ(platform::detail::DecodeUdevName("end\\x2"), "end\\x2");
    EXPECT_EQ(platform::detail::DecodeUdevName("not\\xzz"), "not\\xzz");
}

TEST(Volumes, ThisMachinesRootIsListedAndReady)
{
    const std::vector<std::string> roots = platform::ListVolumeRoots();
    EXPECT_NE(std::find(roots.begin(), roots.end(), "/"), roots.end());
    EXPECT_TRUE(platform::ExamineVolume("/").ready);
    EXPECT_FALSE(platform::ExamineVolume("/no/such/volume").ready);
}

}  // namespace
