#pragma once
// How the emulated serial driver acts where Windows' drivers are harsher
// than the default emulation. Only tests and benchmarks choose these, through
// tooling/testing/StrictLoss.h; the product never does, so it runs with the
// kind defaults below.

#include "platform/WinApi.h"

#include <functional>

namespace platform::detail {

// What ends a pending wait for line events besides the device's loss and
// CloseHandle.
enum class WaitRelease {
    MaskChange,  // SetCommMask, as Windows' own driver does
    Cancel,      // only CancelIoEx: a driver that ignores the mask change
    Cleanup,     // neither, nor the loss: a driver that completes the wait only when the handle closes
    Never,       // not even the close: only ReleaseHeldRequests() completes it, late
};

struct DriverFaults {
    // 0: the kind loss (ERROR_BAD_COMMAND for calls that need the device).
    // Otherwise strict: after the loss every call on the device but
    // CloseHandle fails with this code, and pending operations end with
    // ERROR_OPERATION_ABORTED.
    DWORD lossCode = 0;
    WaitRelease waitRelease = WaitRelease::MaskChange;
    // The next `failingWaits` waits for line events end at once with
    // `waitFailure` while the device is there (wine's pseudo-terminal: 995;
    // ERROR_SUCCESS: with no event).
    DWORD waitFailure = ERROR_SUCCESS;
    long failingWaits = 0;
    // CloseHandle of a port blocks until this turns false again.
    bool closeBlocks = false;
};

void SetDriverFaults(const DriverFaults& faults);
DriverFaults CurrentDriverFaults();
// Counts one failing wait off: false when none is due, else true with the
// code the wait ends with.
bool TakeWaitFailure(DWORD& code);

// Blocks while closes are to block.
void WaitWhileClosesBlock();
// Keeps the completion of a request that outlives its handle (WaitRelease::
// Never); ReleaseHeldRequests runs every kept one.
void HoldRequest(std::function<void()> complete);
void ReleaseHeldRequests();

}  // namespace platform::detail
