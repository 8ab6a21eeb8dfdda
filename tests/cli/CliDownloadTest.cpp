// tornvale-cli download: whole days byte for byte as the device sent them,
// from fast, slow and late devices; a day cut by Ctrl+C, a pulled device or
// a full disk keeps whole lines and says how many of which day it kept.

#include "CliSupport.h"

#include "tooling/tty/Pty.h"

#include <QDir>

#include <thread>

#include <unistd.h>

namespace {

using namespace cli_test;
using namespace std::chrono_literals;

class CliDownload : public testing::Test {
protected:
    TSimulator sim;
    QTemporaryDir folder;

    std::string Folder() const { return folder.path().toStdString(); }
    std::string InFolder(const char* name) const { return Folder() + "/" + name; }

    std::vector<std::string> Download(const char* from, const char* to = nullptr)
    {
        std::vector<std::string> args{"download", "--port", sim.ComName(), "--date", from, "--folder", Folder()};
        if (to) args.insert(args.end(), {"--to", to});
        return args;
    }

    // Waits until the day file holds at least `bytes`.
    bool FileGrows(const std::string& path, std::size_t bytes)
    {
        for (int i = 0; i < kPatienceMs / 10; ++i) {
            if (ReadFileBytes(path).size() >= bytes) return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    // The file is the first records of the day, each line whole; their number.
    static int WholeLinesOf(const std::string& stored, const std::string& day)
    {
        EXPECT_EQ(day.compare(0, stored.size(), stored), 0) << "not the day's first lines";
        EXPECT_TRUE(stored.empty() || stored.ends_with("\r\n")) << "a line cut in two";
        return int(std::count(stored.begin(), stored.end(), '\n'));
    }
};

class CliDownloadLines : public CliDownload, public testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(CliDownloadLines, EachDayOfTheRangeIsStoredWhole)
{
    std::vector<std::string> args{"--records", "300"};
    args.insert(args.end(), GetParam().begin(), GetParam().end());
    ASSERT_TRUE(sim.Start(args));
    const TCliResult result = RunCli(Download("2026-12-30", "2027-01-01"));
    EXPECT_EQ(result.Exit, 0) << result.Err;
    const sim::DateTime days[] = {{2026, 12, 30}, {2026, 12, 31}, {2027, 1, 1}};
    EXPECT_TRUE(ReadFileBytes(InFolder("26_12_30.txt")) == DayOfRecords(days[0], 300));
    EXPECT_TRUE(ReadFileBytes(InFolder("26_12_31.txt")) == DayOfRecords(days[1], 300));
    EXPECT_TRUE(ReadFileBytes(InFolder("27_01_01.txt")) == DayOfRecords(days[2], 300));
    EXPECT_EQ(result.Out, "2026-12-30: 300 records stored in " + InFolder("26_12_30.txt") +
                              "\n2026-12-31: 300 records stored in " + InFolder("26_12_31.txt") +
                              "\n2027-01-01: 300 records stored in " + InFolder("27_01_01.txt") + "\n");
    // Progress on standard error, plain lines when it is no terminal.
    EXPECT_TRUE(Contains(result.Err, "2026-12-31: 0 records ...\n2026-12-31: 300 records\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 3) << "nothing but the day files";
}

INSTANTIATE_TEST_SUITE_P(Devices, CliDownloadLines,
                         testing::Values(std::vector<std::string>{},
                                         // each line in three pieces with pauses between them
                                         std::vector<std::string>{"--split", "--split-pause-ms", "20"},
                                         // every answer late, but within the answer time
                                         std::vector<std::string>{"--delay-ms", "1500"}),
                         [](const auto& info) {
                             return info.param.empty() ? std::string("Fast") : info.param.front().substr(2, 5);
                         });

TEST_F(CliDownload, ProgressIsABarOnATerminal)
{
    ASSERT_TRUE(sim.Start({"--records", "200"}));
    platform::PseudoTerminal terminal;
    ASSERT_TRUE(terminal.IsOpen());
    TCliRun run(Download("2026-12-06", "2026-12-07"), kEnglish, TORNVALE_CLI_PATH, terminal.SlavePath());
    // Read as it is drawn: a terminal nobody reads would hold the program up.
    std::string shown;
    for (int i = 0; i < kPatienceMs / 100 && !shown.ends_with("\n"); ++i) terminal.Read(shown, 100);
    EXPECT_EQ(run.Finish().Exit, 0);
    EXPECT_TRUE(Contains(shown, "\r[--------------------] 0/2  2026-12-06: 0 records"));
    EXPECT_TRUE(Contains(shown, "\r[##########----------] 1/2  2026-12-06: 200 records"));
    // The next day's shorter line blanks out the rest of the last one.
    EXPECT_TRUE(Contains(shown, "\r[##########----------] 1/2  2026-12-07: 0 records  \r"));
    EXPECT_TRUE(shown.ends_with("\r[####################] 2/2  2026-12-07: 200 records\n")) << shown;
}

TEST_F(CliDownload, JsonSummaryCountsWrongChecksumsAndStoresThoseLinesToo)
{
    ASSERT_TRUE(sim.Start({"--records", "50", "--bad-checksum-every", "10"}));
    const TCliResult result = RunCli([&] {
        auto args = Download("2026-12-07");
        args.push_back("--json");
        return args;
    }());
    EXPECT_EQ(result.Exit, 0) << result.Err;
    const std::string stored = ReadFileBytes(InFolder("26_12_07.txt"));
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '\n'), 50);
    // The open's clock answer is line 1 of the simulator's count; every 10th after it is wrong.
    EXPECT_EQ(result.Out, "{\"port\":\"" + sim.ComName() + "\",\"days\":[{\"date\":\"2026-12-07\",\"file\":\"" +
                              InFolder("26_12_07.txt") +
                              "\",\"records\":50,\"bad_checksum\":5,\"not_stored\":0,\"complete\":true}],"
                              "\"exit\":0,\"error\":null}\n");
}

// A device silent from the start, and one that answers its clock but sends
// nothing for the day: the day file of an earlier download stays as it was.
TEST_F(CliDownload, ASilentDeviceLeavesAnExistingDayFileAlone)
{
    for (const std::vector<std::string>& device : {std::vector<std::string>{"--silent"}, {"--records", "0"}}) {
        TSimulator silent;
        ASSERT_TRUE(silent.Start(device));
        std::ofstream(InFolder("26_12_07.txt"), std::ios::binary) << "kept\r\n";
        const TCliResult result =
            RunCli({"download", "--port", silent.ComName(), "--date", "2026-12-07", "--folder", Folder()});
        EXPECT_EQ(result.Exit, 3) << device.front();
        EXPECT_TRUE(Contains(result.Err, "did not answer within 5 s"));
        EXPECT_EQ(ReadFileBytes(InFolder("26_12_07.txt")), "kept\r\n") << device.front();
    }
}

TEST_F(CliDownload, AFolderThatCannotBeWrittenIsNamedWithTheReasonAndNoDayIsAsked)
{
    ASSERT_TRUE(sim.Start({}));
    const std::string missing = InFolder("no-such-folder");
    const TCliResult result =
        RunCli({"download", "--port", sim.ComName(), "--date", "2026-12-07", "--folder", missing});
    EXPECT_EQ(result.Exit, 4);
    EXPECT_TRUE(Contains(result.Err, "Cannot write in " + missing + ": No such file or directory"));
    EXPECT_EQ(sim.Frames(), std::vector<std::string>{kOpenQueryLogged});
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(CliDownload, AFolderThisUserMayNotWriteIsNamedWithTheReason)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder (scripts/test-as-user.sh runs this)";
    ASSERT_TRUE(sim.Start({}));
    namespace fs = std::filesystem;
    fs::permissions(Folder(), fs::perms::owner_write, fs::perm_options::remove);
    const TCliResult result = RunCli(Download("2026-12-07"));
    fs::permissions(Folder(), fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(result.Exit, 4);
    EXPECT_TRUE(Contains(result.Err, "Cannot write in " + Folder() + ": Permission denied"));
    EXPECT_EQ(sim.Frames(), std::vector<std::string>{kOpenQueryLogged});
}

TEST_F(CliDownload, AFullDiskKeepsWholeLinesAndExitsWithFour)
{
    ASSERT_TRUE(sim.Start({"--records", "500"}));
    // A file size limit of 8 blocks of 512 bytes stands for the full disk;
    // the signal it raises is ignored, so the write fails as on a full disk.
    std::string command = "trap '' XFSZ; ulimit -f 8; exec " + std::string(TORNVALE_CLI_PATH);
    for (const std::string& arg : Download("2026-12-07")) command += " '" + arg + "'";
    const TCliResult result = TCliRun({"-c", command}, kEnglish, "/bin/sh").Finish();
    EXPECT_EQ(result.Exit, 4) << result.Err;
    const std::string stored = ReadFileBytes(InFolder("26_12_07.txt"));
    EXPECT_LE(stored.size(), 8u * 512);
    const int lines = WholeLinesOf(stored, DayOfRecords({2026, 12, 7}, 500));
    EXPECT_GT(lines, 0);
    EXPECT_TRUE(Contains(result.Err, "Cannot write in " + Folder() + ": "));
    EXPECT_TRUE(Contains(result.Err, std::to_string(lines) + " records of 2026-12-07 stored."));
}

TEST_F(CliDownload, CtrlCKeepsWholeLinesAndSaysHowManyOfWhichDay)
{
    ASSERT_TRUE(sim.Start({"--records", "9999"}));
    TCliRun run(Download("2026-12-07", "2026-12-08"));
    ASSERT_TRUE(FileGrows(InFolder("26_12_07.txt"), 100 * 51));
    run.Process().Send(platform::ChildProcess::Signal::Interrupt);
    const TCliResult result = run.Finish();
    EXPECT_EQ(result.Exit, 130);
    const int lines = WholeLinesOf(ReadFileBytes(InFolder("26_12_07.txt")), DayOfRecords({2026, 12, 7}, 9999));
    EXPECT_GE(lines, 100);
    EXPECT_LT(lines, 9999);
    EXPECT_TRUE(Contains(result.Err, "Interrupted: " + std::to_string(lines) + " records of 2026-12-07 stored."));
    EXPECT_FALSE(std::filesystem::exists(InFolder("26_12_08.txt"))) << "the next day was asked for";
}

TEST_F(CliDownload, APulledDeviceKeepsWholeLinesAndExitsWithTwo)
{
    ASSERT_TRUE(sim.Start({"--records", "9999"}));
    TCliRun run(Download("2026-12-07"));
    ASSERT_TRUE(FileGrows(InFolder("26_12_07.txt"), 100 * 51));
    const std::string comName = sim.ComName();
    sim.Kill();
    const TCliResult result = run.Finish();
    EXPECT_EQ(result.Exit, 2) << result.Err;
    const int lines = WholeLinesOf(ReadFileBytes(InFolder("26_12_07.txt")), DayOfRecords({2026, 12, 7}, 9999));
    EXPECT_TRUE(Contains(result.Err, "The device on " + comName + " has gone"));
    EXPECT_EQ(result.Out, "2026-12-07: " + std::to_string(lines) + " records stored in " + InFolder("26_12_07.txt") +
                              " (incomplete)\n");
    EXPECT_TRUE(Contains(result.Err, std::to_string(lines) + " records of 2026-12-07 stored."));
}

}  // namespace
