#pragma once
// A port whose device has gone (adapter unplugged, simulator ended) stays
// open but refuses every transfer; opening it again is a no-op. Choosing the
// port again must reach the device anew, so the port is closed first.

class TComPort;

// True when the port is open and may have lost its device: a call on it or
// its event thread failed since it was opened, whatever the code
// (TComPort::FailedSinceOpen), or the platform says it is gone now
// (ClassifyPortFailure). A port that is closed, or healthy since its Open,
// is not.
bool DeviceGone(TComPort& port);

// Closes the port when DeviceGone; the next Open then opens the device that
// answers to the port's name now. A failure of that close is not raised: the
// port is closed all the same, and what failed before has been shown.
void CloseIfDeviceGone(TComPort& port);
