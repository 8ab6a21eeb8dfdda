#include "exchange/Checksum.h"
#include "exchange/DownloadTally.h"
#include "exchange/InOutError.h"
#include "exchange/ReadoutFile.h"
#include "exchange/ReplyHandling.h"
#include "exchange/ReplyLineSplitter.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

using namespace exchange;
namespace fs = std::filesystem;

class ReadoutFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "exchange-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override
    {
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, ec);
        fs::remove_all(dir, ec);
    }
    static std::string Contents(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string File(const char* name) const { return (dir / name).string(); }

    fs::path dir;
};

TEST_F(ReadoutFile, CreateEmptiesAnExistingFile)
{
    const std::string path = File("26_12_07.txt");
    std::ofstream(path) << "old records";
    ASSERT_TRUE(CreateReadoutFile(path));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
}

TEST_F(ReadoutFile, DownloadStoresEachLineByteForByte)
{
    const std::string path = File("26_12_07.txt");
    ASSERT_TRUE(CreateReadoutFile(path));
    TReplyLineSplitter splitter;
    TDownloadTally tally;
    tally.Start(path);
    const std::string high = "\xE4\xFC\xDC";  // bytes above 127 pass unchanged
    const std::string a = "A" + high + ChecksumText(GetChecksumme("A" + high, 4));
    // Two lines in one read, one split across reads, one with a wrong checksum.
    for (const std::string& read : {a + "\r\nB12", std::string("34\r\nC0000\r\n")}) {
        for (const std::string& line : splitter.Feed(read)) {
            const TReplyView v = HandleReply(line, TReplyMode::rmStoredRecord);
            ASSERT_TRUE(v.ReadoutLine);
            const bool stored = AppendReadoutLine(path, *v.ReadoutLine);
            tally.Record(stored, v.ChecksumOk);
        }
    }
    EXPECT_EQ(Contents(path), a + "\r\nB1234\r\nC0000\r\n");
    EXPECT_EQ(tally.StoredLines(), 3);
    EXPECT_EQ(tally.BadChecksumLines(), 2);  // "B" + "1234" and "C" + "0000" are both wrong
}

TEST_F(ReadoutFile, AppendNeedsAnExistingFile)
{
    const std::string path = File("missing.txt");
    EXPECT_FALSE(AppendReadoutLine(path, "A"));
    EXPECT_FALSE(fs::exists(path));
    EXPECT_FALSE(AppendReadoutLine(dir.string(), "A"));
}

TEST_F(ReadoutFile, CreateFailsWhereNoFileCanBe)
{
    // Faults that hold for root too: a missing folder, a folder's own name,
    // a "folder" that is a regular file.
    // a "folder" that is a regular file; each with the reason the operator reads.
    std::ofstream(File("plain")) << "x";
    const std::pair<std::string, const char*> rows[] = {
        {File("no-such-dir/26_12_07.txt"), "The folder no longer exists."},
        {dir.string(), "A folder of this name already exists."},
        {File("plain") + "/26_12_07.txt", "The folder no longer exists."},
        {"", "The folder no longer exists."},
    };
    for (const auto& [path, reason] : rows) {
        int why = 0;
        EXPECT_FALSE(CreateReadoutFile(path, &why)) << path;
        EXPECT_EQ(CreateFailureReason(why, TTextLanguage::tlEnglish), reason) << path;
    }
    EXPECT_EQ(CreateFailureReason(ENOSPC, TTextLanguage::tlGerman), "Der Datentr\xE4ger ist voll.");
    EXPECT_EQ(CreateFailureReason(EACCES, TTextLanguage::tlGerman),
              "Zugriff verweigert: in diesem Ordner darf nicht geschrieben werden.");
    EXPECT_EQ(CreateFailureReason(EIO, TTextLanguage::tlEnglish), "The file cannot be created (error 31).");
}

TEST_F(ReadoutFile, ReadOnlyFolderRefusesCreate)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_FALSE(CreateReadoutFile(File("26_12_07.txt")));
}

TEST_F(ReadoutFile, FullDeviceRaisesDiskFull)
{
    ASSERT_TRUE(fs::exists("/dev/full"));
    try {
        AppendReadoutLine("/dev/full", "A");
        FAIL() << "no exception";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode, platform::ERROR_DISK_FULL);
        EXPECT_STREQ(e.what(), "Zu wenig Speicherplatz");
    }
}

// Runs in a death-test child, so the limit and the ignored signal stay
// there. Reports by exit code: the limit also cuts the child's stderr.
[[noreturn]] void AppendBeyondFileSizeLimit(const std::string& path)
{
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max = 16;
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        AppendReadoutLine(path, std::string(100, 'x'));
    } catch (const EInOutError& e) {
        const bool diskFull =
            e.ErrorCode == platform::ERROR_DISK_FULL && std::string(e.what()) == "Zu wenig Speicherplatz";
        std::_Exit(diskFull ? 0 : 2);
    }
    std::_Exit(1);
}

// The limit lets part of the line through; the file goes back to the line
// stored before it.
TEST_F(ReadoutFile, FileSizeLimitRaisesDiskFullAndStoresNoPartOfTheLine)
{
    const std::string path = File("26_12_07.txt");
    ASSERT_TRUE(CreateReadoutFile(path));
    ASSERT_TRUE(AppendReadoutLine(path, "A"));
    EXPECT_EXIT(AppendBeyondFileSizeLimit(path), ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(Contents(path), "A\r\n");
}

struct ErrnoCase {
    int err;
    const char* message;
};

class InOutErrors : public ::testing::TestWithParam<ErrnoCase> {};

TEST_P(InOutErrors, MessageNamesTheCause)
{
    EXPECT_STREQ(EInOutError::FromErrno(GetParam().err).what(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(Causes, InOutErrors,
                         ::testing::Values(ErrnoCase{ENOSPC, "Zu wenig Speicherplatz"},
                                           ErrnoCase{EFBIG, "Zu wenig Speicherplatz"},
                                           ErrnoCase{EDQUOT, "Zu wenig Speicherplatz"},
                                           ErrnoCase{EACCES, "Dateizugriff verweigert"},
                                           ErrnoCase{EROFS, "Dateizugriff verweigert"}));

TEST(InOutErrors, OtherCausesCarryTheirNumber)
{
    const EInOutError e = EInOutError::FromErrno(EIO);
    EXPECT_NE(e.ErrorCode, 0);
    EXPECT_EQ(e.what(), "E/A-Fehler " + std::to_string(e.ErrorCode));
}
