#include "ui/PortRecovery.h"

#include "serial/CPort.h"

bool DeviceGone(TComPort& port)
{
    if (!port.Connected()) return false;
    // The modem status is a call without side effects on the line that the
    // platform refuses once the device has gone; reads and the input count
    // would still succeed while bytes received before the loss remain.
    try {
        port.ModemSignals();
    } catch (const EComPort& error) {
        return DeviceHasGone(error);
    }
    return false;
}

void CloseIfDeviceGone(TComPort& port)
{
    if (DeviceGone(port)) port.Close();
}
