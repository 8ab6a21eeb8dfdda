#pragma once
// What the machine can tell about a port that would not open, found without
// opening it (opening a real serial device raises its modem lines): whether
// anything answers to the COM name, whether this user may open the device
// node and what would change that, and which process holds the device.

#include <optional>
#include <string>

namespace platform {

struct PortHolder {
    int pid = 0;
    std::string name;  // the program's name, "ModemManager"
};

struct DeviceNodeAccess {
    bool refused = false;            // this user may not open it for reading and writing
    unsigned mode = 0;               // the node's permission bits, 0660
    std::string ownerName;           // "root"; the number when it has no name
    std::string groupName;           // "dialout"; the number when it has no name
    bool joiningGroupHelps = false;  // membership of that group would let this user in
};

struct PortFacts {
    std::string devicePath;  // the node the name stands for; empty when nothing answers to it
    DeviceNodeAccess access;
    std::optional<PortHolder> holder;
    // For a pseudo-terminal nobody visibly holds: the program on its master
    // side, the one that provides the port (a simulator).
    std::optional<PortHolder> provider;
};

PortFacts ExaminePort(const std::string& comName);

// A process that has the device open: first one holding a lock on it (seen
// in /proc/locks, whoever runs it), else one with a descriptor on it (only
// the processes whose /proc/<pid>/fd this user may read).
std::optional<PortHolder> FindPortHolder(const std::string& devicePath);

// The process holding the master side of the pseudo-terminal at devicePath
// (only the processes whose descriptors this user may read); none for any
// other device.
std::optional<PortHolder> FindTerminalProvider(const std::string& devicePath);

}  // namespace platform
