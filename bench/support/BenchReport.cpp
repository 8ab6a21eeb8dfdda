#include "BenchReport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace bench {

bool SmokeRequested(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--smoke") == 0) return true;
    return false;
}

long LongArg(int argc, char** argv, const char* name, long fallback)
{
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) return std::atol(argv[i] + prefix.size());
    return fallback;
}

double Percentile(std::vector<double> samples, double p)
{
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

void Report(const Figure& f)
{
    std::printf("BENCH | %s | %s | %s | %s | %s | %s |\n", f.name.c_str(), f.thisRun.c_str(), f.baseline.c_str(),
                f.ratio.c_str(), f.goal.c_str(), f.met ? "yes" : "no");
    std::fflush(stdout);
}

std::string Fixed(double value, int decimals)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

long long MonotonicNanoseconds()
{
    // steady_clock is CLOCK_MONOTONIC here: one clock for every process.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace bench
