#include "PtyDevice.h"

#include <atomic>
#include <stdexcept>

#include "platform/PortFolder.h"

namespace {

std::string NextComName()
{
    // Numbers the port-name rule keeps, away from the usual real ports.
    static std::atomic<int> next{20};
    const int n = next++;
    return "COM" + std::to_string(20 + (n - 20) % 200);
}

}  // namespace

PtyDevice::PtyDevice()
{
    if (!pty_.IsOpen()) throw std::runtime_error("no pseudo-terminal");
    std::string error;
    for (int attempt = 0; attempt < 200; ++attempt) {
        comName_ = NextComName();
        if (platform::LinkPort(comName_, pty_.SlavePath(), &error)) return;
    }
    throw std::runtime_error("cannot link a COM name: " + error);
}

PtyDevice::~PtyDevice()
{
    platform::UnlinkPort(comName_);
}

std::string PtyDevice::Receive(std::size_t count, std::chrono::milliseconds timeout)
{
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (out.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        if (pty_.Read(out, static_cast<int>(left.count())) == platform::PseudoTerminal::ReadResult::Closed) break;
    }
    return out;
}

std::string PtyDevice::UnusedComName()
{
    return "COM254";
}
