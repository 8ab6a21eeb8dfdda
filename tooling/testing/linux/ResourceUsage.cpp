#include "tooling/testing/ResourceUsage.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace platform {

ResidentMemory ReadResidentMemory()
{
    ResidentMemory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        std::istringstream fields(line);
        std::string key;
        std::uint64_t kib = 0;
        if (!(fields >> key >> kib)) continue;
        if (key == "VmRSS:") memory.currentBytes = kib * 1024;
        if (key == "VmHWM:") memory.peakBytes = kib * 1024;
    }
    return memory;
}

bool ResetPeakResident()
{
    // Writing 5 to clear_refs resets the peak resident size (Linux 4.0 on).
    const int fd = ::open("/proc/self/clear_refs", O_WRONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::write(fd, "5", 1) == 1;
    ::close(fd);
    return ok;
}

}  // namespace platform
