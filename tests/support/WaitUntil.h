#pragma once
// A bounded wait for a state that has no event to wait on (another process,
// the file system, a counter): polls with short sleeps.

#include <chrono>
#include <functional>
#include <thread>

namespace testsupport {

// Generous: these bound waits for things that happen in microseconds, also
// in sanitizer builds on a busy machine.
inline constexpr std::chrono::milliseconds kPatience{10000};

// True as soon as condition() is; false when the bound has passed first.
inline bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds bound = kPatience)
{
    const auto end = std::chrono::steady_clock::now() + bound;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace testsupport
