#pragma once
// A line the device sends: body, the body's frame checksum as four upper-case
// hex digits, CR, LF.

#include <string>

namespace sim {

std::string ReplyLine(const std::string& body);
// The same line with a checksum that does not match its body.
std::string ReplyLineWithBadChecksum(const std::string& body);

// The texts the device answers besides clock and records.
namespace reply {
inline constexpr const char* kClockSet = "OK 81";
inline constexpr const char* kConfigStored = "OK 85";
inline constexpr const char* kBadChecksum = "ERR CHECKSUM";
inline constexpr const char* kUnknownCommand = "ERR COMMAND";
inline constexpr const char* kBadFrame = "ERR FRAME";   // framing, length or non-digit fields
inline constexpr const char* kBadDate = "ERR DATE";     // no such date or time
inline constexpr const char* kNoRecord = "ERR RECORD";  // no such measurement number
}  // namespace reply

}  // namespace sim
