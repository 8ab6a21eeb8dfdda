#include "tooling/tty/Termination.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platform {
namespace {

// A self-pipe: the handler may only make async-signal-safe calls, and a pipe
// lets poll() wake on the signal without a polling interval.
int g_pipe[2] = {-1, -1};
volatile std::sig_atomic_t g_requested = 0;
std::atomic<bool> g_installed{false};

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void OnTerminationSignal(int sig)
{
    const int saved = errno;
    if (g_requested) {
        // Asked twice: the program is stuck (say, in a write nobody reads), so
        // the second signal ends it the ordinary way.
        ::signal(sig, SIG_DFL);
        ::raise(sig);
    }
    g_requested = 1;
    const char byte = 1;
    // The pipe is non-blocking: once it holds a byte, further ones may drop.
    [[maybe_unused]] ssize_t n = ::write(g_pipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals()
{
    if (g_installed.exchange(true)) {
        std::fprintf(stderr, "TerminationSignals: only one instance may exist\n");
        std::abort();
    }
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("pipe2");
        std::abort();
    }
    g_requested = 0;
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : kSignals) ::sigaction(sig, &action, nullptr);
    // A reader of our stdout that went away must not kill us before we clean up.
    ::signal(SIGPIPE, SIG_IGN);
}

TerminationSignals::~TerminationSignals()
{
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) ::sigaction(sig, &action, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
    g_installed = false;
}

bool TerminationSignals::Requested() const
{
    return g_requested != 0;
}

bool TerminationSignals::WaitFor(int milliseconds) const
{
    if (Requested()) return true;
    pollfd p{g_pipe[0], POLLIN, 0};
    // EINTR is the signal itself arriving; Requested() then says so.
    ::poll(&p, 1, milliseconds < 0 ? -1 : milliseconds);
    return Requested();
}

int TerminationSignals::Fd() const
{
    return g_pipe[0];
}

}  // namespace platform
