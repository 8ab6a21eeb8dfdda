// File-system faults in the middle of a download: the readout folder
// removed, the disk full (a file-size limit on the process), the file or
// its folder made read-only. The operator gets the readout file's messages,
// nothing crashes, and every line stored before the fault stays intact.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>

#include "DownloadHarness.h"
#include "exchange/ReadoutFile.h"
#include "tooling/testing/FileFaults.h"

namespace {

namespace fs = std::filesystem;

std::string Records(int first, int count)
{
    std::string out;
    for (int i = first; i < first + count; ++i) {
        char body[64];
        std::snprintf(body, sizeof body, "%04d;07.12.2026 00:15:00;0000012345;00012.345", i);
        out += std::string(body) + "ABCD\r\n";
    }
    return out;
}

class FileFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        folder_ = dir_.filePath("readout").toStdString();
        fs::create_directory(folder_);
        path_ = folder_ + "/26_12_07.txt";
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(folder_, fs::perms::owner_all, ec);
        fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write, ec);
    }
    // Sends `sent` and serves until the handler has read all of it.
    void Download(DownloadHarness& h, const std::string& sent)
    {
        const std::uint64_t before = h.BytesRead();
        h.SendPaced(sent);
        ASSERT_TRUE(h.ServeUntilRead(before + sent.size()));
    }

    QTemporaryDir dir_;
    std::string folder_, path_;
};

TEST_F(FileFaults, FolderRemovedMidwayKeepsEarlierLinesAndSaysFehler)
{
    const std::string before = Records(1, 20), after = Records(21, 5);
    DownloadHarness h(path_);
    Download(h, before);
    const std::string stored = ReadWholeFile(path_);
    fs::remove_all(folder_);
    Download(h, after);
    ASSERT_EQ(h.Messages().size(), 5u);
    for (const auto& m : h.Messages()) EXPECT_EQ(m, exchange::kAppendFailedText);
    EXPECT_EQ(stored, ExpectedReadout(before));
    EXPECT_FALSE(fs::exists(path_)) << "an append must not create the file again";
}

TEST_F(FileFaults, DiskFullRaisesZuWenigSpeicherplatzAndKeepsEarlierLines)
{
    const std::string before = Records(1, 20), after = Records(21, 3);
    DownloadHarness h(path_);
    Download(h, before);
    {
        platform::ScopedFileSizeLimit full(fs::file_size(path_) + 10);  // room for part of one line
        ASSERT_TRUE(full.Active());
        Download(h, after);
    }
    ASSERT_EQ(h.Messages().size(), 3u);
    for (const auto& m : h.Messages()) EXPECT_EQ(m, "Zu wenig Speicherplatz");
    // No part of a line that did not fit stays behind to run into the next.
    EXPECT_EQ(ReadWholeFile(path_), ExpectedReadout(before));

    // Space again: the download goes on where it is, each line whole.
    const std::string later = Records(24, 2);
    Download(h, later);
    EXPECT_EQ(h.Messages().size(), 3u);
    EXPECT_EQ(ReadWholeFile(path_), ExpectedReadout(before + later));
}

TEST_F(FileFaults, ReadOnlyFileSaysFehlerAndKeepsEarlierLines)
{
    platform::ScopedPermissionChecks checks;
    if (!checks.Enforced()) GTEST_SKIP() << "permission bits cannot be enforced here";
    const std::string before = Records(1, 10), after = Records(11, 4);
    DownloadHarness h(path_);
    Download(h, before);
    fs::permissions(path_, fs::perms::owner_read);
    Download(h, after);
    ASSERT_EQ(h.Messages().size(), 4u);
    for (const auto& m : h.Messages()) EXPECT_EQ(m, exchange::kAppendFailedText);
    EXPECT_EQ(ReadWholeFile(path_), ExpectedReadout(before));
}

TEST_F(FileFaults, ReadOnlyFolderStillTakesLinesButRefusesANewFile)
{
    platform::ScopedPermissionChecks checks;
    if (!checks.Enforced()) GTEST_SKIP() << "permission bits cannot be enforced here";
    const std::string before = Records(1, 10), after = Records(11, 4);
    DownloadHarness h(path_);
    Download(h, before);
    fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
    Download(h, after);  // the file itself stays writable
    EXPECT_TRUE(h.Messages().empty());
    EXPECT_EQ(ReadWholeFile(path_), ExpectedReadout(before + after));
    EXPECT_FALSE(exchange::CreateReadoutFile(folder_ + "/26_12_08.txt")) << "a new day's file in a read-only folder";
}

}  // namespace
