#include "platform/linux/CommTimeouts.h"

namespace platform::detail {

namespace {
std::uint64_t Total(DWORD multiplier, DWORD constant, DWORD count)
{
    return std::uint64_t{multiplier} * count + constant;
}
}  // namespace

ReadPlan PlanRead(const COMMTIMEOUTS& t, DWORD count)
{
    ReadPlan plan;
    const DWORD m = t.ReadTotalTimeoutMultiplier;
    const DWORD c = t.ReadTotalTimeoutConstant;
    if (t.ReadIntervalTimeout == MAXDWORD) {
        if (m == 0 && c == 0) {
            plan.returnAtOnce = true;
        } else if (m == MAXDWORD && c != MAXDWORD) {
            plan.returnOnFirstByte = true;
            plan.totalMs = c;
        } else if (m != MAXDWORD && c != MAXDWORD) {
            plan.returnOnFirstByte = true;
            plan.totalMs = Total(m, c, count);
        }
        return plan;
    }
    if (m != 0 || c != 0) plan.totalMs = Total(m, c, count);
    if (t.ReadIntervalTimeout != 0) plan.intervalMs = t.ReadIntervalTimeout;
    return plan;
}

std::optional<std::uint64_t> PlanWrite(const COMMTIMEOUTS& t, DWORD count)
{
    if (t.WriteTotalTimeoutMultiplier == 0 && t.WriteTotalTimeoutConstant == 0) return std::nullopt;
    return Total(t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant, count);
}

}  // namespace platform::detail
