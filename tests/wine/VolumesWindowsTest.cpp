// The drive chooser's volumes on Windows, as far as wine has them: its
// drive letters C: (the prefix's drive_c) and Z: (the Linux root).

#include "platform/Volumes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(VolumesOnWindows, DriveLettersAreListedAndAskedByTheirRoots)
{
    const std::vector<std::string> roots = platform::ListVolumeRoots();
    ASSERT_FALSE(roots.empty());
    EXPECT_EQ(roots.front(), "C:\\");  // in the order of the letters
    EXPECT_TRUE(std::is_sorted(roots.begin(), roots.end()));
    for (const std::string& root : roots) EXPECT_EQ(root.size(), 3u) << root;
    EXPECT_TRUE(platform::ExamineVolume("C:\\").ready);

    // A letter that names no drive is not ready, and asks nobody to insert a disk.
    char unused = 'Y';
    while (unused > 'D' && std::find(roots.begin(), roots.end(), std::string(1, unused) + ":\\") != roots.end())
        --unused;
    EXPECT_FALSE(platform::ExamineVolume(std::string(1, unused) + ":\\").ready);
}

}  // namespace
