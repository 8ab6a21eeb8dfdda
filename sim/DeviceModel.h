#pragma once
// What the simulated QD-TR25 holds: its running clock, its stored records and
// the configuration last written to it.

#include <optional>
#include <string>

#include "sim/DeviceClock.h"
#include "sim/Records.h"

namespace sim {

// The fields of a configuration frame, as received.
struct DeviceConfig {
    char decimals = '0';
    std::string memoryId = "000000";  // 6 digits
    std::string counterId = "0000";   // 4 digits
    char summerTime = '0';
    char winterTime = '0';

    bool operator==(const DeviceConfig&) const = default;
};

struct DeviceModel {
    explicit DeviceModel(const DateTime& clockStart, RecordSettings recordSettings = {},
                         DeviceClock::TimeSource now = std::chrono::steady_clock::now)
        : clock(clockStart, std::move(now)), records(recordSettings)
    {
    }

    DeviceClock clock;
    RecordSettings records;
    std::optional<DeviceConfig> config;  // none until a configuration frame arrives
};

}  // namespace sim
