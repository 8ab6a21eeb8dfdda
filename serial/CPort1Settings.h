#pragma once
// The stored configuration of the main window's port CPort1: the device's
// line (57600 baud, 8N1, no flow control, DTR and RTS off), LF as event
// character, only that event, delivered through the hidden window, reads that
// return at once and writes given 1000 ms per byte plus 1000 ms.

#include "serial/CPort.h"

// Sets every stored property of CPort1 on Port, in the stored order. The
// reply handler (OnRxFlag) is bound by the window that owns the port.
void LoadCPort1Settings(TComPort& Port);
