#include "sim/FrameParser.h"

#include <gtest/gtest.h>

#include <random>

// Frames are written as adjacent literals ("\x02" "80"), one frame a line.
// clang-format off

using sim::FrameEvent;
using sim::FrameParser;
using Kind = FrameEvent::Kind;

namespace {

std::vector<FrameEvent> ParseAll(const std::string& input)
{
    FrameParser parser;
    std::vector<FrameEvent> events;
    parser.Feed(input, events);
    return events;
}

// Only frames and malformed frames: garbage may come in differently cut pieces.
std::vector<FrameEvent> FramesOnly(const std::vector<FrameEvent>& events)
{
    std::vector<FrameEvent> out;
    for (const auto& e : events)
        if (e.kind != Kind::Garbage)
            out.push_back(e);
    return out;
}

FrameEvent Frame(const std::string& body)
{
    return {Kind::Frame, "\x02" + body + "\x03\r", body};
}
FrameEvent Malformed(const std::string& body)
{
    return {Kind::Malformed, "\x02" + body + "\x03", body};
}
FrameEvent Garbage(const std::string& bytes)
{
    return {Kind::Garbage, bytes, {}};
}

struct ParseCase {
    const char* name;
    std::string input;
    std::vector<FrameEvent> expected;
};

class FrameParsing : public ::testing::TestWithParam<ParseCase> {};

TEST_P(FrameParsing, YieldsExpectedEvents)
{
    EXPECT_EQ(ParseAll(GetParam().input), GetParam().expected);
}

const std::string kLong(FrameParser::kMaxBody + 1, 'A');

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameParsing,
    ::testing::Values(
        ParseCase{"ClockQueryWithChecksum", "\x02" "806412\x03\r", {Frame("806412")}},
        ParseCase{"BareClockQuery", "\x02" "80\x03\r", {Frame("80")}},
        ParseCase{"EmptyBody", "\x02\x03\r", {Frame("")}},
        ParseCase{"NoiseBeforeAndAfter", "xy\r\n\x02" "80\x03\rzz", {Garbage("xy\r\n"), Frame("80"), Garbage("zz")}},
        ParseCase{"TwoFramesBackToBack", "\x02" "80\x03\r\x02" "806412\x03\r", {Frame("80"), Frame("806412")}},
        ParseCase{"StxRestartsAFrame", "\x02" "12\x02" "80\x03\r", {Garbage("\x02" "12"), Frame("80")}},
        ParseCase{"EtxWithoutCr", "\x02" "80\x03X", {Malformed("80"), Garbage("X")}},
        ParseCase{"EtxFollowedByNextFrame", "\x02" "A\x03\x02" "B\x03\r", {Malformed("A"), Frame("B")}},
        // What the tool sends when it transmits twice without a new template.
        ParseCase{"ResentFrame", "\x02" "806412\x03" "1234\r\r", {Malformed("806412"), Garbage("1234\r\r")}},
        ParseCase{"LongestBodyKept", "\x02" + std::string(FrameParser::kMaxBody, 'A') + "\x03\r",
                  {Frame(std::string(FrameParser::kMaxBody, 'A'))}},
        ParseCase{"OverlongBodyGivenUp", "\x02" + kLong + "\x03\r", {Garbage("\x02" + kLong + "\x03\r")}},
        ParseCase{"HighBytesAreData", "\x02\xFC\xFF\x03\r", {Frame("\xFC\xFF")}},
        ParseCase{"NulIsData", std::string("\x02\0\x03\r", 4), {Frame(std::string(1, '\0'))}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FrameParser, FrameSurvivesAnyCut)
{
    const std::string stream = "noise\x02" "806412\x03\r\x02" "80\x03X\x02" "7024_03_1599C1\x03\r";
    const auto whole = FramesOnly(ParseAll(stream));
    ASSERT_EQ(whole.size(), 3u);
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        FrameParser parser;
        std::vector<FrameEvent> events;
        parser.Feed(stream.substr(0, cut), events);
        parser.Feed(stream.substr(cut), events);
        EXPECT_EQ(FramesOnly(events), whole) << "cut at " << cut;
        EXPECT_TRUE(parser.Pending().empty());
    }
}

TEST(FrameParser, HalfFrameWaitsForTheRest)
{
    FrameParser parser;
    std::vector<FrameEvent> events;
    parser.Feed("\x02" "8064", events);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(parser.Pending(), "\x02" "8064");
    parser.Feed("12\x03", events);
    EXPECT_TRUE(events.empty());
    parser.Feed("\r", events);
    EXPECT_EQ(events, std::vector<FrameEvent>{Frame("806412")});
}

TEST(FrameParser, ResetForgetsAHalfFrame)
{
    FrameParser parser;
    std::vector<FrameEvent> events;
    parser.Feed("\x02" "81", events);
    parser.Reset();
    EXPECT_TRUE(parser.Pending().empty());
    parser.Feed("0\x03\r\x02" "80\x03\r", events);
    EXPECT_EQ(FramesOnly(events), std::vector<FrameEvent>{Frame("80")});
}

// Random streams rich in control bytes, fed in random pieces: no byte may be
// lost or counted twice, frames must not depend on how the input was cut, and
// nothing may grow without bound.
TEST(FrameParser, AccountsForEveryByteOfRandomInput)
{
    std::mt19937 rng(20240315);
    const char alphabet[] = {'\x02', '\x03', '\r', '\n', '8', '0', 'A', '\xFF', '\0'};
    for (int round = 0; round < 300; ++round) {
        std::string input;
        const int length = std::uniform_int_distribution<int>(0, 700)(rng);
        for (int i = 0; i < length; ++i)
            input += alphabet[std::uniform_int_distribution<int>(0, sizeof alphabet - 1)(rng)];

        FrameParser parser;
        std::vector<FrameEvent> events;
        std::size_t at = 0;
        while (at < input.size()) {
            const auto n = std::uniform_int_distribution<std::size_t>(1, 40)(rng);
            parser.Feed(std::string_view(input).substr(at, n), events);
            ASSERT_LE(parser.Pending().size(), FrameParser::kMaxBody + 2);
            at += n;
        }
        std::string seen;
        for (const auto& e : events) {
            seen += e.raw;
            if (e.kind == Kind::Frame) {
                EXPECT_EQ(e.raw, "\x02" + e.body + "\x03\r");
            } else if (e.kind == Kind::Malformed) {
                EXPECT_EQ(e.raw, "\x02" + e.body + "\x03");
            }
            if (e.kind != Kind::Garbage) {
                EXPECT_LE(e.body.size(), FrameParser::kMaxBody);
            }
        }
        EXPECT_EQ(seen + parser.Pending(), input) << "round " << round;
        EXPECT_EQ(FramesOnly(events), FramesOnly(ParseAll(input))) << "round " << round;
    }
}

}  // namespace
// clang-format on
