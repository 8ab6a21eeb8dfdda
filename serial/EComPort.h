#pragma once
// The one exception of the serial port component: a code from 1 to 15 with a
// fixed English message, and the operating system's error code where the
// failure has one.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace ComErrorCode {
inline constexpr std::int32_t OpenFailed = 1;
inline constexpr std::int32_t WriteFailed = 2;
inline constexpr std::int32_t ReadFailed = 3;
inline constexpr std::int32_t InvalidAsync = 4;
inline constexpr std::int32_t PurgeFailed = 5;
inline constexpr std::int32_t AsyncStatus = 6;  // kept in the table; nothing raises it
inline constexpr std::int32_t SetStateFailed = 7;
inline constexpr std::int32_t TimeoutsFailed = 8;
inline constexpr std::int32_t SetupFailed = 9;
inline constexpr std::int32_t ClearErrorFailed = 10;
inline constexpr std::int32_t ModemStatusFailed = 11;
inline constexpr std::int32_t EscapeFailed = 12;    // kept in the table; nothing raises it
inline constexpr std::int32_t TransmitFailed = 13;  // kept in the table; nothing raises it
inline constexpr std::int32_t SyncMethodWhileOpen = 14;
inline constexpr std::int32_t EnumPortsFailed = 15;  // kept in the table; nothing raises it
}  // namespace ComErrorCode

// The table text for a code; empty for a code outside 1..15.
const char* ComErrorMessage(std::int32_t Code);

class EComPort : public std::runtime_error {
public:
    // Message: the table text, then " (win error code: <AWinCode>)".
    EComPort(std::int32_t ACode, std::int32_t AWinCode);
    // Message: the table text alone; WinCode is -1.
    explicit EComPort(std::int32_t ACode);

    std::int32_t WinCode;
    std::int32_t Code;
    // The COM name of the port whose call failed ("COM3"), so the operator
    // can be told which port; empty where no port's call failed.
    std::string Port;
};
