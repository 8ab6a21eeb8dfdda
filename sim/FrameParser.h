#pragma once
// Cuts command frames out of a byte stream: STX, body, ETX, CR. It takes any
// bytes in pieces of any size and never holds more than one frame's worth, so
// line noise, a half-sent frame or a flood cannot make it misbehave. It checks
// only the framing; what a body means is the responder's business.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

inline constexpr char STX = '\x02';
inline constexpr char ETX = '\x03';
inline constexpr char CR = '\r';
inline constexpr char LF = '\n';

struct FrameEvent {
    enum class Kind {
        Frame,      // STX body ETX CR
        Malformed,  // STX body ETX followed by something other than CR
        Garbage,    // bytes outside any frame, or a frame given up
    };
    Kind kind;
    std::string raw;   // the bytes as received (Malformed: STX..ETX; the byte after is parsed anew)
    std::string body;  // between STX and ETX; empty for Garbage

    bool operator==(const FrameEvent&) const = default;
};

class FrameParser {
public:
    // Longest body kept; a longer one is given up as garbage. Real frames
    // carry at most about 30 bytes.
    static constexpr std::size_t kMaxBody = 256;

    // Parses `bytes` and appends what they complete to `events`. Garbage is
    // reported when a frame starts and at the end of each call, so it is never
    // held back. Every byte fed ends up in exactly one event's raw, or in
    // Pending() while its frame is still open.
    void Feed(std::string_view bytes, std::vector<FrameEvent>& events);

    // The bytes of the frame begun but not yet complete.
    const std::string& Pending() const { return frame_; }

    // Forgets a frame begun: the next byte starts afresh (a new client).
    void Reset();

private:
    enum class State { Outside, InBody, AfterEtx };
    void FlushGarbage(std::vector<FrameEvent>& events);

    State state_ = State::Outside;
    std::string frame_;    // STX and the body so far (and ETX in AfterEtx)
    std::string garbage_;  // bytes outside frames, within the current call
};

}  // namespace sim
