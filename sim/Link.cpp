#include "sim/Link.h"

#include "tooling/tty/Pty.h"
#include "tooling/tty/RawTty.h"

namespace sim {
namespace {

class PtyLink final : public Link {
public:
    explicit PtyLink(platform::PseudoTerminal& pty) : pty_(pty) {}
    ReadResult Read(std::string& out, int timeoutMs) override
    {
        using R = platform::PseudoTerminal::ReadResult;
        switch (pty_.Read(out, timeoutMs)) {
        case R::Data: return ReadResult::Data;
        case R::Timeout: return ReadResult::Timeout;
        case R::NoClient: return ReadResult::NoClient;
        case R::Closed: break;
        }
        return ReadResult::Closed;
    }
    bool Write(const std::string& bytes) override { return pty_.WriteAll(bytes); }

private:
    platform::PseudoTerminal& pty_;
};

class TtyLink final : public Link {
public:
    explicit TtyLink(platform::RawTty& tty) : tty_(tty) {}
    ReadResult Read(std::string& out, int timeoutMs) override
    {
        using R = platform::RawTty::ReadResult;
        switch (tty_.Read(out, timeoutMs)) {
        case R::Data: return ReadResult::Data;
        case R::Timeout: return ReadResult::Timeout;
        case R::Closed: break;
        }
        return ReadResult::Closed;
    }
    bool Write(const std::string& bytes) override { return tty_.WriteAll(bytes); }

private:
    platform::RawTty& tty_;
};

}  // namespace

std::unique_ptr<Link> MakeLink(platform::PseudoTerminal& pty)
{
    return std::make_unique<PtyLink>(pty);
}

std::unique_ptr<Link> MakeLink(platform::RawTty& tty)
{
    return std::make_unique<TtyLink>(tty);
}

}  // namespace sim
