#include "platform/linux/InputQueue.h"

#include <algorithm>

namespace platform::detail {

InputQueue::Offer InputQueue::Push(std::uint8_t byte)
{
    if (bytes_.size() >= capacity_) return Offer::Dropped;
    bytes_.push_back(byte);
    if (byte == eventChar_) ++eventChars_;
    return Offer::Queued;
}

void InputQueue::Take(std::uint8_t* out, std::size_t count)
{
    std::copy_n(bytes_.begin(), count, out);
    eventChars_ -= static_cast<std::size_t>(std::count(out, out + count, eventChar_));
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(count));
    Rearm();
}

void InputQueue::Clear()
{
    bytes_.clear();
    eventChars_ = 0;
    rx80Armed_ = true;
}

void InputQueue::SetCapacity(std::size_t capacity)
{
    if (capacity == 0) return;
    capacity_ = capacity;
    Rearm();
}

void InputQueue::SetEventChar(std::uint8_t eventChar)
{
    if (eventChar == eventChar_) return;
    eventChar_ = eventChar;
    eventChars_ = static_cast<std::size_t>(std::count(bytes_.begin(), bytes_.end(), eventChar));
}

bool InputQueue::TakeRx80Crossing()
{
    if (!rx80Armed_ || BelowMark()) return false;
    rx80Armed_ = false;
    return true;
}

bool InputQueue::HoldsBack(bool readerTold) const
{
    return bytes_.size() >= capacity_ && (inputFlow_ || (eventChars_ > 0 && readerTold));
}

std::size_t InputQueue::Room(std::size_t limit, bool readerTold) const
{
    if (bytes_.size() < capacity_) return std::min(limit, capacity_ - bytes_.size());
    // Full: a queue that drops still takes bytes, to drop them (see HoldsBack).
    return HoldsBack(readerTold) ? 0 : limit;
}

void InputQueue::Rearm()
{
    if (BelowMark()) rx80Armed_ = true;
}

}  // namespace platform::detail
