#pragma once
// Counts of this process's resources, for soak tests and benchmarks that
// must show nothing leaks and idle threads stay idle.

#include <string>
#include <vector>

namespace platform {

// Entries of /proc/self/fd: the open file descriptors.
int OpenFileDescriptorCount();

// Entries of /proc/self/task: the threads of this process.
int ThreadCount();

// CPU time (user + system) the whole process has used, in seconds.
double ProcessCpuSeconds();

struct ThreadCpu {
    int id = 0;          // kernel thread id
    std::string name;    // as set by the thread ("TThread", ...)
    double seconds = 0;  // user + system CPU time used so far
};

// Every thread of this process with the CPU time it has used.
std::vector<ThreadCpu> ThreadCpuTimes();

}  // namespace platform
