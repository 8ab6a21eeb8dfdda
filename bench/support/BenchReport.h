#pragma once
// Results of one benchmark run. Each figure is printed as one line
//
//   BENCH | figure | this run | baseline | ratio | goal | met
//
// which bench/run.sh gathers into docs/benchmarks.md; everything else a
// benchmark prints is for the reader of its log.

#include <chrono>
#include <string>
#include <vector>

namespace bench {

// "--smoke" among the arguments: small sizes, seconds in all.
bool SmokeRequested(int argc, char** argv);

// The value of "--name=value", or `fallback`.
long LongArg(int argc, char** argv, const char* name, long fallback);

// The p-th percentile (0..100) of the samples, nearest rank; 0 without samples.
double Percentile(std::vector<double> samples, double p);

struct Figure {
    std::string name;      // "reply latency p50"
    std::string thisRun;   // "41.2 µs"
    std::string baseline;  // "30.1 µs" or "—"
    std::string ratio;     // "1.37" or "—"
    std::string goal;      // "≤ 1.5 × baseline"
    bool met = false;
};

// Prints the figure's BENCH line.
void Report(const Figure& figure);

// "12.3" with the given number of decimals.
std::string Fixed(double value, int decimals);

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Nanoseconds on the monotonic clock, comparable between processes.
long long MonotonicNanoseconds();

}  // namespace bench
