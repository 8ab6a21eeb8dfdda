#pragma once
// The emulated input queue of a serial device and all its rules: its
// capacity (from SetupComm), the count of queued event characters, the 80 %
// mark and its re-arm, when a full queue holds bytes back in the kernel, and
// what purging it clears. Pure: no descriptors, no locks; the device calls it
// with its mutex held and raises the events it is told to.

#include <cstddef>
#include <cstdint>
#include <deque>

namespace platform::detail {

class InputQueue {
public:
    std::size_t Size() const { return bytes_.size(); }
    bool Empty() const { return bytes_.empty(); }
    std::size_t Capacity() const { return capacity_; }
    std::size_t EventCharsQueued() const { return eventChars_; }

    // What happened to one byte offered to the queue.
    enum class Offer { Queued, Dropped };
    // A full queue drops the byte (the caller records CE_RXOVER).
    Offer Push(std::uint8_t byte);
    // Copies the first count (<= Size()) bytes to out and removes them.
    void Take(std::uint8_t* out, std::size_t count);
    // PURGE_RXCLEAR: no bytes, no event characters, the 80 % mark re-armed.
    void Clear();

    // 0 keeps the capacity, as SetupComm does.
    void SetCapacity(std::size_t capacity);
    // A new event character: the count is taken again over what is queued.
    void SetEventChar(std::uint8_t eventChar);
    // RTS handshake or Xon/Xoff input flow in force.
    void SetInputFlow(bool on) { inputFlow_ = on; }

    // True once each time the queue reaches 80 % of its capacity; the mark
    // re-arms when the queue falls below it again.
    bool TakeRx80Crossing();

    // A full queue holds further bytes back in the kernel (and, with flow
    // control, throttles the peer) rather than dropping them, as long as a
    // reader is coming: flow control is on, or an event character waits in
    // the queue and the device has told its reader (readerTold). Otherwise
    // the queue would never be read; it keeps taking bytes and drops them,
    // so that the next event character wakes a reader.
    bool HoldsBack(bool readerTold) const;
    // How many bytes one read from the kernel may take now (at most limit);
    // 0 while the queue holds back.
    std::size_t Room(std::size_t limit, bool readerTold) const;

private:
    bool BelowMark() const { return bytes_.size() * 5 < capacity_ * 4; }
    void Rearm();

    std::deque<std::uint8_t> bytes_;
    std::size_t capacity_ = 4096;
    std::size_t eventChars_ = 0;
    std::uint8_t eventChar_ = 0;
    bool inputFlow_ = false;
    bool rx80Armed_ = true;
};

}  // namespace platform::detail
