// The CPU time CPort1's event thread uses while every wait for line events
// fails, over a span (10 s; 1 s with --smoke):
//   - aborted at once although the device is there (wine on a pseudo-terminal),
//   - failing at once with another code (reported once, then tried again),
//   - after the device has gone (a strict loss).
// The baseline is the same wait loop on the same port without the pause
// between failures, as the thread ran before it paused.
//
// Usage: bench_failing_wait [--smoke]

#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>
#include <thread>

#include "BenchReport.h"
#include "platform/MainThread.h"
#include "platform/PortFolder.h"
#include "serial/CPort.h"
#include "serial/CPort1Settings.h"
#include "tooling/testing/ProcessStats.h"
#include "tooling/testing/StrictLoss.h"
#include "tooling/testing/ThreadWakeups.h"
#include "tooling/tty/Pty.h"

using namespace platform;

namespace {

double ThreadSeconds(int tid)
{
    for (const auto& t : ThreadCpuTimes())
        if (t.id == tid) return t.seconds;
    return 0;
}

// The kernel id of the port's event thread: the one "TThread" of the process.
int EventThreadId()
{
    for (const auto& t : ThreadCpuTimes())
        if (t.name == "TThread") return t.id;
    return 0;
}

struct Outcome {
    double cpuMs = 0;
    int reports = 0;
};

// CPort1 on the pty under the given faults; `lose` ends the device first.
Outcome MeasurePort(const std::string& comName, PseudoTerminal& pty, std::chrono::seconds span, bool lose)
{
    TComPort port;
    LoadCPort1Settings(port);
    port.SetPortNum(comName);
    port.Open();
    if (lose) pty.CloseMaster();
    Outcome outcome;
    const int tid = EventThreadId();
    const double before = ThreadSeconds(tid);
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
        try {
            MainQueue::RunUntil([&] { return std::chrono::steady_clock::now() >= end; },
                                std::chrono::duration_cast<std::chrono::milliseconds>(span));
        } catch (const EComPort&) {
            ++outcome.reports;  // what the window's error display would show
        }
    }
    outcome.cpuMs = (ThreadSeconds(tid) - before) * 1000.0;
    port.Close();
    return outcome;
}

// The thread's loop without the pause: start a wait, wait for it, collect
// the failure, ask the device, start again.
double MeasureLoopWithoutPause(const std::string& comName, std::chrono::seconds span)
{
    const HANDLE port = CreateFile(comName);
    SetCommMask(port, EV_RXFLAG);
    std::atomic<bool> stop{false};
    std::atomic<int> tid{0};
    std::thread loop([&] {
        tid = CurrentThreadId();
        OVERLAPPED ov{};
        ov.hEvent = CreateEvent(true, false);
        DWORD events = 0;
        while (!stop) {
            if (WaitCommEvent(port, &events, &ov) || GetLastError() == ERROR_IO_PENDING)
                WaitForSingleObject(ov.hEvent, INFINITE);
            DWORD done = 0, errors = 0;
            COMSTAT stat;
            if (!GetOverlappedResult(port, &ov, &done, false)) ClearCommError(port, &errors, &stat);
        }
        CloseHandle(ov.hEvent);
    });
    while (tid == 0) std::this_thread::yield();
    const double before = ThreadSeconds(tid);
    std::this_thread::sleep_for(span);
    const double used = ThreadSeconds(tid) - before;
    stop = true;
    loop.join();
    CloseHandle(port);
    return used * 1000.0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::chrono::seconds span(bench::SmokeRequested(argc, argv) ? 1 : 10);
    QTemporaryDir runtimeDir;  // a private port folder: the user's COM links stay untouched
    if (!runtimeDir.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    MainQueue::BindToCurrentThread();

    const std::string comName = "COM" + std::to_string(FirstFreeComNumber());
    auto linked = [&](PseudoTerminal& pty) {
        std::string error;
        if (pty.IsOpen() && LinkPort(comName, pty.SlavePath(), &error)) return true;
        std::fprintf(stderr, "cannot set up a pseudo-terminal port: %s\n", error.c_str());
        return false;
    };
    constexpr long kEveryWait = std::numeric_limits<long>::max();

    PseudoTerminal pty;
    if (!linked(pty)) return 1;
    Outcome aborted, failing, lost;
    double baseline = 0;
    {
        ScopedFailingWaits waits(ERROR_OPERATION_ABORTED, kEveryWait);
        aborted = MeasurePort(comName, pty, span, false);
        baseline = MeasureLoopWithoutPause(comName, span);
    }
    {
        ScopedFailingWaits waits(ERROR_INVALID_PARAMETER, kEveryWait);
        failing = MeasurePort(comName, pty, span, false);
    }
    {
        ScopedStrictLoss loss(ERROR_DEVICE_NOT_CONNECTED);
        lost = MeasurePort(comName, pty, span, true);
    }
    UnlinkPort(comName);

    const long secs = static_cast<long>(span.count());
    std::printf("event thread CPU over %ld s: waits aborted at once %.1f ms (%d reports), waits failing at once "
                "with 87 %.1f ms (%d reports), device lost (1167) %.1f ms (%d reports); the same loop without "
                "pausing %.1f ms\n",
                secs, aborted.cpuMs, aborted.reports, failing.cpuMs, failing.reports, lost.cpuMs, lost.reports,
                baseline);
    const auto figure = [&](const std::string& name, const Outcome& o, int reports) {
        bench::Report({name + " (" + std::to_string(secs) + " s)", bench::Fixed(o.cpuMs, 1) + " ms",
                       bench::Fixed(baseline, 1) + " ms", bench::Fixed(o.cpuMs / baseline, 4),
                       "≤ 50 ms, " + std::to_string(reports) + " report(s)", o.cpuMs <= 50 && o.reports == reports});
    };
    figure("event thread CPU, every wait aborted at once", aborted, 0);
    figure("event thread CPU, every wait failing at once", failing, 1);
    figure("event thread CPU, device lost", lost, 1);
    return 0;
}
