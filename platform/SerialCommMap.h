#pragma once
// The serial device map as the operating system reports it: on Windows the
// values of HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, on Linux its equivalent built
// from the ports this machine knows. The rules that turn it into a port list
// live with the window; this only supplies the entries.

#include "platform/PortFolder.h"

#include <string>
#include <vector>

namespace platform {

struct SerialCommValue {
    std::string name;    // value name, "\Device\ttyUSB0"
    std::string data;    // the port name, "COM3"
    bool isText = true;  // false for data that is not of a text type
};

// One value per port, named "\Device\<kernel name>" with the COM name as
// data, in the order ListSerialPorts() gives them.
std::vector<SerialCommValue> ReadSerialCommMap();

// The device map and the ports behind its values from one look at the
// machine, so that a port plugged in or pulled meanwhile cannot make the two
// disagree.
struct SerialPortScan {
    std::vector<SerialCommValue> map;   // as ReadSerialCommMap()
    std::vector<SerialPortInfo> ports;  // as ListSerialPorts()
};
SerialPortScan ScanSerialPorts();

}  // namespace platform
