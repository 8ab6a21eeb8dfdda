#include "platform/VirtualLines.h"

#include "platform/PortFolder.h"
#include "platform/linux/PortNames.h"

#include <fstream>
#include <sstream>

namespace platform {

std::string VirtualLinesPath(const std::string& comName)
{
    const auto number = ParseComName(comName);
    if (!number) return {};
    return PortFolder() + "/" + ComName(*number) + ".lines";
}

std::string FormatVirtualLines(const VirtualLineState& s)
{
    std::ostringstream out;
    out << "cts=" << s.cts << " dsr=" << s.dsr << " ring=" << s.ring << " rlsd=" << s.rlsd << " breaks=" << s.breaks
        << " frame=" << s.frameErrors << " parity=" << s.parityErrors << " overrun=" << s.overruns << "\n";
    return out.str();
}

VirtualLineState ParseVirtualLines(const std::string& text)
{
    VirtualLineState s;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        const auto eq = item.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = item.substr(0, eq);
        unsigned long value = 0;
        try {
            value = std::stoul(item.substr(eq + 1));
        } catch (...) {
            continue;
        }
        const auto count = static_cast<std::uint32_t>(value);
        if (key == "cts")
            s.cts = value != 0;
        else if (key == "dsr")
            s.dsr = value != 0;
        else if (key == "ring")
            s.ring = value != 0;
        else if (key == "rlsd")
            s.rlsd = value != 0;
        else if (key == "breaks")
            s.breaks = count;
        else if (key == "frame")
            s.frameErrors = count;
        else if (key == "parity")
            s.parityErrors = count;
        else if (key == "overrun")
            s.overruns = count;
    }
    return s;
}

VirtualLineState ReadVirtualLines(const std::string& comName)
{
    const std::string path = VirtualLinesPath(comName);
    if (path.empty()) return {};
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return ParseVirtualLines(text.str());
}

}  // namespace platform
