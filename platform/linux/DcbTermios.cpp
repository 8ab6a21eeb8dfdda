#include "platform/linux/DcbTermios.h"

#include <termios.h>

namespace platform::detail {

bool IsValidDcb(const DCB& dcb)
{
    if (dcb.BaudRate == 0) return false;
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8) return false;
    if (dcb.Parity > SPACEPARITY || dcb.StopBits > TWOSTOPBITS) return false;
    // Windows' driver: one and a half stop bits only with 5 data bits, two never with 5.
    if (dcb.StopBits == ONE5STOPBITS && dcb.ByteSize != 5) return false;
    if (dcb.StopBits == TWOSTOPBITS && dcb.ByteSize == 5) return false;
    if (dcb.fDtrControl > DTR_CONTROL_HANDSHAKE || dcb.fRtsControl > RTS_CONTROL_TOGGLE) return false;
    // SetCommState refuses equal flow characters whether or not Xon/Xoff is on.
    if (dcb.XonChar == dcb.XoffChar) return false;
    return true;
}

bool HasInputFlowControl(const DCB& dcb)
{
    return dcb.fRtsControl == RTS_CONTROL_HANDSHAKE || dcb.fInX;
}

TermiosSettings DcbToTermios(const DCB& dcb)
{
    TermiosSettings t;
    t.baudRate = dcb.BaudRate;

    t.cflag = CREAD | CLOCAL | HUPCL;
    switch (dcb.ByteSize) {
    case 5: t.cflag |= CS5; break;
    case 6: t.cflag |= CS6; break;
    case 7: t.cflag |= CS7; break;
    default: t.cflag |= CS8; break;
    }
    switch (dcb.Parity) {
    case ODDPARITY: t.cflag |= PARENB | PARODD; break;
    case EVENPARITY: t.cflag |= PARENB; break;
    case MARKPARITY: t.cflag |= PARENB | PARODD | CMSPAR; break;
    case SPACEPARITY: t.cflag |= PARENB | CMSPAR; break;
    default: break;
    }
    // A UART sends one and a half stop bits for CSTOPB with 5 data bits.
    if (dcb.StopBits != ONESTOPBIT) t.cflag |= CSTOPB;
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) t.cflag |= CRTSCTS;

    t.iflag = PARMRK;
    if (dcb.fParity) t.iflag |= INPCK;
    if (dcb.fOutX) t.iflag |= IXON;
    if (dcb.fInX) t.iflag |= IXOFF;
    t.vstart = dcb.XonChar;
    t.vstop = dcb.XoffChar;

    t.oflag = 0;
    t.lflag = 0;
    t.vmin = 1;  // a larger VMIN delays POLLIN
    t.vtime = 0;

    t.dtr = dcb.fDtrControl == DTR_CONTROL_DISABLE ? LineDrive::Off : LineDrive::On;
    switch (dcb.fRtsControl) {
    case RTS_CONTROL_ENABLE: t.rts = LineDrive::On; break;
    case RTS_CONTROL_HANDSHAKE: t.rts = LineDrive::ByKernel; break;
    default: t.rts = LineDrive::Off; break;
    }
    return t;
}

}  // namespace platform::detail
