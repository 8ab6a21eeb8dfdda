#include "exchange/PortRecovery.h"

#include "serial/CPort.h"
#include "serial/PortFailure.h"

bool DeviceGone(TComPort& port)
{
    if (!port.Connected()) return false;
    if (port.DeviceLost()) return true;
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
    if (DeviceGone(port)) port.Close();
}
