// Garbage on the line during a download: random bytes, a long stretch
// without any LF, storms of NUL and of LF. Nothing may crash, memory must
// stay bounded, the port must keep answering, and the readout file must hold
// exactly the complete lines that were sent.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <random>

#include "DownloadHarness.h"
#include "Sanitizers.h"
#include "tooling/testing/ResourceUsage.h"

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kMemoryBound = 16 * kMiB;

// Random bytes whose lines stay shorter than the port's input queue (1024
// bytes), so that none is cut by a full queue: what that does is the
// "no LF" case below.
std::string RandomLines(std::size_t size, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string out;
    out.reserve(size);
    std::size_t sinceLf = 0;
    while (out.size() < size) {
        char c = static_cast<char>(byte(random));
        if (sinceLf >= 900) c = '\n';
        out.push_back(c);
        sinceLf = c == '\n' ? 0 : sinceLf + 1;
    }
    out.back() = '\n';
    return out;
}

// 16 bytes from `at` in hex, for a failure message.
std::string Hex(const std::string& s, std::ptrdiff_t at)
{
    std::string out;
    char byte[4];
    for (auto i = static_cast<std::size_t>(at); i < s.size() && i < static_cast<std::size_t>(at) + 16; ++i) {
        std::snprintf(byte, sizeof byte, "%02X ", static_cast<unsigned char>(s[i]));
        out += byte;
    }
    return out;
}

std::string Lines(const std::string& body, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i) out += body + std::to_string(i) + "ABCD\r\n";
    return out;
}

class GarbageOnLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    // From here on the port's and the handler's memory is measured; the
    // test's own copies of the data are made before.
    void StartMeasuring()
    {
        platform::ResetPeakResident();
        start_ = platform::ReadResidentMemory();
    }
    std::string FilePath() const { return dir_.filePath("26_12_07.txt").toStdString(); }
    void ExpectMemoryBounded()
    {
        if (kUnderSanitizer) return;  // shadow memory and quarantine, not ours
        const auto now = platform::ReadResidentMemory();
        if (now.peakBytes == 0) GTEST_SKIP() << "no resident-memory figures here";
        EXPECT_LE(now.peakBytes, start_.currentBytes + kMemoryBound)
            << "peak grew by " << (now.peakBytes - start_.currentBytes) / kMiB << " MiB";
    }

    QTemporaryDir dir_;
    platform::ResidentMemory start_;
};

TEST_F(GarbageOnLine, RandomBytesStoreExactlyTheCompleteLines)
{
    const std::string sent = RandomLines(kUnderSanitizer ? 2 * kMiB : 10 * kMiB, 20261207);
    DownloadHarness h(FilePath());
    std::string devicesCopy = sent;
    StartMeasuring();
    h.SendPaced(std::move(devicesCopy));
    ASSERT_TRUE(h.ServeUntilRead(sent.size())) << "read " << h.BytesRead() << " of " << sent.size();
    EXPECT_TRUE(h.Messages().empty()) << h.Messages().front();
    ExpectMemoryBounded();
    const std::string file = ReadWholeFile(FilePath());
    const std::string expected = ExpectedReadout(sent);
    EXPECT_EQ(file.size(), expected.size());
    const auto diff = std::mismatch(file.begin(), file.end(), expected.begin(), expected.end());
    EXPECT_TRUE(file == expected) << "the readout file differs from the lines sent at byte "
                                  << (diff.first - file.begin()) << ": stored " << Hex(file, diff.first - file.begin())
                                  << ", sent " << Hex(expected, diff.first - file.begin());
}

TEST_F(GarbageOnLine, NulStormIsStoredByteForByte)
{
    // NUL is ordinary data here: a text handled as a C string would cut it.
    std::string sent;
    for (int i = 0; i < 2000; ++i) sent += std::string(400, '\0') + "\r\n";
    sent += Lines("after the storm ", 3);
    DownloadHarness h(FilePath());
    StartMeasuring();
    h.SendPaced(sent);
    ASSERT_TRUE(h.ServeUntilRead(sent.size()));
    const std::string file = ReadWholeFile(FilePath());
    EXPECT_EQ(file.size(), ExpectedReadout(sent).size());
    EXPECT_TRUE(file == ExpectedReadout(sent));
    ExpectMemoryBounded();
}

TEST_F(GarbageOnLine, LfStormStoresOneEmptyLineEach)
{
    const int storm = kUnderSanitizer ? 5000 : 30000;
    const std::string sent = std::string(storm, '\n') + Lines("after the storm ", 3);
    DownloadHarness h(FilePath());
    StartMeasuring();
    h.SendPaced(sent);
    ASSERT_TRUE(h.ServeUntilRead(sent.size()));
    EXPECT_EQ(h.LinesHandled(), static_cast<std::uint64_t>(storm + 3));
    EXPECT_TRUE(ReadWholeFile(FilePath()) == ExpectedReadout(sent));
    ExpectMemoryBounded();
}

TEST_F(GarbageOnLine, LongStretchWithoutLfCostsOneLineAndNoMore)
{
    DownloadHarness h(FilePath());
    StartMeasuring();
    // 1 MB without LF: no event comes; the input queue fills and drops the
    // rest (CE_RXOVER), nothing else may grow.
    h.SendFlood(std::string(kMiB, 'x'));
    ASSERT_TRUE(h.ServeUntilRead(0));
    EXPECT_EQ(h.LinesHandled(), 0u);

    // The first LF ends the overlong line: it may be cut or lost, but it is
    // one line at most. Everything after it must arrive whole.
    h.SendPaced("\n");
    ASSERT_TRUE(h.ServeUntilRead(1));
    const std::string after = Lines("0001;07.12.2026 00:15:00;0000012345;00012.345", 50);
    const std::uint64_t before = h.BytesRead();
    h.SendPaced("\n" + after);
    ASSERT_TRUE(h.ServeUntilRead(before + 1 + after.size()));

    const std::string file = ReadWholeFile(FilePath());
    const std::string tail = ExpectedReadout(after);
    ASSERT_GE(file.size(), tail.size());
    EXPECT_TRUE(file.compare(file.size() - tail.size(), tail.size(), tail) == 0)
        << "the lines after the stretch were not stored whole";
    const std::string head = file.substr(0, file.size() - tail.size());
    EXPECT_LE(std::count(head.begin(), head.end(), '\n'), 2) << "the stretch left more than one line behind";
    EXPECT_LE(h.Splitter().PendingBytes(), exchange::TReplyLineSplitter::kDefaultTailLimit);
    ExpectMemoryBounded();
}

}  // namespace
