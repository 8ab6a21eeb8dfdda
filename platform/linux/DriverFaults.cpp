#include "platform/linux/DriverFaults.h"

#include <mutex>

namespace platform::detail {

namespace {
std::mutex mutex;
DriverFaults faults;
}  // namespace

void SetDriverFaults(const DriverFaults& chosen)
{
    std::lock_guard lock(mutex);
    faults = chosen;
}

DriverFaults CurrentDriverFaults()
{
    std::lock_guard lock(mutex);
    return faults;
}

DWORD TakeWaitFailure()
{
    std::lock_guard lock(mutex);
    if (faults.waitFailure == 0 || faults.failingWaits <= 0) return 0;
    --faults.failingWaits;
    return faults.waitFailure;
}

}  // namespace platform::detail
