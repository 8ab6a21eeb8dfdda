#include "sim/Options.h"

#include <gtest/gtest.h>

namespace {

sim::Options Parse(std::vector<std::string> args)
{
    const auto parsed = sim::ParseOptions(args);
    EXPECT_TRUE(parsed.options) << parsed.error;
    return parsed.options.value_or(sim::Options{});
}

TEST(Options, Defaults)
{
    const auto o = Parse({});
    EXPECT_TRUE(o.autoPort);
    EXPECT_TRUE(o.ttyPath.empty());
    EXPECT_EQ(o.clockStart, sim::Options::ClockStart::Reset);
    EXPECT_EQ(o.recordsPerDay, 96);
    EXPECT_EQ(o.badChecksumEvery, 0);
    EXPECT_FALSE(o.silent || o.split);
}

TEST(Options, EveryOptionInBothForms)
{
    for (bool inlineForm : {false, true}) {
        std::vector<std::string> args;
        auto add = [&](const std::string& name, const std::string& value) {
            if (inlineForm) {
                args.push_back(name + "=" + value);
            } else {
                args.push_back(name);
                args.push_back(value);
            }
        };
        add("--port", "com7");
        add("--clock", "24.03.15 13:14:15");
        add("--records", "9999");
        add("--seed", "18446744073709551615");
        add("--bad-checksum-every", "3");
        add("--delay-ms", "250");
        add("--split-pause-ms", "5");
        add("--log", "/tmp/x.log");
        args.insert(args.end(), {"--silent", "--split"});
        const auto o = Parse(args);
        EXPECT_EQ(o.comName, "COM7");
        EXPECT_FALSE(o.autoPort);
        EXPECT_EQ(o.clockStart, sim::Options::ClockStart::Given);
        EXPECT_EQ(o.clockGiven, (sim::DateTime{2024, 3, 15, 13, 14, 15}));
        EXPECT_EQ(o.recordsPerDay, 9999);
        EXPECT_EQ(o.seed, 18446744073709551615ull);
        EXPECT_EQ(o.badChecksumEvery, 3);
        EXPECT_EQ(o.delayMs, 250);
        EXPECT_EQ(o.splitPauseMs, 5);
        EXPECT_EQ(o.logPath, "/tmp/x.log");
        EXPECT_TRUE(o.silent && o.split);
    }
}

TEST(Options, PortChoices)
{
    EXPECT_TRUE(Parse({"--port", "auto"}).autoPort);
    EXPECT_EQ(Parse({"--clock", "pc"}).clockStart, sim::Options::ClockStart::Pc);
    const auto tty = Parse({"--tty", "/dev/ttyS0"});
    EXPECT_EQ(tty.ttyPath, "/dev/ttyS0");
    EXPECT_FALSE(tty.autoPort);  // no link unless asked for
    EXPECT_TRUE(tty.comName.empty());
    const auto linkedTty = Parse({"--tty", "/dev/ttyS0", "--port", "COM3"});
    EXPECT_EQ(linkedTty.comName, "COM3");
}

class BadCommandLine : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(BadCommandLine, IsRefusedWithAReason)
{
    const auto parsed = sim::ParseOptions(GetParam());
    EXPECT_FALSE(parsed.options);
    EXPECT_FALSE(parsed.error.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadCommandLine,
    ::testing::Values(std::vector<std::string>{"--port"}, std::vector<std::string>{"--port", "COM0"},
                      std::vector<std::string>{"--port", "COM256"}, std::vector<std::string>{"--port", "LPT1"},
                      std::vector<std::string>{"--port", "COM1x"}, std::vector<std::string>{"--port", "COM07"},
                      std::vector<std::string>{"--records", "10000"}, std::vector<std::string>{"--records", "-1"},
                      std::vector<std::string>{"--records", ""},
                      std::vector<std::string>{"--seed", "18446744073709551616"},
                      std::vector<std::string>{"--bad-checksum-every", "0"},
                      std::vector<std::string>{"--delay-ms", "1e3"}, std::vector<std::string>{"--clock", "tomorrow"},
                      std::vector<std::string>{"--clock", "24.02.30 00:00:00"}, std::vector<std::string>{"--tty"},
                      std::vector<std::string>{"--log"}, std::vector<std::string>{"--silent=yes"},
                      std::vector<std::string>{"--frobnicate"}, std::vector<std::string>{"COM3"}));

}  // namespace
