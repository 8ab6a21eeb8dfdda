// The Linux device map and port list, from real links to real ptys in a
// private port folder.

#include <gtest/gtest.h>

#include <QFile>
#include <algorithm>

#include "platform/PortFolder.h"
#include "tooling/tty/Pty.h"
#include "platform/SerialCommMap.h"
#include "tests/support/PrivatePortFolder.h"
#include "portlist/ComAvailable.h"

namespace {

class LinkedPorts : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(runtime_.IsValid());
        ASSERT_TRUE(first_.IsOpen() && second_.IsOpen());
        ASSERT_TRUE(platform::LinkPort("COM12", first_.SlavePath()));
        ASSERT_TRUE(platform::LinkPort("COM7", second_.SlavePath()));
    }
    testsupport::PrivatePortFolder runtime_;
    platform::PseudoTerminal first_, second_;
};

TEST_F(LinkedPorts, EachLinkIsOneDeviceMapValue)
{
    const auto values = platform::ReadSerialCommMap();
    auto find = [&](const std::string& com) {
        return std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.data == com; });
    };
    ASSERT_NE(find("COM12"), values.end());
    ASSERT_NE(find("COM7"), values.end());
    EXPECT_EQ(find("COM12")->name, "\\Device\\" + first_.KernelName());
    EXPECT_EQ(find("COM7")->name, "\\Device\\" + second_.KernelName());
    EXPECT_TRUE(find("COM7")->isText);
}

TEST_F(LinkedPorts, ListedInTextOrder)
{
    const QStringList ports = GetComAvailable();
    const auto at12 = ports.indexOf("COM12"), at7 = ports.indexOf("COM7");
    ASSERT_GE(at12, 0);
    ASSERT_GE(at7, 0);
    EXPECT_LT(at12, at7);
    const QStringList described = ComPortDescriptions({"COM12", "com7"}, platform::ListSerialPorts());
    EXPECT_EQ(described, QStringList({QString::fromStdString("COM12: " + first_.SlavePath() + ", pseudo-terminal"),
                                      QString::fromStdString("COM7: " + second_.SlavePath() + ", pseudo-terminal")}));
    // The window's list: names and descriptions from one look, entry by entry.
    const TPortEntries entries = ReadPortEntries();
    EXPECT_EQ(entries.Names, ports);
    ASSERT_EQ(entries.Descriptions.size(), entries.Names.size());
    EXPECT_EQ(entries.Descriptions[at12], described[0]);
    EXPECT_EQ(entries.Descriptions[at7], described[1]);
}

TEST_F(LinkedPorts, LinkWhoseDeviceIsGoneIsNotListed)
{
    // A file of our own stands in for the device: a freed pty number may be
    // taken again at once by another test's pty.
    const QString device = QString::fromStdString(runtime_.FilePath("unplugged"));
    QFile file(device);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(platform::LinkPort("COM20", device.toStdString()));
    EXPECT_TRUE(GetComAvailable().contains("COM20"));
    ASSERT_TRUE(file.remove());
    EXPECT_FALSE(GetComAvailable().contains("COM20"));
    EXPECT_EQ(ComPortDescriptions({"COM20"}, platform::ListSerialPorts()), QStringList{QString()});
}

TEST_F(LinkedPorts, UnlinkedPortLeavesTheList)
{
    ASSERT_TRUE(platform::UnlinkPort("COM12"));
    const QStringList ports = GetComAvailable();
    EXPECT_FALSE(ports.contains("COM12"));
    EXPECT_TRUE(ports.contains("COM7"));
}

}  // namespace
