#pragma once
// tornvale-cli ports: the port list as the window shows it, one line a port
// (COM name, device, adapter), with the port doctor's advice for a port this
// user cannot open; or the same as JSON.

#include <iosfwd>

namespace cli {

// The exit code; a device map that cannot be read is said on `err`.
int ListPorts(bool json, int language, std::ostream& out, std::ostream& err);

}  // namespace cli
