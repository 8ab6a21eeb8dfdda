#pragma once
// The line the simulated device talks over: a pseudo-terminal it created or
// a tty it was given.

#include <memory>
#include <string>

namespace platform {
class PseudoTerminal;
class RawTty;
}  // namespace platform

namespace sim {

class Link {
public:
    enum class ReadResult {
        Data,      // bytes were appended
        Timeout,   // nothing arrived in time
        NoClient,  // nobody has the port open right now; one may come later
        Closed,    // the line is gone for good
    };
    virtual ~Link() = default;
    virtual ReadResult Read(std::string& out, int timeoutMs) = 0;
    // False when the bytes could not all be delivered (the client went away).
    virtual bool Write(const std::string& bytes) = 0;
};

// Views of the platform's devices; the device must outlive the view.
std::unique_ptr<Link> MakeLink(platform::PseudoTerminal& pty);
std::unique_ptr<Link> MakeLink(platform::RawTty& tty);

}  // namespace sim
