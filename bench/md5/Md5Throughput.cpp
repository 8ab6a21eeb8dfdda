// The window's MD5 function over a large file (1 GiB, made here in a
// temporary folder and removed after) against md5sum in the same run, both
// reading from the page cache, and the peak memory the window's digest adds.
//
// Usage: bench_md5 [--mib=N] [--smoke]

#include <QApplication>
#include <QPointer>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

#include "BenchReport.h"
#include "tooling/testing/ChildProcess.h"
#include "tooling/testing/ResourceUsage.h"
#include "ui/Application.h"
#include "ui/SDIMain.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr double kMiB = 1024.0 * 1024.0;

bool MakeFile(const std::string& path, long mib)
{
    std::ofstream out(path, std::ios::binary);
    std::vector<std::uint64_t> block(1 << 17);  // 1 MiB of xorshift noise
    std::uint64_t x = 0x9E3779B97F4A7C15ull;
    for (long i = 0; i < mib && out; ++i) {
        for (auto& word : block) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            word = x;
        }
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(block.size() * 8));
    }
    return static_cast<bool>(out);
}

// md5sum's digest (upper case) and its wall time, or an empty digest.
std::pair<std::string, double> RunMd5sum(const std::string& path)
{
    platform::ChildProcess child;
    const auto start = Clock::now();
    if (!child.Start("/usr/bin/md5sum", {path})) return {};
    const auto line = child.ReadLine(10 * 60 * 1000);
    child.Wait(60 * 1000);
    const double seconds = bench::SecondsSince(start);
    if (!line || line->size() < 32) return {};
    std::string digest = line->substr(0, 32);
    for (char& c : digest) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return {digest, seconds};
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = bench::SmokeRequested(argc, argv);
    const long mib = bench::LongArg(argc, argv, "mib", smoke ? 64 : 1024);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir runtimeDir, folder;
    if (!runtimeDir.isValid() || !folder.isValid()) return 1;
    qputenv("XDG_RUNTIME_DIR", runtimeDir.path().toLocal8Bit());
    TApplication app(argc, argv);
    QPointer<TSDIAppForm> form = new TSDIAppForm();

    const std::string path = folder.filePath("identify.bin").toStdString();
    if (!MakeFile(path, mib)) {
        std::fprintf(stderr, "bench_md5: cannot write %ld MiB in %s\n", mib, qPrintable(folder.path()));
        return 1;
    }

    // Alternate, best of three each: both then read from the page cache.
    double best = 1e9, bestTool = 1e9;
    std::uint64_t growth = 0;
    std::string digest, toolDigest;
    for (int round = 0; round < 3; ++round) {
        const auto [d, s] = RunMd5sum(path);
        toolDigest = d;
        if (s > 0 && s < bestTool) bestTool = s;

        const auto before = platform::ReadResidentMemory();
        platform::ResetPeakResident();
        const auto start = Clock::now();
        digest = form->MD5(QString::fromStdString(path)).toStdString();
        const double seconds = bench::SecondsSince(start);
        const auto after = platform::ReadResidentMemory();
        if (seconds < best) best = seconds;
        if (after.peakBytes > before.currentBytes)
            growth = std::max<std::uint64_t>(growth, after.peakBytes - before.currentBytes);
    }
    delete form.data();

    const double rate = mib / best, toolRate = mib / bestTool;
    std::printf("MD5 of %ld MiB: window %.2f s (%.0f MiB/s), md5sum %.2f s (%.0f MiB/s); digests %s; "
                "peak memory growth %.2f MiB\n",
                mib, best, rate, bestTool, toolRate, digest == toolDigest ? "agree" : "DIFFER", growth / kMiB);
    const bool agree = !digest.empty() && digest == toolDigest;
    bench::Report({"MD5 throughput (" + std::to_string(mib) + " MiB)", bench::Fixed(rate, 0) + " MiB/s",
                   bench::Fixed(toolRate, 0) + " MiB/s (md5sum)", bench::Fixed(rate / toolRate, 2),
                   "≥ 0.9 × md5sum, same digest", agree && rate >= 0.9 * toolRate});
    bench::Report({"MD5 peak memory growth", bench::Fixed(growth / kMiB, 2) + " MiB", "—", "—", "≤ 8 MiB",
                   growth <= 8 * 1024 * 1024});
    return 0;
}
