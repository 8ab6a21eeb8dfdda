// porthold COMn: holds the port open the way Tornvale does (exclusively,
// through the platform layer), so that tests meet a port that another program
// uses. Prints "held" once the port is open. SIGTERM or SIGINT end it as a
// program ends normally, closing the port; SIGKILL leaves the port as a
// crash leaves it.

#include "platform/WinApi.h"
#include "tooling/tty/Termination.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: porthold COMn\n");
        return 2;
    }
    const platform::TerminationSignals stop;  // before the open: an early signal still closes the port
    const platform::HANDLE port = platform::CreateFile(argv[1]);
    if (port == platform::INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "porthold: cannot open %s (win error code: %u)\n", argv[1],
                     static_cast<unsigned>(platform::GetLastError()));
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    stop.WaitFor(-1);
    return platform::CloseHandle(port) ? 0 : 1;
}
