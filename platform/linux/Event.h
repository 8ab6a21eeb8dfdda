#pragma once
// A manual-reset event object: an eventfd whose counter is non-zero while
// the event is signalled, so that waits on several events (and on
// descriptors) are one poll().

#include "platform/linux/HandleTable.h"

#include <atomic>
#include <cstdint>
#include <memory>

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
    // Closing the handle of an event that a pending request will still set
    // is a fault of the caller: Windows would go on writing into the
    // request's record and set whatever event reuses the handle. It stops
    // the process, so that a test sees it.
    void OnHandleClosed() override;
    // For a poll that found the descriptor readable: makes what was written
    // before Set() visible to the waiter.
    void Acquire() const;

private:
    friend class EventUse;
    std::atomic<int> uses_{0};  // pending requests that will set this event
    int fd_ = -1;
    int error_ = 0;
    // Set() releases and a successful wait acquires, so everything written
    // before SetEvent is visible to the thread the event wakes (also to
    // ThreadSanitizer, which does not see through eventfd).
    std::atomic<std::uint64_t> generation_{0};
};

// An event as a pending request holds it: counted as in use while the
// request has not completed.
class EventUse {
public:
    EventUse() = default;
    EventUse(std::shared_ptr<EventObject> event) : event_(std::move(event))  // NOLINT: converts as the pointer does
    {
        if (event_) ++event_->uses_;
    }
    ~EventUse()
    {
        if (event_) --event_->uses_;
    }
    EventUse(EventUse&& other) noexcept : event_(std::move(other.event_)) {}
    EventUse& operator=(EventUse&& other) noexcept
    {
        if (this != &other) {
            if (event_) --event_->uses_;
            event_ = std::move(other.event_);
        }
        return *this;
    }
    EventUse(const EventUse&) = delete;
    EventUse& operator=(const EventUse&) = delete;

    // For the completion: no longer in use once set, so the waiter may
    // close it as soon as it wakes.
    std::shared_ptr<EventObject> Release()
    {
        if (event_) --event_->uses_;
        return std::move(event_);
    }

    EventObject* get() const { return event_.get(); }
    EventObject* operator->() const { return event_.get(); }
    explicit operator bool() const { return event_ != nullptr; }

private:
    std::shared_ptr<EventObject> event_;
};

}  // namespace platform::detail
