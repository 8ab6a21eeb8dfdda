#pragma once
// The simulator's loop: reads the line, cuts frames, answers them, until a
// termination signal arrives or the line is gone.

#include <string>
#include <vector>

#include "sim/FrameLog.h"
#include "sim/FrameParser.h"
#include "sim/Link.h"
#include "sim/Responder.h"

namespace platform {
class TerminationSignals;
}

namespace sim {

struct ServeSettings {
    int delayMs = 0;      // wait this long before answering each frame
    bool silent = false;  // take frames (and log them) but never answer
    bool split = false;   // send each line in pieces with pauses between
    int splitPauseMs = 20;
};

// A line cut into `pieces` nearly equal parts (fewer when it is shorter);
// joined they give the line again.
std::vector<std::string> SplitLine(const std::string& line, std::size_t pieces = 3);

class Server {
public:
    // `log` may be null.
    Server(Link& link, Responder& responder, FrameLog* log, const ServeSettings& settings,
           const platform::TerminationSignals& stop);

    // Serves until termination is requested (true) or the line is gone (false).
    bool Run();

private:
    void Handle(const FrameEvent& event);
    void Send(const std::vector<std::string>& lines);

    Link& link_;
    Responder& responder_;
    FrameLog* log_;
    ServeSettings settings_;
    const platform::TerminationSignals& stop_;
    FrameParser parser_;
};

}  // namespace sim
