#include "sim/DeviceClock.h"

namespace sim {

DeviceClock::DeviceClock(const DateTime& start, TimeSource now) : now_(std::move(now))
{
    Set(start);
}

void DeviceClock::Set(const DateTime& t)
{
    setSeconds_ = ToSeconds(t);
    setAt_ = now_();
}

DateTime DeviceClock::Now() const
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now_() - setAt_).count();
    return FromSeconds(setSeconds_ + elapsed);
}

}  // namespace sim
