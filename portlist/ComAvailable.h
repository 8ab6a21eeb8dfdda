#pragma once
// The port list of the main window: which entries of the serial device map
// name a port, and in what order the operator sees them.

#include <stdexcept>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "platform/PortFolder.h"
#include "platform/SerialCommMap.h"

// A device map value that cannot be read as text. The message is
// Windows-1252 text: "Ung\xFCltiger Datentyp f\xFCr '<value name>'".
class ERegistryException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The port names among `values`: a value counts when its name, upper-cased,
// contains DEVICE and its data, upper-cased, begins with COM; its data is
// listed with leading and trailing blanks and control characters removed,
// when it then is a COM name the serial component keeps (platform/ComName.h).
// Sorted without regard to case in the user's locale (COM10 before COM2);
// equal entries all stay. Throws ERegistryException for a value that is not
// text, whether or not it would have been listed.
QStringList ComAvailableFrom(const std::vector<platform::SerialCommValue>& values);

// The ports of this machine, by the rules above.
QStringList GetComAvailable();

// The device behind a port, for a tool-tip or the status bar: the name the
// system's device manager shows ("USB Serial Port (COM3)", with "COM3: " before
// it when it does not name the port), else the device and its kind ("COM3:
// /dev/ttyUSB0, FTDI FT232R", "COM12: \Device\Serial11").
QString DescribePort(const platform::SerialPortInfo& port);
// The port listed under comName (any case) among `ports`; none when none is.
const platform::SerialPortInfo* FindPort(const QString& comName, const std::vector<platform::SerialPortInfo>& ports);
// The descriptions of the ports listed under comNames (any case), in their
// order; empty for a name none of `ports` has.
QStringList ComPortDescriptions(const QStringList& comNames, const std::vector<platform::SerialPortInfo>& ports);

// The port list and the description of each entry, from one look at this
// machine's ports (so an adapter plugged in or pulled meanwhile cannot give
// an entry another port's description). Throws ERegistryException as
// GetComAvailable does.
struct TPortEntries {
    QStringList Names;
    QStringList Descriptions;
    std::vector<platform::SerialPortInfo> Ports;  // what the scan found behind the names
};
TPortEntries ReadPortEntries();
