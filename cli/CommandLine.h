#pragma once
// tornvale-cli's command line, read and checked before anything is sent: a
// request the device can be asked, or the reason there is none.
//
//   TParsed parsed = ParseCommandLine({"read", "--port", "COM3", "--date", "2026-12-07", "--id", "42"});
//   if (parsed.Error) { print it; return kExitUsage; }

#include "cli/CliTexts.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cli {

enum class TCliCommand { ccHelp, ccVersion, ccPorts, ccClock, ccSetClock, ccRead, ccDownload };

// A day in the calendar the device can store (2000 to 2099).
struct TDay {
    int Year = 0;  // full year
    int Month = 0;
    int Day = 0;

    auto operator<=>(const TDay&) const = default;
};

// The day after `day`.
TDay NextDay(TDay day);
// "2026-12-07"
std::string IsoText(TDay day);

// A device clock time, "yy.mm.dd hh:mm:ss" read into its parts.
struct TClockTime {
    int Year = 0;  // two digits, 0 to 99
    int Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};

struct TCliRequest {
    TCliCommand Command = TCliCommand::ccHelp;
    bool Json = false;
    std::string Port;                    // canonical, "COM3"
    bool FromPc = false;                 // set-clock --pc
    std::optional<TClockTime> Time;      // set-clock --time
    TDay Date;                           // read, download
    TDay To;                             // download: the last day (Date when not given)
    int Id = 0;                          // read
    std::filesystem::path Folder = ".";  // download
};

struct TUsageError {
    TCliText Text;
    std::vector<std::string> Args;
};

struct TParsed {
    TCliRequest Request;
    std::optional<TUsageError> Error;
};

// The arguments after the program's name.
TParsed ParseCommandLine(const std::vector<std::string>& args);

// "yy.mm.dd hh:mm:ss" with a date in the calendar and a time of day; none otherwise.
std::optional<TClockTime> ReadClockTime(const std::string& text);

}  // namespace cli
