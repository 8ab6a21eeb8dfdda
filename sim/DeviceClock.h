#pragma once
// The device's running clock: a set date and time that advances with a
// monotonic time source, so changing the PC's clock does not move it.

#include <chrono>
#include <functional>

#include "sim/DateTime.h"

namespace sim {

class DeviceClock {
public:
    using TimeSource = std::function<std::chrono::steady_clock::time_point()>;

    // Starts at `start` and runs. Tests pass their own time source.
    explicit DeviceClock(const DateTime& start, TimeSource now = std::chrono::steady_clock::now);

    // Sets the clock; it runs on from there. `t` must be valid.
    void Set(const DateTime& t);
    DateTime Now() const;

private:
    TimeSource now_;
    std::int64_t setSeconds_;
    std::chrono::steady_clock::time_point setAt_;
};

}  // namespace sim
