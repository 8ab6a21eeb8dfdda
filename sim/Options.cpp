#include "sim/Options.h"

#include <cctype>
#include <limits>

#include "platform/ComName.h"
#include "sim/Records.h"

namespace sim {
namespace {

std::optional<std::uint64_t> Unsigned(const std::string& text, std::uint64_t max)
{
    if (text.empty() || text.size() > 20) return std::nullopt;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (value > (max - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

std::string NormalComName(const std::string& text)
{
    const auto number = platform::ParseComName(text);
    return number ? platform::ComName(*number) : std::string();
}

ParsedOptions ParseOptions(const std::vector<std::string>& args)
{
    Options o;
    auto fail = [](std::string why) { return ParsedOptions{std::nullopt, std::move(why)}; };
    bool portGiven = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        auto value = [&]() -> std::optional<std::string> {
            if (inlineValue) return inlineValue;
            if (i + 1 < args.size()) return args[++i];
            return std::nullopt;
        };
        auto number = [&](std::uint64_t max, std::uint64_t& out) -> std::string {
            const auto text = value();
            if (!text) return name + " needs a value";
            const auto n = Unsigned(*text, max);
            if (!n) return name + ": '" + *text + "' is not a number from 0 to " + std::to_string(max);
            out = *n;
            return {};
        };
        auto flag = [&](bool& out) -> std::string {
            if (inlineValue) return name + " takes no value";
            out = true;
            return {};
        };

        std::string error;
        std::uint64_t n = 0;
        if (name == "--help" || name == "-h") {
            error = flag(o.help);
        } else if (name == "--port") {
            const auto text = value();
            if (!text) return fail("--port needs a value: COMn or auto");
            portGiven = true;
            if (*text == "auto") {
                o.autoPort = true;
                o.comName.clear();
            } else {
                o.autoPort = false;
                o.comName = NormalComName(*text);
                if (o.comName.empty())
                    return fail("--port: '" + *text + "' is neither auto nor COM1 ... COM" +
                                std::to_string(platform::kHighestComNumber));
            }
        } else if (name == "--tty") {
            const auto text = value();
            if (!text || text->empty()) return fail("--tty needs a device path");
            o.ttyPath = *text;
        } else if (name == "--clock") {
            const auto text = value();
            if (!text) return fail("--clock needs a value: pc or \"yy.mm.dd hh:nn:ss\"");
            if (*text == "pc") {
                o.clockStart = Options::ClockStart::Pc;
            } else if (const auto t = ParseClockText(*text)) {
                o.clockStart = Options::ClockStart::Given;
                o.clockGiven = *t;
            } else {
                return fail("--clock: '" + *text + "' is neither pc nor a valid \"yy.mm.dd hh:nn:ss\"");
            }
        } else if (name == "--records") {
            if ((error = number(kMaxRecordsPerDay, n)).empty()) o.recordsPerDay = static_cast<int>(n);
        } else if (name == "--seed") {
            error = number(std::numeric_limits<std::uint64_t>::max(), o.seed);
        } else if (name == "--bad-checksum-every") {
            if ((error = number(std::numeric_limits<int>::max(), n)).empty()) {
                if (n == 0) error = "--bad-checksum-every must be at least 1";
                o.badChecksumEvery = static_cast<int>(n);
            }
        } else if (name == "--delay-ms") {
            if ((error = number(3600000, n)).empty()) o.delayMs = static_cast<int>(n);
        } else if (name == "--split-pause-ms") {
            if ((error = number(60000, n)).empty()) o.splitPauseMs = static_cast<int>(n);
        } else if (name == "--silent") {
            error = flag(o.silent);
        } else if (name == "--split") {
            error = flag(o.split);
        } else if (name == "--log") {
            const auto text = value();
            if (!text || text->empty()) return fail("--log needs a file name");
            o.logPath = *text;
        } else {
            return fail("unknown option '" + args[i] + "'");
        }
        if (!error.empty()) return fail(error);
    }
    if (!portGiven && o.ttyPath.empty()) o.autoPort = true;
    return {o, {}};
}

std::string UsageText()
{
    return "Usage: qdtr25-sim [--port COMn|auto | --tty PATH [--port COMn|auto]] [options]\n"
           "Plays a QD-TR25 measuring module on a pseudo-terminal (or an existing tty).\n"
           "Prints \"COMn /dev/pts/N\" (or the tty path alone) once ready; ends on SIGINT or SIGTERM.\n"
           "\n"
           "  --port COMn|auto        link the device as COMn in the port folder (auto: lowest free)\n"
           "  --tty PATH              talk over an existing tty instead of a new pseudo-terminal\n"
           "  --clock pc|\"yy.mm.dd hh:nn:ss\"\n"
           "                          start the clock there (default 00.01.01 00:00:00)\n"
           "  --records N             records per day, 0 to 9999 (default 96)\n"
           "  --seed N                seed of the record values (default 0)\n"
           "  --bad-checksum-every N  every Nth line sent carries a wrong checksum\n"
           "  --delay-ms N            answer each frame N ms late\n"
           "  --silent                never answer\n"
           "  --split                 send each line in three pieces with pauses\n"
           "  --split-pause-ms N      the pause between pieces (default 20)\n"
           "  --log FILE              write each frame received as one line to FILE\n";
}

}  // namespace sim
