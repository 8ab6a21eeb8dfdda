// What the device answers to each frame, checked in-process.

#include <gtest/gtest.h>

#include "exchange/Checksum.h"
#include "sim/ReplyLine.h"
#include "sim/Responder.h"

using sim::DateTime;
using sim::FrameEvent;

namespace {

// A frame as the tool sends it: payload, checksum, framing.
FrameEvent Sent(const std::string& payload)
{
    const std::string body = payload + ChecksumText(GetChecksumme(payload, static_cast<std::int32_t>(payload.size())));
    return {FrameEvent::Kind::Frame, "\x02" + body + "\x03\r", body};
}

FrameEvent Bare(const std::string& body)
{
    return {FrameEvent::Kind::Frame, "\x02" + body + "\x03\r", body};
}

struct ManualTime {
    std::chrono::steady_clock::time_point now{};
};

class ResponderTest : public ::testing::Test {
protected:
    ManualTime time;
    sim::DeviceModel model{DateTime{2000, 1, 1, 0, 0, 0}, sim::RecordSettings{96, 42}, [this] { return time.now; }};

    std::vector<std::string> Bodies(const FrameEvent& e) { return sim::ReplyBodies(model, e); }
    using Lines = std::vector<std::string>;
};

TEST_F(ResponderTest, ClockQueryWithAndWithoutChecksum)
{
    EXPECT_EQ(Bodies(Bare("80")), Lines{"00.01.01 00:00:00"});
    time.now += std::chrono::seconds(75);
    EXPECT_EQ(Bodies(Sent("80")), Lines{"00.01.01 00:01:15"});
}

TEST_F(ResponderTest, SetClockThenReadItBack)
{
    EXPECT_EQ(Bodies(Sent("8124 03 15 13 14 15")), Lines{sim::reply::kClockSet});
    time.now += std::chrono::seconds(2);
    EXPECT_EQ(Bodies(Bare("80")), Lines{"24.03.15 13:14:17"});
}

struct ErrorCase {
    const char* name;
    FrameEvent frame;
    const char* reply;
};

class ResponderErrors : public ResponderTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ResponderErrors, AnswerWithOneErrorLineAndChangeNothing)
{
    EXPECT_EQ(Bodies(GetParam().frame), Lines{GetParam().reply});
    EXPECT_EQ(model.clock.Now(), (DateTime{2000, 1, 1, 0, 0, 0}));
    EXPECT_FALSE(model.config);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResponderErrors,
    ::testing::Values(ErrorCase{"WrongChecksum", Bare("8124 03 15 13 14 150000"), sim::reply::kBadChecksum},
                      ErrorCase{"ChecksumOfAnotherPayload", Bare("806413"), sim::reply::kBadChecksum},
                      ErrorCase{"UnknownCommand", Sent("99"), sim::reply::kUnknownCommand},
                      ErrorCase{"TooShortForAChecksum", Bare("8"), sim::reply::kBadFrame},
                      ErrorCase{"EmptyBody", Bare(""), sim::reply::kBadFrame},
                      ErrorCase{"ClockQueryWithExtra", Sent("801"), sim::reply::kBadFrame},
                      ErrorCase{"Malformed",
                                FrameEvent{FrameEvent::Kind::Malformed,
                                           "\x02"
                                           "806412\x03",
                                           "806412"},
                                sim::reply::kBadFrame},
                      // The unedited clock template: day 00 of month 00.
                      ErrorCase{"ClockTemplateUnedited", Sent("8100 00 00 00 00 00"), sim::reply::kBadDate},
                      ErrorCase{"ClockHour24", Sent("8124 03 15 24 00 00"), sim::reply::kBadDate},
                      ErrorCase{"ClockFebruary30", Sent("8124 02 30 00 00 00"), sim::reply::kBadDate},
                      ErrorCase{"ClockFieldNotDigits", Sent("8124 03 15 1x 00 00"), sim::reply::kBadFrame},
                      ErrorCase{"ClockFrameShort", Sent("8124 03 15 13 14 1"), sim::reply::kBadFrame},
                      ErrorCase{"ReadTemplateUnedited", Sent("6000_00_000000"), sim::reply::kBadDate},
                      ErrorCase{"ReadNumberZero", Sent("6024_03_150000"), sim::reply::kNoRecord},
                      ErrorCase{"ReadNumberBeyondDay", Sent("6024_03_150097"), sim::reply::kNoRecord},
                      ErrorCase{"ReadFrameLong", Sent("6024_03_1500011"), sim::reply::kBadFrame},
                      ErrorCase{"DayTemplateUnedited", Sent("7000_00_00"), sim::reply::kBadDate},
                      ErrorCase{"DayBlankField", Sent("7024_ 3_15"), sim::reply::kBadFrame},
                      ErrorCase{"ConfigLetter", Sent("85 2 12345A 0042 1 0"), sim::reply::kBadFrame}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ResponderTest, LowerCaseChecksumDigitsAreAccepted)
{
    // "7024_03_15" has a checksum with letters; the device takes either case.
    const std::string payload = "7024_03_15";
    std::string digits = ChecksumText(GetChecksumme(payload, 10));
    for (char& c : digits) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ASSERT_NE(digits, ChecksumText(GetChecksumme(payload, 10))) << "pick a payload whose checksum has letters";
    EXPECT_EQ(Bodies(Bare(payload + digits)).size(), 96u);
}

TEST_F(ResponderTest, DayWithoutRecordsGetsNoLine)
{
    model.records.perDay = 0;
    EXPECT_EQ(Bodies(Sent("7024_02_29")), Lines{});
}

TEST_F(ResponderTest, ConfigurationIsStored)
{
    EXPECT_EQ(Bodies(Sent("85 2 123456 0042 1 0")), Lines{sim::reply::kConfigStored});
    ASSERT_TRUE(model.config);
    EXPECT_EQ(*model.config, (sim::DeviceConfig{'2', "123456", "0042", '1', '0'}));
}

TEST(ReplyLine, CarriesTheBodysChecksum)
{
    EXPECT_EQ(sim::ReplyLine("80"), "806412\r\n");
    EXPECT_EQ(sim::ReplyLine(""), "FFFF\r\n");
    EXPECT_EQ(sim::ReplyLineWithBadChecksum("80"), "809BED\r\n");
}

TEST(Responder, SpoilsEveryNthLineAcrossAnswers)
{
    sim::DeviceModel model{DateTime{2000, 1, 1, 0, 0, 0}, sim::RecordSettings{4, 1}};
    sim::Responder responder(model, 3);
    auto lines = responder.Answer(Sent("7024_03_15"));             // lines 1-4
    for (const auto& more : responder.Answer(Sent("7024_03_15")))  // lines 5-8
        lines.push_back(more);
    ASSERT_EQ(lines.size(), 8u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string body = lines[i].substr(0, sim::kRecordLength);
        const bool spoiled = (i + 1) % 3 == 0;
        EXPECT_EQ(lines[i], spoiled ? sim::ReplyLineWithBadChecksum(body) : sim::ReplyLine(body)) << "line " << i + 1;
    }
}

}  // namespace
