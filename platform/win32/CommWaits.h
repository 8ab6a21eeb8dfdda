#pragma once
// What a port's event waits tell about the line. A wait that ends aborted
// although this process changed no mask means the driver cannot wait for
// line events any more (a removed device; wine on a pseudo-terminal, which
// ends every wait at once so). From then on WaitCommEvent fails with
// ERROR_BAD_COMMAND, as after the loss of a device, and an event thread
// sleeps instead of starting a new wait again and again.

#include "platform/WinApi.h"

namespace platform::win32 {

void NoteWaitStarted(HANDLE port, const OVERLAPPED* record);
void NoteMaskChange(HANDLE port);
void NoteWaitFailed(HANDLE port, const OVERLAPPED* record, DWORD error);
bool LineLost(HANDLE port);
void ForgetCommWaits(HANDLE port);

}  // namespace platform::win32
