// Start-up time: from starting the process to its window's first expose,
// offscreen, for the product's window and for a minimal Qt Widgets program,
// taken in turns; medians compared.
//
// Usage: bench_startup [--runs=N] [--smoke]

#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "BenchReport.h"
#include "tooling/testing/ChildProcess.h"

namespace {

// Milliseconds from Start() to each mark the child reports ("main", "app",
// "form", in order) and, last, to its window shown.
std::vector<std::pair<std::string, double>> g_lastMarks;

// Milliseconds from Start() to the child's "SHOWN" line; negative on failure.
double TimeToShown(const std::string& program, const std::string& runtimeDir)
{
    platform::ChildProcess child;
    const long long start = bench::MonotonicNanoseconds();
    if (!child.Start(program, {}, {{"QT_QPA_PLATFORM", "offscreen"}, {"XDG_RUNTIME_DIR", runtimeDir}})) return -1;
    const auto line = child.ReadLine(60000);
    child.Wait(30000);
    if (!line || line->rfind("SHOWN ", 0) != 0) return -1;
    std::istringstream fields(line->substr(6));
    long long shown = 0;
    fields >> shown;
    g_lastMarks.clear();
    std::string name;
    long long at = 0;
    while (fields >> name >> at) g_lastMarks.emplace_back(name, (at - start) / 1e6);
    return (shown - start) / 1e6;
}

std::string Sibling(const char* argv0, const char* name)
{
    std::string self = argv0;
    const auto slash = self.rfind('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/" + name;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool smoke = bench::SmokeRequested(argc, argv);
    const int runs = static_cast<int>(bench::LongArg(argc, argv, "runs", smoke ? 3 : 15));
    QTemporaryDir runtimeDir;
    if (!runtimeDir.isValid()) return 1;
    const std::string window = Sibling(argv[0], "bench_startup_window");
    const std::string minimal = Sibling(argv[0], "bench_startup_minimal");

    // One unmeasured start of each warms the file cache.
    TimeToShown(window, runtimeDir.path().toStdString());
    TimeToShown(minimal, runtimeDir.path().toStdString());
    std::vector<double> product, yardstick;
    std::map<std::string, std::vector<double>> marks;  // the product's marks
    for (int i = 0; i < runs; ++i) {
        const double p = TimeToShown(window, runtimeDir.path().toStdString());
        const auto productMarks = g_lastMarks;
        const double m = TimeToShown(minimal, runtimeDir.path().toStdString());
        if (p < 0 || m < 0) {
            std::fprintf(stderr, "bench_startup: a program did not report its window\n");
            return 1;
        }
        product.push_back(p);
        for (const auto& [name, ms] : productMarks) marks[name].push_back(ms);
        yardstick.push_back(m);
    }
    const double p50 = bench::Percentile(product, 50), m50 = bench::Percentile(yardstick, 50);
    std::printf("start-up to window shown over %d runs (ms): Tornvale median %.1f (min %.1f), minimal Qt median "
                "%.1f (min %.1f)\n",
                runs, p50, bench::Percentile(product, 0), m50, bench::Percentile(yardstick, 0));
    std::printf("Tornvale medians from process start (ms): main() entered %.1f, application object made %.1f, "
                "window built %.1f, window shown %.1f\n",
                bench::Percentile(marks["main"], 50), bench::Percentile(marks["app"], 50),
                bench::Percentile(marks["form"], 50), p50);
    bench::Report({"start-up to window shown (median of " + std::to_string(runs) + ")", bench::Fixed(p50, 1) + " ms",
                   bench::Fixed(m50, 1) + " ms (minimal Qt)", bench::Fixed(p50 / m50, 2), "≤ 1.5 × baseline",
                   p50 <= 1.5 * m50});
    return 0;
}
