#pragma once
// Makes the emulated serial driver of this process act out Windows' drivers,
// for tests and benchmarks of what the serial component does on a real PC.
// Each is undone when its object goes out of scope; they apply to every port
// of the process.

#include "platform/WinApi.h"

namespace platform {

// After a device has gone, every call on its handle but CloseHandle fails
// with `code` (as USB-serial drivers do with 5, 21, 22, 31, 1167 or 1617),
// PurgeComm, SetCommMask and ClearCommError included, and pending waits,
// reads and writes end with ERROR_OPERATION_ABORTED.
class ScopedStrictLoss {
public:
    explicit ScopedStrictLoss(DWORD code);
    ~ScopedStrictLoss();
    ScopedStrictLoss(const ScopedStrictLoss&) = delete;
    ScopedStrictLoss& operator=(const ScopedStrictLoss&) = delete;
};

// The next `count` waits for line events end at once with `code` although
// the device is still there (wine on a pseudo-terminal: 995, every time;
// ERROR_SUCCESS: successfully, with no event).
class ScopedFailingWaits {
public:
    ScopedFailingWaits(DWORD code, long count);
    ~ScopedFailingWaits();
    ScopedFailingWaits(const ScopedFailingWaits&) = delete;
    ScopedFailingWaits& operator=(const ScopedFailingWaits&) = delete;
};

// A pending wait for line events that a mask change does not end: only
// CancelIoEx does (`endsOnCancel`), or not even that nor the device's loss,
// and only closing the handle ends it (a driver that completes it only at
// cleanup).
class ScopedHeldWaits {
public:
    explicit ScopedHeldWaits(bool endsOnCancel);
    ~ScopedHeldWaits();
    ScopedHeldWaits(const ScopedHeldWaits&) = delete;
    ScopedHeldWaits& operator=(const ScopedHeldWaits&) = delete;
};

// A driver that never completes a pending wait for line events, not on a
// mask change, CancelIoEx, the loss or even CloseHandle (reported for some
// USB-serial bridges). When the object goes, every such wait completes at
// last, aborted: it writes into its record and event mask and sets its
// event, as such a driver may at any later time.
class ScopedNeverEndingWaits {
public:
    ScopedNeverEndingWaits();
    ~ScopedNeverEndingWaits();
    ScopedNeverEndingWaits(const ScopedNeverEndingWaits&) = delete;
    ScopedNeverEndingWaits& operator=(const ScopedNeverEndingWaits&) = delete;
};

// A driver whose CloseHandle of a port blocks (reported after a removal):
// every such close waits until the object goes.
class ScopedBlockingClose {
public:
    ScopedBlockingClose();
    ~ScopedBlockingClose();
    ScopedBlockingClose(const ScopedBlockingClose&) = delete;
    ScopedBlockingClose& operator=(const ScopedBlockingClose&) = delete;
};

}  // namespace platform
