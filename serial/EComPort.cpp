#include "serial/EComPort.h"

#include <array>
#include <string>

namespace {

const std::array<const char*, 15> Messages = {
    "Unable to open com port",
    "WriteFile function failed",
    "ReadFile function failed",
    "Invalid Async parameter",
    "PurgeComm function failed",
    "Unable to get async status",
    "SetCommState function failed",
    "SetCommTimeouts failed",
    "SetupComm function failed",
    "ClearCommError function failed",
    "GetCommModemStatus function failed",
    "EscapeCommFunction function failed",
    "TransmitCommChar function failed",
    "Cannot set SyncMethod while connected",
    "EnumPorts function failed",
};

}  // namespace

const char* ComErrorMessage(std::int32_t Code)
{
    if (Code < 1 || Code > static_cast<std::int32_t>(Messages.size())) return "";
    return Messages[static_cast<std::size_t>(Code - 1)];
}

EComPort::EComPort(std::int32_t ACode, std::int32_t AWinCode)
    : std::runtime_error(std::string(ComErrorMessage(ACode)) + " (win error code: " + std::to_string(AWinCode) + ")"),
      WinCode(AWinCode),
      Code(ACode)
{
}

EComPort::EComPort(std::int32_t ACode) : std::runtime_error(ComErrorMessage(ACode)), WinCode(-1), Code(ACode) {}
