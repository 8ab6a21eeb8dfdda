#include "platform/linux/ModemLineSource.h"

#include <sys/ioctl.h>

#include <cerrno>

namespace platform::detail {

ModemLineKind ProbeModemLines(int ttyFd)
{
    int bits = 0;
    if (ioctl(ttyFd, TIOCMGET, &bits) != 0 && (errno == ENOTTY || errno == EINVAL)) return ModemLineKind::Virtual;
    return ModemLineKind::Kernel;
}

std::unique_ptr<ModemLineSource> MakeModemLineSource(int ttyFd, const std::string& comName)
{
    if (ProbeModemLines(ttyFd) == ModemLineKind::Virtual) return MakeVirtualModemLines(comName);
    return MakeKernelModemLines(ttyFd);
}

}  // namespace platform::detail
