#include "tooling/testing/MachinePorts.h"

#include "platform/linux/PortNames.h"

namespace platform {

void HideMachinePorts()
{
    detail::SetMachinePortsVisible(false);
}

}  // namespace platform
