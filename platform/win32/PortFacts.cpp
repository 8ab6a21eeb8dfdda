// What Windows can tell about a port that would not open. Device access is
// not a matter of groups there, and which process holds a COM port is not
// visible to a normal user, so the facts are: does the name stand for a
// device, and under which path.
#include "platform/PortFacts.h"
#include "platform/win32/Win32.h"

namespace platform {

PortFacts ExaminePort(const std::string& comName)
{
    PortFacts facts;
    char target[512];
    if (::QueryDosDeviceA(comName.c_str(), target, sizeof target) != 0) facts.devicePath = "\\\\.\\" + comName;
    return facts;
}

std::optional<PortHolder> FindPortHolder(const std::string& /*devicePath*/)
{
    return std::nullopt;
}

std::optional<PortHolder> FindTerminalProvider(const std::string& /*devicePath*/)
{
    return std::nullopt;
}

}  // namespace platform
