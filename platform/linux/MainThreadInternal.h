#pragma once
// Pieces shared by the main-thread queue and the thread class (Linux).

#include <chrono>

namespace platform::detail {

// Binds the calling thread as the main thread when none is bound yet.
void ClaimIfUnbound();

// Blocks until the queue's wake descriptor or `otherFd` (when >= 0) is
// readable, or `timeout` has passed. Returns whether otherFd is readable.
bool WaitForWake(int otherFd, std::chrono::milliseconds timeout);

// A manual-reset flag that a poll can wait on together with the queue.
class FdFlag {
public:
    FdFlag();
    ~FdFlag();
    FdFlag(const FdFlag&) = delete;
    FdFlag& operator=(const FdFlag&) = delete;

    int Fd() const { return fd_; }
    void Set();
    // Blocks (without the queue) until set, or at most `limit` (none when
    // negative); returns whether it was set.
    bool Wait(std::chrono::milliseconds limit) const;

private:
    int fd_;
};

// Gives the calling thread a name visible in /proc (at most 15 characters).
void NameCurrentThread(const char* name);

}  // namespace platform::detail
