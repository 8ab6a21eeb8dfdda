#pragma once
// Drives the virtual modem lines, breaks and line errors of a linked port
// (platform/VirtualLines.h) from the device's side: the simulator and the
// tests, never the tool. One process should drive a port's lines at a time:
// an update is a read, a change and an atomic replace of the file.

#include "platform/VirtualLines.h"

#include <string>

namespace platform {

bool WriteVirtualLines(const std::string& comName, const VirtualLineState& state, std::string* error = nullptr);

bool SetVirtualModemLines(const std::string& comName, bool cts, bool dsr, bool ring, bool rlsd,
                          std::string* error = nullptr);

enum class LineEvent { Break, FrameError, ParityError, Overrun };
bool InjectLineEvent(const std::string& comName, LineEvent event, std::string* error = nullptr);

}  // namespace platform
