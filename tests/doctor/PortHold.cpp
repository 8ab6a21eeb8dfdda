// porthold COMn: holds the port open the way Tornvale does (exclusively,
// through the platform layer) until it is ended, so that tests meet a port
// that another program uses. Prints "held" once the port is open.

#include "platform/WinApi.h"

#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: porthold COMn\n");
        return 2;
    }
    const platform::HANDLE port = platform::CreateFile(argv[1]);
    if (port == platform::INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "porthold: cannot open %s (win error code: %u)\n", argv[1],
                     static_cast<unsigned>(platform::GetLastError()));
        return 1;
    }
    std::printf("held\n");
    std::fflush(stdout);
    for (;;) pause();  // until a signal ends it
}
