// What the window costs while it only waits. The simulator (qdtr25-sim, a
// separate process) plays the device; the window, offscreen, gets its port
// chosen as the operator does (picked in "Schnittstelle"), then:
//   1. the clock poll runs (one query and one reply a second) for a while;
//   2. "Wert lesen" stops the poll and nothing arrives for as long again.
// For each phase: this process's CPU time as a share of one core, and the
// wake-ups of the port's event thread as the kernel counts them.
//
// Usage: bench_idle_window [--seconds=N] [--smoke]

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QEventLoop>

#include <cstdio>
#include <map>

#include "BenchReport.h"
#include "tooling/testing/ChildProcess.h"
#include "tooling/testing/ProcessStats.h"
#include "tooling/testing/ThreadWakeups.h"
#include "exchange/Checksum.h"
#include "serial/CPort1Settings.h"
#include "ui/Application.h"
#include "ui/SDIMain.h"

namespace {

bool ServeUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// Only Qt's own loop, as the running program would be.
void ServeFor(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
}

struct Phase {
    double cpuShare = 0;  // of one core, in per cent
    std::uint64_t eventThreadWakeups = 0;
    std::uint64_t otherThreadWakeups = 0;  // every thread but the main one and the event thread
    int replies = 0;
};

// The event thread is the one TThread (named so by the platform); the
// main thread is this one.
Phase Measure(int seconds, const std::function<int()>& replies)
{
    const int mainId = platform::CurrentThreadId();
    std::map<int, platform::ThreadWakeups> before;
    for (const auto& t : platform::ReadThreadWakeups()) before[t.id] = t;
    const int repliesBefore = replies();
    const double cpuBefore = platform::ProcessCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    ServeFor(seconds);
    Phase phase;
    phase.cpuShare = (platform::ProcessCpuSeconds() - cpuBefore) * 100.0 / (wall.elapsed() / 1000.0);
    for (const auto& t : platform::ReadThreadWakeups()) {
        if (t.id == mainId) continue;
        const auto b = before.find(t.id);
        const std::uint64_t woke =
            t.voluntary + t.involuntary - (b == before.end() ? 0 : b->second.voluntary + b->second.involuntary);
        (t.name == "TThread" ? phase.eventThreadWakeups : phase.otherThreadWakeups) += woke;
    }
    phase.replies = replies() - repliesBefore;
    return phase;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = bench::SmokeRequested(argc, argv);
    const int seconds = static_cast<int>(bench::LongArg(argc, argv, "seconds", smoke ? 3 : 60));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());

    platform::ChildProcess sim;
    if (!sim.Start(QDTR25_SIM_PATH, {"--port", "auto", "--clock", "pc"},
                   {{"XDG_RUNTIME_DIR", runtimeDir.path().toStdString()}})) {
        std::fprintf(stderr, "bench_idle_window: cannot start the simulator\n");
        return 1;
    }
    const auto announced = sim.ReadLine(10000);
    if (!announced) return 1;
    const std::string comName = announced->substr(0, announced->find(' '));

    TApplication app(argc, argv);
    QPointer<TSDIAppForm> form = new TSDIAppForm();
    form->show();
    auto* port = form->findChild<QComboBox*>(QStringLiteral("Schnittstelle"));
    if (port) {
        // Picked from the list as with the mouse: typing would first complete
        // to the list's first entry, which may be a real port of this machine.
        const int index = port->findText(QString::fromStdString(comName));
        port->setCurrentIndex(index);
        emit port->activated(index);
    }
    const bool wired = ServeUntil([&] { return form->Session().Port().Connected(); }, 5000);
    // Replies seen: each changes the device clock panel.
    int clockUpdates = 0;
    QString lastClock;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString now = form->findChild<QWidget*>(QStringLiteral("Modulzeit"))->property("text").toString();
        if (now != lastClock) ++clockUpdates, lastClock = now;
    });
    watch.start(100);

    Phase polling, quiet;
    if (wired) {
        polling = Measure(seconds, [&] { return clockUpdates; });
        if (auto* mode = form->findChild<QAbstractButton*>(QStringLiteral("Wert_lesen")))
            QTest::mouseClick(mode, Qt::LeftButton);
        ServeFor(1);  // a reply still under way
    }
    watch.stop();
    quiet = Measure(seconds, [] { return 0; });
    delete form.data();
    sim.Send(platform::ChildProcess::Signal::Terminate);
    sim.Wait(10000);

    std::printf("idle window, %d s per phase: with poll %.3f %% CPU, event thread woke %llu times, other threads "
                "%llu, clock panel changed %d times; without poll %.3f %% CPU, event thread woke %llu times, other "
                "threads %llu%s\n",
                seconds, polling.cpuShare, static_cast<unsigned long long>(polling.eventThreadWakeups),
                static_cast<unsigned long long>(polling.otherThreadWakeups), polling.replies, quiet.cpuShare,
                static_cast<unsigned long long>(quiet.eventThreadWakeups),
                static_cast<unsigned long long>(quiet.otherThreadWakeups),
                wired ? "" : " (port not opened: the window's port selection is not wired yet)");
    if (!wired) {
        // Until the window opens its port, the same two phases on CPort1
        // with the poll's tick (purge, write the query) done by a timer here,
        // beside the idle window.
        platform::ChildProcess portSim;
        if (!portSim.Start(QDTR25_SIM_PATH, {"--port", comName, "--clock", "pc"},
                           {{"XDG_RUNTIME_DIR", runtimeDir.path().toStdString()}}) ||
            !portSim.ReadLine(10000))
            return 1;
        QPointer<TSDIAppForm> idleForm = new TSDIAppForm();
        idleForm->show();
        TComPort port;
        LoadCPort1Settings(port);
        port.SetPortNum(comName);
        int replies = 0;
        port.SetOnRxFlag([&](TObject*) {
            std::string data;
            port.ReadText(data, port.BytesWaiting());
            ++replies;
        });
        port.Open();
        const std::string query = "\x02"
                                  "80" +
                                  ChecksumText(GetChecksumme("80", 2)) + "\x03\r";
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            port.PurgeQueues(true, true);
            port.WriteText(query);
        });
        poll.start(1000);
        const Phase portPolling = Measure(seconds, [&] { return replies; });
        poll.stop();
        ServeFor(1);
        const Phase portQuiet = Measure(seconds, [&] { return replies; });
        port.Close();
        delete idleForm.data();
        portSim.Send(platform::ChildProcess::Signal::Terminate);
        portSim.Wait(10000);
        std::printf("port level beside the idle window: with poll %.3f %% CPU, event thread woke %llu times for %d "
                    "replies, other threads %llu; without poll %.3f %% CPU, event thread woke %llu times, other "
                    "threads %llu\n",
                    portPolling.cpuShare, static_cast<unsigned long long>(portPolling.eventThreadWakeups),
                    portPolling.replies, static_cast<unsigned long long>(portPolling.otherThreadWakeups),
                    portQuiet.cpuShare, static_cast<unsigned long long>(portQuiet.eventThreadWakeups),
                    static_cast<unsigned long long>(portQuiet.otherThreadWakeups));
        bench::Report({"idle CPU with clock poll, port level (window not wired)",
                       bench::Fixed(portPolling.cpuShare, 3) + " %", "—", "—", "≤ 0.5 % of one core",
                       portPolling.cpuShare <= 0.5});
        bench::Report({"idle CPU without poll, port level", bench::Fixed(portQuiet.cpuShare, 3) + " %", "—", "—",
                       "≤ 0.1 % of one core", portQuiet.cpuShare <= 0.1});
        bench::Report({"event thread wake-ups while nothing arrives, port level",
                       std::to_string(portQuiet.eventThreadWakeups),
                       std::to_string(portPolling.eventThreadWakeups) + " with poll (" +
                           std::to_string(portPolling.replies) + " replies)",
                       "—", "0", portQuiet.eventThreadWakeups == 0});
        return 0;
    }
    bench::Report({"idle CPU with clock poll (" + std::to_string(seconds) + " s)",
                   bench::Fixed(polling.cpuShare, 3) + " %", "—", "—", "≤ 0.5 % of one core", polling.cpuShare <= 0.5});
    bench::Report({"idle CPU without poll (" + std::to_string(seconds) + " s)", bench::Fixed(quiet.cpuShare, 3) + " %",
                   "—", "—", "≤ 0.1 % of one core", quiet.cpuShare <= 0.1});
    bench::Report({"event thread wake-ups while nothing arrives", std::to_string(quiet.eventThreadWakeups),
                   std::to_string(polling.eventThreadWakeups) + " with poll", "—", "0", quiet.eventThreadWakeups == 0});
    return 0;
}
