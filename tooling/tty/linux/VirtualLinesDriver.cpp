#include "tooling/tty/VirtualLinesDriver.h"

#include "platform/PortFolder.h"
#include "platform/linux/Posix.h"

#include <cerrno>
#include <cstring>

namespace platform {

bool WriteVirtualLines(const std::string& comName, const VirtualLineState& state, std::string* error)
{
    const std::string path = VirtualLinesPath(comName);
    if (path.empty()) {
        if (error) *error = "'" + comName + "' is not a COM name";
        return false;
    }
    if (!EnsurePortFolder(error)) return false;
    // A port never reads half a file.
    if (posix::ReplaceFile(path, FormatVirtualLines(state))) return true;
    if (error) *error = "cannot replace " + path + ": " + std::strerror(errno);
    return false;
}

bool SetVirtualModemLines(const std::string& comName, bool cts, bool dsr, bool ring, bool rlsd, std::string* error)
{
    VirtualLineState state = ReadVirtualLines(comName);
    state.cts = cts;
    state.dsr = dsr;
    state.ring = ring;
    state.rlsd = rlsd;
    return WriteVirtualLines(comName, state, error);
}

bool InjectLineEvent(const std::string& comName, LineEvent event, std::string* error)
{
    VirtualLineState state = ReadVirtualLines(comName);
    switch (event) {
    case LineEvent::Break: ++state.breaks; break;
    case LineEvent::FrameError: ++state.frameErrors; break;
    case LineEvent::ParityError: ++state.parityErrors; break;
    case LineEvent::Overrun: ++state.overruns; break;
    }
    return WriteVirtualLines(comName, state, error);
}

}  // namespace platform
