#pragma once
// The names Device Manager shows for the serial ports ("USB Serial Port
// (COM3)"), as the Ports class of the device installer keeps them.

#include <map>
#include <string>

namespace platform::win32 {

// Friendly name (UTF-8) by port number (ComName.h: "com3" is port 3), of
// each present device of the Ports class that has both. Empty where the
// system keeps none (wine).
std::map<int, std::string> FriendlyPortNames();

}  // namespace platform::win32
