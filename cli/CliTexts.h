#pragma once
// What tornvale-cli says, in German and English, in one table. Texts are
// UTF-8; placeholders %1, %2, ... are filled in order.
//
//   Say(std::cerr, Text(TCliText::ctPortNotOpened, language, {"COM3", reason}));

#include "portlist/CaptionLanguage.h"

#include <vector>
#include <string>

namespace cli {

enum class TCliText {
    ctUsageHint,       // "Try 'tornvale-cli --help'."
    ctUnknownCommand,  // %1 the word
    ctUnknownOption,   // %1 the option, %2 the command
    ctMissingValue,    // %1 the option
    ctRepeatedOption,  // %1 the option
    ctMissingOption,   // %1 the option, %2 the command
    ctNoCommand,
    ctBadPort,         // %1 the text
    ctBadDate,         // %1 the text
    ctBadYear,         // %1 the text
    ctRangeBackwards,  // %1 from, %2 to
    ctBadId,           // %1 the text
    ctBadTime,         // %1 the text
    ctPcOrTime,
    ctNoPorts,
    ctPortListFailed,  // %1 the system's reason
    ctPortNotOpened,   // %1 COM name, %2 the system's reason
    ctPortGone,        // %1 COM name
    ctNoAnswer,        // %1 COM name, %2 seconds
    ctRefused,         // %1 the device's answer
    ctFileNotWritten,  // %1 folder, %2 reason
    ctInterrupted,     // %1 records, %2 day
    ctDeviceClock,
    ctPcClock,
    ctClockSet,  // %1 the time sent, %2 the device's answer
    ctMeasurement,
    ctDateTime,
    ctCounter,
    ctValue,
    ctChecksumBad,  // %1 received, %2 computed
    ctDaySummary,   // %1 day, %2 records, %3 file
    ctDayIncomplete,
    ctDayBadChecksums,  // %1 count
    ctDayNotStored,     // %1 count
    ctDayProgress,      // %1 day, %2 records so far
    ctHelp,
};

int LanguageFromEnvironment();

std::string Text(TCliText text, int language, const std::vector<std::string>& args = {});

}  // namespace cli
