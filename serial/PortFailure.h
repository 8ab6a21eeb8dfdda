#pragma once
// The one reading of a port failure: what the system's error code says about
// the device, whatever driver gave it. The error display, the recovery of a
// port chosen again, the port doctor and the event thread all go by it.

#include <cstdint>

#include "serial/EComPort.h"

enum class TPortFailure {
    pfDeviceGone,      // the device went away under the open port (unplugged, sleep, simulator ended)
    pfInUseOrRefused,  // the port would not open: another program holds it, or this user may not
    pfNoSuchDevice,    // the port would not open: nothing answers to the name
    pfOther,
};

// Code is the component's (ComErrorCode) and tells an open from a call on an
// open handle: the same system code means "refused" at open and "gone" later.
// On an open handle every code a removed USB-serial device is reported with
// counts as gone (1, 2, 5, 6, 21, 22, 31, 121, 1167, 1617), and so does 995: in this
// program nothing but the device's loss and Close aborts a read, a write or a
// purge, and the event thread tells an aborted wait apart itself.
TPortFailure ClassifyPortFailure(std::int32_t Code, std::int32_t WinCode);
TPortFailure ClassifyPortFailure(const EComPort& Error);
