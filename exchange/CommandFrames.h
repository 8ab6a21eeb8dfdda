#pragma once
// The command templates and the clock queries.
//
//   caption = CommandTemplate(TCommand::cmReadValue);   // STX "6000_00_000000" ETX
//   port.WriteText(ClockQueryFrame());                  // STX "806412" ETX CR

#include <string>

namespace exchange {

enum class TCommand {
    cmReadValue,   // "60": one value by date and measurement ID
    cmReadDay,     // "70": the stored records of one day
    cmSetClock,    // "81": set the device clock
    cmConfigure,   // "85": write the device configuration
    cmClockQuery,  // "80": ask for the device clock
};

// The text between STX and ETX, e.g. "7000_00_00".
const std::string& TemplatePayload(TCommand command);

// The unedited frame as the frame label holds it: STX + payload + ETX.
std::string CommandTemplate(TCommand command);

// "806412": the clock query's payload with its checksum, as the poll shows it.
std::string ClockQueryText();

// STX "806412" ETX CR: what each tick of the clock poll writes.
std::string ClockQueryFrame();

// STX "80" ETX CR, without checksum: what the port selection writes.
std::string PlainClockQueryFrame();

}  // namespace exchange
