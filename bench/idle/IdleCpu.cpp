// Opens CPort1 on a pseudo-terminal, leaves it idle for a while and reports
// the CPU time each thread used meanwhile. The event thread (named
// "TThread") should use next to nothing: its waits have no time limit.
//
// Usage: bench_idle [seconds]   (default 10)

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "platform/MainThread.h"
#include "platform/PortFolder.h"
#include "tooling/testing/ProcessStats.h"
#include "tooling/tty/Pty.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;

    // A private port folder, so the user's COM links stay untouched.
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());

    platform::MainQueue::BindToCurrentThread();
    platform::PseudoTerminal pty;
    const std::string comName = "COM" + std::to_string(platform::FirstFreeComNumber());
    std::string error;
    if (!pty.IsOpen() || !platform::LinkPort(comName, pty.SlavePath(), &error)) {
        std::fprintf(stderr, "cannot set up a pseudo-terminal port: %s\n", error.c_str());
        return 1;
    }

    int status = 0;
    {
        TComPort port;
        LoadCPort1Settings(port);
        port.SetPortNum(comName);
        int deliveries = 0;
        port.SetOnRxFlag([&](TObject*) { ++deliveries; });
        port.Open();

        std::map<int, double> before;
        for (const auto& t : platform::ThreadCpuTimes()) before[t.id] = t.seconds;
        const double processBefore = platform::ProcessCpuSeconds();

        platform::MainQueue::RunFor(std::chrono::seconds(seconds));

        const double processUsed = platform::ProcessCpuSeconds() - processBefore;
        std::printf("open idle port %s for %d s\n", comName.c_str(), seconds);
        std::printf("%-8s %-16s %12s\n", "tid", "thread", "cpu ms");
        for (const auto& t : platform::ThreadCpuTimes())
            std::printf("%-8d %-16s %12.1f\n", t.id, t.name.c_str(), (t.seconds - before[t.id]) * 1000.0);
        std::printf("whole process: %.1f ms CPU (%.3f %% of one core), %d deliveries\n", processUsed * 1000.0,
                    processUsed * 100.0 / seconds, deliveries);
        port.Close();
        status = deliveries == 0 ? 0 : 1;
    }
    platform::UnlinkPort(comName);
    return status;
}
