#pragma once
// Modem lines, breaks and line errors for ports that have none in the kernel
// (pseudo-terminals). The state of a linked port COMn lives in a small text
// file beside its link, <port folder>/COMn.lines, so the simulator (another
// process) and tests can drive what the port's owner sees. An open port
// follows every change at once: GetCommModemStatus reports the lines; a line
// that changes raises EV_CTS, EV_DSR or EV_RLSD, ring turning on raises
// EV_RING; each new break raises EV_BREAK with CE_BREAK, each new frame,
// parity or overrun error EV_ERR with CE_FRAME, CE_RXPARITY or CE_OVERRUN.
//
// The port's owner only reads the file; what writes it (the simulator, the
// tests) is in tooling/tty/VirtualLinesDriver.h.

#include <cstdint>
#include <string>

namespace platform {

struct VirtualLineState {
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool rlsd = false;
    // Counts since the file was made; an increase is an event.
    std::uint32_t breaks = 0;
    std::uint32_t frameErrors = 0;
    std::uint32_t parityErrors = 0;
    std::uint32_t overruns = 0;

    bool operator==(const VirtualLineState&) const = default;
};

// "<port folder>/COM3.lines"; empty for a name that is no COM name.
std::string VirtualLinesPath(const std::string& comName);

// The state now; all lines off and no events when there is no file.
VirtualLineState ReadVirtualLines(const std::string& comName);
// The file's text: "cts=1 dsr=0 ring=0 rlsd=1 breaks=0 frame=0 parity=0 overrun=0".
// Parsing ignores what it does not know and keeps defaults for what is missing.
std::string FormatVirtualLines(const VirtualLineState& state);
VirtualLineState ParseVirtualLines(const std::string& text);

}  // namespace platform
