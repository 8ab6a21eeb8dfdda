#include "platform/linux/DriverFaults.h"

#include <condition_variable>
#include <mutex>
#include <vector>

namespace platform::detail {

namespace {
std::mutex mutex;
std::condition_variable changed;
DriverFaults faults;
std::vector<std::function<void()>> held;
}  // namespace

void SetDriverFaults(const DriverFaults& chosen)
{
    std::lock_guard lock(mutex);
    faults = chosen;
    changed.notify_all();
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

void WaitWhileClosesBlock()
{
    std::unique_lock lock(mutex);
    changed.wait(lock, [] { return !faults.closeBlocks; });
}

void HoldRequest(std::function<void()> complete)
{
    std::lock_guard lock(mutex);
    held.push_back(std::move(complete));
}

void ReleaseHeldRequests()
{
    std::vector<std::function<void()>> due;
    {
        std::lock_guard lock(mutex);
        due.swap(held);
    }
    for (const auto& complete : due) complete();
}

}  // namespace platform::detail
