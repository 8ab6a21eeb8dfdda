#pragma once
// How the next reply line is treated. Set by the mode choices, the clock
// poll and the port selection; read by the reply handling.

#include <cstdint>

namespace exchange {

enum class TReplyMode : std::uint8_t {
    rmReading = 0,       // shown and split into the four readout panels
    rmStoredRecord = 1,  // shown and appended to the readout file
    rmDeviceClock = 9,   // shown as the device clock; offers or withdraws "Uhr stellen"
};

}  // namespace exchange
