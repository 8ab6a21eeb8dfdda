#pragma once
// Cuts the bytes of successive reads into reply lines, so that two lines
// arriving in one read are both handled and a line split across reads is
// handled once whole.
//
//   for (const std::string& line : state.Splitter.Feed(CPort1->ReadText(n))) ...
//   state.Splitter.Clear();   // whenever the port's input queue is purged
//
// Each line is returned with its LF, exactly as a read of that one line
// would give it. Bytes after the last LF wait for the next read; that tail
// is bounded so a device that never sends LF cannot grow it without limit.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace exchange {

class TReplyLineSplitter {
public:
    static constexpr std::size_t kDefaultTailLimit = 64 * 1024;

    explicit TReplyLineSplitter(std::size_t tailLimit = kDefaultTailLimit);

    // Every line completed by `bytes`, in order; none when no LF arrived.
    // Beyond the limit the oldest bytes of the tail are dropped and counted.
    std::vector<std::string> Feed(std::string_view bytes);

    // Forgets the incomplete tail (its bytes are not counted as dropped).
    void Clear();

    std::size_t PendingBytes() const { return tail_.size(); }
    std::size_t DroppedBytes() const { return dropped_; }

private:
    std::size_t limit_;
    std::string tail_;
    std::size_t dropped_ = 0;
};

}  // namespace exchange
