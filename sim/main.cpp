// qdtr25-sim: a simulated QD-TR25 measuring module on a serial port.

#include <ctime>
#include <iostream>
#include <memory>
#include <optional>

#include "platform/ComName.h"
#include "platform/PortFolder.h"
#include "tooling/tty/Pty.h"
#include "tooling/tty/RawTty.h"
#include "tooling/tty/Termination.h"
#include "sim/Link.h"
#include "sim/Options.h"
#include "sim/Server.h"

namespace {

constexpr int kBaud = 57600;

sim::DateTime ClockStart(const sim::Options& o)
{
    switch (o.clockStart) {
    case sim::Options::ClockStart::Given: return o.clockGiven;
    case sim::Options::ClockStart::Pc: {
        const std::time_t now = std::time(nullptr);
        const std::tm* local = std::localtime(&now);
        return {local->tm_year + 1900, local->tm_mon + 1,          local->tm_mday, local->tm_hour,
                local->tm_min,         std::min(local->tm_sec, 59)};  // a leap second would be no valid device time
    }
    case sim::Options::ClockStart::Reset: break;
    }
    return {2000, 1, 1, 0, 0, 0};
}

// Links the device under the wanted COM name, or the lowest free one. A link
// that another simulator made between our look and our link sends us on to
// the next free number.
std::optional<std::string> LinkComName(const sim::Options& o, const std::string& ttyPath)
{
    std::string error;
    if (!platform::EnsurePortFolder(&error)) {
        std::cerr << "qdtr25-sim: " << error << '\n';
        return std::nullopt;
    }
    if (!o.autoPort) {
        if (platform::LinkPort(o.comName, ttyPath, &error)) return o.comName;
        std::cerr << "qdtr25-sim: cannot link " << o.comName << ": " << error << '\n';
        return std::nullopt;
    }
    for (int attempt = 0; attempt < 32; ++attempt) {
        const std::string name = platform::ComName(platform::FirstFreeComNumber());
        if (platform::LinkPort(name, ttyPath, &error)) return name;
    }
    std::cerr << "qdtr25-sim: no free COM name: " << error << '\n';
    return std::nullopt;
}

}  // namespace

int main(int argc, char** argv)
{
    const auto parsed = sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.options) {
        std::cerr << "qdtr25-sim: " << parsed.error << "\n\n" << sim::UsageText();
        return 2;
    }
    const sim::Options& o = *parsed.options;
    if (o.help) {
        std::cout << sim::UsageText();
        return 0;
    }

    // Installed first, so a signal during set-up still lets us clean up.
    platform::TerminationSignals stop;

    std::unique_ptr<sim::FrameLog> log;
    if (!o.logPath.empty()) {
        log = std::make_unique<sim::FrameLog>(o.logPath);
        if (!log->Ok()) {
            std::cerr << "qdtr25-sim: cannot write the log " << o.logPath << '\n';
            return 1;
        }
    }

    std::unique_ptr<platform::PseudoTerminal> pty;
    std::unique_ptr<platform::RawTty> tty;
    std::unique_ptr<sim::Link> link;
    std::string ttyPath;
    if (!o.ttyPath.empty()) {
        std::string error;
        tty = platform::RawTty::Open(o.ttyPath, kBaud, &error);
        if (!tty) {
            std::cerr << "qdtr25-sim: " << error << '\n';
            return 1;
        }
        ttyPath = o.ttyPath;
        link = sim::MakeLink(*tty);
    } else {
        pty = std::make_unique<platform::PseudoTerminal>();
        if (!pty->IsOpen()) {
            std::cerr << "qdtr25-sim: cannot create a pseudo-terminal\n";
            return 1;
        }
        ttyPath = pty->SlavePath();
        link = sim::MakeLink(*pty);
    }

    std::string comName;
    if (o.autoPort || !o.comName.empty()) {
        const auto linked = LinkComName(o, ttyPath);
        if (!linked) return 1;
        comName = *linked;
    }
    std::cout << (comName.empty() ? ttyPath : comName + " " + ttyPath) << std::endl;

    sim::DeviceModel model(ClockStart(o), sim::RecordSettings{o.recordsPerDay, o.seed});
    sim::Responder responder(model, o.badChecksumEvery);
    sim::Server server(*link, responder, log.get(), {o.delayMs, o.silent, o.split, o.splitPauseMs}, stop);
    const bool stopped = server.Run();

    if (!comName.empty()) platform::UnlinkPort(comName);
    if (!stopped) {
        std::cerr << "qdtr25-sim: " << ttyPath << " has gone\n";
        return 1;
    }
    return 0;
}
