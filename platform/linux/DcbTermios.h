#pragma once
// The translation of a device control block into the tty configuration that
// puts it into force. A pure function, so the mapping is checked without a port.

#include "platform/WinApi.h"

#include <cstdint>

namespace platform::detail {

// How a modem output line is driven after SetCommState.
enum class LineDrive : std::uint8_t {
    Off,       // cleared (TIOCMBIC)
    On,        // raised (TIOCMBIS)
    ByKernel,  // left to the kernel's hardware handshake (CRTSCTS)
};

// termios flags with the values of <termios.h>; cflag carries no rate bits,
// the rate travels separately and is set exactly (BOTHER).
struct TermiosSettings {
    std::uint32_t iflag = 0;
    std::uint32_t oflag = 0;
    std::uint32_t cflag = 0;
    std::uint32_t lflag = 0;
    std::uint8_t vmin = 1;
    std::uint8_t vtime = 0;
    std::uint8_t vstart = 0;
    std::uint8_t vstop = 0;
    std::uint32_t baudRate = 0;
    LineDrive dtr = LineDrive::Off;
    LineDrive rts = LineDrive::Off;

    bool operator==(const TermiosSettings&) const = default;
};

// False for a block the driver refuses with ERROR_INVALID_PARAMETER: rate 0,
// ByteSize outside 5..8, a parity, stop-bit, DTR or RTS code out of range,
// 1.5 stop bits with other than 5 data bits, 2 stop bits with 5, or equal Xon
// and Xoff characters (also while Xon/Xoff flow is off).
bool IsValidDcb(const DCB& dcb);

// Raw mode always; PARMRK always (breaks arrive as FF 00 00 and a literal FF
// as FF FF), INPCK only with fParity. DTR handshake has no kernel support and
// holds DTR on; RTS toggle holds RTS off; DSR flow and sensitivity,
// TXContinueOnXoff and the Xon/Xoff limits have no termios counterpart.
TermiosSettings DcbToTermios(const DCB& dcb);

// Whether a full input queue should stop reading (so the kernel throttles the
// peer through RTS or XOFF) instead of dropping bytes.
bool HasInputFlowControl(const DCB& dcb);

}  // namespace platform::detail
