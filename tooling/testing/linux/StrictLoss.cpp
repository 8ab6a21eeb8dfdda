#include "tooling/testing/StrictLoss.h"

#include "platform/linux/DriverFaults.h"

namespace platform {

namespace {
template <typename Change>
void ChangeFaults(Change change)
{
    detail::DriverFaults faults = detail::CurrentDriverFaults();
    change(faults);
    detail::SetDriverFaults(faults);
}
}  // namespace

ScopedStrictLoss::ScopedStrictLoss(DWORD code)
{
    ChangeFaults([code](detail::DriverFaults& f) { f.lossCode = code; });
}

ScopedStrictLoss::~ScopedStrictLoss()
{
    ChangeFaults([](detail::DriverFaults& f) { f.lossCode = 0; });
}

ScopedFailingWaits::ScopedFailingWaits(DWORD code, long count)
{
    ChangeFaults([&](detail::DriverFaults& f) {
        f.waitFailure = code;
        f.failingWaits = count;
    });
}

ScopedFailingWaits::~ScopedFailingWaits()
{
    ChangeFaults([](detail::DriverFaults& f) {
        f.waitFailure = ERROR_SUCCESS;
        f.failingWaits = 0;
    });
}

ScopedHeldWaits::ScopedHeldWaits(bool endsOnCancel)
{
    ChangeFaults([endsOnCancel](detail::DriverFaults& f) {
        f.waitRelease = endsOnCancel ? detail::WaitRelease::Cancel : detail::WaitRelease::Cleanup;
    });
}

ScopedHeldWaits::~ScopedHeldWaits()
{
    ChangeFaults([](detail::DriverFaults& f) { f.waitRelease = detail::WaitRelease::MaskChange; });
}

ScopedNeverEndingWaits::ScopedNeverEndingWaits()
{
    ChangeFaults([](detail::DriverFaults& f) { f.waitRelease = detail::WaitRelease::Never; });
}

ScopedNeverEndingWaits::~ScopedNeverEndingWaits()
{
    ChangeFaults([](detail::DriverFaults& f) { f.waitRelease = detail::WaitRelease::MaskChange; });
    detail::ReleaseHeldRequests();
}

ScopedBlockingClose::ScopedBlockingClose()
{
    ChangeFaults([](detail::DriverFaults& f) { f.closeBlocks = true; });
}

ScopedBlockingClose::~ScopedBlockingClose()
{
    ChangeFaults([](detail::DriverFaults& f) { f.closeBlocks = false; });
}

}  // namespace platform
