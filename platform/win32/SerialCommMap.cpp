// The serial device map from the registry, read only, and the ports it names.
#include "platform/win32/Win32.h"
#include "platform/win32/PortFriendlyNames.h"
#include "platform/ComName.h"
#include "platform/PortFolder.h"
#include "platform/SerialCommMap.h"

#include <string>
#include <vector>

namespace platform {

std::vector<SerialCommValue> ReadSerialCommMap()
{
    std::vector<SerialCommValue> values;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    ::DWORD count = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName, &maxData,
                           nullptr, nullptr) == ERROR_SUCCESS) {
        for (::DWORD i = 0; i < count; ++i) {
            std::string name(maxName + 1, '\0');
            std::string data(maxData + 1, '\0');
            ::DWORD nameLength = maxName + 1, dataLength = maxData + 1, type = 0;
            if (::RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                &dataLength) != ERROR_SUCCESS)
                continue;
            name.resize(nameLength);
            data.resize(dataLength);
            while (!data.empty() && data.back() == '\0') data.pop_back();
            values.push_back({name, data, type == REG_SZ || type == REG_EXPAND_SZ});
        }
    }
    ::RegCloseKey(key);
    return values;
}

namespace {

// The ports behind the map's text values, each with the name Device Manager
// shows where Windows has one.
std::vector<SerialPortInfo> PortsOf(const std::vector<SerialCommValue>& map)
{
    std::vector<SerialPortInfo> ports;
    const std::map<int, std::string> friendlyNames = win32::FriendlyPortNames();
    for (const SerialCommValue& value : map) {
        if (!value.isText) continue;
        const auto slash = value.name.find_last_of('\\');
        SerialPortInfo port;
        port.comName = value.data;
        port.kernelName = value.name.substr(slash == std::string::npos ? 0 : slash + 1);
        port.devicePath = value.name;
        if (const auto number = ParseComName(value.data)) {
            if (const auto found = friendlyNames.find(*number); found != friendlyNames.end())
                port.friendlyName = found->second;
        }
        ports.push_back(port);
    }
    return ports;
}

}  // namespace

std::vector<SerialPortInfo> ListSerialPorts()
{
    return PortsOf(ReadSerialCommMap());
}

SerialPortScan ScanSerialPorts()
{
    SerialPortScan scan{ReadSerialCommMap(), {}};
    scan.ports = PortsOf(scan.map);
    return scan;
}

}  // namespace platform
