#include "tooling/testing/ProcessStats.h"

#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace platform {
namespace {

int CountEntries(const char* dir)
{
    int n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(dir, ec); !ec && it != std::filesystem::directory_iterator();
         it.increment(ec))
        ++n;
    return n;
}

// utime and stime of a /proc/.../stat line: fields 14 and 15, counted after
// the parenthesised name (which may itself hold blanks).
double StatCpuSeconds(const std::string& stat)
{
    const auto close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    unsigned long long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stoull(field);
        if (i == 15) stime = std::stoull(field);
    }
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

std::string ReadFirstLine(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

int OpenFileDescriptorCount()
{
    // The directory stream itself holds one descriptor while we count.
    return CountEntries("/proc/self/fd") - 1;
}

int ThreadCount()
{
    return CountEntries("/proc/self/task");
}

double ProcessCpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::vector<ThreadCpu> ThreadCpuTimes()
{
    std::vector<ThreadCpu> result;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", ec)) {
        ThreadCpu t;
        try {
            t.id = std::stoi(entry.path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        t.name = ReadFirstLine(entry.path() / "comm");
        // schedstat counts nanoseconds on the CPU; stat only clock ticks.
        std::istringstream schedstat(ReadFirstLine(entry.path() / "schedstat"));
        unsigned long long ns = 0;
        t.seconds =
            schedstat >> ns ? static_cast<double>(ns) / 1e9 : StatCpuSeconds(ReadFirstLine(entry.path() / "stat"));
        result.push_back(t);
    }
    return result;
}

}  // namespace platform
