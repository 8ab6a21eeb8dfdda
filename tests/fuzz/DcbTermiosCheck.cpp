// Any device control block through the translation to tty settings. Blocks
// the driver would refuse must be refused; the others must carry their
// size, parity, stop bits, rate and software flow exactly, always in raw mode.

#include "FuzzChecks.h"

#include "platform/linux/DcbTermios.h"

#include <termios.h>

namespace fuzzcheck {

void DcbTermios(const std::uint8_t* data, std::size_t size)
{
    using namespace platform;
    Input in(data, size);
    DCB dcb;
    dcb.BaudRate = static_cast<DWORD>(in.Byte()) | static_cast<DWORD>(in.Byte()) << 8 |
                   static_cast<DWORD>(in.Byte()) << 16 | static_cast<DWORD>(in.Byte()) << 24;
    const std::uint8_t flags = in.Byte();
    dcb.fBinary = flags & 1;
    dcb.fParity = flags & 2;
    dcb.fOutxCtsFlow = flags & 4;
    dcb.fOutxDsrFlow = flags & 8;
    dcb.fOutX = flags & 16;
    dcb.fInX = flags & 32;
    dcb.fNull = flags & 64;
    dcb.fErrorChar = flags & 128;
    const std::uint8_t more = in.Byte();
    dcb.fDsrSensitivity = more & 1;
    dcb.fTXContinueOnXoff = more & 2;
    dcb.fAbortOnError = more & 4;
    dcb.fDtrControl = in.Byte() % 5;  // a few out of range on purpose
    dcb.fRtsControl = in.Byte() % 6;
    dcb.ByteSize = in.Byte() % 11;
    dcb.Parity = in.Byte() % 7;
    dcb.StopBits = in.Byte() % 5;
    dcb.XonChar = in.Byte();
    dcb.XoffChar = in.Byte();
    dcb.ErrorChar = in.Byte();
    dcb.EvtChar = in.Byte();

    const bool inRange = dcb.BaudRate != 0 && dcb.ByteSize >= 5 && dcb.ByteSize <= 8 && dcb.Parity <= SPACEPARITY &&
                         dcb.StopBits <= TWOSTOPBITS && dcb.fDtrControl <= DTR_CONTROL_HANDSHAKE &&
                         dcb.fRtsControl <= RTS_CONTROL_TOGGLE && (dcb.StopBits != ONE5STOPBITS || dcb.ByteSize == 5) &&
                         (dcb.StopBits != TWOSTOPBITS || dcb.ByteSize != 5) && dcb.XonChar != dcb.XoffChar;
    const bool valid = detail::IsValidDcb(dcb);
    if (!inRange)
        Require(!valid,
                "a field out of range, stop bits the data bits rule out, or equal flow characters, are refused");
    if (!valid) return;

    const detail::TermiosSettings t = detail::DcbToTermios(dcb);
    static constexpr std::uint32_t kSizes[] = {CS5, CS6, CS7, CS8};
    Require((t.cflag & CSIZE) == kSizes[dcb.ByteSize - 5], "the byte size is kept");
    Require(((t.cflag & PARENB) != 0) == (dcb.Parity != NOPARITY), "parity is on exactly when asked for");
    if (dcb.Parity != NOPARITY) {
        const bool odd = dcb.Parity == ODDPARITY || dcb.Parity == MARKPARITY;
        const bool sticky = dcb.Parity == MARKPARITY || dcb.Parity == SPACEPARITY;
        Require(((t.cflag & PARODD) != 0) == odd, "odd and mark parity set PARODD");
        Require(((t.cflag & CMSPAR) != 0) == sticky, "mark and space parity set CMSPAR");
    }
    Require(((t.cflag & CSTOPB) != 0) == (dcb.StopBits != ONESTOPBIT), "more than one stop bit sets CSTOPB");
    Require((t.cflag & (CREAD | CLOCAL)) == (CREAD | CLOCAL), "the receiver is on and modem lines ignored");
    Require((t.lflag & (ICANON | ECHO | ISIG)) == 0, "raw mode: no line editing, echo or signals");
    Require((t.oflag & OPOST) == 0, "raw mode: output unchanged");
    Require(((t.iflag & INPCK) != 0) == dcb.fParity, "parity checking follows fParity");
    Require((t.iflag & PARMRK) != 0, "errors and breaks are always marked");
    Require(((t.iflag & IXON) != 0) == dcb.fOutX, "XON/XOFF on output follows fOutX");
    Require(((t.iflag & IXOFF) != 0) == dcb.fInX, "XON/XOFF on input follows fInX");
    if (dcb.fOutX || dcb.fInX) Require(t.vstart == dcb.XonChar && t.vstop == dcb.XoffChar, "Xon/Xoff characters");
    Require(t.baudRate == dcb.BaudRate, "the rate is kept exactly");
    Require(t.vmin == 1 && t.vtime == 0, "reads return as soon as a byte is there");
}

}  // namespace fuzzcheck
