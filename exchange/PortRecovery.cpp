#include "exchange/PortRecovery.h"

#include "serial/CPort.h"
#include "serial/PortFailure.h"

bool DeviceGone(TComPort& port)
{
    if (!port.Connected()) return false;
    // Which code a driver gives after a removal is its own choice: any
    // failure since the port was opened is reason enough to open it anew.
    if (port.DeviceLost() || port.FailedSinceOpen()) return true;
    // Nothing has failed yet: ask. The modem status is a call without side
    // effects on the line that the platform refuses once the device has gone.
    try {
        port.ModemSignals();
    } catch (const EComPort& error) {
        return ClassifyPortFailure(error) == TPortFailure::pfDeviceGone;
    }
    return false;
}

void CloseIfDeviceGone(TComPort& port)
{
    if (!DeviceGone(port)) return;
    try {
        port.Close();
    } catch (const EComPort&) {
        // Closed all the same; the failure that made it fail has been shown.
    }
}
