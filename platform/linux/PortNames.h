#pragma once
// COM names and the discovery of real serial devices, below the contract of
// platform/PortFolder.h.

#include "platform/ComName.h"
#include "platform/PortFolder.h"

#include <optional>
#include <string>
#include <vector>

namespace platform::detail {

// Serial devices under a sysfs tty class directory, named after devDir.
// Automatic names: ttyS<n> -> COM<n+1>; every other device, in natural order
// of its kernel name (ttyACM0 < ttyACM1 < ttyAMA0 < ttyUSB0 < ttyUSB10), takes
// the next numbers after the highest on-board one. Devices whose number would
// pass the highest COM number get no name and are left out. The result is
// sorted by COM number.
std::vector<SerialPortInfo> DetectSerialDevicesIn(const std::string& sysClassTty, const std::string& devDir);

// Whether DetectSerialDevices looks at the machine's devices at all. Only
// tests turn it off (tooling/testing/MachinePorts.h), so that their port list
// holds only the ports they link and no test opens a port of the machine it
// runs on; the product never does.
void SetMachinePortsVisible(bool visible);

// The target of a live link COMn in the port folder; empty when there is no
// link or its target has gone (such a link counts as absent everywhere).
std::string LiveLinkTarget(int number);

}  // namespace platform::detail
