#pragma once
// An event object: an eventfd whose counter is non-zero while the event is
// signalled, so that waits on several events (and on descriptors) are one
// poll().

#include "platform/linux/HandleTable.h"

#include <atomic>
#include <cstdint>

namespace platform::detail {

class EventObject final : public KernelObject {
public:
    // fd < 0 when the kernel refused the eventfd; the errno is kept in error.
    EventObject(bool manualReset, bool initialState);
    ~EventObject() override;

    bool Valid() const { return fd_ >= 0; }
    int Error() const { return error_; }
    int Fd() const { return fd_; }
    bool ManualReset() const { return manualReset_; }

    void Set();
    void Reset();
    // For a poll that found the descriptor readable: a manual-reset event
    // stays signalled; an auto-reset one is taken, and false means another
    // waiter took it first.
    bool Claim();

private:
    int fd_ = -1;
    int error_ = 0;
    bool manualReset_;
    // Set() releases and a successful wait acquires, so everything written
    // before SetEvent is visible to the thread the event wakes (also to
    // ThreadSanitizer, which does not see through eventfd).
    std::atomic<std::uint64_t> generation_{0};
};

}  // namespace platform::detail
