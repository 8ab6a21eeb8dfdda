#pragma once
// Where a serial device learns its modem lines (CTS, DSR, ring, carrier)
// and, where the driver counts them, its line errors. The device holds one
// source and does not know which kind it is:
//
//   KernelModemLines   a tty whose driver has modem lines (TIOCMGET): the
//                      lines are read from the kernel, and where the driver
//                      also counts them (TIOCGICOUNT; 8250/16550 UARTs and
//                      most USB adapters) a waiting thread blocks in
//                      TIOCMIWAIT and reports each change. A driver with
//                      TIOCMGET but without TIOCGICOUNT or TIOCMIWAIT gives
//                      the lines' state but raises no EV_CTS, EV_DSR, EV_RING
//                      or EV_RLSD.
//   VirtualModemLines  a tty without modem lines in the kernel
//                      (pseudo-terminals, ENOTTY/EINVAL for TIOCMGET): the
//                      lines, breaks and line errors come from the port's
//                      lines file (platform/VirtualLines.h), which the
//                      simulator and tests write. A real device whose driver
//                      supports neither TIOCMGET nor TIOCMIWAIT gets this
//                      source too: its lines read as off and raise no events
//                      unless a lines file is written for its COM name.
//
// Stop() returns only when no wait is left. The kernel source's thread sits
// in TIOCMIWAIT, which no descriptor can wake; it is interrupted with a
// signal (KernelModemLines.cpp says why and how).
//
// All calls but the constructor come with the device mutex held.

#include "platform/WinApi.h"

#include <memory>
#include <string>

namespace platform::detail {

// Events to raise and CE_* flags to record.
struct LineChange {
    DWORD events = 0;
    DWORD errors = 0;
};

class ModemLineSource {
public:
    virtual ~ModemLineSource() = default;

    // MS_* bits now, or the Windows code that says why they cannot be read.
    virtual DWORD Status(DWORD& bits) = 0;
    // A descriptor the pump polls for POLLIN; -1 when no change is ever
    // reported.
    virtual int ChangeFd() const = 0;
    // After ChangeFd() was readable: what changed since the last call.
    virtual LineChange TakeChanges() = 0;
    // True when the driver counts frame, parity and overrun errors: then
    // they come from TakeLineErrors after each intake, which tells parity
    // from framing where a PARMRK mark cannot.
    virtual bool CountsLineErrors() const = 0;
    virtual LineChange TakeLineErrors(bool parityChecked) = 0;
    // Ends every wait for changes at once; the tty is closed after it.
    virtual void Stop() = 0;
};

enum class ModemLineKind { Kernel, Virtual };
// Which source a tty gets.
ModemLineKind ProbeModemLines(int ttyFd);
// The source for an open tty known as comName ("COM3"). Throws
// std::system_error when its waiting thread cannot be started.
std::unique_ptr<ModemLineSource> MakeModemLineSource(int ttyFd, const std::string& comName);

std::unique_ptr<ModemLineSource> MakeKernelModemLines(int ttyFd);
std::unique_ptr<ModemLineSource> MakeVirtualModemLines(const std::string& comName);

}  // namespace platform::detail
