#include "platform/SerialCommMap.h"

#include "platform/PortFolder.h"

namespace platform {

std::vector<SerialCommValue> ReadSerialCommMap()
{
    std::vector<SerialCommValue> values;
    for (const auto& port : ListSerialPorts()) values.push_back({"\\Device\\" + port.kernelName, port.comName, true});
    return values;
}

}  // namespace platform
