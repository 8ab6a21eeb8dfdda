#include "platform/linux/Termios2.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace platform::detail {

int ApplyTermios(int fd, const TermiosSettings& s)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) < 0) return errno;
    t.c_iflag = s.iflag;
    t.c_oflag = s.oflag;
    t.c_lflag = s.lflag;
    // Input rate follows the output rate when CIBAUD is 0.
    t.c_cflag = (s.cflag & ~(CBAUD | CIBAUD)) | BOTHER;
    t.c_ispeed = s.baudRate;
    t.c_ospeed = s.baudRate;
    t.c_cc[VMIN] = s.vmin;
    t.c_cc[VTIME] = s.vtime;
    t.c_cc[VSTART] = s.vstart;
    t.c_cc[VSTOP] = s.vstop;
    if (ioctl(fd, TCSETS2, &t) < 0) return errno;
    return 0;
}

std::uint32_t CurrentBaudRate(int fd)
{
    struct termios2 t {};
    if (ioctl(fd, TCGETS2, &t) < 0) return 0;
    return t.c_ospeed;
}

}  // namespace platform::detail
