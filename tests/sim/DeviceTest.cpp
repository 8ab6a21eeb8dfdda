// The device model: calendar, running clock and stored records.

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>

#include "sim/DateTime.h"
#include "sim/DeviceClock.h"
#include "sim/Records.h"

using sim::DateTime;

namespace {

struct ValidityCase {
    DateTime t;
    bool valid;
};

class DateValidity : public ::testing::TestWithParam<ValidityCase> {};

TEST_P(DateValidity, FollowsTheCalendar)
{
    EXPECT_EQ(sim::IsValid(GetParam().t), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateValidity,
    ::testing::Values(ValidityCase{{2024, 2, 29, 0, 0, 0}, true}, ValidityCase{{2023, 2, 29, 0, 0, 0}, false},
                      ValidityCase{{2000, 2, 29, 0, 0, 0}, true}, ValidityCase{{2100, 2, 29, 0, 0, 0}, false},
                      ValidityCase{{2024, 4, 31, 0, 0, 0}, false}, ValidityCase{{2024, 12, 31, 23, 59, 59}, true},
                      ValidityCase{{2000, 0, 0, 0, 0, 0}, false},  // the unedited template
                      ValidityCase{{2024, 13, 1, 0, 0, 0}, false}, ValidityCase{{2024, 1, 1, 24, 0, 0}, false},
                      ValidityCase{{2024, 1, 1, 0, 60, 0}, false}, ValidityCase{{2024, 1, 1, 0, 0, 60}, false},
                      ValidityCase{{2024, -1, 1, 0, 0, 0}, false}));

TEST(DateTime, SecondsRoundTripOverYearsAndLeapDays)
{
    for (const DateTime t :
         {DateTime{2000, 1, 1, 0, 0, 0}, DateTime{1999, 12, 31, 23, 59, 59}, DateTime{2024, 2, 29, 12, 34, 56},
          DateTime{2099, 12, 31, 23, 59, 59}, DateTime{2100, 3, 1, 0, 0, 1}})
        EXPECT_EQ(sim::FromSeconds(sim::ToSeconds(t)), t) << sim::RecordStamp(t);
    EXPECT_EQ(sim::ToSeconds({2000, 1, 2, 0, 0, 0}), 86400);
    EXPECT_EQ(sim::FromSeconds(-1), (DateTime{1999, 12, 31, 23, 59, 59}));
    EXPECT_EQ(sim::FromSeconds(sim::ToSeconds({2024, 2, 28, 23, 59, 59}) + 1), (DateTime{2024, 2, 29, 0, 0, 0}));
}

TEST(DateTime, TextForms)
{
    const DateTime t{2024, 3, 5, 7, 8, 9};
    EXPECT_EQ(sim::ClockText(t), "24.03.05 07:08:09");
    EXPECT_EQ(sim::RecordStamp(t), "05.03.2024 07:08:09");
    EXPECT_EQ(sim::ClockText({2100, 1, 1, 0, 0, 0}), "00.01.01 00:00:00");
    EXPECT_EQ(sim::ParseClockText("24.03.05 07:08:09"), t);
    for (const char* bad : {"24.02.30 00:00:00", "24.03.05 24:00:00", "24.03.05 07:08:9", "24-03-05 07:08:09",
                            "24.03.05 07:08:09 ", "2x.03.05 07:08:09", ""})
        EXPECT_FALSE(sim::ParseClockText(bad)) << bad;
}

// A clock the test moves by hand.
struct ManualTime {
    std::chrono::steady_clock::time_point now{};
    sim::DeviceClock::TimeSource Source()
    {
        return [this] { return now; };
    }
};

TEST(DeviceClock, RunsFromWhereItWasSet)
{
    ManualTime time;
    sim::DeviceClock clock({2000, 1, 1, 0, 0, 0}, time.Source());
    EXPECT_EQ(clock.Now(), (DateTime{2000, 1, 1, 0, 0, 0}));
    time.now += std::chrono::milliseconds(999);
    EXPECT_EQ(clock.Now().second, 0);
    time.now += std::chrono::milliseconds(61001);
    EXPECT_EQ(clock.Now(), (DateTime{2000, 1, 1, 0, 1, 2}));

    clock.Set({2024, 12, 31, 23, 59, 58});
    EXPECT_EQ(clock.Now(), (DateTime{2024, 12, 31, 23, 59, 58}));
    time.now += std::chrono::seconds(3);
    EXPECT_EQ(clock.Now(), (DateTime{2025, 1, 1, 0, 0, 1}));
}

TEST(Records, SpreadEvenlyOverTheDay)
{
    const DateTime day{2024, 3, 15, 0, 0, 0};
    const sim::RecordSettings quarterHours{96, 0};
    EXPECT_EQ(sim::RecordTime(day, 1, quarterHours), (DateTime{2024, 3, 15, 0, 0, 0}));
    EXPECT_EQ(sim::RecordTime(day, 2, quarterHours), (DateTime{2024, 3, 15, 0, 15, 0}));
    EXPECT_EQ(sim::RecordTime(day, 96, quarterHours), (DateTime{2024, 3, 15, 23, 45, 0}));
    const sim::RecordSettings seven{7, 0};
    EXPECT_EQ(sim::RecordTime(day, 7, seven), (DateTime{2024, 3, 15, 20, 34, 17}));  // 6 * 86400 / 7 = 74057 s
    // The time part of the day given does not shift the records.
    EXPECT_EQ(sim::RecordTime({2024, 3, 15, 13, 14, 15}, 2, quarterHours), (DateTime{2024, 3, 15, 0, 15, 0}));
}

TEST(Records, LineLayout)
{
    const DateTime day{2024, 3, 15, 0, 0, 0};
    for (int n : {1, 2, 50, 96}) {
        const std::string body = sim::RecordBody(day, n, {96, 7});
        ASSERT_EQ(body.size(), sim::kRecordLength) << body;
        char number[8];
        std::snprintf(number, sizeof number, "%04d", n);
        EXPECT_EQ(body.substr(0, 4), number);
        EXPECT_EQ(body.substr(5, 19), sim::RecordStamp(sim::RecordTime(day, n, {96, 7})));
        EXPECT_EQ(body[4], ';');
        EXPECT_EQ(body[24], ';');
        EXPECT_EQ(body[35], ';');
        EXPECT_EQ(body[41], '.');
        for (std::size_t i : {25u, 34u, 36u, 40u, 42u, 44u})
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(body[i]))) << body;
    }
    EXPECT_EQ(sim::RecordBody(day, 9999, {9999, 0}).substr(0, 5), "9999;");
}

TEST(Records, FollowFromDayNumberAndSeedAlone)
{
    const DateTime day{2024, 3, 15, 0, 0, 0};
    const std::string body = sim::RecordBody(day, 5, {96, 42});
    EXPECT_EQ(sim::RecordBody(day, 5, {96, 42}), body);
    // The record count moves the time, not the counter number and value.
    EXPECT_EQ(sim::RecordBody(day, 5, {48, 42}).substr(24), body.substr(24));

    // Seed, day and number each change counter and value.
    std::set<std::string> tails;
    for (const auto& other :
         {sim::RecordBody(day, 5, {96, 42}), sim::RecordBody(day, 5, {96, 43}), sim::RecordBody(day, 6, {96, 42}),
          sim::RecordBody({2024, 3, 16, 0, 0, 0}, 5, {96, 42}), sim::RecordBody({2025, 3, 15, 0, 0, 0}, 5, {96, 42})})
        tails.insert(other.substr(25));
    EXPECT_EQ(tails.size(), 5u);
}

}  // namespace
