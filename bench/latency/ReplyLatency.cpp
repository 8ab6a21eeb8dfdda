// How long a reply line takes from the device writing its LF into the pty
// to the device session's word that it has handled it, through CPort1 as the
// window uses it: the pump, the event thread's wait, the hidden-window
// delivery under smWindowSync, served by the plain main-thread loop, and the
// session reading the bytes and taking the line apart.
//
// Baseline in the same run: a bare thread blocked in poll() on the same kind
// of pty that hands each line to the waiting main thread.
//
// Usage: bench_latency [--replies=N] [--smoke]

#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "BenchReport.h"
#include "exchange/DeviceSession.h"
#include "platform/MainThread.h"
#include "tooling/testing/PlainTtyIo.h"
#include "platform/PortFolder.h"
#include "tooling/tty/Pty.h"
#include "serial/CPort.h"

namespace {

using Clock = std::chrono::steady_clock;
const std::string kReply = "0001;07.12.2026 00:15:00;0000012345;00012.345ABCD\r\n";

// The device: writes one reply, waits until the receiving side has finished
// with it, and records how long that took.
class PingPongDevice {
public:
    explicit PingPongDevice(platform::PseudoTerminal& pty) : pty_(pty) {}

    void Run(int replies, int warmup)
    {
        thread_ = std::thread([this, replies, warmup] {
            for (int i = 0; i < warmup + replies; ++i) {
                const auto sent = Clock::now();
                if (!pty_.WriteAll(kReply)) break;
                std::unique_lock lock(mutex_);
                if (!done_.wait_for(lock, std::chrono::seconds(10), [&] { return finished_; })) break;
                finished_ = false;
                if (i >= warmup) samplesUs_.push_back(std::chrono::duration<double, std::micro>(end_ - sent).count());
            }
            over_ = true;
        });
    }
    // Called by the receiver at the end of its handler.
    void Finished()
    {
        const auto now = Clock::now();
        {
            std::lock_guard lock(mutex_);
            end_ = now;
            finished_ = true;
        }
        done_.notify_one();
    }
    bool Over() const { return over_; }
    std::vector<double> Join()
    {
        thread_.join();
        return samplesUs_;
    }

private:
    platform::PseudoTerminal& pty_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    Clock::time_point end_;
    std::vector<double> samplesUs_;
    std::atomic<bool> over_{false};
};

std::vector<double> MeasurePort(int replies, int warmup)
{
    platform::PseudoTerminal pty;
    const std::string comName = "COM" + std::to_string(platform::FirstFreeComNumber());
    if (!pty.IsOpen() || !platform::LinkPort(comName, pty.SlavePath())) return {};

    std::vector<double> samples;
    {
        exchange::TDeviceSession session;
        PingPongDevice device(pty);
        std::size_t handled = 0;
        int lineSerial = 0;
        session.SetListener([&] {
            if (session.View().LineSerial == lineSerial) return;
            lineSerial = session.View().LineSerial;
            handled += !session.View().Rueckgabe.empty();
            device.Finished();
        });
        session.OpenPort(comName);  // its clock query goes unanswered: each line is shown, as nobody asked
        lineSerial = session.View().LineSerial;
        device.Run(replies, warmup);
        platform::MainQueue::RunUntil([&] { return device.Over(); }, std::chrono::minutes(10));
        samples = device.Join();
        session.Port().Close();
        if (handled != static_cast<std::size_t>(replies + warmup))
            std::fprintf(stderr, "port: %zu of %d replies handled\n", handled, replies + warmup);
    }
    platform::UnlinkPort(comName);
    return samples;
}

std::vector<double> MeasureBarePoll(int replies, int warmup)
{
    platform::PseudoTerminal pty;
    platform::PollLineReader reader(pty.SlavePath());
    if (!pty.IsOpen() || !reader.IsOpen()) return {};
    PingPongDevice device(pty);
    device.Run(replies, warmup);
    while (!device.Over()) {
        const std::optional<std::string> line = reader.Next(std::chrono::milliseconds(100));
        if (!line) continue;
        device.Finished();
    }
    return device.Join();
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = bench::SmokeRequested(argc, argv);
    const int replies = static_cast<int>(bench::LongArg(argc, argv, "replies", smoke ? 500 : 10000));
    const int warmup = smoke ? 50 : 500;

    QTemporaryDir runtimeDir;  // a private port folder
    if (!runtimeDir.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    platform::MainQueue::BindToCurrentThread();

    // Alternate the two, so that a change in the machine's load hits both.
    std::vector<double> port, bare;
    const int rounds = 4;
    for (int r = 0; r < rounds; ++r) {
        const auto p = MeasurePort(replies / rounds, warmup);
        const auto b = MeasureBarePoll(replies / rounds, warmup);
        port.insert(port.end(), p.begin(), p.end());
        bare.insert(bare.end(), b.begin(), b.end());
    }
    if (port.size() != static_cast<std::size_t>(replies / rounds * rounds) || bare.size() != port.size()) {
        std::fprintf(stderr, "bench_latency: measured %zu port and %zu baseline replies of %d\n", port.size(),
                     bare.size(), replies);
        return 1;
    }

    std::printf("reply latency over %zu replies (µs): port p50 %.1f p90 %.1f p99 %.1f max %.1f; "
                "bare poll() p50 %.1f p90 %.1f p99 %.1f max %.1f\n",
                port.size(), bench::Percentile(port, 50), bench::Percentile(port, 90), bench::Percentile(port, 99),
                bench::Percentile(port, 100), bench::Percentile(bare, 50), bench::Percentile(bare, 90),
                bench::Percentile(bare, 99), bench::Percentile(bare, 100));
    const double p50 = bench::Percentile(port, 50), b50 = bench::Percentile(bare, 50);
    const double p99 = bench::Percentile(port, 99), b99 = bench::Percentile(bare, 99);
    bench::Report({"reply latency p50 (" + std::to_string(port.size()) + " replies)", bench::Fixed(p50, 1) + " µs",
                   bench::Fixed(b50, 1) + " µs", bench::Fixed(p50 / b50, 2), "≤ 1.5 × baseline", p50 <= 1.5 * b50});
    bench::Report({"reply latency p99", bench::Fixed(p99, 1) + " µs", bench::Fixed(b99, 1) + " µs",
                   bench::Fixed(p99 / b99, 2), "— (reported)", true});
    return 0;
}
