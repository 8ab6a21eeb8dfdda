#pragma once
// tornvale-cli run as a user runs it, against qdtr25-sim on a pseudo-terminal
// of the test's private port folder. The simulator logs every frame it
// receives, so a test sees exactly what the command line sent.

#include "exchange/Checksum.h"
#include "sim/Records.h"
#include "tooling/testing/ChildProcess.h"
#include "tests/support/SimulatorProcess.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace cli_test {

inline constexpr int kPatienceMs = 60000;  // sanitizer builds on a busy machine

inline std::string ReadFileBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

inline std::string WithChecksum(const std::string& body)
{
    return body + ChecksumText(GetChecksumme(body, std::int32_t(body.size())));
}

// A frame as the simulator's log writes it: STX, payload, checksum, ETX, CR.
inline std::string LoggedFrame(const std::string& payload)
{
    return "<STX>" + WithChecksum(payload) + "<ETX><CR>";
}
inline const std::string kOpenQueryLogged = "<STX>80<ETX><CR>";

// The lines the simulator sends for a day, as the day file must hold them.
inline std::string DayOfRecords(const sim::DateTime& day, int perDay)
{
    std::string lines;
    for (int n = 1; n <= perDay; ++n) lines += WithChecksum(sim::RecordBody(day, n, {perDay, 0})) + "\r\n";
    return lines;
}

using TSimulator = testsupport::TSimulatorProcess;

using TEnvironment = std::vector<std::pair<std::string, std::string>>;
// The language as a user's locale sets it; the first set of the three decides.
inline const TEnvironment kEnglish = {{"LC_ALL", ""}, {"LC_MESSAGES", ""}, {"LANG", "C.UTF-8"}};
inline const TEnvironment kGerman = {{"LC_ALL", ""}, {"LC_MESSAGES", "de_DE.UTF-8"}, {"LANG", "en_GB.UTF-8"}};

struct TCliResult {
    int Exit = -1;  // -1: did not end by itself
    std::string Out;
    std::string Err;
};

// tornvale-cli started with `args`; Finish() waits for its end.
class TCliRun {
public:
    // Standard error goes to a file of the test, or to `errorPath` (a terminal).
    explicit TCliRun(const std::vector<std::string>& args, const TEnvironment& env = kEnglish,
                     const std::string& program = TORNVALE_CLI_PATH, const std::string& errorPath = {})
    {
        process_.SetErrorFile(errorPath.empty() ? dir_.filePath("stderr").toStdString() : errorPath);
        std::string error;
        if (!process_.Start(program, args, env, &error)) ADD_FAILURE() << "cannot start: " << error;
    }
    platform::ChildProcess& Process() { return process_; }
    std::string ErrorSoFar() const { return ReadFileBytes(dir_.filePath("stderr").toStdString()); }

    TCliResult Finish(int timeoutMs = kPatienceMs)
    {
        TCliResult result;
        const auto status = process_.Wait(timeoutMs);
        if (status && status->exited) result.Exit = status->code;
        while (const auto line = process_.ReadLine(1000)) result.Out += *line + "\n";
        result.Err = ErrorSoFar();
        return result;
    }

private:
    QTemporaryDir dir_;
    platform::ChildProcess process_;
};

inline TCliResult RunCli(const std::vector<std::string>& args, const TEnvironment& env = kEnglish)
{
    return TCliRun(args, env).Finish();
}

inline testing::AssertionResult Contains(const std::string& text, const std::string& part)
{
    if (text.find(part) != std::string::npos) return testing::AssertionSuccess();
    return testing::AssertionFailure() << "'" << part << "' not in:\n" << text;
}

}  // namespace cli_test
