#pragma once
// Closing a port's handle without letting a driver freeze the caller. After
// a removal some USB-serial drivers block inside CloseHandle, and some never
// complete a pending wait even then; Close and the program's end must still
// finish within a few seconds.

#include <chrono>
#include <memory>

#include "platform/WinApi.h"

// Time limits of Close, a few seconds in all: the event thread's own end
// (mask change, cancel, handle close, each given its grace), the main
// thread's wait for that end, and the close of the handle.
inline constexpr std::chrono::milliseconds kStopGrace{250};
inline constexpr std::chrono::milliseconds kHandleCloseLimit{1000};
inline constexpr std::chrono::milliseconds kThreadEndLimit{2500};

// Closes h on a thread of its own and waits for at most `limit`. Returns
// whether the close has finished; if not, that thread is left to finish it
// whenever the driver lets it.
bool CloseHandleWithin(platform::HANDLE h, std::chrono::milliseconds limit);

// Keeps an object alive until the process ends: what a thread that was given
// up, or a driver that never completed a request, may still use.
void KeepUntilExit(std::shared_ptr<void> object);
