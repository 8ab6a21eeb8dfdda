#include "sim/Server.h"

#include <algorithm>

#include "tooling/tty/Termination.h"

namespace sim {
namespace {

// The longest the loop sleeps in a read before looking at the stop request
// again; a signal also wakes the waits in between.
constexpr int kReadSliceMs = 200;
// While nobody has the port open a pty master reports a hang-up on every
// poll; should the read return at once then, the loop naps this long rather
// than spin.
constexpr int kNoClientNapMs = 50;

}  // namespace

std::vector<std::string> SplitLine(const std::string& line, std::size_t pieces)
{
    std::vector<std::string> out;
    if (pieces == 0) pieces = 1;
    const std::size_t count = std::min(pieces, std::max<std::size_t>(line.size(), 1));
    std::size_t begin = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t end = line.size() * (i + 1) / count;
        out.push_back(line.substr(begin, end - begin));
        begin = end;
    }
    return out;
}

Server::Server(Link& link, Responder& responder, FrameLog* log, const ServeSettings& settings,
               const platform::TerminationSignals& stop)
    : link_(link), responder_(responder), log_(log), settings_(settings), stop_(stop)
{
}

bool Server::Run()
{
    std::vector<FrameEvent> events;
    while (!stop_.Requested()) {
        std::string input;
        switch (link_.Read(input, kReadSliceMs)) {
        case Link::ReadResult::Data:
            events.clear();
            parser_.Feed(input, events);
            for (const auto& event : events) {
                if (stop_.Requested()) break;
                Handle(event);
            }
            break;
        case Link::ReadResult::Timeout: break;
        case Link::ReadResult::NoClient:
            // A half frame of a client that left must not swallow the next
            // client's first frame.
            parser_.Reset();
            stop_.WaitFor(kNoClientNapMs);
            break;
        case Link::ReadResult::Closed: return false;
        }
    }
    return true;
}

void Server::Handle(const FrameEvent& event)
{
    if (event.kind == FrameEvent::Kind::Garbage) return;
    if (log_) log_->Write(event.raw);
    // The device acts on the frame even when it keeps quiet about it.
    const auto lines = responder_.Answer(event);
    if (settings_.silent) return;
    if (settings_.delayMs > 0 && stop_.WaitFor(settings_.delayMs)) return;
    Send(lines);
}

void Server::Send(const std::vector<std::string>& lines)
{
    if (!settings_.split) {
        // Back to back in one write: as fast as the line takes them.
        std::string all;
        for (const auto& line : lines) all += line;
        link_.Write(all);
        return;
    }
    bool first = true;
    for (const auto& line : lines) {
        for (const auto& piece : SplitLine(line)) {
            if (!first && stop_.WaitFor(settings_.splitPauseMs)) return;
            first = false;
            if (!link_.Write(piece)) return;  // the client left; the rest would go nowhere
        }
    }
}

}  // namespace sim
