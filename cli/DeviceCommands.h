#pragma once
// tornvale-cli's commands that talk to the device (clock, set-clock, read,
// download), each one request after another on one device session: the same
// frames, ends of requests and day files as the window's.

#include "cli/CommandLine.h"

#include <iosfwd>
#include <string>

namespace cli {

// Runs the request; the result goes to `out`, messages and progress to
// `err`. Returns the exit code.
int RunDeviceCommand(const TCliRequest& request, int language, std::ostream& out, std::ostream& err);

// --help, with the session's times filled in.
std::string HelpText(int language);

}  // namespace cli
