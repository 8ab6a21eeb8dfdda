#include "platform/Console.h"

#include <atomic>
#include <csignal>

#include <unistd.h>

namespace platform {

namespace {
std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int)
{
    interrupted.store(true);
}
}  // namespace

void UseUtf8Console() {}

bool StandardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

void CatchInterrupt()
{
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool Interrupted()
{
    return interrupted.load();
}

}  // namespace platform
