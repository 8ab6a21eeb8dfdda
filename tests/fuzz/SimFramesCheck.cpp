// The simulator's frame parser fed the same bytes whole and in pieces of
// any size. Every byte must come out in exactly one event or still be
// pending, a frame must look like one, and how the bytes were cut into reads
// must not change which frames are found.

#include "FuzzChecks.h"

#include "sim/FrameParser.h"

#include <vector>

namespace fuzzcheck {

namespace {

using Kind = sim::FrameEvent::Kind;

std::vector<sim::FrameEvent> WithoutGarbage(const std::vector<sim::FrameEvent>& events)
{
    std::vector<sim::FrameEvent> out;
    for (const auto& e : events)
        if (e.kind != Kind::Garbage) out.push_back(e);
    return out;
}

void CheckEvents(const std::vector<sim::FrameEvent>& events, const sim::FrameParser& parser, const std::string& fed)
{
    std::string all;
    for (const auto& e : events) {
        all += e.raw;
        if (e.kind == Kind::Frame) {
            Require(e.raw == std::string(1, sim::STX) + e.body + sim::ETX + sim::CR, "a frame is STX body ETX CR");
            Require(e.body.size() <= sim::FrameParser::kMaxBody, "a frame body stays within its limit");
        }
        if (e.kind == Kind::Malformed)
            Require(e.raw == std::string(1, sim::STX) + e.body + sim::ETX, "a malformed frame is STX body ETX");
        if (e.kind == Kind::Garbage) Require(e.body.empty() && !e.raw.empty(), "garbage has bytes and no body");
    }
    all += parser.Pending();
    Require(all == fed, "every byte is in one event or pending, in order");
    Require(parser.Pending().size() <= sim::FrameParser::kMaxBody + 2, "a pending frame stays bounded");
}

}  // namespace

void SimFrames(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const std::uint8_t cutSeed = in.Byte();
    const std::string bytes = in.Rest();

    sim::FrameParser whole;
    std::vector<sim::FrameEvent> wholeEvents;
    whole.Feed(bytes, wholeEvents);
    CheckEvents(wholeEvents, whole, bytes);

    sim::FrameParser pieces;
    std::vector<sim::FrameEvent> pieceEvents;
    std::size_t pos = 0, step = 1 + cutSeed % 17;
    while (pos < bytes.size()) {
        const std::size_t n = std::min(step, bytes.size() - pos);
        pieces.Feed(std::string_view(bytes).substr(pos, n), pieceEvents);
        pos += n;
        step = 1 + (step * 7 + cutSeed) % 23;
    }
    CheckEvents(pieceEvents, pieces, bytes);
    Require(WithoutGarbage(pieceEvents) == WithoutGarbage(wholeEvents), "the cut of the reads changes no frame");
    Require(pieces.Pending() == whole.Pending(), "the cut of the reads changes no pending frame");
}

}  // namespace fuzzcheck
