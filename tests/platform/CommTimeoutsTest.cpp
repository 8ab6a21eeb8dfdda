// The time-out table: each row as a plan, then each row on a pty.

#include "TestSupport.h"
#include "platform/linux/CommTimeouts.h"

namespace platform::test {
namespace {

using detail::PlanRead;
using detail::PlanWrite;

constexpr DWORD M = MAXDWORD;

TEST(ReadPlans, LongTotalsDoNotWrap)
{
    // MAXDWORD * count needs 64 bits; a wrapped total would end reads early.
    EXPECT_EQ(PlanRead(COMMTIMEOUTS{0, M - 1, 0, 0, 0}, 4).totalMs, std::uint64_t{M - 1} * 4);
    EXPECT_EQ(PlanWrite(COMMTIMEOUTS{0, 0, 0, M, M}, 2), std::uint64_t{M} * 3);
}

// The driver's time-out rows (see CommTimeouts.h) on a pty. `queued` is there
// before the read starts, `later` arrives while it runs. Rows whose time-outs
// are long (or absent) are first checked to be still pending; rows with short
// ones only for their outcome, so a slow machine cannot make them fail.
struct PtyRow {
    const char* name;
    COMMTIMEOUTS t;
    DWORD count;
    std::string queued;
    std::string later;
    bool completesAtOnce;
    std::string result;
};
void PrintTo(const PtyRow& row, std::ostream* out)
{
    *out << row.name;
}

class ReadsOnAPty : public PtyPortTest, public ::testing::WithParamInterface<PtyRow> {};

TEST_P(ReadsOnAPty, EndAsTheTableSays)
{
    const PtyRow& row = GetParam();
    ASSERT_TRUE(SetCommTimeouts(port, row.t));
    if (!row.queued.empty()) {
        ASSERT_TRUE(pty.WriteAll(row.queued));
        ASSERT_TRUE(QueueHolds(static_cast<DWORD>(row.queued.size())));
    }
    std::string buffer(row.count, '\0');
    Record read;
    DWORD count = 0;
    const bool atOnce = ReadFile(port, buffer.data(), row.count, &count, &read.ov);
    if (row.completesAtOnce) {
        ASSERT_TRUE(atOnce) << GetLastError();
    } else {
        ASSERT_FALSE(atOnce);
        ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
        const bool longTimeouts = row.t.ReadTotalTimeoutConstant == 0 || row.t.ReadTotalTimeoutConstant >= 60000;
        if (longTimeouts) {
            EXPECT_FALSE(GetOverlappedResult(port, &read.ov, &count, false));
            EXPECT_EQ(GetLastError(), ERROR_IO_INCOMPLETE);
        }
        if (!row.later.empty()) {
            ASSERT_TRUE(pty.WriteAll(row.later));
        }
        ASSERT_TRUE(read.Completes());
        // A time-out is success with a short count.
        ASSERT_TRUE(GetOverlappedResult(port, &read.ov, &count, false)) << GetLastError();
    }
    EXPECT_EQ(buffer.substr(0, count), row.result);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReadsOnAPty,
    ::testing::Values(PtyRow{"WhatIsQueuedEvenNothing", {M, 0, 0, 0, 0}, 10, "", "", true, ""},
                      PtyRow{"WhatIsQueued", {M, 0, 0, 0, 0}, 10, "abc", "", true, "abc"},
                      PtyRow{"QueuedDataReturnsNow", {M, M, 60000, 0, 0}, 10, "ab", "", true, "ab"},
                      PtyRow{"FirstByteEndsTheWait", {M, M, 60000, 0, 0}, 10, "", "x", false, "x"},
                      PtyRow{"NoFirstByteTimesOut", {M, M, 20, 0, 0}, 10, "", "", false, ""},
                      PtyRow{"FirstByteOrTotalTimesOut", {M, 5, 10, 0, 0}, 2, "", "", false, ""},
                      PtyRow{"NoTimeoutsWaitsForAll", {0, 0, 0, 0, 0}, 4, "ab", "cd", false, "abcd"},
                      PtyRow{"ConstantMaxWaitsForAll", {M, 0, M, 0, 0}, 3, "a", "bc", false, "abc"},
                      PtyRow{"TotalGivesAShortCount", {0, 0, 20, 0, 0}, 4, "ab", "", false, "ab"},
                      PtyRow{"MultiplierAlone", {0, 10, 0, 0, 0}, 3, "", "", false, ""},
                      PtyRow{"IntervalStartsWithTheFirstByte", {20, 0, 0, 0, 0}, 10, "", "abc", false, "abc"},
                      PtyRow{"FullCountNeedsNoTimeout", {20, 0, 0, 0, 0}, 3, "abc", "", true, "abc"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PtyPortTest, WriteTimeOutIsSuccessWithTheCountTheKernelTook)
{
    // Nobody reads the master: the pty takes some kilobytes, then no more.
    ASSERT_TRUE(SetCommTimeouts(port, COMMTIMEOUTS{M, 0, 0, 0, 50}));
    const std::string big(256 * 1024, 'w');
    Record write;
    DWORD written = 0;
    ASSERT_FALSE(WriteFile(port, big.data(), static_cast<DWORD>(big.size()), &written, &write.ov));
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    ASSERT_TRUE(write.Completes());
    ASSERT_TRUE(GetOverlappedResult(port, &write.ov, &written, false));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
    // Exactly the bytes counted reached the device.
    EXPECT_EQ(DeviceReceives(written), big.substr(0, written));
}

TEST_F(PtyPortTest, PendingWriteFinishesWhenTheDeviceReads)
{
    ASSERT_TRUE(SetCommTimeouts(port, COMMTIMEOUTS{M, 0, 0, 0, 0}));
    std::string big(128 * 1024, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
    Record write;
    DWORD written = 0;
    ASSERT_FALSE(WriteFile(port, big.data(), static_cast<DWORD>(big.size()), &written, &write.ov));
    ASSERT_EQ(GetLastError(), ERROR_IO_PENDING);
    COMSTAT stat;
    DWORD errors = 0;
    ASSERT_TRUE(ClearCommError(port, &errors, &stat));
    EXPECT_GT(stat.cbOutQue, 0u);
    EXPECT_EQ(DeviceReceives(big.size()), big);
    ASSERT_TRUE(write.Completes());
    ASSERT_TRUE(GetOverlappedResult(port, &write.ov, &written, false));
    EXPECT_EQ(written, big.size());
}

TEST_F(PtyPortTest, PurgeTxAbortReportsWhatWasWritten)
{
    ASSERT_TRUE(SetCommTimeouts(port, COMMTIMEOUTS{M, 0, 0, 0, 0}));
    const std::string big(256 * 1024, 'p');
    Record write;
    DWORD written = 0;
    ASSERT_FALSE(WriteFile(port, big.data(), static_cast<DWORD>(big.size()), &written, &write.ov));
    ASSERT_TRUE(PurgeComm(port, PURGE_TXABORT));
    ASSERT_TRUE(write.Completes());
    EXPECT_FALSE(GetOverlappedResult(port, &write.ov, &written, false));
    EXPECT_EQ(GetLastError(), ERROR_OPERATION_ABORTED);
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, big.size());
}

}  // namespace
}  // namespace platform::test
