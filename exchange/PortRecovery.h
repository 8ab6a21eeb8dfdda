#pragma once
// A port whose device has gone (adapter unplugged, simulator ended) stays
// open but refuses every transfer; opening it again is a no-op. Choosing the
// port again must reach the device anew, so the port is closed first.

class TComPort;

// True when the port is open and its device has gone: a call on it or its
// event thread found so (TComPort::DeviceLost), or the platform says so now
// (ClassifyPortFailure). A port that is closed, healthy or failing for
// another reason is not gone.
bool DeviceGone(TComPort& port);

// Closes the port when DeviceGone; the next Open then opens the device that
// answers to the port's name now.
void CloseIfDeviceGone(TComPort& port);
