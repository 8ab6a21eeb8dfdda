// tornvale-cli's commands against the simulator, each exit code with the
// message a user reads, and the frames the device received.

#include "CliSupport.h"

#include "serial/CPort.h"

#include <regex>

namespace {

using namespace cli_test;

class Cli : public testing::Test {
protected:
    TSimulator sim;
    void Start(std::vector<std::string> args = {}) { ASSERT_TRUE(sim.Start(std::move(args))); }
};

// ---- bad usage: exit 1, nothing sent ------------------------------------------

struct TUsageCase {
    const char* Name;
    std::vector<std::string> Args;  // "PORT" stands for the simulator's COM name
    const char* Message;
};

class CliUsage : public Cli, public testing::WithParamInterface<TUsageCase> {};

TEST_P(CliUsage, ExitsWithOneAndSendsNothing)
{
    Start();
    std::vector<std::string> args = GetParam().Args;
    std::replace(args.begin(), args.end(), std::string("PORT"), sim.ComName());
    const TCliResult result = RunCli(args);
    EXPECT_EQ(result.Exit, 1) << result.Err;
    EXPECT_TRUE(Contains(result.Err, GetParam().Message));
    EXPECT_TRUE(Contains(result.Err, "tornvale-cli --help"));
    EXPECT_EQ(result.Out, "");
    EXPECT_TRUE(sim.Frames().empty()) << sim.Frames().front();
}

const TUsageCase kUsageCases[] = {
    {"NoCommand", {}, "No command given."},
    {"UnknownCommand", {"fetch", "--port", "PORT"}, "Unknown command 'fetch'."},
    {"MissingPort", {"clock"}, "'clock' needs the option --port."},
    {"NotAPort", {"clock", "--port", "LPT1"}, "'LPT1' is no port"},
    {"PortBeyond255", {"clock", "--port", "COM256"}, "'COM256' is no port"},
    {"RepeatedOption", {"clock", "--port", "PORT", "--port", "PORT"}, "Option --port is given twice."},
    {"MissingValue", {"read", "--port", "PORT", "--date", "2026-12-07", "--id"}, "Option --id needs a value."},
    {"MissingId", {"read", "--port", "PORT", "--date", "2026-12-07"}, "'read' needs the option --id."},
    {"NotInCalendar", {"read", "--port", "PORT", "--date", "2026-02-29", "--id", "1"}, "'2026-02-29' is not a date"},
    {"MonthThirteen", {"download", "--port", "PORT", "--date=2026-13-01"}, "'2026-13-01' is not a date"},
    {"YearBeforeDevice", {"download", "--port", "PORT", "--date", "1999-12-31"}, "the years 2000 to 2099"},
    {"ShortDate", {"download", "--port", "PORT", "--date", "26-12-07"}, "'26-12-07' is not a date"},
    {"RangeBackwards",
     {"download", "--port", "PORT", "--date", "2026-12-07", "--to", "2026-12-06"},
     "--to 2026-12-06 lies before --date 2026-12-07."},
    {"IdZero", {"read", "--port", "PORT", "--date", "2026-12-07", "--id", "0"}, "'0' is no measurement number"},
    {"IdTooLong", {"read", "--port", "PORT", "--date", "2026-12-07", "--id", "10000"}, "'10000' is no measurement"},
    {"NeitherPcNorTime", {"set-clock", "--port", "PORT"}, "exactly one of --pc and --time"},
    {"BothPcAndTime", {"set-clock", "--port", "PORT", "--pc", "--time", "26.12.07 10:00:00"}, "exactly one of"},
    {"TimeNotInCalendar",
     {"set-clock", "--port", "PORT", "--time", "26.02.29 10:00:00"},
     "'26.02.29 10:00:00' is no time"},
    {"HourTwentyFour", {"set-clock", "--port", "PORT", "--time", "26.12.07 24:00:00"}, "is no time"},
    {"JsonOnSetClock", {"set-clock", "--port", "PORT", "--pc", "--json"}, "Unknown option '--json' for 'set-clock'."},
    {"SwitchWithValue", {"clock", "--port", "PORT", "--json=yes"}, "Unknown option '--json=yes'"},
};
INSTANTIATE_TEST_SUITE_P(Cases, CliUsage, testing::ValuesIn(kUsageCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Cli, UsageErrorIsSaidInTheLocalesLanguage)
{
    const TCliResult result = RunCli({"read", "--port", "COM3", "--date", "2026-02-30", "--id", "1"}, kGerman);
    EXPECT_EQ(result.Exit, 1);
    EXPECT_TRUE(Contains(result.Err, "'2026-02-30' ist kein Datum im Kalender (JJJJ-MM-TT)."));
    // LC_ALL outranks LC_MESSAGES.
    TEnvironment english = kGerman;
    english.front().second = "en_US.UTF-8";
    EXPECT_TRUE(Contains(RunCli({"frobnicate"}, english).Err, "Unknown command 'frobnicate'."));
}

TEST_F(Cli, HelpAndVersionGoToStandardOutput)
{
    const TCliResult help = RunCli({"download", "--help"});
    EXPECT_EQ(help.Exit, 0);
    for (const char* part :
         {"tornvale-cli download  --port COMn --date YYYY-MM-DD", "Exit codes:", "  2  the port cannot be opened",
          "  4  a file could not be written", "answer for 5 s", "quiet for 500 ms"})
        EXPECT_TRUE(Contains(help.Out, part));
    EXPECT_TRUE(Contains(RunCli({"--help"}, kGerman).Out, "R\u00fcckgabewerte:"));
    const TCliResult version = RunCli({"--version"});
    EXPECT_EQ(version.Exit, 0);
    EXPECT_TRUE(std::regex_match(version.Out, std::regex("tornvale-cli [0-9]+\\.[0-9]+\\.[0-9]+\n")));
}

// ---- ports ----------------------------------------------------------------------

TEST_F(Cli, PortsListsTheDeviceAndAdvisesOnAPortInUse)
{
    Start();
    const std::string tty = platform::ResolvePortName(sim.ComName());
    TCliResult result = RunCli({"ports"});
    EXPECT_EQ(result.Exit, 0);
    EXPECT_TRUE(Contains(result.Out, sim.ComName() + "\t" + tty + "\tpseudo-terminal\n"));
    EXPECT_FALSE(Contains(result.Out, "in use"));

    // This test holds the port, as a second program would.
    TComPort holder;
    holder.SetPortNum(sim.ComName());
    holder.Open();
    result = RunCli({"ports", "--json"});
    EXPECT_EQ(result.Exit, 0);
    EXPECT_TRUE(Contains(result.Out, "{\"com\":\"" + sim.ComName() + "\",\"device\":\"" + tty +
                                         "\",\"adapter\":\"pseudo-terminal\",\"advice\":\"" + sim.ComName() + " (" +
                                         tty + ") is in use by cli_tests (PID " + std::to_string(::getpid()) +
                                         ").\"}"));
    EXPECT_TRUE(Contains(RunCli({"ports"}, kGerman).Out, "wird von cli_tests (PID"));
}

// ---- clock, set-clock, read -----------------------------------------------------

TEST_F(Cli, ClockShowsTheDeviceClockBesideThePcClock)
{
    Start({"--clock", "26.12.07 10:00:00"});
    TCliResult result = RunCli({"clock", "--port", sim.ComName()});
    EXPECT_EQ(result.Exit, 0) << result.Err;
    EXPECT_TRUE(std::regex_search(result.Out, std::regex("^Device clock: 26\\.12\\.07 10:00:0[0-9]\n"
                                                         "PC clock: [0-9]{2}\\.[0-9]{2}\\.[0-9]{2} [0-9:]{8}\n$")))
        << result.Out;
    result = RunCli({"clock", "--json", "--port", sim.ComName()}, kGerman);
    EXPECT_EQ(result.Exit, 0) << result.Err;
    EXPECT_TRUE(std::regex_match(result.Out, std::regex("\\{\"port\":\"" + sim.ComName() +
                                                        "\",\"device_clock\":\"26\\.12\\.07 10:00:0[0-9]\","
                                                        "\"pc_clock\":\"[0-9. :]{17}\"\\}\n")))
        << result.Out;
    EXPECT_EQ(sim.Frames(), std::vector<std::string>(2, kOpenQueryLogged));
}

TEST_F(Cli, SetClockSendsTheGivenTimeOrThePcs)
{
    Start();
    TCliResult result = RunCli({"set-clock", "--port", sim.ComName(), "--time", "26.12.24 18:30:00"});
    EXPECT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Out, "Clock set to 26.12.24 18:30:00, answer: \"OK 81\"\n");
    EXPECT_EQ(sim.Frames().back(), LoggedFrame("8126 12 24 18 30 00"));
    EXPECT_TRUE(Contains(RunCli({"clock", "--port", sim.ComName()}).Out, "Device clock: 26.12.24 18:30:0"));

    const std::time_t before = std::time(nullptr);
    result = RunCli({"set-clock", "--pc", "--port", sim.ComName()});
    EXPECT_EQ(result.Exit, 0) << result.Err;
    // The PC's time at sending: within the seconds the run took.
    const std::string frame = sim.Frames().back();
    bool matched = false;
    for (std::time_t t = before; t <= std::time(nullptr) && !matched; ++t) {
        char payload[32];
        std::strftime(payload, sizeof payload, "81%y %m %d %H %M %S", std::localtime(&t));
        matched = frame == LoggedFrame(payload);
    }
    EXPECT_TRUE(matched) << frame;
}

TEST_F(Cli, ReadNamesTheRecordsFields)
{
    Start({"--records", "96"});
    const std::string body = sim::RecordBody({2026, 12, 7}, 42, {96, 0});  // nnnn;dd.mm.yyyy hh:nn:ss;c10;v9
    TCliResult result = RunCli({"read", "--port", sim.ComName(), "--date", "2026-12-07", "--id", "42"});
    EXPECT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Out, "Measurement ID: " + body.substr(0, 4) + "\nDate/time: " + body.substr(5, 19) +
                              "\nCounter ID: " + body.substr(25, 10) + "\nValue: " + body.substr(36, 9) + " m\n");
    EXPECT_EQ(sim.Frames().back(), LoggedFrame("6026_12_070042"));

    result = RunCli({"read", "--json", "--port", sim.ComName(), "--date", "2026-12-07", "--id", "42"}, kGerman);
    EXPECT_EQ(result.Exit, 0) << result.Err;
    EXPECT_EQ(result.Out, "{\"port\":\"" + sim.ComName() + "\",\"measurement\":\"" + body.substr(0, 4) +
                              "\",\"date_time\":\"" + body.substr(5, 19) + "\",\"counter\":\"" + body.substr(25, 10) +
                              "\",\"value_m\":\"" + body.substr(36, 9) + "\",\"line\":\"" + WithChecksum(body) +
                              "\",\"checksum_ok\":true}\n");
}

// The window warns of a wrong checksum and shows the value all the same.
TEST_F(Cli, ReadWarnsOfAWrongChecksum)
{
    Start({"--records", "96", "--bad-checksum-every", "2"});  // line 1: the clock, line 2: the value
    const TCliResult result = RunCli({"read", "--json", "--port", sim.ComName(), "--date", "2026-12-07", "--id", "5"});
    EXPECT_EQ(result.Exit, 0) << result.Err;
    const std::string body = sim::RecordBody({2026, 12, 7}, 5, {96, 0});
    EXPECT_TRUE(Contains(result.Err, "Wrong checksum: received '"));
    EXPECT_TRUE(Contains(result.Err, "', computed " + ChecksumText(GetChecksumme(body, 45)) + "\n"));
    EXPECT_TRUE(Contains(result.Out, "\"measurement\":\"0005\","));
    EXPECT_TRUE(Contains(result.Out, "\"checksum_ok\":false}"));
}

// ---- the device: exit 3 ----------------------------------------------------------

TEST_F(Cli, ARefusalIsQuotedWithExitThree)
{
    Start({"--records", "96"});
    const TCliResult result = RunCli({"read", "--port", sim.ComName(), "--date", "2026-12-07", "--id", "97"});
    EXPECT_EQ(result.Exit, 3);
    EXPECT_TRUE(Contains(result.Err, "The device refused: \"ERR RECORD\""));
    EXPECT_EQ(result.Out, "");
}

TEST_F(Cli, ASilentDeviceEndsEveryCommandWithExitThreeWithinSixSeconds)
{
    Start({"--silent"});
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"clock"}, {"read", "--date", "2026-12-07", "--id", "1"}}) {
        std::vector<std::string> full = args;
        full.insert(full.end(), {"--port", sim.ComName()});
        const auto start = std::chrono::steady_clock::now();
        const TCliResult result = RunCli(full);
        const auto took = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(result.Exit, 3) << args.front();
        EXPECT_TRUE(Contains(result.Err, "The device on " + sim.ComName() + " did not answer within 5 s."));
        EXPECT_GE(took, std::chrono::seconds(5)) << "a slow device must be given its time";
        EXPECT_LT(took, std::chrono::seconds(20)) << "bounded";
    }
    // Only the clock query of opening went out: the silent device was found there.
    EXPECT_EQ(sim.Frames(), std::vector<std::string>(2, kOpenQueryLogged));
}

// ---- the port: exit 2 ----------------------------------------------------------

TEST_F(Cli, APortThatCannotBeOpenedIsNamedWithTheDoctorsAdvice)
{
    const TCliResult result = RunCli({"clock", "--port", "COM240"});
    EXPECT_EQ(result.Exit, 2);
    EXPECT_TRUE(Contains(result.Err, "COM240 cannot be opened: "));
    EXPECT_TRUE(Contains(result.Err, "\nCOM240: no device. Is the adapter plugged in?\n"));
    EXPECT_TRUE(
        Contains(RunCli({"clock", "--port", "COM240"}, kGerman).Err, "COM240: kein Ger\u00e4t. Steckt der Adapter?"));
}

}  // namespace
