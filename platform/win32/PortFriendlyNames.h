#pragma once
// The names Device Manager shows for the serial ports ("USB Serial Port
// (COM3)"), as the Ports class of the device installer keeps them.

#include <map>
#include <string>

namespace platform::win32 {

// Port names compare without regard to case: "com3" is COM3.
std::string PortNameKey(std::string portName);

// Friendly name (UTF-8) by PortNameKey, of each present device of the Ports
// class that has both. Empty where the system keeps none (wine).
std::map<std::string, std::string> FriendlyPortNames();

}  // namespace platform::win32
