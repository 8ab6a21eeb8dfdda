#pragma once
// How often each thread of this process has been switched in, as the
// kernel counts it: every return from a blocking wait is one. A thread that
// truly waits without a time limit shows no change while nothing happens,
// whatever it waits in (poll, an event, a condition variable), so this
// observes idle wake-ups without touching the code that waits.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct ThreadWakeups {
    int id = 0;                     // kernel thread id
    std::string name;               // as set by the thread
    std::uint64_t voluntary = 0;    // blocked and woke again
    std::uint64_t involuntary = 0;  // preempted while running
};

// Every thread of this process with its counts so far.
std::vector<ThreadWakeups> ReadThreadWakeups();

// The kernel thread id of the calling thread.
int CurrentThreadId();

}  // namespace platform
