#pragma once
// The simulator's command line.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/DateTime.h"

namespace sim {

struct Options {
    // Where the device sits: a new pty linked under a COM name ("COM5", or
    // empty with autoPort for the lowest free one), or an existing tty.
    std::string comName;
    bool autoPort = false;
    std::string ttyPath;

    enum class ClockStart { Reset, Pc, Given };
    ClockStart clockStart = ClockStart::Reset;  // Reset: 00.01.01 00:00:00
    DateTime clockGiven;

    int recordsPerDay = 96;
    std::uint64_t seed = 0;

    int badChecksumEvery = 0;  // 0: never
    int delayMs = 0;
    bool silent = false;
    bool split = false;
    int splitPauseMs = 20;
    std::string logPath;

    bool help = false;
};

struct ParsedOptions {
    std::optional<Options> options;  // set when the command line is valid
    std::string error;               // why it is not
};

// Parses the arguments after the program name. "--name value" and
// "--name=value" are both accepted. Without --port and --tty the port is
// chosen as with --port auto.
ParsedOptions ParseOptions(const std::vector<std::string>& args);

// "COM5" for "com5"; empty for anything the port folder would not list.
std::string NormalComName(const std::string& text);

std::string UsageText();

}  // namespace sim
