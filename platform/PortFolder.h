#pragma once
// COM names on this machine. A name "COMn" resolves first through the port
// folder, a directory of symbolic links COMn -> tty device that the simulator,
// the tests and any user can fill; names without a link resolve through a
// stable automatic assignment of the machine's real serial devices.

#include <string>
#include <vector>

namespace platform {

// $XDG_RUNTIME_DIR/tornvale/ports, or /tmp/tornvale-<uid>/ports when
// XDG_RUNTIME_DIR is unset. Read from the environment at each call.
std::string PortFolder();

// Creates the folder (and its parents) if needed; false with a message on failure.
bool EnsurePortFolder(std::string* error = nullptr);

// Binds comName to ttyPath (absolute) with a symbolic link in the port
// folder, owned by this process. Fails if a live link of that name already
// exists. A link whose device has gone, or whose owning process has ended
// (its pty number may already belong to another terminal), counts as absent
// everywhere and is replaced. Names that are no COM name (ComName.h) are
// refused.
bool LinkPort(const std::string& comName, const std::string& ttyPath, std::string* error = nullptr);
// Removes the link (and the port's virtual-lines file); false if there was none.
bool UnlinkPort(const std::string& comName);

// A serial device known under a COM name.
struct SerialPortInfo {
    std::string comName;      // "COM3"
    std::string kernelName;   // "ttyUSB0", "pts7"
    std::string devicePath;   // "/dev/ttyUSB0", the link's target for linked ports
    std::string description;  // "FTDI FT232R", "pseudo-terminal", "on-board UART"
    bool linked = false;      // from the port folder rather than detected
    // The name the system's device manager gives it, UTF-8: "USB Serial Port
    // (COM3)" on Windows; empty where the system has none (Linux, wine).
    std::string friendlyName;
};

// Real serial devices of this machine (on-board UARTs that exist, USB-serial,
// CDC-ACM), found without opening them, each with its automatic COM name.
std::vector<SerialPortInfo> DetectSerialDevices();

// Linked ports (whose targets exist) followed by detected devices whose COM
// name no link takes.
std::vector<SerialPortInfo> ListSerialPorts();

// The device path a COM name stands for; empty when nothing answers to it.
std::string ResolvePortName(const std::string& comName);

// Lowest COM number that is neither linked nor taken by a real device.
int FirstFreeComNumber();

}  // namespace platform
