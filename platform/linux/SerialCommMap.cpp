#include "platform/SerialCommMap.h"

#include "platform/PortFolder.h"

namespace platform {

SerialPortScan ScanSerialPorts()
{
    SerialPortScan scan{{}, ListSerialPorts()};
    for (const auto& port : scan.ports) scan.map.push_back({"\\Device\\" + port.kernelName, port.comName, true});
    return scan;
}

std::vector<SerialCommValue> ReadSerialCommMap()
{
    return ScanSerialPorts().map;
}

}  // namespace platform
