#pragma once
// Test seam: the number of serial-device calls made by this process
// (CreateFile, SetupComm, SetComm*, PurgeComm, ClearCommError, ...). Lets
// tests see that a setter made no platform call; it is an observation
// point, not a mock. Nothing in the product reads it.

#include <cstdint>

namespace platform {

std::uint64_t CommCallCount();

}  // namespace platform
