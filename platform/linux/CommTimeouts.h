#pragma once
// The Windows serial driver's time-out rules, in one place. A time-out is
// success with a short count, for reads and writes alike.

#include "platform/WinApi.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace platform::detail {

// How one read of `count` bytes ends, given the time-outs in force when it
// started:
//   ReadInterval / ReadTotalMultiplier / ReadTotalConstant
//   MAXDWORD / 0 / 0          returnAtOnce: whatever is queued, even nothing
//   MAXDWORD / MAXDWORD / c   c < MAXDWORD: returnOnFirstByte, total c
//   MAXDWORD / m / c          m, c < MAXDWORD: returnOnFirstByte, total m*count+c
//   MAXDWORD / any / MAXDWORD no time-out: waits for all `count` bytes
//   Ti / m / c                total m*count+c unless both are 0; interval Ti
//                             (0 = none) re-armed after each byte
struct ReadPlan {
    bool returnAtOnce = false;
    bool returnOnFirstByte = false;
    std::optional<std::uint64_t> totalMs;
    std::optional<std::uint32_t> intervalMs;

    bool operator==(const ReadPlan&) const = default;
};
ReadPlan PlanRead(const COMMTIMEOUTS& t, DWORD count);

// Write deadline in ms: WriteTotalMultiplier*count + WriteTotalConstant;
// none when both are 0.
std::optional<std::uint64_t> PlanWrite(const COMMTIMEOUTS& t, DWORD count);

// The moment ms after now; none for time-outs so long (about 30 years) that
// they never expire, which keeps the arithmetic far from the clock's limits.
inline std::optional<std::chrono::steady_clock::time_point> DeadlineAfter(std::chrono::steady_clock::time_point now,
                                                                          std::uint64_t ms)
{
    constexpr std::uint64_t kNeverMs = 1'000'000'000'000ull;
    if (ms >= kNeverMs) return std::nullopt;
    return now + std::chrono::milliseconds(ms);
}

}  // namespace platform::detail
