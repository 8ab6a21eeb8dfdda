#pragma once
// The life of one request to the device, from its frame to its last line.
//
//   sent -> being answered -> answered        (a value, a clock, "OK 81", a day gone quiet)
//   sent -> refused                           (the device answered "ERR ...")
//   sent -> no answer                         (nothing within the answer time)
//   sent | being answered -> cut by a loss    (the device went away)
//   sent | being answered -> cut by a port change

#include <cstdint>

namespace exchange {

enum class TRequestKind : std::uint8_t {
    rkNone,        // nothing asked yet
    rkClockQuery,  // "80": the port choice's and the poll's query
    rkReadValue,   // "60": one record
    rkReadDay,     // "70": every record of a day, into the day file
    rkSetClock,    // "81"
    rkConfigure,   // "85"
};

enum class TRequestState : std::uint8_t {
    rsSent,
    rsBeingAnswered,
    rsAnswered,
    rsRefused,
    rsNoAnswer,
    rsCutByLoss,
    rsCutByPortChange,
};

// Whether the request still waits for lines.
inline constexpr bool IsOpen(TRequestState state)
{
    return state == TRequestState::rsSent || state == TRequestState::rsBeingAnswered;
}

// "sent", "being answered", ...: for logs and the command line.
const char* RequestStateName(TRequestState state);

}  // namespace exchange
