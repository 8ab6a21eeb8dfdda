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

bool TakeWaitFailure(DWORD& code)
{
    std::lock_guard lock(mutex);
    if (faults.failingWaits <= 0) return false;
    --faults.failingWaits;
    code = faults.waitFailure;
    return true;
}

}  // namespace platform::detail
