#pragma once
// A manual-reset event object: an eventfd whose counter is non-zero while
// the event is signalled, so that waits on several events (and on
// descriptors) are one poll().

#include "platform/linux/HandleTable.h"

#include <atomic>
#include <cstdint>

namespace platform::detail {

class EventObject final : public KernelObject {
public:
    // fd < 0 when the kernel refused the eventfd; the errno is kept in error.
    explicit EventObject(bool initialState);
    ~EventObject() override;

    bool Valid() const { return fd_ >= 0; }
    int Error() const { return error_; }
    int Fd() const { return fd_; }

    void Set();
    void Reset();
    // For a poll that found the descriptor readable: makes what was written
    // before Set() visible to the waiter.
    void Acquire() const;

private:
    int fd_ = -1;
    int error_ = 0;
    // Set() releases and a successful wait acquires, so everything written
    // before SetEvent is visible to the thread the event wakes (also to
    // ThreadSanitizer, which does not see through eventfd).
    std::atomic<std::uint64_t> generation_{0};
};

}  // namespace platform::detail
